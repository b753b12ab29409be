// The room family: the scene file, the room's textures and lightmaps, and the decorations the
// room places besides the earlier models.
#include "bake/room_recipe.h"

#include "bake/bakery.h"
#include "bake/families.h"
#include "bake/room_models.h"

namespace hg::bake {

namespace room {

Lighting roomLighting() {
    Lighting l;
    l.ambient = {0.17f, 0.15f, 0.15f};
    // The fire: a broad warm source at the opening shining into the room, and a hot one inside
    // the firebox that lights only the firebox and the grate.
    l.sources.push_back({{kFireX, kSurroundFront - 4.0f, 42.0f}, {2.3f, 1.15f, 0.45f}, 190.0f, Float3{0, -1, 0}, std::nullopt});
    l.sources.push_back({{kFireX, 526.0f, 24.0f}, {2.2f, 1.0f, 0.35f}, 38.0f, std::nullopt,
                         std::array<Float3, 2>{Float3{kFireX - 60.0f, kSurroundFront - 30.0f, -1.0f}, Float3{kFireX + 60.0f, kDepth + 1.0f, 92.0f}}});
    // The tree: a warm glow with a little coloured spill from its lights.
    const Float3 tree = kTreePosition;
    l.sources.push_back({tree + Float3{0, 0, 100}, {0.85f, 0.62f, 0.35f}, 140.0f, std::nullopt, std::nullopt});
    l.sources.push_back({tree + Float3{-45, -30, 60}, {0.4f, 0.08f, 0.06f}, 70.0f, std::nullopt, std::nullopt});
    l.sources.push_back({tree + Float3{20, -50, 120}, {0.08f, 0.3f, 0.1f}, 70.0f, std::nullopt, std::nullopt});
    l.sources.push_back({tree + Float3{-50, 10, 90}, {0.1f, 0.14f, 0.4f}, 70.0f, std::nullopt, std::nullopt});
    // The lamps on the side tables.
    for (const Float3& t : kSideTables) l.sources.push_back({t + Float3{0, 0, kSideTableTop + 38.0f}, {0.75f, 0.58f, 0.34f}, 85.0f, std::nullopt, std::nullopt});
    // Moonlight and snow glow through the windows.
    for (const WindowOpening& w : kWindows)
        l.sources.push_back({{kWidth + 2.0f, 0.5f * (w.y0 + w.y1), 170.0f}, {0.42f, 0.52f, 0.85f}, 180.0f, Float3{-1, 0, 0}, std::nullopt});
    l.footprints = furnitureFootprints();
    return l;
}

RoomBuild buildRoom() {
    std::vector<ObjectDef> defs;
    for (auto* theme : {&shellObjects, &fireplaceObjects, &windowObjects, &furnitureObjects})
        for (ObjectDef& d : theme()) defs.push_back(std::move(d));
    // A coarse hull of the room for visibility work; the program never draws it.
    ObjectDef vis{"vismesh", {material("None")}, {}, 0};
    vis.parts.push_back({block({1, 1, 1}, {kWidth - 1, kDepth - 1, kHeight - 1}, 0.01f), 0});
    defs.push_back(std::move(vis));

    const Lighting lighting = roomLighting();
    RoomBuild out;
    for (const ObjectDef& def : defs) {
        const std::string lightmapName = "lm_" + def.name + ".tga";
        BakedObject baked = bakeObject(def, lighting, lightmapName);
        if (baked.lightmap) out.lightmaps.emplace_back(lightmapName, std::move(*baked.lightmap));
        out.scene.objects.push_back(std::move(baked.object));
    }
    out.scene.cameras = roomCameras();
    out.scene.markers = roomMarkers();
    SceneLightDef fire;
    fire.position = {kFireX, kSurroundFront - 5.0f, 45.0f};
    fire.colour = {1.0f, 0.66f, 0.38f};
    fire.reach = 10.0f;
    fire.intensity = 0.72f;
    fire.range = 100.0f;
    fire.names = lightNames(out.scene.markers);
    out.scene.lights.push_back(std::move(fire));
    return out;
}

}  // namespace room

void bakeRoom(Bakery& bakery) {
    for (const room::NamedCanvas& t : room::roomTextures()) bakery.writeTga(Tree::Main, "Textures/" + t.name, t.canvas, t.alpha);
    for (const DecorTexture& t : decorationTextures()) bakery.writeTga(Tree::Main, "Textures/" + t.name, t.canvas, false);
    for (const NamedModel& m : decorationModels()) bakery.write(Tree::Main, "Models/" + m.name + ".BSM", encodeBsm(m.model));
    const room::RoomBuild built = room::buildRoom();
    for (const auto& [name, map] : built.lightmaps) bakery.writeTga(Tree::Main, "Textures/" + name, map, false);
    bakery.write(Tree::Main, "Models/test.BSS", encodeBss(built.scene));
}

}  // namespace hg::bake
