#include "core/settings.h"

#include <gtest/gtest.h>

#include "platform/posix/settings_file.h"
#include "test_support.h"

namespace hg {
namespace {

const DesktopSizeQuery kDesktop = [] { return DesktopSize{1920, 1080}; };

TEST(Settings, FirstStartWritesTheDefaultsAndUsesTheDesktop) {
    test::ScratchDir dir;
    FileSettingsStore store(dir / "hearthglow/settings.conf");
    Settings settings;
    settings.load(store, kDesktop);

    EXPECT_EQ(test::readText(store.path()),
              "Resolution: 1\nGamma: 3\nFps: 0\nClock: 1\nExitMM: 1\nEnable sound: 0\nEnable music: 1\n"
              "Music volume: 40\nSound volume: 40\nUsemon: 1\nStyle24h: 0\nMonitor: 0\n");
    EXPECT_EQ(settings.resolutionIndex, 10);
    EXPECT_EQ(settings.chosenMode(), (DisplayMode{1920, 1080, 16}));
    EXPECT_TRUE(settings.enableMusic);
    EXPECT_FLOAT_EQ(settings.soundVolume, 40.0f);
}

TEST(Settings, MonitorKeepsEveryMonitorAsMinusOneAndAnOlderFileMeansThePrimary) {
    test::ScratchDir dir;
    FileSettingsStore store(dir / "settings.conf");
    Settings settings;
    settings.load(store, kDesktop);
    settings.monitor = Settings::kEveryMonitor;
    settings.save(store);
    EXPECT_NE(test::readText(store.path()).find("Monitor: -1\n"), std::string::npos);
    Settings again;
    again.load(store, kDesktop);
    EXPECT_EQ(again.monitor, -1);
    // Written by hand either way, and a file written before the setting existed has no such line.
    test::writeText(store.path(), "Monitor: 4294967295\n");
    Settings unsignedForm;
    unsignedForm.load(store, kDesktop);
    EXPECT_EQ(unsignedForm.monitor, -1);
    test::writeText(store.path(), "Resolution: 1\nGamma: 3\nClock: 1\n");
    Settings older;
    older.load(store, kDesktop);
    EXPECT_EQ(older.monitor, 0);
}

TEST(SettingsFile, ValuesAre32BitsWrittenSignedFromTwoToTheThirtyFirstUp) {
    EXPECT_EQ(parseSettingsLine("Monitor: -1")->value, 0xFFFFFFFFu);
    EXPECT_EQ(parseSettingsLine("Monitor: 4294967295")->value, 0xFFFFFFFFu);
    EXPECT_EQ(parseSettingsLine("Resolution: -2147483648")->value, 0x80000000u);
    for (const char* bad : {"Gamma: -2147483649", "Gamma: 4294967296", "Gamma: +3", "Gamma: 3x", "Gamma: -", "Gamma: "}) {
        SCOPED_TRACE(bad);
        ASSERT_TRUE(parseSettingsLine(bad));
        EXPECT_FALSE(parseSettingsLine(bad)->value);
    }
    EXPECT_EQ(settingsValueText(0), "0");
    EXPECT_EQ(settingsValueText(2147483647u), "2147483647");
    EXPECT_EQ(settingsValueText(0xFFFFFFFFu), "-1");
    EXPECT_EQ(settingsValueText(0x80000000u), "-2147483648");
}

TEST(Settings, GammaKeepsOnlyItsIntegerPart) {
    test::ScratchDir dir;
    FileSettingsStore store(dir / "settings.conf");
    for (auto [set, back] : {std::pair{2.4f, 2.0f}, std::pair{3.96f, 3.0f}, std::pair{0.0f, 0.0f}, std::pair{4.0f, 4.0f}}) {
        Settings written;
        written.gamma = set;
        written.save(store);
        Settings read;
        read.load(store, kDesktop);
        EXPECT_FLOAT_EQ(read.gamma, back) << "set " << set;
    }
}

TEST(Settings, DesktopFlagOverridesStoredResolution) {
    test::ScratchDir dir;
    FileSettingsStore store(dir / "settings.conf");
    test::writeText(store.path(), "Resolution: 3\nUsemon: 1\n");
    Settings settings;
    settings.load(store, kDesktop);
    EXPECT_EQ(settings.resolutionIndex, 10);

    test::writeText(store.path(), "Resolution: 3\nUsemon: 0\n");
    Settings table;
    table.load(store, kDesktop);
    EXPECT_EQ(table.resolutionIndex, 3);
    EXPECT_EQ(table.chosenMode(), (DisplayMode{1024, 768, 32}));
}

TEST(Settings, MissingValuesReadAsZero) {
    test::ScratchDir dir;
    FileSettingsStore store(dir / "settings.conf");
    test::writeText(store.path(), "Clock: 1\n");
    Settings settings;
    settings.load(store, kDesktop);
    EXPECT_TRUE(settings.showClock);
    EXPECT_FLOAT_EQ(settings.gamma, 0.0f);
    EXPECT_FLOAT_EQ(settings.soundVolume, 0.0f);
    EXPECT_FLOAT_EQ(settings.musicVolume, 0.0f);
    EXPECT_FALSE(settings.enableMusic);
    EXPECT_FALSE(settings.useDesktopMode);
    EXPECT_EQ(settings.resolutionIndex, 0);
    // An existing key is not a first start: nothing is written back.
    EXPECT_EQ(test::readText(store.path()), "Clock: 1\n");
}

TEST(Settings, CorruptOrTruncatedFileNeverBreaksTheLoad) {
    test::ScratchDir dir;
    FileSettingsStore store(dir / "settings.conf");
    test::writeText(store.path(), std::string("Gamma: banana\n\0\xff\xfe garbage\nFps: 1\nSound volume: 99999999999999\nClock", 72));
    Settings settings;
    settings.load(store, kDesktop);
    EXPECT_FLOAT_EQ(settings.gamma, 0.0f);
    EXPECT_TRUE(settings.showFps);
    EXPECT_FLOAT_EQ(settings.soundVolume, 0.0f);  // out of range counts as unreadable
    EXPECT_FALSE(settings.showClock);
}

TEST(Settings, ResolutionOutsideTheTableFallsBackToTheDesktop) {
    test::ScratchDir dir;
    FileSettingsStore store(dir / "settings.conf");
    for (const char* stored : {"4294967295", "11", "19", "2147483648", "10"}) {
        test::writeText(store.path(), std::string("Usemon: 0\nResolution: ") + stored + "\n");
        Settings settings;
        settings.load(store, kDesktop);
        EXPECT_EQ(settings.resolutionIndex, 10) << stored;
        EXPECT_EQ(settings.chosenMode(), (DisplayMode{1920, 1080, 16})) << stored;
    }
}

TEST(Settings, CrLfLinesAndUnknownLinesAreTolerated) {
    test::ScratchDir dir;
    FileSettingsStore store(dir / "settings.conf");
    test::writeText(store.path(), "# my notes\r\nGamma: 1\r\nWhatever: 7\r\n");
    EXPECT_EQ(store.readValue("Gamma:"), 1u);
    EXPECT_TRUE(store.writeValue("Fps:", 1));
    EXPECT_EQ(store.readValue("Fps:"), 1u);
    EXPECT_EQ(store.readValue("Gamma:"), 1u);
    EXPECT_EQ(store.readValue("Whatever:"), 7u);
}

TEST(Settings, UnwritableFolderLosesTheValueButKeepsRunning) {
    test::ScratchDir dir;
    test::writeText(dir / "blocker", "a file where a folder should be");
    FileSettingsStore store(dir / "blocker/hearthglow/settings.conf");
    Settings settings;
    settings.load(store, kDesktop);  // first start: the save fails silently
    EXPECT_FALSE(store.keyExists());
    EXPECT_TRUE(settings.enableMusic);
    EXPECT_EQ(settings.resolutionIndex, 10);
}

TEST(Settings, FailedSaveLeavesNoDebrisAndReportsFailure) {
    test::ScratchDir dir;
    // A folder where the file should be: the final rename cannot replace it.
    std::filesystem::create_directories(dir / "settings.conf/inside");
    FileSettingsStore store(dir / "settings.conf");
    EXPECT_FALSE(store.writeValue("Gamma:", 4));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "settings.conf/inside"));
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1u) << "the temporary file was left behind";
}

TEST(Settings, SaveReplacesValuesInPlace) {
    test::ScratchDir dir;
    FileSettingsStore store(dir / "settings.conf");
    Settings settings;
    settings.restoreDefaults();
    settings.save(store);
    const std::string first = test::readText(store.path());
    settings.gamma = 1.0f;
    settings.style24h = true;
    settings.save(store);
    std::string expected = first;
    expected.replace(expected.find("Gamma: 3"), 8, "Gamma: 1");
    expected.replace(expected.find("Style24h: 0"), 11, "Style24h: 1");
    EXPECT_EQ(test::readText(store.path()), expected);
}

TEST(Settings, RestoreDefaultsKeepsTheModeTable) {
    Settings settings;
    settings.displayModes[10] = {1, 2, 16};
    settings.restoreDefaults();
    EXPECT_EQ(settings.displayModes[10], (DisplayMode{1, 2, 16}));
    EXPECT_EQ(settings.displayModes[4], (DisplayMode{1280, 1024, 16}));
    EXPECT_EQ(settings.displayModes[6], (DisplayMode{1152, 864, 16}));
    EXPECT_EQ(settings.resolutionIndex, 1);
}

}  // namespace
}  // namespace hg
