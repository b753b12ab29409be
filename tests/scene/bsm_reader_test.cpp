#include "scene/bsm_reader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <limits>
#include <map>
#include <new>
#include <set>

#include "scene/bsm_test_writer.h"
#include "scene/model_library.h"

// The largest single allocation made while a test watches, to show that lying counts never turn
// into large allocations. The replacements pair malloc with free, which the compiler cannot see
// through once they are inlined into callers of new and delete.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::atomic<bool> gWatching{false};
std::atomic<size_t> gLargest{0};
}  // namespace

void* operator new(size_t size) {
    if (gWatching.load(std::memory_order_relaxed) && size > gLargest.load(std::memory_order_relaxed)) gLargest = size;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace hg {
namespace {

using test::BsmTestMarker;
using test::BsmTestObject;
using test::stripObject;
using test::writeBsm;

BsmModel parse(const std::vector<uint8_t>& bytes) {
    auto model = readBsm(bytes);
    EXPECT_TRUE(model.has_value());
    return model ? std::move(*model) : BsmModel{};
}

TEST(BsmReader, StringFieldsKeepTheFileNameBeforeAnyZeroByte) {
    BsmTestObject o = stripObject("Hull", "Scene Root", 2);
    o.baseTexture = std::string("wood.tga\0old/junk.tga", 21);
    o.reflectionTexture = "C:\\art/maps\\shiny.tga";
    o.illuminationTexture = "glow";
    o.name = "Arrow01";
    const BsmModel model = parse(writeBsm({o}));
    ASSERT_EQ(model.textureNames.size(), 1u);
    EXPECT_EQ(model.textureNames[0].base, "wood.tga");
    EXPECT_EQ(model.textureNames[0].reflection, "shiny.tga");
    EXPECT_EQ(model.textureNames[0].illumination, "glow");
    EXPECT_EQ(model.mesh.objects[0].name, "Arrow01");
}

TEST(BsmReader, OnlyExactSceneRootMeansNoParent) {
    const BsmModel model = parse(writeBsm({stripObject("Hull", "Scene Root", 2), stripObject("a", "Scene Root ", 2),
                                           stripObject("b", "scene root", 2), stripObject("c", "Hull", 2)}));
    ASSERT_EQ(model.mesh.objects.size(), 4u);
    EXPECT_FALSE(model.mesh.objects[0].hasParent);
    EXPECT_TRUE(model.mesh.objects[1].hasParent);
    EXPECT_TRUE(model.mesh.objects[2].hasParent);
    EXPECT_TRUE(model.mesh.objects[3].hasParent);
    EXPECT_EQ(model.mesh.objects[3].parentName, "Hull");
}

TEST(BsmReader, CornersFollowFloatIndicesRelativeToThePivot) {
    BsmTestObject o;
    o.pivot = {1, 1, 1};
    o.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 6, 7}};
    o.faces = {{3.0f, 0.0f, 1.0f}, {2.9f, 2.0f, 0.0f}};  // 2.9 truncates to 2
    o.texVertices = {{0.1f, 0.2f, 9}, {0.3f, 0.4f, 9}, {0.5f, 0.6f, 9}};
    o.texFaces = {{2, 1, 0}, {0, 0, 1}};
    o.normals = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    const BsmModel model = parse(writeBsm({o}));
    const MeshObject& object = model.mesh.objects[0];
    ASSERT_EQ(object.corners.size(), 6u);
    EXPECT_EQ(object.faceCount, 2);
    EXPECT_EQ(object.vertexCount, 4);
    EXPECT_FLOAT_EQ(object.corners[0].position.x, 4);
    EXPECT_FLOAT_EQ(object.corners[0].position.y, 5);
    EXPECT_FLOAT_EQ(object.corners[0].position.z, 6);
    EXPECT_FLOAT_EQ(object.corners[3].position.x, -1);  // position 2 = (0, 1, 0) minus the pivot
    EXPECT_FLOAT_EQ(object.corners[3].position.y, 0);
    // Texture face f, corner by corner, uv as stored.
    EXPECT_FLOAT_EQ(object.corners[0].u, 0.5f);
    EXPECT_FLOAT_EQ(object.corners[0].v, 0.6f);
    EXPECT_FLOAT_EQ(object.corners[1].u, 0.3f);
    EXPECT_FLOAT_EQ(object.corners[5].u, 0.3f);
    EXPECT_FLOAT_EQ(object.corners[5].v, 0.4f);
    EXPECT_FLOAT_EQ(object.corners[4].normal.y, -1);
    // The file positions are kept unshifted.
    EXPECT_FLOAT_EQ(object.positions[3].z, 7);
}

TEST(BsmReader, IlluminationWithoutReflectionIsTwoFlagBytesThenTheString) {
    BsmTestObject o = stripObject("lamp", "Scene Root", 2);
    o.baseTexture = "b";
    o.scrollU = 0.25f;
    o.scrollV = 0.5f;
    o.illuminationTexture = "glow.tga";
    const auto bytes = writeBsm({o});
    // count, base string (4 + 1), two scroll floats, then the flag bytes 0 and 1.
    ASSERT_GT(bytes.size(), 23u);
    EXPECT_EQ(bytes[17], 0);
    EXPECT_EQ(bytes[18], 1);
    EXPECT_EQ(bytes[19], 8);  // the illumination string's length comes next
    const BsmModel model = parse(bytes);
    const MeshMaterial& material = model.mesh.objects[0].material;
    EXPECT_FALSE(material.hasReflection);
    EXPECT_TRUE(material.hasIllumination);
    EXPECT_FLOAT_EQ(material.scrollU, 0.25f);
    EXPECT_FLOAT_EQ(material.scrollV, 0.5f);
    EXPECT_EQ(model.textureNames[0].illumination, "glow.tga");
    EXPECT_TRUE(model.textureNames[0].reflection.empty());
    EXPECT_EQ(model.mesh.objects[0].name, "lamp");
}

TEST(BsmReader, SizeIsTwiceTheExtentOfAllObjects) {
    BsmTestObject a = stripObject("Hull", "Scene Root", 2);
    a.positions = {{-1, 0, 0}, {0, 2, 0}, {0, 0, 0.5f}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    BsmTestObject b = stripObject("lid", "Hull", 2, {0, 0, 0}, {10, 10, 10});  // the pivot does not count
    b.positions.assign(6, {3, 0, 0});
    const BsmModel model = parse(writeBsm({a, b}));
    EXPECT_FLOAT_EQ(model.mesh.size.x, 8);
    EXPECT_FLOAT_EQ(model.mesh.size.y, 4);
    EXPECT_FLOAT_EQ(model.mesh.size.z, 1);
}

TEST(BsmReader, MarkersKeepFieldsAndShortNames) {
    BsmTestMarker candle;
    candle.position = {1, 2, 3};
    candle.name = "emit candle";
    candle.rotation = {0, 0, 0.6f, 0.8f};
    BsmTestMarker plain;
    plain.name = "emit";
    plain.parentName = "lid";
    plain.kind = 7;
    const BsmModel model = parse(writeBsm({stripObject("Hull", "Scene Root", 2)}, {candle, plain}));
    ASSERT_EQ(model.mesh.markers.size(), 2u);
    EXPECT_EQ(model.mesh.markers[0].shortName, "candle");
    EXPECT_FLOAT_EQ(model.mesh.markers[0].position.z, 3);
    EXPECT_FLOAT_EQ(model.mesh.markers[0].rotation.w, 0.8f);
    EXPECT_EQ(model.mesh.markers[0].kind, 2);
    EXPECT_EQ(model.mesh.markers[1].shortName, "emit");
    EXPECT_EQ(model.mesh.markers[1].parentName, "lid");
    EXPECT_EQ(model.mesh.markers[1].kind, 7);
}

// ---- damaged files ----

std::vector<uint8_t> validFile() {
    BsmTestObject hull = stripObject("Hull", "Scene Root", 6);
    hull.reflectionTexture = "env.tga";
    BsmTestObject lid = stripObject("lid", "Hull", 4, {0, 0, 1}, {0, 0, 1});
    lid.illuminationTexture = "glow.tga";
    BsmTestMarker marker;
    marker.parentName = "lid";
    return writeBsm({hull, lid}, {marker, marker});
}

TEST(BsmReader, EveryTruncationIsRejectedWithoutReadingPastTheEnd) {
    const auto bytes = validFile();
    ASSERT_TRUE(readBsm(bytes));
    for (size_t length = 0; length < bytes.size(); ++length) {
        // A copy of exactly `length` bytes, so a sanitizer build sees any read past the end.
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
        EXPECT_FALSE(readBsm(cut)) << "length " << length;
    }
    auto longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(readBsm(longer)) << "bytes after the last marker";
}

// Offsets of the hull's V, F, T and TF counts in validFile(): object count, base string, scroll,
// reflection flag and string, illumination flag, name, parent.
size_t hullCountsOffset() { return 4 + (4 + 8) + 8 + 1 + (4 + 7) + 1 + (4 + 4) + (4 + 10); }

void putInt32(std::vector<uint8_t>& bytes, size_t at, int32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
}

TEST(BsmReader, HugeAndNegativeCountsAreRejectedWithoutLargeAllocations) {
    const auto bytes = validFile();
    {
        auto check = bytes;
        ASSERT_EQ(check[hullCountsOffset()], 8);  // 8 positions for a 6-face strip
        ASSERT_EQ(check[hullCountsOffset() + 4], 6);
    }
    struct Case {
        size_t at;
        int32_t value;
    };
    const size_t counts = hullCountsOffset();
    const std::vector<Case> cases = {
        {0, std::numeric_limits<int32_t>::max()}, {0, -1}, {counts, std::numeric_limits<int32_t>::max()},
        {counts + 4, std::numeric_limits<int32_t>::max()}, {counts + 8, 0x10000000}, {counts + 12, 0x7fff0000},
        {counts, -5}, {counts + 4, -1}, {counts + 12, 5}  // fewer texture faces than faces
    };
    for (const Case& c : cases) {
        auto damaged = bytes;
        putInt32(damaged, c.at, c.value);
        gLargest = 0;
        gWatching = true;
        const bool accepted = readBsm(damaged).has_value();
        gWatching = false;
        EXPECT_FALSE(accepted) << "offset " << c.at << " value " << c.value;
        EXPECT_LT(gLargest.load(), 64u * 1024u) << "offset " << c.at << " value " << c.value;
    }
    // A huge marker count right before the end.
    auto damaged = bytes;
    const size_t markerBytes = 12 + (4 + 11) + (4 + 3) + 16 + 4;
    putInt32(damaged, damaged.size() - 2 * markerBytes - 4, 0x7ffffff0);
    gLargest = 0;
    gWatching = true;
    EXPECT_FALSE(readBsm(damaged));
    gWatching = false;
    EXPECT_LT(gLargest.load(), 64u * 1024u);
}

TEST(BsmReader, IndicesOutsideTheirArraysAreRejected) {
    auto fileWith = [](auto change) {
        BsmTestObject o = stripObject("Hull", "Scene Root", 2);
        change(o);
        return writeBsm({o});
    };
    EXPECT_TRUE(readBsm(fileWith([](BsmTestObject&) {})));
    EXPECT_FALSE(readBsm(fileWith([](BsmTestObject& o) { o.faces[1][2] = static_cast<float>(o.positions.size()); })));
    EXPECT_FALSE(readBsm(fileWith([](BsmTestObject& o) { o.faces[0][0] = -1.0f; })));
    EXPECT_FALSE(readBsm(fileWith([](BsmTestObject& o) { o.faces[0][1] = std::numeric_limits<float>::quiet_NaN(); })));
    EXPECT_FALSE(readBsm(fileWith([](BsmTestObject& o) { o.faces[0][1] = 1e30f; })));
    EXPECT_FALSE(readBsm(fileWith([](BsmTestObject& o) { o.texFaces[1][0] = static_cast<float>(o.texVertices.size()); })));
    // Slightly below zero truncates to 0, which is in range.
    EXPECT_TRUE(readBsm(fileWith([](BsmTestObject& o) { o.faces[0][0] = -0.5f; })));
}

TEST(BsmReader, OverlongStringFieldIsRejected) {
    BsmTestObject o = stripObject("Hull", "Scene Root", 2);
    o.baseTexture = std::string(3000, 'a');
    EXPECT_FALSE(readBsm(writeBsm({o})));
    o.baseTexture = std::string(2999, 'a');
    EXPECT_TRUE(readBsm(writeBsm({o})));
}

// ---- the library ----

struct FakeAssets {
    std::map<std::string, std::vector<uint8_t>> files;
    std::map<std::string, int> reads;
    std::vector<std::string> textureRequests;
    std::vector<std::string> reports;

    ModelSources sources() {
        return {[this](const std::string& path) -> std::optional<std::vector<uint8_t>> {
                    ++reads[path];
                    auto found = files.find(path);
                    if (found == files.end()) return std::nullopt;
                    return found->second;
                },
                [this](const std::string& path) {
                    textureRequests.push_back(path);
                    return static_cast<GLuint>(textureRequests.size());
                },
                [this](const std::string& text) { reports.push_back(text); }};
    }
};

TEST(SharedCorners, OnlyCornersEqualInPositionNormalAndUvShareAVertex) {
    const Corner a{{1, 2, 3}, {0, 0, 1}, 0.25f, 0.5f};
    Corner otherNormal = a, otherUv = a, otherPlace = a;
    otherNormal.normal = {0, 1, 0};
    otherUv.v = 0.75f;
    otherPlace.position.z = 3.0001f;
    const std::vector<Corner> corners = {a, otherNormal, a, otherUv, otherPlace, otherNormal, a};
    EXPECT_EQ(sharedVertexIndices(std::span<const Corner>(corners), 100), (std::vector<uint32_t>{100, 101, 100, 103, 104, 101, 100}));
    EXPECT_TRUE(sharedVertexIndices(std::span<const Corner>(), 7).empty());
}

TEST(ModelLibrary, ConsecutiveModelsTakeConsecutivePoolRanges) {
    FakeAssets assets;
    assets.files["Models/train.BSM"] = writeBsm({stripObject("Hull", "Scene Root", 70), stripObject("loco", "Hull", 12)});
    assets.files["Models/candle.BSM"] = writeBsm({stripObject("Hull", "Scene Root", 5)});
    VertexPool pool;
    ModelLibrary library(pool, assets.sources());
    const Mesh* train = library.findOrLoad("train");
    ASSERT_NE(train, nullptr);
    ASSERT_EQ(train->objects.size(), 2u);
    EXPECT_EQ(train->objects[0].poolStart, 0u);
    EXPECT_EQ(train->objects[0].poolEnd, 210u);
    EXPECT_EQ(train->objects[1].poolStart, 210u);
    EXPECT_EQ(train->objects[1].poolEnd, 246u);
    // The same triangles, each of the strip's 14 points one vertex however many faces meet there.
    const MeshObject& loco = train->objects[1];
    ASSERT_EQ(loco.indices.size(), 36u);
    EXPECT_EQ(loco.indices.front(), 210u);
    std::set<uint32_t> used;
    for (size_t k = 0; k < loco.indices.size(); ++k) {
        const uint32_t index = loco.indices[k];
        ASSERT_GE(index, loco.poolStart);
        ASSERT_LT(index, loco.poolEnd);
        EXPECT_EQ(pool[index].position[0], loco.corners[k].position.x) << k;
        EXPECT_EQ(pool[index].position[1], loco.corners[k].position.y) << k;
        EXPECT_EQ(pool[index].uv[0], loco.corners[k].u) << k;
        used.insert(index);
    }
    EXPECT_EQ(used.size(), 14u);

    const Mesh* candle = library.findOrLoad("candle");
    ASSERT_NE(candle, nullptr);
    EXPECT_EQ(candle->objects[0].poolStart, 246u);
    EXPECT_EQ(pool.size(), 261u);
    // Pool vertices carry the corner data, lightmap uv zero.
    const Corner& corner = train->objects[1].corners[4];
    EXPECT_FLOAT_EQ(pool[214].position[0], corner.position.x);
    EXPECT_FLOAT_EQ(pool[214].uv[1], corner.v);
    EXPECT_FLOAT_EQ(pool[214].normal[2], 1.0f);
    EXPECT_FLOAT_EQ(pool[214].lightmapUv[0], 0.0f);
}

TEST(ModelLibrary, LoadsOnceAndResolvesTexturesInObjectOrder) {
    FakeAssets assets;
    BsmTestObject hull = stripObject("Hull", "Scene Root", 2);
    hull.baseTexture = "D:\\art\\brass.tga";
    hull.reflectionTexture = "env.tga";
    BsmTestObject lid = stripObject("lid", "Hull", 2);
    lid.baseTexture = "wax.tga";
    lid.illuminationTexture = "glow.tga";
    assets.files["Models/candle.BSM"] = writeBsm({hull, lid});
    VertexPool pool;
    ModelLibrary library(pool, assets.sources());
    const Mesh* first = library.findOrLoad("candle");
    const Mesh* second = library.findOrLoad("candle");
    EXPECT_EQ(first, second);
    EXPECT_EQ(assets.reads["Models/candle.BSM"], 1);
    EXPECT_EQ(library.count(), 1);
    EXPECT_EQ(assets.textureRequests,
              (std::vector<std::string>{"Textures/brass.tga", "Textures/env.tga", "Textures/wax.tga", "Textures/glow.tga"}));
    EXPECT_EQ(first->objects[0].material.baseTexture, 1u);
    EXPECT_EQ(first->objects[0].material.reflectionTexture, 2u);
    EXPECT_EQ(first->objects[1].material.illuminationTexture, 4u);
    EXPECT_EQ(first->name, "candle");
    // The name is exact: another letter case is another model.
    EXPECT_NE(library.findOrLoad("Candle"), first);
    EXPECT_TRUE(assets.reports.empty());
}

TEST(ModelLibrary, MissingAndDamagedFilesGiveEmptyModelsThatKeepTheirSlot) {
    FakeAssets assets;
    auto damaged = writeBsm({stripObject("Hull", "Scene Root", 4)});
    damaged.pop_back();
    assets.files["Models/broken.BSM"] = damaged;
    VertexPool pool;
    ModelLibrary library(pool, assets.sources());

    const Mesh* missing = library.findOrLoad("nothing");
    ASSERT_NE(missing, nullptr);
    EXPECT_TRUE(missing->objects.empty());
    EXPECT_TRUE(assets.reports.empty());  // a missing file is not reported here

    const Mesh* broken = library.findOrLoad("broken");
    ASSERT_NE(broken, nullptr);
    EXPECT_TRUE(broken->objects.empty());
    EXPECT_TRUE(broken->markers.empty());
    EXPECT_EQ(pool.size(), 0u);
    EXPECT_TRUE(assets.textureRequests.empty());
    EXPECT_EQ(assets.reports, std::vector<std::string>{"Damaged model file Models/broken.BSM"});

    EXPECT_EQ(library.findOrLoad("broken"), broken);
    EXPECT_EQ(library.findOrLoad("nothing"), missing);
    EXPECT_EQ(assets.reads["Models/broken.BSM"], 1);
    EXPECT_EQ(library.count(), 2);
}

TEST(ModelLibrary, AFortyFirstModelIsRefused) {
    FakeAssets assets;
    VertexPool pool;
    ModelLibrary library(pool, assets.sources());
    for (int i = 0; i < ModelLibrary::kMaxModels; ++i) ASSERT_NE(library.findOrLoad("m" + std::to_string(i)), nullptr);
    EXPECT_EQ(library.findOrLoad("one-too-many"), nullptr);
    EXPECT_EQ(assets.reports, std::vector<std::string>{"Not found one-too-many"});
    EXPECT_EQ(assets.reads.count("Models/one-too-many.BSM"), 0u);
    EXPECT_EQ(library.count(), ModelLibrary::kMaxModels);
    // The forty already loaded are still found.
    EXPECT_NE(library.findOrLoad("m39"), nullptr);
    EXPECT_EQ(assets.reports.size(), 1u);
}

}  // namespace
}  // namespace hg
