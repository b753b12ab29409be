#include "core/random.h"

#include <array>

namespace hg {
namespace {

// The generator's state: the last 34 values of r[i] = r[i - 31] + r[i - 3] (mod 2^32).
class AdditiveFeedback {
public:
    AdditiveFeedback() { seed(1); }

    void seed(uint32_t value) {
        if (value == 0) value = 1;
        std::array<int32_t, 344> r{};
        r[0] = static_cast<int32_t>(value);
        // The first 31 values come from a multiplicative congruential generator (16807 mod 2^31 - 1),
        // computed without overflow as the C library does it.
        for (int i = 1; i < 31; ++i) {
            const int64_t hi = r[i - 1] / 127773, lo = r[i - 1] % 127773;
            int64_t word = 16807 * lo - 2836 * hi;
            if (word < 0) word += 2147483647;
            r[i] = static_cast<int32_t>(word);
        }
        for (int i = 31; i < 34; ++i) r[i] = r[i - 31];
        // The first 310 sums are thrown away.
        for (int i = 34; i < 344; ++i) r[i] = static_cast<int32_t>(static_cast<uint32_t>(r[i - 31]) + static_cast<uint32_t>(r[i - 3]));
        for (int i = 0; i < 34; ++i) ring_[i] = static_cast<uint32_t>(r[310 + i]);
        next_ = 0;
    }

    int32_t next() {
        const uint32_t value = ring_[(next_ + 34 - 31) % 34] + ring_[(next_ + 34 - 3) % 34];
        ring_[next_] = value;
        next_ = (next_ + 1) % 34;
        return static_cast<int32_t>(value >> 1);
    }

private:
    std::array<uint32_t, 34> ring_{};
    int next_ = 0;
};

AdditiveFeedback generator;

}  // namespace

void seedRandom(uint32_t seed) { generator.seed(seed); }

int32_t nextRandom() { return generator.next(); }

}  // namespace hg
