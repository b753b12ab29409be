#pragma once
// The run's window and OpenGL context: what the driver supports, the drawing area and where the
// room goes in it, and the display gamma changed for a full-screen run.
#include "gl/gl.h"

#include <optional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "platform/platform.h"
#include "render/frame_throttle.h"
#include "render/gamma.h"
#include "render/view_layout.h"

namespace hg {

class Log;

// What the driver offers, found once the context exists.
struct Capabilities {
    bool vertexBuffers = false;
    bool occlusionQueries = false;
    int textureUnits = 0;
    bool multitexture = false;  // a second texture unit can be used in the same pass
    bool modulateAdd = false;   // and it can add its texture, squared, to the colour so far
    bool fences = false;        // the program can wait for the driver to reach a point
    int occlusionCounterBits = 0;
};

// Side of the square snapshot texture for a display mode of this height.
int snapshotSideFor(int modeHeight);

class GLWindow {
public:
    explicit GLWindow(Log& log) : log_(log) {}

    bool createWindow(const platform::WindowSpec& spec);
    // Context, black first frame, capability probe and gamma, in that order. Only a full-screen
    // run changes the display's gamma; a window or a host's window leaves it alone. Nothing when
    // no context could be made.
    std::optional<Capabilities> setUpOpenGL(const Settings& settings, bool vsync, bool changeGamma);
    void setViewport(int width, int height);
    // Logs "Set old Gamma: " and puts back exactly the ramp that was in force before the run.
    void restoreGamma();
    // Context, display mode and cursor back as they were; the window goes.
    void shutDown();
    // The frame goes to the screen; the program then waits until the driver has drawn the frame
    // before it, so no more than one frame is ever queued behind the one on the way.
    void swapBuffers();

    // The drawing area, where the window lies on the desktop, and the screen a host's window is on.
    platform::Point clientSize() const { return {clientWidth_, clientHeight_}; }
    platform::Rect frame() const { return window_.frame(); }
    platform::Point screenSize() const { return window_.screenSize(); }
    // False once a host's window has gone.
    bool alive() const { return window_.alive(); }

    // Where the scene is drawn: one viewport per view (the whole window unless a full-screen run
    // places it on monitors).
    const std::vector<Viewport>& views() const { return views_; }
    void setViews(std::vector<Viewport> views) { views_ = std::move(views); }
    // The viewport and the default projection of one view.
    void useView(size_t index);
    // A window drawn whole follows its drawing area's size (a host's window sends no resize
    // events, so it is asked every frame). True when the size changed.
    bool followClientSize();

private:
    Capabilities probeCapabilities();
    void changeGamma(const Settings& settings);

    Log& log_;
    platform::Window window_;
    FrameThrottle throttle_;
    GammaSession gamma_;
    bool gammaChanged_ = false;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    std::vector<Viewport> views_;
};

}  // namespace hg
