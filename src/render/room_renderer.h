#pragma once
// The room part of a frame: the cross-fade snapshot after a camera change, the visibility walk
// (through portals, or by occlusion queries whose answers arrive one frame late), the opaque
// nodes, the particles and the translucent nodes.
#include <GL/glew.h>

#include <memory>
#include <unordered_set>
#include <vector>

#include "render/camera.h"
#include "render/scene_animation.h"
#include "scene/math.h"

namespace hg {

class Scene;
struct SceneNode;
struct Portal;
class PoolBinding;
class ParticleManager;
class OcclusionBoxes;
class GLWindow;
class ScreenQuadQueue;

class RoomRenderer {
public:
    // The scene's camera flights start their first cycle with `seed`.
    RoomRenderer(Scene& scene, PoolBinding& pool, ParticleManager& particles, GLWindow& window, ScreenQuadQueue& quads,
                 float& snapshotAlpha, CameraSet::SeedSource seed);
    ~RoomRenderer();

    // Steps 4-9 of a frame, between the per-frame step and the 2D pass, for one view. View 0 is the
    // room as every run shows it; a run over several monitors adds views 1, 2, ... each with its own
    // camera flight and cross-fade, drawn after view 0 in the same frame. The room itself (path
    // nodes, train, fire, particles) moves once per frame, whichever view shows it first.
    void drawRoom(size_t view = 0);
    SceneAnimation& animation() { return animation_; }

    const std::vector<SceneNode*>& opaqueList() const { return opaque_; }
    const std::vector<SceneNode*>& translucentList() const { return translucent_; }

    // The portal walk's portal test, for tests: the target opens when the camera is in front of
    // the portal and a point of it (or its centre's cube) is in view.
    static bool portalOpens(const Portal& portal, const Vec3& camera, const Frustum& view);

private:
    // What a view has of its own: its flight and its cross-fade.
    struct ExtraView {
        CameraSet cameras;
        GLuint snapshotTexture = 0;
        int snapshotSide = 256;
        float snapshotAlpha = 0.0f;
    };
    void selectView(size_t view);
    ExtraView& extraView(size_t view);
    // True the first time a node is drawn in this frame: only then does it move.
    bool firstDrawThisFrame(const SceneNode& node);
    void captureSnapshot();
    void resetFrame();
    void scenePass();
    void portalWalk();
    void enterZone(SceneNode& zone);
    void testPortal(Portal& portal);
    void occlusionWalk();
    void enterZoneByQueries(SceneNode& zone);
    void issueQueries();
    void emitActiveMarkers();
    void buildLists();
    void nodePass(const std::vector<SceneNode*>& list, float alphaReference);
    void applyCamera();

    Scene& scene_;
    PoolBinding& pool_;
    ParticleManager& particles_;
    GLWindow& window_;
    ScreenQuadQueue& quads_;
    float& snapshotAlpha_;
    // View 0's camera flights.
    CameraSet flight_;
    // The view being drawn: its camera set, snapshot texture and side, and cross-fade opacity.
    size_t view_ = 0;
    CameraSet* cameras_ = nullptr;
    GLuint snapshotTexture_ = 0;
    int snapshotSide_ = 256;
    float* viewSnapshotAlpha_ = nullptr;
    std::vector<std::unique_ptr<ExtraView>> extraViews_;
    std::unordered_set<const SceneNode*> movedThisFrame_;
    std::unordered_set<const void*> emittedThisFrame_;
    SceneAnimation animation_;
    Frustum frustum_;
    std::vector<SceneNode*> opaque_;
    std::vector<SceneNode*> translucent_;
    std::unique_ptr<OcclusionBoxes> boxes_;
};

}  // namespace hg
