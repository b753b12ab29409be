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

// Loads an archive and its entry list, or writes the reason and fails.
bool openArchive(const std::string& path, std::vector<uint8_t>& bytes, ArchiveListing& listing, std::ostream& err) {
    if (!readWholeFile(path, bytes)) {
        err << "hgpak: cannot read " << path << "\n";
        return false;
    }
    if (!listArchive(bytes, listing)) {
        err << "hgpak: " << path << " is not an archive\n";
        return false;
    }
    return true;
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
    std::vector<uint8_t> bytes;
    ArchiveListing listing;
    if (!openArchive(path, bytes, listing, err)) return 1;
    for (const ArchiveEntry& entry : listing.entries) {
        char line[96];
        std::snprintf(line, sizeof line, "\t%u\t%u\t%u\t0x%02X\t%08x\n", entry.unpackedSize, entry.packedSize,
                      entry.version, entry.method, entry.dataCrc);
        out << entry.name << line;
    }
    return 0;
}

int extract(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<uint8_t> bytes;
    ArchiveListing listing;
    if (!openArchive(args[0], bytes, listing, err)) return 1;
    ArchiveReader reader;
    MemoryArchive archive{bytes, 0};
    const auto entry = reader.extract({}, args[1], archive);
    if (!entry) {
        bool present = false;
        for (const ArchiveEntry& e : listing.entries) present = present || (e.nameFits && archiveNamesMatch(e.name, args[1]));
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
    std::vector<uint8_t> bytes;
    ArchiveListing listing;
    if (!openArchive(path, bytes, listing, err)) return 1;
    ArchiveReader reader;
    MemoryArchive archive{bytes, 0};
    bool allGood = true;
    for (size_t i = 0; i < listing.entries.size(); ++i) {
        const bool ok = reader.extractEntry(i, archive).has_value();
        allGood = allGood && ok;
        out << (ok ? "OK      " : "FAILED  ") << listing.entries[i].name << "\n";
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
