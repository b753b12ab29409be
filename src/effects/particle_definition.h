#pragma once
// One particle system as its file "Particles/<name>.bin" describes it: up to five emitter
// definitions, each a texture name and a fixed 133-byte record. The content builder writes the
// same record from this struct.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "scene/math.h"

namespace hg {

inline constexpr int kMaxEmittersPerSystem = 5;
inline constexpr size_t kEmitterRecordBytes = 133;

enum class EmitterKind : int32_t { Billboard = 0, Streak = 1 };

struct EmitterDefinition {
    std::string texture;       // looked up as "Sprites/" + texture
    Vec3 velocity{0, 0, 0};       // billboard: base velocity (x0.01); streak: x base speed, z direction jitter
    Vec3 velocityRange{0, 0, 0};  // billboard: random velocity range; streak: direction, y also the speed range
    Vec3 spawnBox{0, 0, 0};       // spawn box size (x0.01)
    int32_t count = 0;            // particles per burst
    Vec3 size{0, 0, 0};           // x start size (streak: head length), y streak width
    Vec3 sizeRange{0, 0, 0};      // random ranges added to size.x and size.y (x0.01)
    Vec3 shrink{0, 0, 0};         // per-step decrease of size (x) and streak width (y)
    float unused76 = 0.0f;
    float gravity = 0.0f;      // per step, off the z velocity
    uint8_t outward = 0;       // streak: direction points away from the emitter
    int32_t sourceBlend = 770;
    int32_t destinationBlend = 1;
    float startAlpha = 0.0f;   // percent
    float peakAlpha = 0.0f;    // percent
    float fadeRate = 0.0f;     // percent per step
    float alphaRange = 0.0f;   // percent, random, added to the start alpha
    uint8_t streakTail = 0;
    uint8_t computedDirection = 0;
    float cameraOffset = 0.0f; // spawn this far towards the camera
    int32_t frameCount = 1;    // texture animation frames side by side
    float frameRate = 0.0f;    // percent of a frame per frame step
    uint8_t playOnce = 0;
    uint8_t spin = 0;
    float spinSpeed = 0.0f;    // radians per 1000 frame steps
    int32_t kind = 0;          // EmitterKind; other values create nothing
};

// The emitters of a file. A count above five reads five and ignores the rest of the file; a
// negative count reads none. Nothing when the file ends inside a record.
std::optional<std::vector<EmitterDefinition>> parseParticleSystem(std::span<const uint8_t> bytes);

}  // namespace hg
