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

TEST(WindowsOptions, ClicksChangeTheRegistryOnlyThroughOk) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::removeSettings();
    test::ScratchDir dir;
    // The first start writes the defaults: the frame rate hidden, the music on.
    const pid_t pid = test::startWindowsSaver(dir, {"/c"});
    click(1008);  // Show FPS
    click(1012);  // Enable music
    click(1032);  // OK
    EXPECT_EQ(test::exitCodeOf(pid, 30s), 0) << test::readText(dir / "wine-output.txt");
    EXPECT_EQ(test::registryValue(test::kSettingsKey, "Fps:"), "0x1");
    EXPECT_EQ(test::registryValue(test::kSettingsKey, "Enable music:"), "0x0");
    EXPECT_EQ(test::registryValue(test::kSettingsKey, "Clock:"), "0x1");  // untouched, as the first start wrote it

    // Cancel saves nothing.
    const pid_t again = test::startWindowsSaver(dir, {"/c"});
    click(1008);
    click(1034);  // Cancel
    EXPECT_EQ(test::exitCodeOf(again, 30s), 0);
    EXPECT_EQ(test::registryValue(test::kSettingsKey, "Fps:"), "0x1");
}

}  // namespace
}  // namespace hg
