#include "effects/particle_definition.h"

#include <algorithm>

#include "scene/binary_reader.h"

namespace hg {
namespace {
Vec3 readVec3(BinaryReader& in) { return {in.readFloat(), in.readFloat(), in.readFloat()}; }
}  // namespace

std::optional<std::vector<EmitterDefinition>> parseParticleSystem(std::span<const uint8_t> bytes) {
    BinaryReader in(bytes);
    const int32_t count = std::clamp(in.readInt32(), 0, kMaxEmittersPerSystem);
    if (!in.ok()) return std::nullopt;
    std::vector<EmitterDefinition> emitters(static_cast<size_t>(count));
    for (EmitterDefinition& e : emitters) {
        e.texture = in.readStringField();
        if (!in.canHold(1, kEmitterRecordBytes)) return std::nullopt;
        e.velocity = readVec3(in);
        e.velocityRange = readVec3(in);
        e.spawnBox = readVec3(in);
        e.count = in.readInt32();
        e.size = readVec3(in);
        e.sizeRange = readVec3(in);
        e.shrink = readVec3(in);
        e.unused76 = in.readFloat();
        e.gravity = in.readFloat();
        e.outward = in.readByte();
        e.sourceBlend = in.readInt32();
        e.destinationBlend = in.readInt32();
        e.startAlpha = in.readFloat();
        e.peakAlpha = in.readFloat();
        e.fadeRate = in.readFloat();
        e.alphaRange = in.readFloat();
        e.streakTail = in.readByte();
        e.computedDirection = in.readByte();
        e.cameraOffset = in.readFloat();
        e.frameCount = in.readInt32();
        e.frameRate = in.readFloat();
        e.playOnce = in.readByte();
        e.spin = in.readByte();
        e.spinSpeed = in.readFloat();
        e.kind = in.readInt32();
        if (!in.ok()) return std::nullopt;
    }
    return emitters;
}

}  // namespace hg
