#pragma once
// Decoder for the archive's version-2.0 compressed entries: LZ77 over a 1 MiB circular window with
// canonical Huffman codes, and an audio mode that codes bytes as deltas from a per-channel linear
// prediction. The state carries over between entries of a solid archive.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace hg {

class Decompressor {
public:
    static constexpr uint32_t kWindowSize = 0x100000;
    static constexpr uint32_t kWindowMask = kWindowSize - 1;
    // The longest match one symbol can stand for (258 plus two for far distances).
    static constexpr uint32_t kMaxMatchLength = 260;

    // The most bytes `packedSize` packed bytes can decode to: every symbol takes at least one bit,
    // none is read more than a byte past the end, and none stands for more than the longest match.
    static constexpr uint64_t maxUnpackedSize(uint64_t packedSize) { return (packedSize + 1) * 8 * kMaxMatchLength; }

    // Decodes one entry's packed bytes. A non-solid entry starts from cleared state; a solid one
    // continues with the window, tables and audio state of the previous entry. When `output` is
    // not empty it receives the entry's bytes (at most output.size()); the result is how many
    // bytes were written. Corrupt input never reads or writes outside the buffers: it only leaves
    // the output short or wrong, which the caller's CRC check catches.
    size_t decode(std::span<const uint8_t> packed, uint32_t unpackedSize, bool solid, std::span<uint8_t> output);

    // Huffman decoder over the code lengths of one table (exposed for tests).
    struct HuffmanDecoder {
        static constexpr int kQuickBits = 10;
        uint32_t limit[16] = {};
        uint32_t first[16] = {};
        uint32_t count = 0;
        std::array<uint16_t, 298> symbols{};
        // Codes of up to kQuickBits bits, by the top bits of the peeked value: length << 12 | symbol.
        // 0 sends the lookup down the slow path.
        std::array<uint16_t, 1 << kQuickBits> quick{};
        void build(const uint8_t* lengths, uint32_t symbolCount);
    };

private:
    struct AudioChannel {
        int w[5] = {};
        int d1 = 0, d2 = 0, d3 = 0, d4 = 0;
        int lastDelta = 0;
        uint32_t lastByte = 0;
        uint32_t errors[11] = {};
        uint32_t count = 0;
    };

    struct BitReader;

    void reset();
    bool readTables(BitReader& in);
    uint8_t predict(uint32_t delta);
    bool flush();

    std::vector<uint8_t> window_;
    uint32_t dirtyWindowBytes_ = 0;  // window bytes that may be non-zero since the last clear
    uint32_t unpackPosition_ = 0;
    uint32_t flushedPosition_ = 0;

    std::vector<uint8_t> input_;  // the packed bytes plus zero padding, so peeks never leave it

    std::span<uint8_t> output_;
    size_t produced_ = 0;
    bool stopped_ = false;

    uint32_t recentDistances_[4] = {};
    uint32_t recentPointer_ = 0;
    uint32_t lastDistance_ = 0;
    uint32_t lastLength_ = 0;
    uint8_t previousLengths_[1028] = {};

    HuffmanDecoder main_, distance_, repeatLength_, bitLength_;
    HuffmanDecoder audioDecoders_[4];

    bool audioMode_ = false;
    uint32_t channels_ = 1;
    uint32_t currentChannel_ = 0;
    int channelDelta_ = 0;
    AudioChannel audio_[4];
};

}  // namespace hg
