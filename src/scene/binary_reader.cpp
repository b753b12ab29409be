#include "scene/binary_reader.h"

#include <cmath>

namespace hg {

bool BinaryReader::take(void* out, size_t count) {
    if (!ok_ || count > bytes_.size() - position_) {
        ok_ = false;
        std::memset(out, 0, count);
        return false;
    }
    std::memcpy(out, bytes_.data() + position_, count);
    position_ += count;
    return true;
}

int32_t BinaryReader::readInt32() {
    uint8_t b[4];
    take(b, 4);
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                                static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
}

uint8_t BinaryReader::readByte() {
    uint8_t b = 0;
    take(&b, 1);
    return b;
}

float BinaryReader::readFloat() {
    const uint32_t bits = static_cast<uint32_t>(readInt32());
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int32_t BinaryReader::readFloatIndex() {
    const float value = readFloat();
    if (!std::isfinite(value) || value < -2147483648.0f || value >= 2147483648.0f) {
        ok_ = false;
        return 0;
    }
    return static_cast<int32_t>(value);
}

std::string fileNamePart(std::string_view text) {
    const size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    const size_t separator = text.find_last_of("\\/");
    if (separator != std::string_view::npos) text = text.substr(separator + 1);
    return std::string(text);
}

std::string BinaryReader::readStringField() {
    const int32_t length = readInt32();
    if (!ok_) return {};
    if (length < 0 || static_cast<size_t>(length) > kMaxStringField || static_cast<size_t>(length) > remaining()) {
        ok_ = false;
        return {};
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes_.data() + position_), static_cast<size_t>(length));
    position_ += static_cast<size_t>(length);
    return fileNamePart(text);
}

bool BinaryReader::canHold(int64_t count, size_t recordBytes) {
    if (!ok_ || count < 0 || (recordBytes != 0 && static_cast<uint64_t>(count) > remaining() / recordBytes)) {
        ok_ = false;
        return false;
    }
    return true;
}

std::vector<float> BinaryReader::readFloats(int64_t count) {
    if (!canHold(count, 4) || count == 0) return {};
    std::vector<float> values(static_cast<size_t>(count));
    std::memcpy(values.data(), bytes_.data() + position_, values.size() * 4);
    position_ += values.size() * 4;
    return values;
}

void BinaryReader::skip(size_t count) {
    if (!ok_ || count > remaining()) {
        ok_ = false;
        return;
    }
    position_ += count;
}

}  // namespace hg
