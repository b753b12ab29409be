#pragma once
// The landscape outside is seen only through the window panes. Before it is drawn, the panes'
// triangles are projected: the screen rectangle round their parts in front of the eye bounds every
// pixel the landscape can show in, so it is drawn within that rectangle (a scissor), or not at all
// when no pane is in view. Behind the walls it would only be rasterised and thrown away.
#include <vector>

#include "scene/math.h"

namespace hg {

struct ScreenRect {
    int x = 0;  // window pixels, the origin at the bottom left as GL counts them
    int y = 0;
    int width = 0;
    int height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
};

// The rectangle round the panes' triangles (three corners each) as the camera sees them,
// `projection` and `modelview` column-major as GL keeps them, `viewport` as GL reports it (x, y,
// width, height). Each triangle is cut at the near plane first, so a pane reaching behind the eye
// still bounds only what lies ahead. Grown by a pixel each way and cut to the viewport; empty when
// no pane reaches into the view.
ScreenRect paneRectOnScreen(const std::vector<Vec3>& paneCorners, const float projection[16], const float modelview[16],
                            const int viewport[4]);

}  // namespace hg
