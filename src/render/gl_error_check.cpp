#include "render/gl_error_check.h"

#include <algorithm>
#include <cstdio>

#include "core/log.h"
#include "gl/gl.h"

namespace hg {
namespace {
// A lost context can report the same error for ever: a pass reads at most this many.
constexpr int kMaxErrorsPerPass = 32;
}  // namespace

std::string GlErrorCheck::describe(uint32_t error) {
    const char* name = "unknown error";
    switch (error) {
        case GL_INVALID_ENUM: name = "invalid enum"; break;
        case GL_INVALID_VALUE: name = "invalid value"; break;
        case GL_INVALID_OPERATION: name = "invalid operation"; break;
        case GL_STACK_OVERFLOW: name = "stack overflow"; break;
        case GL_STACK_UNDERFLOW: name = "stack underflow"; break;
        case GL_OUT_OF_MEMORY: name = "out of memory"; break;
        default: break;
    }
    char code[16];
    std::snprintf(code, sizeof(code), "0x%04X", static_cast<unsigned>(error));
    return std::string(code) + " (" + name + ")";
}

void GlErrorCheck::after(const char* pass) {
    if (!enabled_) return;
    for (int i = 0; i < kMaxErrorsPerPass; ++i) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR) return;
        ++errorCount_;
        if (std::find(seen_.begin(), seen_.end(), error) != seen_.end()) continue;
        seen_.push_back(error);
        log_.writeLine("OpenGL error " + describe(error) + " after " + pass);
    }
}

void GlErrorCheck::logSummary() {
    if (enabled_) log_.writeLine("OpenGL errors: ", errorCount_);
}

}  // namespace hg
