// JPEG pictures as the texture loader reads them (a "*.jpg" texture of the archive, the loading
// picture), then halved into their mipmap chain. Every decoded JPEG has three components.
#include "fuzz_target.h"
#include "image/texture_upload.h"
#include "image_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<hg::Image> image = hg::decodeImage(hg::fuzz::inputOf(data, size), hg::TextureFormat::Jpeg);
    if (image) hg::fuzz::checkAndHalve(*image, 3);
    return 0;
}
