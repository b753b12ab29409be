#pragma once
// The program's random numbers: the C library's rand() and srand() as the GNU C library computes
// them (an additive feedback generator, 0 to 2^31 - 1), on every system. Windows' own rand() is
// another generator with another range, so with the system's rand a seed would choose other
// flights and other sparks there; with this one a seed shows the same pictures everywhere.
// One sequence for the whole process, like rand(); not for more than one thread.
#include <cstdint>

namespace hg {

inline constexpr int32_t kRandomMax = 2147483647;

// Starts the sequence again from `seed` (0 counts as 1, as in the C library).
void seedRandom(uint32_t seed);
// The next number of the sequence, 0 to kRandomMax.
int32_t nextRandom();

}  // namespace hg
