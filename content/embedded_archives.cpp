// The archives as the assembler object lays them out (embedded_archives.S).
#include "archive/embedded.h"

extern "C" {
extern const uint8_t hg_main_pak_begin[];
extern const uint8_t hg_main_pak_end[];
extern const uint8_t hg_overlay_pak_begin[];
extern const uint8_t hg_overlay_pak_end[];
}

namespace hg {

std::span<const uint8_t> embeddedMainArchive() {
    return {hg_main_pak_begin, static_cast<size_t>(hg_main_pak_end - hg_main_pak_begin)};
}

std::span<const uint8_t> embeddedOverlayArchive() {
    return {hg_overlay_pak_begin, static_cast<size_t>(hg_overlay_pak_end - hg_overlay_pak_begin)};
}

}  // namespace hg
