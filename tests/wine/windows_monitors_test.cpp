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
    void TearDown() override { std::system("wineserver -k >/dev/null 2>&1; wineserver -w"); }

    // A full-screen run on the two heads with the Monitor setting (a REG_DWORD: -1 as 0xffffffff).
    pid_t start(const test::ScratchDir& dir, const test::TwoHeads& heads, const std::string& monitor) {
        // A fresh Wine server, whose desktop lives on the nested display.
        std::system("wineserver -k >/dev/null 2>&1; wineserver -w");
        test::writeText(dir / "monitor.reg",
                        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\KESTREL Studio\\3D Hearthglow Screensaver]\r\n"
                        "\"Resolution:\"=dword:00000001\r\n\"Gamma:\"=dword:00000003\r\n\"Clock:\"=dword:00000001\r\n"
                        "\"ExitMM:\"=dword:00000000\r\n\"Usemon:\"=dword:00000001\r\n\"Enable music:\"=dword:00000000\r\n"
                        "\"Monitor:\"=dword:" + monitor + "\r\n");
        const pid_t imported = test::startWine(dir, "regedit", {"/S", test::windowsPath(dir / "monitor.reg")},
                                               {{"DISPLAY", heads.name()}});
        EXPECT_EQ(test::exitCodeOf(imported, 60s), 0);
        std::system("wineserver -w");
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
        const pid_t pid = start(dir, heads, "00000000");  // the primary
        EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(test::kLeftHead); }, 60s)) << "no room on the primary";
        EXPECT_TRUE(black(heads.picture(test::kRightHead))) << "mean " << heads.picture(test::kRightHead)->meanLevel();
        end(pid, heads);
    }
    {
        test::ScratchDir dir;
        const pid_t pid = start(dir, heads, "00000002");  // the second as the system lists them
        EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(test::kRightHead); }, 60s)) << "no room on monitor 2";
        EXPECT_TRUE(black(heads.picture(test::kLeftHead))) << "mean " << heads.picture(test::kLeftHead)->meanLevel();
        end(pid, heads);
    }
    {
        test::ScratchDir dir;
        const pid_t pid = start(dir, heads, "ffffffff");  // each its own view
        EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(test::kLeftHead); }, 60s)) << "no room on monitor 1";
        EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(test::kRightHead); }, 60s)) << "no room on monitor 2";
        end(pid, heads);
    }
}

}  // namespace
}  // namespace hg
