// The preview on Windows: a borderless child of the settings' preview area, showing the picture at
// its own size in the top-left corner, painted with GDI (no OpenGL, no loading, no sound).
#include <windows.h>

#include "platform/preview_window.h"

namespace hg::platform {
namespace {

constexpr wchar_t kPreviewClass[] = L"Hearthglow Preview";

class Win32PreviewWindow : public PreviewWindow {
public:
    Win32PreviewWindow(HWND parent, const Image& picture) {
        toDeviceRows(picture);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = kPreviewClass;
        if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;
        window_ = CreateWindowExW(0, kPreviewClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, width_, height_, parent,
                                  nullptr, windowClass.hInstance, this);
        if (!window_) return;
        ShowWindow(window_, SW_SHOW);
        UpdateWindow(window_);
    }

    ~Win32PreviewWindow() override {
        if (window_ && IsWindow(window_)) DestroyWindow(window_);
        UnregisterClassW(kPreviewClass, GetModuleHandleW(nullptr));
    }

    bool created() const { return window_ != nullptr; }

    bool pump() override {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return false;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        return !closed_;
    }

private:
    // GDI wants BGR rows padded to four bytes; a negative height says the top row comes first.
    void toDeviceRows(const Image& picture) {
        width_ = picture.width;
        height_ = picture.height;
        stride_ = (width_ * 3 + 3) & ~3;
        rows_.assign(static_cast<size_t>(stride_) * height_, 0);
        const int components = picture.components;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const size_t from = (static_cast<size_t>(y) * width_ + x) * components;
                const size_t to = static_cast<size_t>(y) * stride_ + static_cast<size_t>(x) * 3;
                if (from + 2 >= picture.pixels.size()) continue;
                rows_[to] = picture.pixels[from + 2];
                rows_[to + 1] = picture.pixels[from + 1];
                rows_[to + 2] = picture.pixels[from];
            }
        }
    }

    void paint(HDC device) const {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(device, 0, 0, static_cast<DWORD>(width_), static_cast<DWORD>(height_), 0, 0, 0,
                          static_cast<UINT>(height_), rows_.data(), &info, DIB_RGB_COLORS);
    }

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Win32PreviewWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        switch (message) {
            case WM_PAINT: {
                PAINTSTRUCT paint;
                HDC device = BeginPaint(window, &paint);
                if (self) self->paint(device);
                EndPaint(window, &paint);
                return 0;
            }
            case WM_PRINTCLIENT:  // a host that reads back what its preview area shows
                if (self) self->paint(reinterpret_cast<HDC>(wParam));
                return 0;
            case WM_ERASEBKGND:
                return 1;
            case WM_CLOSE:
                if (self) self->closed_ = true;
                return 0;
            default:
                return DefWindowProcW(window, message, wParam, lParam);
        }
    }

    HWND window_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    std::vector<uint8_t> rows_;
    bool closed_ = false;
};

}  // namespace

std::unique_ptr<PreviewWindow> openPreviewWindow(uint64_t parent, const Image& picture) {
    const HWND parentWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(parent));
    if (!parentWindow || !IsWindow(parentWindow) || picture.width <= 0 || picture.height <= 0) return nullptr;
    auto window = std::make_unique<Win32PreviewWindow>(parentWindow, picture);
    if (!window->created()) return nullptr;
    return window;
}

}  // namespace hg::platform
