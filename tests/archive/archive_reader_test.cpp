// The container walk over hand-made archives: name matching, the stop rules, and every header field
// treated as untrusted.
#include "archive/archive_reader.h"

#include <gtest/gtest.h>

#include "archive/archive_test_support.h"
#include "archive/crc32.h"

namespace hg {
namespace {

using test::bytesOf;
using test::fileItem;
using test::folderItem;
using test::kBlockHeader;
using test::kFirstBlock;
using test::patchU16;
using test::patchU32;

std::optional<std::vector<uint8_t>> extract(const std::vector<uint8_t>& archive, std::string_view name) {
    ArchiveReader reader;
    MemoryArchive memory{archive, 12345};
    return reader.extract({}, name, memory);
}

std::vector<uint8_t> modelsArchive() {
    const std::vector<pak::PackItem> items = {folderItem("Models"), fileItem("Models\\ball.BSM", "ball mesh"),
                                              fileItem("Models\\tree.bsm", "tree mesh")};
    return pak::writeStoredArchive(items);
}

TEST(Crc32, MatchesTheStandardCheckValueInAnyChunking) {
    const auto text = bytesOf("123456789");
    EXPECT_EQ(crc32(text), 0xCBF43926u);
    EXPECT_EQ(crc32(std::span(text).subspan(4), crc32(std::span(text).first(4))), 0xCBF43926u);
    EXPECT_EQ(crc32({}), 0u);
    // Longer than one eight-byte step, with a ragged tail.
    EXPECT_EQ(crc32(bytesOf("The quick brown fox jumps over the lazy dog")), 0x414FA339u);
}

// Long runs fold sixteen bytes a step where the processor can: every length round the 64-byte
// start and the 16-byte steps, any alignment and any running value give what the tables give.
TEST(Crc32, LongRunsAgreeWithTheTablesAtEveryLengthAndAlignment) {
    std::vector<uint8_t> bytes(4096 + 64);
    uint32_t state = 12345;
    for (uint8_t& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<uint8_t>(state >> 23);
    }
    for (size_t offset : {0, 1, 7, 15}) {
        for (size_t length = 0; length <= 300; ++length) {
            const auto run = std::span<const uint8_t>(bytes).subspan(offset, length);
            ASSERT_EQ(crc32(run), crc32ByTables(run)) << "offset " << offset << ", length " << length;
            ASSERT_EQ(crc32(run, 0xDEADBEEFu), crc32ByTables(run, 0xDEADBEEFu)) << "length " << length;
        }
    }
    const auto all = std::span<const uint8_t>(bytes);
    EXPECT_EQ(crc32(all), crc32ByTables(all));
    EXPECT_EQ(crc32(all.subspan(1000), crc32(all.first(1000))), crc32ByTables(all));
    // A million zero bytes: a fixed value any CRC-32 gives.
    const std::vector<uint8_t> zeros(1 << 20, 0);
    EXPECT_EQ(crc32(zeros), 0xA738EA1Cu);
}

TEST(ArchiveReader, MatchingIgnoresCaseAndTreatsSlashBackslashUnderscoreAlike) {
    const auto archive = modelsArchive();
    for (const char* name : {"models/BALL.bsm", "Models\\ball.BSM", "MODELS_ball.bsm", "models/ball.bsm"}) {
        const auto bytes = extract(archive, name);
        ASSERT_TRUE(bytes) << name;
        EXPECT_EQ(*bytes, bytesOf("ball mesh")) << name;
    }
    EXPECT_FALSE(extract(archive, "models/ball.bs"));
    EXPECT_FALSE(extract(archive, "models/ball.bsmx"));
    EXPECT_FALSE(extract(archive, "models/missing.bsm"));
    EXPECT_FALSE(extract(archive, std::string(600, 'a')));
}

TEST(ArchiveReader, FolderEntryIsAnEmptySuccessAndTheLastEntryIsWhole) {
    const auto archive = modelsArchive();
    const auto folder = extract(archive, "Models");
    ASSERT_TRUE(folder);
    EXPECT_TRUE(folder->empty());
    // No end block: the last entry's data ends at the archive's last byte.
    EXPECT_EQ(extract(archive, "models/tree.bsm"), bytesOf("tree mesh"));
    auto cut = archive;
    cut.pop_back();
    EXPECT_FALSE(extract(cut, "models/tree.bsm"));
    EXPECT_EQ(extract(cut, "models/ball.bsm"), bytesOf("ball mesh"));
}

TEST(ArchiveReader, FirstMatchWinsAndEntriesCanBeReachedByIndex) {
    const std::vector<pak::PackItem> items = {fileItem("a.txt", "first"), fileItem("A.TXT", "second")};
    const auto archive = pak::writeStoredArchive(items);
    EXPECT_EQ(extract(archive, "a.txt"), bytesOf("first"));
    ArchiveReader reader;
    MemoryArchive memory{archive, 0};
    EXPECT_EQ(reader.extractEntry(1, memory), bytesOf("second"));
    EXPECT_FALSE(reader.extractEntry(2, memory));
}

TEST(ArchiveReader, ChecksTheDataCrcAndVersionButNotTheHeaderCrc) {
    auto archive = modelsArchive();
    const size_t ball = kFirstBlock + kBlockHeader + 6;  // after the "Models" folder block
    patchU16(archive, ball, 0xBEEF);                     // header CRC: ignored
    EXPECT_EQ(extract(archive, "models/ball.bsm"), bytesOf("ball mesh"));

    for (uint8_t version : {uint8_t(12), uint8_t(21), uint8_t(29)}) {
        auto changed = archive;
        changed[ball + 24] = version;
        EXPECT_FALSE(extract(changed, "models/ball.bsm")) << int(version);
        // Outside a solid archive only the wanted entry's version matters.
        EXPECT_TRUE(extract(changed, "models/tree.bsm")) << int(version);
    }
    for (uint8_t version : {uint8_t(13), uint8_t(20)}) {
        auto changed = archive;
        changed[ball + 24] = version;
        EXPECT_TRUE(extract(changed, "models/ball.bsm")) << int(version);
    }

    auto damaged = archive;
    damaged[ball + kBlockHeader + 15 + 2] ^= 0x01;  // one bit of the data
    EXPECT_FALSE(extract(damaged, "models/ball.bsm"));
}

TEST(ArchiveReader, StopBlockAndShortHeadersEndTheWalkOtherBlocksAreSkipped) {
    const auto plain = pak::writeStoredArchive(std::vector<pak::PackItem>{fileItem("x.bin", "xyz")});
    auto withBlock = [&](uint8_t type, uint16_t flags, uint16_t size, uint32_t dataSize) {
        // Room for the size field even when the header claims fewer bytes than that.
        std::vector<uint8_t> block(std::max<size_t>(size, 7) + dataSize, 0);
        block[2] = type;
        test::patchU16(block, 3, flags);
        test::patchU16(block, 5, size);
        if (size >= 11) test::patchU32(block, 7, dataSize);
        auto archive = plain;
        archive.insert(archive.begin() + kFirstBlock, block.begin(), block.end());
        return archive;
    };
    EXPECT_EQ(extract(withBlock(0x7A, 0x8000, 40, 25), "x.bin"), bytesOf("xyz"));  // skipped with its data
    EXPECT_EQ(extract(withBlock(0x7B, 0x0000, 7, 0), "x.bin"), bytesOf("xyz"));
    EXPECT_FALSE(extract(withBlock(0x77, 0x0000, 40, 0), "x.bin"));
    EXPECT_FALSE(extract(withBlock(0x7A, 0x0000, 6, 0), "x.bin"));
    // A long block whose data would run past the archive ends the walk without reading it.
    auto huge = withBlock(0x7A, 0x8000, 40, 0);
    test::patchU32(huge, kFirstBlock + 7, 0xFFFFFFF0u);
    EXPECT_FALSE(extract(huge, "x.bin"));
}

TEST(ArchiveReader, RejectsWhatIsNotAnArchive) {
    const auto archive = modelsArchive();
    EXPECT_FALSE(extract({}, "Models"));
    EXPECT_FALSE(extract(std::vector<uint8_t>(archive.begin(), archive.begin() + 19), "Models"));
    auto badMarker = archive;
    badMarker[3] = 'X';
    EXPECT_FALSE(extract(badMarker, "Models"));
    ArchiveListing listing;
    EXPECT_FALSE(listArchive(badMarker, listing));
    ASSERT_TRUE(listArchive(archive, listing));
    EXPECT_EQ(listing.entries.size(), 3u);
}

TEST(ArchiveReader, NameLengthPastTheHeaderFailsThatEntryOnly) {
    // "ab" claims 5 name bytes: they would come from its data. It must not match "abxyz" (its
    // name plus foreign bytes) nor "ab"; the entry after it is still found.
    const std::vector<pak::PackItem> items = {fileItem("ab", "xyz.."), fileItem("next", "ok")};
    auto archive = pak::writeStoredArchive(items);
    patchU16(archive, kFirstBlock + 26, 5);
    EXPECT_FALSE(extract(archive, "abxyz"));
    EXPECT_FALSE(extract(archive, "ab"));
    EXPECT_EQ(extract(archive, "next"), bytesOf("ok"));
    ArchiveListing listing;
    ASSERT_TRUE(listArchive(archive, listing));
    ASSERT_EQ(listing.entries.size(), 2u);
    EXPECT_FALSE(listing.entries[0].nameFits);
}

TEST(ArchiveReader, UntrustedSizesNeverReadPastTheArchive) {
    const auto archive = pak::writeStoredArchive(std::vector<pak::PackItem>{fileItem("a", "abc"), fileItem("b", "de")});
    // Packed size larger than the archive on the last entry: the walk finds it, the read fails.
    auto longData = archive;
    const size_t second = kFirstBlock + kBlockHeader + 1 + 3;
    patchU32(longData, second + 7, 1000);
    patchU32(longData, second + 11, 1000);
    EXPECT_FALSE(extract(longData, "b"));
    // An unpacked size beyond the cap is refused before anything is allocated.
    auto huge = archive;
    patchU32(huge, kFirstBlock + 11, 0xFFFFFFFFu);
    huge[kFirstBlock + 25] = 0x35;
    EXPECT_FALSE(extract(huge, "a"));
    // A stored entry shorter than its unpacked size fails its CRC over the full size.
    auto shortData = archive;
    patchU32(shortData, kFirstBlock + 11, 4);
    EXPECT_FALSE(extract(shortData, "a"));
    EXPECT_EQ(extract(shortData, "b"), bytesOf("de"));
}

TEST(ArchiveReader, ASizeTheEntrysBytesCannotFillYieldsNothing) {
    // "abc" stated as five bytes, its checksum that of "abc" and two zeros: whatever the checksum
    // says, the archive's bytes cannot make the entry.
    auto stored = pak::writeStoredArchive(std::vector<pak::PackItem>{fileItem("a", "abc")});
    patchU32(stored, kFirstBlock + 11, 5);
    patchU32(stored, kFirstBlock + 16, crc32(bytesOf(std::string("abc\0\0", 5))));
    EXPECT_FALSE(extract(stored, "a"));
    // A compressed entry without packed bytes stated as four zero bytes.
    auto empty = pak::writeStoredArchive(std::vector<pak::PackItem>{fileItem("e", "")});
    empty[kFirstBlock + 25] = 0x35;
    patchU32(empty, kFirstBlock + 11, 4);
    patchU32(empty, kFirstBlock + 16, crc32(std::vector<uint8_t>(4, 0)));
    EXPECT_FALSE(extract(empty, "e"));
    // An entry of exactly its bytes still reads.
    patchU32(stored, kFirstBlock + 11, 3);
    patchU32(stored, kFirstBlock + 16, crc32(bytesOf("abc")));
    EXPECT_EQ(extract(stored, "a"), bytesOf("abc"));
}

TEST(ArchiveReader, OnlyAWholeStoredEntryWithItsCrcIsReadWhereItLies) {
    const auto archive = pak::writeStoredArchive(
        std::vector<pak::PackItem>{fileItem("a.txt", "abc"), fileItem("b", "de"), fileItem("e", "")});
    auto stored = [](const std::vector<uint8_t>& bytes, std::string_view name) {
        ArchiveReader reader;
        MemoryArchive memory{bytes, 0};
        return reader.findStored(name, memory);
    };
    const auto inPlace = stored(archive, "A.TXT");
    ASSERT_TRUE(inPlace);
    EXPECT_EQ(std::vector<uint8_t>(inPlace->begin(), inPlace->end()), bytesOf("abc"));
    // The archive's own bytes, not a copy of them.
    EXPECT_EQ(inPlace->data(), archive.data() + kFirstBlock + kBlockHeader + 5);
    EXPECT_TRUE(stored(archive, "b"));
    EXPECT_FALSE(stored(archive, "missing"));
    EXPECT_FALSE(stored(archive, "e"));  // empty: extract() gives it

    // Everything else is left to extract(), which reads it or refuses it as before.
    auto damaged = archive;
    damaged[kFirstBlock + kBlockHeader + 5 + 1] ^= 0x01;
    EXPECT_FALSE(stored(damaged, "a.txt"));
    EXPECT_FALSE(extract(damaged, "a.txt"));
    auto compressed = archive;
    compressed[kFirstBlock + 25] = 0x35;
    EXPECT_FALSE(stored(compressed, "a.txt"));
    auto encrypted = archive;
    patchU16(encrypted, kFirstBlock + 3, 0x8004);
    EXPECT_FALSE(stored(encrypted, "a.txt"));
    auto split = archive;
    patchU16(split, kFirstBlock + 3, 0x8002);
    EXPECT_FALSE(stored(split, "a.txt"));
    auto solid = archive;
    patchU16(solid, 10, 0x0008);
    EXPECT_FALSE(stored(solid, "a.txt"));
    EXPECT_EQ(extract(solid, "a.txt"), bytesOf("abc"));
    auto longer = archive;  // claims more than its bytes
    patchU32(longer, kFirstBlock + 11, 4);
    EXPECT_FALSE(stored(longer, "a.txt"));

    // The first match decides: a later stored entry of the same name is not taken instead.
    auto twice = pak::writeStoredArchive(std::vector<pak::PackItem>{fileItem("a", "one"), fileItem("A", "two")});
    twice[kFirstBlock + 25] = 0x35;
    EXPECT_FALSE(stored(twice, "a"));
}

// A lookup through an index of the archive starts at the first match and answers as the walk from
// the start does: the same bytes, the same place in the archive, the same cursor afterwards.
TEST(ArchiveIndex, LookupsStartAtTheFirstMatchAndAnswerAsTheWalkDoes) {
    const auto archive = pak::writeStoredArchive(std::vector<pak::PackItem>{
        fileItem("a.txt", "abc"), folderItem("Dir"), fileItem("Dir\\b", "de"), fileItem("A.TXT", "two")});
    // Where the bytes handed over in place lie, or nothing.
    auto where = [](std::optional<std::span<const uint8_t>> found) {
        return found ? std::optional(std::pair(found->data(), found->size())) : std::nullopt;
    };
    auto agree = [&where](const std::vector<uint8_t>& bytes, const ArchiveIndex& index, std::string_view name) {
        ArchiveReader reader;
        MemoryArchive walked{bytes, 0};
        MemoryArchive indexed{bytes, 0};
        EXPECT_EQ(where(reader.findStored(name, walked)), where(reader.findStored(name, indexed, &index))) << name;
        EXPECT_EQ(walked.position, indexed.position) << name;
        EXPECT_EQ(reader.extract({}, name, walked), reader.extract({}, name, indexed, &index)) << name;
        EXPECT_EQ(walked.position, indexed.position) << name;
    };
    const ArchiveIndex index(archive);
    EXPECT_TRUE(index.covers(archive));
    for (std::string_view name : {"a.txt", "A.TXT", "dir/b", "DIR_B", "Dir", "missing", ""}) {
        agree(archive, index, name);
    }
    ArchiveReader reader;
    MemoryArchive memory{archive, 0};
    const auto first = reader.findStored("A.txt", memory, &index);
    ASSERT_TRUE(first);  // the first of the two names that match, not the later one
    EXPECT_EQ(std::vector<uint8_t>(first->begin(), first->end()), bytesOf("abc"));

    // A header the walk stops at hides what follows, from the index as from the walk.
    auto stopped = archive;
    patchU16(stopped, kFirstBlock + kBlockHeader + 5 + 3 + 5, 3);  // the folder's header size
    const ArchiveIndex stoppedIndex(stopped);
    for (std::string_view name : {"a.txt", "dir/b", "missing"}) agree(stopped, stoppedIndex, name);
    EXPECT_FALSE(stoppedIndex.firstEntryOf("dir/b"));

    // An index is for the archive it was made from: another archive, even one with the same bytes
    // elsewhere, walks from its start. Here a borrowed index would send the lookup of "first",
    // which it does not know, to where the other archive's walk ended.
    const auto longer = pak::writeStoredArchive(std::vector<pak::PackItem>{
        fileItem("first", "0123456789"), fileItem("a.txt", "abc"), fileItem("Dir\\b", "de")});
    EXPECT_FALSE(index.covers(longer));
    for (std::string_view name : {"a.txt", "dir/b", "first"}) agree(longer, index, name);
    const auto copy = archive;
    EXPECT_FALSE(index.covers(copy));

    // A solid archive decodes every entry before the match, so its walk starts at its start.
    auto solid = archive;
    patchU16(solid, 10, 0x0008);
    const ArchiveIndex solidIndex(solid);
    for (std::string_view name : {"a.txt", "dir/b"}) agree(solid, solidIndex, name);

    // The lookups that follow the index do not walk the entries before their match: with the first
    // entry's header damaged after the index was made, the walk from the start stops there.
    auto damagedLater = archive;
    const ArchiveIndex madeBefore(damagedLater);
    patchU16(damagedLater, kFirstBlock + 5, 3);  // the first header's size
    MemoryArchive later{damagedLater, 0};
    EXPECT_FALSE(reader.extract({}, "dir/b", later));
    EXPECT_EQ(reader.extract({}, "dir/b", later, &madeBefore), bytesOf("de"));
}

TEST(ArchiveReader, EncryptedEntryWithAPasswordIsUnreadable) {
    auto archive = pak::writeStoredArchive(std::vector<pak::PackItem>{fileItem("a", "abc")});
    patchU16(archive, kFirstBlock + 3, 0x8004);
    ArchiveReader reader;
    MemoryArchive memory{archive, 0};
    EXPECT_FALSE(reader.extract("secret", "a", memory));
}

}  // namespace
}  // namespace hg
