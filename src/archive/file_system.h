#pragma once
// Every asset is read by relative path ("Textures/tex_default.tga") out of the two archives the
// program carries: the main archive first, then the overlay archive.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "archive/archive_reader.h"

namespace hg {

class Log;

class FileSystem {
public:
    // Probes the on-disk Base/ files (log lines only) and takes the two read-only archive images,
    // which must stay valid for the life of the process.
    // `release`, when given, is told after each read that the archives' pages are not needed
    // until the next one (the program's own archives return them to the system that way).
    using PageRelease = std::function<void(std::span<const uint8_t> archive)>;
    void initialise(Log& log, std::span<const uint8_t> mainArchive, std::span<const uint8_t> overlayArchive,
                    PageRelease release = {});

    // A fresh copy of the file's bytes, or nothing. Case, '/', '\' and '_' are interchangeable.
    // A missing or corrupt file writes nothing to the log: each caller decides what a miss means.
    std::optional<std::vector<uint8_t>> get(std::string_view path) const;
    // Hands `use` the file's bytes and returns true; false, with `use` not called, when no archive
    // has the file. Where the main archive holds the file stored whole (the program's own archive
    // holds every file so) `use` sees the bytes where they lie, without a copy.
    bool read(std::string_view path, const std::function<void(std::span<const uint8_t>)>& use) const;

private:
    // The reader's working state is scratch space for each lookup, not part of the file system's
    // observable state; lookups run on the program's one thread.
    mutable ArchiveReader reader_;
    mutable MemoryArchive main_;
    mutable MemoryArchive overlay_;
    // Made once: the archives never change, and each lookup goes straight to its entry.
    ArchiveIndex mainIndex_;
    ArchiveIndex overlayIndex_;
    PageRelease release_;
};

}  // namespace hg
