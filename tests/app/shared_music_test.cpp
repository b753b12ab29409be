#include "app/shared_music.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "test_support.h"

namespace hg {
namespace {

TEST(MusicLock, OnlyOneHolderAtATimeAndTheNextTakesItOnceTheFirstLetsGo) {
    test::ScratchDir dir;
    const auto path = dir / "music.lock";
    platform::ProcessLock first(path), second(path);
    EXPECT_TRUE(first.tryAcquire());
    EXPECT_TRUE(first.tryAcquire());  // holding it already
    EXPECT_FALSE(second.tryAcquire());
    EXPECT_FALSE(second.held());
    first.release();
    EXPECT_TRUE(second.tryAcquire());
    EXPECT_FALSE(first.tryAcquire());
    {
        platform::ProcessLock third(path);
        EXPECT_FALSE(third.tryAcquire());
    }
    second.release();
    // A lock that goes with its holder's end: the destructor lets it go too.
    {
        platform::ProcessLock scoped(path);
        EXPECT_TRUE(scoped.tryAcquire());
    }
    EXPECT_TRUE(first.tryAcquire());
}

TEST(MusicLock, AFolderThatCannotHoldTheFileMeansNoMusicNotACrash) {
    platform::ProcessLock lock("/nonexistent-folder/hearthglow.lock");
    EXPECT_FALSE(lock.tryAcquire());
}

TEST(MusicLock, LivesInTheRuntimeFolderOrTmp) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string old = saved ? saved : "";
    setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
    EXPECT_EQ(platform::musicLockPath(), "/run/user/1000/hearthglow-music.lock");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(platform::musicLockPath().string(), "/tmp/hearthglow-" + std::to_string(getuid()) + ".lock");
    if (saved) setenv("XDG_RUNTIME_DIR", old.c_str(), 1);
}

TEST(SharedMusic, StartsOnceTheLockIsFreeAskingAboutOnceASecond) {
    int asked = 0, started = 0;
    bool lockFree = false;
    SharedMusic music([&] { return ++asked, lockFree; }, [&] { ++started; });
    music.begin(5000);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(music.playing());
    // Every frame polls; only a second after the last try is the lock asked again.
    for (uint32_t t = 5000; t < 5999; t += 16) music.poll(t);
    EXPECT_EQ(asked, 1);
    music.poll(6000);
    EXPECT_EQ(asked, 2);
    lockFree = true;
    music.poll(6500);
    EXPECT_EQ(started, 0);
    music.poll(7000);
    EXPECT_EQ(started, 1);
    EXPECT_TRUE(music.playing());
    // Playing: never asked or started again.
    for (uint32_t t = 7000; t < 20000; t += 500) music.poll(t);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(started, 1);
}

TEST(SharedMusic, AFreeLockPlaysAtOnceAndTheTimerMayWrap) {
    int started = 0;
    SharedMusic atOnce([] { return true; }, [&] { ++started; });
    atOnce.begin(0);
    EXPECT_EQ(started, 1);

    int asked = 0;
    SharedMusic wrapping([&] { return ++asked, false; }, [] {});
    wrapping.begin(0xFFFFFF00u);
    wrapping.poll(0x00000010u);  // 272 ms later, past the wrap
    EXPECT_EQ(asked, 1);
    wrapping.poll(0x00000300u);  // 1024 ms later
    EXPECT_EQ(asked, 2);
    // Polls before begin() (music off) never ask.
    int never = 0;
    SharedMusic off([&] { return ++never, true; }, [] {});
    off.poll(100000);
    EXPECT_EQ(never, 0);
}

}  // namespace
}  // namespace hg
