#include "bake/particle_writer.h"

#include "bake/byte_writer.h"
#include "bake/error.h"

namespace hg::bake {
namespace {
void vec3(ByteWriter& out, const hg::Vec3& v) {
    out.float32(v.x);
    out.float32(v.y);
    out.float32(v.z);
}
}  // namespace

std::vector<uint8_t> encodeParticleSystem(const std::vector<hg::EmitterDefinition>& emitters) {
    if (emitters.size() > static_cast<size_t>(hg::kMaxEmittersPerSystem)) throw BakeError("particle system: at most 5 emitters");
    ByteWriter out;
    out.int32(static_cast<int32_t>(emitters.size()));
    for (const hg::EmitterDefinition& e : emitters) {
        out.string(e.texture);
        const size_t start = out.size();
        vec3(out, e.velocity);
        vec3(out, e.velocityRange);
        vec3(out, e.spawnBox);
        out.int32(e.count);
        vec3(out, e.size);
        vec3(out, e.sizeRange);
        vec3(out, e.shrink);
        out.float32(e.unused76);
        out.float32(e.gravity);
        out.byte(e.outward);
        out.int32(e.sourceBlend);
        out.int32(e.destinationBlend);
        out.float32(e.startAlpha);
        out.float32(e.peakAlpha);
        out.float32(e.fadeRate);
        out.float32(e.alphaRange);
        out.byte(e.streakTail);
        out.byte(e.computedDirection);
        out.float32(e.cameraOffset);
        out.int32(e.frameCount);
        out.float32(e.frameRate);
        out.byte(e.playOnce);
        out.byte(e.spin);
        out.float32(e.spinSpeed);
        out.int32(e.kind);
        if (out.size() - start != hg::kEmitterRecordBytes) throw BakeError("particle system: record size");
    }
    return out.take();
}

}  // namespace hg::bake
