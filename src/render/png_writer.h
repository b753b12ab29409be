#pragma once
// Writes an RGB picture as a PNG file: through libpng on Linux (png_writer_libpng.cpp), through
// stb_image_write where the system has no libpng, as on Windows (png_writer_stb.cpp).
#include <cstdint>
#include <string>
#include <vector>

namespace hg {

// `rgb` holds `height` rows of `width` RGB pixels, the bottom row first (as OpenGL reads them).
// A file that cannot be written whole is removed; false then.
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace hg
