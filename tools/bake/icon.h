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

// The sizes of the Windows icon (the program's icon resource): the largest for Explorer's big
// views, the small ones for title bars and lists.
constexpr int kWindowsIconSizes[] = {256, 48, 32, 16};

// A Windows icon file holding the icon at each of kWindowsIconSizes, each image stored as a PNG
// (as Windows reads them since Vista). Throws BakeError when the file cannot be written.
void writeIco(const std::filesystem::path& path);

}  // namespace hg::bake
