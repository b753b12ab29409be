// The models family: every model of the room and the textures they use.
#include "bake/models.h"

#include "bake/bakery.h"
#include "bake/families.h"
#include "bake/model_parts.h"

namespace hg::bake {

std::vector<NamedModel> allModels() {
    std::vector<NamedModel> out;
    out.push_back({"candle", buildCandle()});
    out.push_back({"tallcandle", buildTallCandle()});
    out.push_back({"Clock", buildClock()});
    out.push_back({"railroad", buildRailroad()});
    out.push_back({"firtree", buildFirTree()});
    out.push_back({"stocking", buildStocking()});
    out.push_back({"teddy", buildTeddy()});
    return out;
}

void bakeModels(Bakery& bakery) {
    for (const auto& [name, canvas] : modelTextures()) bakery.writeTga(Tree::Main, "Textures/" + name, canvas, false);
    for (const NamedModel& m : allModels()) bakery.write(Tree::Main, "Models/" + m.name + ".BSM", encodeBsm(m.model));
}

}  // namespace hg::bake
