#include "image/texture_manager.h"

#include <array>

#include "core/log.h"
#include "archive/file_system.h"
#include "image/texture_upload.h"

namespace hg {
namespace {

constexpr const char* kDefaultTexture = "Textures/tex_default.tga";

std::optional<TextureFormat> formatFor(const std::string& extension) {
    if (extension == "bmp" || extension == "BMP") return TextureFormat::Bmp;
    if (extension == "tga" || extension == "TGA") return TextureFormat::Tga;
    if (extension == "jpg" || extension == "JPG") return TextureFormat::Jpeg;
    return std::nullopt;
}

}  // namespace

GLuint TextureManager::get(const std::string& path) {
    GLuint& slot = textures_[path];
    if (slot == 0) slot = load(path);
    return slot;
}

void TextureManager::releaseAll() {
    for (const auto& [path, name] : textures_) glDeleteTextures(1, &name);
    textures_.clear();
    opaque_.clear();
}

GLuint TextureManager::loadFile(const std::string& path, const std::string& extension, std::span<const uint8_t> bytes) {
    const auto format = formatFor(extension);
    if (!format) return 0;
    auto image = decodeImage(bytes, *format);
    if (!image) onFatal_(*format == TextureFormat::Jpeg ? "Unable to load JPG File!" : "Unable open " + path);
    if (!image) return 0;  // only reached when the fatal handler returned, as in tests
    const GLuint name = uploadImage(*image, *format);
    if (isFullyOpaque(*image)) opaque_.insert(name);
    return name;
}

GLuint TextureManager::load(const std::string& path) {
    // The extension starts at the first dot, the base ends at the last one.
    const size_t firstDot = path.find('.');
    const size_t lastDot = path.rfind('.');
    const std::string extension = firstDot == std::string::npos ? std::string() : path.substr(firstDot + 1);
    const std::string base = lastDot == std::string::npos ? path : path.substr(0, lastDot);

    log_.writeLine("Start load " + path);
    log_.writeLine("Try load original: " + path);
    GLuint name = 0;
    auto loadAs = [&](const std::string& file, const std::string& fileExtension) {
        return files_.read(file, [&](std::span<const uint8_t> bytes) { name = loadFile(file, fileExtension, bytes); });
    };
    if (loadAs(path, extension)) {
        log_.writeLine("Texture " + path + " loaded");
        return name;
    }
    static constexpr std::array<const char*, 3> kExtensions = {"bmp", "tga", "jpg"};
    for (const char* candidateExtension : kExtensions) {
        const std::string candidate = base + "." + candidateExtension;
        log_.writeLine("Try load " + candidate);
        if (loadAs(candidate, candidateExtension)) {
            log_.writeLine("Texture " + candidate + " loaded");
            return name;
        }
    }
    log_.writeLine("--Unable load " + path + "-------------------------");
    log_.writeLine("Loading default texture");
    if (!loadAs(kDefaultTexture, "tga")) {
        onFatal_("Unable open " + std::string(kDefaultTexture));
        return 0;
    }
    return name;
}

}  // namespace hg
