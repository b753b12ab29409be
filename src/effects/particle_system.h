#pragma once
// The room's soft lights and motion: fire embers, candle flames, tree-light glows, snow and steam.
// A marker "emit <name>" starts the system "Particles/<name>.bin": one short-lived emitter per
// definition, each spawning a burst of particles and vanishing when the last has died. A marker
// that stays active restarts its system again and again, which makes a continuous effect. All
// particles share one vertex array, drawn as blended quads, one draw per texture.
#include "gl/gl.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "effects/particle_definition.h"
#include "scene/particle_sink.h"
#include "scene/math.h"

namespace hg {

class FileSystem;
class TextureManager;

struct Particle {
    Vec3 position{0, 0, 0};
    float size = 0.0f;
    float width = 0.0f;
    float tail = 0.0f;
    Vec3 velocity{0, 0, 0};
    Vec3 direction{0, 0, 0};
    Vec3 decay{0, 0, 0};  // size, width, unused
    float fadeRate = 0.0f;
    float peakAlpha = 0.0f;
    bool spinning = false;
    float spinSpeed = 0.0f;
    float angle = 0.0f;
    float frameCount = 1.0f;
    float frameU = 0.0f;
    float frameTimer = 0.0f;
    float frameRate = 0.0f;
    bool playOnce = false;
    int32_t fadeDirection = 1;
    float alpha = 0.0f;
    float gravity = 0.0f;
    bool alive = false;
};

struct ParticleEmitter {
    EmitterKind kind = EmitterKind::Billboard;
    GLuint texture = 0;
    int32_t sourceBlend = 0;
    int32_t destinationBlend = 0;
    int particleCount = 0;
    int liveCount = 0;
    Vec3 position{0, 0, 0};
    Quaternion orientation = Quaternion::identity();
    int firstVertex = 0;
    int vertexCount = 0;
    uint8_t outward = 0;
    std::vector<Particle> particles;
};

struct ParticleTextureGroup {
    GLuint texture = 0;
    std::vector<ParticleEmitter> emitters;
    int firstVertex = 0;
    int vertexCount = 0;  // written in the last simulation step
    int32_t sourceBlend = 0;
    int32_t destinationBlend = 0;
};

struct ParticleVertex {
    float x, y, z;
    float r, g, b, a;
    float u, v;
};
static_assert(sizeof(ParticleVertex) == 36);

class ParticleManager final : public ParticleSink {
public:
    static constexpr int kVertexCapacity = 100000;
    // Starts are refused while the last update wrote this many vertices or more.
    static constexpr int kBusyVertices = 80000;
    // Each live particle takes four vertices, so one emitter can never hold more than fit.
    static constexpr int kMaxParticlesPerEmitter = kVertexCapacity / 4;
    static constexpr float kSimulationStep = 1.5f;

    // The bytes of an archive file, or nothing; the texture for a path.
    using FileSource = std::function<std::optional<std::vector<uint8_t>>(const std::string& path)>;
    using TextureSource = std::function<GLuint(const std::string& path)>;

    ParticleManager(FileSource files, TextureSource textures);
    ParticleManager(const FileSystem& files, TextureManager& textures);

    // Starts the system the marker names ("emit candle" -> "candle") at its world position.
    void emitAtMarker(const MeshMarker& marker) override;
    // The same by name. Does nothing unless the accumulator is exactly 0 and the last update
    // wrote fewer than 80,000 vertices.
    void emit(const std::string& system, Vec3 position, Quaternion orientation);

    // Simulates at most once per 1.5 frame-step units (every frame when frames are slower).
    void update(float frameStep);
    // Draws every texture group with vertices; reads the camera axes for the next update.
    void draw();
    // Frees every emitter, group and definition (shutdown).
    void destroyAll();

    // Where the camera is: particles with a camera offset spawn towards it.
    void setCameraPosition(Vec3 position) { camera_ = position; }
    // The camera's right and up axes in world space; draw() sets them from the modelview matrix.
    void setViewAxes(Vec3 right, Vec3 up);

    float accumulator() const { return accumulator_; }
    int verticesWritten() const { return vertexCounter_; }
    const std::vector<ParticleTextureGroup>& groups() const { return groups_; }
    const std::vector<ParticleVertex>& vertices() const { return vertices_; }
    size_t emitterCount() const;
    // The emitter definitions of a system loaded so far (empty when its file is missing).
    const std::vector<EmitterDefinition>* definition(const std::string& system) const;

private:
    struct System {
        std::vector<EmitterDefinition> emitters;
        std::vector<GLuint> textures;
    };

    const System& findOrLoad(const std::string& name);
    void initialise(ParticleEmitter& emitter, const EmitterDefinition& definition);
    void simulate(float step, float frameStep);
    void updateBillboards(ParticleEmitter& emitter, float step, float frameStep);
    void updateStreaks(ParticleEmitter& emitter, float step);
    bool hasRoomForQuad() const;
    bool writeQuad(const std::array<Vec3, 4>& corners, float alpha, const std::array<float, 8>& uv);

    FileSource files_;
    TextureSource textures_;
    std::map<std::string, System> systems_;
    std::vector<ParticleTextureGroup> groups_;
    std::vector<ParticleVertex> vertices_;
    int vertexCounter_ = 0;
    float accumulator_ = 0.0f;
    Vec3 camera_{0, 0, 0};
    Vec3 right_{1, 0, 0};
    Vec3 up_{0, 1, 0};
    Vec3 viewAxis_{0, 0, -1};
};

// rand() % k on the integer part of k; 0 when that part is 0.
int randomBelow(float k);

}  // namespace hg
