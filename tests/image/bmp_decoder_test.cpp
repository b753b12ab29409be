#include "image/bmp_decoder.h"

#include <gtest/gtest.h>

#include "image/image_test_support.h"

namespace hg {
namespace {

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// An info-header bitmap: `table` (colour table or masks) then `pixels` (rows with their padding).
std::vector<uint8_t> bmp(int32_t width, int32_t height, uint16_t depth, uint32_t compression,
                         const std::vector<uint8_t>& table, const std::vector<uint8_t>& pixels, bool fileHeader) {
    std::vector<uint8_t> out;
    if (fileHeader) {
        out = {'B', 'M'};
        put32(out, 54 + uint32_t(table.size() + pixels.size()));
        put32(out, 0);
        put32(out, 54 + uint32_t(table.size()));
    }
    put32(out, 40), put32(out, uint32_t(width)), put32(out, uint32_t(height));
    put32(out, 1u | uint32_t(depth) << 16), put32(out, compression);
    for (int i = 0; i < 5; ++i) put32(out, 0);
    out.insert(out.end(), table.begin(), table.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

TEST(BmpDecoder, RowsComeBottomFirstWithOrWithoutFileHeader) {
    // 2x2, 24 bits, rows padded to 8 bytes; the file's first row is the bottom one.
    const std::vector<uint8_t> bottomUp{1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    const std::vector<uint8_t> topDown{7, 8, 9, 10, 11, 12, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0};
    const std::vector<uint8_t> expected{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10};
    for (bool fileHeader : {false, true}) {
        auto up = decodeBmp(bmp(2, 2, 24, 0, {}, bottomUp, fileHeader));
        auto down = decodeBmp(bmp(2, -2, 24, 0, {}, topDown, fileHeader));
        ASSERT_TRUE(up && down);
        EXPECT_EQ(up->components, 3);
        EXPECT_EQ(up->pixels, expected);
        EXPECT_EQ(down->pixels, expected);
    }
}

TEST(BmpDecoder, SixteenAndThirtyTwoBitChannels) {
    // Plain 16 bits is 5-5-5, widened to full range; bit fields give any masks (here 5-6-5).
    auto plain = decodeBmp(bmp(2, 1, 16, 0, {}, {0xFF, 0x7F, 0x01, 0x00}, false));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->pixels, (std::vector<uint8_t>{255, 255, 255, 0, 0, 8}));
    std::vector<uint8_t> masks;
    put32(masks, 0xF800), put32(masks, 0x07E0), put32(masks, 0x001F);
    auto fields = decodeBmp(bmp(2, 1, 16, 3, masks, {0xE0, 0x07, 0x00, 0xF8}, true));
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->pixels, (std::vector<uint8_t>{0, 255, 0, 255, 0, 0}));
    // 32 bits: B, G, R and an ignored fourth byte.
    auto wide = decodeBmp(bmp(1, 1, 32, 0, {}, {1, 2, 3, 99}, false));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->pixels, (std::vector<uint8_t>{3, 2, 1}));
}

TEST(BmpDecoder, RefusesDamagedFiles) {
    EXPECT_FALSE(decodeBmp(bmp(2, 1, 8, 1, {}, {0, 0, 0, 0}, true)));  // run-length coded
    EXPECT_FALSE(decodeBmp(bmp(2, 1, 12, 0, {}, {0, 0, 0, 0}, true))); // no such depth
    EXPECT_FALSE(decodeBmp(bmp(0, 1, 24, 0, {}, {}, true)));
    EXPECT_FALSE(decodeBmp(bmp(60000, 60000, 24, 0, {}, std::vector<uint8_t>(64), true)));
    const auto whole = bmp(3, 2, 4, 0, std::vector<uint8_t>(64, 7), {0x01, 0x20, 0, 0, 0x30, 0x10, 0, 0}, true);
    ASSERT_TRUE(decodeBmp(whole));
    // The last row may lack its padding; any shorter file fails.
    for (size_t size = 0; size + 2 < whole.size(); ++size)
        EXPECT_FALSE(decodeBmp(std::vector<uint8_t>(whole.begin(), whole.begin() + size))) << size;
}

TEST(BmpDecoder, MatchesImageMagickAcrossHeadersAndDepths) {
    test::ScratchDir dir;
    ASSERT_FALSE(test::produce(dir, "convert -seed 5 -size 37x23 plasma:fractal in.png", "in.png").empty());
    const char* variants[] = {
        "bmp3:out.bmp",                               // info header, 24 bits
        "bmp2:out.bmp",                               // core header, 24 bits
        "-type palette -compress none bmp3:out.bmp",   // 8 bits
        "-colors 16 -compress none bmp3:out.bmp",      // 4 bits
        "-monochrome bmp3:out.bmp",                   // 1 bit
        "-colors 16 -type palette bmp2:out.bmp",      // core header with a 3-byte colour table
        "-alpha set out.bmp",                         // 124-byte header, 32 bits with bit fields
        "-define bmp:subtype=RGB565 out.bmp",         // 16 bits, bit fields
        "-flip -define bmp:format=bmp3 out.bmp",      // stays bottom-up; ImageMagick has no top-down writer
    };
    for (const std::string variant : variants) {
        SCOPED_TRACE(variant);
        auto image = decodeBmp(test::produce(dir, "convert in.png " + variant, "out.bmp"));
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width, 37);
        const auto expected = test::produce(dir, "convert out.bmp -depth 8 rgb:out.raw", "out.raw");
        EXPECT_EQ(image->pixels, test::flipRows(expected, 37 * 3));
    }
}

}  // namespace
}  // namespace hg
