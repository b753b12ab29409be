// A full-screen run on a desktop of two monitors (a nested X server with two Xinerama heads, side
// by side and of different sizes): every monitor is covered, the room shows on the one the
// Monitor setting names (the primary by default) or on each, and the others are black.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "e2e/child_process.h"

// Last: Xlib's macros clash with the test framework's names.
#include "e2e/two_heads.h"

namespace hg {
namespace {

using namespace std::chrono_literals;

struct MonitorRun : ::testing::Test {
    void SetUp() override {
        if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
        if (std::system("command -v Xephyr >/dev/null") != 0) GTEST_SKIP() << "Xephyr is not installed";
    }
    // A full-screen run with the setting; returns the run, once the room shows where it should.
    pid_t start(const test::ScratchDir& dir, const test::TwoHeads& heads, const std::string& monitor) {
        std::filesystem::create_directories(dir / "config/hearthglow");
        test::writeText(dir / "config/hearthglow/settings.conf",
                        "Usemon: 1\nGamma: 3\nClock: 1\nExitMM: 0\nEnable music: 0\nMonitor: " + monitor + "\n");
        return test::startHearthglow(dir, {"/s"}, {{"DISPLAY", heads.name()}});
    }
    static bool black(const std::optional<test::Picture>& picture) { return picture && picture->meanLevel() < 2.0; }
};

TEST_F(MonitorRun, TheRoomShowsOnThePrimaryAndTheOtherMonitorIsCoveredBlack) {
    test::TwoHeads heads;
    ASSERT_TRUE(heads.ok()) << "the nested X server did not start";
    ASSERT_GT(heads.picture(test::kRightHead)->meanLevel(), 250.0);  // white before the run
    test::ScratchDir dir;
    const pid_t pid = start(dir, heads, "0");
    EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(test::kLeftHead); }, 30s)) << "no room on the primary";
    EXPECT_TRUE(black(heads.picture(test::kRightHead))) << "mean " << heads.picture(test::kRightHead)->meanLevel();
    kill(pid, SIGTERM);
    EXPECT_EQ(test::exitCodeOf(pid, 10s), 0);
}

TEST_F(MonitorRun, TheSettingPutsTheRoomOnTheSecondMonitorOrOnEach) {
    test::TwoHeads heads;
    ASSERT_TRUE(heads.ok()) << "the nested X server did not start";
    {
        test::ScratchDir dir;
        const pid_t pid = start(dir, heads, "2");
        EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(test::kRightHead); }, 30s)) << "no room on monitor 2";
        EXPECT_TRUE(black(heads.picture(test::kLeftHead)));
        kill(pid, SIGTERM);
        EXPECT_EQ(test::exitCodeOf(pid, 10s), 0);
    }
    {
        // -1: each monitor its own view, both moving.
        test::ScratchDir dir;
        const pid_t pid = start(dir, heads, "-1");
        EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(test::kLeftHead); }, 30s)) << "no room on monitor 1";
        EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(test::kRightHead); }, 30s)) << "no room on monitor 2";
        kill(pid, SIGTERM);
        EXPECT_EQ(test::exitCodeOf(pid, 10s), 0);
    }
}

}  // namespace
}  // namespace hg
