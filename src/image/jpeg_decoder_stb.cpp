// JPEG through stb_image, for systems without libjpeg. Only its JPEG decoder is compiled, reading
// from memory; it has no warnings, so a picture either decodes whole or fails with its reason.
#include "image/jpeg_decoder.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_FAILURE_USERMSG
#include <stb_image.h>

#include <climits>
#include <cstring>

namespace hg {

std::optional<Image> decodeJpeg(std::span<const uint8_t> bytes, std::string* message) {
    if (message) message->clear();
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) {
        if (message) *message = bytes.empty() ? "Empty input file" : "File too large";
        return std::nullopt;
    }
    int width = 0, height = 0, components = 0;
    if (!stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &components) ||
        (components != 1 && components != 3)) {
        if (message) *message = components == 4 ? "Unsupported colour space with 4 components" : stbi_failure_reason();
        return std::nullopt;
    }
    const std::optional<size_t> size = imageByteCount(width, height, 3);
    if (!size) {
        if (message) *message = "Picture too large";
        return std::nullopt;
    }
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &components, 3);
    if (!pixels) {
        if (message) *message = stbi_failure_reason();
        return std::nullopt;
    }
    Image image;
    image.width = width;
    image.height = height;
    image.components = 3;
    image.pixels.assign(pixels, pixels + *size);
    stbi_image_free(pixels);
    return image;
}

}  // namespace hg
