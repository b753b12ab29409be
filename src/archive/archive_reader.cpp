#include "archive/archive_reader.h"

#include <algorithm>
#include <cstring>

#include "archive/crc32.h"
#include "archive/decompressor.h"

namespace hg {
namespace {

constexpr uint8_t kMarker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr size_t kMainHeaderSize = 13;
constexpr size_t kBlockHeaderSize = 32;
constexpr size_t kMaxStoredName = 259;
constexpr uint8_t kFileBlock = 0x74;
constexpr uint8_t kStopBlock = 0x77;
constexpr uint16_t kMainSolid = 0x0008;
constexpr uint16_t kMainVolume = 0x0001;
constexpr uint8_t kOldestVersion = 13;
constexpr uint8_t kNewestVersion = 20;

uint16_t readU16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t readU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Walks the block headers from the start; yields the file blocks until the walk ends.
class BlockWalk {
public:
    explicit BlockWalk(std::span<const uint8_t> data) : data_(data) {}

    bool begin() {
        if (data_.size() < sizeof kMarker + kMainHeaderSize) return false;
        if (std::memcmp(data_.data(), kMarker, sizeof kMarker) != 0) return false;
        const uint8_t* header = data_.data() + sizeof kMarker;
        solid_ = (readU16(header + 3) & kMainSolid) != 0;
        volume_ = (readU16(header + 3) & kMainVolume) != 0;
        cursor_ = sizeof kMarker + readU16(header + 5);
        return true;
    }

    bool next(ArchiveEntry& entry) {
        for (;;) {
            const uint64_t start = cursor_;
            if (start + kBlockHeaderSize > data_.size()) return false;
            const uint8_t* p = data_.data() + start;
            const uint8_t type = p[2];
            const uint16_t flags = readU16(p + 3);
            const uint16_t headerSize = readU16(p + 5);
            const uint32_t packedSize = readU32(p + 7);
            if (headerSize < 7) return false;
            const uint64_t next = start + headerSize + ((flags & ArchiveEntry::kFlagLongBlock) ? packedSize : 0);
            if (next <= start || type == kStopBlock) return false;
            cursor_ = next;
            if (type != kFileBlock) continue;

            entry.flags = flags;
            entry.packedSize = packedSize;
            entry.unpackedSize = readU32(p + 11);
            entry.hostSystem = p[15];
            entry.dataCrc = readU32(p + 16);
            entry.fileTime = readU32(p + 20);
            entry.version = p[24];
            entry.method = p[25];
            entry.attributes = readU32(p + 28);
            entry.headerOffset = start;
            entry.dataOffset = start + headerSize;
            // The name must lie inside its own header; one that claims more would be read from
            // the entry's data or the next block.
            const uint16_t nameLength = readU16(p + 26);
            entry.nameFits = kBlockHeaderSize + nameLength <= headerSize &&
                             start + kBlockHeaderSize + nameLength <= data_.size();
            entry.name.clear();
            if (entry.nameFits) {
                const char* name = reinterpret_cast<const char*>(p + kBlockHeaderSize);
                const size_t kept = std::min<size_t>(nameLength, kMaxStoredName);
                entry.name.assign(name, strnlen(name, kept));
            }
            return true;
        }
    }

    bool solid() const { return solid_; }
    bool volume() const { return volume_; }
    uint64_t cursor() const { return cursor_; }
    // Goes on from a header an earlier walk of the same bytes reached (begin() first).
    void seek(uint64_t header) { cursor_ = header; }

    // The entry's data, cut to what the archive actually holds.
    std::span<const uint8_t> dataOf(const ArchiveEntry& entry, uint64_t length) const {
        if (entry.dataOffset >= data_.size()) return {};
        const uint64_t available = data_.size() - entry.dataOffset;
        return data_.subspan(size_t(entry.dataOffset), size_t(std::min(length, available)));
    }

private:
    std::span<const uint8_t> data_;
    uint64_t cursor_ = 0;
    bool solid_ = false;
    bool volume_ = false;
};

constexpr uint16_t kSplit = ArchiveEntry::kFlagSplitBefore | ArchiveEntry::kFlagSplitAfter;

// A version this reader knows and a size it is willing to produce.
bool withinReach(const ArchiveEntry& entry) {
    return entry.version >= kOldestVersion && entry.version <= kNewestVersion && entry.unpackedSize <= ArchiveReader::kMaxUnpackedSize;
}

// Where a request leaves the archive's cursor: where the walk stopped, never past the end.
uint32_t cursorAfter(const BlockWalk& walk, std::span<const uint8_t> archive) {
    return uint32_t(std::min<uint64_t>(walk.cursor(), archive.size()));
}

// The entries of a volume set with split entries joined: headers as listVolumes describes them,
// and each entry's packed bytes gathered from its parts.
struct JoinedEntry {
    ArchiveEntry header;
    std::vector<uint8_t> data;
};

bool joinVolumes(std::span<const std::span<const uint8_t>> volumes, bool withData, bool& solid,
                 std::vector<JoinedEntry>& entries) {
    entries.clear();
    solid = false;
    bool open = false;  // the last entry still expects a continuation in the next part
    for (size_t v = 0; v < volumes.size(); ++v) {
        BlockWalk walk(volumes[v]);
        if (!walk.begin()) return false;
        if (v == 0) solid = walk.solid();
        ArchiveEntry entry;
        while (walk.next(entry)) {
            const auto data = walk.dataOf(entry, entry.packedSize);
            const bool continues = open && (entry.flags & ArchiveEntry::kFlagSplitBefore) &&
                                   entry.name == entries.back().header.name;
            if (continues) {
                JoinedEntry& joined = entries.back();
                joined.header.packedSize += entry.packedSize;
                joined.header.dataCrc = entry.dataCrc;
                if (withData) joined.data.insert(joined.data.end(), data.begin(), data.end());
            } else {
                entries.push_back({entry, withData ? std::vector<uint8_t>(data.begin(), data.end())
                                                   : std::vector<uint8_t>()});
            }
            open = (entry.flags & ArchiveEntry::kFlagSplitAfter) != 0;
            if (!open) entries.back().header.flags &= uint16_t(~kSplit);
        }
    }
    return true;
}

char foldNameChar(char c) {
    if (c == '\\' || c == '/') return '_';
    if (c >= 'a' && c <= 'z') return char(c - 'a' + 'A');
    return c;
}

// A name as matching sees it: equal forms, matching names.
std::string matchingForm(std::string_view name) {
    std::string form(name);
    for (char& c : form) c = foldNameChar(c);
    return form;
}

// With an index of this archive, a walk by name in a non-solid archive starts at the first entry of
// that name, or where the walk ends when there is none: the entries before would only be passed
// over. A solid archive's walk must decode every entry before the match, and starts at its start.
void startAtFirstMatch(BlockWalk& walk, std::span<const uint8_t> archive, const ArchiveIndex* index,
                       std::string_view name) {
    if (!index || !index->covers(archive) || walk.solid()) return;
    walk.seek(index->firstEntryOf(name).value_or(index->walkEnd()));
}

}  // namespace

ArchiveIndex::ArchiveIndex(std::span<const uint8_t> archive) : data_(archive.data()), size_(archive.size()) {
    BlockWalk walk(archive);
    if (!walk.begin()) return;
    valid_ = true;
    ArchiveEntry entry;
    while (walk.next(entry)) {
        if (entry.nameFits) firstByName_.try_emplace(matchingForm(entry.name), entry.headerOffset);
    }
    walkEnd_ = walk.cursor();
}

std::optional<uint64_t> ArchiveIndex::firstEntryOf(std::string_view name) const {
    const auto found = firstByName_.find(matchingForm(name));
    if (found == firstByName_.end()) return std::nullopt;
    return found->second;
}

bool archiveNamesMatch(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (foldNameChar(a[i]) != foldNameChar(b[i])) return false;
    }
    return true;
}

bool listArchive(std::span<const uint8_t> archive, ArchiveListing& listing) {
    BlockWalk walk(archive);
    listing.entries.clear();
    if (!walk.begin()) return false;
    listing.solid = walk.solid();
    listing.volume = walk.volume();
    ArchiveEntry entry;
    while (walk.next(entry)) listing.entries.push_back(entry);
    return true;
}

bool listVolumes(std::span<const std::span<const uint8_t>> volumes, ArchiveListing& listing) {
    std::vector<JoinedEntry> joined;
    listing.entries.clear();
    listing.volume = volumes.size() > 1;
    if (!joinVolumes(volumes, false, listing.solid, joined)) return false;
    for (const JoinedEntry& entry : joined) listing.entries.push_back(entry.header);
    return true;
}

ArchiveReader::ArchiveReader() = default;
ArchiveReader::~ArchiveReader() = default;

std::optional<std::vector<uint8_t>> ArchiveReader::extract(std::string_view password, std::string_view name,
                                                           MemoryArchive& archive, const ArchiveIndex* index) {
    if (name.size() > kMaxNameLength) return std::nullopt;
    return request(password, name, SIZE_MAX, archive, index);
}

std::optional<std::vector<uint8_t>> ArchiveReader::extractEntry(size_t index, MemoryArchive& archive) {
    return request({}, {}, index, archive);
}

std::optional<std::vector<uint8_t>> ArchiveReader::extractFromVolumes(
    std::span<const std::span<const uint8_t>> volumes, std::string_view name) {
    if (name.size() > kMaxNameLength) return std::nullopt;
    return requestFromVolumes(volumes, name, SIZE_MAX);
}

std::optional<std::vector<uint8_t>> ArchiveReader::extractEntryFromVolumes(
    std::span<const std::span<const uint8_t>> volumes, size_t index) {
    return requestFromVolumes(volumes, {}, index);
}

ArchiveReader::Step ArchiveReader::visit(const ArchiveEntry& entry, std::span<const uint8_t> data, bool found,
                                         bool solidArchive, std::string_view password,
                                         std::optional<std::vector<uint8_t>>& result) {
    if (!found && !solidArchive) return Step::Next;
    if (!withinReach(entry)) return Step::Fail;
    // Directory entries carry no stream, whatever their method says.
    const bool hasStream = !entry.isStored() && !entry.isDirectory() && entry.packedSize > 0;
    const bool solidEntry = (entry.flags & ArchiveEntry::kFlagSolid) != 0;

    if (!found) {
        // A solid archive shares one window and one set of tables: decode what comes first.
        if (hasStream) {
            if (!decompressor_) decompressor_ = std::make_unique<Decompressor>();
            decompressor_->decode(data, entry.unpackedSize, solidEntry, {});
        }
        return Step::Next;
    }
    if (!password.empty() && entry.isEncrypted()) return Step::Fail;
    // A part of a split entry alone is not the entry.
    if (entry.flags & kSplit) return Step::Fail;
    // A size the entry's own bytes cannot fill is damage, refused before the output is allocated:
    // a file of a few bytes must not make every lookup allocate and checksum hundreds of megabytes.
    const uint64_t fillable =
        entry.isStored() ? data.size() : hasStream ? Decompressor::maxUnpackedSize(data.size()) : 0;
    if (entry.unpackedSize > fillable) return Step::Fail;

    std::vector<uint8_t> bytes(entry.unpackedSize);
    size_t produced = 0;
    if (entry.isStored()) {
        const uint32_t wanted = std::min(entry.unpackedSize, entry.packedSize);
        // All or nothing: an entry cut short by the end of the archive yields no bytes.
        if (data.size() >= wanted && wanted > 0) {
            std::memcpy(bytes.data(), data.data(), wanted);
            produced = wanted;
        }
    } else if (hasStream) {
        if (!decompressor_) decompressor_ = std::make_unique<Decompressor>();
        produced = decompressor_->decode(data, entry.unpackedSize, solidEntry, bytes);
    }
    if (crc32(bytes) != entry.dataCrc) return Step::Fail;
    bytes.resize(produced);
    result = std::move(bytes);
    return Step::Done;
}

std::optional<std::vector<uint8_t>> ArchiveReader::request(std::string_view password, std::string_view name,
                                                           size_t index, MemoryArchive& archive,
                                                           const ArchiveIndex* names) {
    archive.position = 0;
    BlockWalk walk(archive.data);
    if (!walk.begin()) return std::nullopt;
    if (index == SIZE_MAX) startAtFirstMatch(walk, archive.data, names, name);

    std::optional<std::vector<uint8_t>> result;
    ArchiveEntry entry;
    size_t fileIndex = 0;
    while (walk.next(entry)) {
        const bool found = entry.nameFits && (index == SIZE_MAX ? archiveNamesMatch(entry.name, name)
                                                                : fileIndex == index);
        ++fileIndex;
        if (visit(entry, walk.dataOf(entry, entry.packedSize), found, walk.solid(), password, result) != Step::Next)
            break;
    }
    archive.position = cursorAfter(walk, archive.data);
    return result;
}

std::optional<std::span<const uint8_t>> ArchiveReader::findStored(std::string_view name, MemoryArchive& archive,
                                                                  const ArchiveIndex* index) {
    archive.position = 0;
    BlockWalk walk(archive.data);
    if (!walk.begin() || walk.solid()) return std::nullopt;
    startAtFirstMatch(walk, archive.data, index, name);
    ArchiveEntry entry;
    while (walk.next(entry)) {
        if (!entry.nameFits || !archiveNamesMatch(entry.name, name)) continue;
        archive.position = cursorAfter(walk, archive.data);
        // The first match decides, as it does for extract().
        const bool whole = withinReach(entry) && entry.isStored() && !entry.isDirectory() && !entry.isEncrypted() &&
                           !(entry.flags & kSplit) && entry.unpackedSize > 0 && entry.unpackedSize == entry.packedSize;
        if (!whole) return std::nullopt;
        const std::span<const uint8_t> data = walk.dataOf(entry, entry.packedSize);
        if (data.size() != entry.unpackedSize || crc32(data) != entry.dataCrc) return std::nullopt;
        return data;
    }
    archive.position = cursorAfter(walk, archive.data);
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> ArchiveReader::requestFromVolumes(std::span<const std::span<const uint8_t>> volumes,
                                                                      std::string_view name, size_t index) {
    std::vector<JoinedEntry> entries;
    bool solid = false;
    if (!joinVolumes(volumes, true, solid, entries)) return std::nullopt;
    std::optional<std::vector<uint8_t>> result;
    for (size_t i = 0; i < entries.size(); ++i) {
        const ArchiveEntry& entry = entries[i].header;
        const bool found = entry.nameFits && (index == SIZE_MAX ? archiveNamesMatch(entry.name, name) : i == index);
        if (visit(entry, entries[i].data, found, solid, {}, result) != Step::Next) break;
    }
    return result;
}

}  // namespace hg
