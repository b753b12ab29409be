#include "platform/win32/looping_vorbis.h"

#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb_vorbis.h>

#include <climits>

namespace hg::platform::win32 {

LoopingVorbis::~LoopingVorbis() {
    if (decoder_) stb_vorbis_close(decoder_);
}

bool LoopingVorbis::open(std::vector<uint8_t> bytes) {
    if (decoder_ || bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return false;
    bytes_ = std::move(bytes);  // the decoder reads from these for as long as it lives
    int error = 0;
    decoder_ = stb_vorbis_open_memory(bytes_.data(), static_cast<int>(bytes_.size()), &error, nullptr);
    if (!decoder_) return false;
    const stb_vorbis_info info = stb_vorbis_get_info(decoder_);
    if (info.channels < 1 || info.channels > 2) return false;
    channels_ = info.channels;
    sampleRate_ = info.sample_rate;
    return true;
}

int LoopingVorbis::read(std::span<int16_t> out, int frames) {
    if (!decoder_ || frames <= 0 || out.size() < static_cast<size_t>(frames) * channels_) return 0;
    int filled = 0;
    bool restarted = false;
    while (filled < frames) {
        const int got = stb_vorbis_get_samples_short_interleaved(decoder_, channels_, out.data() + filled * channels_,
                                                                 (frames - filled) * channels_);
        if (got > 0) {
            filled += got;
            restarted = false;
        } else if (restarted) {
            break;  // nothing even from the start
        } else {
            stb_vorbis_seek_start(decoder_);
            restarted = true;
        }
    }
    return filled;
}

void scaleSamples(std::span<int16_t> samples, int level, int maxLevel) {
    if (maxLevel <= 0) return;
    for (int16_t& sample : samples) sample = static_cast<int16_t>(sample * level / maxLevel);
}

}  // namespace hg::platform::win32
