// hgpak: packs a folder into the program's archive format and reads such archives back.
#include <iostream>

#include "hgpak/commands.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return hg::pak::runCommand(args, std::cout, std::cerr);
}
