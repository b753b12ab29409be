#pragma once
// Drawing what lives in the vertex pool: uploading and binding the pool, the room's face groups
// with their extra passes, the nodes of placed models, the lights of one object, and the two
// primitives of the occlusion tests. Each draw sets exactly the OpenGL state it needs and puts
// back only the depth mask, depth function, culling and texture generation it changed; lighting,
// blending and the blend function are left as the passes below leave them.
#include "gl/gl.h"

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <span>

#include "scene/face_group.h"
#include "scene/math.h"
#include "scene/scene_light.h"
#include "scene/vertex_pool.h"

namespace hg {

struct ModelNode;

// The pool as OpenGL sees it: one vertex buffer object when the driver has them, otherwise the
// pool's own memory. Offsets into a 40-byte vertex: position 0, normal 12, uv 24, lightmap uv 32.
class PoolBinding {
public:
    static constexpr size_t kStride = sizeof(PoolVertex);
    static constexpr size_t kUvOffset = 24;
    static constexpr size_t kLightmapUvOffset = 32;

    explicit PoolBinding(const VertexPool& pool) : pool_(pool) {}

    // Read once, before the upload; the pool must not change afterwards.
    void setUseVertexBuffers(bool on) { useVertexBuffers_ = on; }
    bool useVertexBuffers() const { return useVertexBuffers_; }

    // Copies the pool into a new buffer object (only with vertex buffers), sets the array pointers
    // once and unbinds the buffer.
    void upload();
    // Start of a pass that draws room or model geometry: the buffer, and the vertex, normal and
    // texture-coordinate arrays enabled on it.
    void bind();
    // End of such a pass: the three arrays off and, with vertex buffers, buffer 0 bound.
    void unbind();
    // Animated meshes draw from their own memory: buffer 0 is bound before the first of them in a
    // pass (once; bind() arms it again).
    void releaseBuffer();
    // Points the texture-coordinate array at the uv (24) or the lightmap uv (32).
    void pointTexCoordsAt(size_t offset) const;
    // The second texture unit's coordinate array on the lightmap uv, or off (needs multitexture).
    void setLightmapUnit(bool on) const;
    // The second texture unit's coordinate array on the uv, or off (needs multitexture).
    void setSecondUnitOnUv(bool on) const;

    GLuint buffer() const { return buffer_; }
    bool bufferReleased() const { return bufferReleased_; }

private:
    const GLvoid* address(size_t offset) const;
    void pointSecondUnitAt(std::optional<size_t> offset) const;
    void setPointers() const;

    const VertexPool& pool_;
    bool useVertexBuffers_ = false;
    GLuint buffer_ = 0;
    bool bufferReleased_ = false;
};

// Texture coordinates s, t and r generated as a sphere map, for the reflection passes.
void sphereMapGenerationOn();

// A group whose base draw cannot depend on what lies under it: an opaque texture drawn as it is,
// not additive, no reflection. Blending and the alpha test then change nothing, so its base pass
// goes without them and the depth test can turn hidden pixels away before they are textured.
bool drawsSolid(const FaceGroup& group);

// A room face group with its reflection, additive, illumination and lightmap passes.
// `untextured` draws the base pass without a texture.
void drawFaceGroup(const FaceGroup& group, bool untextured, const PoolBinding& pool);

// True when the group's lightmap can be drawn with its base in one pass (opaque base and
// lightmap, no additive, reflection or illumination pass) and give the same picture, fog aside.
bool drawsInOnePass(const FaceGroup& group);
// Such a group, the lightmap on the second texture unit (needs multitexture). Leaves the state the
// two-pass draw leaves.
void drawFaceGroupInOnePass(const FaceGroup& group, const PoolBinding& pool);

// True when the node's one extra pass (a reflection or a self-illumination, not both) over an
// opaque texture can be drawn with its base pass on a second unit and give the same picture, fog
// aside: the pass adds the texture times itself to what the base pass drew.
bool drawsExtraInOnePass(const ModelNode& node);

// One node of a placed model, with the modelview already set: base pass (with its texture
// scroll), then the reflection and illumination passes. With `extraOnSecondUnit` (needs
// multitexture and a modulate-add combiner, and the second unit's coordinates on the uv), a node
// that drawsExtraInOnePass adds its extra texture in the base pass instead. Leaves culling on and
// the alpha test on.
void drawNodeGeometry(const ModelNode& node, bool extraOnSecondUnit = false);

// OpenGL lights 0 .. n-1 set up from the object's lights (positions taken in the current
// modelview), then lighting on. More lights than OpenGL offers are left out.
void enableLights(std::span<const SceneLight* const> lights);
// The same OpenGL lights off again; lighting itself stays on.
void disableLights(std::span<const SceneLight* const> lights);

// A portal's triangles inside a samples-passed query. The triangles are triples of indices into
// `points`, stored as floats; a triangle with an index outside the points is skipped. Back-face
// culling is the caller's.
void drawPortalForOcclusionTest(GLuint query, std::span<const Vec3> points, std::span<const float> triangleIndices);

// Solid axis-aligned boxes for the object queries, one display list per distinct size.
class OcclusionBoxes {
public:
    OcclusionBoxes() = default;
    OcclusionBoxes(const OcclusionBoxes&) = delete;
    OcclusionBoxes& operator=(const OcclusionBoxes&) = delete;

    // Inside a samples-passed query: translate to `centre`, the box of `size` (x, y, z extents,
    // centred on the origin), translate back.
    void draw(GLuint query, const Vec3& centre, const Vec3& size);
    // Deletes the display lists (needs the context that made them).
    void release();
    size_t listCount() const { return lists_.size(); }

private:
    std::map<std::array<float, 3>, GLuint> lists_;
};

// The box itself in immediate mode, outward-facing counter-clockwise quads.
void drawSolidBox(const Vec3& size);

}  // namespace hg
