// Hearthglow-Setup.exe under Wine, silent (/S): for the current user (the default) and for every
// user (/AllUsers) it puts the screensaver in place and makes it the active one; its uninstaller
// takes the program, its settings and its log away and puts the screensaver that was active before
// back.
#include <pwd.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "test_support.h"
#include "wine/wine_run.h"

namespace hg {
namespace {

using namespace std::chrono_literals;

[[maybe_unused]] const auto* wine = ::testing::AddGlobalTestEnvironment(new test::WineEnvironment);

const std::string kDesktop = "HKCU\\Control Panel\\Desktop";

int runWine(const std::filesystem::path& program, const std::vector<std::string>& args) {
    test::ScratchDir dir;
    return test::exitCodeOf(test::startWine(dir, program, args), 120s);
}

// The user's name as Wine names the profile folder: the account's, whatever $USER says.
std::string userName() {
    const passwd* account = getpwuid(getuid());
    return account && account->pw_name ? account->pw_name : "root";
}

// The prefix's drive C: as Linux sees it.
std::filesystem::path driveC() { return test::winePrefix() / "drive_c"; }

// The uninstaller copies itself away and returns at once: its work shows when the folder is gone.
bool waitUntilGone(const std::filesystem::path& path) {
    for (int i = 0; i < 600 && std::filesystem::exists(path); ++i) std::this_thread::sleep_for(100ms);
    return !std::filesystem::exists(path);
}

void installAndUninstall(const std::vector<std::string>& mode, const std::filesystem::path& folder,
                         const std::string& windowsFolder) {
    ASSERT_EQ(runWine("reg", {"add", kDesktop, "/v", "SCRNSAVE.EXE", "/d", "C:\\windows\\system32\\other.scr", "/f"}), 0);
    std::vector<std::string> install = mode;
    install.push_back("/S");
    ASSERT_EQ(runWine(test::windowsBuild() / "Hearthglow-Setup.exe", install), 0);
    EXPECT_TRUE(std::filesystem::exists(folder / "Hearthglow.scr"));
    EXPECT_EQ(std::filesystem::file_size(folder / "Hearthglow.scr"), std::filesystem::file_size(test::windowsBuild() / "Hearthglow.scr"));
    EXPECT_EQ(test::registryValue(kDesktop, "SCRNSAVE.EXE"), windowsFolder + "\\Hearthglow.scr");
    EXPECT_EQ(test::registryValue(kDesktop, "ScreenSaveActive"), "1");

    // The screensaver's own traces: its settings and its log.
    test::importSettings({{"Gamma:", 2}});
    const std::filesystem::path logFolder = driveC() / "users" / userName() / "AppData/Local/Hearthglow";
    std::filesystem::create_directories(logFolder);
    test::writeText(logFolder / "Log.txt", "Starting...\n");

    std::vector<std::string> uninstall = mode;
    uninstall.push_back("/S");
    ASSERT_EQ(runWine(folder / "Uninstall.exe", uninstall), 0);
    EXPECT_TRUE(waitUntilGone(folder)) << folder << " is still there";
    EXPECT_EQ(test::registryValue(kDesktop, "SCRNSAVE.EXE"), "C:\\windows\\system32\\other.scr");
    EXPECT_EQ(test::registryValue(test::kSettingsKey, "Gamma:"), "");
    EXPECT_FALSE(std::filesystem::exists(logFolder));
}

TEST(Installer, ForTheCurrentUserInstallsActivatesAndUninstallsEverything) {
    // The user's own program folder (%LOCALAPPDATA%\Programs), beside but apart from the log's.
    installAndUninstall({}, driveC() / "users" / userName() / "AppData/Local/Programs/Hearthglow",
                        "C:\\users\\" + std::string(userName()) + "\\AppData\\Local\\Programs\\Hearthglow");
}

TEST(Installer, ForEveryUserInstallsIntoProgramFiles) {
    installAndUninstall({"/AllUsers"}, driveC() / "Program Files/Hearthglow", "C:\\Program Files\\Hearthglow");
}

}  // namespace
}  // namespace hg
