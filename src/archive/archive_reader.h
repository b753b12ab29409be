#pragma once
// Reads named entries out of an archive that lies wholly in memory. Each request walks the block
// headers from the start, unless an index of that archive says where the walk would first meet the
// name. Every header field is treated as untrusted: no read leaves the archive, and a bad entry
// fails the request instead of producing wrong bytes.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace hg {

class Decompressor;

// One archive image; `position` is the reader's cursor, overwritten by every request.
struct MemoryArchive {
    std::span<const uint8_t> data;
    uint32_t position = 0;
};

// One file block as the walk reads it.
struct ArchiveEntry {
    static constexpr uint16_t kFlagSplitBefore = 0x0001;
    static constexpr uint16_t kFlagSplitAfter = 0x0002;
    static constexpr uint16_t kFlagEncrypted = 0x0004;
    static constexpr uint16_t kFlagSolid = 0x0010;
    static constexpr uint16_t kFlagDirectory = 0x00E0;
    static constexpr uint16_t kFlagLongBlock = 0x8000;

    std::string name;  // stored name up to its first zero byte, at most 259 bytes, '\' separators
    bool nameFits = true;  // false when the name runs past the header: such an entry never matches
    uint16_t flags = 0;
    uint32_t packedSize = 0;
    uint32_t unpackedSize = 0;
    uint8_t hostSystem = 0;
    uint32_t dataCrc = 0;
    uint32_t fileTime = 0;
    uint8_t version = 0;
    uint8_t method = 0;
    uint32_t attributes = 0;
    uint64_t headerOffset = 0;
    uint64_t dataOffset = 0;  // may lie past the archive's end in a damaged archive

    bool isDirectory() const { return (flags & kFlagDirectory) == kFlagDirectory; }
    bool isEncrypted() const { return (flags & kFlagEncrypted) != 0; }
    bool isStored() const { return method == 0x30; }
};

// The walk's view of a whole archive (for listing tools). False when the bytes do not start with
// the marker and a complete main header.
struct ArchiveListing {
    bool solid = false;
    bool volume = false;  // one part of a volume set
    std::vector<ArchiveEntry> entries;
};
bool listArchive(std::span<const uint8_t> archive, ArchiveListing& listing);

// A volume set, parts in order: entries split over parts appear once, with the packed size of all
// their parts and the CRC of the last part (the whole entry's). False when a part is not an archive.
bool listVolumes(std::span<const std::span<const uint8_t>> volumes, ArchiveListing& listing);

// Archive names match when they are equal after '\' and '/' become '_' and letters are upper-cased.
bool archiveNamesMatch(std::string_view a, std::string_view b);

// Where a walk of one archive's headers first meets each name, from one walk made up front: an
// archive that never changes (the program's own) need not be walked from its start for every
// lookup. The index knows the archive it was made for and is ignored for any other.
class ArchiveIndex {
public:
    ArchiveIndex() = default;
    explicit ArchiveIndex(std::span<const uint8_t> archive);

    bool covers(std::span<const uint8_t> archive) const {
        return valid_ && archive.data() == data_ && archive.size() == size_;
    }
    // The header offset of the first entry whose name matches, or nothing.
    std::optional<uint64_t> firstEntryOf(std::string_view name) const;
    // Where a walk that meets no match stops.
    uint64_t walkEnd() const { return walkEnd_; }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    bool valid_ = false;  // the bytes start with the marker and a complete main header
    std::unordered_map<std::string, uint64_t> firstByName_;  // names in their matching form
    uint64_t walkEnd_ = 0;
};

class ArchiveReader {
public:
    static constexpr uint32_t kMaxUnpackedSize = 256u << 20;  // larger entries are refused
    static constexpr size_t kMaxNameLength = 511;             // longer wanted names never match

    ArchiveReader();
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // The bytes of the first entry whose name matches `name`, or nothing: not found, version
    // outside 13..20, CRC mismatch, encrypted, or an implausible size. An empty password reads
    // encrypted entries as stored (their CRC then fails); a password is not supported.
    // `index`, when it covers the archive, lets a non-solid archive's walk start at the match.
    std::optional<std::vector<uint8_t>> extract(std::string_view password, std::string_view name,
                                                MemoryArchive& archive, const ArchiveIndex* index = nullptr);

    // The same for the `index`-th file block in archive order, whatever its name (tools that check
    // every entry use this, so two entries with matching names are both reached).
    std::optional<std::vector<uint8_t>> extractEntry(size_t index, MemoryArchive& archive);

    // The same over a volume set (tools only): an entry split over parts is joined first.
    std::optional<std::vector<uint8_t>> extractFromVolumes(std::span<const std::span<const uint8_t>> volumes,
                                                           std::string_view name);
    std::optional<std::vector<uint8_t>> extractEntryFromVolumes(std::span<const std::span<const uint8_t>> volumes,
                                                                size_t index);
    // The bytes of the first entry whose name matches, where they lie in the archive, when that
    // entry is stored whole (no compression, no encryption, not split, in a non-solid archive) and
    // its CRC holds. Nothing otherwise: extract() then gives the answer, a copy or a failure.
    std::optional<std::span<const uint8_t>> findStored(std::string_view name, MemoryArchive& archive,
                                                       const ArchiveIndex* index = nullptr);

private:
    enum class Step { Next, Fail, Done };
    std::optional<std::vector<uint8_t>> request(std::string_view password, std::string_view name, size_t index,
                                                MemoryArchive& archive, const ArchiveIndex* names = nullptr);
    std::optional<std::vector<uint8_t>> requestFromVolumes(std::span<const std::span<const uint8_t>> volumes,
                                                           std::string_view name, size_t index);
    // One entry of the walk: `data` is its packed bytes as far as the archive holds them.
    Step visit(const ArchiveEntry& entry, std::span<const uint8_t> data, bool found, bool solidArchive,
               std::string_view password, std::optional<std::vector<uint8_t>>& result);
    std::unique_ptr<Decompressor> decompressor_;
};

}  // namespace hg
