#pragma once
// The operating-system services the portable code needs. Each port implements these in its own
// folder (sdl/, posix/, gtk/ on Linux); nothing outside src/platform/ includes a system header.
#include <filesystem>
#include <string>
#include <string_view>

#include "app/settings.h"

namespace hg::platform {

// Size of the primary display's desktop mode; 1024x768 when no display can be asked.
DesktopSize desktopSize();

// $XDG_CONFIG_HOME/hearthglow/settings.conf, or ~/.config/hearthglow/settings.conf.
std::filesystem::path settingsFilePath();

// Writes the bytes to a temporary file beside `path`, flushes it to disk and renames it over `path`,
// creating the folder when needed. On failure the previous file is untouched and false is returned.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace hg::platform
