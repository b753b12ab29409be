#pragma once
// The fireplace fire: flame sheets on a three-bone skeleton with a looping flicker, and the
// flame texture that scrolls up through them.
#include "bake/bakery.h"
#include "bake/bsa_writer.h"
#include "bake/canvas.h"

namespace hg::bake {

SkinnedMesh fireplaceFireMesh();
// 100 frames that loop without a seam: every motion is a sum of whole cycles per loop.
BoneAnimation fireplaceFireAnimation();
Canvas flameTexture();

}  // namespace hg::bake
