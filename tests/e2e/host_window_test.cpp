// The program as a screensaver host runs it: drawing into a window of the host's (here one the
// test makes), owning none of its input, following its size, ending only when asked, and playing
// the music in one process only.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "e2e/child_process.h"

// Last: Xlib's macros clash with the test framework's names.
#include "e2e/x_display.h"

namespace hg {
namespace {

using namespace std::chrono_literals;

// Waits until the window shows the live room (not the loading picture); the last picture taken.
std::optional<test::Picture> waitForTheRoom(const test::HostTestWindow& window, int width, int height,
                                            std::chrono::milliseconds limit) {
    return test::waitForTheLiveRoom([&] { return window.picture(width, height); }, limit);
}

bool endsWithTheShutdownLines(const std::vector<std::string>& log) {
    return log.size() >= 3 && log[log.size() - 3].rfind("Max fps: ", 0) == 0 &&
           log[log.size() - 2].rfind("Min fps: ", 0) == 0 && log.back().rfind("Fps: ", 0) == 0;
}

bool contains(const std::vector<std::string>& log, const std::string& line) {
    return std::find(log.begin(), log.end(), line) != log.end();
}

std::vector<std::pair<std::string, std::string>> diskAudio(const std::filesystem::path& file) {
    return {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", file.string()}};
}

uintmax_t sizeOf(const std::filesystem::path& file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    return error ? 0 : size;
}

struct HostRun : ::testing::Test {
    test::ScratchDir dir;
    void SetUp() override {
        if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    }
};

TEST_F(HostRun, APreviewDrawsTheRoomSilentlySelectsNoInputAndEndsOnSigterm) {
    // The settings program's preview: a small 16:9 area, --root and --window-id together. The
    // first start's defaults have the music on: the preview must still be silent.
    test::HostTestWindow window(400, 225);
    ASSERT_TRUE(window.ok());
    const auto audio = dir / "audio.raw";
    const pid_t pid = test::startHearthglow(dir, {"--root", "--window-id", window.id(), "--fixed-step", "4", "--seed", "4"},
                                            diskAudio(audio));
    ASSERT_TRUE(test::logHasLine(dir, "OpenGL initialized", 30s));
    const auto picture = waitForTheRoom(window, 400, 225, 20s);
    ASSERT_TRUE(picture) << "the window never showed the live room";
    // The host selects the keys and clicks on its window, and only one client may: we select nothing.
    EXPECT_EQ(window.allEventMasks(), 0);

    const auto asked = std::chrono::steady_clock::now();
    kill(pid, SIGTERM);
    EXPECT_EQ(test::exitCodeOf(pid, 10s), 0);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked);
    std::printf("SIGTERM to exit: %lld ms\n", static_cast<long long>(took.count()));

    const auto log = test::readLines(dir / "Log.txt");
    EXPECT_TRUE(endsWithTheShutdownLines(log));
    EXPECT_FALSE(contains(log, "Sound initialized"));
    EXPECT_EQ(sizeOf(audio), 0u) << "the preview played music";
    // A host's window keeps the display's gamma ramp as it is.
    for (const std::string& line : log) EXPECT_EQ(line.find("Gamma: "), std::string::npos) << line;
}

TEST_F(HostRun, FollowsTheWindowsSizeAndDrawsIntoA32BitVisual) {
    test::HostTestWindow window(320, 240, /*argb=*/true);
    ASSERT_TRUE(window.ok());
    const pid_t pid = test::startHearthglow(dir, {"--window-id", window.id(), "--fixed-step", "4", "--seed", "1"});
    ASSERT_TRUE(test::logHasLine(dir, "OpenGL initialized", 30s));
    ASSERT_TRUE(waitForTheRoom(window, 320, 240, 20s)) << "the window never showed the live room";

    // No resize event reaches a foreign window: the program must notice by asking.
    window.resize(560, 315);
    bool filled = false;
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (!filled && std::chrono::steady_clock::now() < end) {
        const auto grown = window.picture(560, 315);
        // The new part on the right and at the bottom is drawn too.
        filled = grown && grown->meanLevel(330, 0, 560, 315) > 20.0 && grown->meanLevel(0, 250, 560, 315) > 20.0;
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_TRUE(filled) << "the room did not follow the window to its new size";
    kill(pid, SIGTERM);
    EXPECT_EQ(test::exitCodeOf(pid, 10s), 0);
}

TEST_F(HostRun, AWindowIdThatNamesNoWindowFailsWithoutAnXlibAbort) {
    const auto result = test::runIn(dir.path(), test::hearthglowBinary() + " --root --window-id 0x7ffff01");
    EXPECT_EQ(result.exitCode, 1);
    const auto log = test::readLines(dir / "Log.txt");
    EXPECT_TRUE(contains(log, "Create Window failed!"));
    EXPECT_EQ(result.standardError.find("X Error"), std::string::npos) << result.standardError;
}

TEST_F(HostRun, AWindowDestroyedUnderTheRunEndsItQuietly) {
    test::HostTestWindow window(320, 240);
    ASSERT_TRUE(window.ok());
    const pid_t pid = test::startHearthglow(dir, {"--window-id", window.id(), "--fixed-step", "4"});
    ASSERT_TRUE(test::logHasLine(dir, "OpenGL initialized", 30s));
    ASSERT_TRUE(waitForTheRoom(window, 320, 240, 20s));
    window.destroy();
    EXPECT_EQ(test::exitCodeOf(pid, 10s), 0);
    EXPECT_TRUE(endsWithTheShutdownLines(test::readLines(dir / "Log.txt")));
    EXPECT_EQ(test::readText(dir / ".stderr").find("X Error"), std::string::npos);
}

TEST_F(HostRun, OnlyOneOfTwoHacksPlaysTheMusicAndTheOtherTakesOverWhenItEnds) {
    // XScreenSaver's one process per monitor: monitor-sized windows named by XSCREENSAVER_WINDOW,
    // one user, one lock. The first start's defaults have the music on.
    test::HostTestWindow first(700, 400), second(700, 400);
    ASSERT_TRUE(first.ok() && second.ok());
    test::ScratchDir otherLog;
    const auto firstAudio = dir / "first.raw", secondAudio = dir / "second.raw";
    auto firstEnv = diskAudio(firstAudio);
    firstEnv.push_back({"XSCREENSAVER_WINDOW", first.id()});
    const pid_t one = test::startHearthglow(dir, {"--root"}, firstEnv);
    ASSERT_TRUE(test::logHasLine(dir, "Sound initialized", 30s));

    auto secondEnv = diskAudio(secondAudio);
    secondEnv.push_back({"XSCREENSAVER_WINDOW", second.id()});
    secondEnv.push_back({"HEARTHGLOW_LOG", (otherLog / "Log.txt").string()});
    const pid_t two = test::startHearthglow(dir, {"--root"}, secondEnv);
    ASSERT_TRUE(test::logHasLine(otherLog, "OpenGL initialized", 30s));
    ASSERT_TRUE(waitForTheRoom(second, 700, 400, 20s));
    // Two more seconds of the first one's music (the disk driver writes in real time), during
    // which the second asked for the lock at least once.
    const uintmax_t mark = sizeOf(firstAudio);
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (sizeOf(firstAudio) < mark + 2 * 44100 * 4 && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(50ms);
    EXPECT_GE(sizeOf(firstAudio), mark + 2 * 44100 * 4);
    EXPECT_FALSE(contains(test::readLines(otherLog / "Log.txt"), "Sound initialized"));
    EXPECT_EQ(sizeOf(secondAudio), 0u);

    // The host stops the first: the second takes the music over within about a second.
    kill(one, SIGTERM);
    EXPECT_EQ(test::exitCodeOf(one, 10s), 0);
    EXPECT_TRUE(test::logHasLine(otherLog, "Sound initialized", 10s));
    kill(two, SIGTERM);
    EXPECT_EQ(test::exitCodeOf(two, 10s), 0);
    EXPECT_GT(sizeOf(secondAudio), 0u);
}

}  // namespace
}  // namespace hg
