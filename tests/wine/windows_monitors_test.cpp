// The Windows build's full screen on a desktop of two monitors (a nested X server with two
// Xinerama heads): the window covers both, the room shows on the one the Monitor setting names
// and the other is black.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "test_support.h"
#include "wine/wine_run.h"
// Last: Xlib's macros clash with the test framework's names.
#include "e2e/two_heads.h"

namespace hg {
namespace {

using namespace std::chrono_literals;

[[maybe_unused]] const auto* wine = ::testing::AddGlobalTestEnvironment(new test::WineEnvironment);

struct WindowsMonitors : ::testing::Test {
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
        if (std::system("command -v Xephyr >/dev/null") != 0) GTEST_SKIP() << "Xephyr is not installed";
    }
    void TearDown() override { test::restartWine(); }

    // A full-screen run on the two heads with the Monitor setting (-1 is 0xffffffff).
    pid_t start(const test::ScratchDir& dir, const test::TwoHeads& heads, uint32_t monitor) {
        // A fresh Wine server, whose desktop lives on the nested display.
        test::restartWine();
        test::importSettings({{"Resolution:", 1}, {"Gamma:", 3}, {"Clock:", 1}, {"ExitMM:", 0}, {"Usemon:", 1},
                              {"Enable music:", 0}, {"Monitor:", monitor}},
                             heads.name());
        return test::startWine(dir, test::windowsBuild() / "Hearthglow.scr", {"/s"},
                               {{"DISPLAY", heads.name()},
                                {"HEARTHGLOW_LOG", test::windowsPath(dir / "Log.txt")},
                                {"HEARTHGLOW_MESSAGES", "stderr"}});
    }
    static bool black(const std::optional<test::Picture>& picture) { return picture && picture->meanLevel() < 2.0; }

    void end(pid_t pid, const test::TwoHeads& heads) {
        std::system(("DISPLAY=" + heads.name() + " xdotool key b").c_str());
        EXPECT_EQ(test::exitCodeOf(pid, 30s), 0);
    }
};

TEST_F(WindowsMonitors, TheRoomShowsOnTheMonitorTheSettingNamesAndTheOtherIsBlack) {
    test::TwoHeads heads(true);
    ASSERT_TRUE(heads.ok()) << "the nested X server did not start";
    ASSERT_GT(heads.picture(test::kRightHead)->meanLevel(), 250.0);  // white before the run
    {
        test::ScratchDir dir;
        const pid_t pid = start(dir, heads, 0);  // the primary
        EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(test::kLeftHead); }, 60s)) << "no room on the primary";
        EXPECT_TRUE(black(heads.picture(test::kRightHead))) << "mean " << heads.picture(test::kRightHead)->meanLevel();
        end(pid, heads);
    }
    {
        test::ScratchDir dir;
        const pid_t pid = start(dir, heads, 2);  // the second as the system lists them
        EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(test::kRightHead); }, 60s)) << "no room on monitor 2";
        EXPECT_TRUE(black(heads.picture(test::kLeftHead))) << "mean " << heads.picture(test::kLeftHead)->meanLevel();
        end(pid, heads);
    }
    {
        test::ScratchDir dir;
        const pid_t pid = start(dir, heads, 0xffffffffu);  // each its own view
        EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(test::kLeftHead); }, 60s)) << "no room on monitor 1";
        EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(test::kRightHead); }, 60s)) << "no room on monitor 2";
        end(pid, heads);
    }
}

}  // namespace
}  // namespace hg
