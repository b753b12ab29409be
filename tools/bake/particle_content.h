#pragma once
// The particle systems of the room and their sprites: fire embers and glow, candle flames, snow
// outside the windows, the locomotive's steam and the coloured lights of the fir tree.
#include <string>
#include <utility>
#include <vector>

#include "bake/bakery.h"
#include "effects/particle_definition.h"

namespace hg::bake {

// Every system by name ("fire", "red_firlight", ...), in the order they are written.
std::vector<std::pair<std::string, std::vector<hg::EmitterDefinition>>> particleSystems();

}  // namespace hg::bake
