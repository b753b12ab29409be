#pragma once
// The decorations the room adds to the earlier models: a stack of firewood, table lamps, gift
// boxes in three shapes, the mantel garland and a bowl of baubles; and their shared atlas.
#include <string>
#include <vector>

#include "bake/canvas.h"
#include "bake/models.h"

namespace hg::bake {

Model buildFirewood();  // logs stacked in a pyramid, lying along x, on z = 0
Model buildLamp();      // brass table lamp with a glowing shade, on z = 0
// A wrapped present: 0 red cube, 1 tall green, 2 flat blue; on z = 0, ribbon and bow on top.
Model buildGiftBox(int variant);
// Fir swags along x (length cm, centred), hanging down from the origin, baubles and berries on them.
Model buildGarland(float length);
Model buildBaubleBowl();  // shallow bowl of glass baubles, on z = 0

std::vector<NamedModel> decorationModels();

// decor_atlas.tga and lamp_glow.tga.
struct DecorTexture {
    std::string name;
    Canvas canvas;
};
std::vector<DecorTexture> decorationTextures();

}  // namespace hg::bake
