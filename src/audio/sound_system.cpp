#include "audio/sound_system.h"

#include <cmath>

#include "core/log.h"
#include "archive/file_system.h"

namespace hg {

int SoundSystem::volumePercent(float soundVolume) {
    if (!(soundVolume > 0.0f)) return 0;  // negatives and NaN are silence
    if (soundVolume >= 100.0f) return 100;
    return static_cast<int>(std::trunc(soundVolume));
}

void SoundSystem::start(const FileSystem& files, float soundVolume, Log& log) {
    output_ = openOutput_ ? openOutput_() : nullptr;
    if (output_) {
        // The level is set before the first sample is heard, so the music never starts loud.
        output_->setVolume(volumePercent(soundVolume));
        if (auto bytes = files.get("Music/music.ogg")) playing_ = output_->playLooping(std::move(*bytes));
    }
    log.writeLine("Sound initialized");
}

void SoundSystem::shutdown() {
    output_.reset();
    playing_ = false;
}

}  // namespace hg
