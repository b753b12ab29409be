#include "render/room_visibility.h"

#include "gl/gl.h"

#include <cmath>

#include "render/camera.h"
#include "scene/marker_kind.h"
#include "scene/mesh_draw.h"
#include "scene/particle_sink.h"
#include "scene/scene.h"

namespace hg {
namespace {

// A portal point within this radius of the view, or its centre's cube of this half size, opens it.
constexpr float kPortalPointRadius = 35.0f;
constexpr float kPortalCentreCube = 175.0f;
// An opening farther than this is looked through with a narrow cone of this field of view.
constexpr float kFarOpening = 260.0f;
constexpr double kFarOpeningCone = 30.0;

Vec3 eyeOf(const CameraSet& cameras) { return cameras.empty() ? Vec3{0, 0, 0} : cameras.current().position; }

}  // namespace

void RoomVisibility::beginFrame() { startedThisFrame_.clear(); }

DrawLists RoomVisibility::find(CameraSet& cameras, bool byQueries, bool firstView) {
    cameras_ = &cameras;
    for (auto& node : scene_.nodes) {
        node->unvisited = 1;
        node->visible = 0;
    }
    if (byQueries) {
        queryWalk();
    } else {
        portalWalk();
    }
    startSeenMarkers(firstView);
    return listSeen();
}

void RoomVisibility::applyCamera() {
    cameras_->apply();
    frustum_ = cameras_->frustum();
}

bool RoomVisibility::portalOpens(const Portal& portal, const Vec3& camera, const Frustum& view) {
    if (portal.points.empty()) return false;
    if (dot(camera - portal.points.front(), portal.normal) <= 0.0f) return false;
    for (const Vec3& p : portal.points) {
        if (view.sphereInside(p.x, p.y, p.z, kPortalPointRadius)) return true;
    }
    return view.cubeInside(portal.centre.x, portal.centre.y, portal.centre.z, kPortalCentreCube);
}

void RoomVisibility::portalWalk() {
    applyCamera();
    const Vec3 eye = eyeOf(*cameras_);
    for (auto& node : scene_.nodes) {
        if (node->isZone && node->boxContains(eye)) {
            node->visible = 1;
            enterZone(*node);
        }
    }
    for (SceneNode* node : scene_.objects) {
        if (node->isInstance && node->visible) {
            node->visible = frustum_.cubeInside(node->centre.x, node->centre.y, node->centre.z, node->diagonal) ? 1 : 0;
        }
    }
}

void RoomVisibility::enterZone(SceneNode& zone) {
    if (!zone.isZone || !zone.visible) return;
    for (uint8_t* flag : zone.flagList) *flag = zone.visible;
    zone.unvisited = 0;
    const Vec3 eye = eyeOf(*cameras_);
    for (Portal* portal : zone.portals) {
        if (zone.boxContains(eye)) applyCamera();
        testPortal(*portal);
    }
}

void RoomVisibility::testPortal(Portal& portal) {
    if (!portal.flag) return;
    const Camera* camera = cameras_->empty() ? nullptr : &cameras_->current();
    const Vec3 eye = eyeOf(*cameras_);
    if (!*portal.flag && portalOpens(portal, eye, frustum_)) *portal.flag = 1;
    if (!*portal.flag || !portal.target) return;

    const float dx = portal.centre.x - eye.x, dy = portal.centre.y - eye.y;
    if (std::sqrt(dx * dx + dy * dy) > kFarOpening && camera) {
        // A far opening: look through it with a narrow cone of the view's shape (1.333 for the 4:3
        // framing, as it always had) instead of the full view.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(kFarOpeningCone, cameras_->aspect == 1.33f ? 1.333 : cameras_->aspect, 1.0, 3000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        Vec3 towards{dx, dy, 0.0f};
        towards.normalize();
        const Vec3 centre = eye + towards;
        gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, camera->up.x, camera->up.y, camera->up.z);
    } else {
        cameras_->apply();
    }
    frustum_ = Frustum::fromOpenGL();
    if (portal.target->unvisited) enterZone(*portal.target);
}

void RoomVisibility::queryWalk() {
    const Vec3 eye = eyeOf(*cameras_);
    for (SceneNode* zone : scene_.zones) {
        if (zone->boxContains(eye)) {
            zone->visible = 1;
            enterZoneByQueries(*zone);
        }
    }
    for (SceneNode* node : scene_.objects) {
        if (node->isInstance && node->visible && node->query) node->visible = samplesOf(node->query) != 0 ? 1 : 0;
    }
}

void RoomVisibility::enterZoneByQueries(SceneNode& zone) {
    zone.unvisited = 0;
    if (!zone.visible) return;
    for (uint8_t* flag : zone.flagList) *flag = zone.visible;
    for (Portal* portal : zone.portals) {
        const uint32_t samples = portal->query ? samplesOf(portal->query) : 0;
        if (samples != 0 && portal->flag) {
            *portal->flag = 1;
            if (portal->target && portal->target->unvisited) enterZoneByQueries(*portal->target);
        }
    }
}

uint32_t RoomVisibility::samplesOf(uint32_t query) const {
    if (!askedQueries_.contains(query)) return 0;
    GLuint samples = 0;
    glGetQueryObjectuivARB(query, GL_QUERY_RESULT_ARB, &samples);
    return samples;
}

void RoomVisibility::ask(uint32_t query) { askedQueries_.insert(query); }

void RoomVisibility::startSeenMarkers(bool firstView) {
    for (auto& marker : scene_.markers) {
        if (!marker->active || marker->kind != kEmitterMarker) continue;
        // A marker seen in two views still starts its system once a frame.
        if (!startedThisFrame_.insert(marker.get()).second && !firstView) continue;
        particles_.emitAtMarker(*marker);
    }
    for (auto& marker : scene_.markers) marker->active = 0;
}

DrawLists RoomVisibility::listSeen() const {
    DrawLists lists;
    for (auto& node : scene_.nodes) {
        if (!node->visible) continue;
        (node->translucent ? lists.translucent : lists.opaque).push_back(node.get());
    }
    return lists;
}

namespace {

// A box seen from well outside: along every ray the near face comes before the far face, and the
// near plane (1 unit ahead) cuts neither, so leaving out the far faces changes no answer of "were
// any samples drawn". From inside or close by only the far faces may be left to answer.
constexpr float kFarFacesMargin = 10.0f;

bool seenFromOutside(const SceneNode& node, const Vec3& eye) {
    const Vec3 half = node.size * 0.5f + Vec3{kFarFacesMargin, kFarFacesMargin, kFarFacesMargin};
    const Vec3 away = eye - node.centre;
    return std::fabs(away.x) > half.x || std::fabs(away.y) > half.y || std::fabs(away.z) > half.z;
}

}  // namespace

void RoomVisibility::askQueries(OcclusionBoxes& boxes, const Vec3& eye) {
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glColor4d(0, 0, 0, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_FOG);
    glEnable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    // The colour is masked as well: the blend above already adds nothing, this spares the work.
    // The alpha test, which every sample (alpha 1) passes, goes off too: without it the depth test
    // can turn hidden samples away early.
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDisable(GL_ALPHA_TEST);
    for (SceneNode* zone : scene_.zones) {
        if (!zone->visible) continue;
        for (Portal* portal : zone->portals) {
            if (!portal->query) continue;
            drawPortalForOcclusionTest(portal->query, portal->points, portal->triangles);
            ask(portal->query);
        }
    }
    for (SceneNode* node : scene_.objects) {
        if (node->isInstance && node->query && node->parentVisible && *node->parentVisible) {
            if (seenFromOutside(*node, eye)) {
                glEnable(GL_CULL_FACE);
            } else {
                glDisable(GL_CULL_FACE);
            }
            boxes.draw(node->query, node->centre, node->size);
            ask(node->query);
        }
    }
    glEnable(GL_CULL_FACE);
    glEnable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

}  // namespace hg
