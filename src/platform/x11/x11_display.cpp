#include "platform/x11/x11_display.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>

namespace hg::platform::x11 {
namespace {

// Set while a check on our own connection runs: any error then means "no such window".
std::atomic<bool> probeFailed{false};
int noteProbeError(Display*, XErrorEvent*) {
    probeFailed = true;
    return 0;
}

std::atomic<unsigned long> watchedWindow{0};
std::atomic<bool> watchedWindowGone{false};
int noteRunError(Display*, XErrorEvent* error) {
    if (error->resourceid == watchedWindow.load()) watchedWindowGone = true;
    return 0;
}

[[noreturn]] int endOnServerLoss(Display*) {
    static constexpr char kMessage[] = "hearthglow: the connection to the X server was lost\n";
    // Only what is safe here: the process may be anywhere, holding any lock.
    [[maybe_unused]] const ssize_t written = ::write(2, kMessage, sizeof(kMessage) - 1);
    ::_exit(1);
}

std::vector<Monitor> randrMonitors(Display* display) {
    std::vector<Monitor> list;
    int major = 0, minor = 0, eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor)) return list;
    if (major < 1 || (major == 1 && minor < 5)) return list;
    int count = 0;
    XRRMonitorInfo* found = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
    for (int i = 0; found && i < count; ++i) {
        list.push_back({{found[i].x, found[i].y, found[i].width, found[i].height}, found[i].primary != 0});
    }
    if (found) XRRFreeMonitors(found);
    return list;
}

std::vector<Monitor> xineramaHeads(Display* display) {
    std::vector<Monitor> list;
    int eventBase = 0, errorBase = 0;
    if (!XineramaQueryExtension(display, &eventBase, &errorBase) || !XineramaIsActive(display)) return list;
    int count = 0;
    XineramaScreenInfo* heads = XineramaQueryScreens(display, &count);
    for (int i = 0; heads && i < count; ++i) {
        list.push_back({{heads[i].x_org, heads[i].y_org, heads[i].width, heads[i].height}, false});
    }
    if (heads) XFree(heads);
    return list;
}

}  // namespace

std::optional<::Window> findHostWindow(uint64_t id) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return std::nullopt;
    if (id == 0) {
        const ::Window root = DefaultRootWindow(display);
        XCloseDisplay(display);
        return root;
    }
    // Xlib's error handler is one for the whole process; nothing else talks to X yet.
    XSync(display, False);
    probeFailed = false;
    auto* previous = XSetErrorHandler(noteProbeError);
    XWindowAttributes attributes{};
    const Status found = XGetWindowAttributes(display, static_cast<::Window>(id), &attributes);
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    if (!found || probeFailed) return std::nullopt;
    return static_cast<::Window>(id);
}

void watchHostWindow(::Window window) {
    watchedWindow = window;
    watchedWindowGone = false;
    XSetErrorHandler(noteRunError);
}

bool hostWindowGone() { return watchedWindowGone; }

std::optional<Point> windowSize(Display* display, ::Window window) {
    if (watchedWindowGone && window == watchedWindow) return std::nullopt;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || (watchedWindowGone && window == watchedWindow))
        return std::nullopt;
    return Point{attributes.width, attributes.height};
}

std::optional<Point> screenSizeOf(Display* display, ::Window window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || !attributes.screen) return std::nullopt;
    return Point{WidthOfScreen(attributes.screen), HeightOfScreen(attributes.screen)};
}

std::vector<Monitor> monitorsOf(Display* display) {
    std::vector<Monitor> randr = randrMonitors(display);
    std::vector<Monitor> xinerama = xineramaHeads(display);
    std::vector<Monitor> list = xinerama.size() > randr.size() ? std::move(xinerama) : std::move(randr);
    if (list.empty()) {
        const int screen = DefaultScreen(display);
        list.push_back({{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)}, true});
    }
    // Without a primary named by the server, the first one listed is the primary.
    if (std::none_of(list.begin(), list.end(), [](const Monitor& m) { return m.primary; })) list.front().primary = true;
    return list;
}

void requestFullScreenOverMonitors(Display* display, ::Window window, const std::vector<Monitor>& monitors) {
    const ::Window root = DefaultRootWindow(display);
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None || monitors.size() < 2) return;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* value = nullptr;
    const bool managed = XGetWindowProperty(display, root, check, 0, 1, False, XA_WINDOW, &type, &format, &items, &after,
                                            &value) == Success && items == 1;
    if (value) XFree(value);
    if (!managed) return;

    // The monitors holding the top, bottom, left and right edges of the whole desktop.
    auto extreme = [&](auto better) {
        long best = 0;
        for (size_t i = 1; i < monitors.size(); ++i) {
            if (better(monitors[i].area, monitors[static_cast<size_t>(best)].area)) best = static_cast<long>(i);
        }
        return best;
    };
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.format = 32;
    event.xclient.message_type = XInternAtom(display, "_NET_WM_FULLSCREEN_MONITORS", False);
    event.xclient.data.l[0] = extreme([](const Rect& a, const Rect& b) { return a.y < b.y; });
    event.xclient.data.l[1] = extreme([](const Rect& a, const Rect& b) { return a.y + a.height > b.y + b.height; });
    event.xclient.data.l[2] = extreme([](const Rect& a, const Rect& b) { return a.x < b.x; });
    event.xclient.data.l[3] = extreme([](const Rect& a, const Rect& b) { return a.x + a.width > b.x + b.width; });
    event.xclient.data.l[4] = 1;  // a normal application
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);

    XEvent state{};
    state.xclient.type = ClientMessage;
    state.xclient.window = window;
    state.xclient.format = 32;
    state.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    state.xclient.data.l[0] = 1;  // add
    state.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
    state.xclient.data.l[3] = 1;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &state);
    XFlush(display);
}

void endProcessWhenServerGoes() { XSetIOErrorHandler(endOnServerLoss); }

}  // namespace hg::platform::x11

namespace hg::platform {

std::vector<Monitor> monitors() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return {};
    std::vector<Monitor> list = x11::monitorsOf(display);
    XCloseDisplay(display);
    return list;
}

DesktopSize desktopSize() {
    const std::vector<Monitor> list = monitors();
    auto primary = std::find_if(list.begin(), list.end(), [](const Monitor& m) { return m.primary; });
    if (primary == list.end() || primary->area.width <= 0 || primary->area.height <= 0) return {1024, 768};
    return {primary->area.width, primary->area.height};
}

}  // namespace hg::platform
