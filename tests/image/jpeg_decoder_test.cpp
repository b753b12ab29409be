#include "image/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "image/image_test_support.h"

namespace hg {
namespace {

// The test pictures (tests/image/data/make-jpegs made them from the program's own picture of the
// room), 123 x 93 so that the last blocks are partial.
std::filesystem::path testPicture(const std::string& name) {
    return std::filesystem::path(HG_SOURCE_DIR) / "tests/image/data" / name;
}
const char* const kPictures[] = {"baseline.jpg", "progressive.jpg", "grey.jpg", "restart.jpg"};

// The pixels of djpeg's binary PPM output, which starts "P6\n<width> <height>\n255\n".
std::vector<uint8_t> djpeg(const test::ScratchDir& dir, const std::string& input) {
    const auto ppm = test::produce(dir, "djpeg -rgb -pnm -outfile out.ppm '" + input + "'", "out.ppm");
    size_t offset = 0;
    for (int fields = 0; fields < 4 && offset < ppm.size(); ++offset)
        if (ppm[offset] == '\n' || ppm[offset] == ' ') ++fields;
    return {ppm.begin() + std::ptrdiff_t(offset), ppm.end()};
}

TEST(JpegDecoder, MatchesDjpegOnBaselineProgressiveGreyAndRestartPictures) {
    test::ScratchDir dir;
    for (const char* name : kPictures) {
        SCOPED_TRACE(name);
        const std::filesystem::path input = testPicture(name);
        std::string message;
        auto image = decodeJpeg(test::readBytes(input), &message);
        ASSERT_TRUE(image) << message;
        EXPECT_EQ(image->width, 123);
        EXPECT_EQ(image->height, 93);
        EXPECT_EQ(image->components, 3);  // grey comes back as RGB too
        EXPECT_EQ(image->pixels.size(), size_t(image->width) * image->height * 3);
        EXPECT_EQ(image->pixels, djpeg(dir, input.string()));  // top row first, as djpeg writes
    }
}

TEST(JpegDecoder, DamageReturnsToTheCaller) {
    std::string message;
    EXPECT_FALSE(decodeJpeg({}, &message));
    EXPECT_FALSE(decodeJpeg(std::vector<uint8_t>(300, 0x42), &message));
    EXPECT_NE(message, "");

    test::ScratchDir dir;
    auto cmyk = test::produce(dir, "convert -size 16x16 xc:orange -colorspace CMYK c.jpg", "c.jpg");
    ASSERT_FALSE(cmyk.empty());
    EXPECT_FALSE(decodeJpeg(cmyk));

    const auto whole = test::readBytes(testPicture("baseline.jpg"));
    ASSERT_FALSE(whole.empty());
    const uint8_t startOfScan[] = {0xFF, 0xDA};
    const size_t scan = size_t(std::search(whole.begin(), whole.end(), startOfScan, startOfScan + 2) - whole.begin());
    ASSERT_LT(scan, whole.size());
    // Cut inside the headers: no picture. Cut inside the coded data: libjpeg warns and fills the rest.
    for (size_t size : {size_t{2}, size_t{40}, scan / 2, scan}) {
        message.clear();
        EXPECT_FALSE(decodeJpeg(std::span(whole.data(), size), &message)) << size;
        EXPECT_NE(message, "") << size;
    }
    message.clear();
    auto partial = decodeJpeg(std::span(whole.data(), (scan + whole.size()) / 2), &message);
    ASSERT_TRUE(partial);
    EXPECT_NE(message, "");
    EXPECT_EQ(partial->pixels.size(), size_t(partial->width) * partial->height * 3);
}

}  // namespace
}  // namespace hg
