#include "scene/mesh_draw.h"

#include <cmath>

#include "scene/model_instance.h"

namespace hg {

// ---- the pool ----

const GLvoid* PoolBinding::address(size_t offset) const {
    if (useVertexBuffers_) return reinterpret_cast<const GLvoid*>(offset);
    return reinterpret_cast<const uint8_t*>(pool_.data()) + offset;
}

void PoolBinding::setPointers() const {
    glVertexPointer(3, GL_FLOAT, kStride, address(0));
    glNormalPointer(GL_FLOAT, kStride, address(12));
    glTexCoordPointer(2, GL_FLOAT, kStride, address(kUvOffset));
}

void PoolBinding::upload() {
    if (!useVertexBuffers_) return;
    glGenBuffersARB(1, &buffer_);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer_);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(pool_.size() * kStride), pool_.data(),
                    GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer_);
    setPointers();
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

void PoolBinding::bind() {
    if (useVertexBuffers_) {
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer_);
        bufferReleased_ = false;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    setPointers();
}

void PoolBinding::unbind() {
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    if (useVertexBuffers_) glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

void PoolBinding::releaseBuffer() {
    if (bufferReleased_) return;
    if (useVertexBuffers_) glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    bufferReleased_ = true;
}

void PoolBinding::pointTexCoordsAt(size_t offset) const { glTexCoordPointer(2, GL_FLOAT, kStride, address(offset)); }

void PoolBinding::setLightmapUnit(bool on) const { pointSecondUnitAt(on ? std::optional<size_t>(kLightmapUvOffset) : std::nullopt); }

void PoolBinding::setSecondUnitOnUv(bool on) const { pointSecondUnitAt(on ? std::optional<size_t>(kUvOffset) : std::nullopt); }

void PoolBinding::pointSecondUnitAt(std::optional<size_t> offset) const {
    glClientActiveTextureARB(GL_TEXTURE1_ARB);
    if (offset) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        pointTexCoordsAt(*offset);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glClientActiveTextureARB(GL_TEXTURE0_ARB);
}

// ---- shared steps ----

void sphereMapGenerationOn() {
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glEnable(GL_TEXTURE_GEN_R);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    // OpenGL refuses a sphere map for r (GL_INVALID_ENUM, no effect), so r keeps its mode; a 2D
    // texture never reads it.
}

namespace {

void textureGenerationOff() {
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
}

void drawGroupTriangles(const FaceGroup& group) {
    if (group.indices.empty()) {
        glDrawArrays(GL_TRIANGLES, static_cast<GLint>(group.firstVertex), static_cast<GLsizei>(group.vertexCount));
    } else {
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(group.indices.size()), GL_UNSIGNED_INT, group.indices.data());
    }
}

// A blended pass over the pixels the first pass left visible (depth test GL_EQUAL, no depth writes
// set by the caller); then lighting, the depth function and depth writes back.
void extraGroupPass(const FaceGroup& group, GLuint texture) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glDepthFunc(GL_EQUAL);
    drawGroupTriangles(group);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LIGHTING);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
}

// Indices in pool order draw the same triangles as the run they name, without handing the driver
// an index list to copy every time.
void drawNodeElements(const ModelNode& node) {
    if (node.indicesInOrder) {
        glDrawArrays(GL_TRIANGLES, static_cast<GLint>(node.poolStart), node.indexCount);
    } else {
        glDrawElements(GL_TRIANGLES, node.indexCount, GL_UNSIGNED_INT, node.indices.data());
    }
}

void extraNodePass(const ModelNode& node, GLuint texture, bool sphereMap) {
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glBlendFunc(GL_SRC_COLOR, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    if (sphereMap) sphereMapGenerationOn();
    glDepthFunc(GL_EQUAL);
    drawNodeElements(node);
    glEnable(GL_LIGHTING);
    glDepthFunc(GL_LESS);
    glBlendFunc(GL_SRC_COLOR, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    if (sphereMap) textureGenerationOff();
}

}  // namespace

// ---- room face groups ----

bool drawsSolid(const FaceGroup& group) { return group.opaqueBase && !group.additive && !group.hasReflection; }

void drawFaceGroup(const FaceGroup& group, bool untextured, const PoolBinding& pool) {
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, group.baseTexture);
    if (untextured) glDisable(GL_TEXTURE_2D);

    // The reflection replaces the base texture and is added to the lit colour.
    if (group.hasReflection) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, group.reflectionTexture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
        sphereMapGenerationOn();
    }
    if (group.twoSided) glDisable(GL_CULL_FACE);
    if (group.additive) {
        glDisable(GL_LIGHTING);
        glEnable(GL_BLEND);
        glDepthMask(GL_FALSE);
        glColor4f(1, 1, 1, 1);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    }

    const bool solid = !untextured && drawsSolid(group);
    if (solid) {
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
    }
    drawGroupTriangles(group);
    if (solid) {
        glEnable(GL_BLEND);
        glEnable(GL_ALPHA_TEST);
    }

    if (group.additive) {
        glEnable(GL_LIGHTING);
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    if (group.hasIllumination) {
        glDepthMask(GL_FALSE);
        glEnable(GL_BLEND);
        glDisable(GL_LIGHTING);
        glBlendFunc(GL_SRC_COLOR, GL_ONE);
        extraGroupPass(group, group.illuminationTexture);
    }
    if (group.hasLightmap) {
        pool.pointTexCoordsAt(PoolBinding::kLightmapUvOffset);
        glDepthMask(GL_FALSE);
        glEnable(GL_BLEND);
        glDisable(GL_LIGHTING);
        glBlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_SRC_COLOR);
        extraGroupPass(group, group.lightmapTexture);
        pool.pointTexCoordsAt(PoolBinding::kUvOffset);
    }
    if (group.twoSided) glEnable(GL_CULL_FACE);
    if (group.hasReflection) {
        glDisable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        textureGenerationOff();
    }
}

bool drawsInOnePass(const FaceGroup& group) {
    return drawsSolid(group) && group.hasLightmap && group.opaqueLightmap && !group.hasIllumination;
}

// base x lightmap in one pass: the second unit modulates the base texture by the lightmap, which is
// what the lightmap's blended pass (source x (1 - alpha) + destination x source) makes of an opaque
// base under an opaque lightmap. Fog would differ (one fogged product against the product of two
// fogged passes): the caller asks for this only where the fog does not reach.
void drawFaceGroupInOnePass(const FaceGroup& group, const PoolBinding& pool) {
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDepthMask(GL_TRUE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, group.baseTexture);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, group.lightmapTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    pool.setLightmapUnit(true);
    if (group.twoSided) glDisable(GL_CULL_FACE);

    drawGroupTriangles(group);

    if (group.twoSided) glEnable(GL_CULL_FACE);
    pool.setLightmapUnit(false);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    // What the two passes leave behind.
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LIGHTING);
}

// ---- model nodes ----

namespace {

bool isScrolled(const ModelNode& node) { return node.material.scrollU != 0.0f || node.material.scrollV != 0.0f; }

// The second unit adds its texture times itself to what the first unit made (a x c + b with a and
// c the texture and b the colour so far), which is what the extra pass's blend adds (source times
// source colour, plus the destination), its colour being white; the alpha stays the base pass's.
void extraOnSecondUnitOn(const ModelNode& node) {
    const bool reflection = node.material.hasReflection;
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, reflection ? node.material.reflectionTexture : node.material.illuminationTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_MODULATE_ADD_ATI);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB_ARB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, GL_PREVIOUS_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB_ARB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_RGB_ARB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_RGB_ARB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA_ARB, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA_ARB, GL_PREVIOUS_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA_ARB, GL_SRC_ALPHA);
    // Texture generation belongs to the active unit: this is the second unit's.
    if (reflection) sphereMapGenerationOn();
    glActiveTextureARB(GL_TEXTURE0_ARB);
}

void extraOnSecondUnitOff(const ModelNode& node) {
    glActiveTextureARB(GL_TEXTURE1_ARB);
    if (node.material.hasReflection) textureGenerationOff();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
}

}  // namespace

// A scrolled texture moves the first unit's coordinates only, so such a node keeps its passes.
bool drawsExtraInOnePass(const ModelNode& node) {
    const MeshMaterial& material = node.material;
    return material.hasReflection != material.hasIllumination && material.opaqueExtras && !isScrolled(node);
}

void drawNodeGeometry(const ModelNode& node, bool extraOnSecondUnit) {
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, node.material.baseTexture);

    const bool scrolled = isScrolled(node);
    if (scrolled) {
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glTranslatef(node.scrollOffsetU, -node.scrollOffsetV, 0.0f);
        glMatrixMode(GL_MODELVIEW);
    }
    // A closed surface turned outwards shows no back face: those need not be drawn.
    if (node.closedOutward) {
        glEnable(GL_CULL_FACE);
    } else {
        glDisable(GL_CULL_FACE);
    }
    // An opaque texture passes any alpha test: without it the depth test can turn hidden pixels
    // away before they are textured.
    if (node.material.opaqueBase) {
        glDisable(GL_ALPHA_TEST);
    } else {
        glEnable(GL_ALPHA_TEST);
    }

    const bool extraInThisPass = extraOnSecondUnit && drawsExtraInOnePass(node);
    if (extraInThisPass) extraOnSecondUnitOn(node);
    drawNodeElements(node);
    if (extraInThisPass) extraOnSecondUnitOff(node);
    glEnable(GL_ALPHA_TEST);
    if (!extraInThisPass && node.material.hasReflection) extraNodePass(node, node.material.reflectionTexture, true);
    if (!extraInThisPass && node.material.hasIllumination) extraNodePass(node, node.material.illuminationTexture, false);

    glEnable(GL_CULL_FACE);
    if (scrolled) {
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
    }
}

// ---- lights ----

namespace {
size_t usableLights(size_t wanted) {
    GLint available = 8;
    glGetIntegerv(GL_MAX_LIGHTS, &available);
    return std::min(wanted, static_cast<size_t>(std::max(available, 0)));
}
}  // namespace

void enableLights(std::span<const SceneLight* const> lights) {
    static constexpr GLfloat kSpecular[4] = {0.21f, 0.21f, 0.21f, 1.0f};
    const size_t count = usableLights(lights.size());
    for (size_t i = 0; i < count; ++i) {
        const SceneLight& light = *lights[i];
        const GLenum id = GL_LIGHT0 + static_cast<GLenum>(i);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kSpecular);
        glLightfv(id, GL_AMBIENT, light.ambient);
        glLightfv(id, GL_DIFFUSE, light.diffuse);
        glLightfv(id, GL_SPECULAR, light.specular);
        glLightf(id, GL_SPOT_EXPONENT, 30.0f);
        const GLfloat position[4] = {light.position[0], light.position[1], light.position[2], 1.0f};
        glLightfv(id, GL_POSITION, position);
        glLightf(id, GL_LINEAR_ATTENUATION, light.range * 0.000002f);
        glEnable(id);
    }
    glEnable(GL_LIGHTING);
}

void disableLights(std::span<const SceneLight* const> lights) {
    const size_t count = usableLights(lights.size());
    for (size_t i = 0; i < count; ++i) glDisable(GL_LIGHT0 + static_cast<GLenum>(i));
}

// ---- occlusion primitives ----

void drawPortalForOcclusionTest(GLuint query, std::span<const Vec3> points, std::span<const float> triangleIndices) {
    glBeginQueryARB(GL_SAMPLES_PASSED_ARB, query);
    glBegin(GL_TRIANGLES);
    for (size_t t = 0; t + 2 < triangleIndices.size(); t += 3) {
        size_t corner[3];
        bool inside = true;
        for (int k = 0; k < 3; ++k) {
            const float index = triangleIndices[t + static_cast<size_t>(k)];
            inside = inside && std::isfinite(index) && index >= 0.0f && index < static_cast<float>(points.size());
            corner[k] = inside ? static_cast<size_t>(index) : 0;
        }
        if (!inside) continue;
        for (size_t c : corner) glVertex3f(points[c].x, points[c].y, points[c].z);
    }
    glEnd();
    glEndQueryARB(GL_SAMPLES_PASSED_ARB);
}

void drawSolidBox(const Vec3& size) {
    const float x = size.x * 0.5f, y = size.y * 0.5f, z = size.z * 0.5f;
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glVertex3f(-x, -y, z), glVertex3f(x, -y, z), glVertex3f(x, y, z), glVertex3f(-x, y, z);
    glNormal3f(0, 0, -1);
    glVertex3f(-x, -y, -z), glVertex3f(-x, y, -z), glVertex3f(x, y, -z), glVertex3f(x, -y, -z);
    glNormal3f(1, 0, 0);
    glVertex3f(x, -y, -z), glVertex3f(x, y, -z), glVertex3f(x, y, z), glVertex3f(x, -y, z);
    glNormal3f(-1, 0, 0);
    glVertex3f(-x, -y, -z), glVertex3f(-x, -y, z), glVertex3f(-x, y, z), glVertex3f(-x, y, -z);
    glNormal3f(0, 1, 0);
    glVertex3f(-x, y, -z), glVertex3f(-x, y, z), glVertex3f(x, y, z), glVertex3f(x, y, -z);
    glNormal3f(0, -1, 0);
    glVertex3f(-x, -y, -z), glVertex3f(x, -y, -z), glVertex3f(x, -y, z), glVertex3f(-x, -y, z);
    glEnd();
}

void OcclusionBoxes::draw(GLuint query, const Vec3& centre, const Vec3& size) {
    const std::array<float, 3> key{size.x, size.y, size.z};
    auto found = lists_.find(key);
    if (found == lists_.end()) {
        const GLuint list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        drawSolidBox(size);
        glEndList();
        found = lists_.emplace(key, list).first;
    }
    glBeginQueryARB(GL_SAMPLES_PASSED_ARB, query);
    glTranslatef(centre.x, centre.y, centre.z);
    glCallList(found->second);
    glTranslatef(-centre.x, -centre.y, -centre.z);
    glEndQueryARB(GL_SAMPLES_PASSED_ARB);
}

void OcclusionBoxes::release() {
    for (const auto& [size, list] : lists_) glDeleteLists(list, 1);
    lists_.clear();
}

}  // namespace hg
