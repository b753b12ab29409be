// The pillar candle and the tall taper in its brass holder.
#include <array>

#include "bake/model_parts.h"
#include "bake/models.h"

namespace hg::bake {

namespace {

const char* const kAtlas = "candle_atlas.tga";
Cell ivoryWax() { return gridCell(0, 0, 2, 2); }
Cell redWax() { return gridCell(1, 0, 2, 2); }
Cell brassCell() { return gridCell(0, 1, 2, 2); }
Cell wickCell() { return gridCell(1, 1, 2, 2); }

// A wick rising from `base` to `top`, bent a little to one side.
Shape wick(float base, float top) {
    const std::array<Float3, 4> path = {Float3{0, 0, base - 0.3f}, Float3{0, 0, base + 0.3f},
                                        Float3{0.08f, 0, 0.5f * (base + top)}, Float3{0.25f, 0.05f, top}};
    const std::array<Float2, 4> scales = {Float2{1, 1}, Float2{1, 1}, Float2{0.9f, 0.9f}, Float2{0.6f, 0.6f}};
    const auto section = circleOutline(0.17f, 6);
    return finishSolid(sweep(section, path, false, 0.1f, scales), wickCell(), 70.0f);
}

ModelObject hull(Shape shape) { return modelObject("Hull", kAtlas, std::move(shape)); }

}  // namespace

Model buildCandle() {
    const float base = 0.6f;  // the candle stands in a shallow brass dish
    const std::array<Float2, 10> waxProfile = {Float2{0, base},          {4.0f, base},        {4.05f, base + 0.4f},
                                              {4.0f, base + 10.4f},      {3.92f, base + 10.95f}, {3.65f, base + 11.15f},
                                              {3.1f, base + 10.95f},     {1.8f, base + 10.65f},  {0.6f, base + 10.55f},
                                              {0, base + 10.55f}};
    const std::array<Float2, 9> dishProfile = {Float2{0, 0},    {4.6f, 0},     {5.8f, 0.25f}, {6.9f, 0.95f}, {7.1f, 1.25f},
                                              {6.85f, 1.3f},  {5.6f, 0.75f}, {4.2f, base},  {0, base}};
    Shape shape = finish(lathe(waxProfile, 36), ivoryWax(), 35.0f);
    merge(shape, finish(lathe(dishProfile, 36), brassCell(), 50.0f));
    const float top = base + 10.55f;
    merge(shape, wick(top, top + 1.3f));
    Model model;
    model.objects.push_back(hull(std::move(shape)));
    model.markers.push_back(emitter("emit candle", "Hull", {0.25f, 0.05f, top + 1.45f}));
    return model;
}

Model buildTallCandle() {
    // Turned brass: a round foot, a knopped stem, a drip pan and a socket.
    const std::array<Float2, 22> holder = {
        Float2{0, 0},     {6.4f, 0},      {6.6f, 0.5f},   {6.2f, 1.0f},   {4.4f, 1.5f},   {2.2f, 2.3f},
        {1.2f, 3.5f},     {1.0f, 4.4f},   {1.9f, 5.2f},   {1.9f, 5.9f},   {1.0f, 6.6f},   {0.85f, 10.0f},
        {1.7f, 10.8f},    {1.0f, 11.7f},  {1.0f, 12.4f},  {4.4f, 12.9f},  {4.9f, 13.4f},  {4.5f, 13.55f},
        {1.6f, 13.45f},   {1.55f, 16.4f}, {1.2f, 16.5f},  {0, 16.4f}};
    const float socket = 16.4f, tip = 42.2f;
    const std::array<Float2, 7> taper = {Float2{0, socket - 0.5f}, {1.1f, socket - 0.5f}, {1.1f, socket + 1.0f},
                                        {0.98f, tip - 1.8f},       {0.82f, tip - 0.7f},   {0.45f, tip - 0.1f},
                                        {0, tip}};
    Shape shape = finish(lathe(holder, 32), brassCell(), 45.0f);
    merge(shape, finish(lathe(taper, 24), redWax(), 35.0f));
    merge(shape, wick(tip, tip + 1.2f));
    Model model;
    model.objects.push_back(hull(std::move(shape)));
    model.markers.push_back(emitter("emit candle", "Hull", {0.25f, 0.05f, tip + 1.35f}));
    return model;
}

}  // namespace hg::bake
