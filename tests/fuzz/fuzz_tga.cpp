// TGA pictures as the texture loader reads them (a "*.tga" texture of the archive), then halved
// into their mipmap chain. The decoded sides and components must be those of the header.
#include "fuzz_target.h"
#include "image/little_endian.h"
#include "image/texture_upload.h"
#include "image_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes = hg::fuzz::inputOf(data, size);
    const std::optional<hg::Image> image = hg::decodeImage(bytes, hg::TextureFormat::Tga);
    if (!image) return 0;
    hg::fuzz::check(bytes.size() >= 18, "a picture comes from a whole header");
    hg::fuzz::check(image->width == hg::le::u16(bytes, 12) && image->height == hg::le::u16(bytes, 14),
                    "the header's sides");
    hg::fuzz::checkAndHalve(*image, bytes[16] == 32 ? 4 : 3);
    return 0;
}
