// The clock and the holiday calendar as the real program draws them over the frame.
#include <gtest/gtest.h>

#include "png_reader.h"
#include "test_support.h"

namespace hg {
namespace {

bool haveDisplay() { return std::getenv("DISPLAY") != nullptr; }

// Runs a 1024x768 window with the given clock and settings, past the fade from black, and returns
// the last frame and the log. The room is left out (an empty effect would hide nothing anyway):
// with no scene drawn, every lit pixel belongs to the overlay.
struct OverlayRun {
    std::optional<test::Picture> picture;
    std::vector<std::string> log;
};

OverlayRun runAt(const std::string& clock, const std::string& settings) {
    test::ScratchDir dir;
    std::filesystem::create_directories(dir / "config/hearthglow");
    test::writeText(dir / "config/hearthglow/settings.conf", settings);
    const std::string command = "HEARTHGLOW_MESSAGES=stderr XDG_CONFIG_HOME='" + (dir / "config").string() + "' " +
                                test::hearthglowBinary() + " --window 1024x768 --no-room --clock " + clock +
                                " --fixed-step 1 --frames 120 --screenshot s.png";
    OverlayRun run;
    const auto result = test::runIn(dir.path(), command);
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    run.picture = test::readPng((dir / "s.png").string());
    run.log = test::readLines(dir / "Log.txt");
    return run;
}

// Normalised device coordinates to pixel rectangles of the 1024x768 picture (y up in NDC).
double level(const test::Picture& p, float x0, float y0, float x1, float y1) {
    auto px = [&](float x) { return static_cast<int>((x + 1.0f) * 0.5f * p.width); };
    auto py = [&](float y) { return static_cast<int>((1.0f - y) * 0.5f * p.height); };
    return p.meanLevel(px(x0), py(y1), px(x1), py(y0));
}

constexpr const char* kClockOn = "Clock: 1\nFps: 0\nStyle24h: 0\nGamma: 3\n";

TEST(Overlay, CountdownOnChristmasEveShowsDigitsLabelsAndClock) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    const auto run = runAt("2026-12-24T23:59:59", kClockOn);
    ASSERT_TRUE(run.picture);
    const test::Picture& p = *run.picture;
    EXPECT_GT(level(p, -0.96f, -0.93f, -0.30f, -0.81f), 8.0) << "countdown digits";
    EXPECT_GT(level(p, -0.80f, -0.81f, -0.38f, -0.75f), 8.0) << "countdown title";
    EXPECT_GT(level(p, 0.48f, -0.98f, 0.98f, -0.86f), 8.0) << "clock";
    EXPECT_LT(level(p, -0.98f, 0.85f, -0.70f, 0.98f), 1.0) << "no frame rate without Fps: 1";
    EXPECT_LT(level(p, -0.5f, -0.3f, 0.5f, 0.5f), 1.0) << "nothing in the middle";
}

TEST(Overlay, GreetingsAndTheRestOfTheYear) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    const auto christmas = runAt("2026-12-25T10:00:00", kClockOn);
    const auto newYear = runAt("2027-01-02T10:00:00", kClockOn);
    const auto july = runAt("2026-07-14T10:00:00", kClockOn);
    ASSERT_TRUE(christmas.picture && newYear.picture && july.picture);
    // Greetings fill their box at (-0.69, -0.84) +- (0.212, 0.106).
    EXPECT_GT(level(*christmas.picture, -0.90f, -0.94f, -0.48f, -0.74f), 8.0);
    EXPECT_GT(level(*newYear.picture, -0.90f, -0.94f, -0.48f, -0.74f), 8.0);
    EXPECT_LT(level(*july.picture, -0.98f, -0.98f, -0.2f, -0.70f), 1.0) << "July: only the clock";
    EXPECT_GT(level(*july.picture, 0.48f, -0.98f, 0.98f, -0.86f), 8.0);
    // The two greetings are different pictures.
    EXPECT_GT(std::abs(level(*christmas.picture, -0.90f, -0.94f, -0.69f, -0.74f) -
                       level(*newYear.picture, -0.90f, -0.94f, -0.69f, -0.74f)) +
                  std::abs(level(*christmas.picture, -0.69f, -0.94f, -0.48f, -0.74f) -
                           level(*newYear.picture, -0.69f, -0.94f, -0.48f, -0.74f)),
              0.5);
}

TEST(Overlay, FrameRateInTheTopLeftCorner) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    const auto run = runAt("2026-07-14T10:00:00", "Clock: 0\nFps: 1\nGamma: 3\n");
    ASSERT_TRUE(run.picture);
    EXPECT_GT(level(*run.picture, -0.99f, 0.86f, -0.80f, 0.98f), 5.0);
    EXPECT_LT(level(*run.picture, 0.48f, -0.98f, 0.98f, -0.86f), 1.0) << "Clock: 0 hides the clock";
}

TEST(Overlay, TextureLinesOfTheLoadingScreenComeBeforeTheClocks) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    const auto run = runAt("2026-07-14T10:00:00", kClockOn);
    const auto& log = run.log;
    auto at = [&](const std::string& line) {
        return static_cast<long>(std::find(log.begin(), log.end(), line) - log.begin());
    };
    const long loadingData = at("Loading data...");
    const long loadingStart = at("Start load Notification/loading.jpg");
    const long logoStart = at("Start load Logo/4loader.jpg");
    const long logoFallback = at("Try load Logo/4loader.tga");
    const long logoLoaded = at("Texture Logo/4loader.tga loaded");
    const long firstGlyph = at("Start load Textures/tex_sym_0.tga");
    ASSERT_LT(firstGlyph, static_cast<long>(log.size()));
    EXPECT_LT(loadingData, loadingStart);
    EXPECT_LT(loadingStart, logoStart);
    EXPECT_EQ(log[static_cast<size_t>(logoStart) + 1], "Try load original: Logo/4loader.jpg");
    EXPECT_EQ(log[static_cast<size_t>(logoStart) + 2], "Try load Logo/4loader.bmp");
    EXPECT_EQ(logoFallback, logoStart + 3);
    EXPECT_EQ(logoLoaded, logoStart + 4);
    EXPECT_LT(logoLoaded, firstGlyph);
    EXPECT_EQ(at("Loading default texture"), static_cast<long>(log.size())) << "every overlay picture exists";
}

}  // namespace
}  // namespace hg
