// Writes the default texture: a 64 x 64 uncompressed 24-bit TGA checker board (8 x 8 squares,
// bottom row first), the same bytes on every build.
#include <cstdint>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_checker_tga OUT.tga\n");
        return 2;
    }
    constexpr int kSize = 64;
    constexpr int kSquare = 8;
    std::vector<uint8_t> file = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, kSize, 0, kSize, 0, 24, 0};
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const bool light = ((x / kSquare) + (y / kSquare)) % 2 == 0;
            // Blue, green, red: a warm light grey and a dark brown.
            const uint8_t pixel[3] = {light ? uint8_t(0xC8) : uint8_t(0x20), light ? uint8_t(0xD8) : uint8_t(0x38),
                                      light ? uint8_t(0xE0) : uint8_t(0x58)};
            file.insert(file.end(), pixel, pixel + 3);
        }
    }
    FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::fprintf(stderr, "make_checker_tga: cannot write %s\n", argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return (std::fclose(out) == 0 && ok) ? 0 : 1;
}
