#pragma once
// X11 for the end-to-end tests that play a screensaver host: windows of the test's own for the
// program to draw into, pictures of what the screen shows, and a second X server to wait for.
// Include it last: Xlib's macros (None, Bool, Status) clash with the test framework's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "png_reader.h"

namespace hg::test {

// What `drawable` shows in the rectangle, as RGB (24- and 32-bit TrueColor, as Xvfb and Xephyr have).
inline std::optional<Picture> grab(Display* display, Drawable drawable, int x, int y, int width, int height) {
    XImage* image = XGetImage(display, drawable, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return std::nullopt;
    Picture picture{width, height, {}};
    picture.rgb.reserve(static_cast<size_t>(width) * height * 3);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const unsigned long value = XGetPixel(image, column, row);
            picture.rgb.push_back(static_cast<uint8_t>((value >> 16) & 0xFF));
            picture.rgb.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
            picture.rgb.push_back(static_cast<uint8_t>(value & 0xFF));
        }
    XDestroyImage(image);
    return picture;
}

// The whole screen of a connection.
inline std::optional<Picture> grabScreen(Display* display) {
    const int screen = DefaultScreen(display);
    return grab(display, RootWindow(display, screen), 0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen));
}

// Distinct colours in a picture, counted on a 5-bit grid: a real room has hundreds, a blank or a
// fill a handful.
inline int colourCount(const Picture& picture) {
    std::vector<bool> seen(1 << 15);
    int count = 0;
    for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        const int key = (picture.rgb[i] >> 3) << 10 | (picture.rgb[i + 1] >> 3) << 5 | (picture.rgb[i + 2] >> 3);
        if (!seen[static_cast<size_t>(key)]) seen[static_cast<size_t>(key)] = true, ++count;
    }
    return count;
}

// The live room, not the still loading picture: lit, with the many colours of a real picture, and
// moving (fire, snow, train) between two looks.
inline bool showsTheLiveRoom(const Picture& earlier, const Picture& now) {
    const bool room = now.meanLevel() > 30.0 && colourCount(now) > 150;
    return room && changedPixels(earlier, now, 8) > static_cast<int>(now.rgb.size() / 3 / 500);
}

// Takes pictures with `take` until two in a row show the live room and returns the second;
// nothing when that does not happen within `limit`.
template <typename Take>
std::optional<Picture> waitForTheLiveRoom(Take take, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    std::optional<Picture> previous = take(), now;
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        now = take();
        if (previous && now && previous->rgb.size() == now->rgb.size() && showsTheLiveRoom(*previous, *now)) return now;
        previous = now;
    } while (std::chrono::steady_clock::now() < end);
    return std::nullopt;
}

// A window of the test's own, as a host makes one for a saver: mapped, nothing selected on it.
class HostTestWindow {
public:
    HostTestWindow(int width, int height, bool argb = false) : display_(XOpenDisplay(nullptr)) {
        if (!display_) return;
        const int screen = DefaultScreen(display_);
        XVisualInfo info{};
        XSetWindowAttributes attributes{};
        attributes.background_pixel = 0;
        attributes.border_pixel = 0;
        Visual* visual = DefaultVisual(display_, screen);
        int depth = DefaultDepth(display_, screen);
        if (argb && XMatchVisualInfo(display_, screen, 32, TrueColor, &info)) {
            // XScreenSaver without its GL helper gives a GL hack a window like this.
            visual = info.visual;
            depth = 32;
        }
        attributes.colormap = XCreateColormap(display_, RootWindow(display_, screen), visual, AllocNone);
        window_ = XCreateWindow(display_, RootWindow(display_, screen), 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                0, depth, InputOutput, visual, CWBackPixel | CWBorderPixel | CWColormap, &attributes);
        XMapWindow(display_, window_);
        XSync(display_, False);
    }
    ~HostTestWindow() {
        if (!display_) return;
        destroy();
        XCloseDisplay(display_);
    }
    HostTestWindow(const HostTestWindow&) = delete;
    HostTestWindow& operator=(const HostTestWindow&) = delete;

    bool ok() const { return display_ && window_; }
    std::string id() const {
        char text[32];
        std::snprintf(text, sizeof text, "0x%lx", window_);
        return text;
    }
    void resize(int width, int height) {
        XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
        XSync(display_, False);
    }
    void destroy() {
        if (!window_) return;
        XDestroyWindow(display_, window_);
        XSync(display_, False);
        window_ = 0;
    }
    std::optional<Picture> picture(int width, int height) const { return grab(display_, window_, 0, 0, width, height); }
    // Every client's event selection on the window together.
    long allEventMasks() const {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display_, window_, &attributes);
        return attributes.all_event_masks;
    }

private:
    Display* display_;
    Window window_ = 0;
};

// Opens `name` once its server accepts connections; nothing after `limit`.
inline Display* openWhenReady(const std::string& name, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (Display* display = XOpenDisplay(name.c_str())) return display;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
}

}  // namespace hg::test
