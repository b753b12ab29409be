#pragma once
// `hearthglow-view --model NAME`: one model from the archive alone in a window, turning slowly
// under one warm light on a dark ground, drawn by the real instance update and draw. The clock's
// hands show the local time and the train runs, posed by the room's own animation. For content
// work and for pictures in tests.
#include <functional>
#include <string>

#include "core/frame_clock.h"
#include "render/renderer.h"
#include "render/scene_animation.h"
#include "scene/particle_sink.h"
#include "scene/math.h"
#include "scene/mesh_draw.h"
#include "scene/model_instance.h"
#include "scene/model_library.h"
#include "scene/scene_light.h"
#include "scene/vertex_pool.h"

namespace hg {

class FileSystem;
class GLWindow;
class TextureManager;

// Where the viewer looks from: the centre and radius of what the model draws at rest.
struct ModelFraming {
    Vec3 centre{0, 0, 0};
    float radius = 1.0f;      // half the diagonal of the bounds
    float turnRadius = 1.0f;  // how far the model reaches from its vertical axis as it turns
    float halfHeight = 0.5f;
    float floorZ = 0.0f;  // the lowest point drawn
};

// The bounds of every object but the collision helper, as drawn at rest by an instance at the
// origin (the hull's pivot sits at the origin).
ModelFraming frameModel(const Mesh& mesh);

class ModelViewer : public ScenePass {
public:
    ModelViewer(const FileSystem& files, TextureManager& textures, GLWindow& window,
                std::function<void(const std::string&)> message);

    // Loads the model into the pool and uploads it. False when there is nothing to show (the
    // user has been told why).
    bool load(const std::string& name, bool useVertexBuffers);
    // The scene pass of one frame.
    void drawView(size_t view, const FrameTime& time) override;

    const ModelInstance& instance() const { return instance_; }
    const ModelFraming& framing() const { return framing_; }

private:
    class NoParticles : public ParticleSink {
    public:
        void emitAtMarker(const MeshMarker&) override {}
    };

    void animate(const FrameTime& time);
    void drawGround() const;

    GLWindow& window_;
    std::function<void(const std::string&)> message_;
    bool reported_ = false;
    VertexPool pool_;
    ModelLibrary library_;
    PoolBinding binding_{pool_};
    ModelInstance instance_;
    MovingModel moving_ = MovingModel::None;
    ModelAnimation animation_;
    NoParticles particles_;
    SceneLight light_;
    ModelFraming framing_;
    float turn_ = -30.0f;  // degrees about z
};

}  // namespace hg
