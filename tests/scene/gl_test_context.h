#pragma once
// One small window with an OpenGL context for the GL tests of this program, made on first use and
// kept until the process ends. Tests skip when there is no display.
#include "gl/gl.h"

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/platform.h"

namespace hg::test {

inline constexpr int kGlTestWidth = 160;
inline constexpr int kGlTestHeight = 120;

// What the test context offers, filled when it is made.
inline gl::Extensions& glTestExtensions() {
    static gl::Extensions extensions;
    return extensions;
}

// True when a context is current; false when there is no display or no context could be made.
inline bool glTestContext() {
    static std::unique_ptr<platform::Window> window;
    static bool ready = false;
    if (window) return ready;
    if (!std::getenv("DISPLAY")) return false;
    setenv("HEARTHGLOW_MESSAGES", "stderr", 0);
    window = std::make_unique<platform::Window>();
    platform::WindowSpec spec;
    spec.title = "hearthglow GL test";
    spec.width = kGlTestWidth;
    spec.height = kGlTestHeight;
    spec.kind = platform::WindowKind::Windowed;
    ready = window->create(spec) && window->createContext();
    if (ready) glTestExtensions() = gl::loadExtensions(platform::glProcAddress);
    return ready;
}

inline std::vector<uint8_t> readPixels() {
    std::vector<uint8_t> pixels(static_cast<size_t>(kGlTestWidth) * kGlTestHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kGlTestWidth, kGlTestHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace hg::test
