#include "app/room.h"

#include "archive/file_system.h"
#include "effects/particle_system.h"
#include "image/texture_manager.h"
#include "render/gl_window.h"
#include "render/room_renderer.h"
#include "scene/animated_mesh.h"
#include "scene/mesh_draw.h"
#include "scene/model_library.h"
#include "scene/scene.h"
#include "scene/scene_loader.h"
#include "scene/vertex_pool.h"

namespace hg {

Room::Room(RoomServices services)
    : services_(std::move(services)),
      pool_(std::make_unique<VertexPool>()),
      models_(std::make_unique<ModelLibrary>(*pool_, services_.files, services_.textures, services_.message)),
      binding_(std::make_unique<PoolBinding>(*pool_)),
      particles_(std::make_unique<ParticleManager>(services_.files, services_.textures)),
      scene_(std::make_unique<Scene>()) {}

Room::~Room() = default;

void Room::load(const RoomFeatures& features, std::function<uint32_t()> seed) {
    SceneServices services{
        [this](const std::string& path) { return services_.textures.get(path); },
        *pool_,
        *models_,
        [this](const std::string& name) {
            auto mesh = std::make_unique<AnimatedMesh>();
            mesh->load(name, services_.files, services_.textures, services_.log);
            return mesh;
        },
        *binding_,
        services_.message,
        features.vertexBuffers,
        features.occlusionQueries,
        [this](GLuint texture) { return services_.textures.isOpaque(texture); }};
    SceneFile file;
    services_.files.read("Models/test.bss", [&file](std::span<const uint8_t> bytes) { file = readSceneFile(bytes); });
    assembleScene(*scene_, file, services);
    renderer_ = std::make_unique<RoomRenderer>(*scene_, *binding_, *particles_, services_.window, services_.quads,
                                               services_.crossFade, std::move(seed));
    renderer_->setLightmapUnit(features.lightmapUnit);
    renderer_->setExtraPassUnit(features.extraPassUnit);
}

void Room::drawView(size_t view, const FrameTime& time) {
    if (renderer_) renderer_->drawView(view, time);
}

void Room::setErrorCheck(GlErrorCheck* check) {
    if (renderer_) renderer_->setErrorCheck(check);
}

void Room::setCensus(FragmentCensus* census) {
    if (renderer_) renderer_->setCensus(census);
}

void Room::release() {
    renderer_.reset();
    scene_->clear();
    models_->releaseAll();
    particles_->destroyAll();
}

}  // namespace hg
