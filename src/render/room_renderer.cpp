#include "render/room_renderer.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "effects/particle_system.h"
#include "render/gl_window.h"
#include "render/view_layout.h"
#include "render/screen_quads.h"
#include "scene/animated_mesh.h"
#include "scene/mesh_draw.h"
#include "scene/model_instance.h"
#include "scene/scene.h"

namespace hg {

RoomRenderer::RoomRenderer(Scene& scene, PoolBinding& pool, ParticleManager& particles, GLWindow& window,
                           ScreenQuadQueue& quads, float& snapshotAlpha, CameraSet::SeedSource seed)
    : scene_(scene), pool_(pool), particles_(particles), window_(window), quads_(quads), snapshotAlpha_(snapshotAlpha),
      flight_(scene.cameras), boxes_(std::make_unique<OcclusionBoxes>()) {
    if (!flight_.empty()) flight_.startCycle(std::move(seed));
}

RoomRenderer::~RoomRenderer() {
    for (const auto& view : extraViews_) glDeleteTextures(1, &view->snapshotTexture);
}

void RoomRenderer::applyCamera() {
    cameras_->apply();
    frustum_ = cameras_->frustum();
}

RoomRenderer::ExtraView& RoomRenderer::extraView(size_t view) {
    while (extraViews_.size() < view) {
        auto extra = std::make_unique<ExtraView>();
        const size_t number = extraViews_.size() + 1;
        // The same flights, in an order of the view's own; it starts away from view 0's flight.
        extra->cameras = flight_;
        const CameraSet::SeedSource base = flight_.seedSource();
        extra->cameras.startCycle([base, number] { return (base ? base() : 0u) + static_cast<uint32_t>(number) * 7919u; });
        if (extra->cameras.size() > 1 && extra->cameras.currentIndex() == flight_.currentIndex())
            extra->cameras.nextCamera();
        const Viewport& area = window_.views()[std::min(number, window_.views().size() - 1)];
        extra->snapshotSide = snapshotSideFor(area.height);
        glGenTextures(1, &extra->snapshotTexture);
        glBindTexture(GL_TEXTURE_2D, extra->snapshotTexture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, extra->snapshotSide, extra->snapshotSide, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
        extraViews_.push_back(std::move(extra));
    }
    return *extraViews_[view - 1];
}

void RoomRenderer::selectView(size_t view) {
    view_ = view;
    if (view == 0) {
        cameras_ = &flight_;
        snapshotTexture_ = window_.snapshotTexture;
        snapshotSide_ = window_.snapshotSide;
        viewSnapshotAlpha_ = &snapshotAlpha_;
        movedThisFrame_.clear();
        emittedThisFrame_.clear();
        return;
    }
    ExtraView& extra = extraView(view);
    cameras_ = &extra.cameras;
    snapshotTexture_ = extra.snapshotTexture;
    snapshotSide_ = extra.snapshotSide;
    viewSnapshotAlpha_ = &extra.snapshotAlpha;
    // View 0's opacity falls in the frame's own step; the others' fall here, by the same rule.
    extra.snapshotAlpha -= window_.clock.frameStep * 0.01f;
}

bool RoomRenderer::firstDrawThisFrame(const SceneNode& node) {
    const bool first = movedThisFrame_.insert(&node).second;
    return view_ == 0 || first;
}

void RoomRenderer::drawRoom(size_t view) {
    selectView(view);
    if (cameras_->snapshotPending) captureSnapshot();
    resetFrame();
    scenePass();
    if (view_ == 0) particles_.update(window_.clock.frameStep);
    glAlphaFunc(GL_ALWAYS, 1);
    particles_.draw();
    nodePass(translucent_, 0.00001f);

    // Once the cross-fade is over the snapshot quad would change no pixel (zero alpha, blended and
    // alpha-tested away) yet still cost a full-screen textured pass in a software rasteriser.
    if (*viewSnapshotAlpha_ <= 0.0f) return;
    ScreenQuad snapshot;
    snapshot.a = *viewSnapshotAlpha_;
    snapshot.texture = snapshotTexture_;
    quads_.queue(snapshot);
}

// The old view, drawn into the corner of the view and copied into the snapshot texture, covers the
// first frames of the next flight and fades out.
void RoomRenderer::captureSnapshot() {
    cameras_->snapshotPending = false;
    const int side = snapshotSide_;
    const Viewport area = window_.views().empty() ? Viewport{0, 0, window_.clientWidth, window_.clientHeight}
                                                  : window_.views()[std::min(view_, window_.views().size() - 1)];
    glViewport(area.x, area.y, side, side);
    nodePass(opaque_, 0.001f);
    glAlphaFunc(GL_ALWAYS, 0);
    if (window_.clock.framesPerSecond > 20.0f) particles_.draw();
    *viewSnapshotAlpha_ = 1.2f;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, snapshotTexture_);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, area.x, area.y, side, side);
    glViewport(area.x, area.y, area.width, area.height);
    glClear(GL_DEPTH_BUFFER_BIT);
}

void RoomRenderer::resetFrame() {
    for (auto& node : scene_.nodes) {
        node->unvisited = 1;
        node->visible = 0;
    }
}

void RoomRenderer::scenePass() {
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    const GLfloat fogColour[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_DENSITY, 0.00001f);
    glFogf(GL_FOG_START, 2720.0f);
    glFogf(GL_FOG_END, 12600.0f);
    glEnable(GL_CULL_FACE);

    const float step = window_.clock.frameStep;
    CameraSet& cameras = *cameras_;
    const auto& views = window_.views();
    cameras.aspect = projectionAspect(views.empty() ? 1.33f : views[std::min(view_, views.size() - 1)].aspect());
    if (!cameras.empty()) {
        cameras.update(step);
        if (cameras.current().finished) cameras.nextCamera();
        particles_.setCameraPosition(cameras.current().position);
    }
    applyCamera();

    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.6f);
    glColor4d(1, 1, 1, 1);

    if (view_ == 0) {
        for (auto& node : scene_.nodes) {
            if (node->pathAnimated) advancePathNode(*node, step);
        }
    }
    // Query answers arrive a frame late and belong to the view that asked: with several views
    // the openings between room cells decide instead.
    if (scene_.useOcclusionQueries && window_.views().size() <= 1) {
        occlusionWalk();
    } else {
        portalWalk();
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

bool RoomRenderer::portalOpens(const Portal& portal, const Vec3& camera, const Frustum& view) {
    if (portal.points.empty()) return false;
    if (dot(camera - portal.points.front(), portal.normal) <= 0.0f) return false;
    for (const Vec3& p : portal.points) {
        if (view.sphereInside(p.x, p.y, p.z, 35.0f)) return true;
    }
    return view.cubeInside(portal.centre.x, portal.centre.y, portal.centre.z, 175.0f);
}

void RoomRenderer::portalWalk() {
    for (auto& node : scene_.nodes) node->unvisited = 1;
    applyCamera();
    const Vec3 eye = cameras_->empty() ? Vec3{0, 0, 0} : cameras_->current().position;
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
    emitActiveMarkers();
    buildLists();
    nodePass(opaque_, 0.001f);
}

void RoomRenderer::enterZone(SceneNode& zone) {
    if (!zone.isZone || !zone.visible) return;
    for (uint8_t* flag : zone.flagList) *flag = zone.visible;
    zone.unvisited = 0;
    const Vec3 eye = cameras_->empty() ? Vec3{0, 0, 0} : cameras_->current().position;
    for (Portal* portal : zone.portals) {
        if (zone.boxContains(eye)) applyCamera();
        testPortal(*portal);
    }
}

void RoomRenderer::testPortal(Portal& portal) {
    if (!portal.flag) return;
    const Camera* camera = cameras_->empty() ? nullptr : &cameras_->current();
    const Vec3 eye = camera ? camera->position : Vec3{0, 0, 0};
    if (!*portal.flag && portalOpens(portal, eye, frustum_)) *portal.flag = 1;
    if (!*portal.flag || !portal.target) return;

    const float dx = portal.centre.x - eye.x, dy = portal.centre.y - eye.y;
    if (std::sqrt(dx * dx + dy * dy) > 260.0f && camera) {
        // A far opening: look through it with a narrow cone instead of the full view.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        // The narrow cone has the view's shape (1.333 for the 4:3 framing, as it always had).
        gluPerspective(30.0, cameras_->aspect == 1.33f ? 1.333 : cameras_->aspect, 1.0, 3000.0);
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

void RoomRenderer::occlusionWalk() {
    const Vec3 eye = cameras_->empty() ? Vec3{0, 0, 0} : cameras_->current().position;
    for (SceneNode* zone : scene_.zones) {
        if (zone->boxContains(eye)) {
            zone->visible = 1;
            enterZoneByQueries(*zone);
        }
    }
    emitActiveMarkers();
    for (SceneNode* node : scene_.objects) {
        if (node->isInstance && node->visible && node->query) {
            GLuint samples = 0;
            glGetQueryObjectuivARB(node->query, GL_QUERY_RESULT_ARB, &samples);
            node->visible = samples != 0 ? 1 : 0;
        }
    }
    buildLists();
    nodePass(opaque_, 0.001f);
    issueQueries();
}

void RoomRenderer::enterZoneByQueries(SceneNode& zone) {
    zone.unvisited = 0;
    if (!zone.visible) return;
    for (uint8_t* flag : zone.flagList) *flag = zone.visible;
    for (Portal* portal : zone.portals) {
        GLuint samples = 0;
        if (portal->query) glGetQueryObjectuivARB(portal->query, GL_QUERY_RESULT_ARB, &samples);
        if (samples != 0 && portal->flag) {
            *portal->flag = 1;
            if (portal->target && portal->target->unvisited) enterZoneByQueries(*portal->target);
        }
    }
}

// Next frame's questions: which openings and which placed models leave any pixel visible. The
// query geometry is drawn black and fully added nothing, so the picture stays as it is.
void RoomRenderer::issueQueries() {
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glColor4d(0, 0, 0, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_FOG);
    glEnable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    for (SceneNode* zone : scene_.zones) {
        if (!zone->visible) continue;
        for (Portal* portal : zone->portals) {
            if (portal->query) drawPortalForOcclusionTest(portal->query, portal->points, portal->triangles);
        }
    }
    glDisable(GL_CULL_FACE);
    for (SceneNode* node : scene_.objects) {
        if (node->isInstance && node->query && node->parentVisible && *node->parentVisible) {
            boxes_->draw(node->query, node->centre, node->size);
        }
    }
    glEnable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void RoomRenderer::emitActiveMarkers() {
    for (auto& marker : scene_.markers) {
        if (!marker->active || marker->kind != 2) continue;
        // A marker seen in two views still emits once a frame.
        if (!emittedThisFrame_.insert(marker.get()).second && view_ != 0) continue;
        particles_.emitAtMarker(*marker);
    }
    for (auto& marker : scene_.markers) marker->active = 0;
}

void RoomRenderer::buildLists() {
    opaque_.clear();
    translucent_.clear();
    for (auto& node : scene_.nodes) {
        if (!node->visible) continue;
        (node->translucent ? translucent_ : opaque_).push_back(node.get());
    }
}

void RoomRenderer::nodePass(const std::vector<SceneNode*>& list, float alphaReference) {
    pool_.bind();
    glColor4d(1, 1, 1, 1);
    glEnable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, alphaReference);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    applyCamera();

    const float step = window_.clock.frameStep;
    bool bufferReleased = false;
    for (SceneNode* node : list) {
        if (!node->unlit) {
            enableLights(node->lights);
        } else {
            glDisable(GL_LIGHTING);
        }
        const bool moves = firstDrawThisFrame(*node);
        if (node->isInstance) animation_.drawInstanceNode(*node, step, particles_, moves);
        if (node->isAnimatedMesh && node->animated) {
            if (!bufferReleased) {
                pool_.releaseBuffer();
                bufferReleased = true;
            }
            node->animated->setPlacementTranslation(node->centre);
            if (moves) node->animated->update(step);
            node->animated->draw(moves ? step : 0.0f);
        }
        if (!node->isInstance && !node->isAnimatedMesh) {
            for (const FaceGroup& group : node->groups) drawFaceGroup(group, false, pool_);
        }
        if (!node->unlit) disableLights(node->lights);
    }
    pool_.unbind();
}

}  // namespace hg
