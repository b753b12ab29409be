#include "archive/file_system.h"

#include <fstream>

#include "core/log.h"

namespace hg {
namespace {
bool fileOpens(const char* path) {
    std::ifstream probe(path, std::ios::binary);
    return probe.is_open();
}
}  // namespace

void FileSystem::initialise(Log& log, std::span<const uint8_t> mainArchive, std::span<const uint8_t> overlayArchive,
                            PageRelease release) {
    // Only probed and logged: a Base/ folder beside the program changes nothing else.
    if (!fileOpens("Base/Data.pak")) log.writeLine("Data.pak not found");
    if (!fileOpens("Base/Base.rar")) log.writeLine("Base.rar not found");
    main_ = MemoryArchive{mainArchive, 0};
    overlay_ = MemoryArchive{overlayArchive, 0};
    mainIndex_ = ArchiveIndex(mainArchive);
    overlayIndex_ = ArchiveIndex(overlayArchive);
    release_ = std::move(release);
    // The indexing walk read every header.
    if (release_) {
        release_(main_.data);
        release_(overlay_.data);
    }
}

std::optional<std::vector<uint8_t>> FileSystem::get(std::string_view path) const {
    auto bytes = reader_.extract({}, path, main_, &mainIndex_);
    if (!bytes) bytes = reader_.extract({}, path, overlay_, &overlayIndex_);
    // The bytes are a copy: what the walk read of the archives can go.
    if (release_) {
        release_(main_.data);
        release_(overlay_.data);
    }
    return bytes;
}

bool FileSystem::read(std::string_view path, const std::function<void(std::span<const uint8_t>)>& use) const {
    if (const auto inPlace = reader_.findStored(path, main_, &mainIndex_)) {
        use(*inPlace);
        // Only once the bytes have been used can their pages go.
        if (release_) release_(main_.data);
        return true;
    }
    const auto bytes = get(path);
    if (bytes) use(*bytes);
    return bytes.has_value();
}

}  // namespace hg
