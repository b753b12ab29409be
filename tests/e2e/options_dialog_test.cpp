// The Options dialog of the real program under the test display: `/c` shows it, drawn, and a quit
// signal ends it without saving. What its controls do is tested in-process, by name
// (tests/app/options_window_test.cpp).
#include <gtest/gtest.h>

#include "e2e/child_process.h"
#include "png_reader.h"

// Last: Xlib's macros clash with the test framework's names.
#include "e2e/live_window.h"

namespace hg {
namespace {

const std::string kStored =
    "Resolution: 3\nGamma: 2\nFps: 0\nClock: 1\nExitMM: 1\nEnable sound: 0\nEnable music: 1\n"
    "Music volume: 40\nSound volume: 250\nUsemon: 1\nStyle24h: 0\n";

TEST(OptionsDialogRun, ShowsTheDrawnDialogAndAQuitSignalEndsItWithoutSaving) {
    if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::ScratchDir dir;
    const std::filesystem::path settings = dir / "config/hearthglow/settings.conf";
    std::filesystem::create_directories(settings.parent_path());
    test::writeText(settings, kStored);
    test::XConnection x;
    ASSERT_TRUE(x.display);

    const pid_t pid = test::startHearthglow(dir, {"/c"}, {{"NO_AT_BRIDGE", "1"}});
    const auto window = test::waitForWindow("--pid " + std::to_string(pid) + " --name 'Options$'", 15);
    ASSERT_TRUE(window) << "no Options window appeared";
    // Drawn: a light dialog (the default theme) with the room picture in it, larger than a stub.
    std::optional<test::Picture> picture;
    const auto drawn = [&] {
        const auto area = test::areaOf(x.display, *window);
        if (!area || area->width <= 400) return false;
        picture = test::grab(x.display, DefaultRootWindow(x.display), area->x, area->y, area->width, area->height);
        return picture && picture->meanLevel() > 100.0 && test::colourCount(*picture) > 50;
    };
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!drawn() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(picture) << "the dialog's window went away";
    EXPECT_GT(picture->width, 400);
    EXPECT_GT(picture->meanLevel(), 100.0);
    EXPECT_GT(test::colourCount(*picture), 50) << "no room picture in the dialog";
    // A picture to look at.
    const std::string shot = std::string(HG_BINARY_DIR) + "/e2e-options-dialog.png";
    EXPECT_EQ(std::system(("import -window " + std::to_string(*window) + " '" + shot + "'").c_str()), 0);

    kill(pid, SIGTERM);
    EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(10)), 0);
    EXPECT_EQ(test::readText(settings), kStored);
}

}  // namespace
}  // namespace hg
