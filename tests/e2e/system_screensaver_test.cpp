// A screensaver never keeps the system's own screensaver from starting: the X server's idle time
// keeps growing while the room runs in a window and while the Options dialog is open. (SDL's
// default resets it every 30 seconds.)
#include <gtest/gtest.h>

#include <chrono>

#include "e2e/child_process.h"

// Last: Xlib's macros clash with the test framework's names.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace hg {
namespace {

using namespace std::chrono_literals;

// Milliseconds since the last input, as the X server counts them for its screensaver.
long idleMilliseconds(Display* display, XScreenSaverInfo* info) {
    XScreenSaverQueryInfo(display, DefaultRootWindow(display), info);
    return static_cast<long>(info->idle);
}

TEST(SystemScreensaver, NeitherTheRunNorTheDialogHoldsItOff) {
    if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    Display* display = XOpenDisplay(nullptr);
    ASSERT_TRUE(display);
    int event = 0, error = 0;
    if (!XScreenSaverQueryExtension(display, &event, &error)) GTEST_SKIP() << "the X server has no MIT-SCREEN-SAVER";
    XScreenSaverInfo* info = XScreenSaverAllocInfo();

    test::ScratchDir dir;
    std::filesystem::create_directories(dir / "config/hearthglow");
    test::writeText(dir / "config/hearthglow/settings.conf", "Enable music: 0\nClock: 1\nGamma: 3\n");
    test::ScratchDir dialogDir;
    const pid_t run = test::startHearthglow(dir, {"--window", "160x120", "--no-room"});
    const pid_t dialog = test::startHearthglow(dialogDir, {"/c"}, {{"NO_AT_BRIDGE", "1"}});
    ASSERT_TRUE(test::logHasLine(dir, "OpenGL initialized", 30s));

    // Over 31 seconds of both running, nobody resets the idle time.
    const auto end = std::chrono::steady_clock::now() + 31s;
    long previous = idleMilliseconds(display, info);
    long resets = 0;
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(250ms);
        const long now = idleMilliseconds(display, info);
        resets += now < previous ? 1 : 0;
        previous = now;
    }
    EXPECT_EQ(resets, 0);
    EXPECT_GE(previous, 31000);
    kill(run, SIGTERM);
    kill(dialog, SIGTERM);
    EXPECT_EQ(test::exitCodeOf(run, 10s), 0);
    EXPECT_EQ(test::exitCodeOf(dialog, 10s), 0);
    XFree(info);
    XCloseDisplay(display);
}

}  // namespace
}  // namespace hg
