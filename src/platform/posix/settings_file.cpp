#include "platform/posix/settings_file.h"

#include <charconv>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/platform.h"

namespace hg {

namespace platform {
std::unique_ptr<SettingsStore> openSettingsStore() { return std::make_unique<FileSettingsStore>(settingsFilePath()); }
}  // namespace platform
namespace {

std::vector<std::string> readLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (in && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::optional<SettingsLine> parseSettingsLine(std::string_view line) {
    // Names contain blanks ("Enable sound:"), so the value is what follows the last blank.
    const size_t blank = line.rfind(' ');
    if (blank == std::string_view::npos || blank == 0) return std::nullopt;
    SettingsLine parsed{std::string(line.substr(0, blank)), std::nullopt};
    const std::string_view digits = line.substr(blank + 1);
    // A 32-bit value: 0 to 4294967295, or written signed (-1 for "every monitor") as its two's
    // complement, as the store writes values from 2^31 up.
    int64_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    const bool whole = error == std::errc() && end == digits.data() + digits.size() && !digits.empty() && digits[0] != '+';
    if (whole && value >= INT32_MIN && value <= UINT32_MAX) parsed.value = static_cast<uint32_t>(value);
    return parsed;
}

std::string settingsValueText(uint32_t value) {
    return value > INT32_MAX ? std::to_string(static_cast<int32_t>(value)) : std::to_string(value);
}

bool FileSettingsStore::keyExists() const {
    std::error_code error;
    return std::filesystem::exists(path_, error);
}

uint32_t FileSettingsStore::readValue(const std::string& name) const {
    for (const std::string& line : readLines(path_)) {
        auto parsed = parseSettingsLine(line);
        if (parsed && parsed->name == name) return parsed->value.value_or(0);
    }
    return 0;
}

bool FileSettingsStore::writeValue(const std::string& name, uint32_t value) {
    std::vector<std::string> lines = readLines(path_);
    const std::string newLine = name + " " + settingsValueText(value);
    bool replaced = false;
    for (std::string& line : lines) {
        auto parsed = parseSettingsLine(line);
        if (parsed && parsed->name == name) {
            line = replaced ? std::string() : newLine;
            replaced = true;
        }
    }
    if (!replaced) lines.push_back(newLine);

    std::ostringstream text;
    for (const std::string& line : lines) {
        if (!line.empty()) text << line << '\n';
    }
    const std::string bytes = text.str();
    return platform::writeFileAtomically(path_, bytes);
}

}  // namespace hg
