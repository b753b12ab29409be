// The census of one frame: what each drawing wrote, as the depth test let it through.
#include "render/fragment_census.h"

#include <gtest/gtest.h>

#include "core/log.h"
#include "scene/gl_test_context.h"
#include "test_support.h"

namespace hg {
namespace {

// A rectangle of the test window in window coordinates at depth `z` (-1 near .. 1 far).
void drawRectangle(float x0, float x1, float z) {
    glBegin(GL_QUADS);
    glVertex3f(x0, -1, z);
    glVertex3f(x1, -1, z);
    glVertex3f(x1, 1, z);
    glVertex3f(x0, 1, z);
    glEnd();
}

class CensusTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::glTestContext()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
        if (!test::glTestExtensions().occlusionQueries) GTEST_SKIP() << "the driver has no samples-passed queries";
        log.open((dir / "Log.txt").string());
        glViewport(0, 0, test::kGlTestWidth, test::kGlTestHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_CULL_FACE);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glDepthMask(GL_TRUE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override { glDisable(GL_DEPTH_TEST); }

    test::ScratchDir dir;
    Log log;
};

constexpr long kViewPixels = static_cast<long>(test::kGlTestWidth) * test::kGlTestHeight;

TEST_F(CensusTest, CountsWhatPassesTheDepthTestInTheChosenFrameOnly) {
    FragmentCensus census(log);
    census.chooseFrame(2);
    census.nextFrame();
    EXPECT_FALSE(census.counting());
    census.report(kViewPixels);  // not the chosen frame: nothing is said
    census.nextFrame();
    ASSERT_TRUE(census.counting());

    census.begin();
    drawRectangle(-1, 0, 0.0f);  // the left half, near
    census.end("near");
    census.begin();
    drawRectangle(-1, 1, 0.5f);  // the whole view behind it: only the right half shows
    census.end("behind");
    census.begin();
    drawRectangle(-1, 1, 0.9f);  // wholly hidden
    census.end("hidden");
    census.report(kViewPixels);
    census.nextFrame();
    EXPECT_FALSE(census.counting());
    census.report(kViewPixels);  // said once

    const long half = kViewPixels / 2;
    ASSERT_EQ(census.entries().size(), 3u);
    EXPECT_EQ(census.entries()[0].samples, static_cast<uint64_t>(half));
    EXPECT_EQ(census.entries()[1].samples, static_cast<uint64_t>(half));
    EXPECT_EQ(census.entries()[2].samples, 0u);
    log.close();
    EXPECT_EQ(test::readLines(dir / "Log.txt"),
              (std::vector<std::string>{
                  "Census: near " + std::to_string(half) + " (50.0 % of the view)",
                  "Census: behind " + std::to_string(half) + " (50.0 % of the view)",
                  "Census: frame 2, " + std::to_string(kViewPixels) + " pixels drawn in all (100.0 % of the view), 1 of 3 drew none",
              }));
}

TEST_F(CensusTest, AFrameNeverChosenCountsNothing) {
    FragmentCensus census(log);
    for (int frame = 0; frame < 3; ++frame) {
        census.nextFrame();
        EXPECT_FALSE(census.counting());
    }
    census.report(kViewPixels);
    log.close();
    EXPECT_TRUE(test::readLines(dir / "Log.txt").empty());
}

}  // namespace
}  // namespace hg
