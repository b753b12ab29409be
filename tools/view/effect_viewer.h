#pragma once
// `hearthglow-view --effect NAME`: one particle system, or the animated fireplace fire, alone in a
// window on a dark ground, started again and again from a marker at the origin, the camera
// framing it. For looking at an effect while making it, and for pictures of it in the tests.
#include <cstdint>
#include <optional>
#include <string>

#include "core/frame_clock.h"
#include "effects/particle_system.h"
#include "render/renderer.h"
#include "scene/animated_mesh.h"
#include "scene/math.h"

namespace hg {

class FileSystem;
class GLWindow;
class Log;
class TextureManager;

class EffectViewer : public ScenePass {
public:
    EffectViewer(std::string name, const FileSystem& files, TextureManager& textures, Log& log, GLWindow& window);

    // Seeds the random generator (the millisecond timer without a seed), loads the effect, lets
    // it run for a while unseen and places the camera around what it drew.
    void start(std::optional<uint32_t> seed);
    // The scene pass of one frame.
    void drawView(size_t view, const FrameTime& time) override;

    bool isFire() const { return fire_; }
    // What the camera frames: the centre and radius of the running effect.
    Vec3 centre() const { return centre_; }
    float radius() const { return radius_; }

private:
    void advance(float frameStep);
    void frame();
    void drawGround() const;

    std::string name_;
    const FileSystem& files_;
    TextureManager& textures_;
    Log& log_;
    GLWindow& window_;
    bool fire_ = false;
    // Tree lights hang many to a node, and such a node restarts one light at a time; they are
    // shown that way, as a ring of lights, so their long glow does not pile up on one spot.
    bool lightString_ = false;
    float lightCursor_ = 0.0f;
    ParticleManager particles_;
    AnimatedMesh mesh_;
    Vec3 centre_{0, 0, 0};
    float radius_ = 50.0f;
    Vec3 eye_{0, -150, 30};
};

}  // namespace hg
