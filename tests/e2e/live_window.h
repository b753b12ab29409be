#pragma once
// What a running program's window shows, as evidence of where its main loop is. The loop reads
// every waiting event before it draws the next frame, so a new frame of the room that began after
// some input reached the program shows that the input was handled and did not end the run.
// Include it last: Xlib's macros (None, Bool, Status) clash with the test framework's names.
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "e2e/x_display.h"

namespace hg::test {

// A connection to the test display, closed when the object goes.
struct XConnection {
    Display* display = XOpenDisplay(nullptr);
    XConnection() = default;
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;
    ~XConnection() {
        if (display) XCloseDisplay(display);
    }
};

// A rectangle of the screen (root window coordinates).
struct ScreenArea {
    int x = 0, y = 0, width = 0, height = 0;
};

// What a command prints on standard output, and whether it exited with status 0.
struct CommandOutput {
    bool ok = false;
    std::string text;
};

inline CommandOutput commandOutput(const std::string& command) {
    CommandOutput result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) result.text += buffer;
    const int status = pclose(pipe);
    result.ok = status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

// The first visible window that matches `what` (xdotool search's criteria, such as
// "--pid 123" or "--name 'Options$'"), waiting for it up to `seconds`; nothing when none appears.
inline std::optional<unsigned long> waitForWindow(const std::string& what, int seconds) {
    const CommandOutput found =
        commandOutput("timeout " + std::to_string(seconds) + " xdotool search --sync --onlyvisible " + what + " 2>/dev/null");
    unsigned long id = 0;
    if (!found.ok || std::sscanf(found.text.c_str(), "%lu", &id) != 1) return std::nullopt;
    return id;
}

// The area of the screen a top-level window covers; nothing when it is gone. A window that goes
// away while it is asked about is an X error, which must not end the test program.
inline std::optional<ScreenArea> areaOf(Display* display, unsigned long window) {
    XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XWindowAttributes attributes{};
    int x = 0, y = 0;
    Window child = 0;
    const bool found = XGetWindowAttributes(display, window, &attributes) != 0 && attributes.map_state == IsViewable &&
                       XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child) != 0;
    XSync(display, False);
    XSetErrorHandler(previous);
    if (!found) return std::nullopt;
    return ScreenArea{x, y, attributes.width, attributes.height};
}

// Looks at `area` of the screen until it has changed `frames` times, every picture showing the
// room; false when that does not happen within `limit`, or when something else shows there (the
// window closed). The first change may be a frame that was being drawn when the call began; every
// later one began after it.
inline bool waitForNewFrames(Display* display, const ScreenArea& area, int frames, std::chrono::milliseconds limit) {
    const auto take = [&] { return grab(display, DefaultRootWindow(display), area.x, area.y, area.width, area.height); };
    const auto showsARoom = [](const Picture& picture) { return picture.meanLevel() > 30.0 && colourCount(picture) > 150; };
    const auto end = std::chrono::steady_clock::now() + limit;
    std::optional<Picture> last = take();
    if (!last || !showsARoom(*last)) return false;
    int seen = 0;
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        std::optional<Picture> now = take();
        if (!now || !showsARoom(*now)) return false;
        if (now->rgb == last->rgb) continue;
        if (++seen == frames) return true;
        last = std::move(now);
    }
    return false;
}

// The middle of the screen, where a full-screen run shows the room.
inline ScreenArea middleOfTheScreen(Display* display) {
    const int width = DisplayWidth(display, DefaultScreen(display));
    const int height = DisplayHeight(display, DefaultScreen(display));
    return {width / 4, height / 4, width / 2, height / 2};
}

// Waits until `area` shows the live room (see waitForTheLiveRoom).
inline bool waitForTheLiveRoomIn(Display* display, const ScreenArea& area, std::chrono::milliseconds limit) {
    return waitForTheLiveRoom([&] { return grab(display, DefaultRootWindow(display), area.x, area.y, area.width, area.height); },
                              limit)
        .has_value();
}

}  // namespace hg::test
