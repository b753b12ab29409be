#include "app/command_line.h"
#include "core/settings.h"

#include <gtest/gtest.h>

namespace hg {
namespace {

TEST(SwitchParser, NoSwitchMeansConfigure) {
    EXPECT_EQ(parseSwitches("hearthglow").mode, RunMode::Configure);
    EXPECT_EQ(parseSwitches("hearthglow ").mode, RunMode::Configure);
    EXPECT_EQ(parseSwitches("hearthglow plain words").mode, RunMode::Configure);
}

TEST(SwitchParser, RunSwitches) {
    for (const char* line : {"saver.scr /s", "saver.scr /S", "saver.scr -s", "saver.scr /a", "saver.scr /"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(parseSwitches(line).mode, RunMode::Run);
    }
}

TEST(SwitchParser, ConfigureWithAndWithoutParent) {
    auto colon = parseSwitches("saver.scr /c:1234");
    EXPECT_EQ(colon.mode, RunMode::Configure);
    EXPECT_EQ(colon.parentWindow, 1234u);
    auto blank = parseSwitches("saver.scr /c 1234");
    EXPECT_EQ(blank.mode, RunMode::Configure);
    EXPECT_EQ(blank.parentWindow, 1234u);
    // /c alone stores 0 even over an earlier handle.
    auto alone = parseSwitches("saver.scr /c", 99);
    EXPECT_EQ(alone.mode, RunMode::Configure);
    EXPECT_EQ(alone.parentWindow, 0u);
}

TEST(SwitchParser, PreviewKeepsHandleWhenNoNumber) {
    auto p = parseSwitches("saver.scr /p 5678");
    EXPECT_EQ(p.mode, RunMode::Preview);
    EXPECT_EQ(p.parentWindow, 5678u);
    auto t = parseSwitches("saver.scr /t", 0);
    EXPECT_EQ(t.mode, RunMode::Preview);
    EXPECT_EQ(t.parentWindow, 0u);
    auto bareP = parseSwitches("saver.scr /p", 42);
    EXPECT_EQ(bareP.mode, RunMode::Preview);
    EXPECT_EQ(bareP.parentWindow, 42u);
}

TEST(SwitchParser, QuotedProgramPathIsSkippedWhole) {
    auto quoted = parseSwitches("\"C:\\my-savers\\a/b.scr\" /p 77");
    EXPECT_EQ(quoted.mode, RunMode::Preview);
    EXPECT_EQ(quoted.parentWindow, 77u);
    EXPECT_EQ(parseSwitches("\"C:\\my-savers\\x.scr\"").mode, RunMode::Configure);
}

TEST(SwitchParser, FirstSwitchAnywhereCounts) {
    EXPECT_EQ(parseSwitches("saver.scr /p 123 /s").mode, RunMode::Preview);
    // A '-' inside a later word is a switch too: here "-c" ends up as configure.
    EXPECT_EQ(parseSwitches("saver.scr word-c").mode, RunMode::Configure);
    EXPECT_EQ(parseSwitches("saver.scr word-x").mode, RunMode::Run);
}

TEST(SwitchParser, HugeHandleDoesNotOverflow) {
    auto p = parseSwitches("saver.scr /p 99999999999999999999");
    EXPECT_EQ(p.mode, RunMode::Preview);
    EXPECT_EQ(p.parentWindow, UINT32_MAX);
}

TEST(CommandLineJoin, QuotesProgramNameWithBlank) {
    const char* argv[] = {"/opt/my savers/hearthglow", "/p", "5"};
    EXPECT_EQ(joinCommandLine(3, argv), "\"/opt/my savers/hearthglow\" /p 5");
    auto parsed = parseCommandLine(3, argv);
    EXPECT_EQ(parsed.switches.mode, RunMode::Preview);
    EXPECT_EQ(parsed.switches.parentWindow, 5u);
}

TEST(LongOptions, WindowAndValues) {
    const char* argv[] = {"hearthglow", "--window", "640x480", "--frames", "30", "--screenshot", "a.png",
                          "--fixed-step", "1.5", "--clock", "2026-12-24T23:59:59", "--seed", "7", "--no-vsync", "--no-overlay",
                          "--census", "12"};
    auto parsed = parseCommandLine(17, argv);
    ASSERT_EQ(parsed.outcome, CommandLine::Outcome::Dispatch) << parsed.error;
    EXPECT_EQ(parsed.switches.mode, RunMode::Run);
    const LaunchOptions& o = parsed.options;
    EXPECT_TRUE(o.window);
    EXPECT_EQ(o.windowWidth, 640);
    EXPECT_EQ(o.windowHeight, 480);
    EXPECT_EQ(o.frames, 30);
    EXPECT_EQ(o.screenshot, "a.png");
    EXPECT_FLOAT_EQ(*o.fixedStep, 1.5f);
    ASSERT_TRUE(o.clock);
    EXPECT_EQ(o.clock->day, 24);
    EXPECT_EQ(o.clock->second, 59);
    EXPECT_EQ(o.seed, 7u);
    EXPECT_TRUE(o.noVsync);
    EXPECT_TRUE(o.noOverlay);
    EXPECT_EQ(o.census, 12);
}

TEST(LongOptions, WindowWithoutSizeUsesDefault) {
    const char* argv[] = {"hearthglow", "--window", "--frames", "2"};
    auto parsed = parseCommandLine(4, argv);
    ASSERT_EQ(parsed.outcome, CommandLine::Outcome::Dispatch);
    EXPECT_EQ(parsed.options.windowWidth, 1024);
    EXPECT_EQ(parsed.options.windowHeight, 768);
    EXPECT_EQ(parsed.options.frames, 2);
}

TEST(LongOptions, MistakesGiveUsage) {
    const std::vector<std::vector<const char*>> cases = {
        {"hearthglow", "--bogus"},
        {"hearthglow", "--frames"},
        {"hearthglow", "--frames", "0"},
        {"hearthglow", "--frames", "12x"},
        {"hearthglow", "--window", "640by480"},
        {"hearthglow", "--window", "0x480"},
        {"hearthglow", "--fixed-step", "-1"},
        {"hearthglow", "--fixed-step", "nan"},
        {"hearthglow", "--clock", "2026-02-30T10:00:00"},
        {"hearthglow", "--clock", "2026-12-24 23:59:59"},
        {"hearthglow", "--seed", "-3"},
        {"hearthglow", "--window", "/s"},
        {"hearthglow", "--screenshot"},
        {"hearthglow", "--census", "0"},
        {"hearthglow", "--census"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.back());
        auto parsed = parseCommandLine(static_cast<int>(args.size()), args.data());
        EXPECT_EQ(parsed.outcome, CommandLine::Outcome::Usage);
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(CalendarTime, LeapDays) {
    EXPECT_TRUE(parseCalendarTime("2028-02-29T00:00:00"));
    EXPECT_FALSE(parseCalendarTime("2027-02-29T00:00:00"));
    EXPECT_TRUE(parseCalendarTime("2000-02-29T23:59:59"));
    EXPECT_FALSE(parseCalendarTime("1900-02-29T00:00:00"));
    EXPECT_FALSE(parseCalendarTime("2026-12-24T24:00:00"));
}

}  // namespace
}  // namespace hg

namespace hg {
namespace {

CommandLine parse(std::vector<const char*> args, std::optional<std::string_view> hostVariable = std::nullopt) {
    args.insert(args.begin(), "hearthglow");
    return parseCommandLine(static_cast<int>(args.size()), args.data(), hostVariable);
}

TEST(HostWindow, IdsInHexAndDecimal) {
    EXPECT_EQ(parseWindowId("0x1a00007"), 0x1a00007u);
    EXPECT_EQ(parseWindowId("0X1A00007"), 0x1a00007u);
    EXPECT_EQ(parseWindowId("27262983"), 27262983u);
    EXPECT_EQ(parseWindowId("0xffffffff"), 0xffffffffu);
    for (const char* bad : {"", "0", "0x", "0x0", "-5", "12abc", "0x1g", "4294967296", "0x100000000", " 12"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(parseWindowId(bad));
    }
}

TEST(HostWindow, HostsSpellingsAndWhichWindowWins) {
    // XScreenSaver's own line, with one dash or two: the window its variable names.
    for (const char* root : {"-root", "--root"}) {
        auto hosted = parse({root}, "0x400008");
        ASSERT_EQ(hosted.outcome, CommandLine::Outcome::Dispatch) << hosted.error;
        EXPECT_EQ(hosted.switches.mode, RunMode::Run);
        ASSERT_TRUE(hosted.options.host);
        EXPECT_EQ(hosted.options.host->id, 0x400008u);
        EXPECT_FALSE(hosted.options.host->preview);
    }
    // The settings program's preview appends a window id: it wins over the variable, and is silent.
    for (const char* id : {"-window-id", "--window-id"}) {
        auto preview = parse({"--root", id, "0x3c00002"}, "0x400008");
        ASSERT_TRUE(preview.options.host) << preview.error;
        EXPECT_EQ(preview.options.host->id, 0x3c00002u);
        EXPECT_TRUE(preview.options.host->preview);
    }
    auto decimal = parse({"--window-id", "62914562"});
    ASSERT_TRUE(decimal.options.host);
    EXPECT_EQ(decimal.options.host->id, 62914562u);
    // --root without a window named anywhere: the root window itself.
    auto root = parse({"-root"});
    ASSERT_TRUE(root.options.host);
    EXPECT_TRUE(root.options.host->root);
    EXPECT_EQ(root.options.host->id, 0u);
}

TEST(HostWindow, TheVariableAloneStartsARunInItsWindow) {
    // A programs line without arguments, or with /s, still draws into the host's window.
    for (std::vector<const char*> args : {std::vector<const char*>{}, std::vector<const char*>{"/s"}, std::vector<const char*>{"--fps"}}) {
        auto parsed = parse(args, "4194312");
        ASSERT_TRUE(parsed.options.host);
        EXPECT_EQ(parsed.options.host->id, 4194312u);
        EXPECT_EQ(parsed.switches.mode, RunMode::Run);
    }
    // The Options dialog, the preview picture and an own window are asked for explicitly and win.
    EXPECT_EQ(parse({"/c"}, "0x400008").switches.mode, RunMode::Configure);
    EXPECT_FALSE(parse({"/c"}, "0x400008").options.host);
    EXPECT_EQ(parse({"/p", "77"}, "0x400008").switches.mode, RunMode::Preview);
    EXPECT_FALSE(parse({"--window"}, "0x400008").options.host);
    // A variable that is no window id is ignored.
    EXPECT_FALSE(parse({}, "none").options.host);
    EXPECT_EQ(parse({}, "none").switches.mode, RunMode::Configure);
    auto rootOnly = parse({"--root"}, "garbage");
    ASSERT_TRUE(rootOnly.options.host);
    EXPECT_TRUE(rootOnly.options.host->root);
}

TEST(HostWindow, MistakesGiveUsage) {
    const std::vector<std::vector<const char*>> cases = {
        {"--window-id"}, {"--window-id", "0"}, {"-window-id", "zz"}, {"--root", "--window"},
        {"--window-id", "0x20", "--model", "Clock"}, {"--volume", "101"}, {"--volume", "-1"}, {"--monitor", "-2"},
        {"--monitor", "x"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.front());
        auto parsed = parse(args);
        EXPECT_EQ(parsed.outcome, CommandLine::Outcome::Usage);
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(RunOverrides, HostOptionsOverrideTheStoredSettingsForOneRun) {
    auto parsed = parse({"-root", "-hide-time", "--24h", "--no-music", "--volume", "7", "--fps", "--monitor", "-1"});
    ASSERT_EQ(parsed.outcome, CommandLine::Outcome::Dispatch) << parsed.error;
    Settings settings;
    settings.restoreDefaults();
    applyRunOverrides(parsed.options, settings);
    EXPECT_FALSE(settings.showClock);
    EXPECT_TRUE(settings.style24h);
    EXPECT_FALSE(settings.enableMusic);
    EXPECT_EQ(settings.soundVolume, 7.0f);
    EXPECT_TRUE(settings.showFps);
    EXPECT_EQ(settings.monitor, Settings::kEveryMonitor);
    // Options not given leave the stored values alone.
    Settings untouched;
    untouched.restoreDefaults();
    applyRunOverrides(parse({"--root"}).options, untouched);
    EXPECT_TRUE(untouched.showClock);
    EXPECT_TRUE(untouched.enableMusic);
    EXPECT_EQ(untouched.soundVolume, 40.0f);
}

TEST(LongOptions, EveryOptionIsInTheUsageLine) {
    for (const char* option : {"--root", "--window-id", "--show-time", "--hide-time", "--24h", "--12h", "--music",
                               "--no-music", "--volume", "--fps", "--no-fps", "--monitor", "--census", "--add-to-xscreensaver"}) {
        EXPECT_NE(usageLine().find(option), std::string::npos) << option;
    }
    EXPECT_EQ(parse({"--add-to-xscreensaver"}).outcome, CommandLine::Outcome::AddToXScreenSaver);
}

}  // namespace
}  // namespace hg
