#pragma once
// JPEG through libjpeg (6.2 interface), decoded straight from memory with default parameters.
//
// Output: components 3 (R, G, B), top row first. Grayscale files are expanded to R = G = B by
// libjpeg so the upload can always take 3 components; CMYK/YCCK files are refused.
// Damage that libjpeg treats as an error (bad markers, unsupported coding, no image) fails the
// decode and returns here; damage it only warns about (data ending early, corrupt entropy data)
// still yields a picture, as libjpeg's own tools do.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/image.h"

namespace hg {

// `message`, when given, receives libjpeg's text for the error, or for the first warning.
std::optional<Image> decodeJpeg(std::span<const uint8_t> bytes, std::string* message = nullptr);

}  // namespace hg
