#include "view/effect_viewer.h"

#include "gl/gl.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/log.h"
#include "core/random.h"
#include "archive/file_system.h"
#include "image/texture_manager.h"
#include "platform/platform.h"
#include "render/gl_window.h"
#include "scene/marker_kind.h"
#include "scene/mesh.h"

namespace hg {
namespace {
constexpr int kLightsOnString = 24;
constexpr float kLightStringRadius = 20.0f;
constexpr int kWarmUpFrames = 240;

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}
}  // namespace

EffectViewer::EffectViewer(std::string name, const FileSystem& files, TextureManager& textures, Log& log, GLWindow& window)
    : name_(std::move(name)), files_(files), textures_(textures), log_(log), window_(window), particles_(files, textures) {
    fire_ = name_ == "fireplace_fire";
    lightString_ = endsWith(name_, "_firlight");
}

void EffectViewer::start(std::optional<uint32_t> seed) {
    seedRandom(seed ? *seed : platform::milliseconds());
    log_.writeLine("Effect viewer: " + name_);
    if (fire_) {
        mesh_.load(name_, files_, textures_, log_);
        mesh_.startFire();
        mesh_.setPlacementTranslation({0, 0, 0});
    }
    particles_.setViewAxes({1, 0, 0}, {0, 0, 1});  // the camera looks along +y, z up
    for (int i = 0; i < kWarmUpFrames; ++i) advance(1.0f);
    frame();
}

// One frame of the effect without drawing: the starts, then the simulation.
void EffectViewer::advance(float frameStep) {
    if (fire_) {
        mesh_.setPlacementTranslation({0, 0, 0});
        mesh_.update(frameStep);
        return;
    }
    MeshMarker marker;
    marker.kind = kEmitterMarker;
    marker.name = "emit " + name_;
    marker.shortName = name_;
    if (lightString_) {
        if (lightCursor_ >= static_cast<float>(kLightsOnString)) lightCursor_ = 0.0f;
        const float angle = static_cast<float>(static_cast<int>(lightCursor_)) * 6.2831853f / kLightsOnString;
        marker.worldPosition = {kLightStringRadius * std::cos(angle), 0.0f, kLightStringRadius * std::sin(angle)};
        lightCursor_ += frameStep * 0.4f;
    }
    particles_.setCameraPosition(eye_);
    particles_.emitAtMarker(marker);
    particles_.update(frameStep);
}

// The camera looks at the middle of what the effect drew, from in front and a little above, far
// enough back for all of it to fit.
void EffectViewer::frame() {
    Vec3 low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
    auto include = [&](float x, float y, float z) {
        low = {std::min(low.x, x), std::min(low.y, y), std::min(low.z, z)};
        high = {std::max(high.x, x), std::max(high.y, y), std::max(high.z, z)};
    };
    if (fire_) {
        for (const Vec3& p : mesh_.skinnedPositions()) include(p.x, p.y, p.z);
    } else {
        const auto& vertices = particles_.vertices();
        for (int i = 0; i < particles_.verticesWritten(); ++i) include(vertices[static_cast<size_t>(i)].x, vertices[static_cast<size_t>(i)].y, vertices[static_cast<size_t>(i)].z);
    }
    if (low.x > high.x) {
        low = {-10, -10, -10};
        high = {10, 10, 10};
    }
    centre_ = (low + high) * 0.5f;
    const Vec3 extent = high - low;
    radius_ = std::max({extent.x, extent.z, 2.0f}) * 0.5f;
    const float distance = radius_ / std::tan(22.5f * 3.14159265f / 180.0f) * 1.25f;
    eye_ = centre_ + Vec3{0.0f, -distance * 0.97f, distance * 0.24f};
    log_.writeLine("Effect size: ", radius_ * 2.0f);
}

void EffectViewer::drawGround() const {
    const float size = radius_ * 4.0f;
    const float z = centre_.z - radius_ * 1.05f;
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glColor4f(0.05f, 0.045f, 0.04f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3f(centre_.x - size, centre_.y - size, z);
    glVertex3f(centre_.x + size, centre_.y - size, z);
    glVertex3f(centre_.x + size, centre_.y + size, z);
    glVertex3f(centre_.x - size, centre_.y + size, z);
    glEnd();
    glColor4f(1, 1, 1, 1);
}

void EffectViewer::drawView(size_t, const FrameTime& time) {
    const float step = time.step;
    const platform::Point size = window_.clientSize();
    const float aspect = size.y > 0 ? static_cast<float>(size.x) / static_cast<float>(size.y) : 1.0f;
    glDisable(GL_FOG);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect, radius_ * 0.05, radius_ * 40.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye_.x, eye_.y, eye_.z, centre_.x, centre_.y, centre_.z, 0, 0, 1);
    drawGround();

    if (fire_) {
        mesh_.setPlacementTranslation({0, 0, 0});
        mesh_.update(step);
        mesh_.advanceTexture(step);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.001f);
        mesh_.draw();
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    } else {
        advance(step);
        glAlphaFunc(GL_ALWAYS, 1.0f);
        particles_.draw();
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

}  // namespace hg
