// The preview's child window shows the picture at its own size in the parent's top-left corner,
// pixel for pixel, and ends on a close request.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/preview_window.h"

namespace hg {
namespace {

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A picture of odd width (rows need padding for GDI) with a different colour in every pixel.
Image testPicture() {
    Image picture{37, 23, 3, {}};
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.pixels.insert(picture.pixels.end(), {uint8_t(x * 6), uint8_t(y * 10), uint8_t(255 - x - y)});
    return picture;
}

// The pixel of `window`'s client area as the screen shows it.
COLORREF shown(HWND window, int x, int y) {
    HDC device = GetDC(window);
    const COLORREF colour = GetPixel(device, x, y);
    ReleaseDC(window, device);
    return colour;
}

TEST(PreviewWindow, ShowsThePictureInTheTopLeftCornerAndEndsOnClose) {
    HWND host = CreateWindowExW(0, L"STATIC", L"preview area", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    const Image picture = testPicture();
    auto preview = platform::openPreviewWindow(reinterpret_cast<uintptr_t>(host), picture);
    ASSERT_NE(preview, nullptr);
    HWND child = FindWindowExW(host, nullptr, L"Hearthglow Preview", nullptr);
    ASSERT_NE(child, nullptr);
    RECT area{}, place{};
    GetClientRect(child, &area);
    EXPECT_EQ(area.right, picture.width);
    EXPECT_EQ(area.bottom, picture.height);
    GetWindowRect(child, &place);
    POINT origin{0, 0};
    ClientToScreen(host, &origin);
    EXPECT_EQ(place.left, origin.x);
    EXPECT_EQ(place.top, origin.y);

    EXPECT_TRUE(preview->pump());
    UpdateWindow(child);
    pump();
    int wrong = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = &picture.pixels[(static_cast<size_t>(y) * picture.width + x) * 3];
            if (shown(child, x, y) != RGB(p[0], p[1], p[2])) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0) << "of " << picture.width * picture.height << " pixels";

    SendMessageW(child, WM_CLOSE, 0, 0);
    EXPECT_FALSE(preview->pump());
    preview.reset();
    EXPECT_FALSE(IsWindow(child));
    DestroyWindow(host);
}

TEST(PreviewWindow, NoWindowWithoutAParent) {
    EXPECT_EQ(platform::openPreviewWindow(0, testPicture()), nullptr);
    EXPECT_EQ(platform::openPreviewWindow(0x7ffffff0, testPicture()), nullptr);  // names no window
}

}  // namespace
}  // namespace hg
