#pragma once
// Where the room is drawn inside the window: the whole window, or the monitors a full-screen run
// covers, each as an OpenGL viewport (origin at the bottom-left corner of the window).
#include <vector>

#include "platform/platform.h"

namespace hg {

struct Viewport {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    // Width over height; a projection that follows it keeps circles round on any screen.
    float aspect() const { return height > 0 ? static_cast<float>(width) / static_cast<float>(height) : 1.0f; }
    bool operator==(const Viewport&) const = default;
};

// The room's viewports in a window that lies over `frame` (desktop coordinates, y downwards):
// the monitor `monitorSetting` names (0 the primary, N the Nth as listed, -1 every monitor, each
// with a view of its own), clipped to the window. A setting that names no monitor falls back to
// the primary; with no monitor inside the window the room fills it.
std::vector<Viewport> roomViewports(const std::vector<platform::Monitor>& monitors, const platform::Rect& frame,
                                    int monitorSetting);

}  // namespace hg
