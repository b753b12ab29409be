#pragma once
// Every model of the room, loaded once by name from "Models/<name>.BSM", its geometry appended to
// the shared vertex pool. The table has room for 40 models.
#include "gl/gl.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "scene/mesh.h"
#include "scene/vertex_pool.h"

namespace hg {

class FileSystem;
class TextureManager;

struct ModelSources {
    // The bytes of a file by path, or nothing when it is missing.
    std::function<std::optional<std::vector<uint8_t>>(const std::string& path)> readFile;
    // A texture handle by path ("Textures/candle.tga").
    std::function<GLuint(const std::string& path)> texture;
    // Shows a problem to the user (a message box captioned "Error").
    std::function<void(const std::string& text)> report;
    // Whether a texture is fully opaque (no alpha below 255); none is when this is empty.
    std::function<bool(GLuint texture)> isOpaque{};
};

class ModelLibrary {
public:
    static constexpr int kMaxModels = 40;

    ModelLibrary(VertexPool& pool, ModelSources sources) : pool_(pool), sources_(std::move(sources)) {}
    ModelLibrary(VertexPool& pool, const FileSystem& files, TextureManager& textures,
                 std::function<void(const std::string& text)> report);

    // The model loaded under exactly this name, loading it first when needed. A missing or damaged
    // file still takes a slot and gives an empty model (found again by later calls). When all 40
    // slots are taken, "Not found <name>" is reported and nothing is returned.
    Mesh* findOrLoad(const std::string& modelName);

    int count() const { return count_; }
    const Mesh& model(int slot) const { return slots_[static_cast<size_t>(slot)]; }

    // Drops every model's corners and indices; the names stay until the library goes.
    void releaseAll();

private:
    Mesh* find(const std::string& modelName);
    void load(const std::string& modelName);

    VertexPool& pool_;
    ModelSources sources_;
    std::array<Mesh, kMaxModels> slots_;
    int count_ = 0;
};

}  // namespace hg
