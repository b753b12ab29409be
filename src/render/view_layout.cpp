#include "render/view_layout.h"

#include <algorithm>

namespace hg {
namespace {

// The part of `area` inside `frame`, in the window's OpenGL coordinates; nothing when none is.
std::optional<Viewport> viewportOf(const platform::Rect& area, const platform::Rect& frame) {
    const int left = std::max(area.x, frame.x), right = std::min(area.x + area.width, frame.x + frame.width);
    const int top = std::max(area.y, frame.y), bottom = std::min(area.y + area.height, frame.y + frame.height);
    if (right <= left || bottom <= top) return std::nullopt;
    return Viewport{left - frame.x, frame.y + frame.height - bottom, right - left, bottom - top};
}

}  // namespace

std::vector<Viewport> roomViewports(const std::vector<platform::Monitor>& monitors, const platform::Rect& frame,
                                    int monitorSetting) {
    std::vector<Viewport> views;
    if (monitorSetting == -1) {
        for (const platform::Monitor& monitor : monitors) {
            if (auto view = viewportOf(monitor.area, frame)) views.push_back(*view);
        }
    } else {
        const bool named = monitorSetting >= 1 && static_cast<size_t>(monitorSetting) <= monitors.size();
        auto chosen = named ? monitors.begin() + (monitorSetting - 1)
                            : std::find_if(monitors.begin(), monitors.end(), [](const platform::Monitor& m) { return m.primary; });
        if (chosen == monitors.end() && !monitors.empty()) chosen = monitors.begin();
        if (chosen != monitors.end()) {
            if (auto view = viewportOf(chosen->area, frame)) views.push_back(*view);
        }
    }
    if (views.empty()) views.push_back({0, 0, frame.width, frame.height});
    return views;
}

}  // namespace hg
