#include "image/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace hg {
namespace {

// libjpeg's standard error manager ends the process on an error. This one jumps back into
// decodeWithRecovery instead, and keeps the text rather than printing it.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf recovery;
    char message[JMSG_LENGTH_MAX];
};

void keepMessage(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    errors->base.format_message(info, errors->message);
}

[[noreturn]] void jumpBack(j_common_ptr info) {
    keepMessage(info);
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->recovery, 1);
}

// Everything that can reach jumpBack happens in this one frame, which holds nothing with a
// destructor; its results live in the caller's objects.
bool decodeWithRecovery(jpeg_decompress_struct& info, ErrorManager& errors, std::span<const uint8_t> bytes,
                        Image& image) {
    if (setjmp(errors.recovery)) return false;

    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space == JCS_GRAYSCALE) info.out_color_space = JCS_RGB;
    const std::optional<size_t> size = imageByteCount(info.image_width, info.image_height, 3);
    if (!size) {
        std::snprintf(errors.message, sizeof errors.message, "Picture of %ux%u is too large",
                      info.image_width, info.image_height);
        return false;
    }
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        std::snprintf(errors.message, sizeof errors.message, "Unsupported colour space with %d components",
                      info.output_components);
        return false;
    }

    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    image.components = 3;
    image.pixels.resize(*size);
    const size_t rowBytes = size_t(image.width) * 3;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.pixels.data() + size_t(info.output_scanline) * rowBytes;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

std::optional<Image> decodeJpeg(std::span<const uint8_t> bytes, std::string* message) {
    // jpeg_mem_src refuses an empty buffer through the error manager; spare it the trouble.
    if (bytes.empty()) {
        if (message) *message = "Empty input file";
        return std::nullopt;
    }
    ErrorManager errors;
    std::memset(&errors, 0, sizeof errors);
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jumpBack;
    errors.base.output_message = keepMessage;

    Image image;
    const bool decoded = decodeWithRecovery(info, errors, bytes, image);
    jpeg_destroy_decompress(&info);  // harmless on a zeroed object, should creation itself have failed
    if (message) *message = errors.message;
    if (!decoded) return std::nullopt;
    return image;
}

}  // namespace hg
