// The music through SDL2_mixer: the Ogg bytes are decoded while they play, straight from memory.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>

#include "platform/audio.h"

namespace hg::platform {

namespace {

class MixerOutput : public AudioOutput {
public:
    ~MixerOutput() override {
        Mix_HaltMusic();
        if (music_) Mix_FreeMusic(music_);
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool playLooping(std::vector<uint8_t> bytes) override {
        if (music_ || bytes.empty()) return false;
        bytes_ = std::move(bytes);  // the decoder reads from these for as long as the music plays
        SDL_RWops* source = SDL_RWFromConstMem(bytes_.data(), static_cast<int>(bytes_.size()));
        if (!source) return false;
        music_ = Mix_LoadMUS_RW(source, 1);
        if (!music_) return false;
        Mix_VolumeMusic(volume_);
        return Mix_PlayMusic(music_, -1) == 0;
    }

    void setVolume(int percent) override {
        percent = std::clamp(percent, 0, 100);
        volume_ = (percent * MIX_MAX_VOLUME + 50) / 100;
        Mix_VolumeMusic(volume_);
    }

private:
    std::vector<uint8_t> bytes_;
    Mix_Music* music_ = nullptr;
    int volume_ = MIX_MAX_VOLUME;
};

}  // namespace

std::unique_ptr<AudioOutput> openAudioOutput() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
    Mix_Init(MIX_INIT_OGG);
    if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    return std::make_unique<MixerOutput>();
}

}  // namespace hg::platform
