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
#include "e2e/x_display.h"

namespace hg {
namespace {

using namespace std::chrono_literals;

struct Area {
    int x, y, width, height;
};
constexpr Area kLeft{0, 0, 800, 600};     // the first head: the primary
constexpr Area kRight{800, 0, 640, 480};  // the second head

class TwoHeads {
public:
    TwoHeads() {
        for (int number = 140; number < 200 && name_.empty(); ++number) {
            if (!std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) name_ = ":" + std::to_string(number);
        }
        pid_ = fork();
        if (pid_ == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            execlp("Xephyr", "Xephyr", name_.c_str(), "-screen", "800x600+0+0", "-screen", "640x480+800+0", "+xinerama", "-ac",
                   "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        display_ = test::openWhenReady(name_, 20s);
        if (!display_) return;
        // A white desktop: a monitor the run leaves uncovered would show it.
        const Window root = DefaultRootWindow(display_);
        XSetWindowBackground(display_, root, WhitePixel(display_, DefaultScreen(display_)));
        XClearWindow(display_, root);
        XSync(display_, False);
    }
    ~TwoHeads() {
        if (display_) XCloseDisplay(display_);
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            test::exitCodeOf(pid_, 10s);
        }
    }
    bool ok() const { return display_ != nullptr; }
    const std::string& name() const { return name_; }
    std::optional<test::Picture> picture(const Area& a) const { return test::grab(display_, DefaultRootWindow(display_), a.x, a.y, a.width, a.height); }

private:
    std::string name_;
    pid_t pid_ = -1;
    Display* display_ = nullptr;
};

struct MonitorRun : ::testing::Test {
    void SetUp() override {
        if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
        if (std::system("command -v Xephyr >/dev/null") != 0) GTEST_SKIP() << "Xephyr is not installed";
    }
    // A full-screen run with the setting; returns the run, once the room shows where it should.
    pid_t start(const test::ScratchDir& dir, const TwoHeads& heads, const std::string& monitor) {
        std::filesystem::create_directories(dir / "config/hearthglow");
        test::writeText(dir / "config/hearthglow/settings.conf",
                        "Usemon: 1\nGamma: 3\nClock: 1\nExitMM: 0\nEnable music: 0\nMonitor: " + monitor + "\n");
        return test::startHearthglow(dir, {"/s"}, {{"DISPLAY", heads.name()}});
    }
    static bool black(const std::optional<test::Picture>& picture) { return picture && picture->meanLevel() < 2.0; }
};

TEST_F(MonitorRun, TheRoomShowsOnThePrimaryAndTheOtherMonitorIsCoveredBlack) {
    TwoHeads heads;
    ASSERT_TRUE(heads.ok()) << "the nested X server did not start";
    ASSERT_GT(heads.picture(kRight)->meanLevel(), 250.0);  // white before the run
    test::ScratchDir dir;
    const pid_t pid = start(dir, heads, "0");
    EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(kLeft); }, 30s)) << "no room on the primary";
    EXPECT_TRUE(black(heads.picture(kRight))) << "mean " << heads.picture(kRight)->meanLevel();
    kill(pid, SIGTERM);
    EXPECT_EQ(test::exitCodeOf(pid, 10s), 0);
}

TEST_F(MonitorRun, TheSettingPutsTheRoomOnTheSecondMonitorOrOnEach) {
    TwoHeads heads;
    ASSERT_TRUE(heads.ok()) << "the nested X server did not start";
    {
        test::ScratchDir dir;
        const pid_t pid = start(dir, heads, "2");
        EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(kRight); }, 30s)) << "no room on monitor 2";
        EXPECT_TRUE(black(heads.picture(kLeft)));
        kill(pid, SIGTERM);
        EXPECT_EQ(test::exitCodeOf(pid, 10s), 0);
    }
    {
        // -1: each monitor its own view, both moving.
        test::ScratchDir dir;
        const pid_t pid = start(dir, heads, "-1");
        EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(kLeft); }, 30s)) << "no room on monitor 1";
        EXPECT_TRUE(test::waitForTheLiveRoom([&] { return heads.picture(kRight); }, 30s)) << "no room on monitor 2";
        kill(pid, SIGTERM);
        EXPECT_EQ(test::exitCodeOf(pid, 10s), 0);
    }
}

}  // namespace
}  // namespace hg
