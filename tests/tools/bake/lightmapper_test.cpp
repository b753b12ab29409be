// The lightmapper: shadows where the geometry puts them, light that only bounces where no source
// is seen, charts that never overlap and keep their padding, the same maps from any number of
// threads and from the cache, and the room's shared maps with one owner per texel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "bake/lightmap_cache.h"
#include "bake/lightmapper.h"
#include "bake/room_layout.h"
#include "bake/room_lightmap.h"
#include "bake/room_recipe.h"
#include "test_support.h"

namespace hg::bake::room {
namespace {

AreaLight pointLight(Float3 at, float strength = 1.0f) {
    AreaLight l;
    l.name = "bulb";
    l.shape = LightShape::Sphere;
    l.centre = at;
    l.size = {0.5f, 0.5f, 0.5f};
    l.strength = strength;
    l.falloff = 1000.0f;
    l.samples = 4;
    return l;
}

LightmapSettings quiet() {
    LightmapSettings s;
    s.ambient = {0, 0, 0};
    s.sky = {0, 0, 0};
    s.occlusionRays = 8;
    s.bounceRays = 16;
    return s;
}

LitSurface surfaceOf(Shape shape, float albedo, float density = 0.5f) {
    LitSurface s;
    ChartOptions options;
    options.density = [density](Float3) { return density; };
    s.layout = layOutCharts(shape, std::vector<int>(shape.faces.size(), 0), options);
    s.faceAlbedo.assign(shape.faces.size(), Float3{albedo, albedo, albedo});
    s.shape = std::move(shape);
    return s;
}

// The light of the inside texel nearest to `p`.
float lightNear(const LitSurface& surface, const std::vector<Float3>& light, Float3 p) {
    const std::vector<TexelSample> texels = sampleTexels(surface.shape, surface.layout);
    size_t best = 0;
    float nearest = 1e30f;
    for (size_t i = 0; i < texels.size(); ++i) {
        if (texels[i].coverage != 2) continue;
        const float d = length(texels[i].position - p);
        if (d < nearest) nearest = d, best = i;
    }
    EXPECT_LT(nearest, 3.0f) << "no texel near the point";
    return light[best].x;
}

// A 200 × 200 floor and, 50 units over it, a 100 × 100 slab with a 20 × 20 hole in its middle.
struct ShadowScene {
    LitSurface floor = surfaceOf(rect({0, 0, 0}, {200, 0, 0}, {0, 200, 0}, 0.01f), 0.0f);
    Shape slab = [] {
        Shape s;
        merge(s, block({50, 50, 50}, {90, 150, 55}, 0.01f));
        merge(s, block({110, 50, 50}, {150, 150, 55}, 0.01f));
        merge(s, block({90, 50, 50}, {110, 90, 55}, 0.01f));
        merge(s, block({90, 110, 50}, {110, 150, 55}, 0.01f));
        return s;
    }();
};

TEST(Lightmapper, ABoxWithAHoleCastsItsShadowWhereTheGeometrySays) {
    ShadowScene scene;
    Lightmapper mapper({pointLight({100, 100, 150})}, quiet());
    mapper.addSurface(scene.floor);
    mapper.addOccluder(scene.slab);
    const auto maps = mapper.bake();
    ASSERT_EQ(maps.size(), 1u);
    // From a light 100 units over the slab, its edges fall 1.5 times as far out on the floor: the
    // shadow covers 25..175 but for the hole's patch, 85..115.
    const float hole = lightNear(scene.floor, maps[0], {100, 100, 0});
    const float open = lightNear(scene.floor, maps[0], {10, 100, 0});
    const float shadow = lightNear(scene.floor, maps[0], {60, 60, 0});
    const float shadowNearHole = lightNear(scene.floor, maps[0], {75, 100, 0});
    EXPECT_GT(open, 0.01f);
    EXPECT_GT(hole, open);  // nearer the light, and seen through the hole
    EXPECT_LT(shadow, 0.1f * open);
    EXPECT_LT(shadowNearHole, 0.1f * open);
}

TEST(Lightmapper, ATexelFacingAwayFromEveryLightGetsOnlyIndirectLight) {
    // A panel over the floor, facing down, above and to the side of it the only light.
    const Shape panel = rect({150, 0, 60}, {0, 40, 0}, {40, 0, 0}, 0.01f);  // normal -z
    auto bakeWithFloor = [&](float floorAlbedo) {
        Lightmapper mapper({pointLight({40, 20, 100})}, quiet());
        mapper.addSurface(surfaceOf(rect({-100, -100, 0}, {300, 0, 0}, {0, 300, 0}, 0.01f), floorAlbedo, 0.2f));
        const LitSurface p = surfaceOf(panel, 0.5f, 1.0f);
        mapper.addSurface(p);
        const auto maps = mapper.bake();
        return lightNear(p, maps[1], {170, 20, 60});
    };
    EXPECT_EQ(bakeWithFloor(0.0f), 0.0f);  // nothing direct, and a black floor sends nothing on
    EXPECT_GT(bakeWithFloor(0.8f), 0.002f);
}

TEST(Lightmapper, TheSameMapsFromAnyNumberOfThreads) {
    ShadowScene scene;
    std::vector<std::vector<Float3>> maps[2];
    for (int run = 0; run < 2; ++run) {
        LightmapSettings settings = quiet();
        settings.ambient = {0.1f, 0.1f, 0.1f};
        settings.threads = run == 0 ? 1 : 3;
        Lightmapper mapper({pointLight({100, 100, 150}), pointLight({20, 180, 80})}, settings);
        LitSurface floor = scene.floor;
        floor.faceAlbedo.assign(floor.faceAlbedo.size(), Float3{0.6f, 0.5f, 0.4f});
        mapper.addSurface(floor);
        mapper.addSurface(surfaceOf(scene.slab, 0.7f));
        maps[run] = mapper.bake();
    }
    ASSERT_EQ(maps[0].size(), maps[1].size());
    for (size_t s = 0; s < maps[0].size(); ++s) {
        ASSERT_EQ(maps[0][s].size(), maps[1][s].size());
        EXPECT_EQ(std::memcmp(maps[0][s].data(), maps[1][s].data(), maps[0][s].size() * sizeof(Float3)), 0) << "surface " << s;
    }
}

TEST(Lightmapper, ChartsNeverOverlapAndKeepTheirPadding) {
    Shape shape;
    std::vector<int> parts;
    auto add = [&](Shape part) {
        parts.insert(parts.end(), part.faces.size(), static_cast<int>(parts.empty() ? 0 : parts.back() + 1));
        merge(shape, part);
    };
    add(block({0, 0, 0}, {300, 40, 30}, 0.01f));
    add(block({20, 10, 30}, {60, 30, 90}, 0.01f, 3.0f));
    add(placed(cylinder(10.0f, 10.0f, 50.0f, 12), {150, 20, 30}));
    ChartOptions options;
    options.density = [](Float3 p) { return p.x < 100 ? 2.0f : 0.5f; };
    const ChartLayout layout = layOutCharts(shape, parts, options);
    ASSERT_GT(layout.charts.size(), 10u);
    for (size_t a = 0; a < layout.charts.size(); ++a) {
        const ChartRect& r = layout.charts[a];
        EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= layout.width && r.y + r.h <= layout.height) << a;
        for (size_t b = a + 1; b < layout.charts.size(); ++b) {
            const ChartRect& o = layout.charts[b];
            EXPECT_TRUE(r.x + r.w <= o.x || o.x + o.w <= r.x || r.y + r.h <= o.y || o.y + o.h <= r.y) << a << " and " << b;
        }
    }
    for (size_t f = 0; f < shape.faces.size(); ++f) {
        const ChartRect& r = layout.charts[static_cast<size_t>(layout.faceChart[f])];
        for (const Float2& t : layout.texelCorners[f]) {
            EXPECT_GE(t.u, static_cast<float>(r.x + kChartPadding) - 1e-3f);
            EXPECT_GE(t.v, static_cast<float>(r.y + kChartPadding) - 1e-3f);
            EXPECT_LE(t.u, static_cast<float>(r.x + r.w - kChartPadding) + 1e-3f);
            EXPECT_LE(t.v, static_cast<float>(r.y + r.h - kChartPadding) + 1e-3f);
        }
    }
    // Denser where asked: a unit of the near end takes more texels than one of the far end.
    float area[2] = {0, 0}, texels[2] = {0, 0};
    for (size_t f = 0; f < shape.faces.size(); ++f) {
        const auto& t = layout.texelCorners[f];
        const Float3 c = (shape.positions[shape.faces[f][0]] + shape.positions[shape.faces[f][1]] + shape.positions[shape.faces[f][2]]) * (1.0f / 3);
        if (c.x > 90 && c.x < 110) continue;
        const size_t side = c.x < 90 ? 0 : 1;
        area[side] += shape.faceArea(f);
        texels[side] += 0.5f * std::fabs((t[1].u - t[0].u) * (t[2].v - t[0].v) - (t[2].u - t[0].u) * (t[1].v - t[0].v));
    }
    EXPECT_GT(texels[0] / area[0], 2.0f * texels[1] / area[1]);
}

// What the program shows at a corner's lightmap UV: the picture's top row lies at v = 1.
float shownAt(const Canvas& map, Float2 uv) {
    const int side = map.width();
    const int x = std::clamp(static_cast<int>(uv.u * static_cast<float>(side)), 0, side - 1);
    const int y = std::clamp(static_cast<int>((1.0f - uv.v) * static_cast<float>(side)), 0, side - 1);
    return map.at(x, y).r;
}

TEST(RoomLightmaps, TheMapShowsEachPointItsOwnLight) {
    // The shadow scene as the room bakes it: the floor lit through the slab's hole, the texels
    // read back where the program looks for them (a map turned over or shifted puts the hole's
    // light elsewhere).
    ShadowScene scene;
    RoomLightInput input;
    ObjectDef floor{"floor", {material("a.tga")}, {}, 64};
    Shape grid;
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j) merge(grid, rect({20.0f * static_cast<float>(i), 20.0f * static_cast<float>(j), 0}, {20, 0, 0}, {0, 20, 0}, 0.01f));
    floor.parts.push_back({grid, 0});
    input.objects.push_back(floor);
    input.occluders.push_back(scene.slab);
    input.lights = {pointLight({100, 100, 150})};
    input.settings = quiet();
    input.albedo = [](const std::string&) { return Float3{0, 0, 0}; };
    input.density = [](const std::string&, Float3) { return 0.5f; };
    const BakedObjects baked = bakeObjects(input);
    ASSERT_EQ(baked.lightmaps.size(), 1u);
    const Canvas& map = baked.lightmaps[0].second;
    const SceneObject& o = baked.objects[0];
    ASSERT_EQ(o.lightmapTexture, baked.lightmaps[0].first);
    int lit = 0, dark = 0;
    for (size_t f = 0; f < o.faces.size(); ++f) {
        Float3 c{};
        Float2 uv{};
        for (size_t k = 0; k < 3; ++k) {
            c = c + o.positions[o.faces[f][k]] * (1.0f / 3);
            const Float2 t = o.lightmapVertices[o.lightmapFaces[f][k]];
            uv = {uv.u + t.u / 3, uv.v + t.v / 3};
        }
        const bool inHole = std::fabs(c.x - 100) < 12 && std::fabs(c.y - 100) < 12;
        const bool inShadow = c.x > 35 && c.x < 165 && c.y > 35 && c.y < 165 && !(std::fabs(c.x - 100) < 22 && std::fabs(c.y - 100) < 22);
        const bool open = c.x < 20 || c.x > 180 || c.y < 20 || c.y > 180;
        if (inHole) {
            EXPECT_GT(shownAt(map, uv), 0.1f) << c.x << "," << c.y;
            ++lit;
        } else if (inShadow) {
            EXPECT_LT(shownAt(map, uv), 0.02f) << c.x << "," << c.y;
            ++dark;
        } else if (open) {
            EXPECT_GT(shownAt(map, uv), 0.02f) << c.x << "," << c.y;
        }
    }
    EXPECT_GT(lit, 0);
    EXPECT_GT(dark, 20);
}

TEST(LightmapCache, GivesBackWhatItStoredAndNothingForAnotherKeyOrADamagedFile) {
    test::ScratchDir folder;
    const LightmapCache cache(folder.path());
    const std::vector<std::vector<Float3>> maps{{{1, 2, 3}, {4, 5, 6}}, {{7, 8, 9}}};
    EXPECT_FALSE(cache.find(42, {2, 1}).has_value());
    cache.store(42, maps);
    const auto back = cache.find(42, {2, 1});
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ((*back)[0][1].y, 5.0f);
    EXPECT_EQ((*back)[1][0].z, 9.0f);
    EXPECT_FALSE(cache.find(43, {2, 1}).has_value());
    EXPECT_FALSE(cache.find(42, {3, 1}).has_value());
    // A newer key replaces the older file; a cut-short file is ignored.
    cache.store(7, maps);
    EXPECT_FALSE(cache.find(42, {2, 1}).has_value());
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(folder.path())) files.push_back(e.path());
    ASSERT_EQ(files.size(), 1u);
    std::filesystem::resize_file(files[0], std::filesystem::file_size(files[0]) - 4);
    EXPECT_FALSE(cache.find(7, {2, 1}).has_value());
}

TEST(RoomLightmaps, AnUnchangedRoomIsReadFromTheCache) {
    test::ScratchDir folder;
    RoomLightInput input;
    ObjectDef floor{"floor", {material("a.tga")}, {}, 64};
    floor.parts.push_back({rect({0, 0, 0}, {100, 0, 0}, {0, 100, 0}, 0.01f), 0});
    input.objects.push_back(floor);
    input.lights = {pointLight({50, 50, 80})};
    input.settings = quiet();
    input.albedo = [](const std::string&) { return Float3{0.5f, 0.5f, 0.5f}; };
    input.density = [](const std::string&, Float3) { return 0.3f; };
    input.cacheFolder = folder.path();
    const BakedObjects first = bakeObjects(input);
    // Lit maps that only the cache could hold: every texel 0.25.
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(folder.path())) files.push_back(e.path());
    ASSERT_EQ(files.size(), 1u);
    {
        std::fstream f(files[0], std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(8 + 8 + 8 + 8);
        const std::vector<float> quarter(static_cast<size_t>(std::filesystem::file_size(files[0]) - 32) / sizeof(float), 0.25f);
        f.write(reinterpret_cast<const char*>(quarter.data()), static_cast<std::streamsize>(quarter.size() * sizeof(float)));
    }
    // What the map shows at each corner of the floor.
    auto shown = [](const BakedObjects& baked) {
        std::vector<float> values;
        for (const Float2& uv : baked.objects[0].lightmapVertices) values.push_back(shownAt(baked.lightmaps[0].second, uv));
        return values;
    };
    const BakedObjects second = bakeObjects(input);
    ASSERT_EQ(second.lightmaps.size(), 1u);
    EXPECT_EQ(first.objects[0].lightmapVertices, second.objects[0].lightmapVertices);
    for (float v : shown(second)) EXPECT_NEAR(v, 0.25f, 1e-6f);
    EXPECT_NE(shown(first), shown(second));
    // A changed light is a changed room: lit again.
    input.lights[0].strength = 2.0f;
    const BakedObjects third = bakeObjects(input);
    for (float v : shown(third)) EXPECT_GT(v, 0.3f);
}

TEST(RoomLightmaps, EveryTexelOfTheSharedMapsBelongsToOneFaceAtMost) {
    RoomBuildOptions draft;
    draft.lightSamples = 0.1f;
    const RoomBuild room = buildRoom(draft);
    std::map<std::string, std::vector<uint8_t>> owners;
    std::map<std::string, int> sides;
    for (const auto& [name, map] : room.lightmaps) {
        owners[name].assign(static_cast<size_t>(map.width() * map.height()), 0);
        sides[name] = map.width();
    }
    int lit = 0;
    for (const SceneObject& o : room.scene.objects) {
        if (!o.lightmapTexture) continue;
        ++lit;
        ASSERT_TRUE(sides.count(*o.lightmapTexture)) << o.name;
        const int side = sides[*o.lightmapTexture];
        std::vector<uint8_t>& owner = owners[*o.lightmapTexture];
        for (const auto& face : o.lightmapFaces) {
            Float2 t[3];
            for (size_t k = 0; k < 3; ++k) {
                t[k] = o.lightmapVertices[face[k]];
                t[k] = {t[k].u * static_cast<float>(side), (1.0f - t[k].v) * static_cast<float>(side)};
            }
            const int x0 = std::max(0, static_cast<int>(std::min({t[0].u, t[1].u, t[2].u}))), x1 = std::min(side - 1, static_cast<int>(std::max({t[0].u, t[1].u, t[2].u})));
            const int y0 = std::max(0, static_cast<int>(std::min({t[0].v, t[1].v, t[2].v}))), y1 = std::min(side - 1, static_cast<int>(std::max({t[0].v, t[1].v, t[2].v})));
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) {
                    const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
                    auto edge = [&](Float2 a, Float2 b) { return (b.u - a.u) * (py - a.v) - (b.v - a.v) * (px - a.u); };
                    const float e0 = edge(t[0], t[1]), e1 = edge(t[1], t[2]), e2 = edge(t[2], t[0]);
                    if ((e0 > 1e-4f && e1 > 1e-4f && e2 > 1e-4f) || (e0 < -1e-4f && e1 < -1e-4f && e2 < -1e-4f)) {
                        uint8_t& n = owner[static_cast<size_t>(y * side + x)];
                        EXPECT_EQ(n, 0) << o.name << " overlaps at " << x << "," << y << " of " << *o.lightmapTexture;
                        if (n++) return;
                    }
                }
        }
    }
    EXPECT_GT(lit, 20);
}

}  // namespace
}  // namespace hg::bake::room
