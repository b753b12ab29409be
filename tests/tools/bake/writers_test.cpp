// The builder's file writers, read back by the program's own decoders.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "bake/jpeg_writer.h"
#include "bake/tga_writer.h"
#include "image/jpeg_decoder.h"
#include "image/tga_decoder.h"
#include "image/image_test_support.h"

namespace hg::bake {
namespace {

// A picture whose every byte differs from its neighbours', so swapped channels or rows show.
Image patterned(int width, int height, int components) {
    Image image{width, height, components, {}};
    for (int i = 0; i < width * height * components; ++i) image.pixels.push_back(uint8_t(i * 7 + i / 5));
    return image;
}

TEST(TgaWriter, HeaderDescribesUncompressedBottomUpTrueColour) {
    const std::vector<uint8_t> rgba = encodeTga(patterned(300, 2, 4));
    ASSERT_EQ(rgba.size(), 18u + 300u * 2u * 4u);
    EXPECT_EQ(rgba[2], 2);                  // uncompressed true colour
    EXPECT_EQ(rgba[12] | rgba[13] << 8, 300);
    EXPECT_EQ(rgba[14] | rgba[15] << 8, 2);
    EXPECT_EQ(rgba[16], 32);
    EXPECT_EQ(rgba[17], 8);                 // 8 alpha bits, origin bottom-left
    const std::vector<uint8_t> rgb = encodeTga(patterned(5, 3, 3));
    EXPECT_EQ(rgb[16], 24);
    EXPECT_EQ(rgb[17], 0);
}

TEST(TgaWriter, StoresTheBottomRowFirstInBlueGreenRedOrder) {
    // Top row red, bottom row blue: the file starts with the blue row.
    Image image{2, 2, 4, {255, 0, 0, 10, 255, 0, 0, 20, 0, 0, 255, 30, 0, 0, 255, 40}};
    const std::vector<uint8_t> file = encodeTga(image);
    const std::vector<uint8_t> expected = {255, 0, 0, 30, 255, 0, 0, 40, 0, 0, 255, 10, 0, 0, 255, 20};
    ASSERT_EQ(file.size(), 18u + expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.begin() + 18));
}

TEST(TgaWriter, RoundTripsThroughTheDecoderWithRowsInFileOrder) {
    // The decoder hands rows over in file order, so the writer's top row comes back last.
    for (int components : {3, 4}) {
        SCOPED_TRACE(components);
        const Image image = patterned(37, 11, components);
        const std::optional<Image> decoded = decodeTga(encodeTga(image));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->width, 37);
        EXPECT_EQ(decoded->height, 11);
        EXPECT_EQ(decoded->components, components);
        EXPECT_EQ(decoded->pixels, test::flipRows(image.pixels, size_t(37 * components)));
    }
}

TEST(TgaWriter, RefusesPicturesItCannotStore) {
    EXPECT_TRUE(encodeTga(patterned(4, 4, 1)).empty());
    EXPECT_TRUE(encodeTga(Image{0, 4, 4, {}}).empty());
    Image short_ = patterned(4, 4, 4);
    short_.pixels.pop_back();
    EXPECT_TRUE(encodeTga(short_).empty());
}

TEST(JpegWriter, DecodesToTheSamePictureTopRowFirst) {
    // Smooth halves, dark above and bright below, survive compression well enough to check that
    // the top of the picture stays on top.
    Image image{64, 48, 3, {}};
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) image.pixels.insert(image.pixels.end(), {uint8_t(y < 24 ? 20 : 230), uint8_t(x * 3), 128});
    std::string message;
    const std::vector<uint8_t> file = encodeJpeg(image, 90, &message);
    ASSERT_FALSE(file.empty()) << message;
    EXPECT_EQ(file[0], 0xFF);
    EXPECT_EQ(file[1], 0xD8);
    // Baseline: a start-of-frame 0 marker, no progressive one.
    bool baseline = false, progressive = false;
    for (size_t i = 0; i + 1 < file.size(); ++i) {
        baseline |= file[i] == 0xFF && file[i + 1] == 0xC0;
        progressive |= file[i] == 0xFF && file[i + 1] == 0xC2;
    }
    EXPECT_TRUE(baseline);
    EXPECT_FALSE(progressive);
    const std::optional<Image> decoded = decodeJpeg(file);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->width, 64);
    ASSERT_EQ(decoded->height, 48);
    ASSERT_EQ(decoded->components, 3);
    int worst = 0;
    for (size_t i = 0; i < image.pixels.size(); ++i)
        worst = std::max(worst, std::abs(int(decoded->pixels[i]) - int(image.pixels[i])));
    EXPECT_LT(worst, 40);
    EXPECT_LT(decoded->pixels[0], 60);                           // top-left dark
    EXPECT_GT(decoded->pixels[size_t(47 * 64 * 3)], 190);        // bottom-left bright
}

TEST(JpegWriter, RefusesPicturesWithAlphaOrAWrongSize) {
    std::string message;
    EXPECT_TRUE(encodeJpeg(patterned(8, 8, 4), 90, &message).empty());
    EXPECT_FALSE(message.empty());
    Image image = patterned(8, 8, 3);
    image.pixels.resize(10);
    EXPECT_TRUE(encodeJpeg(image, 90).empty());
}

}  // namespace
}  // namespace hg::bake
