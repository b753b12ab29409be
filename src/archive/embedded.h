#pragma once
// The two archives linked into the program (an assembler object that includes main.pak and
// overlay.pak byte for byte). Only code that calls these needs that object at link time, so tools
// that share the library never depend on the archives they help to build.
#include <cstdint>
#include <span>

extern "C" {
extern const uint8_t hg_main_pak_begin[];
extern const uint8_t hg_main_pak_end[];
extern const uint8_t hg_overlay_pak_begin[];
extern const uint8_t hg_overlay_pak_end[];
}

namespace hg {

inline std::span<const uint8_t> embeddedMainArchive() {
    return {hg_main_pak_begin, static_cast<size_t>(hg_main_pak_end - hg_main_pak_begin)};
}

inline std::span<const uint8_t> embeddedOverlayArchive() {
    return {hg_overlay_pak_begin, static_cast<size_t>(hg_overlay_pak_end - hg_overlay_pak_begin)};
}

}  // namespace hg
