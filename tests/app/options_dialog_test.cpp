#include "app/options_dialog.h"

#include <gtest/gtest.h>

#include "core/run_mode.h"
#include "platform/posix/settings_file.h"
#include "test_support.h"

namespace hg {
namespace {

const DesktopSizeQuery kDesktop = [] { return DesktopSize{1280, 1024}; };

// A dialog over a settings file as the program would start it: first start, defaults written.
struct OptionsFixture : ::testing::Test {
    test::ScratchDir dir;
    FileSettingsStore store{dir / "settings.conf"};
    Settings settings;
    OptionsFixture() { settings.load(store, kDesktop); }
    OptionsDialog open() {
        OptionsDialog dialog(settings, store, kDesktop);
        dialog.refresh();
        return dialog;
    }
    Settings reload() {
        Settings again;
        again.load(store, kDesktop);
        return again;
    }
};

TEST_F(OptionsFixture, DefaultsShowTheDesktopCheckedAndTheListDisabledWithoutSelection) {
    const OptionsDialog dialog = open();
    const OptionsControls& c = dialog.controls();
    EXPECT_TRUE(c.useDesktop);
    EXPECT_FALSE(c.resolutionEnabled);
    EXPECT_EQ(c.resolution, -1);
    EXPECT_TRUE(c.enableMusic);
    EXPECT_TRUE(c.volumeEnabled);
    EXPECT_EQ(c.volume, 40);
    EXPECT_EQ(c.gamma, 75);
    EXPECT_TRUE(c.showClock);
    EXPECT_TRUE(c.clockStyleEnabled);
    EXPECT_FALSE(c.style24h);
}

TEST_F(OptionsFixture, UncheckingTheDesktopEnablesTheListAndOkStoresTheChosenMode) {
    setRunMode(RunMode::Configure);
    OptionsDialog dialog = open();
    dialog.desktopClicked();
    EXPECT_FALSE(settings.useDesktopMode);  // the record changes at once
    EXPECT_TRUE(dialog.controls().resolutionEnabled);
    dialog.controls().resolution = 3;
    dialog.ok();
    EXPECT_EQ(runMode(), RunMode::Quit);
    const std::string stored = test::readText(store.path());
    EXPECT_NE(stored.find("Resolution: 3\n"), std::string::npos) << stored;
    EXPECT_NE(stored.find("Usemon: 0\n"), std::string::npos) << stored;
    EXPECT_EQ(reload().chosenMode(), (DisplayMode{1024, 768, 32}));
}

TEST_F(OptionsFixture, OkWithoutAListSelectionStoresTheDesktopSizedMode) {
    OptionsDialog dialog = open();
    dialog.desktopClicked();
    ASSERT_EQ(dialog.controls().resolution, -1);
    dialog.ok();
    EXPECT_EQ(reload().resolutionIndex, 5);  // 1280x1024x32 fits the 1280x1024 desktop exactly

    // A desktop smaller than every mode falls back to 800x600x32.
    OptionsDialog small(settings, store, [] { return DesktopSize{640, 480}; });
    small.refresh();
    small.controls().useDesktop = false;
    small.controls().resolution = -1;
    small.ok();
    EXPECT_EQ(reload().resolutionIndex, 1);
}

TEST_F(OptionsFixture, GammaSixtyIsStoredAsTwoAndShownAsFiftyNextTime) {
    OptionsDialog dialog = open();
    dialog.controls().gamma = 60;
    dialog.ok();
    EXPECT_FLOAT_EQ(settings.gamma, 2.4f);
    EXPECT_NE(test::readText(store.path()).find("Gamma: 2\n"), std::string::npos);
    settings = reload();
    EXPECT_EQ(open().controls().gamma, 50);
}

TEST_F(OptionsFixture, RestoreDefaultsThenCancelLeavesTheStoredFileAlone) {
    settings.soundVolume = 77;
    settings.showFps = true;
    settings.style24h = true;
    settings.save(store);
    const std::string before = test::readText(store.path());
    OptionsDialog dialog = open();
    EXPECT_EQ(dialog.controls().volume, 77);
    dialog.restoreDefaults();
    EXPECT_EQ(dialog.controls().volume, 40);  // shown at once
    EXPECT_FALSE(dialog.controls().showFps);
    EXPECT_FALSE(dialog.controls().style24h);
    dialog.cancel();
    EXPECT_EQ(test::readText(store.path()), before);
}

TEST_F(OptionsFixture, MusicAndClockSwitchTheirDependentControls) {
    OptionsDialog dialog = open();
    dialog.musicClicked();
    EXPECT_FALSE(settings.enableMusic);
    EXPECT_FALSE(dialog.controls().enableMusic);
    EXPECT_FALSE(dialog.controls().volumeEnabled);
    dialog.clockClicked();
    EXPECT_FALSE(settings.showClock);
    EXPECT_FALSE(dialog.controls().clockStyleEnabled);
    dialog.musicClicked();
    dialog.clockClicked();
    EXPECT_TRUE(dialog.controls().volumeEnabled);
    EXPECT_TRUE(dialog.controls().clockStyleEnabled);

    // A record saved with music and clock off opens with both groups disabled.
    settings.enableMusic = false;
    settings.showClock = false;
    const OptionsDialog again = open();
    EXPECT_FALSE(again.controls().volumeEnabled);
    EXPECT_FALSE(again.controls().clockStyleEnabled);
}

TEST_F(OptionsFixture, OkReadsEveryControlAndKeepsTheValuesWithoutControls) {
    settings.enableSound = true;
    settings.musicVolume = 55;
    OptionsDialog dialog = open();
    OptionsControls& c = dialog.controls();
    c.showFps = true;
    c.exitOnMouseMove = false;
    c.style24h = true;
    c.volume = 100;
    c.enableMusic = false;
    dialog.ok();
    EXPECT_EQ(test::readText(store.path()),
              "Resolution: 10\nGamma: 3\nFps: 1\nClock: 1\nExitMM: 0\nEnable sound: 1\nEnable music: 0\n"
              "Music volume: 55\nSound volume: 100\nUsemon: 1\nStyle24h: 1\nMonitor: 0\n");
}

TEST_F(OptionsFixture, MonitorListNamesEachMonitorAndEveryOneAndOkStoresTheChoice) {
    OptionsDialog dialog = open();
    dialog.setMonitors({{800, 600}, {640, 480}});
    dialog.refresh();
    EXPECT_EQ(dialog.monitorChoices(), (std::vector<std::string>{"Primary monitor", "Monitor 1 (800\u00d7600)",
                                                                 "Monitor 2 (640\u00d7480)", "Every monitor"}));
    EXPECT_EQ(dialog.controls().monitor, 0);
    dialog.controls().monitor = 3;
    dialog.ok();
    Settings stored = reload();
    EXPECT_EQ(stored.monitor, Settings::kEveryMonitor);

    // Shown again, "Every monitor" is selected; monitor 2 is the third entry.
    settings = stored;
    OptionsDialog again = open();
    again.setMonitors({{800, 600}, {640, 480}});
    again.refresh();
    EXPECT_EQ(again.controls().monitor, 3);
    again.controls().monitor = 2;
    again.ok();
    EXPECT_EQ(reload().monitor, 2);
}

TEST_F(OptionsFixture, AStoredMonitorThatIsNotThereTodayKeepsItsEntry) {
    // Chosen on a desk with three monitors, shown on a laptop with one.
    settings.monitor = 3;
    OptionsDialog dialog = open();
    dialog.setMonitors({{1366, 768}});
    dialog.refresh();
    const auto choices = dialog.monitorChoices();
    ASSERT_EQ(choices.size(), 5u);
    EXPECT_EQ(choices[3], "Monitor 3");
    EXPECT_EQ(dialog.controls().monitor, 3);
    dialog.ok();
    EXPECT_EQ(reload().monitor, 3);
}

}  // namespace
}  // namespace hg
