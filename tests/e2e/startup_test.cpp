// The real program, started the way a user or the system would start it.
#include <gtest/gtest.h>

#include "test_support.h"

namespace hg {
namespace {

TEST(Startup, UnknownOptionPrintsOneUsageLineAndExitsWithTwo) {
    test::ScratchDir dir;
    auto result = test::runIn(dir.path(), test::hearthglowBinary() + " --bogus");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.standardError.find("usage:"), std::string::npos);
    EXPECT_EQ(std::count(result.standardError.begin(), result.standardError.end(), '\n'), 1);
    // A typo touches nothing: no log, no settings.
    EXPECT_FALSE(std::filesystem::exists(dir / "Log.txt"));
}

TEST(Startup, PreviewWithoutWindowEndsAndLeavesLogAndSettings) {
    test::ScratchDir dir;
    const std::string env = "XDG_CONFIG_HOME='" + (dir / "config").string() + "' ";
    auto result = test::runIn(dir.path(), env + test::hearthglowBinary() + " /p 0");
    EXPECT_EQ(result.exitCode, 1);
    const auto log = test::readLines(dir / "Log.txt");
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "Data.pak not found");
    EXPECT_EQ(log[1], "Base.rar not found");
    EXPECT_NE(std::find(log.begin(), log.end(), "Create Window failed!"), log.end());
    EXPECT_EQ(test::readText(dir / "config/hearthglow/settings.conf"),
              "Resolution: 1\nGamma: 3\nFps: 0\nClock: 1\nExitMM: 1\nEnable sound: 0\nEnable music: 1\n"
              "Music volume: 40\nSound volume: 40\nUsemon: 1\nStyle24h: 0\nMonitor: 0\n");
}

TEST(Startup, TwoStartsLeaveOnlyTheSecondLog) {
    test::ScratchDir dir;
    const std::string env = "XDG_CONFIG_HOME='" + (dir / "config").string() + "' ";
    test::runIn(dir.path(), env + test::hearthglowBinary() + " /p 0");
    test::writeText(dir / "Log.txt", test::readText(dir / "Log.txt") + "marker from the first start\n");
    test::runIn(dir.path(), env + test::hearthglowBinary() + " /p 0");
    const std::string log = test::readText(dir / "Log.txt");
    EXPECT_EQ(log.find("marker from the first start"), std::string::npos);
    EXPECT_NE(log.find("Data.pak not found"), std::string::npos);
}

TEST(Startup, SettingsFolderFromHomeWhenXdgIsUnset) {
    test::ScratchDir dir;
    const std::string env = "env -u XDG_CONFIG_HOME HOME='" + dir.path().string() + "' ";
    test::runIn(dir.path(), env + test::hearthglowBinary() + " /p 0");
    EXPECT_TRUE(std::filesystem::exists(dir / ".config/hearthglow/settings.conf"));
}

TEST(Startup, TheLogGoesToTheStateFolderNotTheFolderTheHostStartedIn) {
    // A host may start the saver anywhere; the log has a place of its own.
    test::ScratchDir dir;
    const std::string stateHome = "env -u HEARTHGLOW_LOG XDG_CONFIG_HOME='" + (dir / "config").string() + "' XDG_STATE_HOME='" +
                                  (dir / "state").string() + "' ";
    test::runIn(dir.path(), stateHome + test::hearthglowBinary() + " /p 0");
    EXPECT_FALSE(std::filesystem::exists(dir / "Log.txt"));
    const auto log = test::readLines(dir / "state/hearthglow/Log.txt");
    EXPECT_NE(std::find(log.begin(), log.end(), "Create Window failed!"), log.end());

    // Without XDG_STATE_HOME: ~/.local/state.
    const std::string home = "env -u HEARTHGLOW_LOG -u XDG_STATE_HOME HOME='" + (dir / "home").string() + "' XDG_CONFIG_HOME='" +
                             (dir / "config").string() + "' ";
    test::runIn(dir.path(), home + test::hearthglowBinary() + " /p 0");
    EXPECT_TRUE(std::filesystem::exists(dir / "home/.local/state/hearthglow/Log.txt"));
    // HEARTHGLOW_LOG names the file outright.
    test::runIn(dir.path(), "HEARTHGLOW_LOG='" + (dir / "chosen.txt").string() + "' XDG_CONFIG_HOME='" + (dir / "config").string() +
                                "' " + test::hearthglowBinary() + " /p 0");
    EXPECT_EQ(test::readLines(dir / "chosen.txt").front(), "Data.pak not found");
}

}  // namespace
}  // namespace hg
