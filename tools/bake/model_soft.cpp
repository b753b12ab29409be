// Soft things: the teddy bear (on its own and riding the train) and the knitted stocking.
#include <array>
#include <cmath>
#include <numbers>

#include "bake/model_parts.h"
#include "bake/models.h"

namespace hg::bake {

namespace {

Cell furCell() { return gridCell(0, 0, 2, 2); }
Cell lightFurCell() { return gridCell(1, 0, 2, 2); }
Cell blackCell() { return gridCell(0, 1, 2, 2); }
Cell ribbonCell() { return gridCell(1, 1, 2, 2); }

}  // namespace

Shape teddyShape(float scale, bool small) {
    // Round parts in a few sizes of tessellation; the small bear (riding the train) takes fewer.
    const int big = small ? 12 : 16, mid = small ? 8 : 12, low = small ? 6 : 8;
    Shape fur, light, black, ribbon;
    merge(fur, blob({0, 0, 7.2f}, 6.0f, {1.0f, 0.85f, 1.15f}, big, big * 3 / 5));  // body
    merge(fur, blob({0, 0.4f, 16.8f}, 4.7f, {1.0f, 0.95f, 0.95f}, big, big * 3 / 5));  // head
    for (float side : {-1.0f, 1.0f}) {
        merge(fur, blob({side * 3.7f, 0.0f, 20.6f}, 1.8f, {1.0f, 0.55f, 1.0f}, mid, mid / 2));  // ears
        merge(light, blob({side * 3.7f, 0.55f, 20.5f}, 1.15f, {1.0f, 0.35f, 1.0f}, low, low * 3 / 5));
        merge(fur, ellipsoidBetween({side * 5.0f, 0.6f, 10.8f}, {side * 6.2f, 3.4f, 6.2f}, 1.9f, mid, mid * 4 / 7));  // arms
        merge(light, blob({side * 6.35f, 4.5f, 5.7f}, 1.25f, {1.0f, 0.5f, 1.0f}, low, low * 3 / 5));          // paw pads
        merge(fur, ellipsoidBetween({side * 3.3f, 2.0f, 3.0f}, {side * 4.1f, 8.6f, 2.5f}, 2.35f, mid, mid * 4 / 7));  // legs
        merge(light, blob({side * 4.15f, 10.9f, 2.6f}, 1.75f, {1.0f, 0.3f, 1.05f}, mid, mid * 3 / 7));        // foot pads
        merge(black, blob({side * 1.75f, 4.25f, 18.1f}, 0.55f, {1, 1, 1}, low, low * 3 / 5));                 // eyes
    }
    merge(light, blob({0, 4.55f, 15.8f}, 2.05f, {1.1f, 0.8f, 0.8f}, mid, mid * 4 / 7));  // muzzle
    merge(light, blob({0, 4.1f, 7.4f}, 3.7f, {1.0f, 0.35f, 1.2f}, mid, mid * 4 / 7));    // belly
    merge(black, blob({0, 6.05f, 16.5f}, 0.75f, {1.3f, 0.8f, 0.9f}, low, low * 3 / 5));  // nose
    // A red ribbon round the neck, tied in a bow at the front.
    merge(ribbon, transformed(torus(3.9f, 0.4f, big + 4, 6), Transform::translate({0, 0.35f, 12.7f}) * Transform::scale({1.0f, 0.9f, 1.0f})));
    for (float side : {-1.0f, 1.0f}) {
        merge(ribbon, transformed(torus(1.0f, 0.38f, mid, mid * 3 / 7), Transform::frame({side * 1.25f, 3.9f, 12.9f}, {0, 1, 0}, {1, 0, 0}) *
                                                                Transform::scale({1.0f, 0.7f, 1.0f})));
        merge(ribbon, ellipsoidBetween({side * 0.3f, 4.0f, 12.3f}, {side * 1.0f, 4.1f, 10.6f}, 0.45f, 8, 5));
    }
    merge(ribbon, blob({0, 4.0f, 12.75f}, 0.6f, {1, 0.8f, 1}, 8, 5));
    Shape all = finish(fur, furCell(), 70.0f);
    merge(all, finish(light, lightFurCell(), 70.0f));
    merge(all, finishSolid(black, blackCell(), 70.0f));
    merge(all, finish(ribbon, ribbonCell(), 70.0f));
    apply(all, Transform::scale(scale));
    return all;
}

Model buildTeddy() {
    Model model;
    model.objects.push_back(modelObject("Hull", "teddy_atlas.tga", teddyShape(1.0f, false)));
    return model;
}

Model buildStocking() {
    const Cell body = {0.0f + 4.0f / 512, 4.0f / 512, 0.75f - 4.0f / 512, 1.0f - 4.0f / 512};
    const Cell cuffCell = {0.75f + 4.0f / 512, 0.5f + 4.0f / 512, 1.0f - 4.0f / 512, 1.0f - 4.0f / 512};
    const Cell goldCell = {0.75f + 4.0f / 512, 0.25f + 4.0f / 512, 1.0f - 4.0f / 512, 0.5f - 4.0f / 512};
    // The leg hangs straight down from the cuff, bends at the heel and runs out to the toe (+x).
    const std::array<Float3, 14> path = {Float3{0, 0, -2.0f},  {0, 0, -9.0f},     {0, 0, -16.0f},    {0, 0, -23.0f},
                                         {0.2f, 0, -28.5f},    {1.3f, 0, -33.0f}, {3.6f, 0, -36.6f}, {7.0f, 0, -38.9f},
                                         {10.5f, 0, -39.9f},   {13.5f, 0, -39.9f}, {15.8f, 0, -39.3f}, {17.2f, 0, -38.6f},
                                         {18.0f, 0, -38.2f},   {18.4f, 0, -38.0f}};
    const std::array<Float2, 14> scales = {Float2{1.0f, 1.0f}, {1.0f, 1.0f},   {0.98f, 0.98f}, {0.96f, 0.97f},
                                           {1.0f, 1.0f},       {1.08f, 1.02f}, {1.12f, 1.03f}, {1.06f, 1.0f},
                                           {1.0f, 0.98f},      {0.96f, 0.95f}, {0.82f, 0.85f}, {0.6f, 0.68f},
                                           {0.36f, 0.45f},     {0.08f, 0.12f}};
    std::vector<Float2> ellipse;
    for (Float2 p : circleOutline(1.0f, 28)) ellipse.push_back({p.u * 6.2f, p.v * 2.9f});
    Shape leg = sweep(ellipse, path, false, 1.0f / 58.0f, scales);
    Shape shape = finish(leg, body, 75.0f);

    // A thick cuff of cream knitting, closed on top by a dark opening.
    std::vector<Float2> cuffSection;
    for (Float2 p : circleOutline(1.0f, 28)) cuffSection.push_back({p.u * 7.1f, p.v * 3.7f});
    const std::array<Float3, 4> cuffPath = {Float3{0, 0, 1.0f}, {0, 0, -1.0f}, {0, 0, -6.0f}, {0, 0, -8.2f}};
    const std::array<Float2, 4> cuffScales = {Float2{0.93f, 0.9f}, {1.0f, 1.0f}, {1.0f, 1.0f}, {0.92f, 0.88f}};
    merge(shape, finish(sweep(cuffSection, cuffPath, false, 1.0f / 10.0f, cuffScales), cuffCell, 75.0f));
    std::vector<Float2> opening;
    for (Float2 p : circleOutline(1.0f, 28)) opening.push_back({p.u * 6.4f, p.v * 3.1f});
    merge(shape, finishSolid(transformed(extrude(opening, 0.2f), Transform::translate({0, 0, 0.75f})),
                             gridCell(3, 3, 4, 4), 30.0f));
    // A hanging loop and a little bell on the cuff.
    merge(shape, finishSolid(transformed(torus(1.7f, 0.35f, 16, 6), Transform::frame({-5.0f, 0, 2.2f}, {0, 1, 0}, {1, 0, 0})),
                             goldCell, 70.0f));
    merge(shape, finishSolid(blob({2.5f, 3.9f, -4.0f}, 1.1f, {1, 1, 1}, 12, 7), goldCell, 70.0f));

    Model model;
    model.objects.push_back(modelObject("Hull", "stocking_atlas.tga", std::move(shape)));
    return model;
}

}  // namespace hg::bake
