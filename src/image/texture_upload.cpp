#include "image/texture_upload.h"

#include "gl/gl.h"

#include <algorithm>

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

namespace {

bool isPowerOfTwo(int side) { return side > 0 && (side & (side - 1)) == 0; }

bool fitsTheDriver(const Image& image) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return isPowerOfTwo(image.width) && isPowerOfTwo(image.height) && image.width <= largest &&
           image.height <= largest;
}

// Level 0 and every halving down to 1 x 1, one level alive at a time besides the picture.
void uploadChain(const Image& image, GLint internalComponents, GLenum pixelFormat) {
    auto upload = [&](GLint level, const Image& picture) {
        glTexImage2D(GL_TEXTURE_2D, level, internalComponents, picture.width, picture.height, 0, pixelFormat,
                     GL_UNSIGNED_BYTE, picture.pixels.data());
    };
    upload(0, image);
    Image level;
    for (GLint number = 1; image.width >> (number - 1) > 1 || image.height >> (number - 1) > 1; ++number) {
        level = halveImage(number == 1 ? image : level);
        upload(number, level);
    }
}

// Both sides above one: each texel the rounded mean of a 2 x 2 block. The component count fixed
// at compile time lets the compiler unroll and vectorise the rows.
template <size_t Components>
void halveBlocks(const Image& image, Image& half) {
    const size_t row = static_cast<size_t>(image.width) * Components;
    uint8_t* out = half.pixels.data();
    for (int y = 0; y < half.height; ++y) {
        const uint8_t* top = image.pixels.data() + static_cast<size_t>(y) * 2 * row;
        const uint8_t* bottom = top + row;
        for (int x = 0; x < half.width; ++x, top += 2 * Components, bottom += 2 * Components, out += Components) {
            for (size_t c = 0; c < Components; ++c)
                out[c] = static_cast<uint8_t>((top[c] + top[c + Components] + bottom[c] + bottom[c + Components] + 2) / 4);
        }
    }
}

}  // namespace

Image halveImage(const Image& image) {
    Image half;
    half.components = image.components;
    half.width = std::max(1, image.width / 2);
    half.height = std::max(1, image.height / 2);
    half.pixels.resize(static_cast<size_t>(half.width) * half.height * half.components);
    const size_t components = static_cast<size_t>(image.components);
    const size_t row = static_cast<size_t>(image.width) * components;
    // Steps to the neighbour in x and in y; a side of 1 has none, and its pair is the texel itself.
    const size_t stepX = image.width > 1 ? components : 0;
    const size_t stepY = image.height > 1 ? row : 0;
    const bool square = stepX != 0 && stepY != 0;
    if (square && components == 3) {
        halveBlocks<3>(image, half);
        return half;
    }
    if (square && components == 4) {
        halveBlocks<4>(image, half);
        return half;
    }
    uint8_t* out = half.pixels.data();
    for (int y = 0; y < half.height; ++y) {
        const uint8_t* in = image.pixels.data() + static_cast<size_t>(y) * (stepY ? 2 * row : row);
        for (int x = 0; x < half.width; ++x, in += 2 * stepX) {
            for (size_t c = 0; c < components; ++c) {
                if (square) {
                    *out++ = static_cast<uint8_t>((in[c] + in[c + stepX] + in[c + stepY] + in[c + stepX + stepY] + 2) / 4);
                } else {
                    *out++ = static_cast<uint8_t>((in[c] + in[c + stepX + stepY]) / 2);
                }
            }
        }
    }
    return half;
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
    // The filter first: a driver that sees a mipmapped texture from the start keeps the whole chain
    // in one allocation.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    if (fitsTheDriver(image)) {
        uploadChain(image, internalComponents, pixelFormat);
    } else {
        gluBuild2DMipmaps(GL_TEXTURE_2D, internalComponents, image.width, image.height, pixelFormat, GL_UNSIGNED_BYTE,
                          image.pixels.data());
    }
    return name;
}

}  // namespace hg
