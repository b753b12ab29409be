#pragma once
// Reads back the frame being drawn and writes it as a PNG.
#include <string>

namespace hg {

// Reads the given buffer (GL_BACK before the swap, GL_FRONT after it) of size width x height.
bool saveScreenshot(const std::string& path, int width, int height, unsigned readBuffer);

}  // namespace hg
