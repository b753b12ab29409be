#pragma once
// Draws and presents one frame: the screen cleared, the fades advanced, then for each view (the
// whole window, or each monitor the room covers) the scene and the 2D layer, then the swap.
#include <cstddef>
#include <string>

#include "core/frame_clock.h"
#include "render/cross_fade.h"
#include "render/screen_quads.h"

namespace hg {

class GLWindow;
class GlErrorCheck;

// The 3D part of a frame in one view: the room, or a viewer's subject.
class ScenePass {
public:
    virtual ~ScenePass() = default;
    virtual void drawView(size_t view, const FrameTime& time) = 0;
};

// The pictures over the scene (the clock and the calendar), given the view's width over height.
class OverlayPass {
public:
    virtual ~OverlayPass() = default;
    virtual void drawOverlay(float aspect, const FrameTime& time) = 0;
};

class Renderer {
public:
    Renderer(GLWindow& window, ScreenQuadQueue& quads) : window_(window), quads_(quads) {}

    // Once the context exists: a snapshot texture for each view, view 0's sized by the display
    // mode's height, the others' by their own.
    void start(int modeHeight);
    void setScene(ScenePass* scene) { scene_ = scene; }
    void setOverlay(OverlayPass* overlay) { overlay_ = overlay; }
    // Asked after each pass of a frame (--gl-check).
    void setErrorCheck(GlErrorCheck* check) { check_ = check; }
    CrossFade& crossFade() { return crossFade_; }

    void drawFrame(const FrameTime& time);
    // The next frame is written to `path` as it is presented.
    void captureNextFrame(const std::string& path) { capturePath_ = path; }
    bool captured() const { return captured_; }
    // Shutdown: the snapshot textures go.
    void release() { crossFade_.destroy(); }

private:
    void clearScreen();
    void draw2D(size_t view, const FrameTime& time);
    void present();
    void checkAfter(const char* pass);

    GLWindow& window_;
    ScreenQuadQueue& quads_;
    CrossFade crossFade_;
    ScenePass* scene_ = nullptr;
    OverlayPass* overlay_ = nullptr;
    GlErrorCheck* check_ = nullptr;
    std::string capturePath_;
    bool captured_ = false;
};

}  // namespace hg
