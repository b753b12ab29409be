#pragma once
// Decoded pictures become mipmapped OpenGL textures.
#include "gl/gl.h"

#include <optional>
#include <span>
#include <string>

#include "core/image.h"

namespace hg {

enum class TextureFormat { Tga, Jpeg, Bmp };

// Generates a texture name, binds it and builds the whole mipmap chain the way each format asks
// (TGA as RGB or RGBA, JPEG as RGB, BMP as RGB stored with four components). A picture whose sides
// are powers of two is halved here, each level uploaded as it is made; others go through GLU,
// which first scales them to powers of two.
GLuint uploadImage(const Image& image, TextureFormat format);

// The next level of a mipmap chain: each texel the rounded mean of the 2 x 2 texels it covers (of
// 2 x 1 where one side is already 1), as GLU makes it. The picture's sides must be powers of two
// and not both 1.
Image halveImage(const Image& image);

// Decodes the file's bytes in the given format; nothing when they cannot be decoded.
std::optional<Image> decodeImage(std::span<const uint8_t> bytes, TextureFormat format);

}  // namespace hg
