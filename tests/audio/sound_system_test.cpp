#include "audio/sound_system.h"

#include <gtest/gtest.h>

#include "core/log.h"
#include "archive/embedded.h"
#include "archive/file_system.h"
#include "test_support.h"

namespace hg {
namespace {

// Records what the sound system asks of the device.
struct Calls {
    int opened = 0;
    int closed = 0;
    std::vector<int> volumes;
    size_t bytesPlayed = 0;
};

class FakeOutput : public platform::AudioOutput {
public:
    FakeOutput(Calls& calls, bool decodes) : calls_(calls), decodes_(decodes) {}
    ~FakeOutput() override { ++calls_.closed; }
    bool playLooping(std::vector<uint8_t> bytes) override {
        calls_.bytesPlayed = bytes.size();
        return decodes_;
    }
    void setVolume(int percent) override { calls_.volumes.push_back(percent); }

private:
    Calls& calls_;
    bool decodes_;
};

SoundSystem::OutputFactory fake(Calls& calls, bool device = true, bool decodes = true) {
    return [&calls, device, decodes]() -> std::unique_ptr<platform::AudioOutput> {
        ++calls.opened;
        if (!device) return nullptr;
        return std::make_unique<FakeOutput>(calls, decodes);
    };
}

struct SoundFixture : ::testing::Test {
    test::ScratchDir dir;
    Log log;
    FileSystem withMusic;  // the program's own archives, which carry the music
    FileSystem empty;
    SoundFixture() {
        log.open((dir / "Log.txt").string());
        withMusic.initialise(log, embeddedMainArchive(), embeddedOverlayArchive());
        empty.initialise(log, {}, {});
        log.close();
        log.open((dir / "Log.txt").string());
    }
};

TEST_F(SoundFixture, PlaysTheArchivedMusicAtTheSettingsLevelAndStopsAtShutdown) {
    Calls calls;
    SoundSystem sound(fake(calls));
    sound.start(withMusic, 40.0f, log);
    EXPECT_TRUE(sound.playing());
    EXPECT_GT(calls.bytesPlayed, 100000u);
    EXPECT_EQ(calls.volumes, std::vector<int>{40});
    EXPECT_EQ(test::readLines(dir / "Log.txt"), std::vector<std::string>{"Sound initialized"});
    sound.shutdown();
    EXPECT_EQ(calls.closed, 1);
    EXPECT_FALSE(sound.playing());
    sound.shutdown();  // twice is harmless
    EXPECT_EQ(calls.closed, 1);
}

TEST_F(SoundFixture, NoDeviceMissingFileOrUndecodableMusicStaySilent) {
    Calls noDevice;
    SoundSystem a(fake(noDevice, false));
    a.start(withMusic, 40.0f, log);
    EXPECT_FALSE(a.deviceOpen());
    EXPECT_FALSE(a.playing());

    Calls noFile;
    SoundSystem b(fake(noFile));
    b.start(empty, 40.0f, log);
    EXPECT_TRUE(b.deviceOpen());
    EXPECT_FALSE(b.playing());
    EXPECT_EQ(noFile.bytesPlayed, 0u);

    Calls badFile;
    SoundSystem c(fake(badFile, true, false));
    c.start(withMusic, 40.0f, log);
    EXPECT_FALSE(c.playing());
    // Each start still logs its line, as the run goes on.
    EXPECT_EQ(test::readLines(dir / "Log.txt").size(), 3u);
}

TEST(SoundSystem, VolumeIsTheSettingsIntegerPartWithinZeroToHundred) {
    EXPECT_EQ(SoundSystem::volumePercent(40.0f), 40);
    EXPECT_EQ(SoundSystem::volumePercent(99.9f), 99);
    EXPECT_EQ(SoundSystem::volumePercent(250.0f), 100);
    EXPECT_EQ(SoundSystem::volumePercent(-3.0f), 0);
    EXPECT_EQ(SoundSystem::volumePercent(0.0f), 0);
}

}  // namespace
}  // namespace hg
