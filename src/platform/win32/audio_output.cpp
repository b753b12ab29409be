// The music on Windows: Ogg Vorbis decoded by stb_vorbis (LoopingVorbis) on a thread of its own and
// played through waveOut, looping. The level is applied to the samples (as SDL_mixer does on Linux:
// linear, in 128 steps), so the system's and the application's volume controls are never touched.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>

#include "platform/audio.h"
#include "platform/win32/looping_vorbis.h"

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
        if (wake_) CloseHandle(wake_);
    }

    bool playLooping(std::vector<uint8_t> bytes) override {
        if (device_ || !wake_ || !music_.open(std::move(bytes)) || !openDevice()) return false;
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
        std::array<int16_t, kFramesPerBuffer * 2> samples{};
    };

    bool openDevice() {
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = static_cast<WORD>(music_.channels());
        format.nSamplesPerSec = music_.sampleRate();
        format.wBitsPerSample = 16;
        format.nBlockAlign = static_cast<WORD>(format.nChannels * 2);
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        return waveOutOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(wake_), 0, CALLBACK_EVENT) ==
               MMSYSERR_NOERROR;
    }

    // The next stretch of the music, at its level.
    int fill(Buffer& buffer) {
        const int frames = music_.read(buffer.samples, kFramesPerBuffer);
        win32::scaleSamples(std::span(buffer.samples).first(static_cast<size_t>(frames) * music_.channels()), volume_, kMaxVolume);
        return frames;
    }

    bool queue(Buffer& buffer) {
        const int frames = fill(buffer);
        if (frames == 0) return false;
        if (buffer.header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &buffer.header, sizeof(WAVEHDR));
        buffer.header = {};
        buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.samples.data());
        buffer.header.dwBufferLength = static_cast<DWORD>(frames * music_.channels() * sizeof(int16_t));
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

    win32::LoopingVorbis music_;
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
