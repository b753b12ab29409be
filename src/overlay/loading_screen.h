#pragma once
// The one still picture shown while the room loads: the loading picture over the whole screen and
// the logo in the lower right corner, in each view the room will be drawn in (on a screen wider
// or taller than the picture it keeps its shape, centred on black). It stays until the first
// frame replaces it.
#include <vector>

#include "render/view_layout.h"

namespace hg {

class TextureManager;
class GLWindow;

void showLoadingScreen(TextureManager& textures, GLWindow& window, const std::vector<Viewport>& views);

}  // namespace hg
