// The effect viewer end to end: the real program shows each effect in a window; the picture is
// lit where the effect is, and it moves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "png_reader.h"
#include "test_support.h"

namespace hg {
namespace {

std::optional<test::Picture> shoot(const test::ScratchDir& dir, const std::string& effect, int frames) {
    const std::string file = effect + "_" + std::to_string(frames) + ".png";
    const std::string command = "XDG_CONFIG_HOME='" + (dir / "config").string() + "' " + test::hearthglowBinary() +
                                " --effect " + effect + " --window 320x240 --fixed-step 1 --seed 11 --frames " +
                                std::to_string(frames) + " --screenshot " + file;
    const auto result = test::runIn(dir.path(), command);
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    return test::readPng((dir / file).string());
}

// Mean difference per channel between two pictures of the same size.
double difference(const test::Picture& a, const test::Picture& b) {
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return sum / static_cast<double>(a.rgb.size());
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
        int bright = 0;
        for (int y = 40; y < 200; ++y)
            for (int x = 80; x < 240; ++x) bright += picture->at(x, y)[0] > 120 ? 1 : 0;
        EXPECT_GT(bright, 20) << GetParam();
    }
    EXPECT_GT(difference(*early, *late), 0.2) << GetParam();
    // The same seed and step give the same picture.
    const auto again = shoot(dir, GetParam(), 20);
    ASSERT_TRUE(again);
    EXPECT_EQ(difference(*early, *again), 0.0) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Effects, EffectViewer,
                         testing::Values("fireplace_fire", "fire", "locosteam", "red_firlight"));

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
