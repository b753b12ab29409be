#pragma once
// The run's heart: one event per pass, a frame whenever none waits, the per-frame step (timing,
// fades, mouse test), the exit rules, and the shutdown that puts the desktop back.
#include <functional>

#include "app/command_line.h"
#include "app/local_clock.h"
#include "platform/platform.h"

namespace hg {

class Log;
class Settings;
class GLWindow;
class Renderer;
class ScreenQuadQueue;

// More than 30 pixels between two frames on one axis.
bool mouseMovedTooFar(platform::Point previous, platform::Point current);

// Who decides when a run ends.
enum class RunInput {
    FullScreen,  // every key but the space bar, a left click, mouse movement
    Window,      // closing the window, Escape or Q
    Host,        // a host's window: only the host, by SIGTERM; keys and the mouse are the host's
};
bool keyEndsRun(platform::Key key, RunInput input);

// The black quad's opacity after one more frame: it starts to fall once the run clock passes 1.
float nextFadeAlpha(float fadeAlpha, float runClock, float frameStep);

class MainLoop {
public:
    MainLoop(Log& log, const Settings& settings, GLWindow& window, Renderer& renderer, ScreenQuadQueue& quads,
             const LaunchOptions& options);

    // Remembers where the cursor is, for the mouse test.
    void recordCursor();
    // Runs until RunMode leaves Run or a quit event arrives, then shuts the run down.
    void run();
    // Called by the renderer once per frame, after the clear and before anything is drawn.
    void perFrameStep();

    const CalendarTime& localTime() const { return localTime_; }

    // Runs every frame with the fresh local time, before the frame is drawn.
    void setTimeListener(std::function<void(const CalendarTime&)> listener) { timeListener_ = std::move(listener); }
    // Frees the scene, the textures and the particle systems during the shutdown.
    void setResourceRelease(std::function<void()> release) { release_ = std::move(release); }
    // Stops the music: the shutdown's first step, before the gamma ramp goes back.
    void setSoundRelease(std::function<void()> release) { soundRelease_ = std::move(release); }

private:
    RunInput input() const;
    void handle(const platform::Event& event);
    void pollInput();
    void mouseTest();
    void shutdown();

    Log& log_;
    const Settings& settings_;
    GLWindow& window_;
    Renderer& renderer_;
    ScreenQuadQueue& quads_;
    const LaunchOptions& options_;
    LocalClock clock_;
    CalendarTime localTime_{};
    platform::Point previousCursor_{};
    long framesDrawn_ = 0;
    std::function<void(const CalendarTime&)> timeListener_;
    std::function<void()> release_;
    std::function<void()> soundRelease_;
};

}  // namespace hg
