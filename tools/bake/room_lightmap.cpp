#include "bake/room_lightmap.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "bake/error.h"
#include "bake/lightmap_cache.h"

namespace hg::bake::room {

namespace {

// An object's parts merged in material order (so each material's faces form one run), with the
// part and material of every face.
struct MergedObject {
    Shape shape;
    std::vector<int> faceMaterial, facePart;
};

MergedObject mergeParts(const ObjectDef& def) {
    std::vector<size_t> order(def.parts.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return def.parts[a].material < def.parts[b].material; });
    MergedObject out;
    for (size_t i : order) {
        const Part& part = def.parts[i];
        merge(out.shape, part.shape);
        out.faceMaterial.insert(out.faceMaterial.end(), part.shape.faces.size(), part.material);
        out.facePart.insert(out.facePart.end(), part.shape.faces.size(), static_cast<int>(i));
    }
    return out;
}

uint64_t hashOf(const RoomLightInput& input, const std::vector<const LitSurface*>& surfaces) {
    InputHash h;
    h.text("lit maps 1");
    for (const LitSurface* s : surfaces) {
        h.number(s->shape.positions.size());
        for (Float3 p : s->shape.positions) h.point(p);
        for (const auto& f : s->shape.faces) h.bytes(f.data(), sizeof f);
        for (const auto& n : s->shape.normals)
            for (Float3 c : n) h.point(c);
        h.number(static_cast<uint64_t>(s->layout.width) << 32 | static_cast<uint64_t>(s->layout.height));
        for (const auto& t : s->layout.texelCorners) h.bytes(t.data(), sizeof t);
        for (int c : s->layout.faceChart) h.number(static_cast<uint64_t>(c));
        for (Float3 a : s->faceAlbedo) h.point(a);
    }
    for (const Shape& o : input.occluders) {
        h.number(o.positions.size());
        for (Float3 p : o.positions) h.point(p);
        for (const auto& f : o.faces) h.bytes(f.data(), sizeof f);
    }
    for (const AreaLight& l : input.lights) {
        h.text(l.name);
        h.number(static_cast<uint64_t>(l.shape));
        for (Float3 p : {l.centre, l.size, l.spanU, l.spanV, l.direction, l.hue, l.facing.value_or(Float3{})}) h.point(p);
        h.floats(std::array<float, 2>{l.strength, l.falloff});
        h.number(static_cast<uint64_t>(l.samples) * 2 + (l.facing ? 1 : 0));
    }
    const LightmapSettings& s = input.settings;
    for (Float3 p : {s.ambient, s.sky}) h.point(p);
    h.floats(std::array<float, 3>{s.occlusionDistance, s.sampleScale, 0.0f});
    h.number(static_cast<uint64_t>(s.occlusionRays) << 32 | static_cast<uint64_t>(s.bounceRays));
    return h.value();
}

// An object's light spread from its charts into their padding and, past it, the mean of its
// rectangle.
std::vector<Float3> spreadIntoPadding(const std::vector<Float3>& light, const std::vector<TexelSample>& texels, int width, int height) {
    std::vector<Float3> values = light;
    std::vector<uint8_t> filled(texels.size());
    for (size_t i = 0; i < texels.size(); ++i) filled[i] = texels[i].coverage != 0;
    for (int pass = 0; pass <= kChartPadding; ++pass) {
        std::vector<uint8_t> next = filled;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const size_t at = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
                if (filled[at]) continue;
                Float3 sum{};
                int count = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
                        const size_t n = static_cast<size_t>(ny) * static_cast<size_t>(width) + static_cast<size_t>(nx);
                        if (filled[n]) sum = sum + values[n], ++count;
                    }
                if (count) values[at] = sum * (1.0f / static_cast<float>(count)), next[at] = 1;
            }
        filled = std::move(next);
    }
    Float3 mean{};
    int count = 0;
    for (size_t i = 0; i < values.size(); ++i)
        if (filled[i]) mean = mean + values[i], ++count;
    if (count) mean = mean * (1.0f / static_cast<float>(count));
    for (size_t i = 0; i < values.size(); ++i)
        if (!filled[i]) values[i] = mean;
    return values;
}

// Each lightmapped object's charts at the densities times `scale`.
std::vector<ChartLayout> layOut(const RoomLightInput& input, const std::vector<MergedObject>& merged, float scale) {
    std::vector<ChartLayout> layouts;
    for (size_t i = 0; i < input.objects.size(); ++i) {
        const ObjectDef& def = input.objects[i];
        if (def.lightmapSize <= 0) continue;
        ChartOptions charts;
        charts.density = [&](Float3 p) { return scale * input.density(def.name, p); };
        layouts.push_back(layOutCharts(merged[i].shape, merged[i].facePart, charts));
    }
    return layouts;
}

// Where each object's rectangle lies: the map and the corner.
struct Placement {
    int page = 0, x = 0, y = 0;
};

struct Pages {
    std::vector<Placement> placements;
    std::vector<int> sides;  // each map's side: full maps kLightmapPage, the last one as small as it may be
    size_t texels() const {
        size_t t = 0;
        for (int s : sides) t += static_cast<size_t>(s) * static_cast<size_t>(s);
        return t;
    }
};

// Packs the rectangles, tallest first, page after page: each goes where the skyline of the page
// (the height filled in each column) leaves it lowest. Nothing when one is larger than a page.
std::optional<Pages> packPages(const std::vector<ChartLayout>& layouts) {
    std::vector<size_t> order(layouts.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return layouts[a].height > layouts[b].height; });
    Pages pages;
    pages.placements.resize(layouts.size());
    std::vector<std::vector<int>> skylines;
    for (size_t i : order) {
        const ChartLayout& l = layouts[i];
        if (l.width > kLightmapPage || l.height > kLightmapPage) return std::nullopt;
        bool placed = false;
        for (size_t page = 0; page < skylines.size() + 1 && !placed; ++page) {
            if (page == skylines.size()) skylines.emplace_back(kLightmapPage, 0);
            std::vector<int>& sky = skylines[page];
            int bestX = -1, bestY = kLightmapPage;
            for (int x = 0; x + l.width <= kLightmapPage; ++x) {
                const int y = *std::max_element(sky.begin() + x, sky.begin() + x + l.width);
                if (y < bestY) bestX = x, bestY = y;
            }
            if (bestX < 0 || bestY + l.height > kLightmapPage) continue;
            std::fill(sky.begin() + bestX, sky.begin() + bestX + l.width, bestY + l.height);
            pages.placements[i] = {static_cast<int>(page), bestX, bestY};
            placed = true;
        }
    }
    // Every map but the last is full size; the last only as large as what it holds (a power of two).
    for (size_t page = 0; page < skylines.size(); ++page) {
        if (page + 1 < skylines.size()) {
            pages.sides.push_back(kLightmapPage);
            continue;
        }
        int used = *std::max_element(skylines[page].begin(), skylines[page].end());
        for (int x = 0; x < kLightmapPage; ++x)
            if (skylines[page][static_cast<size_t>(x)] > 0) used = std::max(used, x + 1);
        int side = 64;
        while (side < used) side *= 2;
        pages.sides.push_back(side);
    }
    return pages;
}

// The densest layout whose maps stay within the budget.
std::pair<std::vector<ChartLayout>, Pages> layOutWithinBudget(const RoomLightInput& input, const std::vector<MergedObject>& merged) {
    auto attempt = [&](float scale) -> std::optional<std::pair<std::vector<ChartLayout>, Pages>> {
        std::vector<ChartLayout> layouts = layOut(input, merged, scale);
        std::optional<Pages> pages = packPages(layouts);
        if (!pages || pages->texels() > input.texelBudget) return std::nullopt;
        return std::make_pair(std::move(layouts), std::move(*pages));
    };
    if (auto full = attempt(1.0f)) return std::move(*full);
    std::optional<std::pair<std::vector<ChartLayout>, Pages>> best;
    float low = 0.0f, high = 1.0f;
    for (int step = 0; step < 12; ++step) {
        const float mid = 0.5f * (low + high);
        if (auto fits = attempt(mid)) {
            low = mid;
            best = std::move(fits);
        } else {
            high = mid;
        }
    }
    if (!best) throw BakeError("the room's lightmaps do not fit their budget");
    return std::move(*best);
}

std::string pageName(int page) { return "lm_atlas" + std::to_string(page + 1) + ".tga"; }

}  // namespace

BakedObjects bakeObjects(const RoomLightInput& input) {
    BakedObjects out;
    std::vector<MergedObject> merged;
    for (const ObjectDef& def : input.objects) {
        merged.push_back(mergeParts(def));
        out.objects.push_back(objectFromShape(def.name, merged.back().shape, merged.back().faceMaterial, def.materials));
        out.objects.back().parentName = def.parentName;
    }
    auto [layouts, pages] = layOutWithinBudget(input, merged);
    std::vector<LitSurface> surfaces;
    std::vector<size_t> surfaceOf;  // the object each surface belongs to
    for (size_t i = 0; i < input.objects.size(); ++i) {
        const ObjectDef& def = input.objects[i];
        if (def.lightmapSize <= 0) continue;
        LitSurface surface;
        surface.layout = std::move(layouts[surfaces.size()]);
        for (int m : merged[i].faceMaterial) surface.faceAlbedo.push_back(input.albedo(def.materials[static_cast<size_t>(m)].baseTexture));
        surface.shape = std::move(merged[i].shape);
        surfaces.push_back(std::move(surface));
        surfaceOf.push_back(i);
    }

    std::vector<const LitSurface*> lit;
    std::vector<size_t> sizes;
    for (const LitSurface& s : surfaces) {
        lit.push_back(&s);
        sizes.push_back(static_cast<size_t>(s.layout.width) * static_cast<size_t>(s.layout.height));
    }
    const uint64_t key = hashOf(input, lit);
    std::optional<std::vector<std::vector<Float3>>> light;
    if (!input.cacheFolder.empty()) light = LightmapCache(input.cacheFolder).find(key, sizes);
    if (!light) {
        Lightmapper mapper(input.lights, input.settings);
        for (const LitSurface& s : surfaces) mapper.addSurface(s);
        for (const Shape& o : input.occluders) mapper.addOccluder(o);
        light = mapper.bake();
        if (!input.cacheFolder.empty()) LightmapCache(input.cacheFolder).store(key, *light);
    }

    // Texel (x, y) of a map is row y of its picture, and the program shows it at
    // u = (x + 0.5) / side, v = 1 - (y + 0.5) / side: the picture's top row at v = 1.
    std::vector<Canvas> maps;
    for (int side : pages.sides) {
        maps.emplace_back(side, side);
        for (Pixel& p : maps.back().pixels()) p = {0, 0, 0, 1};
    }
    for (size_t s = 0; s < surfaces.size(); ++s) {
        const LitSurface& surface = surfaces[s];
        const Placement place = pages.placements[s];
        const int side = pages.sides[static_cast<size_t>(place.page)];
        const float scale = 1.0f / static_cast<float>(side);
        SceneObject& object = out.objects[surfaceOf[s]];
        object.lightmapFaces.resize(surface.shape.faces.size());
        for (size_t f = 0; f < surface.shape.faces.size(); ++f)
            for (size_t k = 0; k < 3; ++k) {
                const Float2 t = surface.layout.texelCorners[f][k];
                object.lightmapFaces[f][k] = static_cast<uint32_t>(object.lightmapVertices.size());
                object.lightmapVertices.push_back({(static_cast<float>(place.x) + t.u) * scale, 1.0f - (static_cast<float>(place.y) + t.v) * scale});
            }
        object.lightmapTexture = pageName(place.page);
        const int width = surface.layout.width, height = surface.layout.height;
        const std::vector<Float3> values = spreadIntoPadding((*light)[s], sampleTexels(surface.shape, surface.layout), width, height);
        Canvas& map = maps[static_cast<size_t>(place.page)];
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Float3 v = values[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
                map.at(place.x + x, place.y + y) = {toneMap(v.x), toneMap(v.y), toneMap(v.z), 1.0f};
            }
    }
    for (size_t p = 0; p < maps.size(); ++p) out.lightmaps.emplace_back(pageName(static_cast<int>(p)), std::move(maps[p]));
    return out;
}

}  // namespace hg::bake::room
