#include "render/cross_fade.h"

#include <gtest/gtest.h>

#include "scene/gl_test_context.h"

namespace hg {
namespace {

TEST(CrossFade, TheBlackWaitsForTheRunClockThenFallsByStep) {
    CrossFade fade;
    ScreenQuadQueue quads;
    fade.advance(1.0f, 0.5f);
    EXPECT_EQ(fade.fadeAlpha(), 1.0f);
    fade.advance(1.0f, 1.0f);  // not past 1 yet
    EXPECT_EQ(fade.fadeAlpha(), 1.0f);
    for (int i = 0; i < 40; ++i) fade.advance(1.0f, 2.0f);
    EXPECT_NEAR(fade.fadeAlpha(), 0.4f, 1e-4f);
    fade.queueFadeQuad(quads);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_NEAR(quads.quads()[0].a, 0.4f, 1e-4f);
    EXPECT_EQ(quads.quads()[0].r + quads.quads()[0].g + quads.quads()[0].b, 0.0f);
    for (int i = 0; i < 27; ++i) fade.advance(1.0f, 2.0f);
    EXPECT_LT(fade.fadeAlpha(), 0.0f);  // gone after about 67 units, 1.2 s at 55 units a second
    quads.clear();
    fade.queueFadeQuad(quads);
    EXPECT_EQ(quads.size(), 0u);
}

TEST(CrossFade, EachViewsSnapshotShowsAt1Point2AfterItsCaptureAndFadesAlone) {
    if (!test::glTestContext()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    CrossFade fade;
    fade.create({256, 256});
    const Viewport area{0, 0, test::kGlTestWidth, test::kGlTestHeight};
    ScreenQuadQueue quads;
    fade.queueSnapshotQuad(0, quads);
    EXPECT_EQ(quads.size(), 0u);  // nothing captured yet
    fade.beginSnapshot(1, area);
    fade.endSnapshot(1, area);
    EXPECT_FLOAT_EQ(fade.snapshotAlpha(1), 1.2f);
    EXPECT_LE(fade.snapshotAlpha(0), 0.0f);
    for (int i = 0; i < 20; ++i) fade.advance(1.0f, 2.0f);
    EXPECT_NEAR(fade.snapshotAlpha(1), 1.0f, 1e-4f);
    fade.queueSnapshotQuad(1, quads);
    fade.queueSnapshotQuad(0, quads);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_NEAR(quads.quads()[0].a, 1.0f, 1e-4f);
    // A view the fade has no snapshot for is left alone.
    fade.queueSnapshotQuad(5, quads);
    EXPECT_EQ(quads.size(), 1u);
    fade.destroy();
}

}  // namespace
}  // namespace hg
