#pragma once
// The process-wide switch between the run modes. A signal handler may store Quit in it, so it is a
// lock-free atomic rather than a member of some object.
#include <atomic>
#include <cstdint>

namespace hg {

enum class RunMode : int32_t {
    None = 0,
    Preview = 2,
    Run = 3,
    Configure = 4,
    Quit = 5,
};

RunMode runMode();
void setRunMode(RunMode mode);

}  // namespace hg
