#pragma once
// A small software rasteriser for looking at models while they are made: perspective, depth
// buffer, textured, lit by one warm key light and a cool fill, markers shown as magenta dots.
// It draws every object where it stands in model space (all node angles 0).
#include <map>
#include <string>

#include "bake/bsm_writer.h"
#include "bake/canvas.h"

namespace hg::bake {

struct PreviewView {
    float yawDegrees = 60.0f;    // camera direction round z, 0 = from +x, 90 = from +y
    float pitchDegrees = 20.0f;  // camera height above the horizon
    float zoom = 1.0f;           // >1 comes closer
};

Canvas renderPreview(const Model& model, const std::map<std::string, Canvas>& textures, int width, int height,
                     const PreviewView& view);

}  // namespace hg::bake
