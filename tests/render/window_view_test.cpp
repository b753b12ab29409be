#include "render/window_view.h"

#include <gtest/gtest.h>

#include <cmath>

namespace hg {
namespace {

// The eye at the origin looking down -z, a 90-degree square view from 1 to 3000 units, as
// gluPerspective makes it (column-major).
struct Camera90 {
    float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -3001.0f / 2999.0f, -1, 0, 0, -6000.0f / 2999.0f, 0};
    float modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    int viewport[4] = {0, 0, 200, 200};

    ScreenRect rectOf(const std::vector<Vec3>& corners) const {
        return paneRectOnScreen(corners, projection, modelview, viewport);
    }
};

// Two triangles: a pane spanning x0..x1 and y0..y1 at depth z.
std::vector<Vec3> pane(float x0, float x1, float y0, float y1, float z) {
    return {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y0, z}, {x1, y1, z}, {x0, y1, z}};
}

// Holds `inner` (pixel bounds) with at most `slack` pixels to spare on each side.
void expectBounds(const ScreenRect& rect, int left, int bottom, int right, int top, int slack = 2) {
    ASSERT_FALSE(rect.empty());
    EXPECT_LE(rect.x, left);
    EXPECT_GE(rect.x, left - slack);
    EXPECT_LE(rect.y, bottom);
    EXPECT_GE(rect.y, bottom - slack);
    EXPECT_GE(rect.x + rect.width, right);
    EXPECT_LE(rect.x + rect.width, right + slack);
    EXPECT_GE(rect.y + rect.height, top);
    EXPECT_LE(rect.y + rect.height, top + slack);
}

TEST(WindowView, APaneAheadBoundsItsProjection) {
    const Camera90 camera;
    // At 10 units, ±5 units is half way to the view's edge: pixels 50 to 150.
    expectBounds(camera.rectOf(pane(-5, 5, -5, 5, -10)), 50, 50, 150, 150);
    // An off-centre pane, and the union of two panes.
    expectBounds(camera.rectOf(pane(0, 5, -5, 0, -10)), 100, 50, 150, 100);
    std::vector<Vec3> two = pane(-5, -2.5f, 0, 5, -10);
    const std::vector<Vec3> right = pane(2.5f, 5, -5, 0, -20);
    two.insert(two.end(), right.begin(), right.end());
    expectBounds(camera.rectOf(two), 50, 75, 125, 150);
}

TEST(WindowView, PanesOutsideTheViewLeaveNothing) {
    const Camera90 camera;
    EXPECT_TRUE(camera.rectOf(pane(-5, 5, -5, 5, 10)).empty()) << "behind the eye";
    EXPECT_TRUE(camera.rectOf(pane(20, 30, -5, 5, -10)).empty()) << "right of the view";
    EXPECT_TRUE(camera.rectOf(pane(-5, 5, 20, 30, -10)).empty()) << "above the view";
    EXPECT_TRUE(camera.rectOf({}).empty()) << "no panes";
}

TEST(WindowView, APaneReachingBehindTheEyeIsCutAtTheNearPlane) {
    const Camera90 camera;
    // A long pane on the right, from 50 units behind the eye to 50 ahead. Its part ahead runs from
    // the right edge of the view to x/z = 1/50 (pixel 102); projecting the corners behind the eye
    // as they are would mirror them onto the left half instead.
    const std::vector<Vec3> beside = {{1, -5, 50}, {1, -5, -50}, {5, 5, -50}, {1, -5, 50}, {5, 5, -50}, {5, 5, 50}};
    const ScreenRect rect = camera.rectOf(beside);
    expectBounds(rect, 102, 0, 200, 200, 3);
}

TEST(WindowView, TheRectangleStaysInsideAnOffsetViewport) {
    Camera90 camera;
    camera.viewport[0] = 300;
    camera.viewport[1] = 40;
    expectBounds(camera.rectOf(pane(-5, 5, -5, 5, -10)), 350, 90, 450, 190);
    // A pane larger than the view gives the whole viewport, no more.
    const ScreenRect whole = camera.rectOf(pane(-50, 50, -50, 50, -10));
    EXPECT_EQ(whole.x, 300);
    EXPECT_EQ(whole.y, 40);
    EXPECT_EQ(whole.width, 200);
    EXPECT_EQ(whole.height, 200);
}

}  // namespace
}  // namespace hg
