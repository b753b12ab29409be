#pragma once
// Ogg Vorbis from memory, decoded as 16-bit interleaved samples that start over at the end, with
// no gap and no sample lost at the seam: the music's endless loop.
#include <cstdint>
#include <span>
#include <vector>

struct stb_vorbis;

namespace hg::platform::win32 {

class LoopingVorbis {
public:
    LoopingVorbis() = default;
    ~LoopingVorbis();
    LoopingVorbis(const LoopingVorbis&) = delete;
    LoopingVorbis& operator=(const LoopingVorbis&) = delete;

    // Keeps the bytes and opens the stream; false when they are no Vorbis stream of one or two
    // channels.
    bool open(std::vector<uint8_t> bytes);
    int channels() const { return channels_; }
    unsigned sampleRate() const { return sampleRate_; }

    // Fills `frames` whole frames (channels() samples each) into `out`; fewer only when the stream
    // yields nothing at all, even from its start.
    int read(std::span<int16_t> out, int frames);

private:
    std::vector<uint8_t> bytes_;
    stb_vorbis* decoder_ = nullptr;
    int channels_ = 0;
    unsigned sampleRate_ = 0;
};

// Scales the samples to `level` of `maxLevel` (SDL_mixer's rule: linear, rounded toward zero).
void scaleSamples(std::span<int16_t> samples, int level, int maxLevel);

}  // namespace hg::platform::win32
