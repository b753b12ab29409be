#include <signal.h>
#include <sys/mman.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

#include "core/run_mode.h"
#include "platform/platform.h"

namespace hg::platform {
namespace {
void storeQuit(int) { setRunMode(RunMode::Quit); }
}  // namespace

void installQuitSignals() {
    struct sigaction action {};
    action.sa_handler = storeQuit;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

CalendarTime localTime(int64_t epochSeconds) {
    const time_t seconds = static_cast<time_t>(epochSeconds);
    tm local{};
    localtime_r(&seconds, &local);
    return calendarTimeOf(local);
}

int64_t epochSecondsOf(const CalendarTime& c) {
    tm local = brokenDownTimeOf(c);
    return static_cast<int64_t>(mktime(&local));
}

int64_t epochSecondsNow() { return static_cast<int64_t>(time(nullptr)); }

// Like a system uptime timer: milliseconds since boot, wrapping at 32 bits.
uint32_t milliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

}  // namespace hg::platform

namespace hg::platform {

// Linux programs carry their archives as linked data (see archive/embedded.h), not as resources.
std::span<const uint8_t> programResource(std::string_view, int) { return {}; }

void releaseProgramPages(std::span<const uint8_t> readOnly) {
    const long page = sysconf(_SC_PAGESIZE);
    if (readOnly.empty() || page <= 0) return;
    const auto pageSize = static_cast<uintptr_t>(page);
    // Only the pages wholly inside the data.
    const auto begin = reinterpret_cast<uintptr_t>(readOnly.data());
    const uintptr_t first = (begin + pageSize - 1) / pageSize * pageSize;
    const uintptr_t last = (begin + readOnly.size()) / pageSize * pageSize;
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

void reuseLargeBlocks() {
#ifdef __GLIBC__
    // Without this the allocator maps each block above its threshold on its own, and unmaps it
    // when freed; 32 MB is the largest threshold it accepts.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
#endif
}

namespace {

constexpr const char* kTunables = "GLIBC_TUNABLES";
constexpr const char* kHugePages = "glibc.malloc.hugetlb";

bool hugePagesOnlyWhenAsked() {
    std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    std::getline(setting, modes);
    return modes.find("[madvise]") != std::string::npos;
}

}  // namespace

void keepHeapInHugePages() {
#ifdef __GLIBC__
    const char* given = std::getenv(kTunables);
    if ((given && std::strstr(given, kHugePages)) || !hugePagesOnlyWhenAsked()) return;
    constexpr int kReserve = 256 << 20;
    constexpr int kUsualTopPad = 128 << 10;
    constexpr uintptr_t kHugePage = 2u << 20;
    // The reserve is never trimmed away: a heap grown again would lie in memory not marked.
    mallopt(M_TRIM_THRESHOLD, 2 * kReserve);
    // One block larger than the heap's free top makes it grow by the block and the reserve at once.
    mallopt(M_TOP_PAD, kReserve);
    const auto before = reinterpret_cast<uintptr_t>(sbrk(0));
    void* block = std::malloc(mallinfo2().keepcost + (1 << 20));
    // The block is only asked for, never used: the barrier keeps the compiler from leaving it out.
    asm volatile("" : : "r"(block) : "memory");
    const auto after = reinterpret_cast<uintptr_t>(sbrk(0));
    std::free(block);
    mallopt(M_TOP_PAD, kUsualTopPad);
    // Only whole huge pages can be given; a heap the allocator could not grow in place is left alone.
    const uintptr_t first = (before + kHugePage - 1) & ~(kHugePage - 1);
    if (after > first) madvise(reinterpret_cast<void*>(first), after - first, MADV_HUGEPAGE);
#endif
}

std::optional<std::string> systemCommandLine() { return std::nullopt; }

}  // namespace hg::platform
