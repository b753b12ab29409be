#pragma once
// JPEG decoded straight from memory with default parameters: through libjpeg (6.2 interface) on
// Linux (jpeg_decoder_libjpeg.cpp), through stb_image where the system has no libjpeg, as on
// Windows (jpeg_decoder_stb.cpp). The build takes one of the two.
//
// Output: components 3 (R, G, B), top row first. Grayscale files are expanded to R = G = B so the
// upload can always take 3 components; CMYK/YCCK files are refused.
// Damage the decoder treats as an error (bad markers, unsupported coding, no image) fails the
// decode and returns here; libjpeg still yields a picture for damage it only warns about (data
// ending early, corrupt entropy data), as its own tools do.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/image.h"

namespace hg {

// `message`, when given, receives the decoder's text for the error, or for the first warning.
std::optional<Image> decodeJpeg(std::span<const uint8_t> bytes, std::string* message = nullptr);

}  // namespace hg
