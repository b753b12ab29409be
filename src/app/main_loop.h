#pragma once
// The run's heart: one event per pass, a frame whenever none waits. The loop owns the frame
// clock: it times each frame into the smoothed step and hands the step, the run clock, the rate
// and the local time down to the renderer. It ends the run on the exit rules; the Saver then
// takes the run down.
#include "app/local_clock.h"
#include "app/shared_music.h"
#include "core/frame_clock.h"
#include "platform/platform.h"

namespace hg {

struct LaunchOptions;
class Settings;
class GLWindow;
class Renderer;

// More than 30 pixels between two frames on one axis.
bool mouseMovedTooFar(platform::Point previous, platform::Point current);

// Who decides when a run ends.
enum class RunInput {
    FullScreen,  // every key but the space bar, a left click, mouse movement
    Window,      // closing the window, Escape or Q
    Host,        // a host's window: only the host, by SIGTERM; keys and the mouse are the host's
};
bool keyEndsRun(platform::Key key, RunInput input);

class MainLoop {
public:
    // `music`, when given, is asked every frame to start once its lock is free.
    MainLoop(const Settings& settings, GLWindow& window, Renderer& renderer, const LaunchOptions& options,
             SharedMusic* music = nullptr);

    // Remembers where the cursor is, for the mouse test.
    void recordCursor();
    // Runs until RunMode leaves Run, a quit event arrives or a host's window goes (and takes the
    // screenshot it was asked for, if the run ended before its last frame).
    void run();
    // The frame-rate statistics for the log.
    const FrameClock& clock() const { return clock_; }

private:
    RunInput input() const;
    void drawFrame();
    FrameTime timeFrame();
    void handle(const platform::Event& event);
    void pollInput();
    void mouseTest();

    const Settings& settings_;
    GLWindow& window_;
    Renderer& renderer_;
    const LaunchOptions& options_;
    SharedMusic* music_;
    FrameClock clock_;
    LocalClock localClock_;
    platform::Point previousCursor_{};
    bool firstFrame_ = true;
    long framesDrawn_ = 0;
};

}  // namespace hg
