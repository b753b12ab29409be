#pragma once
// The run's window and OpenGL context: what the driver supports, the snapshot texture used for
// cross-fades, the fade from black, the frame clock, and the display gamma changed for the run.
#include <GL/glew.h>

#include <optional>
#include <string>

#include "app/frame_clock.h"
#include "app/settings.h"
#include "render/gamma.h"
#include "platform/platform.h"

namespace hg {

class Log;

// Side of the square snapshot texture for a display mode of this height.
int snapshotSideFor(int modeHeight);

class GLWindow {
public:
    explicit GLWindow(Log& log) : log_(log) {}

    bool createWindow(const platform::WindowSpec& spec);
    // Context, black first frame, snapshot texture, capability probe, gamma, in that order.
    void setUpOpenGL(const Settings& settings, bool vsync);
    void setViewport(int width, int height);
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
};

}  // namespace hg
