// PNG through libpng.
#include "render/png_writer.h"

#include <png.h>

#include <cstdio>

namespace hg {

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        // OpenGL rows run bottom-up, PNG rows top-down.
        for (int row = height - 1; row >= 0; --row)
            png_write_row(png, const_cast<png_bytep>(rgb.data() + static_cast<size_t>(row) * width * 3));
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    ok = (std::fclose(file) == 0) && ok;
    if (!ok) std::remove(path.c_str());
    return ok;
}

}  // namespace hg
