#include "bake/bsm_writer.h"

#include <bit>
#include <cstring>
#include <map>

#include "bake/error.h"

namespace hg::bake {

namespace {

class Out {
public:
    void int32(int32_t v) { raw(&v, 4); }
    void byte(uint8_t v) { bytes_.push_back(v); }
    void float32(float v) { raw(&v, 4); }
    void float3(Float3 v) { float32(v.x), float32(v.y), float32(v.z); }
    void string(const std::string& text) {
        if (text.size() > 2999) throw BakeError("string field too long: " + text.substr(0, 40));
        int32(int32_t(text.size()));
        bytes_.insert(bytes_.end(), text.begin(), text.end());
    }
    std::vector<uint8_t> take() { return std::move(bytes_); }

private:
    void raw(const void* p, size_t n) {
        static_assert(std::endian::native == std::endian::little, "the writer lays numbers out as they are in memory");
        const auto* b = static_cast<const uint8_t*>(p);
        bytes_.insert(bytes_.end(), b, b + n);
    }
    std::vector<uint8_t> bytes_;
};

}  // namespace

ModelObject* Model::find(const std::string& name) {
    for (ModelObject& o : objects)
        if (o.name == name) return &o;
    return nullptr;
}

const ModelObject* Model::find(const std::string& name) const {
    for (const ModelObject& o : objects)
        if (o.name == name) return &o;
    return nullptr;
}

size_t Model::triangleCount() const {
    size_t n = 0;
    for (const ModelObject& o : objects) n += o.shape.triangleCount();
    return n;
}

std::vector<uint8_t> encodeBsm(const Model& model) {
    Out out;
    out.int32(int32_t(model.objects.size()));
    for (const ModelObject& o : model.objects) {
        const Shape& s = o.shape;
        out.string(o.material.baseTexture);
        out.float32(o.material.scrollU);
        out.float32(o.material.scrollV);
        out.byte(o.material.reflectionTexture ? 1 : 0);
        if (o.material.reflectionTexture) out.string(*o.material.reflectionTexture);
        out.byte(o.material.illuminationTexture ? 1 : 0);
        if (o.material.illuminationTexture) out.string(*o.material.illuminationTexture);
        out.string(o.name);
        out.string(o.parentName);
        // Texture vertices are shared where corners carry the same UV.
        std::map<std::pair<float, float>, int32_t> uvIndex;
        std::vector<Float2> texVertices;
        std::vector<std::array<int32_t, 3>> texFaces;
        for (const auto& face : s.uvs) {
            std::array<int32_t, 3> tf{};
            for (int k = 0; k < 3; ++k) {
                auto [it, added] = uvIndex.emplace(std::make_pair(face[k].u, face[k].v), int32_t(texVertices.size()));
                if (added) texVertices.push_back(face[k]);
                tf[k] = it->second;
            }
            texFaces.push_back(tf);
        }
        out.int32(int32_t(s.positions.size()));
        out.int32(int32_t(s.faces.size()));
        out.int32(int32_t(texVertices.size()));
        out.int32(int32_t(texFaces.size()));
        out.float3(o.pivot);
        for (Float3 p : s.positions) out.float3(p);
        for (const auto& f : s.faces)
            for (uint32_t i : f) out.float32(float(i));
        for (Float2 t : texVertices) out.float32(t.u), out.float32(t.v), out.float32(0.0f);
        for (const auto& f : texFaces)
            for (int32_t i : f) out.float32(float(i));
        for (const auto& corner : s.normals)
            for (Float3 n : corner) out.float3(n);
    }
    out.int32(int32_t(model.markers.size()));
    for (const Marker& m : model.markers) {
        out.float3(m.position);
        out.string(m.name);
        out.string(m.parentName);
        for (float q : m.rotation) out.float32(q);
        out.int32(m.kind);
    }
    return out.take();
}

}  // namespace hg::bake
