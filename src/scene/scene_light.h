#pragma once
// A point light of the room and the names of the scene nodes it shines on.
#include <string>
#include <vector>

namespace hg {

struct SceneLight {
    float position[4] = {0, 0, 0, 1};  // w = 1: a positional light
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {0, 0, 0, 1};
    float specular[4] = {0, 0, 0, 1};
    float reach = 0.0f;
    float range = 0.0f;
    std::vector<std::string> names;
};

}  // namespace hg
