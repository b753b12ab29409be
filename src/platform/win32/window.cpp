// The window, its WGL context, the display mode, gamma and input, through Win32.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <deque>

#include "platform/platform.h"
#include "platform/win32/text.h"

namespace hg::platform {
namespace {

constexpr wchar_t kWindowClass[] = L"3D Hearthglow Screensaver";
constexpr int kIconResource = 135;

std::atomic<bool> messagesToStandardError{false};
// What the window procedure saw, waiting for pollEvent.
std::deque<Event> pendingEvents;

Key keyOf(WPARAM code) {
    switch (code) {
        case VK_SPACE: return Key::Space;
        case VK_ESCAPE: return Key::Escape;
        case 'Q': return Key::Q;
        default: return Key::Other;
    }
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            pendingEvents.push_back({EventType::KeyDown, keyOf(wParam), 0, 0});
            return 0;
        case WM_LBUTTONDOWN:
            pendingEvents.push_back({EventType::LeftButtonDown, Key::Other, 0, 0});
            return 0;
        case WM_SIZE:
            pendingEvents.push_back({EventType::Resized, Key::Other, LOWORD(lParam), HIWORD(lParam)});
            return 0;
        case WM_CLOSE:
            // The main loop decides; the window goes at its shutdown.
            pendingEvents.push_back({EventType::Close, Key::Other, 0, 0});
            return 0;
        case WM_SYSCOMMAND:
            // A running saver is the screensaver: neither another one nor the monitor's power-down
            // may start over it.
            if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_MONITORPOWER) return 0;
            break;
        case WM_ERASEBKGND:
            return 1;  // GL draws every pixel
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool registerWindowClass(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

Rect virtualScreen() {
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// Switches the primary display to width x height; depth and refresh stay as the desktop has them.
bool changeDisplayMode(int width, int height) {
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)) {
        messageBox("Could Not Enum Display Settings", "Error");
        return false;
    }
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
        messageBox("Display Mode Not Compatible", "Error");
        postQuit();
        return false;
    }
    return true;
}

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<Monitor>*>(list)->push_back(
            {{r.left, r.top, r.right - r.left, r.bottom - r.top}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

}  // namespace

std::vector<Monitor> monitors() {
    std::vector<Monitor> list;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&list));
    return list;
}

DesktopSize desktopSize() {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) return {1024, 768};
    return {width, height};
}

Point cursorPosition() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

void moveCursor(Point to) { SetCursorPos(to.x, to.y); }

bool leftButtonDown() { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0; }

std::optional<Event> pollEvent() {
    MSG message;
    while (pendingEvents.empty() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) return Event{EventType::Quit, Key::Other, 0, 0};
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (pendingEvents.empty()) return std::nullopt;
    const Event event = pendingEvents.front();
    pendingEvents.pop_front();
    return event;
}

void postQuit() { PostQuitMessage(0); }

void messageBox(std::string_view text, std::string_view caption) {
    const char* route = std::getenv("HEARTHGLOW_MESSAGES");
    if (messagesToStandardError || (route && std::string_view(route) == "stderr")) {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        return;
    }
    MessageBoxW(nullptr, win32::wide(text).c_str(), win32::wide(caption).c_str(), MB_OK);
}

void routeMessagesToStandardError() { messagesToStandardError = true; }

void* glProcAddress(const char* name) {
    // wglGetProcAddress answers for extensions only, and some drivers return small numbers for
    // "none"; GL 1.1 lives in opengl32 itself.
    PROC found = wglGetProcAddress(name);
    const auto value = reinterpret_cast<intptr_t>(reinterpret_cast<void*>(found));
    if (value == 0 || value == 1 || value == 2 || value == 3 || value == -1) {
        HMODULE library = GetModuleHandleW(L"opengl32.dll");
        found = library ? GetProcAddress(library, name) : nullptr;
    }
    return reinterpret_cast<void*>(found);
}

struct Window::Impl {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND window = nullptr;
    HWND host = nullptr;
    HDC deviceContext = nullptr;
    HGLRC context = nullptr;
    WindowKind kind = WindowKind::Windowed;
    int bitsPerPixel = 32;
    bool modeChanged = false;
    bool cursorHidden = false;
    bool classRegistered = false;

    HWND createHosted(const WindowSpec& spec);
    HWND createTopLevel(const WindowSpec& spec);
    // A host's window sends us no size changes: the child follows its client area.
    void followHost();
};

Window::Window() : impl_(std::make_unique<Impl>()) {}
Window::~Window() { shutdown(); }

HWND Window::Impl::createHosted(const WindowSpec& spec) {
    host = reinterpret_cast<HWND>(static_cast<uintptr_t>(spec.host));
    if (!host || !IsWindow(host)) return nullptr;
    RECT area{};
    GetClientRect(host, &area);
    return CreateWindowExW(0, kWindowClass, win32::wide(spec.title).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0,
                           0, area.right - area.left, area.bottom - area.top, host, nullptr, instance, nullptr);
}

HWND Window::Impl::createTopLevel(const WindowSpec& spec) {
    DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    Rect place{0, 0, spec.width, spec.height};
    if (spec.kind == WindowKind::Windowed) {
        style = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        RECT grown{0, 0, spec.width, spec.height};
        AdjustWindowRect(&grown, style, FALSE);
        place = {CW_USEDEFAULT, CW_USEDEFAULT, grown.right - grown.left, grown.bottom - grown.top};
    } else if (spec.kind == WindowKind::FullScreenDesktop) {
        place = virtualScreen();  // every monitor: the room goes on one (or each), the others stay black
    } else {
        modeChanged = changeDisplayMode(spec.width, spec.height);
    }
    const DWORD extended = spec.kind == WindowKind::Windowed ? 0 : WS_EX_TOPMOST;
    return CreateWindowExW(extended, kWindowClass, win32::wide(spec.title).c_str(), style, place.x, place.y,
                           place.width, place.height, nullptr, nullptr, instance, nullptr);
}

void Window::Impl::followHost() {
    if (!host || !window || !IsWindow(host)) return;
    RECT wanted{}, now{};
    GetClientRect(host, &wanted);
    GetClientRect(window, &now);
    if (wanted.right != now.right || wanted.bottom != now.bottom)
        MoveWindow(window, 0, 0, wanted.right - wanted.left, wanted.bottom - wanted.top, FALSE);
}

bool Window::create(const WindowSpec& spec) {
    impl_->kind = spec.kind;
    impl_->bitsPerPixel = spec.bitsPerPixel;
    if (!registerWindowClass(impl_->instance)) return false;
    impl_->classRegistered = true;
    impl_->window = spec.kind == WindowKind::Host ? impl_->createHosted(spec) : impl_->createTopLevel(spec);
    if (!impl_->window) return false;
    if (spec.kind == WindowKind::FullScreenDesktop || spec.kind == WindowKind::FullScreenMode) {
        ShowCursor(FALSE);
        impl_->cursorHidden = true;
    }
    ShowWindow(impl_->window, SW_SHOWNORMAL);
    UpdateWindow(impl_->window);
    if (spec.kind != WindowKind::Host) SetFocus(impl_->window);
    return true;
}

bool Window::createContext() {
    if (!impl_->window) return false;
    impl_->deviceContext = GetDC(impl_->window);
    PIXELFORMATDESCRIPTOR wanted{};
    wanted.nSize = sizeof(wanted);
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.iPixelType = PFD_TYPE_RGBA;
    wanted.cColorBits = static_cast<BYTE>(impl_->bitsPerPixel);
    wanted.cDepthBits = static_cast<BYTE>(impl_->bitsPerPixel);
    wanted.cStencilBits = 32;
    const int format = ChoosePixelFormat(impl_->deviceContext, &wanted);
    if (format == 0) {
        messageBox("ChoosePixelFormat failed", "Error");
        postQuit();
        return false;
    }
    if (!SetPixelFormat(impl_->deviceContext, format, &wanted)) {
        messageBox("SetPixelFormat failed", "Error");
        postQuit();
        return false;
    }
    impl_->context = wglCreateContext(impl_->deviceContext);
    if (!impl_->context || !wglMakeCurrent(impl_->deviceContext, impl_->context)) {
        messageBox("ChoosePixelFormat failed", "Error");
        postQuit();
        return false;
    }
    return true;
}

void Window::setVsync(bool on) {
    using SwapInterval = BOOL(WINAPI*)(int);
    const auto swapInterval = reinterpret_cast<SwapInterval>(glProcAddress("wglSwapIntervalEXT"));
    if (!impl_->context || !swapInterval) return;
    // Adaptive sync (-1) where the driver has it, else plain vsync.
    if (!on) {
        swapInterval(0);
    } else if (!swapInterval(-1)) {
        swapInterval(1);
    }
}

void Window::swapBuffers() {
    if (impl_->deviceContext) SwapBuffers(impl_->deviceContext);
}

Point Window::clientSize() const {
    impl_->followHost();
    RECT area{};
    if (!impl_->window || !GetClientRect(impl_->window, &area)) return {};
    return {area.right - area.left, area.bottom - area.top};
}

Rect Window::frame() const {
    const Point size = clientSize();
    POINT origin{0, 0};
    if (impl_->window) ClientToScreen(impl_->window, &origin);
    return {origin.x, origin.y, size.x, size.y};
}

bool Window::alive() const { return impl_->kind != WindowKind::Host || (impl_->host && IsWindow(impl_->host)); }

Point Window::screenSize() const {
    const DesktopSize desktop = desktopSize();
    return {desktop.width, desktop.height};
}

std::optional<GammaRamp> Window::readGammaRamp() const {
    if (!impl_->deviceContext || impl_->kind == WindowKind::Host) return std::nullopt;
    WORD ramp[3][256] = {};
    if (!GetDeviceGammaRamp(impl_->deviceContext, ramp)) return std::nullopt;
    GammaRamp result;
    std::copy(ramp[0], ramp[0] + 256, result.red.begin());
    std::copy(ramp[1], ramp[1] + 256, result.green.begin());
    std::copy(ramp[2], ramp[2] + 256, result.blue.begin());
    return result;
}

bool Window::writeGammaRamp(const GammaRamp& ramp) {
    if (!impl_->deviceContext || impl_->kind == WindowKind::Host) return false;
    WORD table[3][256];
    std::copy(ramp.red.begin(), ramp.red.end(), table[0]);
    std::copy(ramp.green.begin(), ramp.green.end(), table[1]);
    std::copy(ramp.blue.begin(), ramp.blue.end(), table[2]);
    return SetDeviceGammaRamp(impl_->deviceContext, table) != 0;
}

void Window::restoreDisplayMode() {
    if (!impl_->modeChanged) return;
    ChangeDisplaySettingsW(nullptr, 0);  // the mode the registry holds: the desktop's own
    impl_->modeChanged = false;
}

void Window::shutdown() {
    if (impl_->context) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(impl_->context);
        impl_->context = nullptr;
    }
    if (impl_->deviceContext) {
        ReleaseDC(impl_->window, impl_->deviceContext);
        impl_->deviceContext = nullptr;
    }
    restoreDisplayMode();
    if (impl_->cursorHidden) {
        ShowCursor(TRUE);
        impl_->cursorHidden = false;
    }
    if (impl_->window) {
        // A host's window is the host's; ours inside it goes with us.
        if (IsWindow(impl_->window)) DestroyWindow(impl_->window);
        impl_->window = nullptr;
    }
    if (impl_->classRegistered) {
        UnregisterClassW(kWindowClass, impl_->instance);
        impl_->classRegistered = false;
    }
}

}  // namespace hg::platform
