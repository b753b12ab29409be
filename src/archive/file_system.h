#pragma once
// Every asset is read by relative path ("Textures/tex_default.tga") out of the two archives the
// program carries: the main archive first, then the overlay archive.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace hg {

class Log;

class FileSystem {
public:
    // Probes the on-disk Base/ files (log lines only) and takes the two read-only archive images,
    // which must stay valid for the life of the process.
    void initialise(Log& log, std::span<const uint8_t> mainArchive, std::span<const uint8_t> overlayArchive);

    // A fresh copy of the file's bytes, or nothing. Case, '/', '\' and '_' are interchangeable.
    std::optional<std::vector<uint8_t>> get(std::string_view path) const;

private:
    std::span<const uint8_t> main_;
    std::span<const uint8_t> overlay_;
};

}  // namespace hg
