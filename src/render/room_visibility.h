#pragma once
// What the camera sees of the room this frame, as the frame's draw lists: the cells (zones) it
// can see into, the placed models in them that are in view, and the emitter markers of those
// cells, whose particle systems start. Two ways to find it: through the openings (portals)
// between cells, tested against the view; or by occlusion queries, whose answers (asked at the
// end of the previous frame, after its opaque pass) say which openings and models left a pixel.
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "scene/math.h"

namespace hg {

class CameraSet;
class OcclusionBoxes;
class ParticleSink;
class Scene;
struct SceneNode;
struct Portal;

struct DrawLists {
    std::vector<SceneNode*> opaque;
    std::vector<SceneNode*> translucent;  // glass and additive nodes, drawn after the particles
};

class RoomVisibility {
public:
    RoomVisibility(Scene& scene, ParticleSink& particles) : scene_(scene), particles_(particles) {}

    // A new frame: every node unseen, every marker free to start its system again.
    void beginFrame();
    // The walk for one view from its camera (applied as the frame's projection and view): marks
    // what is seen, starts the systems of seen markers (once a frame, however many views see
    // them) and lists what to draw. `byQueries`: use last frame's query answers.
    DrawLists find(CameraSet& cameras, bool byQueries, bool firstView);
    // Next frame's questions, drawn after the opaque pass (they need its depth). The query
    // geometry is drawn black and adds nothing, so the picture stays as it is. `eye`: the camera's
    // position, which decides whether a box's far faces can be left out.
    void askQueries(OcclusionBoxes& boxes, const Vec3& eye);

    // The portal walk's portal test: the target opens when the camera is in front of the portal
    // and a point of it (or its centre's cube) is in view.
    static bool portalOpens(const Portal& portal, const Vec3& camera, const Frustum& view);

private:
    void applyCamera();
    void portalWalk();
    void enterZone(SceneNode& zone);
    void testPortal(Portal& portal);
    void queryWalk();
    void enterZoneByQueries(SceneNode& zone);
    // The samples a query counted the last time it was asked; 0 for one never asked yet (the
    // first frame, a zone seen for the first time), whose result the driver refuses to give.
    uint32_t samplesOf(uint32_t query) const;
    void ask(uint32_t query);
    void startSeenMarkers(bool firstView);
    DrawLists listSeen() const;

    Scene& scene_;
    ParticleSink& particles_;
    CameraSet* cameras_ = nullptr;
    Frustum frustum_;
    std::unordered_set<const void*> startedThisFrame_;
    std::unordered_set<uint32_t> askedQueries_;
};

}  // namespace hg
