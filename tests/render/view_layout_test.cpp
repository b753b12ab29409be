#include "render/view_layout.h"

#include <gtest/gtest.h>

#include "render/camera.h"
#include "render/screen_quads.h"

namespace hg {
namespace {

using platform::Monitor;
using platform::Rect;

// Two heads side by side, as a Xinerama server lists them (the first counts as the primary).
const std::vector<Monitor> kTwoHeads = {{{0, 0, 800, 600}, true}, {{800, 0, 640, 480}, false}};
const Rect kDesktop{0, 0, 1440, 600};

TEST(RoomViewports, ThePrimaryOrTheNamedMonitorInOpenGLsCoordinates) {
    // OpenGL counts y up from the window's bottom: the 600-high head starts at 0, the 480-high
    // one at 600 - 480 = 120.
    EXPECT_EQ(roomViewports(kTwoHeads, kDesktop, 0), (std::vector<Viewport>{{0, 0, 800, 600}}));
    EXPECT_EQ(roomViewports(kTwoHeads, kDesktop, 1), (std::vector<Viewport>{{0, 0, 800, 600}}));
    EXPECT_EQ(roomViewports(kTwoHeads, kDesktop, 2), (std::vector<Viewport>{{800, 120, 640, 480}}));
    EXPECT_EQ(roomViewports(kTwoHeads, kDesktop, -1), (std::vector<Viewport>{{0, 0, 800, 600}, {800, 120, 640, 480}}));
    // The server names a primary that is not listed first.
    const std::vector<Monitor> secondPrimary = {{{0, 0, 800, 600}, false}, {{800, 0, 640, 480}, true}};
    EXPECT_EQ(roomViewports(secondPrimary, kDesktop, 0), (std::vector<Viewport>{{800, 120, 640, 480}}));
}

TEST(RoomViewports, SettingsThatNameNoMonitorAndWindowsThatMissThem) {
    // Monitor 5 of 2 falls back to the primary.
    EXPECT_EQ(roomViewports(kTwoHeads, kDesktop, 5), (std::vector<Viewport>{{0, 0, 800, 600}}));
    // No monitors known: the room fills the window.
    EXPECT_EQ(roomViewports({}, {10, 20, 320, 240}, 0), (std::vector<Viewport>{{0, 0, 320, 240}}));
    // A window that lies over part of the desktop: monitors are clipped to it, and one outside it
    // gives no view.
    const Rect secondOnly{800, 0, 640, 600};
    EXPECT_EQ(roomViewports(kTwoHeads, secondOnly, 2), (std::vector<Viewport>{{0, 120, 640, 480}}));
    EXPECT_EQ(roomViewports(kTwoHeads, secondOnly, -1), (std::vector<Viewport>{{0, 120, 640, 480}}));
    EXPECT_EQ(roomViewports(kTwoHeads, secondOnly, 1), (std::vector<Viewport>{{0, 0, 640, 600}}));
    // Monitors above and below each other, with a negative origin.
    const std::vector<Monitor> stacked = {{{0, -768, 1024, 768}, false}, {{0, 0, 1280, 1024}, true}};
    EXPECT_EQ(roomViewports(stacked, {0, -768, 1280, 1792}, -1),
              (std::vector<Viewport>{{0, 1024, 1024, 768}, {0, 0, 1280, 1024}}));
}

TEST(ViewShape, AspectOfTheProjectionKeepsTheFlightsOwnFramingAt4To3) {
    EXPECT_FLOAT_EQ(projectionAspect(Viewport{0, 0, 1024, 768}.aspect()), 1.33f);
    EXPECT_FLOAT_EQ(projectionAspect(Viewport{0, 0, 320, 240}.aspect()), 1.33f);
    EXPECT_FLOAT_EQ(projectionAspect(Viewport{0, 0, 1280, 720}.aspect()), 1280.0f / 720.0f);
    EXPECT_FLOAT_EQ(projectionAspect(Viewport{0, 0, 1280, 1024}.aspect()), 1.25f);
    EXPECT_FLOAT_EQ(projectionAspect(Viewport{0, 0, 100, 0}.aspect()), 1.0f);
    EXPECT_FLOAT_EQ(projectionAspect(0.0f), 1.33f);
}

// Where a point of the 4:3 layout lands.
float placedX(Anchor anchor, float aspect, float x) {
    const OverlayPlacement p = overlayPlacement(anchor, aspect);
    return p.scaleX * x + p.offsetX;
}
float placedY(Anchor anchor, float aspect, float y) {
    const OverlayPlacement p = overlayPlacement(anchor, aspect);
    return p.scaleY * y + p.offsetY;
}

TEST(OverlayPlacement, PicturesKeepTheirShapeAndTheirCorner) {
    // 4:3 changes nothing.
    const OverlayPlacement same = overlayPlacement(Anchor::BottomRight, 4.0f / 3.0f);
    EXPECT_FLOAT_EQ(same.scaleX, 1.0f);
    EXPECT_FLOAT_EQ(same.offsetX, 0.0f);
    EXPECT_FLOAT_EQ(same.scaleY, 1.0f);
    // 16:9: widths shrink by (4/3)/(16/9) = 0.75, heights stay; a quad's width over height in
    // pixels is then what it was at 4:3.
    const float wide = 16.0f / 9.0f;
    EXPECT_FLOAT_EQ(overlayPlacement(Anchor::TopLeft, wide).scaleX, 0.75f);
    EXPECT_FLOAT_EQ(overlayPlacement(Anchor::TopLeft, wide).scaleY, 1.0f);
    // The corner stays where it was: the right edge on the right, the left edge on the left.
    EXPECT_FLOAT_EQ(placedX(Anchor::BottomRight, wide, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(placedX(Anchor::BottomLeft, wide, -1.0f), -1.0f);
    EXPECT_FLOAT_EQ(placedX(Anchor::BottomRight, wide, 0.5f), 1.0f - 0.5f * 0.75f);
    EXPECT_FLOAT_EQ(placedX(Anchor::Centre, wide, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(placedX(Anchor::Centre, wide, 1.0f), 0.75f);  // a centred picture is pillarboxed
    // 5:4 (1280x1024) is taller: heights shrink, towards the bottom or the top.
    const float tall = 1.25f;
    EXPECT_FLOAT_EQ(overlayPlacement(Anchor::BottomLeft, tall).scaleX, 1.0f);
    EXPECT_FLOAT_EQ(overlayPlacement(Anchor::BottomLeft, tall).scaleY, 0.9375f);
    EXPECT_FLOAT_EQ(placedY(Anchor::BottomLeft, tall, -1.0f), -1.0f);
    EXPECT_FLOAT_EQ(placedY(Anchor::TopLeft, tall, 1.0f), 1.0f);
    // A nonsense shape falls back to 4:3.
    EXPECT_FLOAT_EQ(overlayPlacement(Anchor::TopRight, 0.0f).scaleX, 1.0f);
}

}  // namespace
}  // namespace hg
