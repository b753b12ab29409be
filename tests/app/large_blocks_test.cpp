// Loading's large temporaries: once the program has asked for it at start, a freed block the size
// of a decoded picture is handed out again with its pages, so the next picture faults nothing in.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace hg {
namespace {

long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

TEST(LargeBlocks, AFreedPictureBufferIsReusedWithItsPages) {
    platform::reuseLargeBlocks();
    constexpr size_t kPicture = 8u << 20;  // larger than any the allocator would keep by itself at first
    constexpr long kPages = long(kPicture / 4096);
    std::vector<uint8_t> first(kPicture, 1);
    const std::vector<uint8_t> later(4096, 2);  // something made after it, as the driver's texture is
    std::vector<uint8_t>().swap(first);
    const long before = minorFaults();
    const std::vector<uint8_t> second(kPicture, 3);
    const long faults = minorFaults() - before;
    // The buffers are used, so the compiler keeps their allocations.
    asm volatile("" : : "r"(second.data()), "r"(later.data()) : "memory");
    // A block mapped afresh faults once for each of its pages.
    EXPECT_LT(faults, kPages / 10) << "of " << kPages << " pages";
}

}  // namespace
}  // namespace hg
