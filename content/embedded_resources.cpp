// The archives as resources of the program (embedded_archives.rc): type "MediaData", ids 148
// (main) and 150 (overlay).
#include "archive/embedded.h"
#include "platform/platform.h"

namespace hg {

std::span<const uint8_t> embeddedMainArchive() { return platform::programResource("MediaData", 148); }
std::span<const uint8_t> embeddedOverlayArchive() { return platform::programResource("MediaData", 150); }

}  // namespace hg
