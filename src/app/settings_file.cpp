#include "app/settings_file.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/platform.h"

namespace hg {
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
    uint32_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc() && end == digits.data() + digits.size() && !digits.empty()) parsed.value = value;
    return parsed;
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
    const std::string newLine = name + " " + std::to_string(value);
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
