#pragma once
// The one still picture shown while the room loads: the loading picture over the whole screen and
// the logo in the lower right corner. It stays until the first frame replaces it.
namespace hg {

class TextureManager;
namespace platform {
class Window;
}

void showLoadingScreen(TextureManager& textures, platform::Window& window);

}  // namespace hg
