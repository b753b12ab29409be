#include "image/texture_upload.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace hg {
namespace {

Image picture(int width, int height, int components, std::vector<uint8_t> pixels) {
    return Image{width, height, components, std::move(pixels)};
}

TEST(MipmapHalving, EachTexelIsTheRoundedMeanOfTheTexelsItCovers) {
    // 4 x 2 RGB: two 2 x 2 blocks.
    const Image image = picture(4, 2, 3, {10, 0, 255, 11, 0, 255, 100, 1, 0, 200, 2, 0,  //
                                          12, 0, 255, 12, 1, 254, 50, 3, 0, 0, 3, 1});
    const Image half = halveImage(image);
    EXPECT_EQ(half.width, 2);
    EXPECT_EQ(half.height, 1);
    EXPECT_EQ(half.components, 3);
    // (10 + 11 + 12 + 12 + 2) / 4 = 11; (0 + 0 + 0 + 1 + 2) / 4 = 0; (255 * 3 + 254 + 2) / 4 = 255
    // (100 + 200 + 50 + 0 + 2) / 4 = 88; (1 + 2 + 3 + 3 + 2) / 4 = 2; (0 + 0 + 0 + 1 + 2) / 4 = 0
    EXPECT_EQ(half.pixels, (std::vector<uint8_t>{11, 0, 255, 88, 2, 0}));
    // The next level pairs the two texels of the single row.
    const Image last = halveImage(half);
    EXPECT_EQ(last.width, 1);
    EXPECT_EQ(last.height, 1);
    EXPECT_EQ(last.pixels, (std::vector<uint8_t>{49, 1, 127}));
}

// Pictures of three and four components take their own loops: on noise of every size down to a
// single texel they give the rounded block means a plain computation gives.
TEST(MipmapHalving, RgbAndRgbaChainsMatchTheBlockMeansAtEveryLevel) {
    uint32_t state = 99;
    for (int components : {3, 4}) {
        Image level = picture(64, 16, components, {});
        level.pixels.resize(static_cast<size_t>(64 * 16 * components));
        for (uint8_t& b : level.pixels) {
            state = state * 1664525u + 1013904223u;
            b = static_cast<uint8_t>(state >> 24);
        }
        while (level.width > 1 || level.height > 1) {
            const Image half = halveImage(level);
            ASSERT_EQ(half.width, std::max(1, level.width / 2));
            ASSERT_EQ(half.height, std::max(1, level.height / 2));
            auto at = [&](int x, int y, int c) {
                return int{level.pixels[static_cast<size_t>((y * level.width + x) * components + c)]};
            };
            for (int y = 0; y < half.height; ++y) {
                for (int x = 0; x < half.width; ++x) {
                    for (int c = 0; c < components; ++c) {
                        const int x1 = level.width > 1 ? 2 * x + 1 : 0, y1 = level.height > 1 ? 2 * y + 1 : 0;
                        const int mean = level.width > 1 && level.height > 1
                                             ? (at(2 * x, 2 * y, c) + at(x1, 2 * y, c) + at(2 * x, y1, c) + at(x1, y1, c) + 2) / 4
                                             : (at(2 * x * (level.width > 1), 2 * y * (level.height > 1), c) + at(x1, y1, c)) / 2;
                        ASSERT_EQ(int{half.pixels[static_cast<size_t>((y * half.width + x) * components + c)]}, mean)
                            << components << " components, " << level.width << " x " << level.height << " at " << x << ", " << y;
                    }
                }
            }
            level = half;
        }
    }
}

TEST(MipmapHalving, AColumnPairsRowsAndAlphaIsHalvedToo) {
    const Image column = picture(1, 4, 4, {0, 0, 0, 255, 255, 255, 255, 0, 9, 9, 9, 9, 10, 10, 10, 10});
    const Image half = halveImage(column);
    EXPECT_EQ(half.width, 1);
    EXPECT_EQ(half.height, 2);
    EXPECT_EQ(half.pixels, (std::vector<uint8_t>{127, 127, 127, 127, 9, 9, 9, 9}));
}

TEST(Opacity, OnlyPicturesWithoutAnyAlphaBelow255AreOpaque) {
    EXPECT_TRUE(isFullyOpaque(picture(1, 2, 3, {0, 0, 0, 1, 1, 1})));
    EXPECT_TRUE(isFullyOpaque(picture(2, 1, 4, {0, 0, 0, 255, 9, 9, 9, 255})));
    EXPECT_FALSE(isFullyOpaque(picture(2, 1, 4, {0, 0, 0, 255, 9, 9, 9, 254})));
    EXPECT_FALSE(isFullyOpaque(picture(2, 1, 4, {0, 0, 0, 0, 9, 9, 9, 255})));
}

}  // namespace
}  // namespace hg
