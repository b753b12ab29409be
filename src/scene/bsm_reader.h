#pragma once
// Reads a .BSM model file: objects with their corners and materials, then the emitter markers.
// Texture fields come back as file names; the model library turns them into texture handles.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "scene/mesh.h"

namespace hg {

// The texture file names of one object's material, as stored (file-name part only). A pass the
// object does not have keeps an empty name.
struct MaterialTextureNames {
    std::string base;
    std::string reflection;
    std::string illumination;
};

struct BsmModel {
    Mesh mesh;                                       // pool ranges and texture handles not yet filled
    std::vector<MaterialTextureNames> textureNames;  // one per object, in object order
};

// Parses a whole file. A file that ends early, carries bytes after its last marker, has a negative
// count, or whose face or texture-face indices point outside their arrays is rejected whole: the
// result is empty and nothing of it is used. No count is trusted before the bytes it promises are
// known to be there, so a lying header never causes a large allocation.
std::optional<BsmModel> readBsm(std::span<const uint8_t> bytes);

}  // namespace hg
