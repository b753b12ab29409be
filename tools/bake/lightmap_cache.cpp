#include "bake/lightmap_cache.h"

#include <cstdio>
#include <fstream>
#include <system_error>

#include <unistd.h>

namespace hg::bake::room {

namespace {

constexpr char kMagic[8] = {'H', 'G', 'L', 'I', 'T', '0', '0', '1'};

}  // namespace

void InputHash::bytes(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
        hash_ ^= p[i];
        hash_ *= 1099511628211ull;
    }
}

void InputHash::text(std::string_view s) {
    number(s.size());
    bytes(s.data(), s.size());
}

std::filesystem::path LightmapCache::fileOf(uint64_t key) const {
    char name[40];
    std::snprintf(name, sizeof name, "lit-%016llx.bin", static_cast<unsigned long long>(key));
    return folder_ / name;
}

std::optional<std::vector<std::vector<Float3>>> LightmapCache::find(uint64_t key, const std::vector<size_t>& sizes) const {
    std::ifstream in(fileOf(key), std::ios::binary);
    if (!in) return std::nullopt;
    char magic[8];
    uint64_t storedKey = 0, count = 0;
    in.read(magic, sizeof magic);
    in.read(reinterpret_cast<char*>(&storedKey), sizeof storedKey);
    in.read(reinterpret_cast<char*>(&count), sizeof count);
    if (!in || !std::equal(magic, magic + 8, kMagic) || storedKey != key || count != sizes.size()) return std::nullopt;
    std::vector<std::vector<Float3>> maps;
    for (size_t size : sizes) {
        uint64_t stored = 0;
        in.read(reinterpret_cast<char*>(&stored), sizeof stored);
        if (!in || stored != size) return std::nullopt;
        std::vector<Float3> map(size);
        in.read(reinterpret_cast<char*>(map.data()), static_cast<std::streamsize>(size * sizeof(Float3)));
        if (!in) return std::nullopt;
        maps.push_back(std::move(map));
    }
    if (in.peek() != std::char_traits<char>::eof()) return std::nullopt;
    return maps;
}

void LightmapCache::store(uint64_t key, const std::vector<std::vector<Float3>>& maps) const {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    // Each writer its own file aside: bakes running side by side may store the same key.
    const std::filesystem::path target = fileOf(key), aside = target.string() + "." + std::to_string(getpid()) + ".part";
    {
        std::ofstream out(aside, std::ios::binary | std::ios::trunc);
        const uint64_t count = maps.size();
        out.write(kMagic, sizeof kMagic);
        out.write(reinterpret_cast<const char*>(&key), sizeof key);
        out.write(reinterpret_cast<const char*>(&count), sizeof count);
        for (const auto& map : maps) {
            const uint64_t size = map.size();
            out.write(reinterpret_cast<const char*>(&size), sizeof size);
            out.write(reinterpret_cast<const char*>(map.data()), static_cast<std::streamsize>(size * sizeof(Float3)));
        }
        out.close();
        if (!out) {
            std::filesystem::remove(aside, error);
            return;
        }
    }
    std::filesystem::rename(aside, target, error);
    if (error) return;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.path() != target && name.starts_with("lit-") && name.ends_with(".bin")) std::filesystem::remove(entry.path(), error);
    }
}

}  // namespace hg::bake::room
