#include "bake/families.h"

#include <array>

namespace hg::bake {

namespace {

constexpr std::array kFamilies = {
    Family{"overlay pictures", bakeOverlayPictures},
    Family{"loading pictures", bakeLoadingPictures},
    Family{"models", bakeModels},
    Family{"fireplace fire", bakeFireplaceFire},
    Family{"particle systems", bakeParticleSystems},
    Family{"room", bakeRoom},
};

}  // namespace

std::span<const Family> families() { return kFamilies; }

void bakeAll(Bakery& bakery) {
    for (const Family& family : families()) family.bake(bakery);
}

}  // namespace hg::bake
