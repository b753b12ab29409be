// How far two screenshots of the same view lie apart: the share of pixels whose colour differs by
// more than a tolerance in some channel, and the largest difference. Optionally writes the
// difference as a picture (each pixel's largest channel difference, times 8, grey on black).
//
//   bench_picture_diff A.png B.png [TOLERANCE (default 8)] [DIFFERENCE.png]
// Prints one line: "<changed> of <pixels> pixels (<percent> %) differ by more than <tolerance>,
// largest difference <levels>". Exits 2 when a picture cannot be read or the sizes differ.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../tests/png_reader.h"

namespace {

bool writeDifference(const std::string& path, const hg::test::Picture& a, const hg::test::Picture& b) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, a.width, a.height, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<size_t>(a.width));
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            int most = 0;
            for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(a.at(x, y)[c] - b.at(x, y)[c]));
            row[static_cast<size_t>(x)] = static_cast<png_byte>(std::min(255, most * 8));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_picture_diff A.png B.png [TOLERANCE] [DIFFERENCE.png]\n");
        return 2;
    }
    const auto a = hg::test::readPng(argv[1]);
    const auto b = hg::test::readPng(argv[2]);
    if (!a || !b || a->width != b->width || a->height != b->height) {
        std::fprintf(stderr, "cannot compare %s and %s\n", argv[1], argv[2]);
        return 2;
    }
    const int tolerance = argc > 3 ? std::atoi(argv[3]) : 8;
    int largest = 0;
    for (size_t i = 0; i < a->rgb.size(); ++i) largest = std::max(largest, std::abs(a->rgb[i] - b->rgb[i]));
    const int changed = hg::test::changedPixels(*a, *b, tolerance);
    const int pixels = a->width * a->height;
    std::printf("%d of %d pixels (%.3f %%) differ by more than %d, largest difference %d\n", changed, pixels,
                100.0 * changed / pixels, tolerance, largest);
    if (argc > 4 && !writeDifference(argv[4], *a, *b)) {
        std::fprintf(stderr, "cannot write %s\n", argv[4]);
        return 2;
    }
    return 0;
}
