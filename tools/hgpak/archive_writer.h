#pragma once
// Writes archives of stored entries in the container format the program reads: marker, main
// header, one file block per file and per folder, no end block.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hg::pak {

struct PackItem {
    std::string name;  // path inside the archive, '\' separators
    bool directory = false;
    std::vector<uint8_t> data;
    uint32_t dosTime = 0;
};

// DOS date and time (seconds halved); dates before 1980 become 1980-01-01 00:00:00.
uint32_t dosTime(int year, int month, int day, int hour, int minute, int second);

// "YYYY-MM-DDTHH:MM:SS" (a blank instead of the T is fine) as DOS date and time.
std::optional<uint32_t> parseTime(std::string_view text);

// The archive bytes for `items`, in the order given.
std::vector<uint8_t> writeStoredArchive(std::span<const PackItem> items);

// Every file and folder below `folder`, sorted by archive path. Without `fixedTime` each entry
// carries its own modification time (local time). False with a one-line reason on failure.
bool collectFolder(const std::filesystem::path& folder, std::optional<uint32_t> fixedTime,
                   std::vector<PackItem>& items, std::string& error);

}  // namespace hg::pak
