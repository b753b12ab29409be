// The dialog texts ("Text/text.txt") as the Options dialog reads them: entry after entry until the
// table is used up, then asked once more, as a caller past the end would.
//
// Checks: the table ends (each entry takes at least one line of the file), a value is one line
// (line ends never reach a caption), and the values never hold more text than the file.
#include <algorithm>
#include <string>

#include "app/text_table.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input = hg::fuzz::inputOf(data, size);
    const size_t lines = size_t(std::count(input.begin(), input.end(), uint8_t('\n'))) + 1;
    hg::TextTable table(input);
    size_t entries = 0;
    size_t textBytes = 0;
    while (std::optional<std::string> value = table.next()) {
        hg::fuzz::check(++entries <= lines, "each entry takes a line of the file");
        hg::fuzz::check(value->find('\n') == std::string::npos, "a value is one line");
        // Each value line gave one blank and its own bytes.
        const size_t blanks = size_t(std::count(value->begin(), value->end(), ' '));
        textBytes += value->size() - std::min(blanks, value->size());
    }
    hg::fuzz::check(textBytes <= size, "values hold no more text than the file");
    hg::fuzz::check(!table.next(), "a used-up table stays used up");
    return 0;
}
