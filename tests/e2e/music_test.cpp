// The music of a real run, written to a file by SDL's disk audio driver instead of a sound card.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "e2e/child_process.h"

// Last: Xlib's macros clash with the test framework's names.
#include "e2e/live_window.h"

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
    // A windowed run with the given settings, ended once it draws the room (the music has started
    // by then, when it is on) and the audio file holds `audioBytes`. Returns where the audio went.
    std::filesystem::path run(const test::ScratchDir& dir, const std::string& settings, uintmax_t audioBytes) {
        std::filesystem::create_directories(dir / "config/hearthglow");
        test::writeText(dir / "config/hearthglow/settings.conf", settings);
        const auto raw = dir / "audio.raw";
        const pid_t pid = test::startHearthglow(dir, {"--window", "160x120"},
                                                {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", raw.string()}});
        EXPECT_TRUE(test::logHasLine(dir, "OpenGL initialized", std::chrono::seconds(30)));
        test::XConnection x;
        const auto window = test::waitForWindow("--pid " + std::to_string(pid), 20);
        const auto area = x.display && window ? test::areaOf(x.display, *window) : std::nullopt;
        EXPECT_TRUE(area && test::waitForTheLiveRoomIn(x.display, *area, std::chrono::seconds(30))) << "no live room in the window";
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        const auto written = [&] {
            std::error_code error;
            const uintmax_t size = std::filesystem::file_size(raw, error);
            return error ? 0 : size;
        };
        while (written() < audioBytes && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        kill(pid, SIGTERM);
        EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(10)), 0);
        return raw;
    }
};

constexpr uintmax_t kOneSecond = 44100 * 4;  // 16-bit stereo at 44.1 kHz

TEST_F(MusicRun, PlaysAtTheLevelOfTheSoundVolume) {
    test::ScratchDir loud, quiet;
    const auto loudRaw = run(loud, "Enable music: 1\nSound volume: 100\nClock: 1\n", kOneSecond);
    const auto quietRaw = run(quiet, "Enable music: 1\nSound volume: 25\nClock: 1\n", kOneSecond);
    const auto log = test::readLines(loud / "Log.txt");
    const auto initialised = std::find(log.begin(), log.end(), "Sound initialized");
    ASSERT_NE(initialised, log.end());
    EXPECT_EQ(*(initialised - 1), "OpenGL initialized");
    // At least a second of music, clearly audible at full level.
    ASSERT_GE(std::filesystem::file_size(loudRaw), kOneSecond);
    ASSERT_GE(std::filesystem::file_size(quietRaw), kOneSecond);
    const double loudDb = rmsDecibels(loudRaw, 1.0);
    const double quietDb = rmsDecibels(quietRaw, 1.0);
    EXPECT_GT(loudDb, -40.0);
    // A quarter of the level is 12 dB less.
    EXPECT_NEAR(loudDb - quietDb, 12.0, 2.0) << loudDb << " " << quietDb;
}

TEST_F(MusicRun, MusicSwitchedOffOpensNoSoundDeviceAtAll) {
    test::ScratchDir dir;
    const auto raw = run(dir, "Enable music: 0\nSound volume: 100\nClock: 1\n", 0);
    EXPECT_FALSE(std::filesystem::exists(raw));
    const auto log = test::readLines(dir / "Log.txt");
    EXPECT_EQ(std::find(log.begin(), log.end(), "Sound initialized"), log.end());
}

// The sound device dies under a playing run: the audio goes into a pipe that the test reads for a
// second and then closes. The frames must go on, and the run must end as always.
TEST_F(MusicRun, ASoundDeviceThatFailsMidRunDoesNotStopTheFrames) {
    test::ScratchDir dir;
    std::filesystem::create_directories(dir / "config/hearthglow");
    test::writeText(dir / "config/hearthglow/settings.conf", "Enable music: 1\nSound volume: 100\nClock: 1\n");
    const auto pipe = dir / "audio.pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Open for reading first, so that the program's open for writing does not wait.
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const pid_t pid = test::startHearthglow(dir, {"--window", "160x120"},
                                            {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", pipe.string()}});
    uintmax_t heard = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (heard < kOneSecond && std::chrono::steady_clock::now() < end) {
        char buffer[65536];
        const ssize_t got = ::read(reader, buffer, sizeof(buffer));
        if (got > 0) heard += static_cast<uintmax_t>(got);
        else std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::close(reader);
    EXPECT_GE(heard, kOneSecond) << "the music never played";
    EXPECT_TRUE(test::logHasLine(dir, "Sound initialized", std::chrono::seconds(1)));

    test::XConnection x;
    const auto window = test::waitForWindow("--pid " + std::to_string(pid), 20);
    const auto area = x.display && window ? test::areaOf(x.display, *window) : std::nullopt;
    ASSERT_TRUE(area);
    // Faded in (a slow machine may still be fading), then still drawing.
    EXPECT_TRUE(test::waitForTheLiveRoomIn(x.display, *area, std::chrono::seconds(30))) << "no live room in the window";
    EXPECT_TRUE(test::waitForNewFrames(x.display, *area, 3, std::chrono::seconds(20))) << "the frames stopped with the sound";
    kill(pid, SIGTERM);
    EXPECT_EQ(test::exitCodeOf(pid, std::chrono::seconds(10)), 0);
    const auto log = test::readLines(dir / "Log.txt");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().rfind("Fps: ", 0), 0u);
}

}  // namespace
}  // namespace hg
