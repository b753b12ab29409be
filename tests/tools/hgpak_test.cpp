// The hgpak tool as a user runs it, and its archives read back by the independent unar/lsar.
#include <gtest/gtest.h>

#include "archive/archive_reader.h"
#include "archive/archive_test_support.h"
#include "test_support.h"

namespace hg {
namespace {

std::string hgpak() { return std::string(HG_BINARY_DIR) + "/hgpak"; }

// A small tree: nested folders, an empty file, binary bytes, a name with a blank.
void makeTree(const std::filesystem::path& root) {
    std::filesystem::create_directories(root / "Models/Sub");
    std::filesystem::create_directories(root / "Empty");
    test::writeText(root / "Models/ball.BSM", std::string("\0\1\2\3\xFF binary", 12));
    test::writeText(root / "Models/Sub/deep name.txt", "deep\r\n");
    test::writeText(root / "empty.bin", "");
    std::string big;
    for (int i = 0; i < 70000; ++i) big += char('a' + i * 7 % 26);
    test::writeText(root / "big.txt", big);
}

TEST(Hgpak, CreateWritesTheExactFormat) {
    test::ScratchDir dir;
    std::filesystem::create_directory(dir / "tree");
    std::filesystem::create_directory(dir / "tree/Dir");
    test::writeText(dir / "tree/Dir/a.txt", "hello");
    const auto result = test::runIn(dir.path(), hgpak() + " create out.pak tree --time 2024-12-24T18:00:00");
    ASSERT_EQ(result.exitCode, 0) << result.standardError;
    // Marker, main header, folder "Dir" (0x80E0, attribute 0x10), "Dir\a.txt"; header CRCs and the
    // data CRC computed independently.
    const std::vector<uint8_t> expected = {
        0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00, 0xCF, 0x90, 0x73, 0x00, 0x00, 0x0D, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x9D, 0xA1, 0x74, 0xE0, 0x80, 0x23, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x90, 0x98, 0x59, 0x14, 0x30, 0x03, 0x00, 0x10, 0x00, 0x00,
        0x00, 0x44, 0x69, 0x72, 0x07, 0x88, 0x74, 0x00, 0x80, 0x29, 0x00, 0x05, 0x00, 0x00, 0x00, 0x05, 0x00,
        0x00, 0x00, 0x02, 0x86, 0xA6, 0x10, 0x36, 0x00, 0x90, 0x98, 0x59, 0x14, 0x30, 0x09, 0x00, 0x20, 0x00,
        0x00, 0x00, 0x44, 0x69, 0x72, 0x5C, 0x61, 0x2E, 0x74, 0x78, 0x74, 0x68, 0x65, 0x6C, 0x6C, 0x6F};
    EXPECT_EQ(test::readBytes(dir / "out.pak"), expected);
}

TEST(Hgpak, SameTreeAndTimeGiveTheSameBytesInSortedOrder) {
    test::ScratchDir dir;
    makeTree(dir / "tree");
    ASSERT_EQ(test::runIn(dir.path(), hgpak() + " create one.pak tree --time 2030-01-02T03:04:05").exitCode, 0);
    ASSERT_EQ(test::runIn(dir.path(), "touch tree/big.txt && " + hgpak() + " create two.pak tree --time 2030-01-02T03:04:05").exitCode, 0);
    EXPECT_EQ(test::readBytes(dir / "one.pak"), test::readBytes(dir / "two.pak"));

    const auto listed = test::runIn(dir.path(), hgpak() + " list one.pak > list.txt");
    ASSERT_EQ(listed.exitCode, 0);
    EXPECT_EQ(test::readText(dir / "list.txt"),
              "Empty\t0\t0\t20\t0x30\t00000000\n"
              "Models\t0\t0\t20\t0x30\t00000000\n"
              "Models\\Sub\t0\t0\t20\t0x30\t00000000\n"
              "Models\\Sub\\deep name.txt\t6\t6\t20\t0x30\t7e07ece0\n"
              "Models\\ball.BSM\t12\t12\t20\t0x30\t19f7828b\n"
              "big.txt\t70000\t70000\t20\t0x30\t5eeff791\n"
              "empty.bin\t0\t0\t20\t0x30\t00000000\n");
    EXPECT_NE(test::runIn(dir.path(), hgpak() + " create bad.pak tree --time 2030-13-02T03:04:05").exitCode, 0);
}

TEST(Hgpak, ExtractAndTestGoThroughTheReader) {
    test::ScratchDir dir;
    makeTree(dir / "tree");
    ASSERT_EQ(test::runIn(dir.path(), hgpak() + " create a.pak tree").exitCode, 0);
    ASSERT_EQ(test::runIn(dir.path(), hgpak() + " extract a.pak 'models/sub/DEEP NAME.TXT' out.txt").exitCode, 0);
    EXPECT_EQ(test::readText(dir / "out.txt"), "deep\r\n");
    ASSERT_EQ(test::runIn(dir.path(), hgpak() + " extract a.pak Models\\\\ball.BSM > ball").exitCode, 0);
    EXPECT_EQ(test::readText(dir / "ball"), test::readText(dir / "tree/Models/ball.BSM"));

    ASSERT_EQ(test::runIn(dir.path(), hgpak() + " test a.pak > report").exitCode, 0);
    const auto report = test::readLines(dir / "report");
    ASSERT_EQ(report.size(), 7u);
    for (const auto& line : report) EXPECT_EQ(line.substr(0, 2), "OK") << line;

    // One flipped byte inside big.txt's data: that entry fails, the others still pass.
    auto bytes = test::readBytes(dir / "a.pak");
    ArchiveListing listing;
    ASSERT_TRUE(listArchive(bytes, listing));
    ASSERT_EQ(listing.entries[5].name, "big.txt");
    bytes.at(size_t(listing.entries[5].dataOffset) + 3) ^= 0x20;
    test::writeText(dir / "b.pak", std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(test::runIn(dir.path(), hgpak() + " test b.pak > report").exitCode, 1);
    const std::string damaged = test::readText(dir / "report");
    EXPECT_NE(damaged.find("FAILED  big.txt\n"), std::string::npos);
    EXPECT_NE(damaged.find("OK      empty.bin\n"), std::string::npos);
}

TEST(Hgpak, ErrorsAreOneLineAndExitOne) {
    test::ScratchDir dir;
    test::writeText(dir / "text.txt", "not an archive at all");
    makeTree(dir / "tree");
    ASSERT_EQ(test::runIn(dir.path(), hgpak() + " create a.pak tree").exitCode, 0);
    const std::pair<std::string, std::string> cases[] = {
        {" list missing.rar", "cannot read missing.rar"},
        {" test text.txt", "text.txt is not an archive"},
        {" extract a.pak nothing.here", "nothing.here not found in a.pak"},
        {" create x.pak no-such-folder", "no-such-folder: not a folder"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto result = test::runIn(dir.path(), hgpak() + arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments;
        EXPECT_EQ(result.standardError, "hgpak: " + message + "\n") << arguments;
    }
    EXPECT_EQ(test::runIn(dir.path(), hgpak() + " frobnicate").exitCode, 2);
}

TEST(Hgpak, UnarAndLsarReadWhatCreateWrites) {
    test::ScratchDir dir;
    makeTree(dir / "tree");
    ASSERT_EQ(test::runIn(dir.path(), hgpak() + " create a.rar tree --time 2024-12-24T18:00:00").exitCode, 0);
    const auto listed = test::runIn(dir.path(), "lsar -t a.rar > lsar.txt");
    EXPECT_EQ(listed.exitCode, 0) << test::readText(dir / "lsar.txt");
    const auto unpacked = test::runIn(dir.path(), "unar -q -o out -D a.rar");
    ASSERT_EQ(unpacked.exitCode, 0) << unpacked.standardError;
    for (const char* file : {"Models/ball.BSM", "Models/Sub/deep name.txt", "empty.bin", "big.txt"}) {
        ASSERT_TRUE(std::filesystem::is_regular_file(dir / "out" / file)) << file;
        EXPECT_EQ(test::readBytes(dir / "out" / file), test::readBytes(dir / "tree" / file)) << file;
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir / "out/Empty"));
    // lsar sees every folder as a folder and the fixed time stamp.
    const auto json = test::runIn(dir.path(), "lsar -j a.rar > lsar.json");
    ASSERT_EQ(json.exitCode, 0);
    const std::string text = test::readText(dir / "lsar.json");
    EXPECT_NE(text.find("\"XADIsDirectory\": 1"), std::string::npos);
    EXPECT_NE(text.find("\"2024-12-24 18:00:00 +0000\""), std::string::npos);
}

// Every version-20 archive of the real test set passes `hgpak test` (the volume set with its parts
// found beside the first); the negative ones do not.
TEST(Hgpak, TestCommandOverRealArchives) {
    test::ScratchDir dir;
    for (const char* name : {"zxtune-test_v2.rar", "zxtune-test_v2solid5.rar", "sharpcompress-Rar2.rar",
                             "junrar-BoatModernEnglish-regular-unpack20.rar", "rarfile-rar2-unix-owner.rar",
                             "rarfile-rar202-comment-nopsw.rar", "libarchive-test_read_format_rar.rar",
                             "sharpcompress-Rar2.multi.rar"}) {
        EXPECT_EQ(test::runIn(dir.path(), hgpak() + " test '" + (test::rarTestData() / name).string() + "' > /dev/null").exitCode, 0)
            << name;
    }
    for (const char* name : {"junrar-void-dist-v20.rar", "junrar-v20-solid-negative-backref.rar",
                             "rarfile-rar202-comment-psw.rar", "rarfile-rar3-solid.rar", "sharpcompress-Rar15.rar"}) {
        EXPECT_EQ(test::runIn(dir.path(), hgpak() + " test '" + (test::rarTestData() / name).string() + "' > /dev/null").exitCode, 1)
            << name;
    }
}

}  // namespace
}  // namespace hg
