#pragma once
// A nested X server with two Xinerama heads, side by side and of different sizes, on a white
// desktop (a monitor a run leaves uncovered shows it). Include it last: Xlib's macros clash with the
// test framework's names.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "e2e/x_display.h"

namespace hg::test {

struct Area {
    int x, y, width, height;
};
constexpr Area kLeftHead{0, 0, 800, 600};     // the first head: the primary
constexpr Area kRightHead{800, 0, 640, 480};  // the second head

class TwoHeads {
public:
    // `noRandr`: the server offers Xinerama alone (Wine then lists both heads; with RandR it sees
    // Xephyr's one output).
    explicit TwoHeads(bool noRandr = false) {
        for (int number = 140; number < 200 && name_.empty(); ++number) {
            if (!std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) name_ = ":" + std::to_string(number);
        }
        pid_ = fork();
        if (pid_ == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            if (noRandr)
                execlp("Xephyr", "Xephyr", name_.c_str(), "-screen", "800x600+0+0", "-screen", "640x480+800+0", "+xinerama",
                       "-extension", "RANDR", "-ac", "-noreset", static_cast<char*>(nullptr));
            else
                execlp("Xephyr", "Xephyr", name_.c_str(), "-screen", "800x600+0+0", "-screen", "640x480+800+0", "+xinerama",
                       "-ac", "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        display_ = openWhenReady(name_, std::chrono::seconds(20));
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
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    bool ok() const { return display_ != nullptr; }
    const std::string& name() const { return name_; }
    std::optional<Picture> picture(const Area& a) const { return grab(display_, DefaultRootWindow(display_), a.x, a.y, a.width, a.height); }

private:
    std::string name_;
    pid_t pid_ = -1;
    Display* display_ = nullptr;
};

}  // namespace hg::test
