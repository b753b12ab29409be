#include "image/texture_upload.h"

#include "gl/gl.h"

#include "image/bmp_decoder.h"
#include "image/jpeg_decoder.h"
#include "image/tga_decoder.h"

namespace hg {

std::optional<Image> decodeImage(std::span<const uint8_t> bytes, TextureFormat format) {
    switch (format) {
        case TextureFormat::Tga: return decodeTga(bytes);
        case TextureFormat::Jpeg: return decodeJpeg(bytes);
        case TextureFormat::Bmp: return decodeBmp(bytes);
    }
    return std::nullopt;
}

GLuint uploadImage(const Image& image, TextureFormat format) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Rows are packed tightly; a width whose row is not a multiple of four bytes must not be
    // read with padding.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLint internalComponents = image.components;
    GLenum pixelFormat = image.components == 4 ? GL_RGBA : GL_RGB;
    if (format == TextureFormat::Jpeg) internalComponents = 3;
    if (format == TextureFormat::Bmp) internalComponents = 4;
    gluBuild2DMipmaps(GL_TEXTURE_2D, internalComponents, image.width, image.height, pixelFormat, GL_UNSIGNED_BYTE,
                      image.pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    return name;
}

}  // namespace hg
