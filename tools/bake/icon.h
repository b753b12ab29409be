#pragma once
// The desktop icon (hicolor apps/hearthglow.png): a fireplace with a burning fire and a garland
// of coloured lights on the mantel, on a night-blue rounded square. It is installed beside the
// program and never packed into the archives.
#include <filesystem>

#include "bake/canvas.h"

namespace hg::bake {

// The size the icon is installed at (hicolor/256x256).
constexpr int kIconSize = 256;

// The icon, `size` pixels square, transparent outside the rounded square.
Canvas drawIcon(int size);

// The canvas as an 8-bit RGBA PNG. Throws BakeError when the file cannot be written.
void writePng(const std::filesystem::path& path, const Canvas& canvas);

}  // namespace hg::bake
