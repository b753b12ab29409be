#include "scene/mesh.h"

namespace hg {

std::string shortNameOf(const std::string& markerName) {
    const size_t blank = markerName.find(' ');
    return blank == std::string::npos ? markerName : markerName.substr(blank + 1);
}

}  // namespace hg
