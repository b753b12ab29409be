#pragma once
// Draws and presents one frame: clear, the per-frame step, then for each view (the whole window,
// or each monitor the room covers) the scene and the 2D pass with the queued screen quads, then
// the swap.
#include <cstddef>
#include <functional>
#include <string>

#include "render/screen_quads.h"

namespace hg {

class GLWindow;

class Renderer {
public:
    Renderer(GLWindow& window, ScreenQuadQueue& quads) : window_(window), quads_(quads) {}

    // `perFrameStep` runs right after the clear, before anything is drawn; `onFirstFrame` once.
    void setPerFrameStep(std::function<void()> step) { perFrameStep_ = std::move(step); }
    void setFirstFrameHook(std::function<void()> hook) { firstFrameHook_ = std::move(hook); }
    // The 3D part of one view's frame, drawn after the per-frame step and before its 2D pass.
    void setScenePass(std::function<void(size_t view)> pass) { scenePass_ = std::move(pass); }
    // Drawn in the 2D pass after the queued quads: the clock overlay with the frame rate. It is
    // given the view's shape (width over height) to keep its pictures' proportions.
    void setOverlay(std::function<void(float aspect)> overlay) { overlay_ = std::move(overlay); }

    void drawFrame();
    // The next frame is written to `path` as it is presented.
    void captureNextFrame(const std::string& path) { capturePath_ = path; }
    bool captured() const { return captured_; }

    // Opacity of the captured view laid over the screen around a camera change.
    float snapshotAlpha = 0.0f;
    bool snapshotPending = false;

private:
    void draw2DPass(float aspect);

    GLWindow& window_;
    ScreenQuadQueue& quads_;
    std::function<void()> perFrameStep_;
    std::function<void()> firstFrameHook_;
    std::function<void(float)> overlay_;
    std::function<void(size_t)> scenePass_;
    bool firstFrame_ = true;
    std::string capturePath_;
    bool captured_ = false;
};

}  // namespace hg
