#pragma once
// A cursor over the bytes of one of our own little-endian data files (.BSM, .BSA, .BSS, particle
// .bin). Every read is checked against the end: a file that ends early or lies about its counts
// turns the reader into its failed state instead of reading foreign memory.
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace hg {

class BinaryReader {
public:
    explicit BinaryReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    size_t position() const { return position_; }
    size_t remaining() const { return ok_ ? bytes_.size() - position_ : 0; }
    bool atEnd() const { return position_ == bytes_.size(); }

    int32_t readInt32();
    uint8_t readByte();
    float readFloat();
    // An index stored as a whole-number float, truncated toward zero; non-finite or out-of-range
    // values fail the reader.
    int32_t readFloatIndex();
    // An int32 byte count and the bytes; the text is cut at the first zero byte and reduced to the
    // part after the last '\' or '/'.
    std::string readStringField();
    // `count` floats; a count the remaining bytes cannot hold fails the reader (no allocation).
    std::vector<float> readFloats(int64_t count);
    // Makes sure `count` records of `recordBytes` bytes can still follow; fails the reader if not.
    bool canHold(int64_t count, size_t recordBytes);
    void skip(size_t count);
    void fail() { ok_ = false; }

    static constexpr size_t kMaxStringField = 2999;

private:
    bool take(void* out, size_t count);

    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
    bool ok_ = true;
};

// The part of a path after its last '\' or '/', cut at the first zero byte.
std::string fileNamePart(std::string_view text);

}  // namespace hg
