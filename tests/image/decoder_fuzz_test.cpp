// Damaged copies of real files, truncated and with bytes changed at random: every decoder must
// either refuse them or hand back a consistent picture, and never read outside the input (run
// under the address sanitizer to see that part).
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "image/bmp_decoder.h"
#include "image/image_test_support.h"
#include "image/jpeg_decoder.h"
#include "image/tga_decoder.h"

namespace hg {
namespace {

using Decoder = std::function<std::optional<Image>(std::span<const uint8_t>)>;

void damageAndDecode(const std::vector<uint8_t>& original, const Decoder& decode, uint32_t seed) {
    ASSERT_TRUE(decode(original));
    std::mt19937 random(seed);
    for (int round = 0; round < 1000; ++round) {
        std::vector<uint8_t> bytes(original.begin(), original.begin() + random() % (original.size() + 1));
        for (uint32_t flips = random() % 6; flips > 0 && !bytes.empty(); --flips)
            bytes[random() % bytes.size()] ^= uint8_t(1 + random() % 255);
        bytes.shrink_to_fit();  // so that reading one byte past the end is caught
        if (auto image = decode(bytes)) {
            ASSERT_TRUE(image->components == 3 || image->components == 4);
            ASSERT_EQ(image->pixels.size(), size_t(image->width) * image->height * image->components);
        }
    }
}

TEST(DecoderFuzz, DamagedFilesNeverCrash) {
    test::ScratchDir dir;
    const std::string picture = "convert -seed 3 -size 29x17 plasma:fractal ";
    const auto jpeg = [](std::span<const uint8_t> b) { return decodeJpeg(b); };
    struct Case {
        std::string options;
        Decoder decode;
    } cases[] = {
        {"-compress RLE out.tga", decodeTga},
        {"-alpha set -compress RLE out.tga", decodeTga},
        {"-compress none out.tga", decodeTga},
        {"-colors 16 -compress none bmp3:out.bmp", decodeBmp},
        {"-type palette -compress none bmp2:out.bmp", decodeBmp},
        {"-define bmp:subtype=RGB565 out.bmp", decodeBmp},
        {"-quality 80 out.jpg", jpeg},
        {"-interlace JPEG out.jpg", jpeg},
    };
    uint32_t seed = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        const std::string output = c.options.substr(c.options.find("out."));
        const auto file = test::produce(dir, picture + c.options, output);
        ASSERT_FALSE(file.empty());
        damageAndDecode(file, c.decode, seed++);
    }
}

}  // namespace
}  // namespace hg
