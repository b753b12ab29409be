// A picture that is found but cannot be decoded ends the run: the user is told, and the run goes
// out through its normal shutdown (music, gamma, textures, frame-rate lines, window), so the
// display comes back as it was; the program returns, it is not cut short.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/command_line.h"
#include "app/saver.h"
#include "archive/embedded.h"
#include "core/run_mode.h"
#include "hgpak/archive_writer.h"
#include "test_support.h"

namespace hg {
namespace {

TEST(BadPicture, EndsTheRunThroughItsNormalShutdown) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::ScratchDir dir;
    const test::ScopedEnvironment environment{{"HEARTHGLOW_LOG", (dir / "Log.txt").string()},
                                              {"XDG_CONFIG_HOME", (dir / "config").string()},
                                              {"XDG_RUNTIME_DIR", dir.path().string()},
                                              {"HEARTHGLOW_MESSAGES", "stderr"}};
    std::filesystem::create_directories(dir / "config/hearthglow");
    test::writeText(dir / "config/hearthglow/settings.conf", "Usemon: 1\nGamma: 2\nClock: 1\nEnable music: 0\n");

    // The loading picture, the first picture a run shows, is there but is no JPEG.
    pak::PackItem broken;
    broken.name = "Notification\\loading.jpg";
    broken.data = {0xFF, 0xD8, 0xFF, 0xE0, 'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
    const std::vector<uint8_t> overlay = pak::writeStoredArchive(std::span(&broken, 1));

    Saver saver(ArchiveImages{embeddedMainArchive(), overlay});
    const char* argv[] = {"hearthglow", "/s"};
    testing::internal::CaptureStderr();
    const int exitCode = saver.start(parseCommandLine(2, argv));
    const std::string messages = testing::internal::GetCapturedStderr();

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(runMode(), RunMode::Quit);
    EXPECT_NE(messages.find("Error: Unable to load JPG File!"), std::string::npos) << messages;
    // Said once, however many pictures the run would still have wanted.
    EXPECT_EQ(messages.find("Error:", messages.find("Error:") + 1), std::string::npos) << messages;
    const auto log = test::readLines(dir / "Log.txt");
    ASSERT_GE(log.size(), 4u);
    EXPECT_NE(std::find(log.begin(), log.end(), "New Gamma: 2"), log.end());
    EXPECT_EQ(log[log.size() - 4].rfind("Set old Gamma: ", 0), 0u);
    EXPECT_EQ(log[log.size() - 3].rfind("Max fps: ", 0), 0u);
    EXPECT_EQ(log.back().rfind("Fps: ", 0), 0u);
    EXPECT_EQ(std::find(log.begin(), log.end(), "OpenGL initialized"), log.end()) << "the run went on loading";
}

}  // namespace
}  // namespace hg
