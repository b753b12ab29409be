// The Options dialog as Windows opens it (/c), clicked with the pointer through xdotool; what OK
// saved read back with Wine's reg.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include "test_support.h"
#include "wine/wine_run.h"

namespace hg {
namespace {

using namespace std::chrono_literals;

[[maybe_unused]] const auto* wine = ::testing::AddGlobalTestEnvironment(new test::WineEnvironment);

const std::string kSettingsKey = "HKCU\\Software\\KESTREL Studio\\3D Hearthglow Screensaver";

// The centre of control `id` of the open Options dialog, once there is one (up to `limit`).
std::optional<std::pair<int, int>> controlCentre(int id, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
        test::ScratchDir dir;
        const pid_t pid = test::startWine(dir, test::windowsBuild() / "dialog_probe.exe",
                                          {std::to_string(id), test::windowsPath(dir / "where.txt")});
        int x = 0, y = 0;
        if (test::exitCodeOf(pid, 30s) == 0 &&
            std::sscanf(test::readText(dir / "where.txt").c_str(), "%d %d", &x, &y) == 2)
            return std::pair{x, y};
        std::this_thread::sleep_for(100ms);
    } while (std::chrono::steady_clock::now() < end);
    return std::nullopt;
}

void click(int id) {
    const auto centre = controlCentre(id, 60s);
    ASSERT_TRUE(centre) << "no control " << id << " on the screen";
    const std::string command =
        "xdotool mousemove " + std::to_string(centre->first) + " " + std::to_string(centre->second) + " click 1";
    ASSERT_EQ(std::system(command.c_str()), 0);
}

// One value as `wine reg query` prints it: "0x1" for a REG_DWORD of 1; empty when there is none.
std::string registryValue(const std::string& name) {
    test::ScratchDir dir;
    const pid_t pid = test::startWine(dir, "reg", {"query", kSettingsKey, "/v", name});
    if (test::exitCodeOf(pid, 60s) != 0) return {};
    for (const std::string& line : test::windowsLines(dir / "wine-output.txt")) {
        const size_t type = line.find("REG_DWORD");
        if (line.find(name) != std::string::npos && type != std::string::npos)
            return line.substr(line.find_first_not_of(' ', type + 9));
    }
    return {};
}

TEST(WindowsOptions, ClicksChangeTheRegistryOnlyThroughOk) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    {
        test::ScratchDir dir;
        test::exitCodeOf(test::startWine(dir, "reg", {"delete", kSettingsKey, "/f"}), 60s);
        ASSERT_EQ(std::system("wineserver -w"), 0);
    }
    test::ScratchDir dir;
    // The first start writes the defaults: the frame rate hidden, the music on.
    const pid_t pid = test::startWindowsSaver(dir, {"/c"});
    click(1008);  // Show FPS
    click(1012);  // Enable music
    click(1032);  // OK
    EXPECT_EQ(test::exitCodeOf(pid, 30s), 0) << test::readText(dir / "wine-output.txt");
    EXPECT_EQ(registryValue("Fps:"), "0x1");
    EXPECT_EQ(registryValue("Enable music:"), "0x0");
    EXPECT_EQ(registryValue("Clock:"), "0x1");  // untouched, as the first start wrote it

    // Cancel saves nothing.
    const pid_t again = test::startWindowsSaver(dir, {"/c"});
    click(1008);
    click(1034);  // Cancel
    EXPECT_EQ(test::exitCodeOf(again, 30s), 0);
    EXPECT_EQ(registryValue("Fps:"), "0x1");
}

}  // namespace
}  // namespace hg
