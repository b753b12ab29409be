// Full runs of the real program in a window under the test display.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "e2e/child_process.h"
#include "png_reader.h"
#include "test_support.h"

// Last: Xlib's macros clash with the test framework's names.
#include "e2e/live_window.h"

namespace hg {
namespace {

std::string configEnv(const test::ScratchDir& dir) {
    return "HEARTHGLOW_MESSAGES=stderr XDG_CONFIG_HOME='" + (dir / "config").string() + "' ";
}

std::vector<std::string> expectedRunLines() {
    return {"Starting...", "Starting init OpenGL", "Creating window...", "Window is create", "Model manager init",
            "initializing font...", "Loading data...", "Loading models", "OpenGL initialized"};
}

void expectInOrder(const std::vector<std::string>& log, const std::vector<std::string>& wanted) {
    size_t at = 0;
    for (const std::string& line : wanted) {
        auto found = std::find(log.begin() + static_cast<long>(at), log.end(), line);
        ASSERT_NE(found, log.end()) << "missing or out of order: " << line;
        at = static_cast<size_t>(found - log.begin()) + 1;
    }
}

TEST(Run, WindowedRunFadesInWritesScreenshotAndLog) {
    if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::ScratchDir dir;
    auto result = test::runIn(dir.path(), configEnv(dir) + test::hearthglowBinary() +
                                              " --window 640x480 --fixed-step 0.1 --frames 30 --screenshot a.png");
    ASSERT_EQ(result.exitCode, 0) << result.standardError;
    auto picture = test::readPng((dir / "a.png").string());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 640);
    EXPECT_EQ(picture->height, 480);
    EXPECT_LT(picture->meanLevel(), 40.0);  // still fading in from black

    const auto log = test::readLines(dir / "Log.txt");
    expectInOrder(log, expectedRunLines());
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[log.size() - 3].rfind("Max fps: ", 0), 0u);
    EXPECT_EQ(log[log.size() - 2].rfind("Min fps: ", 0), 0u);
    EXPECT_EQ(log.back().rfind("Fps: ", 0), 0u);
    // A window leaves the display's gamma ramp alone: only a full-screen run changes it.
    for (const std::string& line : log) EXPECT_EQ(line.find("Gamma: "), std::string::npos) << line;
}

using namespace std::chrono_literals;

// The area of the screen the window of process `pid` covers, once it shows the live room.
std::optional<test::ScreenArea> liveWindowOf(Display* display, pid_t pid) {
    const auto window = test::waitForWindow("--pid " + std::to_string(pid), 20);
    if (!window) return std::nullopt;
    const auto area = test::areaOf(display, *window);
    if (!area || !test::waitForTheLiveRoomIn(display, *area, 30s)) return std::nullopt;
    return area;
}

TEST(Run, TerminationSignalEndsThroughTheNormalShutdown) {
    if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::XConnection x;
    ASSERT_TRUE(x.display);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        test::ScratchDir dir;
        std::filesystem::create_directories(dir / "config/hearthglow");
        test::writeText(dir / "config/hearthglow/settings.conf", "Gamma: 2\nClock: 1\n");
        const pid_t pid = test::startHearthglow(dir, {"--window", "320x240"});
        // The signal comes while the main loop draws the room.
        EXPECT_TRUE(liveWindowOf(x.display, pid)) << "no live room in the window";
        kill(pid, signal);
        EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(20)), 0);
        const auto log = test::readLines(dir / "Log.txt");
        ASSERT_GE(log.size(), 3u);
        EXPECT_EQ(log[log.size() - 3].rfind("Max fps: ", 0), 0u);
        EXPECT_EQ(log.back().rfind("Fps: ", 0), 0u);
    }
}

// Polls the log tightly: loading takes a few tenths of a second.
bool logShows(const test::ScratchDir& dir, const std::string& line) {
    const auto log = test::readLines(dir / "Log.txt");
    return std::find(log.begin(), log.end(), line) != log.end();
}

TEST(Run, TerminationSignalWhileLoadingEndsThroughTheNormalShutdown) {
    if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        bool landedWhileLoading = false;
        // The signal goes as soon as loading begins; a machine that finished loading before the
        // log was seen gets another try.
        for (int attempt = 0; attempt < 5 && !landedWhileLoading; ++attempt) {
            test::ScratchDir dir;
            const pid_t pid = test::startHearthglow(dir, {"--window", "320x240"});
            const auto end = std::chrono::steady_clock::now() + 30s;
            while (!logShows(dir, "Loading data...") && std::chrono::steady_clock::now() < end)
                std::this_thread::sleep_for(1ms);
            kill(pid, signal);
            landedWhileLoading = !logShows(dir, "OpenGL initialized");
            EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(20)), 0);
            const auto log = test::readLines(dir / "Log.txt");
            ASSERT_GE(log.size(), 3u);
            EXPECT_EQ(log[log.size() - 3].rfind("Max fps: ", 0), 0u);
            EXPECT_EQ(log.back().rfind("Fps: ", 0), 0u);
        }
        EXPECT_TRUE(landedWhileLoading) << "every signal came after the loading";
    }
}

// The kilobytes of a process's memory that lie in huge pages.
long hugePageKilobytes(pid_t pid) {
    for (const std::string& line : test::readLines("/proc/" + std::to_string(pid) + "/smaps_rollup")) {
        if (line.rfind("AnonHugePages:", 0) == 0) return std::stol(line.substr(std::strlen("AnonHugePages:")));
    }
    return -1;
}

// Where the system gives huge pages only to memory that asks for them, the room's textures are
// loaded into them; a huge-page setting the user gave the C library is kept as given.
TEST(Run, TheRoomLoadsIntoHugePagesUnlessTheUserSaidOtherwise) {
    if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    if (test::readText("/sys/kernel/mm/transparent_hugepage/enabled").find("[madvise]") == std::string::npos)
        GTEST_SKIP() << "this system does not give huge pages on request";
    for (const std::string given : {"", "glibc.malloc.hugetlb=0"}) {
        SCOPED_TRACE(given);
        test::ScratchDir dir;
        std::vector<std::pair<std::string, std::string>> environment;
        if (!given.empty()) environment.emplace_back("GLIBC_TUNABLES", given);
        const pid_t pid = test::startHearthglow(dir, {"--window", "320x240"}, environment);
        ASSERT_TRUE(test::logHasLine(dir, "OpenGL initialized", 30s));
        const long huge = hugePageKilobytes(pid);
        kill(pid, SIGTERM);
        EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(20)), 0);
        // The textures alone are some 90 MB; a few stray huge pages would not reach 16 MB.
        if (given.empty()) {
            EXPECT_GT(huge, 16 * 1024);
        } else {
            EXPECT_EQ(huge, 0);
        }
    }
}

// However fast frames are sent, the driver's queue stays short: thousands of cheap frames (no room,
// only the clock) hold no more memory than a few. The window system without a display is one whose
// swap never waits; there, without a limit of the program's own, each queued frame kept its work
// (some 230 kB at this size: 460 MB more after 2000 frames).
TEST(Run, FramesDoNotPileUpAheadOfTheScreen) {
    auto peakOf = [](int frames) {
        test::ScratchDir dir;
        const pid_t pid = test::startHearthglow(
            dir, {"--window", "640x480", "--no-vsync", "--fixed-step", "1", "--no-room", "--frames", std::to_string(frames)},
            {{"SDL_VIDEODRIVER", "offscreen"}});
        const test::Ending ending = test::endingOf(pid, std::chrono::seconds(60));
        EXPECT_EQ(ending.exitCode, 0) << frames << " frames";
        return ending.peakKilobytes;
    };
    const long few = peakOf(10);
    const long many = peakOf(2000);
    EXPECT_GT(few, 0);
    EXPECT_LT(many - few, 32 * 1024) << "10 frames: " << few << " kB, 2000 frames: " << many << " kB";
}

bool stillRunning(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == 0;
}

// Input that must not end a run is followed by two new frames of the room: the loop read the
// input before it began the second one, and went on. Only then does the input that ends it go.
TEST(Run, FullScreenIgnoresTheSpaceBarAndEndsOnAnyOtherKey) {
    if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::XConnection x;
    ASSERT_TRUE(x.display);
    const test::ScreenArea middle = test::middleOfTheScreen(x.display);
    test::ScratchDir dir;
    const pid_t pid = test::startHearthglow(dir, {"/s"});
    ASSERT_TRUE(test::logHasLine(dir, "OpenGL initialized", std::chrono::seconds(20)));
    ASSERT_TRUE(test::waitForTheLiveRoomIn(x.display, middle, 30s)) << "no live room on the screen";
    ASSERT_EQ(std::system("xdotool key space"), 0);
    EXPECT_TRUE(test::waitForNewFrames(x.display, middle, 2, 20s)) << "the space bar ended the run";
    EXPECT_TRUE(stillRunning(pid)) << "the space bar ended the run";
    ASSERT_EQ(std::system("xdotool key b"), 0);
    EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(20)), 0);
    // Full screen changes the gamma ramp (the default gamma 3 is the linear exponent 1) and puts
    // it back before the frame-rate lines.
    const auto log = test::readLines(dir / "Log.txt");
    ASSERT_GE(log.size(), 4u);
    EXPECT_NE(std::find(log.begin(), log.end(), "New Gamma: 1"), log.end());
    EXPECT_EQ(log[log.size() - 4].rfind("Set old Gamma: ", 0), 0u);
    EXPECT_EQ(log.back().rfind("Fps: ", 0), 0u);
}

TEST(Run, FullScreenEndsOnALeftClickAndOnMouseMovement) {
    if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::XConnection x;
    ASSERT_TRUE(x.display);
    const test::ScreenArea middle = test::middleOfTheScreen(x.display);
    for (const char* gesture : {"xdotool click 1", "xdotool mousemove_relative 200 0"}) {
        SCOPED_TRACE(gesture);
        test::ScratchDir dir;
        ASSERT_EQ(std::system("xdotool mousemove 400 400"), 0);
        const pid_t pid = test::startHearthglow(dir, {"/s"});
        ASSERT_TRUE(test::logHasLine(dir, "OpenGL initialized", std::chrono::seconds(20)));
        // The room is drawn, so the pointer's starting place has been taken.
        ASSERT_TRUE(test::waitForTheLiveRoomIn(x.display, middle, 30s)) << "no live room on the screen";
        EXPECT_TRUE(stillRunning(pid));
        ASSERT_EQ(std::system(gesture), 0);
        EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(20)), 0);
    }
}

TEST(Run, WindowedRunIgnoresOrdinaryKeysAndClicks) {
    if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::XConnection x;
    ASSERT_TRUE(x.display);
    test::ScratchDir dir;
    const pid_t pid = test::startHearthglow(dir, {"--window", "320x240"});
    const auto area = liveWindowOf(x.display, pid);
    ASSERT_TRUE(area) << "no live room in the window";
    // The pointer in the window, so that the click lands there.
    const std::string middle = std::to_string(area->x + area->width / 2) + " " + std::to_string(area->y + area->height / 2);
    ASSERT_EQ(std::system(("xdotool mousemove " + middle + " key b click 1 mousemove_relative 300 300").c_str()), 0);
    EXPECT_TRUE(test::waitForNewFrames(x.display, *area, 2, 20s)) << "a key or a click ended the run";
    EXPECT_TRUE(stillRunning(pid)) << "a key or a click ended the run";
    ASSERT_EQ(std::system("xdotool key Escape"), 0);
    EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(20)), 0);
}

TEST(Run, UnavailableDisplayModeReportsAndStillShutsDown) {
    if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::ScratchDir dir;
    std::filesystem::create_directories(dir / "config/hearthglow");
    // 1600x1200 is not a mode the test display offers.
    test::writeText(dir / "config/hearthglow/settings.conf", "Resolution: 9\nUsemon: 0\nGamma: 3\nExitMM: 1\n");
    auto result = test::runIn(dir.path(), configEnv(dir) + "timeout 30 " + test::hearthglowBinary() + " /s");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.standardError.find("Display Mode Not Compatible"), std::string::npos) << result.standardError;
    const auto log = test::readLines(dir / "Log.txt");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().rfind("Fps: ", 0), 0u);
}

}  // namespace
}  // namespace hg
