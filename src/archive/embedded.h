#pragma once
// The two archives carried inside the program: on Linux an assembler object that includes main.pak
// and overlay.pak byte for byte, on Windows the resources MediaData 148 and 150. Only code that
// calls these needs that object (the library hg_embedded) at link time, so tools that share the
// library never depend on the archives they help to build.
#include <cstdint>
#include <span>

namespace hg {

std::span<const uint8_t> embeddedMainArchive();
std::span<const uint8_t> embeddedOverlayArchive();

}  // namespace hg
