#pragma once
// What every fuzz target shares: the entry point libFuzzer (or replay_main.cpp) calls, and the
// check that ends the run when a reader hands back something inconsistent.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace hg::fuzz {

// A broken invariant is a fault like a bad read: abort, so libFuzzer saves the input as a crash
// and a replay fails.
inline void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// The input as a span; libFuzzer may pass a null pointer with size 0.
inline std::span<const uint8_t> inputOf(const uint8_t* data, size_t size) {
    return size == 0 ? std::span<const uint8_t>() : std::span<const uint8_t>(data, size);
}

}  // namespace hg::fuzz
