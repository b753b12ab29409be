// The window, its OpenGL context, the display mode, gamma and input, through SDL2.
#include <SDL.h>

#include <cstdio>

#include "app/run_mode.h"
#include "platform/platform.h"

namespace hg::platform {
namespace {

// Our own signal handlers decide what SIGINT and SIGTERM do; SDL must not install its own.
bool ensureVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
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

DesktopSize desktopSize() {
    if (!ensureVideo()) return {1024, 768};
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) return {mode.w, mode.h};
    return {1024, 768};
}

Point cursorPosition() {
    Point p;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_GetGlobalMouseState(&p.x, &p.y);
    return p;
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

void messageBox(std::string_view text, std::string_view caption) {
    const std::string message(text), title(caption);
    const char* route = SDL_getenv("HEARTHGLOW_MESSAGES");
    const bool toStderr = (route && std::string_view(route) == "stderr") || !ensureVideo() ||
                          SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), message.c_str(), nullptr) != 0;
    if (toStderr) std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
}

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
};

Window::Window() : impl_(std::make_unique<Impl>()) {}
Window::~Window() { shutdown(); }

bool Window::create(const WindowSpec& spec) {
    if (!ensureVideo()) return false;
    impl_->kind = spec.kind;

    // Ask for what a saver wants: double buffering, the colour depth of the mode and a depth
    // buffer; SDL falls back to what the driver offers for the optional parts.
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, spec.bitsPerPixel >= 24 ? 24 : 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

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
    if (impl_->window) SDL_GL_GetDrawableSize(impl_->window, &size.x, &size.y);
    return size;
}

std::optional<GammaRamp> Window::readGammaRamp() const {
    if (!impl_->window) return std::nullopt;
    GammaRamp ramp;
    if (SDL_GetWindowGammaRamp(impl_->window, ramp.red.data(), ramp.green.data(), ramp.blue.data()) != 0)
        return std::nullopt;
    return ramp;
}

bool Window::writeGammaRamp(const GammaRamp& ramp) {
    if (!impl_->window) return false;
    return SDL_SetWindowGammaRamp(impl_->window, ramp.red.data(), ramp.green.data(), ramp.blue.data()) == 0;
}

void Window::shutdown() {
    if (impl_->context) {
        SDL_GL_MakeCurrent(impl_->window, nullptr);
        SDL_GL_DeleteContext(impl_->context);
        impl_->context = nullptr;
    }
    if (impl_->window) {
        // Leaving full screen before the window goes puts the desktop's own mode back.
        if (impl_->kind != WindowKind::Windowed) SDL_SetWindowFullscreen(impl_->window, 0);
        SDL_DestroyWindow(impl_->window);
        impl_->window = nullptr;
    }
    if (impl_->cursorHidden) {
        SDL_ShowCursor(SDL_ENABLE);
        impl_->cursorHidden = false;
    }
}

}  // namespace hg::platform
