// The archive reader and its decompressor as hgpak and the program use them. The input holds two
// archives, cut at the second archive marker. Each is listed and tested entry by entry (hgpak list
// and test); every listed name is read through the file system over both (the program's lookups,
// main archive first); and the two are read as one volume set (hgpak given a first part and the
// part after it).
//
// Checks: an entry never yields more than its unpacked size, and the checksum it passed is that of
// exactly the bytes it yields (the rest of the stated size counting as zeros); a lookup by name
// gives the same bytes as testing that entry by its index, whatever the reader read before, and the
// same with the archive's index as by walking; a read that hands over the bytes in place hands over
// the same bytes as the copying lookup.
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/crc32.h"
#include "archive/file_system.h"
#include "core/log.h"
#include "fuzz_target.h"

namespace {

using namespace hg;
using Bytes = std::optional<std::vector<uint8_t>>;

constexpr uint8_t kMarker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
// Each request walks the archive from its start, so testing every entry is quadratic: the first
// entries reach every path of the reader, and a long list of tiny entries must not make every run
// slow.
constexpr size_t kMaxEntriesTried = 64;

void checkExtracted(const std::vector<uint8_t>& bytes, const ArchiveEntry& entry) {
    fuzz::check(bytes.size() <= entry.unpackedSize, "an entry yields at most its unpacked size");
    static const std::array<uint8_t, 65536> zeros{};
    uint32_t crc = crc32(bytes);
    for (size_t left = entry.unpackedSize - bytes.size(); left > 0;) {
        const size_t n = std::min(left, zeros.size());
        crc = crc32(std::span<const uint8_t>(zeros.data(), n), crc);
        left -= n;
    }
    fuzz::check(crc == entry.dataCrc, "an entry's bytes (zero-padded to its size) carry its checksum");
}

struct Part {
    std::span<const uint8_t> bytes;
    bool listed = false;
    ArchiveListing listing;
    std::vector<Bytes> tested;  // by entry index, as hgpak test reads them
};

// hgpak list and test: every entry by its index.
void listAndTest(Part& part) {
    part.listed = listArchive(part.bytes, part.listing);
    if (!part.listed) return;
    uint64_t previous = 0;
    for (const ArchiveEntry& entry : part.listing.entries) {
        fuzz::check(entry.headerOffset >= previous && entry.headerOffset + 32 <= part.bytes.size(),
                    "the walk moves forwards over whole headers");
        fuzz::check(entry.dataOffset > entry.headerOffset, "an entry's data follows its header");
        previous = entry.headerOffset + 1;
    }
    ArchiveReader reader;
    MemoryArchive memory{part.bytes, 0};
    const size_t count = std::min(part.listing.entries.size(), kMaxEntriesTried);
    for (size_t i = 0; i < count; ++i) {
        Bytes bytes = reader.extractEntry(i, memory);
        fuzz::check(memory.position <= part.bytes.size(), "the cursor stays inside the archive");
        if (bytes) checkExtracted(*bytes, part.listing.entries[i]);
        part.tested.push_back(std::move(bytes));
    }
}

// A lookup through the archive's index arrives where the walk from the start does: the same bytes,
// in place or copied, and the same cursor afterwards.
void checkIndexedLookups(const Part& part) {
    const ArchiveIndex index(part.bytes);
    ArchiveReader reader;
    MemoryArchive walked{part.bytes, 0};
    MemoryArchive indexed{part.bytes, 0};
    const size_t count = std::min(part.listing.entries.size(), kMaxEntriesTried);
    for (size_t i = 0; i < count; ++i) {
        const std::string& name = part.listing.entries[i].name;
        const auto inPlace = reader.findStored(name, walked);
        const auto there = reader.findStored(name, indexed, &index);
        const bool samePlace = inPlace.has_value() == there.has_value() &&
                               (!inPlace || (inPlace->data() == there->data() && inPlace->size() == there->size()));
        fuzz::check(samePlace && walked.position == indexed.position, "an indexed lookup in place finds what the walk finds");
        const Bytes copy = reader.extract({}, name, walked);
        const Bytes copied = reader.extract({}, name, indexed, &index);
        fuzz::check(copy == copied && walked.position == indexed.position, "an indexed lookup reads what the walk reads");
    }
}

// The index of the first entry a lookup of `name` reaches, or nothing.
std::optional<size_t> firstMatch(const Part& part, const std::string& name) {
    for (size_t i = 0; i < part.listing.entries.size(); ++i) {
        const ArchiveEntry& entry = part.listing.entries[i];
        if (entry.nameFits && archiveNamesMatch(entry.name, name)) return i;
    }
    return std::nullopt;
}

// What a lookup must give: the first match of the main archive when it reads, else the overlay's.
Bytes expectedLookup(const std::array<Part, 2>& parts, const std::string& name) {
    for (const Part& part : parts) {
        const std::optional<size_t> index = firstMatch(part, name);
        if (!index) continue;
        if (*index < part.tested.size() && part.tested[*index]) return part.tested[*index];
    }
    return std::nullopt;
}

bool allTested(const std::array<Part, 2>& parts, const std::string& name) {
    for (const Part& part : parts) {
        const std::optional<size_t> index = firstMatch(part, name);
        if (index && *index >= part.tested.size()) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input = fuzz::inputOf(data, size);
    const auto second = input.empty() ? input.end()
                                      : std::search(input.begin() + 1, input.end(), std::begin(kMarker), std::end(kMarker));
    const size_t cut = size_t(second - input.begin());

    std::array<Part, 2> parts;
    parts[0].bytes = input.first(cut);
    parts[1].bytes = input.subspan(cut);
    for (Part& part : parts) {
        listAndTest(part);
        checkIndexedLookups(part);
    }

    // The program's lookups: one file system over both archives, one reader for every request.
    Log log;
    FileSystem files;
    files.initialise(log, parts[0].bytes, parts[1].bytes);
    size_t lookups = 0;
    for (const Part& part : parts) {
        for (const ArchiveEntry& entry : part.listing.entries) {
            if (!entry.nameFits || lookups++ >= kMaxEntriesTried) continue;
            const Bytes found = files.get(entry.name);
            if (allTested(parts, entry.name)) {
                fuzz::check(found == expectedLookup(parts, entry.name), "a lookup by name reads what the test by index read");
            }
            Bytes handed;
            const bool read = files.read(entry.name, [&handed](std::span<const uint8_t> bytes) {
                handed.emplace(bytes.begin(), bytes.end());
            });
            fuzz::check(read == handed.has_value() && handed == found, "a read in place hands over what the copy reads");
        }
    }

    // hgpak over a volume set: the entries split over both parts joined.
    if (parts[0].listed && parts[1].listed) {
        const std::array<std::span<const uint8_t>, 2> volumes = {parts[0].bytes, parts[1].bytes};
        ArchiveListing joined;
        fuzz::check(listVolumes(volumes, joined), "two archives form a volume set");
        fuzz::check(joined.entries.size() <= parts[0].listing.entries.size() + parts[1].listing.entries.size(),
                    "joining never adds entries");
        ArchiveReader reader;
        const size_t count = std::min(joined.entries.size(), kMaxEntriesTried);
        for (size_t i = 0; i < count; ++i) {
            if (Bytes bytes = reader.extractEntryFromVolumes(volumes, i)) checkExtracted(*bytes, joined.entries[i]);
        }
    }
    return 0;
}
