#pragma once
// The preview: a still picture placed in the top-left corner of a window another program owns
// (an X11 window id on Linux), at the picture's own size.
#include <cstdint>
#include <memory>

#include "core/image.h"

namespace hg::platform {

class PreviewWindow {
public:
    virtual ~PreviewWindow() = default;
    // Handles the waiting events; false once the picture's window was asked to close or is gone.
    virtual bool pump() = 0;
};

// The picture (RGB, top row first) as a child of `parent`; nothing when `parent` names no window
// or no display can be opened.
std::unique_ptr<PreviewWindow> openPreviewWindow(uint64_t parent, const Image& picture);

}  // namespace hg::platform
