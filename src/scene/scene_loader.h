#pragma once
// Assembles the room from what the scene file holds (scene_file.h): nodes and face groups in the
// vertex pool with their textures, placed models and the animated fire, portals (with their
// occlusion queries), cameras, markers and lights; then orders and links them for drawing and
// uploads the pool.
#include "gl/gl.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "scene/scene_file.h"

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
    // Whether a texture is fully opaque (no alpha below 255); none is when this is empty.
    std::function<bool(GLuint texture)> isOpaque{};
};

// Textures load in the file's order (objects, then the models and the fire of the markers); the
// file's warnings are shown first.
void assembleScene(Scene& scene, const SceneFile& file, SceneServices& services);

// "instance candle" -> "candle"; "instance candle left" -> "candle": the text after the first
// blank, cut before the last blank of that remainder.
std::string modelNameOfMarker(const std::string& markerName);

}  // namespace hg
