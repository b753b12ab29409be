#pragma once
// The room's part of a frame, for one view: the cross-fade snapshot of the old view after a camera
// change, the camera's flight, the nodes that follow recorded paths, the walk that finds what is
// seen, the moving models and the fire (only what is drawn moves), then the opaque nodes, the
// particles and the translucent nodes. A run over several monitors draws the room once per view,
// each view flying its own camera; the room itself moves once a frame.
#include <memory>
#include <unordered_set>
#include <vector>

#include "core/frame_clock.h"
#include "render/camera.h"
#include "render/draw_order.h"
#include "render/room_visibility.h"
#include "render/scene_animation.h"
#include "render/view_layout.h"

namespace hg {

class GlErrorCheck;
class FragmentCensus;

class Scene;
class ModelInstance;
struct SceneNode;
class PoolBinding;
class ParticleManager;
class OcclusionBoxes;
class GLWindow;
class CrossFade;
class ScreenQuadQueue;

class RoomRenderer {
public:
    // The scene's camera flights start their first cycle with `seed`.
    RoomRenderer(Scene& scene, PoolBinding& pool, ParticleManager& particles, GLWindow& window, ScreenQuadQueue& quads,
                 CrossFade& crossFade, CameraSet::SeedSource seed);
    ~RoomRenderer();

    // Steps 4-9 of a frame, between the per-frame step and the 2D pass, for one view. View 0 is the
    // room as every run shows it; the others follow it in the same frame.
    void drawView(size_t view, const FrameTime& time);

    // Lightmapped room geometry drawn with its lightmap on a second texture unit where that gives
    // the same picture (needs multitexture); otherwise every lightmap is a blended second pass.
    void setLightmapUnit(bool on) { lightmapUnit_ = on; }
    // A model's reflection or self-illumination added on a second texture unit in the same pass
    // where that gives the same picture (needs multitexture and a modulate-add combiner);
    // otherwise each is a blended pass of its own.
    void setExtraPassUnit(bool on) { extraPassUnit_ = on; }
    // Asked after each of the view's passes (--gl-check).
    void setErrorCheck(GlErrorCheck* check) { check_ = check; }
    // Counts what each node of view 0 draws in the census's frame (--census).
    void setCensus(FragmentCensus* census) { census_ = census; }

    ModelAnimation& animation() { return animation_; }
    // View 0's flights.
    CameraSet& cameras() { return views_.front().cameras; }

private:
    // What a view has of its own: its flight and what it drew last (for its snapshot).
    struct ViewState {
        CameraSet cameras;
        DrawLists drawn;
    };
    ViewState& viewState(size_t view);
    void drawSnapshot(size_t view, ViewState& state, const FrameTime& time);
    void setUpScene();
    void moveCamera(size_t view, CameraSet& cameras, float step);
    void movePathNodes(float step);
    void animate(const std::vector<SceneNode*>& nodes, size_t view, float step);
    void drawOpaque(const std::vector<SceneNode*>& nodes, CameraSet& cameras);
    void drawNodes(const std::vector<SceneNode*>& nodes, CameraSet& cameras, float alphaReference);
    void drawModel(const ModelInstance& model, const Frustum& eyeView, bool fogged);
    void drawRoomObject(const SceneNode& node, bool fogged);
    void drawOutdoors(const SceneNode& node, bool fogged, const float projection[16]);
    void drawParticles();
    const Viewport& area(size_t view) const;
    void checkAfter(const char* pass);

    Scene& scene_;
    PoolBinding& pool_;
    ParticleManager& particles_;
    GLWindow& window_;
    ScreenQuadQueue& quads_;
    CrossFade& crossFade_;
    ModelAnimation animation_;
    RoomVisibility visibility_;
    std::vector<ViewState> views_;
    // The nodes that have moved in this frame: a second view draws them as they stand.
    std::unordered_set<const SceneNode*> movedThisFrame_;
    std::unique_ptr<OcclusionBoxes> boxes_;
    OpaqueDrawOrder opaqueOrder_;
    bool lightmapUnit_ = false;
    bool extraPassUnit_ = false;
    GlErrorCheck* check_ = nullptr;
    FragmentCensus* census_ = nullptr;
    // The census while view 0's own passes draw in its frame; null otherwise (and for a snapshot).
    FragmentCensus* counting_ = nullptr;
};

}  // namespace hg
