#include "bake/model_parts.h"

#include <algorithm>
#include <cmath>

namespace hg::bake {

Cell gridCell(int column, int row, int columns, int rows, int size, float inset) {
    const float du = inset / float(size);
    const float u0 = float(column) / float(columns), u1 = float(column + 1) / float(columns);
    // Rows count from the top of the picture; v runs up.
    const float v1 = 1.0f - float(row) / float(rows), v0 = 1.0f - float(row + 1) / float(rows);
    return {u0 + du, v0 + du, u1 - du, v1 - du};
}

PixelRect gridPixels(int column, int row, int columns, int rows, int size) {
    const int w = size / columns, h = size / rows;
    return {column * w, row * h, w, h};
}

Shape finish(Shape shape, const Cell& cell, float crease) {
    smoothNormals(shape, crease);
    fitUv(shape, cell.u0, cell.v0, cell.u1, cell.v1);
    return shape;
}

Shape finishSolid(Shape shape, const Cell& cell, float crease) {
    smoothNormals(shape, crease);
    solidUv(shape, cell.centre());
    return shape;
}

Marker emitter(const std::string& name, const std::string& parent, Float3 position) {
    Marker m;
    m.name = name;
    m.parentName = parent;
    m.position = position;
    return m;
}

ModelObject modelObject(const std::string& name, const std::string& texture, Shape shape, const std::string& parent) {
    ModelObject o;
    o.name = name;
    o.parentName = parent;
    o.material.baseTexture = texture;
    o.shape = std::move(shape);
    return o;
}

}  // namespace hg::bake

namespace hg::bake {

std::vector<Float2> counterClockwise(std::vector<Float2> outline) {
    float area = 0.0f;
    for (size_t i = 0; i < outline.size(); ++i) {
        const Float2 a = outline[i], b = outline[(i + 1) % outline.size()];
        area += a.u * b.v - b.u * a.v;
    }
    if (area < 0.0f) std::reverse(outline.begin(), outline.end());
    return outline;
}

Shape ellipsoidBetween(Float3 a, Float3 b, float radius, int segments, int rings) {
    const float half = 0.5f * length(b - a) + radius;
    const Float3 axis = b - a;
    const Float3 side = std::abs(normalized(axis).z) < 0.9f ? Float3{0, 0, 1} : Float3{1, 0, 0};
    return transformed(sphere(1.0f, segments, rings),
                       Transform::frame((a + b) * 0.5f, axis, side) * Transform::scale({radius, radius, half}));
}

Shape blob(Float3 centre, float radius, Float3 scale, int segments, int rings) {
    return transformed(sphere(radius, segments, rings), Transform::translate(centre) * Transform::scale(scale));
}

}  // namespace hg::bake
