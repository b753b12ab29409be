#pragma once
// The music of all of one user's screensavers. XScreenSaver starts one process per monitor and
// only the one holding the shared lock plays. A silent one asks again about once a second: a host
// starts the next saver just after it told the old one to end, and the old one lets the lock go
// as it ends.
#include <cstdint>
#include <functional>

namespace hg {

class SharedMusic {
public:
    static constexpr uint32_t kRetryMilliseconds = 1000;

    // `tryLock` takes the lock without waiting; `start` starts the music (once, when it is taken).
    SharedMusic(std::function<bool()> tryLock, std::function<void()> start)
        : tryLock_(std::move(tryLock)), start_(std::move(start)) {}

    // Plays at once when the lock is free.
    void begin(uint32_t nowMilliseconds);
    // Called every frame: while silent, asks for the lock again once a second.
    void poll(uint32_t nowMilliseconds);
    bool playing() const { return playing_; }

private:
    void attempt(uint32_t nowMilliseconds);

    std::function<bool()> tryLock_;
    std::function<void()> start_;
    bool begun_ = false;
    bool playing_ = false;
    uint32_t lastAttempt_ = 0;
};

}  // namespace hg
