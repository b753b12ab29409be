#include "bake/bakery.h"

#include <fstream>

#include "bake/error.h"
#include "bake/jpeg_writer.h"
#include "bake/tga_writer.h"

namespace hg::bake {

std::string_view treeFolder(Tree tree) { return tree == Tree::Main ? "main" : "overlay"; }

Bakery::Bakery(std::filesystem::path root, std::filesystem::path fontDir)
    : root_(std::move(root)), fontDir_(std::move(fontDir)) {}

void Bakery::write(Tree tree, std::string_view path, std::span<const uint8_t> bytes) {
    const std::string name = std::string(treeFolder(tree)) + "/" + std::string(path);
    const std::filesystem::path target = root_ / name;
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out) throw BakeError("cannot write " + target.string());
    written_.push_back(name);
}

void Bakery::writeTga(Tree tree, std::string_view path, const Canvas& canvas, bool alpha) {
    const std::vector<uint8_t> bytes = encodeTga(toImage(canvas, alpha ? 4 : 3));
    if (bytes.empty()) throw BakeError("cannot encode " + std::string(path));
    write(tree, path, bytes);
}

void Bakery::writeJpeg(Tree tree, std::string_view path, const Canvas& canvas, int quality) {
    std::string message;
    const std::vector<uint8_t> bytes = encodeJpeg(toImage(canvas, 3), quality, &message);
    if (bytes.empty()) throw BakeError("cannot encode " + std::string(path) + ": " + message);
    write(tree, path, bytes);
}

const Font& Bakery::font(const std::string& fileName) {
    auto& slot = fonts_[fileName];
    if (!slot) slot = std::make_unique<Font>((fontDir_ / fileName).string());
    return *slot;
}

}  // namespace hg::bake
