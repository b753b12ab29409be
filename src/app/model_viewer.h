#pragma once
// `--model NAME`: one model from the archive alone in a window, turning slowly under one warm light
// on a dark ground, drawn by the real instance update and draw. The clock's hands show the local
// time and the train runs, as they do in the room. For content work and for pictures in tests.
#include <functional>
#include <optional>
#include <string>

#include "app/command_line.h"
#include "app/local_clock.h"
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

// The clock hands' angles about y in degrees for a local time: minute, hour, second.
struct HandAngles {
    float minute, hour, second;
};
HandAngles clockHandAngles(const CalendarTime& time);

class ModelViewer {
public:
    // `clockStart` and `fixedStep` as --clock and --fixed-step give them (see LocalClock).
    ModelViewer(const FileSystem& files, TextureManager& textures, GLWindow& window, std::optional<CalendarTime> clockStart,
                std::optional<float> fixedStep, std::function<void(const std::string&)> message);

    // Loads the model into the pool and uploads it. False when there is nothing to show (the
    // user has been told why).
    bool load(const std::string& name, bool useVertexBuffers);
    // The scene pass of one frame.
    void drawScene();

    const ModelInstance& instance() const { return instance_; }
    const ModelFraming& framing() const { return framing_; }

private:
    class NoParticles : public ParticleSink {
    public:
        void emitAtMarker(const MeshMarker&) override {}
    };

    void animate(float step);
    void drawGround() const;

    GLWindow& window_;
    std::function<void(const std::string&)> message_;
    bool reported_ = false;
    VertexPool pool_;
    ModelLibrary library_;
    PoolBinding binding_{pool_};
    ModelInstance instance_;
    LocalClock clock_;
    NoParticles particles_;
    SceneLight light_;
    ModelFraming framing_;
    float turn_ = -30.0f;       // degrees about z
    float trainAngle_ = 0.0f;   // the room's train angle g
};

}  // namespace hg
