#pragma once
// The room part of a frame: the cross-fade snapshot after a camera change, the visibility walk
// (through portals, or by occlusion queries whose answers arrive one frame late), the opaque
// nodes, the particles and the translucent nodes.
#include <memory>
#include <vector>

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
    RoomRenderer(Scene& scene, PoolBinding& pool, ParticleManager& particles, GLWindow& window, ScreenQuadQueue& quads,
                 float& snapshotAlpha);
    ~RoomRenderer();

    // Steps 4-9 of a frame, between the per-frame step and the 2D pass.
    void drawRoom();
    SceneAnimation& animation() { return animation_; }

    const std::vector<SceneNode*>& opaqueList() const { return opaque_; }
    const std::vector<SceneNode*>& translucentList() const { return translucent_; }

    // The portal walk's portal test, for tests: the target opens when the camera is in front of
    // the portal and a point of it (or its centre's cube) is in view.
    static bool portalOpens(const Portal& portal, const Vec3& camera, const Frustum& view);

private:
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
    SceneAnimation animation_;
    Frustum frustum_;
    std::vector<SceneNode*> opaque_;
    std::vector<SceneNode*> translucent_;
    std::unique_ptr<OcclusionBoxes> boxes_;
};

}  // namespace hg
