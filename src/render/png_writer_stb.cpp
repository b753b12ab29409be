// PNG through stb_image_write, for systems without libpng. The file name is UTF-8 on every system.
#include "render/png_writer.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <filesystem>
#include <fstream>

namespace hg {
namespace {

void appendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(context);
    const auto* begin = static_cast<const uint8_t*>(data);
    bytes->insert(bytes->end(), begin, begin + size);
}

}  // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() < static_cast<size_t>(width) * height * 3) return false;
    // A negative stride walks the rows from the last one up: OpenGL's bottom row ends the file.
    const int stride = width * 3;
    const uint8_t* topRow = rgb.data() + static_cast<size_t>(height - 1) * stride;
    std::vector<uint8_t> encoded;
    if (!stbi_write_png_to_func(appendBytes, &encoded, width, height, 3, topRow, -stride)) return false;
    const std::filesystem::path file = std::filesystem::u8path(path);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(encoded.data()), static_cast<std::streamsize>(encoded.size()));
    out.close();
    if (!out) {
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
        return false;
    }
    return true;
}

}  // namespace hg
