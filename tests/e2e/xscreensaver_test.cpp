// The real XScreenSaver runs the program as one of its hacks: activating it shows the room on
// the screen, deactivating it ends the program by itself, through its normal shutdown.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <string>

#include "e2e/child_process.h"

// Last: Xlib's macros clash with the test framework's names.
#include "e2e/x_display.h"

namespace hg {
namespace {

using namespace std::chrono_literals;

constexpr uid_t kNobody = 65534;

void chownAll(const std::filesystem::path& path) {
    ::chown(path.c_str(), kNobody, kNobody);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) ::chown(entry.path().c_str(), kNobody, kNobody);
}

// XScreenSaver will not start hacks as root: it and its commands run as nobody, with a home of
// their own and a copy of the display's cookie.
class XScreenSaverHost {
public:
    explicit XScreenSaverHost(const test::ScratchDir& home) : home_(home) {
        std::filesystem::create_directories(home / "config");
        test::writeText(home / ".xscreensaver",
                        "mode: one\nselected: 0\nfade: False\nunfade: False\nlock: False\nsplash: False\n"
                        "timeout: 0:30:00\nprograms: GL: " + test::hearthglowBinary() + " --root \\n\\\n\n");
        if (const char* cookie = std::getenv("XAUTHORITY")) std::filesystem::copy_file(cookie, home / ".Xauthority");
        chownAll(home.path());
        ::chmod(home.path().c_str(), 0755);
    }

    std::string environment() const {
        const std::string h = home_.path().string();
        return "setpriv --reuid=65534 --regid=65534 --clear-groups env -i PATH=/usr/bin:/bin DISPLAY='" +
               std::string(std::getenv("DISPLAY")) + "' XAUTHORITY='" + h + "/.Xauthority' HOME='" + h + "' XDG_RUNTIME_DIR='" + h +
               "' XDG_CONFIG_HOME='" + h + "/config' HEARTHGLOW_LOG='" + h + "/Log.txt' ";
    }

    // The daemon, in the background, with its own account of what it does in xss.out.
    // Starts the daemon and waits for it to answer. Once in a while (seen on a loaded machine) the
    // daemon says it is running and then never answers, stuck before it reads the X server's input
    // devices: such a daemon is ended and a second one started. Only a host that never answers
    // fails.
    bool start() {
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (attempt > 0) {
                std::fprintf(stderr, "the XScreenSaver daemon did not answer in 30 s; starting it again\n");
                kill(pid_, SIGKILL);
                test::exitCodeOf(pid_, 10s);
            }
            launch();
            const auto end = std::chrono::steady_clock::now() + 30s;
            while (std::chrono::steady_clock::now() < end) {
                if (command("-version")) return true;
                std::this_thread::sleep_for(100ms);
            }
        }
        return false;
    }

    bool command(const std::string& what) const {
        return std::system((environment() + "xscreensaver-command " + what + " >/dev/null 2>&1").c_str()) == 0;
    }

    // The pid of the hack XScreenSaver says it forked.
    std::optional<pid_t> hackPid() const {
        static const std::regex forked(R"(forked "[^"]*hearthglow[^"]*" in pid (\d+))");
        std::smatch match;
        const std::string out = test::readText(home_ / "xss.out");
        if (!std::regex_search(out, match, forked)) return std::nullopt;
        return static_cast<pid_t>(std::stol(match[1]));
    }

    ~XScreenSaverHost() {
        if (pid_ <= 0) return;
        command("-exit");
        if (test::exitCodeOf(pid_, 10s) == -2) kill(pid_, SIGKILL);
    }

private:
    void launch() {
        pid_ = fork();
        if (pid_ == 0) {
            const std::string command = "exec " + environment() + "xscreensaver -no-splash -verbose > '" +
                                        (home_ / "xss.out").string() + "' 2>&1";
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    const test::ScratchDir& home_;
    pid_t pid_ = -1;
};

// Running, as opposed to gone or ended and waiting for its parent (the host) to collect it.
bool alive(pid_t pid) {
    const std::string stat = test::readText("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z' && stat[close + 2] != 'X';
}

TEST(XScreenSaver, ActivatingShowsTheRoomAndDeactivatingEndsTheHackThroughItsShutdown) {
    if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    if (std::system("command -v xscreensaver >/dev/null && command -v setpriv >/dev/null") != 0) GTEST_SKIP() << "XScreenSaver is not installed";
    if (geteuid() != 0) GTEST_SKIP() << "runs XScreenSaver as another user, which needs root";
    test::ScratchDir home;
    XScreenSaverHost host(home);
    ASSERT_TRUE(host.start()) << test::readText(home / "xss.out");
    ASSERT_TRUE(host.command("-activate"));
    ASSERT_TRUE(test::logHasLine(home, "OpenGL initialized", 30s)) << test::readText(home / "xss.out");

    // The screen shows the room.
    Display* display = XOpenDisplay(nullptr);
    ASSERT_TRUE(display);
    const auto screen = test::waitForTheLiveRoom([&] { return test::grabScreen(display); }, 30s);
    XCloseDisplay(display);
    ASSERT_TRUE(screen) << "the screen never showed the live room";
    // A picture to look at; the check above is the test.
    EXPECT_EQ(std::system(("import -window root '" + std::string(HG_BINARY_DIR) + "/e2e-xscreensaver-active.png' 2>/dev/null").c_str()), 0);

    // Deactivating: the host sends SIGTERM, and the hack is gone within a second.
    const auto pid = host.hackPid();
    ASSERT_TRUE(pid) << test::readText(home / "xss.out");
    ASSERT_TRUE(alive(*pid));
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(host.command("-deactivate"));
    while (alive(*pid) && std::chrono::steady_clock::now() < asked + 5s) std::this_thread::sleep_for(10ms);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked);
    std::printf("deactivate to the hack's end: %lld ms\n", static_cast<long long>(took.count()));
    EXPECT_FALSE(alive(*pid));
#if defined(__SANITIZE_ADDRESS__)
    // A sanitized program checks its whole heap for leaks on the way out, which takes a second or two.
    EXPECT_LT(took, 4000ms);
#else
    EXPECT_LT(took, 1000ms);
#endif
    const auto log = test::readLines(home / "Log.txt");
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[log.size() - 3].rfind("Max fps: ", 0), 0u);
    EXPECT_EQ(log[log.size() - 2].rfind("Min fps: ", 0), 0u);
    EXPECT_EQ(log.back().rfind("Fps: ", 0), 0u);
}

}  // namespace
}  // namespace hg
