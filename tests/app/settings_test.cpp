#include "core/settings.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

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

bool mentions(const std::vector<std::string>& notes, const std::string& text) {
    return std::find(notes.begin(), notes.end(), text) != notes.end();
}

TEST(Settings, MissingValuesTakeTheirDefaultsAndAreLogged) {
    test::ScratchDir dir;
    FileSettingsStore store(dir / "settings.conf");
    // Read as zeros, this file would mean 800x600x16 and silence.
    test::writeText(store.path(), "Gamma: 2\n");
    Settings settings;
    const std::vector<std::string> notes = settings.load(store, kDesktop);
    EXPECT_FLOAT_EQ(settings.gamma, 2.0f);
    EXPECT_TRUE(settings.useDesktopMode);
    EXPECT_EQ(settings.chosenMode(), (DisplayMode{1920, 1080, 16}));
    EXPECT_TRUE(settings.showClock);
    EXPECT_TRUE(settings.enableMusic);
    EXPECT_FLOAT_EQ(settings.soundVolume, 40.0f);
    EXPECT_EQ(notes.size(), 11u);
    EXPECT_TRUE(mentions(notes, "Settings: no \"Sound volume:\" value; using 40"));
    EXPECT_TRUE(mentions(notes, "Settings: no \"Usemon:\" value; using 1"));
    // An existing file is not a first start: nothing is written back.
    EXPECT_EQ(test::readText(store.path()), "Gamma: 2\n");
}

TEST(Settings, CorruptOrTruncatedFileNeverBreaksTheLoad) {
    test::ScratchDir dir;
    FileSettingsStore store(dir / "settings.conf");
    static constexpr char kDamaged[] = "Gamma: banana\n\0\xff\xfe garbage\nFps: 1\nSound volume: 99999999999999\nClock";
    test::writeText(store.path(), std::string(kDamaged, sizeof(kDamaged) - 1));
    Settings settings;
    const std::vector<std::string> notes = settings.load(store, kDesktop);
    EXPECT_FLOAT_EQ(settings.gamma, 3.0f);
    EXPECT_TRUE(settings.showFps);
    EXPECT_FLOAT_EQ(settings.soundVolume, 40.0f);  // not a 32-bit number: as good as missing
    EXPECT_TRUE(settings.showClock);
    EXPECT_TRUE(mentions(notes, "Settings: no \"Gamma:\" value; using 3"));
}

TEST(Settings, ValuesTheDialogCouldNotHaveStoredAreReplacedAndLogged) {
    test::ScratchDir dir;
    FileSettingsStore store(dir / "settings.conf");
    const std::string text =
        "Resolution: 14\nGamma: 7\nFps: 0\nClock: 1\nExitMM: 1\nEnable sound: 0\nEnable music: 1\n"
        "Music volume: 4000\nSound volume: 250\nUsemon: 0\nStyle24h: 0\nMonitor: -5\n";
    test::writeText(store.path(), text);
    Settings settings;
    const std::vector<std::string> notes = settings.load(store, kDesktop);
    EXPECT_FLOAT_EQ(settings.gamma, 3.0f);  // the nearest end, 4, is a white screen
    EXPECT_FLOAT_EQ(settings.soundVolume, 100.0f);
    EXPECT_FLOAT_EQ(settings.musicVolume, 100.0f);
    EXPECT_EQ(settings.monitor, 0);
    EXPECT_EQ(settings.chosenMode(), (DisplayMode{1920, 1080, 16}));
    EXPECT_EQ(notes, (std::vector<std::string>{
                         "Settings: \"Gamma:\" 7 is outside 0-4; using 3",
                         "Settings: \"Music volume:\" 4000 is outside 0-100; using 100",
                         "Settings: \"Sound volume:\" 250 is outside 0-100; using 100",
                         "Settings: \"Monitor:\" -5 is outside -1 and up; using 0",
                         "Settings: \"Resolution:\" 14 names no display mode; using the desktop's",
                     }));
    EXPECT_EQ(test::readText(store.path()), text);
    // The ends of the ranges are the user's to choose.
    test::writeText(store.path(), "Gamma: 4\nSound volume: 100\nMusic volume: 0\nMonitor: -1\n");
    Settings ends;
    ends.load(store, kDesktop);
    EXPECT_FLOAT_EQ(ends.gamma, 4.0f);
    EXPECT_FLOAT_EQ(ends.soundVolume, 100.0f);
    EXPECT_FLOAT_EQ(ends.musicVolume, 0.0f);
    EXPECT_EQ(ends.monitor, Settings::kEveryMonitor);
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

TEST(Settings, CrLfLinesUnknownLinesAndRepeatsAreTolerated) {
    test::ScratchDir dir;
    FileSettingsStore store(dir / "settings.conf");
    test::writeText(store.path(), "# my notes\r\nGamma: 1\r\nWhatever: 7\r\nGamma: 2\n");
    EXPECT_EQ(store.readValues().find("Gamma:"), 1u);  // the first line counts
    EXPECT_TRUE(store.writeValues({{"Fps:", 1}, {"Gamma:", 3}}));
    EXPECT_EQ(test::readText(store.path()), "# my notes\nGamma: 3\nWhatever: 7\nFps: 1\n");
}

TEST(Settings, UnwritableFolderLosesTheValueButKeepsRunning) {
    test::ScratchDir dir;
    test::writeText(dir / "blocker", "a file where a folder should be");
    FileSettingsStore store(dir / "blocker/hearthglow/settings.conf");
    Settings settings;
    const std::vector<std::string> notes = settings.load(store, kDesktop);  // first start: the save fails
    EXPECT_EQ(store.readValues().state, StoreState::Missing);
    EXPECT_TRUE(settings.enableMusic);
    EXPECT_EQ(settings.resolutionIndex, 10);
    EXPECT_EQ(notes, std::vector<std::string>{"Settings: cannot write " + store.location()});
}

// Something at the settings path that is not a readable file: the run takes the defaults, and
// neither the load nor a later save (the dialog's OK) touches it.
void expectLeftAlone(const FileSettingsStore& store) {
    FileSettingsStore writer(store.path());
    Settings settings;
    const std::vector<std::string> notes = settings.load(writer, kDesktop);
    EXPECT_EQ(writer.readValues().state, StoreState::Unreadable);
    EXPECT_FLOAT_EQ(settings.gamma, 3.0f);
    EXPECT_TRUE(settings.enableMusic);
    EXPECT_EQ(settings.resolutionIndex, 10);
    EXPECT_EQ(notes, std::vector<std::string>{"Settings: cannot read " + store.location() +
                                              "; using the defaults and leaving it as it is"});
    EXPECT_FALSE(settings.save(writer));
}

size_t entriesIn(const std::filesystem::path& folder) {
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++entries;
    return entries;
}

TEST(Settings, AFolderOrAPipeAtThePathIsLeftAlone) {
    test::ScratchDir dir;
    FileSettingsStore folder(dir / "settings.conf");
    std::filesystem::create_directories(dir / "settings.conf/inside");
    expectLeftAlone(folder);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "settings.conf/inside"));

    // Opening a pipe would wait for a writer: the start must not hang.
    FileSettingsStore pipe(dir / "pipe.conf");
    ASSERT_EQ(::mkfifo(pipe.path().c_str(), 0600), 0);
    expectLeftAlone(pipe);
    EXPECT_EQ(std::filesystem::status(pipe.path()).type(), std::filesystem::file_type::fifo);
    EXPECT_EQ(entriesIn(dir.path()), 2u) << "a temporary file was left behind";
}

TEST(Settings, AFileThatCannotBeReadIsLeftByteForByte) {
    test::ScratchDir dir;
    // The user's folder, which the reader may write into; the file only its owner may read.
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    const std::filesystem::path path = dir / "settings.conf";
    const std::string text = "Resolution: 3\nGamma: 1\nUsemon: 0\n";
    test::writeText(path, text);
    std::filesystem::permissions(path, std::filesystem::perms::none);
    // Root reads any file, so the reader runs as another user.
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        FileSettingsStore store(path);
        expectLeftAlone(store);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the checks in the reading process failed (3: could not change user)";
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    EXPECT_EQ(test::readText(path), text);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(Settings, FailedSaveLeavesNoDebrisAndReportsFailure) {
    test::ScratchDir dir;
    // The file's folder cannot be made: a file stands where it should be.
    test::writeText(dir / "blocker", "x");
    FileSettingsStore store(dir / "blocker/settings.conf");
    EXPECT_FALSE(store.writeValues({{"Gamma:", 4}}));
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "the temporary file was left behind";
}

TEST(Settings, OneSaveWritesTheFileOnce) {
    test::ScratchDir dir;
    FileSettingsStore store(dir / "settings.conf");
    Settings settings;
    settings.load(store, kDesktop);
    // Every replacement of the file arrives as a rename into the folder.
    const int watch = ::inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir.path().c_str(), IN_MOVED_TO | IN_CLOSE_WRITE), 0);
    settings.gamma = 1.0f;
    ASSERT_TRUE(settings.save(store));
    int renames = 0, closedAfterWriting = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t length; (length = ::read(watch, buffer, sizeof(buffer))) > 0;) {
        for (char* at = buffer; at < buffer + length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            if (event->mask & IN_MOVED_TO) ++renames;
            if (event->mask & IN_CLOSE_WRITE) ++closedAfterWriting;
            at += sizeof(inotify_event) + event->len;
        }
    }
    ::close(watch);
    EXPECT_EQ(renames, 1);
    EXPECT_EQ(closedAfterWriting, 1);
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
