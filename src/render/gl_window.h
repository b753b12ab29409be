#pragma once
// The run's window and OpenGL context: what the driver supports, the snapshot texture used for
// cross-fades, the fade from black, the frame clock, and the display gamma changed for the run.
#include <GL/glew.h>

#include <optional>
#include <string>

#include "core/frame_clock.h"
#include "core/settings.h"
#include "render/gamma.h"
#include "render/view_layout.h"
#include "platform/platform.h"

namespace hg {

class Log;

// Side of the square snapshot texture for a display mode of this height.
int snapshotSideFor(int modeHeight);

class GLWindow {
public:
    explicit GLWindow(Log& log) : log_(log) {}

    bool createWindow(const platform::WindowSpec& spec);
    // Context, black first frame, snapshot texture, capability probe, gamma, in that order. Only a
    // full-screen run changes the display's gamma; a window or a host's window leaves it alone.
    // False when no context could be made.
    bool setUpOpenGL(const Settings& settings, bool vsync, bool changeGamma);
    void setViewport(int width, int height);

    // Where the room is drawn: one viewport per view (the whole window unless a full-screen run
    // places it on monitors).
    const std::vector<Viewport>& views() const { return views_; }
    void setViews(std::vector<Viewport> views) { views_ = std::move(views); }
    // The viewport and the default projection of one view.
    void useView(size_t index);
    // A window drawn whole follows its drawing area's size (a host's window sends no resize
    // events, so it is asked every frame). True when the size changed.
    bool followClientSize();
    // Logs "Set old Gamma: " and puts back exactly the ramp that was in force before the run.
    void restoreGamma();
    // Context, display mode and cursor back as they were; the window goes.
    void shutDown();

    platform::Window& window() { return window_; }

    DisplayMode mode{};
    bool fullScreen = false;
    int clientWidth = 0;
    int clientHeight = 0;

    bool useVertexBuffers = false;
    bool useOcclusionQueries = false;
    int maxTextureUnits = 0;
    int occlusionCounterBits = 0;

    GLuint snapshotTexture = 0;
    int snapshotSide = 256;
    float fadeAlpha = 1.0f;

    FrameClock clock;

private:
    void createSnapshotTexture();
    void probeCapabilities();
    void changeGamma(const Settings& settings);

    Log& log_;
    platform::Window window_;
    GammaSession gamma_;
    bool gammaChanged_ = false;
    std::vector<Viewport> views_;
};

}  // namespace hg
