#include "render/room_renderer.h"

#include "gl/gl.h"

#include <algorithm>
#include <cmath>

#include "effects/particle_system.h"
#include "render/cross_fade.h"
#include "render/fragment_census.h"
#include "render/gl_error_check.h"
#include "render/gl_window.h"
#include "render/screen_quads.h"
#include "render/window_view.h"
#include "scene/animated_mesh.h"
#include "scene/mesh_draw.h"
#include "scene/model_instance.h"
#include "scene/scene.h"

namespace hg {
namespace {

// The alpha test's reference of each pass: scene set-up, opaque nodes, translucent nodes.
constexpr float kSceneAlphaReference = 0.6f;
constexpr float kOpaqueAlphaReference = 0.001f;
constexpr float kTranslucentAlphaReference = 0.00001f;
// Linear fog, light grey, far beyond the room: only the landscape outside the windows greys.
constexpr GLfloat kFogColour[4] = {0.8f, 0.8f, 0.8f, 1.0f};
constexpr float kFogDensity = 0.00001f;
constexpr float kFogStart = 2720.0f;
constexpr float kFogEnd = 12600.0f;
// The old view's particles go into the snapshot only when the machine keeps up.
constexpr float kSnapshotParticlesAbove = 20.0f;
// A further view's flights start from a seed of their own.
constexpr uint32_t kViewSeedSpacing = 7919u;

Vec3 eyeOf(const CameraSet& cameras) { return cameras.empty() ? Vec3{0, 0, 0} : cameras.current().position; }

// The fog starts far beyond the room: a node wholly nearer than that is not fogged at all. Room
// objects are judged by the sphere round their corners, standing models by their box; a model on
// a recorded path and the fire count as fogged (their boxes do not follow them).
bool reachedByFog(const SceneNode& node, const Vec3& eye) {
    if (node.isAnimatedMesh || node.pathAnimated) return true;
    const bool roomObject = !node.isInstance;
    const Vec3 centre = roomObject ? node.bound.centre : node.centre;
    const float reach = roomObject ? node.bound.radius : node.diagonal * 0.5f;
    const float away = distance(centre, eye);
    return !(reach >= 0.0f && away + reach < kFogStart);
}

bool inView(const Frustum& view, const Sphere& sphere) {
    return sphere.radius >= 0.0f && view.sphereInside(sphere.centre.x, sphere.centre.y, sphere.centre.z, sphere.radius);
}

}  // namespace

RoomRenderer::RoomRenderer(Scene& scene, PoolBinding& pool, ParticleManager& particles, GLWindow& window,
                           ScreenQuadQueue& quads, CrossFade& crossFade, CameraSet::SeedSource seed)
    : scene_(scene), pool_(pool), particles_(particles), window_(window), quads_(quads), crossFade_(crossFade),
      visibility_(scene, particles), boxes_(std::make_unique<OcclusionBoxes>()) {
    views_.push_back({CameraSet(scene.cameras), {}});
    if (!views_.front().cameras.empty()) views_.front().cameras.startCycle(std::move(seed));
}

RoomRenderer::~RoomRenderer() = default;

void RoomRenderer::drawView(size_t view, const FrameTime& time) {
    ViewState& state = viewState(view);
    const bool firstView = view == 0;
    if (firstView) {
        movedThisFrame_.clear();
        visibility_.beginFrame();
        animation_.setLocalTime(time.now);
        if (census_) census_->nextFrame();
    }
    if (state.cameras.snapshotPending) {
        drawSnapshot(view, state, time);
        checkAfter("the cross-fade snapshot");
    }

    setUpScene();
    moveCamera(view, state.cameras, time.step);
    if (firstView) movePathNodes(time.step);
    // Query answers arrive a frame late and belong to the view that asked: with several views the
    // openings between room cells decide instead.
    const bool byQueries = scene_.useOcclusionQueries && window_.views().size() <= 1;
    state.drawn = visibility_.find(state.cameras, byQueries, firstView);
    counting_ = firstView && census_ && census_->counting() ? census_ : nullptr;

    animate(state.drawn.opaque, view, time.step);
    drawOpaque(state.drawn.opaque, state.cameras);
    checkAfter("the opaque nodes");
    if (byQueries) {
        visibility_.askQueries(*boxes_, eyeOf(state.cameras));
        checkAfter("the occlusion queries");
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    if (firstView) particles_.update(time.step);
    glAlphaFunc(GL_ALWAYS, 1);
    if (counting_) counting_->begin();
    drawParticles();
    if (counting_) counting_->end("particles");
    checkAfter("the particles");
    animate(state.drawn.translucent, view, time.step);
    drawNodes(state.drawn.translucent, state.cameras, kTranslucentAlphaReference);
    checkAfter("the translucent nodes");
    crossFade_.queueSnapshotQuad(view, quads_);
    if (counting_) {
        const Viewport& pixels = area(view);
        counting_->report(static_cast<long>(pixels.width) * pixels.height);
        counting_ = nullptr;
    }
}

void RoomRenderer::checkAfter(const char* pass) {
    if (check_) check_->after(pass);
}

RoomRenderer::ViewState& RoomRenderer::viewState(size_t view) {
    while (views_.size() <= view) {
        // The same flights, in an order of the view's own; it starts away from view 0's flight.
        const CameraSet& first = views_.front().cameras;
        ViewState state{first, {}};
        const CameraSet::SeedSource base = first.seedSource();
        const auto number = static_cast<uint32_t>(views_.size());
        state.cameras.startCycle([base, number] { return (base ? base() : 0u) + number * kViewSeedSpacing; });
        if (state.cameras.size() > 1 && state.cameras.currentIndex() == first.currentIndex()) state.cameras.nextCamera();
        views_.push_back(std::move(state));
    }
    return views_[view];
}

const Viewport& RoomRenderer::area(size_t view) const {
    const auto& views = window_.views();
    return views[std::min(view, views.size() - 1)];
}

// The old view, drawn as it stood (moved on by this frame's step) into the view's corner and kept
// in the snapshot texture, covers the first frames of the next flight and fades out.
void RoomRenderer::drawSnapshot(size_t view, ViewState& state, const FrameTime& time) {
    state.cameras.snapshotPending = false;
    crossFade_.beginSnapshot(view, area(view));
    animate(state.drawn.opaque, view, time.step);
    drawOpaque(state.drawn.opaque, state.cameras);
    glAlphaFunc(GL_ALWAYS, 0);
    if (time.framesPerSecond > kSnapshotParticlesAbove) particles_.draw();
    crossFade_.endSnapshot(view, area(view));
}

void RoomRenderer::setUpScene() {
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, kFogColour);
    glFogf(GL_FOG_DENSITY, kFogDensity);
    glFogf(GL_FOG_START, kFogStart);
    glFogf(GL_FOG_END, kFogEnd);
    glEnable(GL_CULL_FACE);
}

void RoomRenderer::moveCamera(size_t view, CameraSet& cameras, float step) {
    cameras.aspect = projectionAspect(area(view).aspect());
    if (!cameras.empty()) {
        cameras.update(step);
        if (cameras.current().finished) cameras.nextCamera();
        particles_.setCameraPosition(cameras.current().position);
    }
    cameras.apply();
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, kSceneAlphaReference);
    glColor4d(1, 1, 1, 1);
}

void RoomRenderer::movePathNodes(float step) {
    for (auto& node : scene_.nodes) {
        if (node->pathAnimated) advancePathNode(*node, step);
    }
}

// The first view to draw a node this frame moves it; view 0 always does (its snapshot and its own
// pass each move it, as the room always has).
void RoomRenderer::animate(const std::vector<SceneNode*>& nodes, size_t view, float step) {
    for (SceneNode* node : nodes) {
        const bool first = movedThisFrame_.insert(node).second;
        if (view != 0 && !first) continue;
        if (node->isInstance) animateInstanceNode(*node, animation_, step, particles_);
        if (node->isAnimatedMesh) animateFireNode(*node, step);
    }
}

void RoomRenderer::drawOpaque(const std::vector<SceneNode*>& nodes, CameraSet& cameras) {
    drawNodes(opaqueOrder_.arrange(nodes, eyeOf(cameras)), cameras, kOpaqueAlphaReference);
}

void RoomRenderer::drawNodes(const std::vector<SceneNode*>& nodes, CameraSet& cameras, float alphaReference) {
    pool_.bind();
    glColor4d(1, 1, 1, 1);
    glEnable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, alphaReference);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    cameras.apply();
    const Vec3 eye = eyeOf(cameras);
    // What lies wholly outside the view is not sent at all: the driver would only clip it away.
    const Frustum& view = cameras.frustum();
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    static constexpr GLfloat kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const Frustum eyeView = Frustum::fromMatrices(projection, kIdentity);

    bool bufferReleased = false;
    for (SceneNode* node : nodes) {
        // Fog that cannot reach a node changes none of its pixels: without it each pixel costs less.
        const bool fogged = reachedByFog(*node, eye);
        if (counting_) counting_->begin();
        if (fogged) {
            glEnable(GL_FOG);
        } else {
            glDisable(GL_FOG);
        }
        if (!node->unlit) {
            enableLights(node->lights);
        } else {
            glDisable(GL_LIGHTING);
        }
        if (node->isInstance && node->instance) drawModel(*node->instance, eyeView, fogged);
        if (node->isAnimatedMesh && node->animated) {
            // The fire draws from its own arrays, not from the pool's buffer.
            if (!bufferReleased) {
                pool_.releaseBuffer();
                bufferReleased = true;
            }
            node->animated->draw();
        }
        if (!node->isInstance && !node->isAnimatedMesh && inView(view, node->bound)) {
            if (node->outdoors) {
                drawOutdoors(*node, fogged, projection);
            } else {
                drawRoomObject(*node, fogged);
            }
        }
        if (!node->unlit) disableLights(node->lights);
        if (counting_) counting_->end(node->name);
    }
    glEnable(GL_FOG);
    pool_.unbind();
}

// A model's extra pass goes on the second unit only where fog cannot reach: fogged, the one pass
// would fog the sum where the two passes fog each part.
void RoomRenderer::drawModel(const ModelInstance& model, const Frustum& eyeView, bool fogged) {
    const bool extraOnSecondUnit = extraPassUnit_ && !fogged;
    if (extraOnSecondUnit) pool_.setSecondUnitOnUv(true);
    model.draw(&eyeView, extraOnSecondUnit);
    if (extraOnSecondUnit) pool_.setSecondUnitOnUv(false);
}

void RoomRenderer::drawRoomObject(const SceneNode& node, bool fogged) {
    for (const FaceGroup& group : node.groups) {
        if (lightmapUnit_ && !fogged && drawsInOnePass(group)) {
            drawFaceGroupInOnePass(group, pool_);
        } else {
            drawFaceGroup(group, false, pool_);
        }
    }
}

// The landscape, within the screen rectangle of the window panes; not at all when none is in view.
// A scene without panes has no such bound.
void RoomRenderer::drawOutdoors(const SceneNode& node, bool fogged, const float projection[16]) {
    if (scene_.windowPanes.empty()) {
        drawRoomObject(node, fogged);
        return;
    }
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const ScreenRect rect = paneRectOnScreen(scene_.windowPanes, projection, modelview, viewport);
    if (rect.empty()) return;
    glScissor(rect.x, rect.y, rect.width, rect.height);
    glEnable(GL_SCISSOR_TEST);
    drawRoomObject(node, fogged);
    glDisable(GL_SCISSOR_TEST);
}

void RoomRenderer::drawParticles() { particles_.draw(); }

}  // namespace hg
