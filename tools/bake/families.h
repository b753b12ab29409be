#pragma once
// The asset families of the builder. Each family is one source file with one entry that writes
// its files through the Bakery; the table in families.cpp lists them in the order they run.
#include <span>
#include <string_view>

#include "bake/bakery.h"

namespace hg::bake {

struct Family {
    std::string_view name;
    void (*bake)(Bakery& bakery);
};

// Every family, in running order.
std::span<const Family> families();

// Runs every family. Throws BakeError on the first failure.
void bakeAll(Bakery& bakery);

// The families.
void bakeOverlayPictures(Bakery& bakery);  // clock glyphs, countdown labels, greetings
void bakeLoadingPictures(Bakery& bakery);  // loading picture and logo
void bakeModels(Bakery& bakery);           // Models/*.BSM and their textures
void bakeFireplaceFire(Bakery& bakery);    // the animated fire mesh and its flame texture
void bakeParticleSystems(Bakery& bakery);  // particle definitions and their sprites
void bakeRoom(Bakery& bakery);             // the room: scene file, textures, lightmaps, decorations

}  // namespace hg::bake
