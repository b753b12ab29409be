#include "effects/particle_system.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "archive/file_system.h"
#include "core/random.h"
#include "image/texture_manager.h"
#include "scene/mesh.h"

namespace hg {
namespace {

constexpr float kDegreesToRadians = 0.017444444f;  // 3.14 / 180

}  // namespace

int randomBelow(float k) {
    if (!(std::fabs(k) >= 1.0f)) return 0;  // also NaN
    const int n = k >= static_cast<float>(INT_MAX) ? INT_MAX : (k <= -static_cast<float>(INT_MAX) ? -INT_MAX : static_cast<int>(k));
    return nextRandom() % n;
}

ParticleManager::ParticleManager(FileSource files, TextureSource textures)
    : files_(std::move(files)), textures_(std::move(textures)), vertices_(kVertexCapacity) {
    // Colours are white for good; updates write position, alpha and texture coordinates.
    for (ParticleVertex& v : vertices_) v = {0, 0, 0, 1, 1, 1, 1, 0, 0};
}

ParticleManager::ParticleManager(const FileSystem& files, TextureManager& textures)
    : ParticleManager([&files](const std::string& path) { return files.get(path); },
                      [&textures](const std::string& path) { return textures.get(path); }) {}

void ParticleManager::setViewAxes(Vec3 right, Vec3 up) {
    right_ = right;
    up_ = up;
    viewAxis_ = cross(up_, right_);
    viewAxis_.normalize();
}

size_t ParticleManager::emitterCount() const {
    size_t count = 0;
    for (const ParticleTextureGroup& group : groups_) count += group.emitters.size();
    return count;
}

const std::vector<EmitterDefinition>* ParticleManager::definition(const std::string& system) const {
    auto it = systems_.find(system);
    return it == systems_.end() ? nullptr : &it->second.emitters;
}

// A file that is missing or unreadable leaves the system without emitters; it is looked for once.
const ParticleManager::System& ParticleManager::findOrLoad(const std::string& name) {
    auto [it, inserted] = systems_.try_emplace(name);
    System& system = it->second;
    if (!inserted) return system;
    if (auto bytes = files_("Particles/" + name + ".bin")) {
        if (auto emitters = parseParticleSystem(*bytes)) system.emitters = std::move(*emitters);
    }
    for (const EmitterDefinition& emitter : system.emitters) system.textures.push_back(textures_("Sprites/" + emitter.texture));
    return system;
}

void ParticleManager::emitAtMarker(const MeshMarker& marker) { emit(marker.shortName, marker.worldPosition, marker.rotation); }

void ParticleManager::emit(const std::string& name, Vec3 position, Quaternion orientation) {
    if (accumulator_ != 0.0f || vertexCounter_ >= kBusyVertices) return;
    const System& system = findOrLoad(name);
    for (size_t i = 0; i < system.emitters.size(); ++i) {
        const EmitterDefinition& definition = system.emitters[i];
        if (definition.kind != static_cast<int32_t>(EmitterKind::Billboard) &&
            definition.kind != static_cast<int32_t>(EmitterKind::Streak))
            continue;
        ParticleEmitter emitter;
        emitter.kind = static_cast<EmitterKind>(definition.kind);
        emitter.texture = system.textures[i];
        emitter.position = position;
        emitter.orientation = orientation;
        initialise(emitter, definition);

        auto group = std::find_if(groups_.begin(), groups_.end(),
                                  [&](const ParticleTextureGroup& g) { return g.texture == emitter.texture; });
        if (group == groups_.end()) {
            groups_.emplace_back();
            group = groups_.end() - 1;
            group->texture = emitter.texture;
        }
        group->emitters.push_back(std::move(emitter));
    }
}

void ParticleManager::initialise(ParticleEmitter& emitter, const EmitterDefinition& def) {
    const int count = std::clamp(def.count, 0, kMaxParticlesPerEmitter);
    emitter.sourceBlend = def.sourceBlend;
    emitter.destinationBlend = def.destinationBlend;
    emitter.outward = def.outward;
    emitter.particleCount = count;
    emitter.liveCount = emitter.kind == EmitterKind::Billboard ? std::min(count, 99) : count;
    emitter.particles.resize(static_cast<size_t>(count));

    Vec3 cameraOffset{0, 0, 0};
    if (def.cameraOffset != 0.0f) {
        cameraOffset = camera_ - emitter.position;
        cameraOffset.normalize();
        cameraOffset = cameraOffset * def.cameraOffset;
    }
    // A sheet needs at least one frame: with none the frame width would be infinite.
    const float frames = static_cast<float>(std::max(def.frameCount, 1));

    for (Particle& p : emitter.particles) {
        p.frameCount = frames;
        p.frameRate = def.frameRate;
        p.playOnce = def.playOnce != 0;
        p.spinning = def.spin != 0;
        p.spinSpeed = def.spinSpeed;
        p.frameU = 0.0f;
        p.frameTimer = 0.0f;
        p.angle = static_cast<float>(randomBelow(360.0f)) * kDegreesToRadians;
        if (nextRandom() % 100 > 50) p.spinSpeed = -p.spinSpeed;

        p.alpha = (def.startAlpha + static_cast<float>(randomBelow(def.alphaRange))) * 0.01f;
        p.fadeDirection = 1;
        p.peakAlpha = def.peakAlpha * 0.01f;
        p.fadeRate = def.fadeRate * 0.01f;
        p.gravity = def.gravity;
        p.decay = def.shrink;

        const float ox = static_cast<float>(randomBelow(def.spawnBox.x)) - def.spawnBox.x * 0.5f;
        const float oy = static_cast<float>(randomBelow(def.spawnBox.y)) - def.spawnBox.y * 0.5f;
        const float oz = static_cast<float>(randomBelow(def.spawnBox.z)) - def.spawnBox.z * 0.5f;
        const Vec3 offset = Vec3{ox, oy, oz} * 0.01f;

        if (emitter.kind == EmitterKind::Billboard) {
            p.position = emitter.position + cameraOffset + rotate(emitter.orientation, offset);
            p.size = def.size.x + static_cast<float>(randomBelow(def.sizeRange.x)) * 0.01f;
            const float vx = def.velocity.x + static_cast<float>(randomBelow(def.velocityRange.x));
            const float vy = def.velocity.y + static_cast<float>(randomBelow(def.velocityRange.y));
            const float vz = def.velocity.z + static_cast<float>(randomBelow(def.velocityRange.z));
            p.velocity = rotate(emitter.orientation, Vec3{vx, vy, vz} * 0.01f);
        } else {
            p.position = emitter.position + cameraOffset + offset;
            p.size = def.size.x + static_cast<float>(randomBelow(def.sizeRange.x)) * 0.01f;
            p.width = def.size.y + static_cast<float>(randomBelow(def.sizeRange.y)) * 0.01f;
            p.tail = def.streakTail ? def.size.x + static_cast<float>(randomBelow(def.sizeRange.x)) * 0.01f : 0.0f;
            p.direction = def.velocityRange;
            if (def.computedDirection) {
                if (def.outward) {
                    p.direction = p.position - emitter.position;
                } else {
                    const float dx = static_cast<float>(randomBelow(100.0f)) * 0.02f - 1.0f;
                    const float dy = static_cast<float>(randomBelow(100.0f)) * 0.02f - 1.0f;
                    const float dz = static_cast<float>(randomBelow(100.0f)) * 0.02f - 1.0f;
                    p.direction = {dx, dy, dz};
                }
                p.direction.normalize();
            }
            if (!def.outward) {
                const float jx = static_cast<float>(randomBelow(100.0f) - 50);
                const float jy = static_cast<float>(randomBelow(100.0f) - 50);
                const float jz = static_cast<float>(randomBelow(100.0f) - 50);
                Vec3 jitter{jx, jy, jz};
                jitter.normalize();
                p.direction = p.direction + jitter * (def.velocity.z * 0.01f);
            }
            p.velocity = p.direction * ((def.velocity.x + static_cast<float>(randomBelow(def.velocityRange.y))) * 0.01f);
        }
        p.alive = true;
    }
}

void ParticleManager::update(float frameStep) {
    if (frameStep > kSimulationStep) {
        simulate(frameStep, frameStep);
    } else if (accumulator_ == 0.0f) {
        simulate(kSimulationStep, frameStep);
    }
    accumulator_ += frameStep;
    if (accumulator_ > kSimulationStep) accumulator_ = 0.0f;
}

void ParticleManager::simulate(float step, float frameStep) {
    vertexCounter_ = 0;
    for (ParticleTextureGroup& group : groups_) {
        group.firstVertex = vertexCounter_;
        auto& emitters = group.emitters;
        for (size_t i = 0; i < emitters.size();) {
            ParticleEmitter& emitter = emitters[i];
            if (emitter.liveCount < 1) {
                // The last emitter takes the free place and is updated there in this same pass.
                if (i + 1 != emitters.size()) emitter = std::move(emitters.back());
                emitters.pop_back();
                continue;
            }
            emitter.firstVertex = vertexCounter_;
            if (emitter.kind == EmitterKind::Billboard) {
                updateBillboards(emitter, step, frameStep);
            } else {
                updateStreaks(emitter, step);
            }
            emitter.vertexCount = vertexCounter_ - emitter.firstVertex;
            ++i;
        }
        group.vertexCount = vertexCounter_ - group.firstVertex;
        if (!emitters.empty()) {
            group.sourceBlend = emitters.front().sourceBlend;
            group.destinationBlend = emitters.front().destinationBlend;
        }
    }
}

bool ParticleManager::hasRoomForQuad() const { return vertexCounter_ <= kVertexCapacity - 4; }

// Four vertices at the counter; nothing once the shared array is full (the particle still moves).
bool ParticleManager::writeQuad(const std::array<Vec3, 4>& corners, float alpha, const std::array<float, 8>& uv) {
    if (!hasRoomForQuad()) return false;
    ParticleVertex* out = &vertices_[static_cast<size_t>(vertexCounter_)];
    for (int k = 0; k < 4; ++k) {
        out[k].x = corners[static_cast<size_t>(k)].x;
        out[k].y = corners[static_cast<size_t>(k)].y;
        out[k].z = corners[static_cast<size_t>(k)].z;
        out[k].a = alpha;
        out[k].u = uv[static_cast<size_t>(k) * 2];
        out[k].v = uv[static_cast<size_t>(k) * 2 + 1];
    }
    vertexCounter_ += 4;
    return true;
}

namespace {

// Motion, death, shrinking and fading, shared by both kinds.
void moveAndFade(Particle& p, float step) {
    p.position = p.position + p.velocity * step;
    p.velocity.z -= p.gravity * step;
    if (p.alpha < 0.0f || p.size < 0.0f) p.alive = false;
    p.size -= step * p.decay.x;
}

// The sprite sheet moves on one frame each time the timer fills; a sheet played once ends its particle.
void advanceFrame(Particle& p, float frameStep) {
    p.frameTimer += frameStep * p.frameRate * 0.01f;
    if (p.frameTimer < 1.0f) return;
    p.frameU += 1.0f / p.frameCount;
    p.frameTimer = 0.0f;
    // Sums of 1/frames may land a hair below 1.
    if (p.frameU >= 1.0f - 1e-4f) {
        if (p.playOnce) {
            p.alive = false;
        } else {
            p.frameU = 0.0f;
        }
    }
}

void fade(Particle& p, float step) {
    if (p.alpha >= p.peakAlpha) p.fadeDirection = -1;
    p.alpha += step * static_cast<float>(p.fadeDirection) * p.fadeRate;
}

// The billboard's two diagonals (right + up and right - up), and what turning them about the view
// axis needs, worked out once per frame. A spin angle θ makes the quaternion (axis·sin θ, cos θ),
// which turns by 2θ: v·cos 2θ + (axis × v)·sin 2θ + axis·(axis · v)·(1 − cos 2θ).
struct BillboardDiagonals {
    Vec3 sum, difference;
    Vec3 axis, axisCrossSum, axisCrossDifference;
    float axisDotSum = 0, axisDotDifference = 0;
    bool canTurn = false;

    BillboardDiagonals(Vec3 right, Vec3 up, Vec3 viewAxis)
        : sum(up + right), difference(right - up), axis(viewAxis), axisCrossSum(cross(viewAxis, sum)),
          axisCrossDifference(cross(viewAxis, difference)), axisDotSum(dot(viewAxis, sum)),
          axisDotDifference(dot(viewAxis, difference)), canTurn(dot(viewAxis, viewAxis) > 0.5f) {}

    // Corner offsets of a quad of half-size h, turned by the spin angle (no turn without an axis).
    std::array<Vec3, 4> corners(float h, bool spinning, float angle) const {
        if (!spinning || !canTurn) return {sum * -h, difference * h, sum * h, difference * -h};
        const float s = std::sin(angle), c = std::cos(angle);
        const float cosine = c * c - s * s, sine = 2.0f * s * c, rest = 1.0f - cosine;
        const Vec3 turnedSum = sum * cosine + axisCrossSum * sine + axis * (axisDotSum * rest);
        const Vec3 turnedDifference = difference * cosine + axisCrossDifference * sine + axis * (axisDotDifference * rest);
        return {turnedSum * -h, turnedDifference * h, turnedSum * h, turnedDifference * -h};
    }
};

}  // namespace

void ParticleManager::updateBillboards(ParticleEmitter& emitter, float step, float frameStep) {
    const BillboardDiagonals diagonals(right_, up_, viewAxis_);
    int live = 0;
    for (Particle& p : emitter.particles) {
        if (!p.alive) continue;
        // Once the shared array is full the particle still lives; only its quad is not made.
        if (hasRoomForQuad()) {
            const std::array<Vec3, 4> offsets = diagonals.corners(p.size, p.spinning, p.angle);
            const float u0 = p.frameU, u1 = p.frameU + 1.0f / p.frameCount;
            writeQuad({p.position + offsets[0], p.position + offsets[1], p.position + offsets[2], p.position + offsets[3]},
                      p.alpha, {u0, 0.0f, u1, 0.0f, u1, 1.0f, u0, 1.0f});
        }
        if (p.spinning) p.angle += p.spinSpeed * frameStep * 0.001f;
        advanceFrame(p, frameStep);
        moveAndFade(p, step);
        fade(p, step);
        if (p.alive) ++live;
    }
    emitter.liveCount = live;
}

void ParticleManager::updateStreaks(ParticleEmitter& emitter, float step) {
    static constexpr std::array<float, 8> kUv = {0, 0, 1, 0, 1, 1, 0, 1};
    int live = 0;
    for (Particle& p : emitter.particles) {
        if (!p.alive) continue;
        const Vec3 side = cross(viewAxis_, p.direction);
        const Vec3 back = p.position - p.direction * p.tail;
        const Vec3 front = p.position + p.direction * p.size;
        writeQuad({back - side * p.width, back + side * p.width, front + side * p.width, front - side * p.width}, p.alpha, kUv);
        moveAndFade(p, step);
        p.width -= step * p.decay.y;
        fade(p, step);
        if (p.alive) ++live;
    }
    emitter.liveCount = live;
}

void ParticleManager::draw() {
    glDisable(GL_FOG);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    setViewAxes({m[0], m[4], m[8]}, {m[1], m[5], m[9]});

    // The shared array lives in client memory; a bound vertex buffer would redirect the pointers.
    if (glBindBufferARB) glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(ParticleVertex), &vertices_[0].x);
    glColorPointer(4, GL_FLOAT, sizeof(ParticleVertex), &vertices_[0].r);
    glTexCoordPointer(2, GL_FLOAT, sizeof(ParticleVertex), &vertices_[0].u);
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDepthMask(GL_FALSE);
    glEnable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
    for (const ParticleTextureGroup& group : groups_) {
        if (group.vertexCount == 0) continue;
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, group.texture);
        glBlendFunc(static_cast<GLenum>(group.sourceBlend), static_cast<GLenum>(group.destinationBlend));
        glDrawArrays(GL_QUADS, group.firstVertex, group.vertexCount);
    }
    glDepthMask(GL_TRUE);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_BLEND);
}

void ParticleManager::destroyAll() {
    groups_.clear();
    systems_.clear();
    vertexCounter_ = 0;
    accumulator_ = 0.0f;
}

}  // namespace hg
