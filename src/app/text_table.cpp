#include "app/text_table.h"

namespace hg {

TextTable::TextTable(std::span<const uint8_t> bytes) : text_(bytes.begin(), bytes.end()) {
    if (text_.starts_with("\xEF\xBB\xBF")) at_ = 3;
    readLine();  // the first entry's key line
}

std::optional<std::string_view> TextTable::readLine() {
    if (at_ >= text_.size()) return std::nullopt;
    size_t end = text_.find('\n', at_);
    const size_t next = end == std::string::npos ? text_.size() : end + 1;
    if (end == std::string::npos) end = text_.size();
    std::string_view line(text_.data() + at_, end - at_);
    if (line.ends_with('\r')) line.remove_suffix(1);
    at_ = next;
    return line;
}

std::optional<std::string> TextTable::next() {
    if (at_ >= text_.size()) return std::nullopt;
    std::string value;
    while (auto line = readLine()) {
        if (line->starts_with('#')) break;
        value += ' ';
        value += *line;
    }
    return value;
}

}  // namespace hg
