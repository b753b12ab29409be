// Hand-made version-2.0 streams for the cases real archives rarely pin down on their own.
#include "archive/decompressor.h"

#include <gtest/gtest.h>

#include <string>

namespace hg {
namespace {

// Writes bits most significant first, the order the decoder peeks them in.
class BitWriter {
public:
    void put(uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            if (bit_ == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() |= uint8_t(0x80 >> bit_);
            bit_ = (bit_ + 1) & 7;
        }
    }
    std::vector<uint8_t> finish() {
        // Enough trailing zero bytes that the decoder never reads short before it is done.
        for (int i = 0; i < 8; ++i) put(0, 8);
        return bytes_;
    }

private:
    std::vector<uint8_t> bytes_;
    int bit_ = 0;
};

// An LZ table in which main symbols 'A', 'B', 'C', 256, 257, 261, 269 and 270 have 3-bit codes
// (in that order: 000 ... 111), distance symbols 0 and 4 have codes 0 and 1, and repeat-length
// symbols 0 and 1 have codes 0 and 1. The bit-length code gives 0..14 and 18 four bits each, so a
// length delta n is written as n and a zero run as 15 followed by 7 bits.
void putLzTable(BitWriter& out, bool keepPrevious, const uint8_t (&previous)[374], bool overlongFinalRun) {
    out.put(keepPrevious ? 1 : 0, 2);  // LZ mode; bit 14 = keep previous lengths
    for (int i = 0; i < 19; ++i) out.put((i <= 14 || i == 18) ? 4 : 0, 4);
    uint8_t lengths[374] = {};
    for (int s : {65, 66, 67, 256, 257, 261, 269, 270}) lengths[s] = 3;
    lengths[298 + 0] = lengths[298 + 4] = 1;
    lengths[346 + 0] = lengths[346 + 1] = 1;
    int i = 0;
    while (i < 374) {
        const uint8_t delta = uint8_t((lengths[i] - (keepPrevious ? previous[i] : 0)) & 15);
        if (overlongFinalRun && i == 350) {
            // The last 24 entries are zero: ask for 138 zeros, more than the table has left.
            out.put(15, 4);
            out.put(127, 7);
            break;
        }
        if (delta == 15) {
            ADD_FAILURE() << "length delta 15 has no code in this table";
            return;
        }
        out.put(delta, 4);
        ++i;
    }
}

enum Symbol : uint32_t { kA = 0, kB = 1, kC = 2, kRepeatLast = 3, kRecent1 = 4, kShort0 = 5, kTables = 6, kMatch3 = 7 };

std::string decodeText(const std::vector<uint8_t>& stream, uint32_t size) {
    Decompressor decompressor;
    std::vector<uint8_t> out(size);
    const size_t produced = decompressor.decode(stream, size, false, out);
    return std::string(out.begin(), out.begin() + std::ptrdiff_t(produced));
}

TEST(Decompressor, MatchesRepeatsRecentDistancesAndShortDistances) {
    const uint8_t none[374] = {};
    BitWriter out;
    putLzTable(out, false, none, false);
    out.put(kA, 3);
    out.put(kMatch3, 3);  // length 0 + 3, distance symbol 0: distance 1 -> "AAA"
    out.put(0, 1);
    out.put(kB, 3);
    out.put(kMatch3, 3);  // distance symbol 4: 4 + 1 + extra bit 0 = 5 -> "AAA"
    out.put(1, 1);
    out.put(0, 1);
    out.put(kRepeatLast, 3);  // last length 3 at last distance 5 -> "ABA"
    out.put(kC, 3);
    out.put(kRecent1, 3);  // most recent distance (5), repeat-length symbol 1: 1 + 2 = 3 -> "AAB"
    out.put(1, 1);
    out.put(kShort0, 3);  // short distance 0 + 1 + 2 extra bits (0): distance 1, length 2 -> "BB"
    out.put(0, 2);
    EXPECT_EQ(decodeText(out.finish(), 17), "AAAABAAAABACAABBB");
}

TEST(Decompressor, TableDeltasApplyToThePreviousTableOnlyWhenAsked) {
    const uint8_t none[374] = {};
    uint8_t same[374] = {};
    for (int s : {65, 66, 67, 256, 257, 261, 269, 270}) same[s] = 3;
    same[298] = same[302] = same[346] = same[347] = 1;

    BitWriter out;
    putLzTable(out, false, none, false);
    out.put(kA, 3);
    out.put(kTables, 3);
    putLzTable(out, true, same, false);  // all deltas 0: the same codes again
    out.put(kB, 3);
    out.put(kTables, 3);
    putLzTable(out, false, none, true);  // absolute lengths, ending in a run past the table's end
    out.put(kC, 3);
    EXPECT_EQ(decodeText(out.finish(), 3), "ABC");
}

TEST(Decompressor, DistanceBeforeTheFirstByteReadsTheClearedWindow) {
    const uint8_t none[374] = {};
    BitWriter out;
    putLzTable(out, false, none, false);
    out.put(kA, 3);
    out.put(kMatch3, 3);  // distance 6 from position 1: before the first byte written
    out.put(1, 1);
    out.put(1, 1);
    EXPECT_EQ(decodeText(out.finish(), 4), std::string("A\0\0\0", 4));
}

TEST(Decompressor, EmptyOrExhaustedInputStopsShort) {
    Decompressor decompressor;
    std::vector<uint8_t> out(1000, 0xAA);
    EXPECT_LT(decompressor.decode({}, 1000, false, out), 1000u);
    const std::vector<uint8_t> ones(40, 0xFF);
    EXPECT_LT(decompressor.decode(ones, 1000, false, out), 1000u);
    // A solid continuation with no tables ever read decodes nothing useful, and stays in bounds.
    EXPECT_LT(decompressor.decode(ones, 1000, true, out), 1000u);
}

TEST(Decompressor, AMatchFromJustAheadInTheWindowCopiesByteByByte) {
    // "AB", then repeats of it at distance 2 until the window has wrapped; then a match at distance
    // 2^20 - 1, whose source is the byte after the destination in the wrapped window.
    BitWriter out;
    out.put(0, 2);
    for (int i = 0; i < 19; ++i) out.put(i <= 2 ? 2 : 0, 4);  // lengths 0, 1, 2: codes 00, 01, 10
    uint8_t lengths[374] = {};
    lengths[uint8_t{'A'}] = lengths[uint8_t{'B'}] = lengths[256] = lengths[297] = 2;  // codes 00, 01, 10, 11
    lengths[298 + 1] = lengths[298 + 47] = 1;                      // distance 2: 0; 983041 + 16 bits: 1
    for (uint8_t length : lengths) out.put(length, 2);
    out.put(0, 2);  // A
    out.put(1, 2);  // B
    out.put(3, 2);  // 224 + 3 + 31 = 258 at distance 2
    out.put(31, 5);
    out.put(0, 1);
    const int repeats = 4064;  // 2 + 258 * 4065 = 2^20 + 196
    for (int i = 0; i < repeats; ++i) out.put(2, 2);
    out.put(3, 2);  // 224 + 3 + 0, two longer for the far distance: 229 ...
    out.put(0, 5);
    out.put(1, 1);  // ... at 983041 + 65534 = 2^20 - 1
    out.put(65534, 16);
    const size_t before = 2 + 258 * size_t(repeats + 1);
    const std::string text = decodeText(out.finish(), uint32_t(before + 229));
    ASSERT_EQ(text.size(), before + 229);
    EXPECT_EQ(text.substr(before - 4, 4), "ABAB");
    // Position 196 takes the byte of 197, 197 the new byte of 198, and so on: the pattern shifted.
    std::string shifted;
    for (int i = 0; i < 229; ++i) shifted += i % 2 == 0 ? 'B' : 'A';
    EXPECT_EQ(text.substr(before), shifted);
}

TEST(Decompressor, NoStreamDecodesToMoreThanItsBound) {
    // The densest stream there is: one match of the longest length at a far distance, then one-bit
    // repeats of it until the input has run out (the reader's bound on what an entry can claim).
    BitWriter out;
    out.put(0, 2);  // LZ mode, fresh lengths
    for (int i = 0; i < 19; ++i) out.put(i <= 1 ? 1 : 0, 4);  // length deltas 0 and 1: codes 0 and 1
    uint8_t lengths[374] = {};
    lengths[256] = lengths[297] = 1;  // repeat the last match: 0; the longest length slot: 1
    lengths[298 + 36] = 1;            // a distance of 2^18 and more
    for (uint8_t length : lengths) out.put(length, 1);
    out.put(1, 1);   // symbol 297: 224 + 3 + 31 = 258 ...
    out.put(31, 5);
    out.put(0, 1);   // ... at distance 262144 + 1: two longer, 260
    out.put(0, 16);
    for (int i = 0; i < 200; ++i) out.put(0, 8);  // 1600 repeats of it
    const std::vector<uint8_t> stream = out.finish();

    const uint64_t bound = Decompressor::maxUnpackedSize(stream.size());
    std::vector<uint8_t> output(bound + 4096);
    Decompressor decompressor;
    const size_t produced = decompressor.decode(stream, uint32_t(output.size()), false, output);
    EXPECT_LE(produced, bound);
    EXPECT_GT(produced, bound / 2);
    EXPECT_EQ(produced % Decompressor::kMaxMatchLength, 0u);
}

}  // namespace
}  // namespace hg
