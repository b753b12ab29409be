#include "render/screenshot.h"

#include <vector>

#include "gl/gl.h"
#include "render/png_writer.h"

namespace hg {

bool saveScreenshot(const std::string& path, int width, int height, unsigned readBuffer) {
    if (width <= 0 || height <= 0) return false;
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    glReadBuffer(readBuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return writePng(path, width, height, rgb);
}

}  // namespace hg
