// bake: writes every generated asset into the content trees.
//
//   bake <content folder> [--stamp FILE] [--fonts DIR] [--cache DIR]
//   bake --icon FILE.png     (the desktop icon; FILE.ico: the Windows icon at several sizes)
//
// Files go to <content folder>/main/... and <content folder>/overlay/...; the stamp, when asked
// for, lists every file written, one a line, and is written last, so the build can tell a
// complete bake from an interrupted one. The cache folder keeps the room's lit maps, so a bake
// whose room is unchanged does not light it again. The desktop icon is a run of its own: it is installed,
// not packed, and redrawing it must not touch the content trees.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "bake/error.h"
#include "bake/families.h"
#include "bake/icon.h"

#ifndef HG_DEJAVU_DIR
#define HG_DEJAVU_DIR "/usr/share/fonts/truetype/dejavu"
#endif

int main(int argc, char** argv) {
    std::string root, stamp, icon, cache, fonts = HG_DEJAVU_DIR;
    bool understood = true;
    for (int i = 1; i < argc && understood; ++i) {
        const std::string_view arg = argv[i];
        if ((arg == "--stamp" || arg == "--fonts" || arg == "--icon" || arg == "--cache") && i + 1 < argc) {
            (arg == "--stamp" ? stamp : arg == "--fonts" ? fonts : arg == "--cache" ? cache : icon) = argv[++i];
        } else if (!arg.starts_with("-") && root.empty()) {
            root = arg;
        } else {
            understood = false;
        }
    }
    if (!understood || root.empty() == icon.empty()) {
        std::fprintf(stderr, "usage: bake <content folder> [--stamp FILE] [--fonts DIR] [--cache DIR] | bake --icon FILE.png|FILE.ico\n");
        return 2;
    }
    try {
        if (!icon.empty()) {
            if (std::filesystem::path(icon).extension() == ".ico") {
                hg::bake::writeIco(icon);
            } else {
                hg::bake::writePng(icon, hg::bake::drawIcon(hg::bake::kIconSize));
            }
            return 0;
        }
        hg::bake::Bakery bakery(root, fonts);
        bakery.setLightCache(cache);
        hg::bake::bakeAll(bakery);
        if (!stamp.empty()) {
            std::ofstream out(stamp, std::ios::trunc);
            for (const std::string& file : bakery.written()) out << file << '\n';
            out.close();
            if (!out) throw hg::bake::BakeError("cannot write " + stamp);
        }
    } catch (const hg::bake::BakeError& error) {
        std::fprintf(stderr, "bake: %s\n", error.what());
        return 1;
    }
    return 0;
}
