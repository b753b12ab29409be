#pragma once
// An object's faces unfolded for its lightmap: faces that touch and face roughly the same way
// form a chart, projected flat along their mean normal; large charts are cut into tiles so each
// tile gets the texel density of where it stands; the charts are packed in a rectangle about as
// wide as it is high, each with a border of padding texels that no other chart touches. The
// rectangle takes its place on a shared lightmap later.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "bake/mesh_kit.h"

namespace hg::bake::room {

inline constexpr int kChartPadding = 2;  // texels round every chart

struct ChartRect {
    int x = 0, y = 0, w = 0, h = 0;  // texels, padding included
};

struct ChartLayout {
    int width = 0, height = 0;  // the rectangle, in texels
    std::vector<ChartRect> charts;
    std::vector<int> faceChart;  // the chart of each face
    // Each face corner in texels: texel (x, y) covers [x, x + 1) × [y, y + 1).
    std::vector<std::array<Float2, 3>> texelCorners;
};

struct ChartOptions {
    // Texels per unit for a chart whose middle lies at the point.
    std::function<float(Float3)> density = [](Float3) { return 1.0f; };
    float tile = 180.0f;  // longest side of a chart before it is cut, in units
};

// `facePart` keeps faces of different parts in different charts.
ChartLayout layOutCharts(const Shape& shape, const std::vector<int>& facePart, const ChartOptions& options);

// One texel of a map that lies on a face (or within half a texel of its edge): where on the face
// its centre is, the face's normal there, and the face.
struct TexelSample {
    Float3 position{};
    Float3 normal{};
    uint32_t face = 0;
    uint8_t coverage = 0;  // 0: no face; 1: next to a face's edge; 2: inside a face
};

std::vector<TexelSample> sampleTexels(const Shape& shape, const ChartLayout& layout);

}  // namespace hg::bake::room
