#include "image/tga_decoder.h"

#include <gtest/gtest.h>

#include "image/image_test_support.h"

namespace hg {
namespace {

std::vector<uint8_t> tga(uint8_t type, uint16_t width, uint16_t height, uint8_t depth,
                         const std::vector<uint8_t>& data, uint8_t idLength = 0) {
    std::vector<uint8_t> file(18 + idLength + data.size(), 0x55);  // 0x55 fills the ID field
    const uint8_t header[18] = {idLength, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8), depth, 0};
    std::copy(std::begin(header), std::end(header), file.begin());
    std::copy(data.begin(), data.end(), file.begin() + 18 + idLength);
    return file;
}

TEST(TgaDecoder, UncompressedPixelsBecomeRedFirstInFileRowOrder) {
    auto rgb = decodeTga(tga(2, 2, 2, 24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 3));
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->components, 3);
    EXPECT_EQ(rgb->pixels, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));

    auto rgba = decodeTga(tga(2, 1, 2, 32, {1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(rgba);
    EXPECT_EQ(rgba->components, 4);
    EXPECT_EQ(rgba->pixels, (std::vector<uint8_t>{3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST(TgaDecoder, SixteenBitFieldsWidenWithZeroLowBits) {
    auto image = decodeTga(tga(2, 4, 1, 16, {0xFF, 0x7F, 0x01, 0x00, 0x00, 0x80, 0x00, 0x7C}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->components, 3);
    EXPECT_EQ(image->pixels, (std::vector<uint8_t>{0xF8, 0xF8, 0xF8, 0, 0, 8, 0, 0, 0, 0xF8, 0, 0}));
}

TEST(TgaDecoder, RunAndRawPackets) {
    // 0x82: one pixel written three times; 0x01: two literal pixels.
    auto rgb = decodeTga(tga(10, 5, 1, 24, {0x82, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9}));
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->pixels, (std::vector<uint8_t>{3, 2, 1, 3, 2, 1, 3, 2, 1, 6, 5, 4, 9, 8, 7}));
    auto rgba = decodeTga(tga(10, 3, 1, 32, {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    ASSERT_TRUE(rgba);
    EXPECT_EQ(rgba->pixels, (std::vector<uint8_t>{3, 2, 1, 4, 7, 6, 5, 8, 11, 10, 9, 12}));
}

TEST(TgaDecoder, RefusesWhatItCannotDecodeSoundly) {
    EXPECT_FALSE(decodeTga(tga(3, 2, 1, 8, {10, 20})));                      // grayscale
    EXPECT_FALSE(decodeTga(tga(1, 2, 1, 8, {0, 1})));                        // colour-mapped
    EXPECT_FALSE(decodeTga(tga(10, 2, 1, 16, {0x81, 1, 2})));                // run-length 16 bits
    EXPECT_FALSE(decodeTga(tga(10, 2, 1, 24, {0x82, 1, 2, 3})));             // run past the last pixel
    EXPECT_FALSE(decodeTga(tga(10, 2, 1, 24, {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9}))); // raw past the last pixel
    EXPECT_FALSE(decodeTga(tga(10, 4, 1, 24, {0x81, 1, 2, 3})));             // data ends before the pixels
    EXPECT_FALSE(decodeTga(tga(2, 0, 5, 24, {})));                           // no pixels
    // Sizes the data cannot hold fail without allocating for them.
    EXPECT_FALSE(decodeTga(tga(2, 65535, 65535, 32, std::vector<uint8_t>(100))));
    EXPECT_FALSE(decodeTga(tga(10, 65535, 65535, 32, std::vector<uint8_t>(100, 0xFF))));

    const auto whole = tga(10, 3, 2, 24, {0x82, 1, 2, 3, 0x02, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 2);
    ASSERT_TRUE(decodeTga(whole));
    for (size_t size = 0; size < whole.size(); ++size)
        EXPECT_FALSE(decodeTga(std::vector<uint8_t>(whole.begin(), whole.begin() + size))) << size;
}

TEST(TgaDecoder, MatchesImageMagickOnItsOwnFiles) {
    test::ScratchDir dir;
    const std::string picture = "-size 37x23 gradient:'#c03010'-'#10a0f0' ";
    for (const std::string options : {"", "-compress RLE ", "-alpha set -channel A -fx 'i/w' ",
                                      "-alpha set -channel A -fx 'i/w' -compress RLE "}) {
        SCOPED_TRACE(options);
        const auto file = test::produce(dir, "convert " + picture + options + "out.tga", "out.tga");
        auto image = decodeTga(file);
        ASSERT_TRUE(image);
        const std::string map = image->components == 4 ? "rgba" : "rgb";
        const auto expected = test::produce(dir, "convert out.tga -depth 8 " + map + ":out.raw", "out.raw");
        // ImageMagick keeps the file's row order both ways, as we do.
        EXPECT_EQ(image->pixels, expected);
    }
}

}  // namespace
}  // namespace hg
