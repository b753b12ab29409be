#include "view/model_viewer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "png_reader.h"
#include "scene/bsm_reader.h"
#include "scene/bsm_test_writer.h"
#include "test_support.h"

namespace hg {
namespace {

// The viewer runs the program's own run with its scene in place of the room: a model or an effect
// is needed, one of them, with a name; the room's host options are not for it.
TEST(ModelViewer, AModelOrAnEffectIsNeededAndNoHostsWindow) {
    test::ScratchDir dir;
    for (const char* args : {"", " --model", " --effect", " --model Clock --effect fire", " --model Clock --root",
                             " --model Clock --bogus"}) {
        SCOPED_TRACE(args);
        const auto result = test::runIn(dir.path(), test::hearthglowViewBinary() + args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.standardError.find("usage: hearthglow-view"), std::string::npos) << result.standardError;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "Log.txt"));
}

TEST(ModelViewer, FramingCoversTheModelAsDrawnFromTheHullPivot) {
    test::BsmTestObject hull = test::stripObject("Hull", "Scene Root", 2, {0, 0, 0}, {10, 0, 0});
    test::BsmTestObject collision = test::stripObject("CollMesh", "Scene Root", 2, {500, 500, 500});
    const auto model = readBsm(test::writeBsm({hull, collision}));
    ASSERT_TRUE(model);
    const ModelFraming framing = frameModel(model->mesh);
    EXPECT_FLOAT_EQ(framing.centre.x, 0.5f - 10.0f);  // the strip spans x 0..1, drawn from the pivot
    EXPECT_FLOAT_EQ(framing.centre.y, 0.5f);
    EXPECT_NEAR(framing.radius, std::sqrt(2.0f) / 2, 1e-5f);
    EXPECT_FLOAT_EQ(framing.floorZ, 0.0f);
}

// The real program showing each baked model: it fills a plausible part of the picture and is not
// one flat colour.
class ModelPictures : public ::testing::TestWithParam<const char*> {};

TEST_P(ModelPictures, ModelIsSeenTurningUnderTheLight) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::ScratchDir dir;
    const std::string command = "HEARTHGLOW_MESSAGES=stderr XDG_CONFIG_HOME='" + (dir / "config").string() + "' " +
                                test::hearthglowViewBinary() + " --model " + GetParam() +
                                " --window 320x240 --frames 8 --fixed-step 1 --clock 2026-12-24T13:30:15 --screenshot m.png";
    const auto result = test::runIn(dir.path(), command);
    ASSERT_EQ(result.exitCode, 0) << result.standardError;
    if (result.standardError.find("Not found") != std::string::npos) GTEST_SKIP() << "the archive has no model " << GetParam();
    EXPECT_EQ(result.standardError.find("Damaged"), std::string::npos) << result.standardError;
    const auto picture = test::readPng((dir / "m.png").string());
    ASSERT_TRUE(picture);
    // The ground is at most about (43, 31, 23); the lit model is brighter.
    size_t lit = 0;
    std::set<int> shades;
    for (int y = 0; y < picture->height; ++y) {
        for (int x = 0; x < picture->width; ++x) {
            const uint8_t* p = picture->at(x, y);
            if (std::max({p[0], p[1], p[2]}) <= 60) continue;
            ++lit;
            shades.insert((p[0] / 16) * 256 + (p[1] / 16) * 16 + p[2] / 16);
        }
    }
    const double share = static_cast<double>(lit) / (picture->width * picture->height);
    EXPECT_GT(share, 0.02) << GetParam();
    EXPECT_LT(share, 0.9) << GetParam();
    EXPECT_GT(shades.size(), 12u) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(BakedModels, ModelPictures,
                         ::testing::Values("candle", "tallcandle", "Clock", "railroad", "firtree", "stocking", "teddy"));

}  // namespace
}  // namespace hg
