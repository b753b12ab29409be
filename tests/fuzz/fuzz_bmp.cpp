// BMP pictures as the texture loader reads them (a "*.bmp" texture of the archive), with or without
// the file header, then halved into their mipmap chain.
#include "fuzz_target.h"
#include "image/texture_upload.h"
#include "image_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<hg::Image> image = hg::decodeImage(hg::fuzz::inputOf(data, size), hg::TextureFormat::Bmp);
    if (image) hg::fuzz::checkAndHalve(*image, 3);
    return 0;
}
