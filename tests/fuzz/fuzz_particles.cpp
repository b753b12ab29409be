// A particle system file ("Particles/<name>.bin") as the room uses one: a marker starts the system,
// the particle manager reads the file, asks for the sprites and simulates the bursts for a number
// of frames of several lengths, starting it again as an active marker does. Only the drawing, which
// needs GL, is left out.
//
// Checks: at most five emitters are read; every emitter holds no more particles than the shared
// vertex array has room for; the vertices written fit that array, whole quads, and each texture
// group's run lies inside what was written.
#include <map>
#include <string>
#include <vector>

#include "core/random.h"
#include "effects/particle_system.h"
#include "fuzz_target.h"

namespace {

using namespace hg;

void checkManager(const ParticleManager& particles) {
    const int written = particles.verticesWritten();
    fuzz::check(written >= 0 && written <= ParticleManager::kVertexCapacity && written % 4 == 0,
                "whole quads inside the vertex array");
    for (const ParticleTextureGroup& group : particles.groups()) {
        fuzz::check(group.firstVertex >= 0 && group.vertexCount >= 0 && group.firstVertex + group.vertexCount <= written,
                    "a texture group's run lies inside what was written");
        for (const ParticleEmitter& emitter : group.emitters) {
            fuzz::check(emitter.particleCount >= 0 && emitter.particleCount <= ParticleManager::kMaxParticlesPerEmitter &&
                            emitter.particles.size() == size_t(emitter.particleCount),
                        "an emitter's particles fit the vertex array");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::vector<uint8_t> file;
    // One handle per sprite name, as the texture manager gives: emitters of one sprite share a group.
    static std::map<std::string, GLuint> textures;
    // One manager for every input, emptied first: its shared vertex array is large, and what is left
    // in it from an earlier input is only ever overwritten.
    static ParticleManager particles(
        [](const std::string& path) -> std::optional<std::vector<uint8_t>> {
            if (path == "Particles/candle.bin") return file;
            return std::nullopt;
        },
        [](const std::string& path) { return textures.try_emplace(path, GLuint(textures.size() + 1)).first->second; });
    const std::span<const uint8_t> input = fuzz::inputOf(data, size);
    file.assign(input.begin(), input.end());
    particles.destroyAll();
    // The same sparks for the same input, so a found input replays.
    seedRandom(1);
    textures.clear();

    const Vec3 where{10.0f, 20.0f, 5.0f};
    particles.setCameraPosition({0.0f, 0.0f, 100.0f});
    // Started and simulated (short frames accumulate), started again while the first bursts live,
    // and simulated by one long frame at once.
    for (float step : {1.0f, 1.0f, 40.0f}) {
        particles.emit("candle", where, Quaternion::identity());
        particles.update(step);
        checkManager(particles);
    }
    const std::vector<EmitterDefinition>* definition = particles.definition("candle");
    fuzz::check(definition && definition->size() <= size_t(kMaxEmittersPerSystem), "at most five emitters");
    return 0;
}
