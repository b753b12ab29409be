#pragma once
// A run of room geometry in the vertex pool drawn with one material: a plain triangle list over
// vertices firstVertex .. firstVertex + vertexCount - 1.
#include "gl/gl.h"

#include <cstdint>
#include <vector>

namespace hg {

struct FaceGroup {
    uint32_t firstVertex = 0;
    uint32_t vertexCount = 0;
    // The run's pool indices with equal corners sharing one vertex; empty when none do (the run is
    // then drawn as it stands).
    std::vector<uint32_t> indices;
    int32_t materialIndex = 0;
    GLuint baseTexture = 0;  // 0: none
    GLuint reflectionTexture = 0;
    GLuint illuminationTexture = 0;
    GLuint lightmapTexture = 0;
    bool hasReflection = false;
    bool hasIllumination = false;
    bool additive = false;  // base texture named "add...": drawn with additive blending, no depth writes
    bool twoSided = false;
    bool hasLightmap = false;
    bool glass = false;  // the group belongs to the translucent window panes
    // Fully opaque textures: blending and the alpha test cannot change what they draw.
    bool opaqueBase = false;
    bool opaqueLightmap = false;
};

}  // namespace hg
