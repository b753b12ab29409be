// The room family: the scene file, the room's textures and lightmaps, and the decorations the
// room places besides the earlier models.
#include "bake/room_recipe.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "bake/bakery.h"
#include "bake/families.h"
#include "bake/model_parts.h"
#include "bake/models.h"
#include "bake/room_lights.h"
#include "bake/room_models.h"

namespace hg::bake {

namespace room {

namespace {

// The mean colour of a texture: how much of the light falling on it a surface sends on.
Float3 albedoOf(const std::string& texture) {
    static const std::map<std::string, Float3> means = [] {
        std::map<std::string, Float3> out;
        auto add = [&](const std::string& name, const Canvas& c) {
            Float3 sum{};
            for (const Pixel& p : c.pixels()) sum = sum + Float3{p.r, p.g, p.b};
            out[name] = sum * (1.0f / static_cast<float>(std::max<size_t>(c.pixels().size(), 1)));
        };
        for (const auto& [name, canvas] : modelTextures()) add(name, canvas);
        for (const DecorTexture& t : decorationTextures()) add(t.name, t.canvas);
        for (const NamedCanvas& t : roomTextures()) add(t.name, t.canvas);
        return out;
    }();
    const auto it = means.find(texture);
    return it != means.end() ? it->second : Float3{0.5f, 0.5f, 0.5f};
}

// Whether a texture cuts its shape out with alpha (leaves, needles, lace): such a shape lets
// most light through, so it blocks none.
bool cutOut(const std::string& texture) {
    static std::map<std::string, bool> known;
    if (const auto it = known.find(texture); it != known.end()) return it->second;
    const auto& textures = modelTextures();
    bool cut = false;
    if (const auto it = textures.find(texture); it != textures.end()) {
        size_t clear = 0;
        for (const Pixel& p : it->second.pixels()) clear += p.a < 0.5f;
        cut = clear * 20 > it->second.pixels().size();
    }
    return known[texture] = cut;
}

std::string modelOfMarker(const std::string& marker) {
    const std::string rest = marker.substr(std::string("instance ").size());
    return rest.substr(0, rest.find(' '));
}

}  // namespace

std::vector<Shape> placedModelShapes(const std::vector<SceneMarker>& markers) {
    std::map<std::string, const Model*> models;
    static const std::vector<NamedModel> all = [] {
        std::vector<NamedModel> out = allModels();
        for (NamedModel& m : decorationModels()) out.push_back(std::move(m));
        return out;
    }();
    for (const NamedModel& m : all) models[m.name] = &m.model;
    std::vector<Shape> shapes;
    for (const SceneMarker& marker : markers) {
        if (marker.kind != kInstanceMarker || marker.positions.empty() || marker.rotations.empty()) continue;
        const auto it = models.find(modelOfMarker(marker.name));
        // The tree holds its own lights: its branches and baubles would only shadow them.
        if (it == models.end() || it->first == "firtree") continue;
        // Placed models are drawn turned by the conjugate of their marker's rotation.
        const Rotation turn = conjugate(marker.rotations[0]);
        for (const ModelObject& o : it->second->objects) {
            // Only the still body: what the program turns or moves (the train's cars, the clock's
            // hands) has no one place to cast its shadow from.
            if (o.parentName != kRootParent || o.name == "CollMesh") continue;
            const Material& m = o.material;
            if (m.baseTexture.starts_with("add") || m.illuminationTexture || cutOut(m.baseTexture)) continue;
            Shape s = o.shape;
            for (Float3& p : s.positions) p = marker.positions[0] + rotate(turn, p);
            shapes.push_back(std::move(s));
        }
    }
    return shapes;
}

float lightmapDensity(const std::string& object, Float3 point) {
    // Texels per unit by what the object is: the fireplace and its stones closest, the broad
    // walls, floor and ceiling coarser.
    static const std::map<std::string, float> base = {
        {"fireplace", 1.0f}, {"firebox", 0.8f},   {"hearth", 1.0f},     {"mantel", 1.0f},      {"grate", 0.6f},
        {"room", 0.65f},     {"floor", 0.6f},     {"ceiling", 0.2f},    {"beams", 0.3f},       {"wainscot", 0.6f},
        {"rug", 0.5f},       {"curtains", 0.3f},  {"books", 0.12f},     {"mouldings", 0.35f},  {"cornice", 0.35f},
        {"windows", 0.4f},   {"door", 0.4f},      {"doorframe", 0.4f},  {"pictures", 0.45f},   {"bookcase", 0.4f},
        {"dresser", 0.4f},   {"wreath", 0.4f},    {"couch", 0.5f},      {"armchair01", 0.5f},  {"armchair02", 0.5f}};
    const auto it = base.find(object);
    const float d = it != base.end() ? it->second : 0.5f;
    // Denser where the cameras linger: round the fire, the mantel and the tree.
    const Float3 spots[] = {{kFireX, kSurroundFront - 20.0f, 60.0f}, {kFireX, kMantelFront, kMantelTop + 20.0f}, kTreePosition + Float3{0, 0, 80}};
    float nearest = 1e9f;
    for (Float3 s : spots) nearest = std::min(nearest, length(point - s));
    return d * (1.0f + std::exp(-(nearest / 160.0f) * (nearest / 160.0f)));
}

RoomBuild buildRoom(const RoomBuildOptions& options) {
    std::vector<ObjectDef> defs;
    for (auto* theme : {&shellObjects, &fireplaceObjects, &windowObjects, &furnitureObjects})
        for (ObjectDef& d : theme()) defs.push_back(std::move(d));
    // A coarse hull of the room for visibility work; the program never draws it.
    ObjectDef vis{"vismesh", {material("None")}, {}, 0};
    vis.parts.push_back({block({1, 1, 1}, {kWidth - 1, kDepth - 1, kHeight - 1}, 0.01f), 0});
    defs.push_back(std::move(vis));

    RoomBuild out;
    out.scene.cameras = roomCameras();
    out.scene.markers = roomMarkers();
    RoomLightInput light;
    light.objects = std::move(defs);
    light.occluders = placedModelShapes(out.scene.markers);
    light.lights = roomLights();
    light.settings.sampleScale = options.lightSamples;
    light.albedo = albedoOf;
    light.density = lightmapDensity;
    light.cacheFolder = options.lightCache;
    BakedObjects baked = bakeObjects(light);
    out.scene.objects = std::move(baked.objects);
    out.lightmaps = std::move(baked.lightmaps);
    // The fire's light on the placed models is the same fire the lightmaps were lit by.
    out.scene.lights = runTimeLights(light.lights, lightNames(out.scene.markers));
    return out;
}

}  // namespace room

void bakeRoom(Bakery& bakery) {
    for (const room::NamedCanvas& t : room::roomTextures()) bakery.writeTga(Tree::Main, "Textures/" + t.name, t.canvas, t.alpha);
    for (const DecorTexture& t : decorationTextures()) bakery.writeTga(Tree::Main, "Textures/" + t.name, t.canvas, false);
    for (const NamedModel& m : decorationModels()) bakery.write(Tree::Main, "Models/" + m.name + ".BSM", encodeBsm(m.model));
    room::RoomBuildOptions options;
    options.lightCache = bakery.lightCache();
    const room::RoomBuild built = room::buildRoom(options);
    for (const auto& [name, map] : built.lightmaps) bakery.writeTga(Tree::Main, "Textures/" + name, map, false);
    bakery.write(Tree::Main, "Models/test.BSS", encodeBss(built.scene));
}

}  // namespace hg::bake
