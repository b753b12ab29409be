// CPU time per frame of the living effects: skinning the fireplace fire, and simulating and
// writing billboard particles into the shared vertex array.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bake/bsa_writer.h"
#include "core/random.h"
#include "bake/fire_content.h"
#include "bake/particle_writer.h"
#include "effects/particle_system.h"
#include "scene/animated_mesh.h"

namespace {

void BM_SkinFireplaceFire(benchmark::State& state) {
    const std::vector<uint8_t> mesh = hg::bake::encodeBsaMesh(hg::bake::fireplaceFireMesh());
    const std::vector<uint8_t> animation = hg::bake::encodeBsaAnimation(hg::bake::fireplaceFireAnimation());
    hg::AnimatedMesh fire;
    fire.loadFromBytes(mesh, {std::span<const uint8_t>(animation)});
    fire.playing = true;
    fire.playSpeed = 0.2f;
    for (auto _ : state) {
        fire.update(1.0f);
        benchmark::DoNotOptimize(fire.drawCorners().data());
    }
    state.counters["corners"] = static_cast<double>(fire.drawCorners().size());
}
BENCHMARK(BM_SkinFireplaceFire);

// One simulation step over `n` live billboard particles (spinning, animated, fading slowly).
void BM_SimulateBillboards(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    hg::EmitterDefinition e;
    e.texture = "snow.tga";
    e.count = n / 5;
    e.spawnBox = {40000, 10000, 20000};
    e.velocity = {-10, -5, -40};
    e.velocityRange = {20, 10, 15};
    e.size = {2, 0, 0};
    e.startAlpha = 1;
    e.peakAlpha = 100;
    e.fadeRate = 0.001f;
    e.frameCount = 4;
    e.frameRate = 4;
    e.spin = 1;
    e.spinSpeed = 10;
    e.sourceBlend = 770;
    e.destinationBlend = 1;
    const std::vector<uint8_t> file = hg::bake::encodeParticleSystem({e, e, e, e, e});
    hg::ParticleManager particles([&](const std::string&) { return std::optional<std::vector<uint8_t>>(file); },
                                  [](const std::string&) { return GLuint{1}; });
    hg::seedRandom(1);
    particles.setViewAxes({1, 0, 0}, {0, 0, 1});
    particles.emit("bench", {0, 0, 0}, hg::Quaternion::identity());
    for (auto _ : state) {
        particles.update(2.0f);  // above 1.5: a simulation step every frame
        benchmark::DoNotOptimize(particles.vertices().data());
    }
    state.counters["vertices"] = particles.verticesWritten();
}
BENCHMARK(BM_SimulateBillboards)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
