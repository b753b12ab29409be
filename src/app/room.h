#pragma once
// The living room as the run shows it: the scene with its models, fire and particles, loaded from
// the scene file, and the renderer that draws it each frame.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "render/renderer.h"

namespace hg {

class FileSystem;
class TextureManager;
class Log;
class GLWindow;
class ScreenQuadQueue;
class CrossFade;
class VertexPool;
class ModelLibrary;
class PoolBinding;
class ParticleManager;
class Scene;
class RoomRenderer;
class GlErrorCheck;
class FragmentCensus;

struct RoomServices {
    const FileSystem& files;
    TextureManager& textures;
    Log& log;
    GLWindow& window;
    ScreenQuadQueue& quads;
    CrossFade& crossFade;
    std::function<void(const std::string&)> message;  // shown to the user, caption "Error"
};

// What the driver offers and the command line allows.
struct RoomFeatures {
    bool vertexBuffers = false;
    bool occlusionQueries = false;
    bool lightmapUnit = false;  // lightmaps on a second texture unit where that gives the same picture
    bool extraPassUnit = false;  // a model's reflection or glow likewise, added on the second unit
};

class Room : public ScenePass {
public:
    explicit Room(RoomServices services);
    ~Room() override;

    // Reads "Models/test.bss", builds the scene and uploads its geometry. `seed` gives the random
    // generator its seed at the start of every camera cycle.
    void load(const RoomFeatures& features, std::function<uint32_t()> seed);
    // The room part of one frame in one view (0, or 1, 2, ... for further monitors).
    void drawView(size_t view, const FrameTime& time) override;
    // Shutdown: the scene, the models and the particle systems go.
    void release();
    // Asked after each pass of the room (--gl-check); set after load.
    void setErrorCheck(GlErrorCheck* check);
    // Counts what each node draws in one frame (--census); set after load.
    void setCensus(FragmentCensus* census);

    Scene& scene() { return *scene_; }

private:
    RoomServices services_;
    std::unique_ptr<VertexPool> pool_;
    std::unique_ptr<ModelLibrary> models_;
    std::unique_ptr<PoolBinding> binding_;
    std::unique_ptr<ParticleManager> particles_;
    std::unique_ptr<Scene> scene_;
    std::unique_ptr<RoomRenderer> renderer_;
};

}  // namespace hg
