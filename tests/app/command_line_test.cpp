#include "app/command_line.h"

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
                          "--fixed-step", "1.5", "--clock", "2026-12-24T23:59:59", "--seed", "7", "--no-vsync", "--no-overlay"};
    auto parsed = parseCommandLine(15, argv);
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
