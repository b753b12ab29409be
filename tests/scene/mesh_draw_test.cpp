#include "scene/mesh_draw.h"

#include "gl/gl.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "scene/particle_sink.h"
#include "scene/bsm_test_writer.h"
#include "scene/gl_test_context.h"
#include "scene/model_instance.h"
#include "scene/model_library.h"

namespace hg {
namespace {

class NoParticles : public ParticleSink {
public:
    void emitAtMarker(const MeshMarker&) override {}
};

// An 8 x 8 texture of these texels (GL_RGBA or GL_RGB), sampled with `filter` both ways.
GLuint texture8x8(const uint8_t* texels, GLenum format, GLint filter) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), 8, 8, 0, format, GL_UNSIGNED_BYTE, texels);
    return texture;
}

GLuint checkerTexture() {
    uint8_t texels[8 * 8 * 4];
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            uint8_t* t = texels + (y * 8 + x) * 4;
            const bool dark = ((x / 2) + (y / 2)) % 2 != 0;
            t[0] = dark ? 40 : 230, t[1] = dark ? 90 : 180, t[2] = dark ? 30 : 60, t[3] = 255;
        }
    }
    return texture8x8(texels, GL_RGBA, GL_NEAREST);
}

class MeshDraw : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::glTestContext()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
        texture_ = checkerTexture();
        // A small train: a hull strip with a loco and a wagon turned about their pivots.
        test::BsmTestObject hull = test::stripObject("Hull", "Scene Root", 8, {-2, -0.5f, 0});
        test::BsmTestObject loco = test::stripObject("loco", "Hull", 6, {-1, 0, 0.3f}, {0, 0, 0});
        test::BsmTestObject wagon = test::stripObject("wagon01", "loco", 4, {0, -1, 0.6f}, {0.5f, 0, 0});
        wagon.scrollU = 0.5f;
        models_["Models/train.BSM"] = test::writeBsm({hull, loco, wagon});
        ModelSources sources{[this](const std::string& path) -> std::optional<std::vector<uint8_t>> {
                                 auto found = models_.find(path);
                                 if (found == models_.end()) return std::nullopt;
                                 return found->second;
                             },
                             [this](const std::string&) { return texture_; }, [](const std::string&) {}};
        library_ = std::make_unique<ModelLibrary>(pool_, sources);
        ASSERT_TRUE(instance_.build(*library_, "train"));
        instance_.setAngleZ("loco", 30);
        instance_.setAngleZ("wagon01", -50);
        instance_.setAngleY("Hull", 10);
        instance_.position = {0.2f, 0.1f, 0};
        instance_.rotation = {0, 0, std::sin(0.3f), std::cos(0.3f)};
        NoParticles particles;
        instance_.update(3.0f, particles);

        // A lightmapped room group over the hull's vertices, drawn a little lower.
        group_.firstVertex = instance_.nodes[0].poolStart;
        group_.vertexCount = instance_.nodes[0].poolEnd - instance_.nodes[0].poolStart;
        group_.baseTexture = texture_;
        group_.lightmapTexture = texture_;
        group_.hasLightmap = true;
    }
    void TearDown() override {
        if (texture_) glDeleteTextures(1, &texture_);
    }

    static void camera() {
        glViewport(0, 0, test::kGlTestWidth, test::kGlTestHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, static_cast<double>(test::kGlTestWidth) / test::kGlTestHeight, 0.5, 50.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0.5, -3.5, 3.0, 0, 0, 0.3, 0, 0, 1);
    }

    // A cleared picture, the camera and the opaque node pass's state.
    static void beginOpaquePass() {
        glClearColor(0, 0, 0.2f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.001f);
        glColor4f(1, 1, 1, 1);
        camera();
    }

    std::vector<uint8_t> render(bool vertexBuffers) {
        PoolBinding binding(pool_);
        binding.setUseVertexBuffers(vertexBuffers);
        binding.upload();
        glClearColor(0, 0, 0.2f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // The same starting state for both: the passes leave lighting as they please.
        glDisable(GL_LIGHTING);
        glEnable(GL_CULL_FACE);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glAlphaFunc(GL_GREATER, 0.001f);
        glColor4f(1, 1, 1, 1);
        camera();
        binding.bind();
        instance_.draw();
        glTranslatef(0, 0, -0.4f);
        drawFaceGroup(group_, false, binding);
        glTranslatef(0, 0, 0.4f);
        binding.unbind();
        glFinish();
        auto pixels = test::readPixels();
        if (binding.buffer()) {
            const GLuint buffer = binding.buffer();
            glDeleteBuffersARB(1, &buffer);
        }
        return pixels;
    }

    VertexPool pool_;
    std::map<std::string, std::vector<uint8_t>> models_;
    std::unique_ptr<ModelLibrary> library_;
    ModelInstance instance_;
    FaceGroup group_;
    GLuint texture_ = 0;
};

TEST_F(MeshDraw, VertexBufferAndClientMemoryDrawTheSamePicture) {
    if (!test::glTestExtensions().vertexBuffers) GTEST_SKIP() << "no vertex buffer objects";
    const auto withBuffer = render(true);
    const auto fromMemory = render(false);
    ASSERT_EQ(withBuffer.size(), fromMemory.size());
    size_t differing = 0, covered = 0, dark = 0, light = 0;
    for (size_t i = 0; i < withBuffer.size(); i += 4) {
        if (std::memcmp(&withBuffer[i], &fromMemory[i], 3) != 0) ++differing;
        const bool background = withBuffer[i] == 0 && withBuffer[i + 1] == 0 && withBuffer[i + 2] == 51;
        if (!background) ++covered;
        if (!background && withBuffer[i + 1] < 100) ++dark;
        if (!background && withBuffer[i + 1] > 150) ++light;
    }
    EXPECT_EQ(differing, 0u);
    const size_t total = withBuffer.size() / 4;
    EXPECT_GT(covered, total / 20) << "the model should cover part of the picture";
    EXPECT_LT(covered, total) << "and not all of it";
    EXPECT_GT(dark, 50u);  // both checker colours are visible
    EXPECT_GT(light, 50u);
}

// One picture drawn two ways (extra texture in a blended pass and on the second unit), against the
// same picture without the extra texture.
struct PassComparison {
    size_t covered = 0;  // pixels off the background
    size_t apart = 0;    // pixels the two ways draw more than rounding apart
    size_t moved = 0;    // covered pixels the extra texture moved by more than 20 levels in `channel`
};

// `direction` +1: the extra texture should lighten the channel; -1: darken it.
PassComparison comparePasses(const std::vector<uint8_t>& twoPasses, const std::vector<uint8_t>& onePass,
                             const std::vector<uint8_t>& without, size_t channel, int direction) {
    PassComparison result;
    for (size_t i = 0; i < twoPasses.size(); i += 4) {
        int most = 0;
        for (size_t c = 0; c < 3; ++c) most = std::max(most, std::abs(twoPasses[i + c] - onePass[i + c]));
        result.apart += most > 2 ? 1 : 0;
        const bool background = twoPasses[i] == 0 && twoPasses[i + 1] == 0 && twoPasses[i + 2] == 51;
        result.covered += background ? 0 : 1;
        result.moved += !background && direction * (twoPasses[i + channel] - without[i + channel]) > 20 ? 1 : 0;
    }
    return result;
}

// A smooth lightmap, dark in one corner and light in the other, filtered linearly.
GLuint gradientTexture() {
    uint8_t texels[8 * 8 * 3];
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            uint8_t* t = texels + (y * 8 + x) * 3;
            t[0] = static_cast<uint8_t>(40 + x * 30), t[1] = static_cast<uint8_t>(60 + y * 25), t[2] = 200;
        }
    }
    return texture8x8(texels, GL_RGB, GL_LINEAR);
}

TEST_F(MeshDraw, ALightmapOnTheSecondUnitDrawsWhatTheBlendedPassDraws) {
    if (!test::glTestExtensions().multitexture) GTEST_SKIP() << "no second texture unit";
    const GLuint lightmap = gradientTexture();
    FaceGroup group = group_;
    group.lightmapTexture = lightmap;
    group.opaqueBase = group.opaqueLightmap = true;
    group.twoSided = true;
    ASSERT_TRUE(drawsInOnePass(group));
    PoolBinding binding(pool_);
    auto draw = [&](const FaceGroup& drawn, bool onePass) {
        beginOpaquePass();
        binding.bind();
        if (onePass) {
            drawFaceGroupInOnePass(drawn, binding);
        } else {
            drawFaceGroup(drawn, false, binding);
        }
        binding.unbind();
        glFinish();
        return test::readPixels();
    };
    const auto twoPasses = draw(group, false);
    const auto onePass = draw(group, true);
    FaceGroup unlit = group;
    unlit.hasLightmap = false;
    const auto baseAlone = draw(unlit, false);

    const PassComparison compared = comparePasses(twoPasses, onePass, baseAlone, 1, -1);
    EXPECT_EQ(compared.apart, 0u) << "pixels that differ by more than rounding";
    EXPECT_GT(compared.covered, twoPasses.size() / 4 / 20) << "the group should cover part of the picture";
    EXPECT_GT(compared.moved, compared.covered / 2) << "the lightmap should darken the base in both";

    // It leaves what the two passes leave: lighting and blending on, the second unit off, the
    // texture coordinates on the uv.
    binding.bind();
    drawFaceGroupInOnePass(group, binding);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint value = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &value);
    EXPECT_EQ(value, GL_TEXTURE0_ARB);
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE_ARB, &value);
    EXPECT_EQ(value, GL_TEXTURE0_ARB);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glClientActiveTextureARB(GL_TEXTURE1_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    glClientActiveTextureARB(GL_TEXTURE0_ARB);
    GLvoid* pointer = nullptr;
    glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &pointer);
    EXPECT_EQ(pointer, static_cast<const void*>(reinterpret_cast<const uint8_t*>(pool_.data()) + 24));
    binding.unbind();
    glDeleteTextures(1, &lightmap);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ExtraInOnePass, OneOpaqueUnscrolledExtraTextureOnly) {
    ModelNode node;
    node.material.hasReflection = true;
    node.material.opaqueExtras = true;
    EXPECT_TRUE(drawsExtraInOnePass(node));
    node.material.hasIllumination = true;  // two extras need two units
    EXPECT_FALSE(drawsExtraInOnePass(node));
    node.material.hasReflection = false;
    EXPECT_TRUE(drawsExtraInOnePass(node));
    node.material.opaqueExtras = false;  // the extra pass's alpha test could drop a pixel
    EXPECT_FALSE(drawsExtraInOnePass(node));
    node.material.opaqueExtras = true;
    node.material.scrollV = 0.5f;  // the scroll moves the first unit's coordinates only
    EXPECT_FALSE(drawsExtraInOnePass(node));
    node.material.scrollV = 0.0f;
    node.material.hasIllumination = false;  // nothing extra to add
    EXPECT_FALSE(drawsExtraInOnePass(node));
}

TEST_F(MeshDraw, AReflectionOrAGlowOnTheSecondUnitDrawsWhatTheBlendedPassDraws) {
    if (!test::glTestExtensions().multitexture || !test::glTestExtensions().modulateAdd)
        GTEST_SKIP() << "no second texture unit with a modulate-add combiner";
    const GLuint extra = gradientTexture();
    PoolBinding binding(pool_);
    // The opaque node pass's state, a white light over the model, every node lit and closed.
    auto draw = [&](bool onSecondUnit) {
        beginOpaquePass();
        static constexpr GLfloat kLight[4] = {1, -2, 3, 0};
        glLightfv(GL_LIGHT0, GL_POSITION, kLight);
        glEnable(GL_LIGHT0);
        glEnable(GL_LIGHTING);
        binding.bind();
        if (onSecondUnit) binding.setSecondUnitOnUv(true);
        instance_.draw(nullptr, onSecondUnit);
        if (onSecondUnit) binding.setSecondUnitOnUv(false);
        binding.unbind();
        glDisable(GL_LIGHT0);
        glFinish();
        return test::readPixels();
    };
    auto setExtras = [&](bool reflection, bool illumination) {
        for (ModelNode& node : instance_.nodes) {
            node.material.hasReflection = reflection;
            node.material.reflectionTexture = reflection ? extra : 0;
            node.material.hasIllumination = illumination;
            node.material.illuminationTexture = illumination ? extra : 0;
            node.material.opaqueExtras = true;
            node.material.opaqueBase = true;
            node.material.scrollU = node.material.scrollV = 0;
        }
    };
    setExtras(false, false);
    const auto baseAlone = draw(false);
    for (const bool reflection : {true, false}) {
        SCOPED_TRACE(reflection ? "reflection" : "self-illumination");
        setExtras(reflection, !reflection);
        const auto twoPasses = draw(false);
        const auto onePass = draw(true);
        const PassComparison compared = comparePasses(twoPasses, onePass, baseAlone, 2, 1);
        EXPECT_EQ(compared.apart, 0u) << "pixels that differ by more than rounding";
        EXPECT_GT(compared.covered, twoPasses.size() / 4 / 20) << "the model should cover part of the picture";
        EXPECT_GT(compared.moved, compared.covered / 2) << "the extra texture should add light in both";
    }

    // The second unit is left off, its texture generation too, and the first unit active.
    GLint value = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &value);
    EXPECT_EQ(value, GL_TEXTURE0_ARB);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glDeleteTextures(1, &extra);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshDraw, NodesOutsideTheEyeViewAreNotSent) {
    PoolBinding binding(pool_);
    auto coveredPixels = [&](const Frustum* eyeView) {
        glClearColor(0, 0, 0.2f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        camera();
        binding.bind();
        instance_.draw(eyeView);
        binding.unbind();
        glFinish();
        const auto pixels = test::readPixels();
        size_t covered = 0;
        for (size_t i = 0; i < pixels.size(); i += 4) covered += pixels[i + 2] != 51 || pixels[i] != 0 ? 1 : 0;
        return covered;
    };
    GLfloat projection[16];
    camera();
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    static constexpr GLfloat kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const Frustum seeing = Frustum::fromMatrices(projection, kIdentity);
    const size_t all = coveredPixels(nullptr);
    EXPECT_GT(all, 100u);
    EXPECT_EQ(coveredPixels(&seeing), all) << "a view that holds the model draws all of it";
    // A view volume turned away from the model (as if the eye looked back): nothing is sent.
    GLfloat turned[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
    const Frustum away = Frustum::fromMatrices(projection, turned);
    EXPECT_EQ(coveredPixels(&away), 0u);
}

TEST(SphereRound, HoldsEveryPointAndIsEmptyWithoutAny) {
    const std::vector<Vec3> points = {{0, 0, 0}, {2, 0, 0}, {0, 4, 0}, {1, 1, -2}};
    const Sphere sphere = sphereRound(points, [](const Vec3& p) { return p; });
    EXPECT_FLOAT_EQ(sphere.centre.x, 1.0f);
    EXPECT_FLOAT_EQ(sphere.centre.y, 2.0f);
    EXPECT_FLOAT_EQ(sphere.centre.z, -1.0f);
    for (const Vec3& p : points) EXPECT_LE(distance(p, sphere.centre), sphere.radius + 1e-5f);
    EXPECT_LT(sphereRound(std::vector<Vec3>{}, [](const Vec3& p) { return p; }).radius, 0.0f);
}

TEST_F(MeshDraw, InstanceDrawLeavesTheModelviewAsItWas) {
    camera();
    glRotatef(17, 1, 0.3f, 0);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    PoolBinding binding(pool_);
    binding.bind();
    instance_.draw();
    binding.unbind();
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(after[i], before[i], 1e-4f * (1 + std::fabs(before[i]))) << i;
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshDraw, ClientMemoryModeMakesNoBufferAndPointsIntoThePool) {
    PoolBinding binding(pool_);
    binding.upload();
    EXPECT_EQ(binding.buffer(), 0u);
    binding.bind();
    GLvoid* pointer = nullptr;
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    EXPECT_EQ(pointer, static_cast<const void*>(pool_.data()));
    // After a lightmapped group the texture coordinates come from the uv again.
    drawFaceGroup(group_, false, binding);
    glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &pointer);
    EXPECT_EQ(pointer, static_cast<const void*>(reinterpret_cast<const uint8_t*>(pool_.data()) + 24));
    binding.unbind();
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
}

TEST_F(MeshDraw, FaceGroupPassesRestoreDepthCullingAndTextureGeneration) {
    if (!test::glTestExtensions().vertexBuffers) GTEST_SKIP() << "no vertex buffer objects";
    PoolBinding binding(pool_);
    binding.setUseVertexBuffers(true);
    binding.upload();
    binding.bind();
    EXPECT_FALSE(binding.bufferReleased());
    camera();
    glEnable(GL_CULL_FACE);
    FaceGroup group = group_;
    group.hasReflection = true;
    group.reflectionTexture = texture_;
    group.hasIllumination = true;
    group.illuminationTexture = texture_;
    group.additive = true;
    group.twoSided = true;
    drawFaceGroup(group, false, binding);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_R));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));  // the reflection pass leaves texturing off
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));     // the extra passes switch lighting back on
    GLint value = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LESS);
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(mask, GL_TRUE);
    GLvoid* pointer = nullptr;
    glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &pointer);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(pointer), 24u);

    // A plain group leaves lighting off and blending on.
    FaceGroup plain = group_;
    plain.hasLightmap = false;
    drawFaceGroup(plain, true, binding);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));

    binding.releaseBuffer();
    EXPECT_TRUE(binding.bufferReleased());
    GLint bound = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &bound);
    EXPECT_EQ(bound, 0);
    binding.unbind();
    const GLuint buffer = binding.buffer();
    glDeleteBuffersARB(1, &buffer);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshDraw, TextureMatrixIsTouchedOnlyByScrollingNodes) {
    PoolBinding binding(pool_);
    binding.bind();
    camera();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(2, 3, 1);
    glMatrixMode(GL_MODELVIEW);
    drawNodeGeometry(instance_.nodes[0]);  // no scroll
    GLfloat texture[16];
    glGetFloatv(GL_TEXTURE_MATRIX, texture);
    EXPECT_FLOAT_EQ(texture[0], 2);
    EXPECT_FLOAT_EQ(texture[5], 3);
    drawNodeGeometry(instance_.nodes[2]);  // scrolls in u
    glGetFloatv(GL_TEXTURE_MATRIX, texture);
    EXPECT_FLOAT_EQ(texture[0], 1);
    EXPECT_FLOAT_EQ(texture[12], 0);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    binding.unbind();
}

TEST_F(MeshDraw, LightsForAnObject) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    SceneLight warm;
    warm.position[0] = 10, warm.position[1] = 20, warm.position[2] = 30;
    warm.diffuse[0] = 0.9f;
    warm.range = 5000;
    std::vector<const SceneLight*> lights(12, &warm);  // more than OpenGL offers
    glDisable(GL_LIGHTING);
    enableLights(lights);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT7));
    GLfloat value[4];
    glGetLightfv(GL_LIGHT3, GL_POSITION, value);
    EXPECT_FLOAT_EQ(value[1], 20);
    EXPECT_FLOAT_EQ(value[3], 1);
    glGetLightfv(GL_LIGHT3, GL_LINEAR_ATTENUATION, value);
    EXPECT_FLOAT_EQ(value[0], 0.01f);
    glGetLightfv(GL_LIGHT3, GL_SPOT_EXPONENT, value);
    EXPECT_FLOAT_EQ(value[0], 30);
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, value);
    EXPECT_FLOAT_EQ(value[0], 0.21f);
    disableLights(lights);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT7));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

GLuint samplesOf(GLuint query) {
    GLuint samples = 0;
    glGetQueryObjectuivARB(query, GL_QUERY_RESULT_ARB, &samples);
    return samples;
}

TEST_F(MeshDraw, OcclusionPrimitivesCountTheirSamples) {
    if (!test::glTestExtensions().occlusionQueries) GTEST_SKIP() << "no occlusion queries";
    GLuint queries[3];
    glGenQueriesARB(3, queries);
    camera();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    OcclusionBoxes boxes;
    boxes.draw(queries[0], {0, 0, 0.3f}, {1, 1, 1});
    boxes.draw(queries[1], {0, -20, 0}, {1, 1, 1});  // behind the camera
    EXPECT_EQ(boxes.listCount(), 1u);
    // One triangle in view, one with an index past the points (skipped).
    const std::vector<Vec3> points = {{-1, 0, 0}, {1, 0, 0}, {0, 0, 1}};
    const std::vector<float> triangles = {0, 1, 2, 0, 1, 3};
    drawPortalForOcclusionTest(queries[2], points, triangles);
    EXPECT_GT(samplesOf(queries[0]), 100u);
    EXPECT_EQ(samplesOf(queries[1]), 0u);
    EXPECT_GT(samplesOf(queries[2]), 100u);
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glLoadIdentity();
    gluLookAt(0.5, -3.5, 3.0, 0, 0, 0.3, 0, 0, 1);
    GLfloat expected[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, expected);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(modelview[i], expected[i], 1e-5f);
    boxes.release();
    glDeleteQueriesARB(3, queries);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace hg
