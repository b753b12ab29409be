// The music of a real run, written to a file by SDL's disk audio driver instead of a sound card.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "e2e/child_process.h"

namespace hg {
namespace {

// Loudness of the first `seconds` of 16-bit stereo 44.1 kHz samples, in dB below full scale.
double rmsDecibels(const std::filesystem::path& raw, double seconds) {
    const std::string bytes = test::readText(raw);
    const size_t samples = std::min(bytes.size() / 2, static_cast<size_t>(seconds * 44100 * 2));
    if (samples == 0) return -200.0;
    double sum = 0.0;
    for (size_t i = 0; i < samples; ++i) {
        int16_t v;
        std::memcpy(&v, bytes.data() + 2 * i, 2);
        sum += double(v) * double(v);
    }
    return 10.0 * std::log10(sum / samples / (32768.0 * 32768.0) + 1e-20);
}

struct MusicRun : ::testing::Test {
    void SetUp() override {
        if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    }
    // A short windowed run with the given settings; returns where the audio went.
    std::filesystem::path run(const test::ScratchDir& dir, const std::string& settings) {
        std::filesystem::create_directories(dir / "config/hearthglow");
        test::writeText(dir / "config/hearthglow/settings.conf", settings);
        const auto raw = dir / "audio.raw";
        const pid_t pid = test::startHearthglow(dir, {"--window", "160x120"},
                                                {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", raw.string()}});
        EXPECT_TRUE(test::logHasLine(dir, "OpenGL initialized", std::chrono::seconds(30)));
        std::this_thread::sleep_for(std::chrono::milliseconds(1800));
        kill(pid, SIGTERM);
        EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(10)), 0);
        return raw;
    }
};

TEST_F(MusicRun, PlaysAtTheLevelOfTheSoundVolume) {
    test::ScratchDir loud, quiet;
    const auto loudRaw = run(loud, "Enable music: 1\nSound volume: 100\nClock: 1\n");
    const auto quietRaw = run(quiet, "Enable music: 1\nSound volume: 25\nClock: 1\n");
    const auto log = test::readLines(loud / "Log.txt");
    const auto initialised = std::find(log.begin(), log.end(), "Sound initialized");
    ASSERT_NE(initialised, log.end());
    EXPECT_EQ(*(initialised - 1), "OpenGL initialized");
    // At least a second of music, clearly audible at full level.
    ASSERT_GE(std::filesystem::file_size(loudRaw), 44100u * 4);
    const double loudDb = rmsDecibels(loudRaw, 1.0);
    const double quietDb = rmsDecibels(quietRaw, 1.0);
    EXPECT_GT(loudDb, -40.0);
    // A quarter of the level is 12 dB less.
    EXPECT_NEAR(loudDb - quietDb, 12.0, 2.0) << loudDb << " " << quietDb;
}

TEST_F(MusicRun, MusicSwitchedOffOpensNoSoundDeviceAtAll) {
    test::ScratchDir dir;
    const auto raw = run(dir, "Enable music: 0\nSound volume: 100\nClock: 1\n");
    EXPECT_FALSE(std::filesystem::exists(raw));
    const auto log = test::readLines(dir / "Log.txt");
    EXPECT_EQ(std::find(log.begin(), log.end(), "Sound initialized"), log.end());
}

}  // namespace
}  // namespace hg
