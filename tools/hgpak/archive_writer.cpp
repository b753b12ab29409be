#include "hgpak/archive_writer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>

#include "archive/crc32.h"

namespace hg::pak {
namespace {

constexpr uint8_t kMarker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr uint8_t kVersionNeeded = 20;
constexpr uint8_t kMethodStored = 0x30;
constexpr uint8_t kHostWin32 = 2;
constexpr uint16_t kFlagLongBlock = 0x8000;
constexpr uint16_t kFlagDirectory = 0x00E0;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeArchive = 0x20;

void putU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// The header CRC is the low half of the CRC-32 of the header from its type byte on; the header
// must be the last thing in `out` when this runs.
void sealHeader(std::vector<uint8_t>& out, size_t headerStart) {
    const uint32_t crc = crc32(std::span<const uint8_t>(out).subspan(headerStart + 2));
    out[headerStart] = uint8_t(crc);
    out[headerStart + 1] = uint8_t(crc >> 8);
}

bool readFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

uint32_t modificationTime(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return dosTime(1980, 1, 1, 0, 0, 0);
    std::tm local{};
    ::localtime_r(&info.st_mtime, &local);
    return dosTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

}  // namespace

uint32_t dosTime(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1980) return dosTime(1980, 1, 1, 0, 0, 0);
    year = std::min(year, 1980 + 127);
    const uint32_t date = uint32_t(year - 1980) << 9 | uint32_t(month) << 5 | uint32_t(day);
    const uint32_t time = uint32_t(hour) << 11 | uint32_t(minute) << 5 | uint32_t(second / 2);
    return date << 16 | time;
}

std::optional<uint32_t> parseTime(std::string_view text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char separator = 0;
    char tail = 0;
    const std::string copy(text);
    if (std::sscanf(copy.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%c", &year, &month, &day, &separator, &hour, &minute,
                    &second, &tail) != 7)
        return std::nullopt;
    if (separator != 'T' && separator != ' ') return std::nullopt;
    if (year < 1980 || year > 2107 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 ||
        second > 59 || hour < 0 || minute < 0 || second < 0)
        return std::nullopt;
    return dosTime(year, month, day, hour, minute, second);
}

std::vector<uint8_t> writeStoredArchive(std::span<const PackItem> items) {
    std::vector<uint8_t> out(std::begin(kMarker), std::end(kMarker));

    const size_t mainStart = out.size();
    putU16(out, 0);
    out.push_back(0x73);
    putU16(out, 0);   // flags: not solid, not a volume
    putU16(out, 13);  // header size
    putU16(out, 0);
    putU32(out, 0);
    sealHeader(out, mainStart);

    for (const PackItem& item : items) {
        const size_t start = out.size();
        const uint32_t size = item.directory ? 0 : uint32_t(item.data.size());
        putU16(out, 0);
        out.push_back(0x74);
        putU16(out, uint16_t(kFlagLongBlock | (item.directory ? kFlagDirectory : 0)));
        putU16(out, uint16_t(32 + item.name.size()));
        putU32(out, size);  // packed
        putU32(out, size);  // unpacked
        out.push_back(kHostWin32);
        putU32(out, item.directory ? 0 : crc32(item.data));
        putU32(out, item.dosTime);
        out.push_back(kVersionNeeded);
        out.push_back(kMethodStored);
        putU16(out, uint16_t(item.name.size()));
        putU32(out, item.directory ? kAttributeDirectory : kAttributeArchive);
        out.insert(out.end(), item.name.begin(), item.name.end());
        sealHeader(out, start);
        if (!item.directory) out.insert(out.end(), item.data.begin(), item.data.end());
    }
    return out;
}

bool collectFolder(const std::filesystem::path& folder, std::optional<uint32_t> fixedTime,
                   std::vector<PackItem>& items, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code code;
    if (!fs::is_directory(folder, code)) {
        error = folder.string() + ": not a folder";
        return false;
    }
    items.clear();
    for (fs::recursive_directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) {
        const fs::path& path = it->path();
        const bool directory = it->is_directory(code);
        if (!directory && !it->is_regular_file(code)) continue;
        std::string name = path.lexically_relative(folder).generic_string();
        std::replace(name.begin(), name.end(), '/', '\\');
        if (name.size() > 259) {
            error = path.string() + ": path too long for the archive";
            return false;
        }
        PackItem item;
        item.name = std::move(name);
        item.directory = directory;
        item.dosTime = fixedTime ? *fixedTime : modificationTime(path);
        if (!directory) {
            if (fs::file_size(path, code) > 0xFFFFFFFFull) {
                error = path.string() + ": larger than 4 GiB";
                return false;
            }
            if (!readFile(path, item.data)) {
                error = path.string() + ": cannot read";
                return false;
            }
        }
        items.push_back(std::move(item));
    }
    if (code) {
        error = folder.string() + ": " + code.message();
        return false;
    }
    std::sort(items.begin(), items.end(), [](const PackItem& a, const PackItem& b) { return a.name < b.name; });
    return true;
}

}  // namespace hg::pak
