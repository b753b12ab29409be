#pragma once
// The living room's plan and the pieces its recipe is made of. Room coordinates: 1 = 1 cm, z up,
// floor at z = 0; the room runs 0..700 along x, 0..550 along y, 0..300 up. The fireplace stands
// on the north wall (y = 550), the windows look east (x = 700), the door and the bookcase are on
// the west wall (x = 0), the couch faces the fire from the south.
#include <string>
#include <vector>

#include "bake/bss_writer.h"
#include "bake/canvas.h"
#include "bake/mesh_kit.h"

namespace hg::bake::room {

inline constexpr float kWidth = 700.0f;   // x
inline constexpr float kDepth = 550.0f;   // y
inline constexpr float kHeight = 300.0f;  // z
inline constexpr float kWallThickness = 25.0f;

// Fireplace on the north wall.
inline constexpr float kFireX = 300.0f;
inline constexpr float kSurroundFront = 500.0f;  // y of the surround's face
inline constexpr float kMantelTop = 133.0f;
inline constexpr float kMantelFront = 492.0f;
inline const Float3 kFirePosition{kFireX, 528.0f, 6.0f};

// The tree in the north-east corner, the railroad round it.
inline const Float3 kTreePosition{585.0f, 440.0f, 0.0f};

// Windows in the east wall: y from..to, sill and head heights.
struct WindowOpening {
    float y0, y1;
};
inline constexpr WindowOpening kWindows[] = {{60.0f, 175.0f}, {215.0f, 330.0f}};
inline constexpr float kSillZ = 85.0f;
inline constexpr float kHeadZ = 235.0f;

// The landscape outside the east windows, round the room's centre and within the cameras' far
// plane (3000 cm) from everywhere they fly: a dome of night sky of kSkyRadius from just below the
// horizon to kSkyTop (radians of elevation; its picture repeats kSkyRepeats times round), snowy
// hills in layers from 1450 to 2400 cm, fir trees and cottages on them, and the moon on a patch
// of its own just inside the dome.
inline constexpr float kSkyRadius = 2460.0f, kSkyBottom = -0.09f, kSkyTop = 0.8f;
inline constexpr float kSkyRepeats = 3.0f;
inline constexpr float kLandscapeGround = -25.0f;
// The moon: where it stands (radians from due east towards +y, and of elevation) and its size.
inline constexpr float kMoonTurn = 0.1f, kMoonElevation = 0.27f;
inline constexpr float kMoonRadius = 95.0f, kMoonPatch = 420.0f;  // room_moon.tga is 2 × kMoonPatch across
// The landscape's atlas (room_landscape.tga) in mesh UVs, v up. The two ramps shade by UV: u is
// how much moonlight a surface takes (0 to 1), v across the band how far away it stands (haze).
struct UvRect {
    float u0, v0, u1, v1;
};
inline constexpr UvRect kSnowRamp{0.0f, 0.75f, 1.0f, 1.0f};
inline constexpr UvRect kFirRamp{0.0f, 0.5f, 1.0f, 0.75f};
inline constexpr UvRect kCottageFront{0.0f, 0.25f, 0.5f, 0.5f};  // a long wall: door and two windows
inline constexpr UvRect kCottageEnd{0.5f, 0.25f, 0.75f, 0.5f};   // a gable end: one window
inline constexpr UvRect kCottageStone{0.75f, 0.25f, 1.0f, 0.5f};  // the chimney
// The night sky's colour at an elevation (radians) seen from the dome's centre.
Colour nightSky(float elevation);

// The door in the west wall.
inline constexpr float kDoorY0 = 55.0f, kDoorY1 = 150.0f, kDoorTop = 210.0f;

// Couch, tables and chairs.
inline const Float3 kCouchCentre{300.0f, 175.0f, 0.0f};
inline constexpr float kCouchWidth = 215.0f, kCouchDepth = 92.0f;
inline constexpr float kArmchairWidth = 96.0f, kArmchairDepth = 90.0f;
inline const Float3 kCoffeeTable{300.0f, 330.0f, 0.0f};
inline constexpr float kCoffeeTableTop = 42.0f;
inline const Float3 kSideTables[] = {{172.0f, 172.0f, 0.0f}, {428.0f, 172.0f, 0.0f}};
inline constexpr float kSideTableTop = 58.0f;
inline const Float3 kArmchairs[] = {{105.0f, 390.0f, 0.0f}, {485.0f, 228.0f, 0.0f}};
inline constexpr float kArmchairTurn[] = {-1.05f, 0.75f};  // radians about z; 0 faces +y

// A piece of an object: room-space geometry with base-texture UVs and one material.
struct Part {
    Shape shape;
    int material = 0;
};

// A room object before lightmapping.
struct ObjectDef {
    std::string name;
    std::vector<SceneMaterial> materials;
    std::vector<Part> parts;
    int lightmapSize = 128;  // 0: no lightmap (drawn at full brightness)
    std::string parentName = "room";
};

// Geometry helpers in room space.
// An axis-aligned block between two corners, optionally bevelled; UVs box-projected in room
// units at `uvScale` (texture repeats per cm).
Shape block(Float3 lo, Float3 hi, float uvScale, float bevel = 0.0f);
// A rectangle from `origin` spanned by `u` and `v` (its normal is u × v), UVs from 0 to
// |u|·uvScale and |v|·uvScale.
Shape rect(Float3 origin, Float3 u, Float3 v, float uvScale);
// A shape turned about z by `turn` radians and moved to `at`.
Shape placed(Shape shape, Float3 at, float turn = 0.0f);
// Box-projected UVs in room units at `uvScale`.
Shape worldUv(Shape shape, float uvScale);

SceneMaterial material(const std::string& texture, bool twoSided = false);

// The themes of the recipe.
std::vector<ObjectDef> shellObjects();      // walls, wainscot, floor, ceiling, beams, door, pictures
std::vector<ObjectDef> fireplaceObjects();  // surround, firebox, hearth, mantel, grate
std::vector<ObjectDef> windowObjects();     // frames, glass, curtains, panorama
std::vector<ObjectDef> furnitureObjects();  // couch, armchairs, rug, tables, shelves, books, ...
std::vector<SceneCamera> roomCameras();
std::vector<SceneMarker> roomMarkers();
std::vector<std::string> lightNames(const std::vector<SceneMarker>& markers);

// The room's own textures by file name (under Textures/), made on first use.
struct NamedCanvas {
    std::string name;
    Canvas canvas;
    bool alpha = false;
};
const std::vector<NamedCanvas>& roomTextures();

}  // namespace hg::bake::room
