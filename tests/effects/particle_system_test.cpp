// Particle definitions and the particle manager: the file record, the start throttles, the
// simulation cadence, fading, texture groups and the shared vertex array's limits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

#include "bake/error.h"
#include "core/random.h"
#include "bake/particle_content.h"
#include "bake/particle_writer.h"
#include "effects/particle_system.h"
#include "scene/mesh.h"

namespace hg {
namespace {

EmitterDefinition simple(const std::string& texture = "glow.tga") {
    EmitterDefinition e;
    e.texture = texture;
    e.count = 1;
    e.size = {2, 0, 0};
    e.startAlpha = 50;
    e.peakAlpha = 100;
    e.fadeRate = 1;
    e.sourceBlend = 770;
    e.destinationBlend = 1;
    return e;
}

// A manager over in-memory files; counts how often each file was asked for.
struct Harness {
    std::map<std::string, std::vector<uint8_t>> files;
    std::map<std::string, int> asked;
    std::map<std::string, GLuint> textureNames;
    ParticleManager particles{[this](const std::string& path) -> std::optional<std::vector<uint8_t>> {
                                  ++asked[path];
                                  auto it = files.find(path);
                                  if (it == files.end()) return std::nullopt;
                                  return it->second;
                              },
                              [this](const std::string& path) {
                                  auto [it, inserted] = textureNames.try_emplace(path, static_cast<GLuint>(textureNames.size() + 1));
                                  return it->second;
                              }};

    Harness() {
        seedRandom(1);
        particles.setViewAxes({1, 0, 0}, {0, 0, 1});
    }
    void add(const std::string& name, const std::vector<EmitterDefinition>& emitters) {
        files["Particles/" + name + ".bin"] = bake::encodeParticleSystem(emitters);
    }
    const Particle& first() const { return particles.groups().at(0).emitters.at(0).particles.at(0); }
};

TEST(ParticleDefinition, RoundTripsEveryField) {
    EmitterDefinition e;
    e.texture = "snowflakes.tga";
    e.velocity = {1, 2, 3};
    e.velocityRange = {4, 5, 6};
    e.spawnBox = {7, 8, 9};
    e.count = 10;
    e.size = {11, 12, 13};
    e.sizeRange = {14, 15, 16};
    e.shrink = {17, 18, 19};
    e.unused76 = 20;
    e.gravity = 21;
    e.outward = 1;
    e.sourceBlend = 770;
    e.destinationBlend = 1;
    e.startAlpha = 22;
    e.peakAlpha = 23;
    e.fadeRate = 24;
    e.alphaRange = 25;
    e.streakTail = 1;
    e.computedDirection = 1;
    e.cameraOffset = 26;
    e.frameCount = 4;
    e.frameRate = 27;
    e.playOnce = 1;
    e.spin = 1;
    e.spinSpeed = 10;
    e.kind = 1;
    const std::vector<uint8_t> bytes = bake::encodeParticleSystem({e});
    ASSERT_EQ(bytes.size(), 4u + 4u + e.texture.size() + 133u);
    // Two fields at their offsets in the record: the blend factors at 85 and the kind at 129.
    const size_t record = 4 + 4 + e.texture.size();
    int32_t value = 0;
    std::memcpy(&value, bytes.data() + record + 85, 4);
    EXPECT_EQ(value, 770);
    std::memcpy(&value, bytes.data() + record + 129, 4);
    EXPECT_EQ(value, 1);

    auto read = parseParticleSystem(bytes);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 1u);
    const EmitterDefinition& r = read->front();
    EXPECT_EQ(r.texture, "snowflakes.tga");
    EXPECT_EQ(r.spawnBox.z, 9.0f);
    EXPECT_EQ(r.count, 10);
    EXPECT_EQ(r.shrink.y, 18.0f);
    EXPECT_EQ(r.gravity, 21.0f);
    EXPECT_EQ(r.outward, 1);
    EXPECT_EQ(r.alphaRange, 25.0f);
    EXPECT_EQ(r.cameraOffset, 26.0f);
    EXPECT_EQ(r.frameCount, 4);
    EXPECT_EQ(r.frameRate, 27.0f);
    EXPECT_EQ(r.playOnce, 1);
    EXPECT_EQ(r.spinSpeed, 10.0f);
    EXPECT_EQ(r.kind, 1);
}

TEST(ParticleDefinition, CountsAboveFiveAndBrokenFiles) {
    std::vector<EmitterDefinition> seven(5, simple());
    std::vector<uint8_t> bytes = bake::encodeParticleSystem(seven);
    EXPECT_THROW(bake::encodeParticleSystem(std::vector<EmitterDefinition>(6, simple())), bake::BakeError);
    // Seven announced, five read, the remaining bytes ignored.
    const int32_t count = 7;
    std::memcpy(bytes.data(), &count, 4);
    bytes.insert(bytes.end(), 50, 0xAB);
    auto read = parseParticleSystem(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), 5u);

    const std::vector<uint8_t> good = bake::encodeParticleSystem({simple(), simple()});
    for (size_t length = 0; length < good.size(); ++length) EXPECT_FALSE(parseParticleSystem(std::span(good).first(length))) << length;
    std::vector<uint8_t> negative = good;
    const int32_t minusOne = -1;
    std::memcpy(negative.data(), &minusOne, 4);
    ASSERT_TRUE(parseParticleSystem(negative));
    EXPECT_TRUE(parseParticleSystem(negative)->empty());
    std::vector<uint8_t> hugeName = good;
    const int32_t huge = 0x7FFFFFFF;
    std::memcpy(hugeName.data() + 4, &huge, 4);
    EXPECT_FALSE(parseParticleSystem(hugeName));
}

TEST(ParticleDefinition, ShippedSystemsAreAdditiveAndSnowHasFourSpinningFrames) {
    auto systems = bake::particleSystems();
    std::map<std::string, std::vector<EmitterDefinition>> byName(systems.begin(), systems.end());
    for (const char* name : {"fire", "candle", "snowfall", "locosteam", "red_firlight", "green_firlight", "blue_firlight",
                             "yellow_firlight", "redfirglow", "greenfirglow", "bluefirglow", "yellowfirglow"})
        EXPECT_TRUE(byName.count(name)) << name;
    for (const auto& [name, emitters] : systems) {
        auto read = parseParticleSystem(bake::encodeParticleSystem(emitters));
        ASSERT_TRUE(read) << name;
        ASSERT_FALSE(read->empty()) << name;
        for (const EmitterDefinition& e : *read) {
            EXPECT_EQ(e.sourceBlend, 770) << name;
            EXPECT_EQ(e.destinationBlend, 1) << name;
            EXPECT_GT(e.count, 0) << name;
            // Every particle must end: by fading out, or by shrinking.
            EXPECT_TRUE(e.fadeRate > 0 || e.shrink.x > 0) << name;
        }
    }
    const EmitterDefinition& snow = byName.at("snowfall").front();
    EXPECT_EQ(snow.frameCount, 4);
    EXPECT_EQ(snow.spinSpeed, 10.0f);
    EXPECT_EQ(snow.spin, 1);
}

TEST(ParticleManager, MissingFileMakesAnEmptySystemLookedForOnce) {
    Harness h;
    MeshMarker marker;
    marker.shortName = "nothing";
    for (int i = 0; i < 5; ++i) {
        h.particles.emitAtMarker(marker);
        h.particles.update(2.0f);
    }
    EXPECT_EQ(h.asked["Particles/nothing.bin"], 1);
    EXPECT_EQ(h.particles.emitterCount(), 0u);
    ASSERT_NE(h.particles.definition("nothing"), nullptr);
    EXPECT_TRUE(h.particles.definition("nothing")->empty());
}

TEST(ParticleManager, EmitsAtTheMarkerIntoTextureGroups) {
    Harness h;
    EmitterDefinition unknown = simple();
    unknown.kind = 7;
    h.add("a", {simple("glow.tga"), simple("spark.tga"), unknown});
    h.add("b", {simple("spark.tga")});
    MeshMarker marker;
    marker.shortName = "a";
    marker.worldPosition = {5, 6, 7};
    h.particles.emitAtMarker(marker);
    h.particles.emit("b", {0, 0, 0}, Quaternion::identity());
    // Two textures, two groups in first-use order; the unknown kind created nothing.
    ASSERT_EQ(h.particles.groups().size(), 2u);
    EXPECT_EQ(h.particles.groups()[0].emitters.size(), 1u);
    EXPECT_EQ(h.particles.groups()[1].emitters.size(), 2u);
    EXPECT_EQ(h.textureNames.count("Sprites/glow.tga"), 1u);
    EXPECT_EQ(h.first().position.x, 5.0f);

    h.particles.update(1.0f);
    EXPECT_EQ(h.particles.verticesWritten(), 12);
    EXPECT_EQ(h.particles.groups()[0].vertexCount, 4);
    EXPECT_EQ(h.particles.groups()[1].firstVertex, 4);
    EXPECT_EQ(h.particles.groups()[1].vertexCount, 8);
    // The billboard faces the camera: right (1, 0, 0), up (0, 0, 1), half-size 2.
    const auto& v = h.particles.vertices();
    EXPECT_FLOAT_EQ(v[0].x, 3.0f);
    EXPECT_FLOAT_EQ(v[0].z, 5.0f);
    EXPECT_FLOAT_EQ(v[2].x, 7.0f);
    EXPECT_FLOAT_EQ(v[2].z, 9.0f);
    EXPECT_FLOAT_EQ(v[1].u, 1.0f);
    EXPECT_FLOAT_EQ(v[2].v, 1.0f);
    EXPECT_FLOAT_EQ(v[0].a, 0.5f);
    EXPECT_FLOAT_EQ(v[0].r, 1.0f);
}

TEST(ParticleManager, SimulatesOncePerOneAndAHalfSteps) {
    // Which updates simulate, for frame steps below, at and above 1.5.
    auto pattern = [](float step) {
        Harness h;
        EmitterDefinition rising = simple();
        rising.velocity = {0, 0, 100};  // one unit per step upwards
        rising.fadeRate = 0;
        rising.peakAlpha = 100;
        h.add("r", {rising});
        h.particles.emit("r", {0, 0, 0}, Quaternion::identity());
        std::string simulated;
        float last = 0;
        for (int i = 0; i < 8; ++i) {
            h.particles.update(step);
            const float z = h.first().position.z;
            simulated += z != last ? 'x' : '.';
            if (z != last) {
                EXPECT_FLOAT_EQ(z - last, step > 1.5f ? step : 1.5f);
            }
            last = z;
        }
        return simulated;
    };
    EXPECT_EQ(pattern(0.5f), "x...x...");
    EXPECT_EQ(pattern(1.0f), "x.x.x.x.");
    EXPECT_EQ(pattern(1.5f), "x.x.x.x.");
    EXPECT_EQ(pattern(2.0f), "xxxxxxxx");
}

TEST(ParticleManager, StartsOnlyWhenTheAccumulatorIsZero) {
    Harness h;
    h.add("s", {simple()});
    h.particles.update(1.0f);  // accumulator now 1
    h.particles.emit("s", {0, 0, 0}, Quaternion::identity());
    EXPECT_EQ(h.particles.emitterCount(), 0u);
    h.particles.update(1.0f);  // 2 > 1.5: back to 0
    EXPECT_EQ(h.particles.accumulator(), 0.0f);
    h.particles.emit("s", {0, 0, 0}, Quaternion::identity());
    EXPECT_EQ(h.particles.emitterCount(), 1u);
}

TEST(ParticleManager, EmptyEmitterGoesAtTheFirstUpdate) {
    Harness h;
    EmitterDefinition none = simple();
    none.count = 0;
    h.add("n", {none, simple()});
    h.particles.emit("n", {0, 0, 0}, Quaternion::identity());
    ASSERT_EQ(h.particles.emitterCount(), 2u);
    h.particles.update(2.0f);
    EXPECT_EQ(h.particles.emitterCount(), 1u);
    // The emptied place was taken by the other emitter, which was still updated in the same pass.
    EXPECT_EQ(h.particles.verticesWritten(), 4);
}

TEST(ParticleManager, FadesInToThePeakAndOutFromIt) {
    Harness h;
    EmitterDefinition over = simple();
    over.startAlpha = 50;
    over.peakAlpha = 40;
    over.fadeRate = 10;
    h.add("over", {over});
    h.particles.emit("over", {0, 0, 0}, Quaternion::identity());
    h.particles.update(1.0f);
    EXPECT_FLOAT_EQ(h.first().alpha, 0.5f - 1.5f * 0.1f);  // fading from the first step
    EXPECT_EQ(h.first().fadeDirection, -1);

    Harness rising;
    EmitterDefinition under = simple();
    under.startAlpha = 20;
    under.peakAlpha = 40;
    under.fadeRate = 10;
    rising.add("under", {under});
    rising.particles.emit("under", {0, 0, 0}, Quaternion::identity());
    rising.particles.update(1.0f);
    EXPECT_FLOAT_EQ(rising.first().alpha, 0.35f);
    rising.particles.update(2.0f);  // reaches 0.55, past the peak
    rising.particles.update(2.0f);
    EXPECT_EQ(rising.first().fadeDirection, -1);
    EXPECT_NEAR(rising.first().alpha, 0.35f, 1e-6f);
    // It dies once the alpha is below zero, and its emitter goes at the update after that.
    for (int i = 0; i < 4 && rising.particles.emitterCount() > 0; ++i) rising.particles.update(2.0f);
    EXPECT_EQ(rising.particles.emitterCount(), 0u);
}

TEST(ParticleManager, RefusesStartsAtEightyThousandVerticesAndNeverOverflows) {
    for (int particles : {19999, 20000}) {
        Harness h;
        EmitterDefinition big = simple();
        big.count = particles;
        h.add("big", {big});
        h.particles.emit("big", {0, 0, 0}, Quaternion::identity());
        h.particles.update(2.0f);
        EXPECT_EQ(h.particles.verticesWritten(), particles * 4);
        h.particles.emit("big", {0, 0, 0}, Quaternion::identity());
        EXPECT_EQ(h.particles.emitterCount(), particles * 4 < 80000 ? 2u : 1u) << particles;
    }

    // Counts far beyond the array: each emitter is held to what the array can take, and the
    // writes stop at its end while the particles live on.
    Harness h;
    EmitterDefinition huge = simple();
    huge.count = 2000000000;
    h.add("huge", {huge, huge, huge, huge, huge});
    h.particles.emit("huge", {0, 0, 0}, Quaternion::identity());
    EXPECT_EQ(h.particles.groups()[0].emitters[0].particleCount, ParticleManager::kMaxParticlesPerEmitter);
    h.particles.update(2.0f);
    EXPECT_EQ(h.particles.verticesWritten(), ParticleManager::kVertexCapacity);
    EXPECT_EQ(h.particles.groups()[0].emitters[4].liveCount, ParticleManager::kMaxParticlesPerEmitter);
}

TEST(ParticleManager, TextureAnimationSpinAndStreaks) {
    Harness h;
    EmitterDefinition sheet = simple();
    sheet.frameCount = 4;
    sheet.frameRate = 50;  // half a frame per frame step
    sheet.playOnce = 1;
    sheet.fadeRate = 0;
    h.add("sheet", {sheet});
    h.particles.emit("sheet", {0, 0, 0}, Quaternion::identity());
    // Each update advances the frame timer by 2 x 50 % of a frame.
    h.particles.update(2.0f);
    h.particles.update(2.0f);
    EXPECT_FLOAT_EQ(h.first().frameU, 0.5f);
    EXPECT_FLOAT_EQ(h.particles.vertices()[1].u, 0.5f);  // written before this step's advance
    h.particles.update(2.0f);
    h.particles.update(2.0f);
    EXPECT_FALSE(h.first().alive);  // played once through

    Harness s;
    EmitterDefinition spinning = simple();
    spinning.spin = 1;
    spinning.spinSpeed = 1000;  // one radian per frame step
    s.add("spin", {spinning});
    s.particles.emit("spin", {0, 0, 0}, Quaternion::identity());
    const float angle = s.first().angle;
    s.particles.update(2.0f);
    EXPECT_NEAR(std::fabs(s.first().angle - angle), 2.0f, 1e-5f);
    // The corners stay at the same distance from the centre, in the camera's plane.
    const auto& v = s.particles.vertices();
    EXPECT_NEAR(std::hypot(v[0].x, v[0].z), 2.0f * std::sqrt(2.0f), 1e-4f);
    EXPECT_NEAR(v[0].y, 0.0f, 1e-5f);
    // Exactly where the quaternion (view axis · sin a, cos a) turns the corner (-right - up) · size.
    Matrix4 turn = Matrix4::identity();
    turn.setRotation(Quaternion(0, std::sin(angle), 0, std::cos(angle)));
    const Vec3 corner = turn.transformPoint(Vec3{-2, 0, -2});
    EXPECT_NEAR(v[0].x, corner.x, 1e-4f);
    EXPECT_NEAR(v[0].z, corner.z, 1e-4f);
    const Vec3 second = turn.transformPoint(Vec3{2, 0, -2});
    EXPECT_NEAR(v[1].x, second.x, 1e-4f);
    EXPECT_NEAR(v[1].z, second.z, 1e-4f);

    Harness t;
    EmitterDefinition streak = simple();
    streak.kind = static_cast<int32_t>(EmitterKind::Streak);
    streak.velocityRange = {0, 0, 1};  // straight up
    streak.outward = 1;    // no jitter
    streak.velocity = {100, 0, 0};
    streak.size = {3, 0.5f, 0};
    t.add("streak", {streak});
    t.particles.emit("streak", {0, 0, 0}, Quaternion::identity());
    t.particles.update(2.0f);
    const auto& w = t.particles.vertices();
    // The view axis is (0, 1, 0); the side is view x direction = (1, 0, 0).
    EXPECT_FLOAT_EQ(w[0].x, -0.5f);
    EXPECT_FLOAT_EQ(w[0].z, 0.0f);
    EXPECT_FLOAT_EQ(w[2].x, 0.5f);
    EXPECT_FLOAT_EQ(w[2].z, 3.0f);
    EXPECT_FLOAT_EQ(t.first().position.z, 2.0f);
}

}  // namespace
}  // namespace hg
