// The window, its OpenGL context, the display mode, gamma and input, through SDL2.
// The project's headers come first: SDL's window-system header brings Xlib, whose macros (None,
// Status) clash with them.
#include "core/run_mode.h"
#include "platform/platform.h"
#include "platform/x11/x11_display.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace hg::platform {
namespace {

// Our own signal handlers decide what SIGINT and SIGTERM do; SDL must not install its own. A
// screensaver never holds the system's own screensaver off, which SDL does by default.
bool ensureVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    x11::endProcessWhenServerGoes();
    return true;
}

std::atomic<bool> messagesToStandardError{false};

// The SDL window's X connection and window, for what SDL does not offer.
bool x11Handles(SDL_Window* window, Display*& display, ::Window& xWindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    display = info.info.x11.display;
    xWindow = info.info.x11.window;
    return true;
}

Rect unionOf(const std::vector<Monitor>& list) {
    int left = list.front().area.x, top = list.front().area.y;
    int right = left + list.front().area.width, bottom = top + list.front().area.height;
    for (const Monitor& m : list) {
        left = std::min(left, m.area.x);
        top = std::min(top, m.area.y);
        right = std::max(right, m.area.x + m.area.width);
        bottom = std::max(bottom, m.area.y + m.area.height);
    }
    return {left, top, right - left, bottom - top};
}

Key keyOf(SDL_Keycode code) {
    switch (code) {
        case SDLK_SPACE: return Key::Space;
        case SDLK_ESCAPE: return Key::Escape;
        case SDLK_q: return Key::Q;
        default: return Key::Other;
    }
}

}  // namespace

Point cursorPosition() {
    Point p;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_GetGlobalMouseState(&p.x, &p.y);
    return p;
}

void moveCursor(Point to) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_WarpMouseGlobal(to.x, to.y);
}

bool leftButtonDown() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON(SDL_BUTTON_LEFT)) != 0;
}

std::optional<Event> pollEvent() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return std::nullopt;
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return std::nullopt;
    Event event;
    switch (e.type) {
        case SDL_QUIT: event.type = EventType::Quit; break;
        case SDL_KEYDOWN:
            event.type = EventType::KeyDown;
            event.key = keyOf(e.key.keysym.sym);
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.button == SDL_BUTTON_LEFT) event.type = EventType::LeftButtonDown;
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                event.type = EventType::Close;
            } else if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                event.type = EventType::Resized;
                event.width = e.window.data1;
                event.height = e.window.data2;
            }
            break;
        default: break;
    }
    return event;
}

void postQuit() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) && !SDL_WasInit(SDL_INIT_EVENTS)) SDL_InitSubSystem(SDL_INIT_EVENTS);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

// SDL shows a message box without its video layer running, so a message in the Options dialog
// or the preview does not start it.
void messageBox(std::string_view text, std::string_view caption) {
    const std::string message(text), title(caption);
    const char* route = SDL_getenv("HEARTHGLOW_MESSAGES");
    const bool toStderr = messagesToStandardError || (route && std::string_view(route) == "stderr") ||
                          SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), message.c_str(), nullptr) != 0;
    if (toStderr) std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
}

void routeMessagesToStandardError() { messagesToStandardError = true; }

bool readPerformanceCounter(uint64_t& value) {
    value = SDL_GetPerformanceCounter();
    return true;
}

uint64_t performanceFrequency() { return SDL_GetPerformanceFrequency(); }


struct Window::Impl {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    WindowKind kind = WindowKind::Windowed;
    bool cursorHidden = false;
    // A host's window: SDL learns nothing of its size, so it is asked on SDL's connection.
    Display* hostDisplay = nullptr;
    ::Window hostWindow = 0;
    // Full screen over several monitors: the whole desktop's rectangle.
    std::optional<Rect> spanned;

    bool createHosted(const WindowSpec& spec);
    bool createSpanning(const WindowSpec& spec, const std::vector<Monitor>& list);
};

Window::Window() : impl_(std::make_unique<Impl>()) {}
Window::~Window() { shutdown(); }

// Adopts the host's window: no input is selected on it (the host selects the key presses and
// clicks, and only one client may), and it is neither mapped, raised, focused nor resized.
bool Window::Impl::createHosted(const WindowSpec& spec) {
    const std::optional<::Window> found = x11::findHostWindow(spec.host);
    if (!found) return false;
    x11::watchHostWindow(*found);
    SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
    window = SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<uintptr_t>(*found)));
    if (!window) return false;
    ::Window ignored = 0;
    if (!x11Handles(window, hostDisplay, ignored)) hostDisplay = nullptr;
    hostWindow = *found;
    return true;
}

// One borderless window over the whole desktop: the room goes on one monitor (or each), the
// others stay black, and a click or key anywhere is the window's.
bool Window::Impl::createSpanning(const WindowSpec& spec, const std::vector<Monitor>& list) {
    const Rect whole = unionOf(list);
    window = SDL_CreateWindow(spec.title.c_str(), whole.x, whole.y, whole.width, whole.height,
                              SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS);
    if (!window) return false;
    spanned = whole;
    Display* display = nullptr;
    ::Window xWindow = 0;
    if (x11Handles(window, display, xWindow)) x11::requestFullScreenOverMonitors(display, xWindow, list);
    return true;
}

bool Window::create(const WindowSpec& spec) {
    if (!ensureVideo()) return false;
    impl_->kind = spec.kind;

    // Ask for what a saver wants: double buffering, the colour depth of the mode and a depth
    // buffer; SDL falls back to what the driver offers for the optional parts.
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, spec.bitsPerPixel >= 24 ? 24 : 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

    if (spec.kind == WindowKind::Host) {
        // A profile request makes SDL pick a framebuffer configuration of its own, which need not
        // match the visual the host gave its window (XScreenSaver may give a 32-bit one), and the
        // context then never draws there. Without one the context follows the window's visual;
        // drivers give the compatibility profile that way anyway.
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, 0);
        return impl_->createHosted(spec);
    }

    const std::vector<Monitor> list = spec.kind == WindowKind::FullScreenDesktop ? monitors() : std::vector<Monitor>{};
    if (list.size() > 1) {
        if (!impl_->createSpanning(spec, list)) return false;
    } else {
        Uint32 flags = SDL_WINDOW_OPENGL;
        int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
        if (spec.kind == WindowKind::Windowed) {
            flags |= SDL_WINDOW_RESIZABLE;
        } else {
            flags |= SDL_WINDOW_BORDERLESS;
            x = y = SDL_WINDOWPOS_UNDEFINED_DISPLAY(0);
        }
        if (spec.kind == WindowKind::FullScreenDesktop) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        impl_->window = SDL_CreateWindow(spec.title.c_str(), x, y, spec.width, spec.height, flags);
        if (!impl_->window) return false;
    }

    if (spec.kind == WindowKind::FullScreenMode) {
        // Only width and height change; depth and refresh stay as the desktop has them.
        SDL_DisplayMode desktop{};
        SDL_GetDesktopDisplayMode(0, &desktop);
        SDL_DisplayMode wanted = desktop;
        wanted.w = spec.width;
        wanted.h = spec.height;
        SDL_DisplayMode closest{};
        const bool offered = SDL_GetClosestDisplayMode(0, &wanted, &closest) && closest.w == spec.width &&
                             closest.h == spec.height;
        if (!offered || SDL_SetWindowDisplayMode(impl_->window, &closest) != 0 ||
            SDL_SetWindowFullscreen(impl_->window, SDL_WINDOW_FULLSCREEN) != 0) {
            messageBox("Display Mode Not Compatible", "Error");
            postQuit();
        }
    }
    if (spec.kind != WindowKind::Windowed) {
        SDL_ShowCursor(SDL_DISABLE);
        impl_->cursorHidden = true;
    }
    SDL_ShowWindow(impl_->window);
    SDL_RaiseWindow(impl_->window);
    return true;
}

void* glProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

bool Window::createContext() {
    if (!impl_->window) return false;
    impl_->context = SDL_GL_CreateContext(impl_->window);
    if (!impl_->context) {
        messageBox("ChoosePixelFormat failed", "Error");
        postQuit();
        return false;
    }
    SDL_GL_MakeCurrent(impl_->window, impl_->context);
    return true;
}

void Window::setVsync(bool on) {
    if (!impl_->context) return;
    if (!on) {
        SDL_GL_SetSwapInterval(0);
        return;
    }
    if (SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(1);
}

void Window::swapBuffers() {
    if (impl_->window) SDL_GL_SwapWindow(impl_->window);
}

Point Window::clientSize() const {
    Point size;
    if (impl_->hostDisplay) return x11::windowSize(impl_->hostDisplay, impl_->hostWindow).value_or(size);
    if (impl_->window) SDL_GL_GetDrawableSize(impl_->window, &size.x, &size.y);
    return size;
}

Rect Window::frame() const {
    const Point size = clientSize();
    if (impl_->spanned) return {impl_->spanned->x, impl_->spanned->y, size.x, size.y};
    Rect frame{0, 0, size.x, size.y};
    if (impl_->window && impl_->kind != WindowKind::Host) SDL_GetWindowPosition(impl_->window, &frame.x, &frame.y);
    return frame;
}

bool Window::alive() const { return impl_->kind != WindowKind::Host || !x11::hostWindowGone(); }

Point Window::screenSize() const {
    if (impl_->hostDisplay) {
        if (auto size = x11::screenSizeOf(impl_->hostDisplay, impl_->hostWindow)) return *size;
    }
    const DesktopSize desktop = desktopSize();
    return {desktop.width, desktop.height};
}

std::optional<GammaRamp> Window::readGammaRamp() const {
    if (!impl_->window || impl_->kind == WindowKind::Host) return std::nullopt;
    GammaRamp ramp;
    if (SDL_GetWindowGammaRamp(impl_->window, ramp.red.data(), ramp.green.data(), ramp.blue.data()) != 0)
        return std::nullopt;
    return ramp;
}

bool Window::writeGammaRamp(const GammaRamp& ramp) {
    if (!impl_->window || impl_->kind == WindowKind::Host) return false;
    return SDL_SetWindowGammaRamp(impl_->window, ramp.red.data(), ramp.green.data(), ramp.blue.data()) == 0;
}

// SDL puts the desktop's mode back when the window leaves full screen at shutdown, and keeps the
// ramp it found, which it puts back itself when the window goes.
void Window::restoreDisplayMode() {}

void Window::shutdown() {
    if (impl_->context) {
        SDL_GL_MakeCurrent(impl_->window, nullptr);
        SDL_GL_DeleteContext(impl_->context);
        impl_->context = nullptr;
    }
    if (impl_->window) {
        // Leaving full screen before the window goes puts the desktop's own mode back. A host's
        // window is the host's to destroy: SDL only forgets it.
        if (impl_->kind == WindowKind::FullScreenDesktop || impl_->kind == WindowKind::FullScreenMode)
            SDL_SetWindowFullscreen(impl_->window, 0);
        SDL_DestroyWindow(impl_->window);
        impl_->window = nullptr;
        impl_->hostDisplay = nullptr;
    }
    if (impl_->cursorHidden) {
        SDL_ShowCursor(SDL_ENABLE);
        impl_->cursorHidden = false;
    }
}

}  // namespace hg::platform
