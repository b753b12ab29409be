// Faults from outside while the room runs: the display server going away.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "e2e/child_process.h"
#include "test_support.h"

// Last: Xlib's macros clash with the test framework's names.
#include "e2e/x_display.h"

namespace hg {
namespace {

// An X server of the test's own, to be taken away under the program.
class OwnServer {
public:
    OwnServer() {
        for (int number = 120; number < 140 && name_.empty(); ++number) {
            if (!std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) name_ = ":" + std::to_string(number);
        }
        pid_ = fork();
        if (pid_ == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            execlp("Xvfb", "Xvfb", name_.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        // Ready once it answers; the test's own connection closes before the server goes.
        if (Display* display = test::openWhenReady(name_, std::chrono::seconds(20))) {
            ready_ = true;
            XCloseDisplay(display);
        }
    }
    ~OwnServer() { stop(); }
    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    bool ready() const { return ready_; }
    const std::string& name() const { return name_; }

private:
    std::string name_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

// Xlib's own handler calls exit(), and the clean-up behind it talked to the dead connection and
// spun (about one run in five): each run must end, promptly and with status 1.
TEST(Faults, TheXServerGoingAwayEndsTheRunWithoutHangingOrSpinning) {
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        OwnServer server;
        ASSERT_TRUE(server.ready());
        test::ScratchDir dir;
        const pid_t pid = test::startHearthglow(dir, {"--window", "320x240"}, {{"DISPLAY", server.name()}});
        ASSERT_TRUE(test::logHasLine(dir, "OpenGL initialized", std::chrono::seconds(30)));
        server.stop();
        EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(15)), 1);
    }
}

}  // namespace
}  // namespace hg
