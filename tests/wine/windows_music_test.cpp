// The Windows build's music under Wine, recorded by ALSA's file plugin: Wine's one waveOut device
// is ALSA's default device, which here writes everything played to a WAV file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "test_support.h"
#include "wine/wine_run.h"
// Last: Xlib's macros clash with the test framework's names.
#include "e2e/live_window.h"

namespace hg {
namespace {

using namespace std::chrono_literals;

[[maybe_unused]] const auto* wine = ::testing::AddGlobalTestEnvironment(new test::WineEnvironment);

// The samples of a WAV file as floats from -1 to 1 (16-bit integers or 32-bit floats), all channels.
std::vector<float> wavSamples(const std::filesystem::path& file) {
    const std::string bytes = test::readText(file);
    std::vector<float> samples;
    uint16_t format = 0, bits = 0;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        uint32_t size = 0;
        std::memcpy(&size, bytes.data() + at + 4, 4);
        const std::string id = bytes.substr(at, 4);
        const size_t body = at + 8;
        if (id == "fmt " && body + 16 <= bytes.size()) {
            std::memcpy(&format, bytes.data() + body, 2);
            std::memcpy(&bits, bytes.data() + body + 14, 2);
        } else if (id == "data") {
            // A recording cut off by the process's end may claim more than it holds.
            const size_t end = std::min(bytes.size(), body + size);
            for (size_t i = body; i + bits / 8 <= end; i += bits / 8) {
                if (format == 1 && bits == 16) {
                    int16_t v;
                    std::memcpy(&v, bytes.data() + i, 2);
                    samples.push_back(v / 32768.0f);
                } else if (format == 3 && bits == 32) {
                    float v;
                    std::memcpy(&v, bytes.data() + i, 4);
                    samples.push_back(v);
                }
            }
            break;
        }
        at = body + size + (size & 1);
    }
    return samples;
}

double rmsDecibels(const std::vector<float>& samples) {
    if (samples.empty()) return -200.0;
    double sum = 0;
    for (float v : samples) sum += double(v) * v;
    return 10.0 * std::log10(sum / samples.size() + 1e-20);
}

// A full-screen run with music at `volume`, ended by a key once it has played for a while.
std::vector<float> recordedMusic(int volume) {
    test::ScratchDir dir;
    const auto wav = dir / "music.wav";
    test::writeText(dir / ".asoundrc", "pcm.!default { type file; slave.pcm \"null\"; file \"" + wav.string() +
                                           "\"; format \"wav\" }\n");
    // The first start's settings (the desktop's mode above all: a value left out reads 0, the mode
    // 800x600, which Xvfb cannot switch to) with the music on at `volume`.
    test::importSettings({{"Resolution:", 1}, {"Gamma:", 3}, {"Clock:", 1}, {"ExitMM:", 1}, {"Usemon:", 1},
                          {"Enable music:", 1}, {"Sound volume:", static_cast<uint32_t>(volume)}});
    const pid_t pid = test::startWine(dir, test::windowsBuild() / "Hearthglow.scr", {"/s"},
                                      {{"HOME", dir.path().string()},
                                       {"HEARTHGLOW_LOG", test::windowsPath(dir / "Log.txt")},
                                       {"HEARTHGLOW_MESSAGES", "stderr"}});
    const auto end = std::chrono::steady_clock::now() + 60s;
    auto played = [&] {
        std::error_code error;
        const auto size = std::filesystem::file_size(wav, error);
        return error ? 0 : size;
    };
    // Two seconds of 16-bit stereo (or more, in floats) after the music started.
    while (played() < 2 * 44100 * 4 && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(50ms);
    std::system("xdotool key b");
    EXPECT_EQ(test::exitCodeOf(pid, 30s), 0);
    const auto log = test::windowsLines(dir / "Log.txt");
    EXPECT_NE(std::find(log.begin(), log.end(), "Sound initialized"), log.end());
    test::removeSettings();
    return wavSamples(wav);
}

TEST(WindowsMusic, PlaysAtTheLevelOfTheSoundVolume) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    auto loud = recordedMusic(100);
    auto quiet = recordedMusic(25);
    ASSERT_GT(loud.size(), 44100u * 2) << "less than a second of music";
    ASSERT_GT(quiet.size(), 44100u * 2) << "less than a second of music";
    // The same stretch of the music from its start in both.
    const size_t common = std::min(loud.size(), quiet.size());
    loud.resize(common);
    quiet.resize(common);
    const double loudDb = rmsDecibels(loud), quietDb = rmsDecibels(quiet);
    RecordProperty("loud_dB", std::to_string(loudDb));
    RecordProperty("quiet_dB", std::to_string(quietDb));
    EXPECT_GT(loudDb, -40.0);
    // A quarter of the level is 12 dB less.
    EXPECT_NEAR(loudDb - quietDb, 12.0, 2.0) << loudDb << " " << quietDb;
}

}  // namespace
}  // namespace hg
