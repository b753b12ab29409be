#include "image/bmp_decoder.h"

#include <array>
#include <bit>

#include "image/little_endian.h"

namespace hg {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitFields = 3;

// One colour channel described by a bit mask, widened to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    static std::optional<Channel> fromMask(uint32_t mask) {
        Channel channel;
        if (mask == 0) return channel;  // an absent channel reads as 0
        channel.mask = mask;
        channel.shift = std::countr_zero(mask);
        channel.bits = std::popcount(mask);
        if (std::countr_one(mask >> channel.shift) != channel.bits) return std::nullopt;  // holes
        return channel;
    }

    uint8_t read(uint32_t pixel) const {
        if (bits == 0) return 0;
        uint32_t value = (pixel & mask) >> shift;
        if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
        value <<= 8 - bits;
        for (int filled = bits; filled < 8; filled += bits) value |= value >> bits;
        return static_cast<uint8_t>(value);
    }
};

struct Layout {
    uint64_t width = 0;
    uint64_t height = 0;
    bool topDown = false;
    int depth = 0;
    size_t pixelStart = 0;
    std::vector<std::array<uint8_t, 3>> palette;  // R, G, B
    std::array<Channel, 3> channels;             // R, G, B for 16 and 32 bits
};

// Reads the headers and colour table; `bytes` starts at the bitmap header, `pixelOffset` is the
// file header's pointer to the pixels relative to it (0 when there is none).
std::optional<Layout> readLayout(std::span<const uint8_t> bytes, int64_t pixelOffset) {
    if (bytes.size() < 4) return std::nullopt;
    const uint32_t headerSize = le::u32(bytes, 0);
    if (headerSize > bytes.size()) return std::nullopt;

    Layout layout;
    uint32_t compression = kCompressionNone;
    uint64_t colourCount = 0;
    size_t entrySize = 4;
    size_t tableStart = headerSize;
    if (headerSize == kCoreHeaderSize) {
        layout.width = le::u16(bytes, 4);
        layout.height = le::u16(bytes, 6);
        layout.depth = le::u16(bytes, 10);
        entrySize = 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        const int32_t width = le::i32(bytes, 4);
        const int32_t height = le::i32(bytes, 8);
        if (width <= 0 || height == 0) return std::nullopt;
        layout.width = uint64_t(width);
        layout.topDown = height < 0;
        layout.height = height < 0 ? uint64_t(-int64_t(height)) : uint64_t(height);
        layout.depth = le::u16(bytes, 14);
        compression = le::u32(bytes, 16);
        colourCount = le::u32(bytes, 32);
    } else {
        return std::nullopt;
    }

    const int depth = layout.depth;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) return std::nullopt;
    if (compression == kCompressionBitFields) {
        if (depth != 16 && depth != 32) return std::nullopt;
        // The three masks follow a plain info header, or sit at the same place inside a longer one.
        if (bytes.size() < kInfoHeaderSize + 12) return std::nullopt;
        if (headerSize == kInfoHeaderSize) tableStart += 12;
        for (int c = 0; c < 3; ++c) {
            const std::optional<Channel> channel = Channel::fromMask(le::u32(bytes, kInfoHeaderSize + 4 * c));
            if (!channel) return std::nullopt;
            layout.channels[c] = *channel;
        }
    } else if (compression != kCompressionNone) {
        return std::nullopt;
    } else if (depth == 16) {
        layout.channels = {*Channel::fromMask(0x7C00), *Channel::fromMask(0x03E0), *Channel::fromMask(0x001F)};
    } else if (depth == 32) {
        layout.channels = {*Channel::fromMask(0xFF0000), *Channel::fromMask(0xFF00), *Channel::fromMask(0xFF)};
    }

    // Only indexed depths use the table, but the count also tells where the pixels start.
    const uint64_t indexCount = depth <= 8 ? uint64_t{1} << depth : 0;
    if (colourCount == 0) colourCount = indexCount;
    if (colourCount > 256 && depth <= 8) colourCount = indexCount;
    const uint64_t tableBytes = colourCount * entrySize;
    if (tableStart > bytes.size() || tableBytes > bytes.size() - tableStart) {
        if (depth <= 8 || pixelOffset == 0) return std::nullopt;
    } else if (depth <= 8) {
        layout.palette.resize(colourCount);
        for (uint64_t i = 0; i < colourCount; ++i) {
            const uint8_t* entry = bytes.data() + tableStart + i * entrySize;
            layout.palette[i] = {entry[2], entry[1], entry[0]};
        }
    }
    layout.pixelStart = tableStart + tableBytes;
    // A file header's pointer wins when it points past the headers: writers may leave a gap.
    if (pixelOffset >= int64_t(headerSize) && uint64_t(pixelOffset) <= bytes.size()) layout.pixelStart = size_t(pixelOffset);
    if (layout.pixelStart > bytes.size()) return std::nullopt;
    return layout;
}

}  // namespace

std::optional<Image> decodeBmp(std::span<const uint8_t> bytes) {
    int64_t pixelOffset = 0;
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        if (bytes.size() < kFileHeaderSize) return std::nullopt;
        pixelOffset = int64_t(le::u32(bytes, 10)) - int64_t(kFileHeaderSize);
        bytes = bytes.subspan(kFileHeaderSize);
    }
    const std::optional<Layout> layout = readLayout(bytes, pixelOffset);
    if (!layout) return std::nullopt;
    const std::optional<size_t> size = imageByteCount(layout->width, layout->height, 3);
    if (!size) return std::nullopt;

    const uint64_t width = layout->width;
    const uint64_t height = layout->height;
    const int depth = layout->depth;
    const uint64_t usedRowBytes = (width * depth + 7) / 8;
    const uint64_t stride = (width * depth + 31) / 32 * 4;
    // The last row's padding may be missing; everything else must be there.
    const std::span<const uint8_t> data = bytes.subspan(layout->pixelStart);
    if (stride * (height - 1) + usedRowBytes > data.size()) return std::nullopt;

    Image image{int(width), int(height), 3, std::vector<uint8_t>(*size)};
    const auto& palette = layout->palette;
    const auto& channels = layout->channels;
    for (uint64_t y = 0; y < height; ++y) {
        const uint8_t* in = data.data() + y * stride;
        const uint64_t outRow = layout->topDown ? height - 1 - y : y;
        uint8_t* out = image.pixels.data() + outRow * width * 3;
        for (uint64_t x = 0; x < width; ++x, out += 3) {
            switch (depth) {
            case 1:
            case 4:
            case 8: {
                const uint64_t bit = x * depth;
                const unsigned index = (in[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
                // An index past a short colour table reads as black.
                if (index < palette.size()) {
                    out[0] = palette[index][0];
                    out[1] = palette[index][1];
                    out[2] = palette[index][2];
                } else {
                    out[0] = out[1] = out[2] = 0;
                }
                break;
            }
            case 24:
                out[0] = in[x * 3 + 2];
                out[1] = in[x * 3 + 1];
                out[2] = in[x * 3];
                break;
            default: {
                const uint8_t* p = in + x * (depth / 8);
                const uint32_t pixel = depth == 16 ? uint32_t(p[0] | p[1] << 8)
                                                   : uint32_t(p[0] | p[1] << 8 | p[2] << 16) | uint32_t(p[3]) << 24;
                out[0] = channels[0].read(pixel);
                out[1] = channels[1].read(pixel);
                out[2] = channels[2].read(pixel);
                break;
            }
            }
        }
    }
    return image;
}

}  // namespace hg
