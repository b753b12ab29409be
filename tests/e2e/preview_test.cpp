// Preview mode of the real program in a window the test makes, as a screensaver's settings would.
#include <gtest/gtest.h>

#include "core/log.h"
#include "app/preview.h"
#include "archive/embedded.h"
#include "archive/file_system.h"
#include "e2e/child_process.h"
#include "image/tga_decoder.h"

// Last: Xlib's macros (None, Bool, Status) would clash with the test framework's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace hg {
namespace {

// The preview picture as the program ships it, top row first.
Image shippedPreview() {
    Log quiet;
    FileSystem files;
    files.initialise(quiet, embeddedMainArchive(), embeddedOverlayArchive());
    auto bytes = files.get(kPreviewPicture);
    if (!bytes) return {};
    auto image = decodeTga(*bytes);
    if (!image) return {};
    flipRows(*image);
    return *image;
}

struct HostWindow {
    Display* display = XOpenDisplay(nullptr);
    Window window = 0;
    HostWindow() {
        if (!display) return;
        const int screen = DefaultScreen(display);
        window = XCreateSimpleWindow(display, RootWindow(display, screen), 10, 10, 400, 300, 0, 0, WhitePixel(display, screen));
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~HostWindow() {
        if (!display) return;
        if (window) XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    // R, G, B of one pixel of the host window, with whatever its children show there.
    std::array<int, 3> pixel(int x, int y) const {
        XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
        const unsigned long value = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return {int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF)};
    }
};

struct PreviewRun : ::testing::Test {
    test::ScratchDir dir;
    void SetUp() override {
        if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    }
};

TEST_F(PreviewRun, ShowsThePictureInTheTopLeftCornerUntilTerminated) {
    const Image expected = shippedPreview();
    ASSERT_EQ(expected.width, 160);
    ASSERT_EQ(expected.components, 3);
    HostWindow host;
    ASSERT_TRUE(host.display);
    const pid_t pid = test::startHearthglow(dir, {"/p", std::to_string(host.window)});
    ASSERT_TRUE(test::logHasLine(dir, "OpenGL initialized", std::chrono::seconds(10)));

    const std::pair<int, int> samples[] = {{0, 0}, {80, 60}, {159, 119}, {120, 30}, {20, 100}};
    const auto wanted = [&](int x, int y) {
        const uint8_t* want = expected.pixels.data() + (static_cast<size_t>(y) * expected.width + x) * 3;
        return std::array<int, 3>{want[0], want[1], want[2]};
    };
    const auto shown = [&] {
        for (auto [x, y] : samples)
            if (host.pixel(x, y) != wanted(x, y)) return false;
        return true;
    };
    // The picture appears once the preview has drawn it.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!shown() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    for (auto [x, y] : samples) EXPECT_EQ(host.pixel(x, y), wanted(x, y)) << x << "," << y;
    // Beyond the picture the host's own white ground shows: the picture keeps its size.
    EXPECT_EQ(host.pixel(200, 200), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(host.pixel(165, 10), (std::array<int, 3>{255, 255, 255}));

    kill(pid, SIGTERM);
    EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(5)), 0);
    const auto log = test::readLines(dir / "Log.txt");
    const auto id = std::find(log.begin(), log.end(), std::to_string(host.window));
    ASSERT_NE(id, log.end());
    EXPECT_EQ(std::vector<std::string>(id + 1, log.end()),
              (std::vector<std::string>{"Creating window...", "Window is create", "OpenGL initialized"}));
}

TEST_F(PreviewRun, EndsWhenItsWindowGoesWithTheParent) {
    HostWindow host;
    ASSERT_TRUE(host.display);
    const pid_t pid = test::startHearthglow(dir, {"/p", std::to_string(host.window)});
    ASSERT_TRUE(test::logHasLine(dir, "OpenGL initialized", std::chrono::seconds(10)));
    XDestroyWindow(host.display, host.window);
    XSync(host.display, False);
    host.window = 0;
    EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(5)), 0);
}

TEST_F(PreviewRun, AnIdThatNamesNoWindowFailsCleanly) {
    const pid_t pid = test::startHearthglow(dir, {"/p", "12345"});
    EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(5)), 1);
    const auto log = test::readLines(dir / "Log.txt");
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{"12345", "Creating window...", "Create Window failed!"}));
}

}  // namespace
}  // namespace hg
