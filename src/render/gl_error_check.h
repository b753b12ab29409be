#pragma once
// With --gl-check: after each pass of a frame (and after loading) the driver is asked for errors,
// and the first error of each kind is logged with the pass it followed, so a long run can show
// that it drew without one. Off, it asks nothing: glGetError can stall a driver's pipeline.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hg {

class Log;

class GlErrorCheck {
public:
    explicit GlErrorCheck(Log& log) : log_(log) {}

    void enable() { enabled_ = true; }
    bool enabled() const { return enabled_; }
    // Reads every pending error; each kind not seen before is logged as
    // "OpenGL error 0x0502 (invalid operation) after <pass>".
    void after(const char* pass);
    // Every error read so far, repeats included; logged at shutdown as "OpenGL errors: N".
    size_t errorCount() const { return errorCount_; }
    void logSummary();

    static std::string describe(uint32_t error);

private:
    Log& log_;
    bool enabled_ = false;
    std::vector<uint32_t> seen_;
    size_t errorCount_ = 0;
};

}  // namespace hg
