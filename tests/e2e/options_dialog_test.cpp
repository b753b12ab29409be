// The Options dialog of the real program, driven with xdotool under the test display.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "e2e/child_process.h"
#include "png_reader.h"

namespace hg {
namespace {

// A settings file that OK must rewrite: the desktop flag overrides the stored mode, and a volume
// beyond the slider's range comes back as 100.
const std::string kStored =
    "Resolution: 3\nGamma: 2\nFps: 0\nClock: 1\nExitMM: 1\nEnable sound: 0\nEnable music: 1\n"
    "Music volume: 40\nSound volume: 250\nUsemon: 1\nStyle24h: 0\n";

std::string output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe)) text += buffer;
        pclose(pipe);
    }
    return text;
}

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// Waits for the visible dialog and returns where it is.
std::optional<Geometry> findDialog() {
    std::istringstream ids(output("timeout 15 xdotool search --sync --onlyvisible --name 'Options$' 2>/dev/null"));
    std::string id;
    if (!(ids >> id)) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // let it draw
    std::istringstream shell(output("xdotool getwindowgeometry --shell " + id));
    Geometry g;
    std::string line;
    while (std::getline(shell, line)) {
        if (line.rfind("X=", 0) == 0) g.x = std::stoi(line.substr(2));
        if (line.rfind("Y=", 0) == 0) g.y = std::stoi(line.substr(2));
        if (line.rfind("WIDTH=", 0) == 0) g.width = std::stoi(line.substr(6));
        if (line.rfind("HEIGHT=", 0) == 0) g.height = std::stoi(line.substr(7));
    }
    if (g.width <= 0) return std::nullopt;
    return g;
}

// OK and Cancel sit at the lower right: 8 pixels of border, buttons 90 wide, 6 apart.
void click(const Geometry& g, int centreFromRight) {
    std::system(("xdotool mousemove " + std::to_string(g.x + g.width - centreFromRight) + " " +
                 std::to_string(g.y + g.height - 20) + " click 1")
                    .c_str());
}
constexpr int kCancel = 8 + 45;
constexpr int kOk = 8 + 90 + 6 + 45;

struct OptionsDialogRun : ::testing::Test {
    test::ScratchDir dir;
    std::filesystem::path settings = dir / "config/hearthglow/settings.conf";
    void SetUp() override {
        if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
        std::filesystem::create_directories(settings.parent_path());
        test::writeText(settings, kStored);
    }
};

TEST_F(OptionsDialogRun, ShowsTheDialogAndOkSavesWhatItShows) {
    const pid_t pid = test::startHearthglow(dir, {"/c"}, {{"NO_AT_BRIDGE", "1"}});
    const auto dialog = findDialog();
    ASSERT_TRUE(dialog) << "no Options window appeared";
    // A screenshot to look at; the dialog is drawn (light theme) with the room picture in it.
    const std::string shot = std::string(HG_BINARY_DIR) + "/e2e-options-dialog.png";
    ASSERT_EQ(std::system(("import -window root '" + shot + "'").c_str()), 0);
    const auto picture = test::readPng(shot);
    ASSERT_TRUE(picture);
    EXPECT_GT(dialog->width, 400);
    EXPECT_GT(picture->meanLevel(dialog->x, dialog->y, dialog->x + dialog->width, dialog->y + dialog->height), 100.0);

    click(*dialog, kOk);
    EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(10)), 0);
    const std::string stored = test::readText(settings);
    EXPECT_NE(stored.find("Resolution: 10\n"), std::string::npos) << stored;
    EXPECT_NE(stored.find("Sound volume: 100\n"), std::string::npos) << stored;
    EXPECT_NE(stored.find("Gamma: 2\n"), std::string::npos) << stored;
}

TEST_F(OptionsDialogRun, CancelLeavesTheSettingsFileAsItWas) {
    const pid_t pid = test::startHearthglow(dir, {"/c"}, {{"NO_AT_BRIDGE", "1"}});
    const auto dialog = findDialog();
    ASSERT_TRUE(dialog) << "no Options window appeared";
    click(*dialog, kCancel);
    EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(10)), 0);
    EXPECT_EQ(test::readText(settings), kStored);
}

TEST_F(OptionsDialogRun, AQuitSignalEndsTheDialogWithoutSaving) {
    const pid_t pid = test::startHearthglow(dir, {"/c"}, {{"NO_AT_BRIDGE", "1"}});
    ASSERT_TRUE(findDialog());
    kill(pid, SIGTERM);
    EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(10)), 0);
    EXPECT_EQ(test::readText(settings), kStored);
}

}  // namespace
}  // namespace hg
