#pragma once
// Shared pieces of the room's models: atlas cells, finishing a part (normals, UVs into a cell),
// markers, and the textures every model family draws on.
#include <map>
#include <string>

#include "bake/bsm_writer.h"
#include "bake/canvas.h"
#include "bake/mesh_kit.h"

namespace hg::bake {

// A rectangle of an atlas in UV space (v up, as the texture is drawn).
struct Cell {
    float u0 = 0.0f, v0 = 0.0f, u1 = 1.0f, v1 = 1.0f;
    Float2 centre() const { return {0.5f * (u0 + u1), 0.5f * (v0 + v1)}; }
};

// Cell (column, row) of a grid of `columns` × `rows` over the picture, rows counted from the top
// of the picture, shrunk by `inset` pixels of a `size`-pixel picture on every side so filtering
// and mipmaps stay inside.
Cell gridCell(int column, int row, int columns, int rows, int size = 512, float inset = 4.0f);
// The pixel rectangle of a grid cell, for painting the atlas: x, y, width, height.
struct PixelRect {
    int x, y, w, h;
};
PixelRect gridPixels(int column, int row, int columns, int rows, int size);

// Smooths a part's normals at `crease` degrees and maps its current UVs into `cell`.
Shape finish(Shape shape, const Cell& cell, float crease = 40.0f);
// A part in one flat colour of an atlas (every corner at the cell's centre).
Shape finishSolid(Shape shape, const Cell& cell, float crease = 40.0f);

Marker emitter(const std::string& name, const std::string& parent, Float3 position);

// A model object of one texture: named, under `parent`, its pivot at the model's origin.
ModelObject modelObject(const std::string& name, const std::string& texture, Shape shape,
                        const std::string& parent = kRootParent);

// The textures of the models, by file name (under Textures/), made on first use.
const std::map<std::string, Canvas>& modelTextures();

}  // namespace hg::bake

namespace hg::bake {

// The outline turned counter-clockwise if it was clockwise.
std::vector<Float2> counterClockwise(std::vector<Float2> outline);
// A sphere stretched between two points (limbs, capsule-like parts): `radius` across.
Shape ellipsoidBetween(Float3 a, Float3 b, float radius, int segments = 14, int rings = 8);
// A sphere of `radius` scaled by `scale`, centred at `centre`.
Shape blob(Float3 centre, float radius, Float3 scale, int segments = 14, int rings = 8);

}  // namespace hg::bake
