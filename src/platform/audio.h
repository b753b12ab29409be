#pragma once
// The sound device as the music needs it: one stream, played in a loop at its own volume.
#include <cstdint>
#include <memory>
#include <vector>

namespace hg::platform {

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Starts the encoded music (Ogg Vorbis) playing in a loop until the output goes; the output
    // keeps the bytes. False when they cannot be decoded.
    virtual bool playLooping(std::vector<uint8_t> bytes) = 0;
    // The stream's own level, 0-100. The system's output level is never touched, so nothing is
    // left to put back, even after a crash.
    virtual void setVolume(int percent) = 0;
};

// The default output device, or nothing when there is none (no sound card, no sound server).
// Destroying the output stops the music and closes the device.
std::unique_ptr<AudioOutput> openAudioOutput();

}  // namespace hg::platform
