#include "archive/crc32.h"

#include <array>
#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define HG_CRC32_FOLDING 1
#endif

namespace hg {
namespace {

// Eight tables so the loop consumes eight bytes per step; table 0 is the classic byte table.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr CrcTables makeTables() {
    CrcTables tables{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i) {
        for (int t = 1; t < 8; ++t) tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFF];
    }
    return tables;
}

constexpr CrcTables kTables = makeTables();

// The running register (not inverted) through n bytes, eight at a time.
uint32_t tableCrc(const uint8_t* p, size_t n, uint32_t c) {
    while (n >= 8) {
        uint32_t lo = 0;
        uint32_t hi = 0;
        // Little-endian assembly by hand keeps this independent of the host's byte order.
        lo = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        hi = uint32_t(p[4]) | uint32_t(p[5]) << 8 | uint32_t(p[6]) << 16 | uint32_t(p[7]) << 24;
        lo ^= c;
        c = kTables[7][lo & 0xFF] ^ kTables[6][(lo >> 8) & 0xFF] ^ kTables[5][(lo >> 16) & 0xFF] ^
            kTables[4][lo >> 24] ^ kTables[3][hi & 0xFF] ^ kTables[2][(hi >> 8) & 0xFF] ^
            kTables[1][(hi >> 16) & 0xFF] ^ kTables[0][hi >> 24];
        p += 8;
        n -= 8;
    }
    while (n-- > 0) c = kTables[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
    return c;
}

#ifdef HG_CRC32_FOLDING

// Carry-less multiplication folds sixteen bytes at a time into a 128-bit remainder, four lanes
// abreast, then reduces it to the 32-bit register (folding by powers of x modulo the polynomial,
// then a Barrett reduction). The constants are x^k mod P for the fold distances, bit-reflected.
constexpr long long kFold4Low = 0x154442bd4, kFold4High = 0x1c6e41596;  // 512 bits on
constexpr long long kFold1Low = 0x1751997d0, kFold1High = 0x0ccaa009e;  // 128 bits on
constexpr long long kFold64To32 = 0x163cd6124;
constexpr long long kPolynomial = 0x1db710641, kBarrett = 0x1f7011641;

__attribute__((target("pclmul,sse4.1"))) inline __m128i fold(__m128i x, __m128i constants, __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(x, constants, 0x00);
    const __m128i high = _mm_clmulepi64_si128(x, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

__attribute__((target("pclmul,sse4.1"))) inline __m128i load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// n is at least 64 and a multiple of 16.
__attribute__((target("pclmul,sse4.1"))) uint32_t foldedCrc(const uint8_t* p, size_t n, uint32_t c) {
    const __m128i fold4 = _mm_set_epi64x(kFold4High, kFold4Low);
    const __m128i fold1 = _mm_set_epi64x(kFold1High, kFold1Low);
    const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);
    __m128i x1 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(c)));
    __m128i x2 = load(p + 16), x3 = load(p + 32), x4 = load(p + 48);
    for (p += 64, n -= 64; n >= 64; p += 64, n -= 64) {
        x1 = fold(x1, fold4, load(p));
        x2 = fold(x2, fold4, load(p + 16));
        x3 = fold(x3, fold4, load(p + 32));
        x4 = fold(x4, fold4, load(p + 48));
    }
    x1 = fold(fold(fold(x1, fold1, x2), fold1, x3), fold1, x4);
    for (; n >= 16; p += 16, n -= 16) x1 = fold(x1, fold1, load(p));
    // 128 bits to 64, 64 to 32, then the register.
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, fold1, 0x10));
    const __m128i fold64 = _mm_set_epi64x(0, kFold64To32);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 4), _mm_clmulepi64_si128(_mm_and_si128(x1, low32), fold64, 0x00));
    const __m128i barrett = _mm_set_epi64x(kBarrett, kPolynomial);
    __m128i t = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), barrett, 0x10), low32);
    t = _mm_clmulepi64_si128(t, barrett, 0x00);
    return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, t), 1));
}

bool canFold() {
    static const bool supported = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return supported;
}

#endif

}  // namespace

uint32_t crc32(std::span<const uint8_t> bytes, uint32_t crc) {
    uint32_t c = ~crc;
    const uint8_t* p = bytes.data();
    size_t n = bytes.size();
#ifdef HG_CRC32_FOLDING
    if (n >= 64 && canFold()) {
        const size_t whole = n & ~size_t{15};
        c = foldedCrc(p, whole, c);
        p += whole;
        n -= whole;
    }
#endif
    return ~tableCrc(p, n, c);
}

uint32_t crc32ByTables(std::span<const uint8_t> bytes, uint32_t crc) { return ~tableCrc(bytes.data(), bytes.size(), ~crc); }

}  // namespace hg
