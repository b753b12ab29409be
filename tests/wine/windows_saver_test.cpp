// The Windows screensaver end to end under Wine and Xvfb: the Windows-only test program, the room
// as the Linux build draws it, full screen ending on a key and on the mouse, the preview in a
// host's window.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "png_reader.h"
#include "test_support.h"
#include "wine/wine_run.h"
#include "e2e/child_process.h"
// Last: Xlib's macros clash with the test framework's names.
#include "e2e/live_window.h"

namespace hg {
namespace {

using namespace std::chrono_literals;

[[maybe_unused]] const auto* wine = ::testing::AddGlobalTestEnvironment(new test::WineEnvironment);

bool haveDisplay() { return std::getenv("DISPLAY") != nullptr; }

bool logHas(const test::ScratchDir& dir, const std::string& line) {
    const auto log = test::windowsLines(dir / "Log.txt");
    return std::find(log.begin(), log.end(), line) != log.end();
}

bool waitForLogLine(const test::ScratchDir& dir, const std::string& line, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (logHas(dir, line)) return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

TEST(WindowsTests, TheWindowsOnlyTestsPass) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::ScratchDir dir;
    const pid_t pid = test::startWine(dir, test::windowsBuild() / "tests_win32.exe", {});
    EXPECT_EQ(test::exitCodeOf(pid, 120s), 0) << test::readText(dir / "wine-output.txt");
    const std::string output = test::readText(dir / "wine-output.txt");
    EXPECT_NE(output.find("[  PASSED  ]"), std::string::npos) << output;
    EXPECT_EQ(output.find("[  FAILED  ]"), std::string::npos) << output;
}

// The same options give the same picture: the same driver draws, the seed chooses the same
// flight (the program's own random numbers), and the clock is given. What may differ is the JPEG
// decoder (stb_image instead of libjpeg), a level or two in a few pictures.
TEST(WindowsRun, DrawsTheRoomAsTheLinuxBuildDoes) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    const std::vector<std::string> options = {"--window", "640x480", "--seed", "1", "--fixed-step", "4",
                                              "--frames", "60", "--clock", "2026-12-24T18:30:00"};
    test::ScratchDir linux, windows;
    std::vector<std::string> linuxArgs = options, windowsArgs = options;
    linuxArgs.insert(linuxArgs.end(), {"--screenshot", (linux / "room.png").string()});
    windowsArgs.insert(windowsArgs.end(), {"--screenshot", test::windowsPath(windows / "room.png")});
    test::writeText(linux / "config/hearthglow/settings.conf", test::readText(std::string(HG_SOURCE_DIR) + "/scripts/settings-without-music.conf"));
    const pid_t linuxRun = test::startHearthglow(linux, linuxArgs);
    ASSERT_EQ(test::exitCodeOf(linuxRun, 120s), 0);
    const pid_t windowsRun = test::startWindowsSaver(windows, windowsArgs);
    ASSERT_EQ(test::exitCodeOf(windowsRun, 120s), 0) << test::readText(windows / "wine-output.txt");

    const auto expected = test::readPng((linux / "room.png").string());
    const auto drawn = test::readPng((windows / "room.png").string());
    ASSERT_TRUE(expected && drawn);
    ASSERT_EQ(drawn->width, 640);
    ASSERT_EQ(drawn->height, 480);
    EXPECT_GT(drawn->meanLevel(0, 0, 640, 480), 30.0) << "the room is missing";
    const int differing = test::changedPixels(*expected, *drawn, 8);
    EXPECT_LT(differing, 640 * 480 / 200) << differing << " pixels differ by more than 8 levels";
    // The Windows run logs as the Linux one does, to its shutdown.
    const auto log = test::windowsLines(windows / "Log.txt");
    EXPECT_TRUE(logHas(windows, "OpenGL initialized"));
    EXPECT_TRUE(logHas(windows, "VBO supported"));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().rfind("Fps: ", 0), 0u);
}

// Full screen (the registry's first-start settings: the desktop's mode, music on with no sound
// device here) ends on a key, a click and a mouse movement, through the normal shutdown.
TEST(WindowsRun, FullScreenEndsOnAKeyAClickAndAMouseMovement) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::XConnection x;
    ASSERT_TRUE(x.display);
    const test::ScreenArea middle = test::middleOfTheScreen(x.display);
    for (const char* gesture : {"xdotool key b", "xdotool click 1", "xdotool mousemove_relative 200 0"}) {
        SCOPED_TRACE(gesture);
        test::ScratchDir dir;
        ASSERT_EQ(std::system("xdotool mousemove 400 400"), 0);
        const pid_t pid = test::startWindowsSaver(dir, {"/s"});
        ASSERT_TRUE(waitForLogLine(dir, "OpenGL initialized", 60s))
            << "Wine: " << test::readText(dir / "wine-output.txt") << "\nLog: " << test::readText(dir / "Log.txt");
        ASSERT_TRUE(test::waitForTheLiveRoomIn(x.display, middle, 60s)) << "no live room on the screen";
        ASSERT_EQ(std::system(gesture), 0);
        EXPECT_EQ(test::exitCodeOf(pid, 30s), 0);
        const auto log = test::windowsLines(dir / "Log.txt");
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back().rfind("Fps: ", 0), 0u) << "no shutdown lines";
        // The next run starts with a fresh wineserver, not beside the one this run leaves winding
        // down (once, in a clean run, the next start never reached its first log line).
        test::waitForWineToEnd();
    }
}

TEST(WindowsPreview, ShowsInTheHostsWindowAndEndsWhenClosed) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::ScratchDir dir;
    const pid_t pid = test::startWine(dir, test::windowsBuild() / "preview_host.exe",
                                      {test::windowsPath(test::windowsBuild() / "Hearthglow.scr"), test::windowsPath(dir / "result.txt")},
                                      {{"HEARTHGLOW_LOG", test::windowsPath(dir / "Log.txt")}});
    ASSERT_EQ(test::exitCodeOf(pid, 120s), 0) << test::readText(dir / "wine-output.txt");
    // The preview picture at its own size, shown; the close request ends the process with 0.
    EXPECT_EQ(test::windowsLines(dir / "result.txt"), std::vector<std::string>{"size 160 120 visible 1 exit 0"});
    const auto log = test::windowsLines(dir / "Log.txt");
    EXPECT_NE(std::find(log.begin(), log.end(), "Window is create"), log.end());
}

}  // namespace
}  // namespace hg
