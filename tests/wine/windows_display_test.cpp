// The display the Windows build leaves behind, on a real X server with the dummy driver (Xvfb has
// no gamma ramps and only its one size): the gamma ramp in force before a full-screen run (a
// calibration of the test's own, different in each channel) comes back exactly, entry for entry,
// and a run in a listed mode switches the screen to it and back.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>

#include "test_support.h"
#include "wine/wine_run.h"
// Last: Xlib's macros clash with the test framework's names.
#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

namespace hg {
namespace {

using namespace std::chrono_literals;

[[maybe_unused]] const auto* wine = ::testing::AddGlobalTestEnvironment(new test::WineEnvironment);

struct Ramp {
    std::array<unsigned short, 256> red{}, green{}, blue{};
    bool operator==(const Ramp&) const = default;
};

const char* kDummyConfig = R"(Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Modeline "1024x768" 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync
    Modeline "800x600" 38.25 800 832 912 1024 600 603 607 624 -hsync +vsync
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "1024x768" "800x600"
    EndSubSection
EndSection
)";

struct DummyDisplay : ::testing::Test {
    test::ScratchDir dir;
    std::string name;
    pid_t server = 0;
    Display* display = nullptr;

    void SetUp() override {
        // A display number nobody uses.
        for (int n = 70; n < 100 && name.empty(); ++n)
            if (!std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n)) &&
                !std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock"))
                name = ":" + std::to_string(n);
        ASSERT_FALSE(name.empty());
        test::writeText(dir / "dummy.conf", kDummyConfig);
        server = fork();
        if (server == 0) {
            const std::string config = (dir / "dummy.conf").string(), log = (dir / "xorg.log").string();
            if (!freopen((dir / "xorg.out").c_str(), "w", stderr)) _exit(127);
            execlp("Xorg", "Xorg", name.c_str(), "-config", config.c_str(), "-noreset", "-nolisten", "tcp", "-logfile",
                   log.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        const auto end = std::chrono::steady_clock::now() + 30s;
        while (!display && std::chrono::steady_clock::now() < end) {
            display = XOpenDisplay(name.c_str());
            if (!display) std::this_thread::sleep_for(50ms);
        }
        ASSERT_NE(display, nullptr) << test::readText(dir / "xorg.out");
        // A fresh Wine server, whose desktop lives on this display.
        test::restartWine();
    }

    void TearDown() override {
        test::restartWine();
        if (display) XCloseDisplay(display);
        if (server > 0) {
            kill(server, SIGTERM);
            waitpid(server, nullptr, 0);
        }
    }

    Ramp ramp() {
        Ramp now;
        int size = 0;
        XF86VidModeGetGammaRampSize(display, 0, &size);
        EXPECT_EQ(size, 256);
        XF86VidModeGetGammaRamp(display, 0, 256, now.red.data(), now.green.data(), now.blue.data());
        return now;
    }

    void setRamp(Ramp ramp) {
        XF86VidModeSetGammaRamp(display, 0, 256, ramp.red.data(), ramp.green.data(), ramp.blue.data());
        XSync(display, False);
    }

    int screenWidth() {
        XSync(display, False);
        // The root window follows the mode the server switched to.
        XWindowAttributes root{};
        XGetWindowAttributes(display, DefaultRootWindow(display), &root);
        return root.width;
    }

    // Once the program has ended, Wine may still be putting the desktop's mode back (once in a
    // full run of the suite the root window was still 800 wide as the process ended): wait for it.
    bool widthComesBackTo(int width, std::chrono::seconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (screenWidth() != width && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(50ms);
        return screenWidth() == width;
    }

    // The settings the run reads, imported in one go: the gamma control at 1 (exponent 3) and the
    // desktop's mode or mode 1 of the table (800x600).
    void settings(bool desktopMode) {
        test::importSettings({{"Resolution:", 1}, {"Gamma:", 1}, {"Clock:", 1}, {"ExitMM:", 1}, {"Enable music:", 0},
                              {"Usemon:", desktopMode ? 1u : 0u}},
                             name);
    }

    // Runs /s until its room is up, checks what it changed, and ends it with `gesture`.
    void run(const std::string& gesture, const std::function<void()>& whileRunning) {
        const pid_t pid = test::startWine(dir, test::windowsBuild() / "Hearthglow.scr", {"/s"},
                                          {{"DISPLAY", name},
                                           {"HEARTHGLOW_LOG", test::windowsPath(dir / "Log.txt")},
                                           {"HEARTHGLOW_MESSAGES", "stderr"}});
        const auto end = std::chrono::steady_clock::now() + 60s;
        auto loaded = [&] {
            const auto log = test::windowsLines(dir / "Log.txt");
            return std::find(log.begin(), log.end(), "OpenGL initialized") != log.end();
        };
        while (!loaded() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(50ms);
        ASSERT_TRUE(loaded()) << test::readText(dir / "wine-output.txt");
        whileRunning();
        ASSERT_EQ(std::system(("DISPLAY=" + name + " " + gesture).c_str()), 0);
        EXPECT_EQ(test::exitCodeOf(pid, 30s), 0);
    }
};

// A calibration of the test's own: a different curve in each channel, as a colour-managed
// display has. The dummy driver keeps 8 bits of each entry (v * 257 reads back as it was set), and
// each curve is one gamma from end to end: Windows (and Wine) refuse other ramps, so a ramp in
// force on Windows is always of that kind.
Ramp calibration() {
    Ramp ramp;
    auto entry = [](double level) { return static_cast<unsigned short>(std::lround(std::min(255.0, level)) * 257); };
    for (int i = 0; i < 256; ++i) {
        ramp.red[i] = entry(255.0 * std::pow(i / 255.0, 0.8));
        ramp.green[i] = entry(255.0 * std::pow(i / 255.0, 0.9));
        ramp.blue[i] = entry(255.0 * std::pow(i / 255.0, 1.1));
    }
    return ramp;
}

TEST_F(DummyDisplay, TheGammaRampComesBackExactlyAfterAKey) {
    const Ramp before = calibration();
    setRamp(before);
    ASSERT_EQ(ramp(), before);
    settings(true);
    run("xdotool key b", [&] {
        const Ramp during = ramp();
        // The power curve of exponent 3: (128/256)^3 * 65536 = 8192 in every channel.
        EXPECT_NEAR(during.red[128], 8192, 64);
        EXPECT_EQ(during.red, during.green);
        EXPECT_EQ(screenWidth(), 1024);
    });
    EXPECT_EQ(ramp(), before) << "the calibration was not put back entry for entry";
    const auto log = test::windowsLines(dir / "Log.txt");
    EXPECT_NE(std::find(log.begin(), log.end(), "New Gamma: 3"), log.end());
}

TEST_F(DummyDisplay, AListedModeIsSetForTheRunAndTheDesktopsComesBackAfterAClick) {
    const Ramp before = calibration();
    setRamp(before);
    ASSERT_EQ(screenWidth(), 1024);
    settings(false);
    run("xdotool click 1", [&] { EXPECT_EQ(screenWidth(), 800); });
    EXPECT_TRUE(widthComesBackTo(1024, 10s)) << "the screen stayed " << screenWidth() << " wide\n"
                                             << test::readText(dir / "Log.txt") << test::readText(dir / "wine-output.txt");
    EXPECT_EQ(ramp(), before);
}

}  // namespace
}  // namespace hg
