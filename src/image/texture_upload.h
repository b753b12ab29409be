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
// (TGA as RGB or RGBA, JPEG as RGB, BMP as RGB stored with four components).
GLuint uploadImage(const Image& image, TextureFormat format);

// Decodes the file's bytes in the given format; nothing when they cannot be decoded.
std::optional<Image> decodeImage(std::span<const uint8_t> bytes, TextureFormat format);

}  // namespace hg
