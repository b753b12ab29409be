#pragma once
// With --census N: in the Nth frame the room draws each node, the particles and the translucent
// nodes inside a samples-passed query, and the log gets one line for each that wrote pixels
// ("Census: fireplace 300641 (38.2 % of the view)") and the sum over the view's pixels: where a
// slow view's fill goes, and how often its pixels are drawn over. Each answer is waited for, so
// that frame is slow; every other frame asks nothing.
#include "gl/gl.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hg {

class Log;

class FragmentCensus {
public:
    explicit FragmentCensus(Log& log) : log_(log) {}
    FragmentCensus(const FragmentCensus&) = delete;
    FragmentCensus& operator=(const FragmentCensus&) = delete;

    // The frame to count, from 1.
    void chooseFrame(long frame) { chosen_ = frame; }
    // Called once at the start of every frame.
    void nextFrame() { ++frame_; }
    // True while the chosen frame draws, on a driver with samples-passed queries.
    bool counting() const;

    // Around the drawing of one thing; `what` names it in the log.
    void begin();
    void end(const std::string& what);
    // The chosen frame's lines, once, over a view of `viewPixels` pixels.
    void report(long viewPixels);

    struct Entry {
        std::string what;
        uint64_t samples = 0;
    };
    const std::vector<Entry>& entries() const { return entries_; }

private:
    Log& log_;
    long chosen_ = 0;
    long frame_ = 0;
    bool reported_ = false;
    GLuint query_ = 0;
    std::vector<Entry> entries_;
};

}  // namespace hg
