#pragma once
// The dialog texts "Text/text.txt": UTF-8 (with or without a byte-order mark), lines ending in
// CR LF or LF. Entries follow one another; each is a key line starting with '#' (free text for
// translators) and the value lines after it. The first line of the file is the first key line.
// A value is every value line with one blank put before it: "Options" reads as " Options".
// Entries are used by position; the n-th entry is the n-th caption.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hg {

class TextTable {
public:
    // Takes a copy of the file's bytes; an empty span (a missing file) gives an empty table.
    explicit TextTable(std::span<const uint8_t> bytes);

    // The next entry's value, in UTF-8; nothing once the file is used up. An entry whose closing
    // '#' line is missing ends at the end of the file.
    std::optional<std::string> next();

private:
    std::optional<std::string_view> readLine();

    std::string text_;
    size_t at_ = 0;
};

}  // namespace hg
