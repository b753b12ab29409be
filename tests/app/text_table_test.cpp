#include "app/text_table.h"

#include <gtest/gtest.h>

#include <string>

#include "app/options_dialog.h"
#include "platform/posix/settings_file.h"
#include "test_support.h"

namespace hg {
namespace {

std::vector<std::string> readAll(const std::string& text) {
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    TextTable table(bytes);
    std::vector<std::string> values;
    while (auto value = table.next()) {
        values.push_back(*value);
        if (values.size() > 100) break;  // a reader that never ends shows here, not as a hang
    }
    return values;
}

TEST(TextTable, ValuesGetALeadingBlankPerLineAndEmptyEntriesStayEmpty) {
    const std::string file =
        "\xEF\xBB\xBF#Window_Title#\r\nOptions\r\n#Two_Lines#\r\nfirst\r\nsecond\r\n#Empty#\r\n#Unicode#\r\n"
        "800\xD1\x85"
        "600\r\n#\r\n";
    EXPECT_EQ(readAll(file), (std::vector<std::string>{" Options", " first second", "", " 800\xD1\x85" "600"}));
    // Line feeds alone and no byte-order mark read the same.
    EXPECT_EQ(readAll("#A#\nOptions\n#B#\nfirst\nsecond\n#\n"), (std::vector<std::string>{" Options", " first second"}));
}

TEST(TextTable, StopsAtTheEndOfTheFile) {
    // Without the closing '#' line the last entry ends with the file.
    EXPECT_EQ(readAll("#A#\r\none\r\n#B#\r\ntwo"), (std::vector<std::string>{" one", " two"}));
    EXPECT_EQ(readAll("#A#\r\none\r\n#B#\r\n"), (std::vector<std::string>{" one"}));
    // A missing file: nothing at all, and asking again still gives nothing.
    TextTable empty({});
    EXPECT_FALSE(empty.next());
    EXPECT_FALSE(empty.next());
    EXPECT_TRUE(readAll("#only a key line").empty());
}

TEST(TextTable, AShortTableLeavesTheRemainingCaptionsAsBuiltIn) {
    Settings settings;
    test::ScratchDir dir;
    FileSettingsStore store(dir / "settings.conf");
    OptionsDialog dialog(settings, store, {});
    const std::string text = "#Window_Title#\r\nOptionen\r\n#Video_Mode_Selection#\r\nBildschirm\r\n";
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    TextTable table(bytes);
    dialog.loadCaptions(table);
    EXPECT_EQ(dialog.caption(Caption::Title), " Optionen");
    EXPECT_EQ(dialog.caption(Caption::VideoModeGroup), " Bildschirm");
    EXPECT_EQ(dialog.caption(Caption::SoundGroup), "Sound Control");
    EXPECT_EQ(dialog.caption(Caption::AboutTitle), "About");
}

TEST(TextTable, TheShippedTableFillsAllTwentyFourCaptionsInOrder) {
    const std::string text = test::readText(std::string(HG_SOURCE_DIR) + "/content/overlay/Text/text.txt");
    const std::vector<std::string> values = readAll(text);
    ASSERT_EQ(values.size(), 24u);
    EXPECT_EQ(values[0], " Options");
    EXPECT_EQ(values[6], " Use Desktop Settings");
    EXPECT_EQ(values[14], " OK");
    EXPECT_EQ(values[20], " 12h style");
    EXPECT_EQ(values[23], " About");
}

}  // namespace
}  // namespace hg
