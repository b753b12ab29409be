#pragma once
// The room's music: "Music/music.ogg" from the archives, played in a loop from the end of loading
// until the shutdown, at the level of the setting soundVolume (0-100).
//
// Nothing here can stop a run: without a sound device, without the file, or with a file that does
// not decode, the saver simply stays silent.
#include <functional>
#include <memory>

#include "platform/audio.h"

namespace hg {

class FileSystem;
class Log;

class SoundSystem {
public:
    using OutputFactory = std::function<std::unique_ptr<platform::AudioOutput>()>;

    // `openOutput` is asked once, at start(); the default opens the system's sound device.
    explicit SoundSystem(OutputFactory openOutput = platform::openAudioOutput) : openOutput_(std::move(openOutput)) {}

    // Opens the device, starts the music looping and sets its level; logs "Sound initialized".
    void start(const FileSystem& files, float soundVolume, Log& log);
    // Stops the music and closes the device. Safe to call when start() was never called.
    void shutdown();

    bool deviceOpen() const { return output_ != nullptr; }
    bool playing() const { return playing_; }

    // The level handed to the output for a setting: its integer part, kept within 0-100.
    static int volumePercent(float soundVolume);

private:
    OutputFactory openOutput_;
    std::unique_ptr<platform::AudioOutput> output_;
    bool playing_ = false;
};

}  // namespace hg
