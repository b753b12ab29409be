// The file system over the embedded archives and over archives made in the test.
#include "archive/file_system.h"

#include <gtest/gtest.h>

#include "core/log.h"
#include "archive/archive_test_support.h"
#include "archive/embedded.h"

namespace hg {
namespace {

TEST(FileSystem, EmbeddedArchivesServeTheTextTableAndTheDefaultTexture) {
    test::ScratchDir dir;
    Log log;
    log.open((dir / "Log.txt").string());
    FileSystem fileSystem;
    fileSystem.initialise(log, embeddedMainArchive(), embeddedOverlayArchive());

    const auto text = fileSystem.get("text/TEXT.txt");
    ASSERT_TRUE(text);
    EXPECT_EQ(std::string(text->begin(), text->end()),
              test::readText(std::filesystem::path(HG_SOURCE_DIR) / "content/overlay/Text/text.txt"));
    // Byte-order mark, CRLF line ends, 24 entries and the closing "#" line.
    const std::string table(text->begin(), text->end());
    EXPECT_EQ(table.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(table.substr(table.size() - 3), "#\r\n");
    size_t keyLines = 0;
    size_t lines = 0;
    for (size_t at = 3; at < table.size();) {
        const size_t end = table.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        EXPECT_EQ(table.substr(at, end - at).find('\n'), std::string::npos);
        keyLines += table[at] == '#';
        ++lines;
        at = end + 2;
    }
    EXPECT_EQ(keyLines, 25u);
    EXPECT_EQ(lines, 49u);

    const auto texture = fileSystem.get("textures/TEX_DEFAULT.TGA");
    ASSERT_TRUE(texture);
    ASSERT_EQ(texture->size(), 18u + 64 * 64 * 3);
    EXPECT_EQ((*texture)[2], 2);   // uncompressed true colour
    EXPECT_EQ((*texture)[12], 64); // width
    EXPECT_EQ((*texture)[16], 24); // bits per pixel
    EXPECT_EQ(fileSystem.get("Textures\\tex_default.tga"), texture);

    EXPECT_FALSE(fileSystem.get("Textures/missing.tga"));
    log.close();
    // Only the two probe lines (in an unusual working folder they may be absent); never a miss.
    EXPECT_EQ(test::readText(dir / "Log.txt").find("missing"), std::string::npos);
}

TEST(FileSystem, MainArchiveComesFirstThenOverlay) {
    const auto main = pak::writeStoredArchive(std::vector<pak::PackItem>{test::fileItem("Shared\\a.txt", "main")});
    const auto overlay = pak::writeStoredArchive(std::vector<pak::PackItem>{
        test::fileItem("Shared\\a.txt", "overlay"), test::fileItem("Textures\\tex_sym_0.tga", "glyph")});
    Log log;
    FileSystem fileSystem;
    fileSystem.initialise(log, main, overlay);
    EXPECT_EQ(fileSystem.get("shared/A.TXT"), test::bytesOf("main"));
    EXPECT_EQ(fileSystem.get("Textures/tex_sym_0.tga"), test::bytesOf("glyph"));
    EXPECT_FALSE(fileSystem.get("nowhere"));

    FileSystem empty;
    empty.initialise(log, {}, {});
    EXPECT_FALSE(empty.get("Shared/a.txt"));
}

TEST(FileSystem, AMainArchiveFileIsReadInPlaceAndItsPagesGoOnlyAfterItsUse) {
    const auto main = pak::writeStoredArchive(std::vector<pak::PackItem>{test::fileItem("Shared\\a.txt", "main")});
    const auto overlay = pak::writeStoredArchive(std::vector<pak::PackItem>{test::fileItem("Shared\\b.txt", "overlay")});
    Log log;
    FileSystem fileSystem;
    std::vector<std::string> events;
    fileSystem.initialise(log, main, overlay, [&](std::span<const uint8_t> archive) {
        events.push_back(archive.data() == main.data() ? "release main" : "release overlay");
    });
    auto inside = [](std::span<const uint8_t> bytes, const std::vector<uint8_t>& archive) {
        return bytes.data() >= archive.data() && bytes.data() + bytes.size() <= archive.data() + archive.size();
    };
    std::vector<uint8_t> seen;
    bool inMain = false;
    EXPECT_TRUE(fileSystem.read("shared/A.TXT", [&](std::span<const uint8_t> bytes) {
        seen.assign(bytes.begin(), bytes.end());
        inMain = inside(bytes, main);
        events.push_back("use");
    }));
    EXPECT_EQ(seen, test::bytesOf("main"));
    EXPECT_TRUE(inMain);
    // First the pages the walk that indexes both archives read, then the file's after its use.
    EXPECT_EQ(events, (std::vector<std::string>{"release main", "release overlay", "use", "release main"}));

    // The overlay's files come as a copy; a missing file is not handed over at all.
    bool inOverlay = true;
    EXPECT_TRUE(fileSystem.read("Shared/b.txt", [&](std::span<const uint8_t> bytes) {
        seen.assign(bytes.begin(), bytes.end());
        inOverlay = inside(bytes, overlay);
    }));
    EXPECT_EQ(seen, test::bytesOf("overlay"));
    EXPECT_FALSE(inOverlay);
    bool used = false;
    EXPECT_FALSE(fileSystem.read("nowhere", [&](std::span<const uint8_t>) { used = true; }));
    EXPECT_FALSE(used);
}

TEST(FileSystem, ProbesOnlyLogWhatIsMissing) {
    // The program started in a folder that has Base/Data.pak but no Base/Base.rar.
    test::ScratchDir dir;
    std::filesystem::create_directory(dir / "Base");
    test::writeText(dir / "Base/Data.pak", "anything");
    const std::string env = "XDG_CONFIG_HOME='" + (dir / "config").string() + "' ";
    test::runIn(dir.path(), env + test::hearthglowBinary() + " /p 0");
    const auto log = test::readLines(dir / "Log.txt");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], "Base.rar not found");
    EXPECT_EQ(std::count(log.begin(), log.end(), "Data.pak not found"), 0);
}

}  // namespace
}  // namespace hg
