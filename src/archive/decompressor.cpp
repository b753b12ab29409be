#include "archive/decompressor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace hg {
namespace {

constexpr uint8_t kLengthBase[28] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  10,  12,  14,  16,  20,
                                     24, 28, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224};
constexpr uint8_t kLengthBits[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                     2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
constexpr uint32_t kDistanceBase[48] = {
    0,      1,      2,      3,      4,      6,      8,      12,     16,     24,     32,     48,
    64,     96,     128,    192,    256,    384,    512,    768,    1024,   1536,   2048,   3072,
    4096,   6144,   8192,   12288,  16384,  24576,  32768,  49152,  65536,  98304,  131072, 196608,
    262144, 327680, 393216, 458752, 524288, 589824, 655360, 720896, 786432, 851968, 917504, 983040};
constexpr uint8_t kDistanceBits[48] = {0,  0,  0,  0,  1,  1,  2,  2,  3,  3,  4,  4,  5,  5,  6,  6,
                                       7,  7,  8,  8,  9,  9,  10, 10, 11, 11, 12, 12, 13, 13, 14, 14,
                                       15, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};
// The last length slot with all its extra bits, three for a new match and two for far distances.
static_assert(kLengthBase[27] + (1u << kLengthBits[27]) - 1 + 3 + 2 == Decompressor::kMaxMatchLength);
constexpr uint8_t kShortBase[8] = {0, 4, 8, 16, 32, 64, 128, 192};
constexpr uint8_t kShortBits[8] = {2, 2, 3, 4, 5, 6, 6, 6};

constexpr uint32_t kMainSymbols = 298;
constexpr uint32_t kDistanceSymbols = 48;
constexpr uint32_t kRepeatSymbols = 28;
constexpr uint32_t kBitLengthSymbols = 19;
constexpr uint32_t kAudioSymbols = 257;
constexpr uint32_t kLzTableSize = kMainSymbols + kDistanceSymbols + kRepeatSymbols;  // 374

// Room behind the packed bytes: one pass of the decode loop consumes at most 8 bytes and a peek
// looks 4 bytes ahead, and the loop stops as soon as the position passes the real end.
constexpr size_t kInputPadding = 64;

// A flush is due when the unpack position comes this close behind the flushed one.
constexpr uint32_t kFlushMargin = 270;

}  // namespace

void Decompressor::HuffmanDecoder::build(const uint8_t* lengths, uint32_t symbolCount) {
    uint32_t lengthCount[16] = {};
    for (uint32_t i = 0; i < symbolCount; ++i) lengthCount[lengths[i] & 15]++;
    lengthCount[0] = 0;
    uint32_t n = 0;
    limit[0] = 0;
    first[0] = 0;
    for (int l = 1; l < 16; ++l) {
        n = 2 * (n + lengthCount[l]);
        limit[l] = std::min<uint32_t>(n << (15 - l), 0xFFFF);
        first[l] = first[l - 1] + lengthCount[l - 1];
    }
    uint32_t next[16];
    std::copy(std::begin(first), std::end(first), std::begin(next));
    count = 0;
    for (uint32_t i = 0; i < symbolCount; ++i) {
        const uint8_t l = lengths[i] & 15;
        if (l != 0) {
            symbols[next[l]++] = uint16_t(i);
            ++count;
        }
    }

    // Fill the quick table for every prefix whose whole range of 16-bit values lies inside the
    // band of one code length: those values all give the same length and the same list index.
    quick.fill(0);
    if (count == 0) return;
    constexpr uint32_t kShift = 16 - kQuickBits;
    constexpr uint32_t kLowMax = ((1u << kShift) - 1) & 0xFFFE;  // peeks are cut to even values
    for (uint32_t l = 1; l <= uint32_t(kQuickBits); ++l) {
        const uint32_t low = limit[l - 1];
        const uint32_t high = limit[l];
        for (uint32_t prefix = (low + (1u << kShift) - 1) >> kShift; prefix < (1u << kQuickBits); ++prefix) {
            const uint32_t v = prefix << kShift;
            if ((v | kLowMax) >= high) break;
            uint32_t index = first[l] + ((v - low) >> (16 - l));
            if (index >= count) index = 0;
            quick[prefix] = uint16_t(l << 12 | symbols[index]);
        }
    }
}

// The bit cursor over the padded packed bytes. It lives in a local of the decode loop so the
// compiler can keep it in registers: stores into the window (bytes) could alias a member.
struct Decompressor::BitReader {
    const uint8_t* data;
    size_t size;  // real packed bytes; the padding behind them reads as zeros
    size_t position = 0;  // in bits

    // The 16 bits after the cursor, most significant first.
    [[gnu::always_inline]] uint32_t peek16() const {
        uint32_t v;
        std::memcpy(&v, data + (position >> 3), 4);
        v = __builtin_bswap32(v);
        return (v << (position & 7)) >> 16;
    }
    [[gnu::always_inline]] uint32_t read(uint32_t n) {
        const uint32_t v = peek16() >> (16 - n);
        position += n;
        return v;
    }
    bool overrun() const { return (position >> 3) > size; }
    size_t bytePosition() const { return position >> 3; }

    [[gnu::always_inline]] uint32_t decode(const HuffmanDecoder& decoder) {
        const uint32_t v = peek16() & 0xFFFE;
        const uint16_t quick = decoder.quick[v >> (16 - HuffmanDecoder::kQuickBits)];
        if (quick != 0) {
            position += quick >> 12;
            return quick & 0xFFF;
        }
        // Limits are multiples of 2^(16 - L), so every code of up to kQuickBits bits is in the
        // quick table: a miss means a longer code (or an empty table, where every limit is 0).
        uint32_t l = 15;
        for (uint32_t k = HuffmanDecoder::kQuickBits + 1; k < 15; ++k) {
            if (v < decoder.limit[k]) {
                l = k;
                break;
            }
        }
        position += l;
        // An empty table has no symbol to give; 0 keeps the stream moving until the input runs out.
        if (decoder.count == 0) return 0;
        uint32_t index = decoder.first[l] + ((v - decoder.limit[l - 1]) >> (16 - l));
        if (index >= decoder.count) index = 0;
        return decoder.symbols[index];
    }
};

namespace {

[[gnu::always_inline]] inline void copyMatch(uint8_t* window, uint32_t& unpack, uint32_t distance, uint32_t length) {
    constexpr uint32_t kSize = Decompressor::kWindowSize;
    constexpr uint32_t kMask = Decompressor::kWindowMask;
    uint32_t dst = unpack;
    uint32_t src = (dst - distance) & kMask;
    if (dst + length <= kSize && src + length <= kSize) {
        // A distance close to the window's size puts the source just ahead of the destination, so
        // the two are apart by the gap either way round, not by the distance.
        const uint32_t gap = src < dst ? dst - src : src - dst;
        if (gap >= length) {
            std::memcpy(window + dst, window + src, length);
        } else {
            // Overlapping copies go byte by byte in order: from behind they repeat the last
            // `distance` bytes as a pattern.
            for (uint32_t i = 0; i < length; ++i) window[dst + i] = window[src + i];
        }
    } else {
        for (uint32_t i = 0; i < length; ++i) {
            window[dst] = window[src];
            dst = (dst + 1) & kMask;
            src = (src + 1) & kMask;
        }
    }
    unpack = (unpack + length) & kMask;
}

}  // namespace

void Decompressor::reset() {
    if (window_.size() != kWindowSize) {
        window_.assign(kWindowSize, 0);
    } else if (dirtyWindowBytes_ > 0) {
        std::memset(window_.data(), 0, dirtyWindowBytes_);
    }
    dirtyWindowBytes_ = 0;
    unpackPosition_ = 0;
    flushedPosition_ = 0;
    std::fill(std::begin(recentDistances_), std::end(recentDistances_), 0);
    recentPointer_ = 0;
    lastDistance_ = 0;
    lastLength_ = 0;
    std::memset(previousLengths_, 0, sizeof previousLengths_);
    audioMode_ = false;
    channels_ = 1;
    currentChannel_ = 0;
    channelDelta_ = 0;
    for (auto& channel : audio_) channel = AudioChannel{};
    // Tables from a previous request must not decode anything: a solid entry that arrives
    // without tables of its own finds empty ones.
    const uint8_t none[kMainSymbols] = {};
    main_.build(none, kMainSymbols);
    distance_.build(none, kDistanceSymbols);
    repeatLength_.build(none, kRepeatSymbols);
    for (auto& decoder : audioDecoders_) decoder.build(none, kAudioSymbols);
}

bool Decompressor::readTables(BitReader& in) {
    if (in.overrun()) return false;
    const uint32_t v = in.peek16();
    audioMode_ = (v & 0x8000) != 0;
    if ((v & 0x4000) == 0) std::memset(previousLengths_, 0, sizeof previousLengths_);
    in.position += 2;

    uint32_t tableSize = kLzTableSize;
    if (audioMode_) {
        channels_ = ((v >> 12) & 3) + 1;
        if (currentChannel_ >= channels_) currentChannel_ = 0;
        in.position += 2;
        tableSize = kAudioSymbols * channels_;
    }

    uint8_t bitLengths[kBitLengthSymbols];
    for (auto& length : bitLengths) length = uint8_t(in.read(4));
    bitLength_.build(bitLengths, kBitLengthSymbols);

    // Entries past this table's size stay 0 so the whole array is defined when it becomes the
    // previous lengths.
    uint8_t table[1028] = {};
    uint32_t i = 0;
    while (i < tableSize) {
        if (in.overrun()) return false;
        const uint32_t n = in.decode(bitLength_);
        if (n < 16) {
            table[i] = uint8_t((n + previousLengths_[i]) & 15);
            ++i;
        } else if (n == 16) {
            uint32_t run = in.read(2) + 3;
            // A repeat at the very start has no previous length to repeat: it repeats 0.
            const uint8_t repeated = i > 0 ? table[i - 1] : 0;
            for (; run > 0 && i < tableSize; --run) table[i++] = repeated;
        } else {
            uint32_t run = n == 17 ? in.read(3) + 3 : in.read(7) + 11;
            for (; run > 0 && i < tableSize; --run) table[i++] = 0;
        }
    }
    if (in.overrun()) return false;

    if (audioMode_) {
        for (uint32_t c = 0; c < channels_; ++c) audioDecoders_[c].build(table + kAudioSymbols * c, kAudioSymbols);
    } else {
        main_.build(table, kMainSymbols);
        distance_.build(table + kMainSymbols, kDistanceSymbols);
        repeatLength_.build(table + kMainSymbols + kDistanceSymbols, kRepeatSymbols);
    }
    std::memcpy(previousLengths_, table, sizeof table);
    return true;
}

uint8_t Decompressor::predict(uint32_t delta) {
    AudioChannel& v = audio_[currentChannel_];
    v.count++;
    v.d4 = v.d3;
    v.d3 = v.d2;
    v.d2 = v.lastDelta - v.d1;
    v.d1 = v.lastDelta;
    const int cd = channelDelta_;
    const int p = ((8 * int(v.lastByte) + v.w[0] * v.d1 + v.w[1] * v.d2 + v.w[2] * v.d3 + v.w[3] * v.d4 +
                    v.w[4] * cd) >> 3) & 0xFF;
    const uint8_t out = uint8_t(p - int(delta));

    const int d = int(int8_t(uint8_t(delta))) * 8;
    v.errors[0] += uint32_t(std::abs(d));
    v.errors[1] += uint32_t(std::abs(d - v.d1));
    v.errors[2] += uint32_t(std::abs(d + v.d1));
    v.errors[3] += uint32_t(std::abs(d - v.d2));
    v.errors[4] += uint32_t(std::abs(d + v.d2));
    v.errors[5] += uint32_t(std::abs(d - v.d3));
    v.errors[6] += uint32_t(std::abs(d + v.d3));
    v.errors[7] += uint32_t(std::abs(d - v.d4));
    v.errors[8] += uint32_t(std::abs(d + v.d4));
    v.errors[9] += uint32_t(std::abs(d - cd));
    v.errors[10] += uint32_t(std::abs(d + cd));

    v.lastDelta = channelDelta_ = int8_t(uint8_t(out - v.lastByte));
    v.lastByte = out;

    if ((v.count & 0x1F) == 0) {
        uint32_t best = 0;
        for (uint32_t k = 1; k < 11; ++k) {
            if (v.errors[k] < v.errors[best]) best = k;
        }
        std::fill(std::begin(v.errors), std::end(v.errors), 0);
        if (best > 0) {
            int& w = v.w[(best - 1) / 2];
            if (best & 1) {
                if (w >= -16) --w;
            } else {
                if (w < 16) ++w;
            }
        }
    }
    return out;
}

bool Decompressor::flush() {
    const uint32_t from = flushedPosition_;
    const uint32_t to = unpackPosition_;
    flushedPosition_ = to;
    if (from == to || output_.empty()) return true;
    const uint32_t n = (to - from) & kWindowMask;
    if (produced_ + n > output_.size()) {
        stopped_ = true;
        return false;
    }
    if (from < to) {
        std::memcpy(output_.data() + produced_, window_.data() + from, n);
    } else {
        const uint32_t tail = kWindowSize - from;
        std::memcpy(output_.data() + produced_, window_.data() + from, tail);
        std::memcpy(output_.data() + produced_ + tail, window_.data(), to);
    }
    produced_ += n;
    return true;
}

size_t Decompressor::decode(std::span<const uint8_t> packed, uint32_t unpackedSize, bool solid,
                            std::span<uint8_t> output) {
    if (!solid || window_.size() != kWindowSize) reset();
    input_.resize(packed.size() + kInputPadding);
    if (!packed.empty()) std::memcpy(input_.data(), packed.data(), packed.size());
    std::memset(input_.data() + packed.size(), 0, kInputPadding);
    BitReader in{input_.data(), packed.size()};
    output_ = output;
    produced_ = 0;
    stopped_ = false;

    const uint32_t startPosition = unpackPosition_;
    bool ok = solid || readTables(in);

    int64_t remaining = int64_t(unpackedSize) - 1;
    uint8_t* const window = window_.data();
    uint32_t unpack = unpackPosition_;
    while (ok && remaining >= 0) {
        if (in.overrun()) {
            ok = false;
            break;
        }
        if (((flushedPosition_ - unpack) & kWindowMask) < kFlushMargin && flushedPosition_ != unpack) {
            unpackPosition_ = unpack;
            if (!flush()) break;
        }
        if (audioMode_) {
            const uint32_t symbol = in.decode(audioDecoders_[currentChannel_]);
            if (symbol == 256) {
                ok = readTables(in);
                continue;
            }
            window[unpack] = predict(symbol);
            unpack = (unpack + 1) & kWindowMask;
            if (++currentChannel_ == channels_) currentChannel_ = 0;
            --remaining;
            continue;
        }

        const uint32_t symbol = in.decode(main_);
        if (symbol < 256) {
            window[unpack] = uint8_t(symbol);
            unpack = (unpack + 1) & kWindowMask;
            --remaining;
            continue;
        }
        if (symbol == 269) {
            ok = readTables(in);
            continue;
        }
        if (symbol == 256) {
            recentDistances_[recentPointer_++ & 3] = lastDistance_;
            copyMatch(window, unpack, lastDistance_, lastLength_);
            remaining -= lastLength_;
            continue;
        }
        uint32_t distance = 0;
        uint32_t length = 0;
        if (symbol < 261) {
            distance = recentDistances_[(recentPointer_ - (symbol - 256)) & 3];
            const uint32_t n = in.decode(repeatLength_);
            length = kLengthBase[n] + 2 + in.read(kLengthBits[n]);
            if (distance >= 0x101) ++length;
            if (distance >= 0x2000) ++length;
            if (distance >= 0x40000) ++length;
        } else if (symbol < 269) {
            const uint32_t k = symbol - 261;
            distance = kShortBase[k] + 1 + in.read(kShortBits[k]);
            length = 2;
        } else {
            const uint32_t k = symbol - 270;
            length = kLengthBase[k] + 3 + in.read(kLengthBits[k]);
            const uint32_t n = in.decode(distance_);
            distance = kDistanceBase[n] + 1 + in.read(kDistanceBits[n]);
            if (distance >= 0x2000) ++length;
            if (distance >= 0x40000) ++length;
        }
        recentDistances_[recentPointer_++ & 3] = distance;
        lastDistance_ = distance;
        lastLength_ = length;
        copyMatch(window, unpack, distance, length);
        remaining -= length;
    }
    unpackPosition_ = unpack;

    // Tables that follow the last symbol belong to the next entry of a solid stream.
    if (ok && !stopped_ && in.size >= 5 && in.bytePosition() <= in.size - 5) {
        const uint32_t symbol = audioMode_ ? in.decode(audioDecoders_[currentChannel_]) : in.decode(main_);
        if ((audioMode_ && symbol == 256) || (!audioMode_ && symbol == 269)) readTables(in);
    }
    if (!stopped_) flush();

    // Track how much of the window the next clear has to wipe; `remaining` went down by exactly
    // the number of bytes written.
    const int64_t written = int64_t(unpackedSize) - 1 - remaining;
    if (int64_t(startPosition) + written >= int64_t(kWindowSize)) {
        dirtyWindowBytes_ = kWindowSize;
    } else {
        dirtyWindowBytes_ = std::max(dirtyWindowBytes_, unpackPosition_);
    }
    output_ = {};
    return produced_;
}

}  // namespace hg
