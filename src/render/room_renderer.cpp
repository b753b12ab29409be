#include "render/room_renderer.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cmath>

#include "effects/particle_system.h"
#include "render/gl_window.h"
#include "render/screen_quads.h"
#include "scene/animated_mesh.h"
#include "scene/mesh_draw.h"
#include "scene/model_instance.h"
#include "scene/scene.h"

namespace hg {

RoomRenderer::RoomRenderer(Scene& scene, PoolBinding& pool, ParticleManager& particles, GLWindow& window,
                           ScreenQuadQueue& quads, float& snapshotAlpha)
    : scene_(scene), pool_(pool), particles_(particles), window_(window), quads_(quads), snapshotAlpha_(snapshotAlpha),
      boxes_(std::make_unique<OcclusionBoxes>()) {}

RoomRenderer::~RoomRenderer() = default;

void RoomRenderer::applyCamera() {
    scene_.cameras.apply();
    frustum_ = scene_.cameras.frustum();
}

void RoomRenderer::drawRoom() {
    if (scene_.cameras.snapshotPending) captureSnapshot();
    resetFrame();
    scenePass();
    particles_.update(window_.clock.frameStep);
    glAlphaFunc(GL_ALWAYS, 1);
    particles_.draw();
    nodePass(translucent_, 0.00001f);

    // Once the cross-fade is over the snapshot quad would change no pixel (zero alpha, blended and
    // alpha-tested away) yet still cost a full-screen textured pass in a software rasteriser.
    if (snapshotAlpha_ <= 0.0f) return;
    ScreenQuad snapshot;
    snapshot.a = snapshotAlpha_;
    snapshot.texture = window_.snapshotTexture;
    quads_.queue(snapshot);
}

// The old view, drawn into the corner of the back buffer and copied into the snapshot texture,
// covers the first frames of the next flight and fades out.
void RoomRenderer::captureSnapshot() {
    scene_.cameras.snapshotPending = false;
    const int side = window_.snapshotSide;
    glViewport(0, 0, side, side);
    nodePass(opaque_, 0.001f);
    glAlphaFunc(GL_ALWAYS, 0);
    if (window_.clock.framesPerSecond > 20.0f) particles_.draw();
    snapshotAlpha_ = 1.2f;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, window_.snapshotTexture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, side, side);
    glViewport(0, 0, window_.clientWidth, window_.clientHeight);
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
    CameraSet& cameras = scene_.cameras;
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

    for (auto& node : scene_.nodes) {
        if (node->pathAnimated) advancePathNode(*node, step);
    }
    if (scene_.useOcclusionQueries) {
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
    const Vec3 eye = scene_.cameras.empty() ? Vec3{0, 0, 0} : scene_.cameras.current().position;
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
    const Vec3 eye = scene_.cameras.empty() ? Vec3{0, 0, 0} : scene_.cameras.current().position;
    for (Portal* portal : zone.portals) {
        if (zone.boxContains(eye)) applyCamera();
        testPortal(*portal);
    }
}

void RoomRenderer::testPortal(Portal& portal) {
    if (!portal.flag) return;
    const Camera* camera = scene_.cameras.empty() ? nullptr : &scene_.cameras.current();
    const Vec3 eye = camera ? camera->position : Vec3{0, 0, 0};
    if (!*portal.flag && portalOpens(portal, eye, frustum_)) *portal.flag = 1;
    if (!*portal.flag || !portal.target) return;

    const float dx = portal.centre.x - eye.x, dy = portal.centre.y - eye.y;
    if (std::sqrt(dx * dx + dy * dy) > 260.0f && camera) {
        // A far opening: look through it with a narrow cone instead of the full view.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(30.0, 1.333, 1.0, 3000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        Vec3 towards{dx, dy, 0.0f};
        towards.normalize();
        const Vec3 centre = eye + towards;
        gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, camera->up.x, camera->up.y, camera->up.z);
    } else {
        scene_.cameras.apply();
    }
    frustum_ = Frustum::fromOpenGL();
    if (portal.target->unvisited) enterZone(*portal.target);
}

void RoomRenderer::occlusionWalk() {
    const Vec3 eye = scene_.cameras.empty() ? Vec3{0, 0, 0} : scene_.cameras.current().position;
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
        if (marker->active && marker->kind == 2) particles_.emitAtMarker(*marker);
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
        if (node->isInstance) animation_.drawInstanceNode(*node, step, particles_);
        if (node->isAnimatedMesh && node->animated) {
            if (!bufferReleased) {
                pool_.releaseBuffer();
                bufferReleased = true;
            }
            node->animated->setPlacementTranslation(node->centre);
            node->animated->update(step);
            node->animated->draw(step);
        }
        if (!node->isInstance && !node->isAnimatedMesh) {
            for (const FaceGroup& group : node->groups) drawFaceGroup(group, false, pool_);
        }
        if (!node->unlit) disableLights(node->lights);
    }
    pool_.unbind();
}

}  // namespace hg
