#pragma once
// Particle systems as the program loads them from "Particles/<name>.bin": an emitter count and,
// per emitter, the sprite's file name and a 133-byte record.
#include <cstdint>
#include <vector>

#include "effects/particle_definition.h"

namespace hg::bake {

// Throws BakeError for more than five emitters.
std::vector<uint8_t> encodeParticleSystem(const std::vector<hg::EmitterDefinition>& emitters);

}  // namespace hg::bake
