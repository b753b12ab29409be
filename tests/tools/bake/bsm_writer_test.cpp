// The .BSM writer read back by the program's own reader: every field lands where the reader
// expects it, corners come back pivot-relative with their normals and UVs, markers intact.
#include <gtest/gtest.h>

#include <cstring>

#include "bake/bsm_writer.h"
#include "scene/bsm_reader.h"

namespace hg::bake {
namespace {

Model sampleModel() {
    Model model;
    ModelObject hull;
    hull.name = "Hull";
    hull.pivot = {1, 2, 3};
    hull.material.baseTexture = "wood_walnut.tga";
    hull.material.scrollU = 0.25f;
    hull.material.reflectionTexture = "env_warm.tga";
    hull.material.illuminationTexture = "glow.tga";
    Shape s;
    for (Float3 p : {Float3{0, 0, 0}, {4, 0, 0}, {4, 5, 0}, {0, 5, 6}}) s.addPosition(p);
    s.addFace(0, 1, 2, {0, 0}, {1, 0}, {1, 1});
    s.addFace(0, 2, 3, {0, 0}, {1, 1}, {0.5f, 0.75f});  // two corners share UVs with face 0
    s.normals[1] = {Float3{0, 0, 1}, Float3{0, 0.6f, 0.8f}, Float3{1, 0, 0}};
    hull.shape = s;
    model.objects.push_back(hull);

    ModelObject hand;
    hand.name = "Arrow01";
    hand.parentName = "Hull";
    hand.pivot = {0, 5.2f, 14.1f};
    hand.material.baseTexture = "clock_atlas.tga";
    hand.material.illuminationTexture = "tree_glow.tga";  // illumination without reflection
    hand.shape = box({1, 1, 1});
    model.objects.push_back(hand);

    model.markers.push_back({{1, 2, 3}, "emit candle", "Hull", {0, 0, 0, 1}, 2});
    model.markers.push_back({{-4, 5.5f, 70}, "emit red_firlight", "Arrow01", {0.5f, 0.5f, 0.5f, 0.5f}, 2});
    return model;
}

TEST(BsmWriter, ReadsBackThroughTheProgramsReader) {
    const Model model = sampleModel();
    const std::vector<uint8_t> bytes = encodeBsm(model);
    const std::optional<BsmModel> read = readBsm(bytes);
    ASSERT_TRUE(read);
    const Mesh& mesh = read->mesh;
    ASSERT_EQ(mesh.objects.size(), 2u);
    ASSERT_EQ(read->textureNames.size(), 2u);

    EXPECT_EQ(read->textureNames[0].base, "wood_walnut.tga");
    EXPECT_EQ(read->textureNames[0].reflection, "env_warm.tga");
    EXPECT_EQ(read->textureNames[0].illumination, "glow.tga");
    EXPECT_EQ(read->textureNames[1].reflection, "");
    EXPECT_EQ(read->textureNames[1].illumination, "tree_glow.tga");
    EXPECT_FLOAT_EQ(mesh.objects[0].material.scrollU, 0.25f);
    EXPECT_TRUE(mesh.objects[0].material.hasReflection);
    EXPECT_FALSE(mesh.objects[1].material.hasReflection);
    EXPECT_TRUE(mesh.objects[1].material.hasIllumination);

    for (size_t o = 0; o < 2; ++o) {
        const ModelObject& src = model.objects[o];
        const MeshObject& got = mesh.objects[o];
        SCOPED_TRACE(src.name);
        EXPECT_EQ(got.name, src.name);
        EXPECT_EQ(got.parentName, src.parentName);
        EXPECT_EQ(got.hasParent, src.parentName != "Scene Root");
        EXPECT_EQ(got.faceCount, int32_t(src.shape.faces.size()));
        EXPECT_EQ(got.vertexCount, int32_t(src.shape.positions.size()));
        ASSERT_EQ(got.corners.size(), src.shape.faces.size() * 3);
        for (size_t f = 0; f < src.shape.faces.size(); ++f)
            for (size_t k = 0; k < 3; ++k) {
                const Corner& c = got.corners[f * 3 + k];
                const Float3 p = src.shape.positions[src.shape.faces[f][k]] - src.pivot;
                const Float3 n = src.shape.normals[f][k];
                const Float2 uv = src.shape.uvs[f][k];
                EXPECT_FLOAT_EQ(c.position.x, p.x);
                EXPECT_FLOAT_EQ(c.position.y, p.y);
                EXPECT_FLOAT_EQ(c.position.z, p.z);
                EXPECT_FLOAT_EQ(c.normal.x, n.x);
                EXPECT_FLOAT_EQ(c.normal.y, n.y);
                EXPECT_FLOAT_EQ(c.normal.z, n.z);
                EXPECT_FLOAT_EQ(c.u, uv.u);
                EXPECT_FLOAT_EQ(c.v, uv.v);
            }
    }
    // Size: twice the extent of all positions, x from -0.5 to 4, y -0.5 to 5, z -0.5 to 6.
    EXPECT_FLOAT_EQ(mesh.size.x, 9.0f);
    EXPECT_FLOAT_EQ(mesh.size.y, 11.0f);
    EXPECT_FLOAT_EQ(mesh.size.z, 13.0f);

    ASSERT_EQ(mesh.markers.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const Marker& src = model.markers[i];
        const MeshMarker& got = mesh.markers[i];
        EXPECT_EQ(got.name, src.name);
        EXPECT_EQ(got.parentName, src.parentName);
        EXPECT_FLOAT_EQ(got.position.x, src.position.x);
        EXPECT_FLOAT_EQ(got.position.y, src.position.y);
        EXPECT_FLOAT_EQ(got.position.z, src.position.z);
        EXPECT_FLOAT_EQ(got.rotation.x, src.rotation[0]);
        EXPECT_FLOAT_EQ(got.rotation.w, src.rotation[3]);
        EXPECT_EQ(got.kind, 2);
    }
    EXPECT_EQ(mesh.markers[0].shortName, "candle");
    EXPECT_EQ(mesh.markers[1].shortName, "red_firlight");
}

TEST(BsmWriter, LaysOutTheFileAsTheFormatSays) {
    Model model;
    ModelObject o;
    o.name = "Hull";
    o.material.baseTexture = "a.tga";
    o.material.illuminationTexture = "g.tga";
    o.shape.addPosition({0, 0, 0});
    o.shape.addPosition({1, 0, 0});
    o.shape.addPosition({0, 1, 0});
    o.shape.addFace(0, 1, 2, {0, 0}, {1, 0}, {0, 0});  // two corners with one UV: 2 texture vertices
    model.objects.push_back(o);
    const std::vector<uint8_t> b = encodeBsm(model);
    auto i32 = [&](size_t at) {
        int32_t v;
        std::memcpy(&v, &b[at], 4);
        return v;
    };
    auto f32 = [&](size_t at) {
        float v;
        std::memcpy(&v, &b[at], 4);
        return v;
    };
    EXPECT_EQ(i32(0), 1);                                  // object count
    EXPECT_EQ(i32(4), 5);                                  // "a.tga"
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 13), "a.tga");
    EXPECT_EQ(b[21], 0);                                   // no reflection, after two scroll floats
    EXPECT_EQ(b[22], 1);                                   // illumination follows
    EXPECT_EQ(i32(23), 5);
    size_t at = 23 + 4 + 5;
    EXPECT_EQ(i32(at), 4);                                 // "Hull"
    at += 8;
    EXPECT_EQ(i32(at), 10);                                // "Scene Root"
    EXPECT_EQ(std::string(b.begin() + long(at) + 4, b.begin() + long(at) + 14), "Scene Root");
    at += 14;
    EXPECT_EQ(i32(at), 3);                                 // V
    EXPECT_EQ(i32(at + 4), 1);                             // F
    EXPECT_EQ(i32(at + 8), 2);                             // T: shared UVs stored once
    EXPECT_EQ(i32(at + 12), 1);                            // TF = F
    at += 16 + 12 + 36;                                    // pivot, positions
    EXPECT_EQ(f32(at), 0.0f);                              // face indices as floats
    EXPECT_EQ(f32(at + 4), 1.0f);
    EXPECT_EQ(f32(at + 8), 2.0f);
    at += 12 + 24;                                         // faces, texture vertices
    EXPECT_EQ(f32(at + 8), 0.0f);                          // third corner reuses texture vertex 0
    at += 12 + 36;                                         // texture faces, normals
    EXPECT_EQ(i32(at), 0);                                 // no markers
    EXPECT_EQ(b.size(), at + 4);
}

}  // namespace
}  // namespace hg::bake
