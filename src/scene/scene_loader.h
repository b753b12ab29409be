#pragma once
// Reads the scene file and assembles the room: nodes and face groups in the vertex pool, placed
// models and the animated fire, portals, cameras, markers and lights, then orders and links them
// for drawing and uploads the pool.
#include <GL/glew.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace hg {

class Scene;
class VertexPool;
class ModelLibrary;
class PoolBinding;

class AnimatedMesh;

struct SceneServices {
    // A texture handle by path ("Textures/wall.tga").
    std::function<GLuint(const std::string& path)> texture;
    VertexPool& pool;
    ModelLibrary& models;
    // Creates and loads the animated mesh of that name ("fireplace_fire").
    std::function<std::unique_ptr<AnimatedMesh>(const std::string& name)> loadAnimatedMesh;
    PoolBinding& binding;
    // A message to the user (caption "Error"); loading goes on afterwards.
    std::function<void(const std::string&)> message;
    bool useVertexBuffers = false;
    bool useOcclusionQueries = false;
};

inline constexpr int kMaxMaterials = 319;   // per object; the loader tables hold 320
inline constexpr int kMaxLightNames = 39;   // per light; the table holds 40

// Fills the scene from the file's bytes. A damaged file keeps what was read completely before the
// damage; counts and indices that point outside their arrays are never followed.
void readScene(Scene& scene, std::span<const uint8_t> bytes, SceneServices& services);
// Orders and links the nodes, binds the lights and uploads the pool.
void assembleScene(Scene& scene, SceneServices& services);

// "instance candle" -> "candle"; "instance candle left" -> "candle": the text after the first
// blank, cut before the last blank of that remainder.
std::string modelNameOfMarker(const std::string& markerName);

}  // namespace hg
