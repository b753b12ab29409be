#include "core/run_mode.h"

namespace hg {
namespace {
std::atomic<int32_t> gRunMode{static_cast<int32_t>(RunMode::None)};
static_assert(std::atomic<int32_t>::is_always_lock_free, "RunMode must be safe to store from a signal handler");
}  // namespace

RunMode runMode() { return static_cast<RunMode>(gRunMode.load()); }
void setRunMode(RunMode mode) { gRunMode.store(static_cast<int32_t>(mode)); }

}  // namespace hg
