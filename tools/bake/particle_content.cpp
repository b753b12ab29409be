#include "bake/particle_content.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "bake/families.h"
#include "bake/paint.h"
#include "bake/particle_writer.h"
#include "bake/tile_noise.h"

namespace hg::bake {
using hg::EmitterDefinition;
using hg::EmitterKind;

namespace {

constexpr float kPi = 3.14159265f;

float smoothstep(float a, float b, float x) {
    const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// A square sprite from a function of the position (-1 to 1 across, -1 to 1 up) giving a
// straight-alpha colour. Edges are forced to nothing so no quad shows its border.
Canvas sprite(int size, const std::function<Colour(float x, float y)>& at) {
    Canvas canvas(size, size);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            const float x = (static_cast<float>(px) + 0.5f) / static_cast<float>(size) * 2 - 1;
            const float y = 1 - (static_cast<float>(py) + 0.5f) / static_cast<float>(size) * 2;
            Colour c = at(x, y);
            const float edge = 1.0f - smoothstep(0.9f, 1.0f, std::max(std::fabs(x), std::fabs(y)));
            c.a = std::clamp(c.a * edge, 0.0f, 1.0f);
            canvas.at(px, py) = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
        }
    }
    return canvas;
}

// A soft round glow: `core` in the middle turning to `halo` and fading out at the rim.
Canvas glowSprite(Colour core, Colour halo, float coreSize) {
    return sprite(64, [=](float x, float y) {
        const float r = std::sqrt(x * x + y * y);
        const float halo_ = std::pow(std::max(0.0f, 1.0f - r * r), 2.5f);
        const float centre = std::exp(-std::pow(r / coreSize, 2.0f));
        Colour c = mix(halo, core, centre);
        c.a = std::clamp(halo_ * 0.75f + centre * 0.6f, 0.0f, 1.0f);
        return c;
    });
}

// A flame tongue: round at the foot, pointed at the tip, white-yellow inside, orange at the rim.
Canvas flameTongueSprite() {
    return sprite(64, [](float x, float y) {
        const float t = (y + 0.75f) / 1.65f;  // 0 at the foot, 1 at the tip
        if (t <= 0 || t >= 1) return Colour{};
        // A round foot (the lower 30 %) and a tapering tongue above it.
        const float foot = 0.3f;
        const float halfWidth = t < foot ? 0.48f * std::sqrt(std::max(0.0f, 1.0f - std::pow((foot - t) / foot, 2.0f)))
                                         : 0.48f * std::pow((1.0f - t) / (1.0f - foot), 0.9f);
        const float d = halfWidth > 0 ? std::fabs(x) / halfWidth : 2.0f;
        const float inside = 1.0f - smoothstep(0.55f, 1.0f, d);
        const float heat = (1.0f - smoothstep(0.0f, 0.8f, d)) * (1.0f - smoothstep(0.2f, 0.9f, t));
        Colour c = mix(rgb(0xFF6A10), rgb(0xFFF0B0), heat);
        c.a = inside * (0.55f + 0.45f * heat) * (1.0f - smoothstep(0.75f, 1.0f, t) * 0.6f);
        return c;
    });
}

// A spark for streaks: u runs across, v along the flight (1 = head), so a bright head and a
// fading tail.
Canvas sparkSprite() {
    return sprite(32, [](float x, float y) {
        const float along = (y + 1) * 0.5f;
        const float across = std::exp(-std::pow(x / 0.35f, 2.0f));
        const float body = smoothstep(0.0f, 0.85f, along) * (1.0f - smoothstep(0.85f, 1.0f, along));
        Colour c = mix(rgb(0xFF5A10), rgb(0xFFE8A0), smoothstep(0.4f, 0.9f, along) * across);
        c.a = across * body;
        return c;
    });
}

// A cloudy puff: a soft disc broken up by noise.
Canvas puffSprite(Colour colour, uint32_t seed) {
    return sprite(64, [=](float x, float y) {
        const float r = std::sqrt(x * x + y * y);
        const float cloud = tile_noise::fractal((x + 1) * 0.5f, (y + 1) * 0.5f, 3, 3, 3, seed);
        const float body = std::pow(std::max(0.0f, 1.0f - r * r), 1.5f);
        Colour c = colour;
        c.a = std::clamp(body * (0.35f + 0.9f * cloud) - 0.05f, 0.0f, 1.0f) * 0.9f;
        return c;
    });
}

// Four snowflakes side by side, one per animation frame: six arms with side branches, a little
// different each time, on a 64-pixel cell each.
Canvas snowflakeSheet() {
    constexpr int kCell = 64;
    Canvas sheet(kCell * 4, kCell);
    for (int frame = 0; frame < 4; ++frame) {
        Plane mask(kCell, kCell);
        const Point centre{kCell * 0.5f, kCell * 0.5f};
        const float turn = static_cast<float>(frame) * 0.18f;
        const float armLength = 24.0f - static_cast<float>(frame % 2) * 3.0f;
        const float branchAt[2] = {0.45f + 0.05f * static_cast<float>(frame), 0.72f};
        for (int arm = 0; arm < 6; ++arm) {
            const float a = turn + static_cast<float>(arm) * kPi / 3.0f;
            const Point tip{centre.x + std::cos(a) * armLength, centre.y + std::sin(a) * armLength};
            addLine(mask, centre, tip, 2.2f);
            for (float at : branchAt) {
                const Point base{centre.x + std::cos(a) * armLength * at, centre.y + std::sin(a) * armLength * at};
                const float branch = armLength * (0.42f - at * 0.25f);
                for (float side : {-1.0f, 1.0f}) {
                    const float b = a + side * 0.85f;
                    addLine(mask, base, {base.x + std::cos(b) * branch, base.y + std::sin(b) * branch}, 1.6f);
                }
            }
        }
        addDisc(mask, centre, 3.5f);
        Plane glow = mask;
        blur(glow, 2.5f);
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell; ++x) {
                const float a = std::clamp(mask.at(x, y) * 0.9f + glow.at(x, y) * 0.5f, 0.0f, 1.0f);
                const Colour c = mix(rgb(0xB8D4FF), rgb(0xFFFFFF), mask.at(x, y));
                sheet.at(frame * kCell + x, y) = {c.r * a, c.g * a, c.b * a, a};
            }
        }
    }
    return sheet;
}

EmitterDefinition billboard(const std::string& texture) {
    EmitterDefinition e;
    e.texture = texture;
    e.kind = static_cast<int32_t>(EmitterKind::Billboard);
    e.sourceBlend = 770;  // GL_SRC_ALPHA
    e.destinationBlend = 1;  // GL_ONE: every effect adds light
    e.frameCount = 1;
    e.count = 1;
    return e;
}

// Where particles start and how they move, in the file's hundredths: a box round the marker, a
// base velocity and a random range added to it.
void moving(EmitterDefinition& e, Vec3 box, Vec3 velocity, Vec3 range) {
    e.spawnBox = box;
    e.velocity = velocity;
    e.velocityRange = range;
}

// Half-size at the start plus a random part (hundredths), and how much it shrinks per step.
void sized(EmitterDefinition& e, float size, float range = 0, float shrink = 0) {
    e.size = {size, 0, 0};
    e.sizeRange = {range, 0, 0};
    e.shrink = {shrink, 0, 0};
}

// Alpha in percent: from `start` (plus up to `spread`) up to `peak`, then down at `rate` per step.
void faded(EmitterDefinition& e, float start, float peak, float rate, float spread = 0) {
    e.startAlpha = start;
    e.peakAlpha = peak;
    e.fadeRate = rate;
    e.alphaRange = spread;
}

// A tree light: a bright point with a small halo, long-lived, because a tree node with many
// lights restarts each of them only about every 180 frames.
std::vector<EmitterDefinition> treeLight(const std::string& sprite) {
    EmitterDefinition point = billboard(sprite);
    sized(point, 1.1f, 30);
    faded(point, 70, 100, 0.6f);
    EmitterDefinition halo = point;
    sized(halo, 4.0f, 100);
    faded(halo, 20, 35, 0.2f);
    return {point, halo};
}

// A glow for a marker that is restarted every simulation step: short-lived, so only a few
// overlap and the light stays steady.
std::vector<EmitterDefinition> treeGlow(const std::string& sprite) {
    EmitterDefinition point = billboard(sprite);
    sized(point, 1.4f);
    faded(point, 60, 60, 25);
    EmitterDefinition halo = point;
    sized(halo, 5.5f, 60);
    faded(halo, 16, 16, 6);
    return {point, halo};
}

std::vector<EmitterDefinition> fire() {
    // A warm glow breathing over the logs.
    EmitterDefinition glow = billboard("glow_warm.tga");
    moving(glow, {3000, 800, 600}, {0, 0, 10}, {0, 0, 10});
    sized(glow, 22, 1200);
    faded(glow, 2, 9, 0.8f);
    // Small tongues licking up from the embers between the big flames.
    EmitterDefinition tongues = billboard("flame_tongue.tga");
    moving(tongues, {4200, 1200, 300}, {-10, -10, 35}, {20, 20, 40});
    sized(tongues, 5, 500, 0.12f);
    faded(tongues, 55, 55, 2.2f, 20);
    // Sparks flying off the logs, curving up in the draught.
    EmitterDefinition sparks = billboard("spark.tga");
    sparks.kind = static_cast<int32_t>(EmitterKind::Streak);
    moving(sparks, {4000, 1000, 400}, {40, 0, 60}, {0, 60, 0});  // base speed 0.4, jitter 0.6; speed range 0.6
    sparks.computedDirection = 1;
    sparks.streakTail = 1;
    sparks.size = {0.9f, 0.18f, 0};
    sparks.sizeRange = {60, 6, 0};
    sparks.shrink = {0.004f, 0.0008f, 0};
    sparks.gravity = -0.02f;
    faded(sparks, 100, 100, 1.4f);
    // Embers: slow bright motes drifting up.
    EmitterDefinition embers = billboard("glow_ember.tga");
    moving(embers, {4500, 1200, 400}, {-15, -15, 30}, {30, 30, 50});
    sized(embers, 0.5f, 50);
    embers.gravity = -0.004f;
    faded(embers, 90, 90, 0.9f, 10);
    // A faint haze of smoke above the flames.
    EmitterDefinition smoke = billboard("smoke_puff.tga");
    moving(smoke, {2500, 800, 500}, {-5, -5, 45}, {10, 10, 20});
    sized(smoke, 6, 400, -0.08f);
    smoke.spin = 1;
    smoke.spinSpeed = 3;
    faded(smoke, 1, 6, 0.15f);
    return {glow, tongues, sparks, embers, smoke};
}

std::vector<EmitterDefinition> candle() {
    EmitterDefinition halo = billboard("glow_warm.tga");
    sized(halo, 6.5f, 60);
    faded(halo, 10, 10, 3);
    EmitterDefinition flame = billboard("flame_tongue.tga");
    moving(flame, {20, 20, 0}, {0, 0, 3}, {0, 0, 2});
    sized(flame, 1.6f, 25, 0.04f);
    faded(flame, 45, 45, 9, 10);
    EmitterDefinition core = billboard("glow_white.tga");
    sized(core, 0.55f);
    faded(core, 35, 35, 12);
    return {halo, flame, core};
}

std::vector<EmitterDefinition> snowfall() {
    EmitterDefinition flakes = billboard("snowflakes.tga");
    flakes.count = 2;
    // A curtain of flakes along the wall (y), shallow in depth (x) so none drifts indoors.
    moving(flakes, {10000, 30000, 20000}, {-12, -5, -40}, {24, 10, 15});
    sized(flakes, 1.8f, 150);
    faded(flakes, 35, 95, 0.6f);
    flakes.frameCount = 4;
    flakes.frameRate = 4;
    flakes.spin = 1;
    flakes.spinSpeed = 10;
    return {flakes};
}

std::vector<EmitterDefinition> locosteam() {
    EmitterDefinition puffs = billboard("steam_puff.tga");
    moving(puffs, {150, 150, 0}, {-6, -6, 28}, {12, 12, 16});
    sized(puffs, 1.4f, 80, -0.05f);
    puffs.spin = 1;
    puffs.spinSpeed = 6;
    faded(puffs, 10, 38, 1.6f);
    return {puffs};
}

struct LightColour {
    const char* name;
    uint32_t halo;
};
constexpr LightColour kLightColours[] = {{"red", 0xFF2A1A}, {"green", 0x2AFF48}, {"blue", 0x3A6AFF}, {"yellow", 0xFFC828}};

}  // namespace

std::vector<std::pair<std::string, std::vector<EmitterDefinition>>> particleSystems() {
    std::vector<std::pair<std::string, std::vector<EmitterDefinition>>> systems = {
        {"fire", fire()}, {"candle", candle()}, {"snowfall", snowfall()}, {"locosteam", locosteam()}};
    for (const LightColour& colour : kLightColours) {
        const std::string sprite = std::string("light_") + colour.name + ".tga";
        systems.emplace_back(std::string(colour.name) + "_firlight", treeLight(sprite));
        systems.emplace_back(std::string(colour.name) + "firglow", treeGlow(sprite));
    }
    return systems;
}

void bakeParticleSystems(Bakery& bakery) {
    bakery.writeTga(Tree::Main, "Sprites/glow_warm.tga", glowSprite(rgb(0xFFD890), rgb(0xFF7A20), 0.25f), true);
    bakery.writeTga(Tree::Main, "Sprites/glow_white.tga", glowSprite(rgb(0xFFFFFF), rgb(0xFFE0A0), 0.35f), true);
    bakery.writeTga(Tree::Main, "Sprites/glow_ember.tga", glowSprite(rgb(0xFFF0C0), rgb(0xFF6010), 0.3f), true);
    bakery.writeTga(Tree::Main, "Sprites/flame_tongue.tga", flameTongueSprite(), true);
    bakery.writeTga(Tree::Main, "Sprites/spark.tga", sparkSprite(), true);
    bakery.writeTga(Tree::Main, "Sprites/smoke_puff.tga", puffSprite(rgb(0x8A8078), 11u), true);
    bakery.writeTga(Tree::Main, "Sprites/steam_puff.tga", puffSprite(rgb(0xF4F6FA), 23u), true);
    bakery.writeTga(Tree::Main, "Sprites/snowflakes.tga", snowflakeSheet(), true);
    for (const LightColour& colour : kLightColours)
        bakery.writeTga(Tree::Main, std::string("Sprites/light_") + colour.name + ".tga",
                        glowSprite(mix(rgb(colour.halo), rgb(0xFFFFFF), 0.75f), rgb(colour.halo), 0.16f), true);
    for (const auto& [name, emitters] : particleSystems()) bakery.write(Tree::Main, "Particles/" + name + ".bin", encodeParticleSystem(emitters));
}

}  // namespace hg::bake
