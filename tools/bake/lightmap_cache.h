#pragma once
// Lit maps kept between bakes: one file in a folder of the build, named by a hash of everything
// the lighting depends on (geometry, charts, albedo, lights, settings). A bake whose inputs hash
// the same reads the maps back instead of tracing them again; a file that does not read back
// whole is ignored.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "bake/mesh_kit.h"

namespace hg::bake::room {

// FNV-1a over whatever is fed in.
class InputHash {
public:
    void bytes(const void* data, size_t size);
    void floats(std::span<const float> values) { bytes(values.data(), values.size_bytes()); }
    void number(uint64_t value) { bytes(&value, sizeof value); }
    void text(std::string_view s);
    void point(Float3 p) { floats(std::span<const float>(&p.x, 3)); }
    uint64_t value() const { return hash_; }

private:
    uint64_t hash_ = 14695981039346656037ull;
};

class LightmapCache {
public:
    explicit LightmapCache(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // The maps stored under `key`, when each has the size asked for.
    std::optional<std::vector<std::vector<Float3>>> find(uint64_t key, const std::vector<size_t>& sizes) const;
    // Stores the maps under `key` (written aside, then renamed into place) and removes the maps of
    // earlier keys. A cache that cannot be written is only a slower next bake: nothing is thrown.
    void store(uint64_t key, const std::vector<std::vector<Float3>>& maps) const;

private:
    std::filesystem::path fileOf(uint64_t key) const;
    std::filesystem::path folder_;
};

}  // namespace hg::bake::room
