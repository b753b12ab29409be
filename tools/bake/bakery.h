#pragma once
// Where the builder's families put their work: the two content trees under one root
// (<root>/main and <root>/overlay, packed into main.pak and overlay.pak), the fonts they letter
// with, and the list of every file written.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bake/canvas.h"
#include "bake/text.h"

namespace hg::bake {

enum class Tree { Main, Overlay };

class Bakery {
public:
    // `fontDir` holds the DejaVu TrueType files.
    Bakery(std::filesystem::path root, std::filesystem::path fontDir);

    // Writes `bytes` to `path` (a path inside the archive, such as "Textures/tex_sym_0.tga") of
    // `tree`, making its folders. Throws BakeError when the file cannot be written.
    void write(Tree tree, std::string_view path, std::span<const uint8_t> bytes);
    // The canvas as an uncompressed TGA, with alpha (32 bits) or without (24 bits).
    void writeTga(Tree tree, std::string_view path, const Canvas& canvas, bool alpha);
    // The canvas as a baseline JPEG.
    void writeJpeg(Tree tree, std::string_view path, const Canvas& canvas, int quality);

    // A DejaVu face by file name ("DejaVuSans-Bold.ttf"), opened once.
    const Font& font(const std::string& fileName);

    // The folder where the room's lit maps are kept between bakes; empty: none.
    void setLightCache(std::filesystem::path folder) { lightCache_ = std::move(folder); }
    const std::filesystem::path& lightCache() const { return lightCache_; }
    // Every file written so far, as "<tree>/<path>", in the order written.
    const std::vector<std::string>& written() const { return written_; }

private:
    std::filesystem::path root_;
    std::filesystem::path fontDir_;
    std::map<std::string, std::unique_ptr<Font>> fonts_;
    std::vector<std::string> written_;
    std::filesystem::path lightCache_;
};

// The name of a tree's folder under the root: "main" or "overlay".
std::string_view treeFolder(Tree tree);

}  // namespace hg::bake
