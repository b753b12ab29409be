#include "platform/posix/settings_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "platform/platform.h"

namespace hg {

namespace platform {
std::unique_ptr<SettingsStore> openSettingsStore() { return std::make_unique<FileSettingsStore>(settingsFilePath()); }
}  // namespace platform
namespace {

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
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

std::vector<StoredValue> parseSettingsText(std::string_view text) {
    std::vector<StoredValue> values;
    std::vector<std::string> seen;
    for (std::string_view line : splitLines(text)) {
        auto parsed = parseSettingsLine(line);
        if (!parsed) continue;
        if (std::find(seen.begin(), seen.end(), parsed->name) != seen.end()) continue;
        seen.push_back(parsed->name);
        if (parsed->value) values.push_back({parsed->name, *parsed->value});
    }
    return values;
}

std::string updatedSettingsText(std::string_view text, const std::vector<StoredValue>& values) {
    std::vector<std::string> lines;
    std::vector<bool> placed(values.size(), false);
    for (std::string_view line : splitLines(text)) {
        auto parsed = parseSettingsLine(line);
        size_t i = 0;
        while (parsed && i < values.size() && values[i].name != parsed->name) ++i;
        if (!parsed || i == values.size()) {
            lines.emplace_back(line);
        } else if (!placed[i]) {
            lines.push_back(values[i].name + " " + settingsValueText(values[i].value));
            placed[i] = true;
        }
    }
    for (size_t i = 0; i < values.size(); ++i)
        if (!placed[i]) lines.push_back(values[i].name + " " + settingsValueText(values[i].value));

    std::string updated;
    for (const std::string& line : lines) {
        if (!line.empty()) updated += line + '\n';
    }
    return updated;
}

std::string settingsValueText(uint32_t value) {
    return value > INT32_MAX ? std::to_string(static_cast<int32_t>(value)) : std::to_string(value);
}

FileSettingsStore::FileText FileSettingsStore::readFile() const {
    std::error_code error;
    const auto status = std::filesystem::status(path_, error);
    if (status.type() == std::filesystem::file_type::not_found) return {StoreState::Missing, {}};
    if (error || status.type() != std::filesystem::file_type::regular) return {StoreState::Unreadable, {}};
    const uintmax_t size = std::filesystem::file_size(path_, error);
    if (error || size > kMaxFileBytes) return {StoreState::Unreadable, {}};
    std::ifstream in(path_, std::ios::binary);
    if (!in) return {StoreState::Unreadable, {}};
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad() || text.size() > kMaxFileBytes) return {StoreState::Unreadable, {}};
    return {StoreState::Readable, std::move(text)};
}

StoredValues FileSettingsStore::readValues() const {
    FileText file = readFile();
    return {file.state, file.state == StoreState::Readable ? parseSettingsText(file.text) : std::vector<StoredValue>{}};
}

bool FileSettingsStore::writeValues(const std::vector<StoredValue>& values) {
    const FileText file = readFile();
    if (file.state == StoreState::Unreadable) return false;
    return platform::writeFileAtomically(path_, updatedSettingsText(file.text, values));
}

}  // namespace hg
