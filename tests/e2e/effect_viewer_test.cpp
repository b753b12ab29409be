// The effect viewer end to end: the real program shows each effect in a window; the picture is
// lit where the effect is, and it moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "png_reader.h"
#include "test_support.h"

namespace hg {
namespace {

std::optional<test::Picture> shoot(const test::ScratchDir& dir, const std::string& effect, int frames) {
    const std::string file = effect + "_" + std::to_string(frames) + ".png";
    const std::string command = "XDG_CONFIG_HOME='" + (dir / "config").string() + "' " + test::hearthglowViewBinary() +
                                " --effect " + effect + " --window 320x240 --fixed-step 1 --seed 11 --frames " +
                                std::to_string(frames) + " --screenshot " + file;
    const auto result = test::runIn(dir.path(), command);
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    return test::readPng((dir / file).string());
}

class EffectViewer : public testing::TestWithParam<const char*> {};

TEST_P(EffectViewer, LightsTheMiddleAndMoves) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::ScratchDir dir;
    const auto early = shoot(dir, GetParam(), 20);
    const auto late = shoot(dir, GetParam(), 32);
    ASSERT_TRUE(early && late);
    for (const test::Picture* picture : {&*early, &*late}) {
        // The camera frames the effect: its middle third is clearly brighter than the corners.
        const double middle = picture->meanLevel(107, 60, 213, 180);
        const double corner = picture->meanLevel(0, 0, 40, 30);
        EXPECT_GT(middle, corner + 4.0) << GetParam();
        // Lit, not just tinted: a small candle flame or a scatter of snowflakes still has dozens
        // of pixels well above the dark ground.
        int bright = 0;
        for (int y = 40; y < 200; ++y)
            for (int x = 80; x < 240; ++x) {
                const auto* rgb = picture->at(x, y);
                bright += std::max({rgb[0], rgb[1], rgb[2]}) > 64 ? 1 : 0;
            }
        EXPECT_GT(bright, 50) << GetParam();
    }
    // Twelve steps later the effect has visibly moved: flames flicker, flakes fall, puffs rise.
    EXPECT_GT(test::changedPixels(*early, *late, 8), 60) << GetParam();
    // The same seed and step give the same picture.
    const auto again = shoot(dir, GetParam(), 20);
    ASSERT_TRUE(again);
    EXPECT_EQ(test::changedPixels(*early, *again, 0), 0) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Effects, EffectViewer,
                         testing::Values("fireplace_fire", "fire", "candle", "snowfall", "locosteam", "red_firlight"));

TEST(EffectViewerCommandLine, UnknownEffectShowsAnEmptyGround) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::ScratchDir dir;
    const auto picture = shoot(dir, "no_such_effect", 5);
    ASSERT_TRUE(picture);
    EXPECT_LT(picture->meanLevel(), 20.0);
    EXPECT_NE(test::readText(dir / "Log.txt").find("Effect viewer: no_such_effect"), std::string::npos);
}

}  // namespace
}  // namespace hg
