#pragma once
// One OpenGL texture per path text: loaded on first use, found under other extensions when the
// exact file is missing, and the default texture when nothing is found at all.
#include "gl/gl.h"

#include <functional>
#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <string>

namespace hg {

class FileSystem;
class Log;

class TextureManager {
public:
    // Called with the message when a file was found but cannot be decoded; it must not return
    // (the run cannot go on without the picture).
    using FatalError = std::function<void(const std::string& message)>;

    TextureManager(const FileSystem& files, Log& log, FatalError onFatal)
        : files_(files), log_(log), onFatal_(std::move(onFatal)) {}

    // The texture for this exact path text (case matters). 0 only when the exact file exists but
    // its extension names no known format.
    GLuint get(const std::string& path);
    // True when every pixel of the texture is fully opaque (no alpha, or alpha 255 throughout):
    // blending and the alpha test cannot change what it draws.
    bool isOpaque(GLuint texture) const { return opaque_.count(texture) != 0; }
    // Deletes every texture and forgets every path.
    void releaseAll();

    size_t size() const { return textures_.size(); }

private:
    GLuint load(const std::string& path);
    GLuint loadFile(const std::string& path, const std::string& extension, std::span<const uint8_t> bytes);

    const FileSystem& files_;
    Log& log_;
    FatalError onFatal_;
    std::map<std::string, GLuint> textures_;
    std::set<GLuint> opaque_;
};

}  // namespace hg
