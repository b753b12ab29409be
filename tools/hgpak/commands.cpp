#include "hgpak/commands.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <optional>

#include "archive/archive_reader.h"
#include "hgpak/archive_writer.h"

namespace hg::pak {
namespace {

constexpr const char* kUsage =
    "usage: hgpak create OUT DIR [--time YYYY-MM-DDTHH:MM:SS] | list ARCHIVE | extract ARCHIVE NAME [OUT] | "
    "test ARCHIVE\n";

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::error_code code;
    if (!std::filesystem::is_regular_file(path, code)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    return !out.fail();
}

// An archive and its entry list. The first part of a volume set ("name.rar") brings the parts
// that follow it ("name.r00", "name.r01", ...) when they lie beside it.
struct OpenArchive {
    std::vector<std::vector<uint8_t>> parts;
    std::vector<std::span<const uint8_t>> volumes;
    ArchiveListing listing;
};

bool openArchive(const std::string& path, OpenArchive& archive, std::ostream& err) {
    archive.parts.assign(1, {});
    if (!readWholeFile(path, archive.parts[0])) {
        err << "hgpak: cannot read " << path << "\n";
        return false;
    }
    if (!listArchive(archive.parts[0], archive.listing)) {
        err << "hgpak: " << path << " is not an archive\n";
        return false;
    }
    if (archive.listing.volume && path.size() > 4 && path.compare(path.size() - 4, 4, ".rar") == 0) {
        for (int n = 0; n < 1000; ++n) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, ".r%02d", n);
            std::vector<uint8_t> part;
            if (!readWholeFile(path.substr(0, path.size() - 4) + suffix, part)) break;
            archive.parts.push_back(std::move(part));
        }
    }
    for (const auto& part : archive.parts) archive.volumes.emplace_back(part);
    if (archive.parts.size() > 1 && !listVolumes(archive.volumes, archive.listing)) {
        err << "hgpak: a part of " << path << " is not an archive\n";
        return false;
    }
    return true;
}

std::optional<std::vector<uint8_t>> extractByName(ArchiveReader& reader, OpenArchive& archive, const std::string& name) {
    if (archive.volumes.size() > 1) return reader.extractFromVolumes(archive.volumes, name);
    MemoryArchive memory{archive.volumes[0], 0};
    return reader.extract({}, name, memory);
}

std::optional<std::vector<uint8_t>> extractByIndex(ArchiveReader& reader, OpenArchive& archive, size_t index) {
    if (archive.volumes.size() > 1) return reader.extractEntryFromVolumes(archive.volumes, index);
    MemoryArchive memory{archive.volumes[0], 0};
    return reader.extractEntry(index, memory);
}

int create(const std::vector<std::string>& args, std::ostream& err) {
    std::vector<std::string> positional;
    std::optional<uint32_t> fixedTime;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--time") {
            if (i + 1 >= args.size() || !(fixedTime = parseTime(args[i + 1]))) {
                err << "hgpak: --time wants YYYY-MM-DDTHH:MM:SS (1980 to 2107)\n";
                return 2;
            }
            ++i;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) {
        err << kUsage;
        return 2;
    }
    std::vector<PackItem> items;
    std::string error;
    if (!collectFolder(positional[1], fixedTime, items, error)) {
        err << "hgpak: " << error << "\n";
        return 1;
    }
    // Written beside the target and renamed, so a failed run never leaves half an archive.
    const std::string temporary = positional[0] + ".partial";
    if (!writeWholeFile(temporary, writeStoredArchive(items))) {
        err << "hgpak: cannot write " << positional[0] << "\n";
        std::remove(temporary.c_str());
        return 1;
    }
    std::error_code code;
    std::filesystem::rename(temporary, positional[0], code);
    if (code) {
        err << "hgpak: cannot write " << positional[0] << ": " << code.message() << "\n";
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}

int list(const std::string& path, std::ostream& out, std::ostream& err) {
    OpenArchive archive;
    if (!openArchive(path, archive, err)) return 1;
    for (const ArchiveEntry& entry : archive.listing.entries) {
        char line[96];
        std::snprintf(line, sizeof line, "\t%u\t%u\t%u\t0x%02X\t%08x\n", entry.unpackedSize, entry.packedSize,
                      entry.version, entry.method, entry.dataCrc);
        out << entry.name << line;
    }
    return 0;
}

int extract(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    OpenArchive archive;
    if (!openArchive(args[0], archive, err)) return 1;
    ArchiveReader reader;
    const auto entry = extractByName(reader, archive, args[1]);
    if (!entry) {
        bool present = false;
        for (const ArchiveEntry& e : archive.listing.entries) present = present || (e.nameFits && archiveNamesMatch(e.name, args[1]));
        if (present) {
            err << "hgpak: " << args[1] << " in " << args[0] << " cannot be extracted (damaged, encrypted or unsupported)\n";
        } else {
            err << "hgpak: " << args[1] << " not found in " << args[0] << "\n";
        }
        return 1;
    }
    if (args.size() == 3) {
        if (!writeWholeFile(args[2], *entry)) {
            err << "hgpak: cannot write " << args[2] << "\n";
            return 1;
        }
        return 0;
    }
    out.write(reinterpret_cast<const char*>(entry->data()), std::streamsize(entry->size()));
    out.flush();
    return out ? 0 : 1;
}

int test(const std::string& path, std::ostream& out, std::ostream& err) {
    OpenArchive archive;
    if (!openArchive(path, archive, err)) return 1;
    ArchiveReader reader;
    bool allGood = true;
    for (size_t i = 0; i < archive.listing.entries.size(); ++i) {
        const bool ok = extractByIndex(reader, archive, i).has_value();
        allGood = allGood && ok;
        out << (ok ? "OK      " : "FAILED  ") << archive.listing.entries[i].name << "\n";
    }
    return allGood ? 0 : 1;
}

}  // namespace

int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << kUsage;
        return 2;
    }
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "create") return create(rest, err);
    if (command == "list" && rest.size() == 1) return list(rest[0], out, err);
    if (command == "extract" && (rest.size() == 2 || rest.size() == 3)) return extract(rest, out, err);
    if (command == "test" && rest.size() == 1) return test(rest[0], out, err);
    err << kUsage;
    return 2;
}

}  // namespace hg::pak
