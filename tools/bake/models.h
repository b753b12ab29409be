#pragma once
// The room's models, each built by one function. Scale 1 = 1 cm, z up, standing models on z = 0.
#include <string>
#include <vector>

#include "bake/bsm_writer.h"

namespace hg::bake {

Model buildCandle();      // pillar candle on a brass dish; "emit candle" at the wick's tip
Model buildTallCandle();  // red taper in a brass holder; "emit candle" at the wick's tip
Model buildClock();       // mantel clock, dial facing +y; hands Arrow01..03 about y at the dial centre
Model buildRailroad();    // circular track round the tree; loco and wagons turn about z at the centre
Model buildFirTree();     // layered fir with ornaments, a star and 72 light emitters on Hull
Model buildStocking();    // knitted stocking hanging from its loop at the origin, flat sides facing ±y
Model buildTeddy();       // sitting teddy bear facing +y
// Where the railroad's steam emitter sits: the top of the locomotive's chimney at train angle 0.
Float3 railroadChimneyTop();
// The teddy's parts at `scale` (1 = about 24 cm tall sitting), textured from teddy_atlas.tga;
// `small` uses fewer triangles for a bear seen small.
Shape teddyShape(float scale, bool small);

struct NamedModel {
    std::string name;  // written to Models/<name>.BSM
    Model model;
};

// Every model, in a fixed order.
std::vector<NamedModel> allModels();

}  // namespace hg::bake
