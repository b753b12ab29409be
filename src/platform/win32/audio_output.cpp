// The music on Windows: Ogg Vorbis decoded by stb_vorbis on a thread of its own and played through
// waveOut, looping. The level is applied to the samples (as SDL_mixer does on Linux: linear, in 128
// steps), so the system's and the application's volume controls are never touched.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>

#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb_vorbis.h>

#include "platform/audio.h"

namespace hg::platform {
namespace {

constexpr int kMaxVolume = 128;
constexpr int kBufferCount = 4;
constexpr int kFramesPerBuffer = 4096;  // about 0.09 s at 44.1 kHz: short enough to stop at once

class WaveOutput : public AudioOutput {
public:
    WaveOutput() : wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

    ~WaveOutput() override {
        stopping_ = true;
        if (wake_) SetEvent(wake_);
        if (player_.joinable()) player_.join();
        if (device_) {
            waveOutReset(device_);
            for (Buffer& buffer : buffers_) {
                if (buffer.header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &buffer.header, sizeof(WAVEHDR));
            }
            waveOutClose(device_);
        }
        if (decoder_) stb_vorbis_close(decoder_);
        if (wake_) CloseHandle(wake_);
    }

    bool playLooping(std::vector<uint8_t> bytes) override {
        if (decoder_ || bytes.empty() || !wake_ || bytes.size() > 0x7fffffff) return false;
        bytes_ = std::move(bytes);  // the decoder reads from these for as long as the music plays
        int error = 0;
        decoder_ = stb_vorbis_open_memory(bytes_.data(), static_cast<int>(bytes_.size()), &error, nullptr);
        if (!decoder_) return false;
        const stb_vorbis_info info = stb_vorbis_get_info(decoder_);
        channels_ = std::clamp(info.channels, 1, 2);
        if (info.channels > 2 || !openDevice(info.sample_rate)) return false;
        player_ = std::thread([this] { play(); });
        return true;
    }

    void setVolume(int percent) override {
        percent = std::clamp(percent, 0, 100);
        volume_ = (percent * kMaxVolume + 50) / 100;
    }

private:
    struct Buffer {
        WAVEHDR header{};
        std::array<short, kFramesPerBuffer * 2> samples{};
    };

    bool openDevice(unsigned sampleRate) {
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = static_cast<WORD>(channels_);
        format.nSamplesPerSec = sampleRate;
        format.wBitsPerSample = 16;
        format.nBlockAlign = static_cast<WORD>(format.nChannels * 2);
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        return waveOutOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(wake_), 0, CALLBACK_EVENT) ==
               MMSYSERR_NOERROR;
    }

    // Decodes the next stretch into the buffer, starting over at the end of the music.
    int fill(Buffer& buffer) {
        int frames = 0;
        while (frames < kFramesPerBuffer) {
            const int got = stb_vorbis_get_samples_short_interleaved(
                decoder_, channels_, buffer.samples.data() + frames * channels_, (kFramesPerBuffer - frames) * channels_);
            if (got > 0) {
                frames += got;
            } else if (frames == 0 && restartedEmpty_) {
                return 0;  // a stream that yields nothing even from its start
            } else {
                restartedEmpty_ = frames == 0;
                stb_vorbis_seek_start(decoder_);
            }
        }
        restartedEmpty_ = false;
        const int level = volume_;
        for (int i = 0; i < frames * channels_; ++i) buffer.samples[i] = static_cast<short>(buffer.samples[i] * level / kMaxVolume);
        return frames;
    }

    bool queue(Buffer& buffer) {
        const int frames = fill(buffer);
        if (frames == 0) return false;
        if (buffer.header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &buffer.header, sizeof(WAVEHDR));
        buffer.header = {};
        buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.samples.data());
        buffer.header.dwBufferLength = static_cast<DWORD>(frames * channels_ * sizeof(short));
        return waveOutPrepareHeader(device_, &buffer.header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR &&
               waveOutWrite(device_, &buffer.header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
    }

    // Keeps every buffer queued: each one the device has finished is filled again.
    void play() {
        for (Buffer& buffer : buffers_) {
            if (!queue(buffer)) return;
        }
        while (!stopping_) {
            WaitForSingleObject(wake_, 100);
            for (Buffer& buffer : buffers_) {
                if (stopping_) return;
                if ((buffer.header.dwFlags & WHDR_DONE) && !queue(buffer)) return;
            }
        }
    }

    std::vector<uint8_t> bytes_;
    stb_vorbis* decoder_ = nullptr;
    int channels_ = 2;
    bool restartedEmpty_ = false;
    HWAVEOUT device_ = nullptr;
    HANDLE wake_ = nullptr;
    std::array<Buffer, kBufferCount> buffers_;
    std::atomic<int> volume_{kMaxVolume};
    std::atomic<bool> stopping_{false};
    std::thread player_;
};

}  // namespace

std::unique_ptr<AudioOutput> openAudioOutput() {
    if (waveOutGetNumDevs() == 0) return nullptr;  // no sound card: the room runs silent
    return std::make_unique<WaveOutput>();
}

}  // namespace hg::platform
