#include "scene/model_library.h"

#include "archive/file_system.h"
#include "image/texture_manager.h"
#include "scene/bsm_reader.h"

namespace hg {

ModelLibrary::ModelLibrary(VertexPool& pool, const FileSystem& files, TextureManager& textures,
                           std::function<void(const std::string& text)> report)
    : ModelLibrary(pool, ModelSources{
                             [&files](const std::string& path) { return files.get(path); },
                             [&textures](const std::string& path) { return textures.get(path); },
                             std::move(report),
                             [&textures](GLuint texture) { return textures.isOpaque(texture); },
                         }) {}

Mesh* ModelLibrary::find(const std::string& modelName) {
    for (int i = 0; i < count_; ++i) {
        if (slots_[static_cast<size_t>(i)].name == modelName) return &slots_[static_cast<size_t>(i)];
    }
    return nullptr;
}

Mesh* ModelLibrary::findOrLoad(const std::string& modelName) {
    if (Mesh* mesh = find(modelName)) return mesh;
    if (count_ < kMaxModels) load(modelName);
    if (Mesh* mesh = find(modelName)) return mesh;
    if (sources_.report) sources_.report("Not found " + modelName);
    return nullptr;
}

void ModelLibrary::load(const std::string& modelName) {
    Mesh& mesh = slots_[static_cast<size_t>(count_)];
    mesh = Mesh{};
    mesh.name = modelName;
    ++count_;

    const std::string path = "Models/" + modelName + ".BSM";
    const auto bytes = sources_.readFile ? sources_.readFile(path) : std::nullopt;
    if (!bytes) return;  // a missing file leaves an empty model under its name
    auto parsed = readBsm(*bytes);
    if (!parsed) {
        if (sources_.report) sources_.report("Damaged model file " + path);
        return;
    }

    mesh.objects = std::move(parsed->mesh.objects);
    mesh.markers = std::move(parsed->mesh.markers);
    mesh.size = parsed->mesh.size;
    for (size_t i = 0; i < mesh.objects.size(); ++i) {
        MeshMaterial& material = mesh.objects[i].material;
        const MaterialTextureNames& names = parsed->textureNames[i];
        auto texture = [this](const std::string& name) -> GLuint {
            return sources_.texture ? sources_.texture("Textures/" + name) : 0;
        };
        auto opaque = [this](GLuint texture) { return texture != 0 && sources_.isOpaque && sources_.isOpaque(texture); };
        material.baseTexture = texture(names.base);
        material.opaqueBase = opaque(material.baseTexture);
        if (material.hasReflection) material.reflectionTexture = texture(names.reflection);
        if (material.hasIllumination) material.illuminationTexture = texture(names.illumination);
        material.opaqueExtras = (!material.hasReflection || opaque(material.reflectionTexture)) &&
                                (!material.hasIllumination || opaque(material.illuminationTexture));
    }
    for (MeshObject& object : mesh.objects) {
        object.closedOutward = isClosedOutwardSurface(object.corners);
        object.poolStart = pool_.append(object.corners);
        object.poolEnd = object.poolStart + static_cast<uint32_t>(object.corners.size());
        object.indices = sharedVertexIndices(std::span<const Corner>(object.corners), object.poolStart);
    }
}

void ModelLibrary::releaseAll() {
    for (int i = 0; i < count_; ++i) {
        Mesh& mesh = slots_[static_cast<size_t>(i)];
        mesh.objects.clear();
        mesh.objects.shrink_to_fit();
    }
}

}  // namespace hg
