// Archives written by real archivers of the time: every version-20 entry must come out byte for
// byte; everything else must fail cleanly, and damaged copies must never crash the reader.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

#include "archive/archive_reader.h"
#include "archive/archive_test_support.h"
#include "archive/crc32.h"

namespace hg {
namespace {

struct ManifestRow {
    std::string file;
    std::string entry;  // '/' separators, UTF-8
    uint32_t unpackedSize = 0;
    uint32_t packedSize = 0;
    int version = 0;
    bool directory = false;
    uint32_t crc = 0;
};

struct Manifest {
    std::vector<ManifestRow> rows;
    std::map<std::string, std::string> notes;  // first non-empty note of each archive
};

Manifest readManifest() {
    Manifest manifest;
    std::istringstream in(test::readText(test::rarTestData() / "MANIFEST.tsv"));
    std::string line;
    std::getline(in, line);  // column names
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::string field;
        std::istringstream cells(line);
        while (std::getline(cells, field, '\t')) f.push_back(field);
        if (f.size() < 16) continue;
        ManifestRow row{f[0], f[5], uint32_t(std::stoul(f[6])), uint32_t(std::stoul(f[7])), std::stoi(f[8]),
                        f[14] == "dir", uint32_t(std::stoul(f[15], nullptr, 16))};
        if (f.size() > 19 && !f[19].empty() && !manifest.notes.count(row.file)) manifest.notes[row.file] = f[19];
        manifest.rows.push_back(row);
    }
    return manifest;
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// Where in the walk the row's entry is: by name, or for names stored in another character set by
// size and CRC. SIZE_MAX when the walk does not reach it.
size_t findEntry(const ArchiveListing& listing, const ManifestRow& row) {
    for (size_t i = 0; i < listing.entries.size(); ++i) {
        if (archiveNamesMatch(listing.entries[i].name, row.entry)) return i;
    }
    for (size_t i = 0; i < listing.entries.size(); ++i) {
        const ArchiveEntry& e = listing.entries[i];
        if (!e.isDirectory() && e.dataCrc == row.crc && e.unpackedSize == row.unpackedSize &&
            e.packedSize == row.packedSize)
            return i;
    }
    return SIZE_MAX;
}

TEST(RealArchives, EveryVersion20EntryIsByteIdenticalAndTheRestFailCleanly) {
    const Manifest manifest = readManifest();
    ASSERT_EQ(manifest.rows.size(), 43u);
    int identical = 0;
    int failed = 0;
    for (const ManifestRow& row : manifest.rows) {
        SCOPED_TRACE(row.file + ": " + row.entry);
        const auto bytes = test::readBytes(test::rarTestData() / row.file);
        ASSERT_FALSE(bytes.empty());
        ArchiveListing listing;
        ASSERT_TRUE(listArchive(bytes, listing));
        const std::string& note = manifest.notes.count(row.file) ? manifest.notes.at(row.file) : std::string();
        const bool negative = startsWith(note, "NEGATIVE") || startsWith(note, "SYNTHETIC");
        const size_t index = findEntry(listing, row);
        // Parts of a volume set carry only their share of an entry.
        const bool split = index != SIZE_MAX && (listing.entries[index].flags & (ArchiveEntry::kFlagSplitAfter |
                                                                                 ArchiveEntry::kFlagSplitBefore));
        const bool expectBytes = index != SIZE_MAX && !split && !negative &&
                                 (row.directory || row.version == 20);

        ArchiveReader reader;
        MemoryArchive archive{bytes, 0};
        const auto byIndex = index == SIZE_MAX ? std::nullopt : reader.extractEntry(index, archive);
        if (!expectBytes) {
            EXPECT_FALSE(byIndex);
            EXPECT_FALSE(reader.extract({}, row.entry, archive));
            ++failed;
            continue;
        }
        ASSERT_TRUE(byIndex);
        if (row.directory) {
            EXPECT_TRUE(byIndex->empty());
        } else {
            const auto expected = test::readBytes(test::rarTestData() / (row.file + ".expected") / row.entry);
            ASSERT_EQ(expected.size(), row.unpackedSize);
            EXPECT_TRUE(*byIndex == expected);
            // Through the name, in '/' spelling, where the stored name is the same text.
            if (archiveNamesMatch(listing.entries[index].name, row.entry)) {
                const auto byName = reader.extract({}, row.entry, archive);
                EXPECT_TRUE(byName && *byName == expected);
            }
        }
        ++identical;
    }
    // 25 version-20 entries, 2 folders in the first volume of the volume set, and the 2 folders of
    // the version-15 archive (version in range, no stream: empty like any folder).
    EXPECT_EQ(identical, 29);
    EXPECT_EQ(failed, 14);
}

TEST(RealArchives, VolumeSetJoinsEntriesSplitOverItsParts) {
    std::vector<std::vector<uint8_t>> parts = {test::readBytes(test::rarTestData() / "sharpcompress-Rar2.multi.rar")};
    for (int n = 0; n <= 5; ++n) {
        parts.push_back(test::readBytes(test::rarTestData() / ("sharpcompress-Rar2.multi.r0" + std::to_string(n))));
    }
    std::vector<std::span<const uint8_t>> volumes(parts.begin(), parts.end());
    ArchiveListing listing;
    ASSERT_TRUE(listVolumes(volumes, listing));
    ASSERT_EQ(listing.entries.size(), 5u);
    const auto expectedDir = test::rarTestData() / "sharpcompress-Rar2.multi.rar.expected";
    const char* files[] = {"exe/test.exe", "jpg/test.jpg", "\xD1\x82\xD0\xB5\xD1\x81\xD1\x82.txt"};
    ArchiveReader reader;
    for (size_t i = 2; i < 5; ++i) {
        EXPECT_EQ(listing.entries[i].flags & (ArchiveEntry::kFlagSplitBefore | ArchiveEntry::kFlagSplitAfter), 0);
        const auto bytes = reader.extractEntryFromVolumes(volumes, i);
        ASSERT_TRUE(bytes) << files[i - 2];
        EXPECT_TRUE(*bytes == test::readBytes(expectedDir / files[i - 2])) << files[i - 2];
    }
    EXPECT_EQ(reader.extractFromVolumes(volumes, "JPG\\TEST.JPG"), test::readBytes(expectedDir / "jpg/test.jpg"));
    // Without its last part the entry that ends there is incomplete and fails.
    volumes.pop_back();
    EXPECT_FALSE(reader.extractEntryFromVolumes(volumes, 4));
    EXPECT_TRUE(reader.extractEntryFromVolumes(volumes, 3));
}

TEST(RealArchives, SolidEntryDecodesAfterItsPredecessorWhicheverIsAskedFirst) {
    const auto bytes = test::readBytes(test::rarTestData() / "zxtune-test_v2solid5.rar");
    const auto expected = test::readBytes(test::rarTestData() / "zxtune-test_v2solid5.rar.expected/p5.bin");
    ArchiveReader reader;
    MemoryArchive archive{bytes, 0};
    // The second entry is 50 bytes of matches into the first one's window.
    EXPECT_EQ(reader.extract({}, "p5_solid.bin", archive), expected);
    EXPECT_EQ(reader.extract({}, "p5.bin", archive), expected);
    EXPECT_EQ(reader.extract({}, "P5_SOLID.BIN", archive), expected);
}

TEST(RealArchives, ShortenedUnpackedSizeOrStreamFailsWithoutOverrun) {
    const auto original = test::readBytes(test::rarTestData() / "zxtune-test_v2.rar");
    ArchiveListing listing;
    ASSERT_TRUE(listArchive(original, listing));
    const ArchiveEntry& entry = listing.entries[1];  // p1.bin, LZ
    ASSERT_EQ(entry.name, "p1.bin");
    ArchiveReader reader;
    // The last flush would pass the unpacked size: nothing more is written, the CRC fails.
    auto smaller = original;
    test::patchU32(smaller, size_t(entry.headerOffset) + 11, entry.unpackedSize - 100);
    MemoryArchive a{smaller, 0};
    EXPECT_FALSE(reader.extract({}, "p1.bin", a));
    // The stream ends early: the archive is cut in the middle of the entry's data.
    std::vector<uint8_t> cut(original.begin(), original.begin() + std::ptrdiff_t(entry.dataOffset + entry.packedSize / 2));
    MemoryArchive b{cut, 0};
    EXPECT_FALSE(reader.extract({}, "p1.bin", b));
    // A larger unpacked size: the stream runs out before the output is full.
    auto larger = original;
    test::patchU32(larger, size_t(entry.headerOffset) + 11, entry.unpackedSize + 5000);
    MemoryArchive c{larger, 0};
    EXPECT_FALSE(reader.extract({}, "p1.bin", c));
    // The same reader still decodes the untouched archive afterwards.
    MemoryArchive d{original, 0};
    EXPECT_EQ(reader.extract({}, "p1.bin", d),
              test::readBytes(test::rarTestData() / "zxtune-test_v2.rar.expected/p1.bin"));
}

// Random damage to real archives: whatever comes back must be exactly what the (damaged) header
// promises, and the reader must stay inside its buffers (the sanitizer build checks that part).
TEST(RealArchives, RandomDamageNeverYieldsUncheckedBytes) {
    std::mt19937 random(20241224);
    int successes = 0;
    int attempts = 0;
    for (const char* name : {"zxtune-test_v2.rar", "zxtune-test_v2solid5.rar", "sharpcompress-Rar2.rar",
                             "junrar-BoatModernEnglish-regular-unpack20.rar", "junrar-void-dist-v20.rar",
                             "libarchive-test_read_format_rar.rar"}) {
        const auto original = test::readBytes(test::rarTestData() / name);
        ArchiveReader reader;
        for (int round = 0; round < 150; ++round) {
            auto damaged = original;
            const int kind = round % 3;
            if (kind == 0 || kind == 2) {
                const int flips = 1 + int(random() % 4);
                for (int k = 0; k < flips; ++k) damaged[random() % damaged.size()] ^= uint8_t(1 + random() % 255);
            }
            if (kind == 1 || kind == 2) damaged.resize(random() % damaged.size());
            ArchiveListing listing;
            if (!listArchive(damaged, listing)) continue;
            MemoryArchive archive{damaged, 0};
            for (size_t i = 0; i < listing.entries.size(); ++i) {
                ++attempts;
                const auto bytes = reader.extractEntry(i, archive);
                if (!bytes) continue;
                ++successes;
                const ArchiveEntry& entry = listing.entries[i];
                EXPECT_LE(bytes->size(), entry.unpackedSize);
                if (bytes->size() == entry.unpackedSize) {
                    EXPECT_EQ(crc32(*bytes), entry.dataCrc) << name << " " << i;
                }
            }
        }
    }
    // Most single-byte damage misses the entry that is asked for: successes must be common.
    EXPECT_GT(successes, attempts / 10);
}

}  // namespace
}  // namespace hg
