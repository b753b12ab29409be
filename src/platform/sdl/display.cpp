#include <SDL.h>

#include "platform/platform.h"

namespace hg::platform {

DesktopSize desktopSize() {
    const bool wasUp = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    if (!wasUp && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return {1024, 768};
    SDL_DisplayMode mode{};
    DesktopSize size{1024, 768};
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) size = {mode.w, mode.h};
    if (!wasUp) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return size;
}

}  // namespace hg::platform
