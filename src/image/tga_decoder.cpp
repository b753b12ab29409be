#include "image/tga_decoder.h"

#include "image/little_endian.h"

namespace hg {
namespace {

constexpr size_t kHeaderSize = 18;
constexpr uint8_t kRunLengthTrueColour = 10;
constexpr uint32_t kMaxPacketPixels = 128;

// File pixels are blue, green, red (, alpha); ours are red first.
inline void copyPixel(const uint8_t* in, uint8_t* out, int n) {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
    if (n == 4) out[3] = in[3];
}

std::optional<Image> decodeRunLength(std::span<const uint8_t> data, int width, int height, int n) {
    // A packet of 1 + n bytes covers at most 128 pixels: refuse a size the data cannot fill before
    // allocating for it.
    const uint64_t pixelCount = uint64_t(width) * uint64_t(height);
    const uint64_t packets = (data.size() + n) / (1 + n);
    if (pixelCount > packets * kMaxPacketPixels) return std::nullopt;
    const std::optional<size_t> size = imageByteCount(width, height, n);
    if (!size) return std::nullopt;

    Image image{width, height, n, std::vector<uint8_t>(*size)};
    uint8_t* out = image.pixels.data();
    uint64_t left = pixelCount;
    size_t pos = 0;
    while (left > 0) {
        if (pos >= data.size()) return std::nullopt;
        const uint8_t header = data[pos++];
        const uint32_t count = (header & 0x7F) + 1u;
        if (count > left) return std::nullopt;
        const size_t need = header >= 128 ? size_t(n) : size_t(count) * n;
        if (data.size() - pos < need) return std::nullopt;
        const uint8_t* in = data.data() + pos;
        if (header >= 128) {
            for (uint32_t i = 0; i < count; ++i, out += n) copyPixel(in, out, n);
        } else {
            for (uint32_t i = 0; i < count; ++i, out += n, in += n) copyPixel(in, out, n);
        }
        pos += need;
        left -= count;
    }
    return image;
}

std::optional<Image> decodeUncompressed(std::span<const uint8_t> data, int width, int height, int depth) {
    if (depth != 16 && depth != 24 && depth != 32) return std::nullopt;
    const int n = depth / 8;
    const int components = depth == 16 ? 3 : n;
    const std::optional<size_t> size = imageByteCount(width, height, components);
    if (!size) return std::nullopt;
    const size_t pixelCount = size_t(width) * size_t(height);
    if (data.size() / n < pixelCount) return std::nullopt;

    Image image{width, height, components, std::vector<uint8_t>(*size)};
    const uint8_t* in = data.data();
    uint8_t* out = image.pixels.data();
    if (depth == 16) {
        for (size_t i = 0; i < pixelCount; ++i, in += 2, out += 3) {
            const unsigned v = in[0] | (in[1] << 8);
            out[0] = static_cast<uint8_t>((v >> 7) & 0xF8);
            out[1] = static_cast<uint8_t>((v >> 2) & 0xF8);
            out[2] = static_cast<uint8_t>((v << 3) & 0xF8);
        }
    } else {
        for (size_t i = 0; i < pixelCount; ++i, in += n, out += n) copyPixel(in, out, n);
    }
    return image;
}

}  // namespace

std::optional<Image> decodeTga(std::span<const uint8_t> bytes) {
    if (bytes.size() < kHeaderSize) return std::nullopt;
    const size_t dataStart = kHeaderSize + bytes[0];
    if (dataStart > bytes.size()) return std::nullopt;
    const uint8_t type = bytes[2];
    const int width = le::u16(bytes, 12);
    const int height = le::u16(bytes, 14);
    const int depth = bytes[16];
    const std::span<const uint8_t> data = bytes.subspan(dataStart);

    if (type == kRunLengthTrueColour) {
        if (depth != 24 && depth != 32) return std::nullopt;
        return decodeRunLength(data, width, height, depth / 8);
    }
    // Every other type is read as uncompressed pixels; grayscale and colour-mapped pictures fail on
    // their 8-bit depth.
    return decodeUncompressed(data, width, height, depth);
}

}  // namespace hg
