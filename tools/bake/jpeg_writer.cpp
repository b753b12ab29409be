#include "bake/jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace hg::bake {

namespace {

// libjpeg ends the process on an error unless the error manager jumps back to the caller.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, manager->message);
    std::longjmp(manager->back, 1);
}

}  // namespace

std::vector<uint8_t> encodeJpeg(const Image& image, int quality, std::string* error) {
    if (image.components != 3 || image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != size_t(image.width) * size_t(image.height) * 3) {
        if (error) *error = "not a 3-component picture of the stated size";
        return {};
    }
    jpeg_compress_struct info{};
    ErrorManager manager{};
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = onError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    // Nothing below may own resources that a longjmp would skip; the buffer is freed afterwards.
    if (setjmp(manager.back) != 0) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        if (error) *error = manager.message;
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(image.width);
    info.image_height = JDIMENSION(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const size_t rowBytes = size_t(image.width) * 3;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.pixels.data() + size_t(info.next_scanline) * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

}  // namespace hg::bake
