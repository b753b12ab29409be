// The music's loop: stb_vorbis's samples start over at the end of the stream with nothing lost or
// doubled at the seam, whatever the sizes of the pieces asked for; and the level scales them.
#include <gtest/gtest.h>

#include <vector>

#include "platform/platform.h"
#include "platform/win32/looping_vorbis.h"

namespace hg {
namespace {

using platform::win32::LoopingVorbis;

// A quarter second of a rising stereo tone (sox: synth 0.25 sine 300-900), so that no two places
// of one pass sound the same.
std::vector<uint8_t> tone() {
    const auto bytes = platform::programResource("TestData", 201);
    return {bytes.begin(), bytes.end()};
}

TEST(LoopingVorbis, StartsOverAtTheEndWithoutAGapOrARepeat) {
    LoopingVorbis once;
    ASSERT_TRUE(once.open(tone()));
    ASSERT_EQ(once.channels(), 2);
    EXPECT_EQ(once.sampleRate(), 44100u);
    // One whole pass, read in one piece: its length is where the second pass begins.
    std::vector<int16_t> pass(44100 * 2);
    const int length = 11025;
    ASSERT_EQ(once.read(pass, length), length);

    LoopingVorbis looping;
    ASSERT_TRUE(looping.open(tone()));
    std::vector<int16_t> played;
    std::vector<int16_t> piece(4096 * 2);
    for (int size : {1000, 4096, 7, 3333, 4096, 4096, 4096, 4096, 2500, 4096, 4096}) {
        ASSERT_EQ(looping.read(piece, size), size);
        played.insert(played.end(), piece.begin(), piece.begin() + size * 2);
    }
    ASSERT_GT(played.size(), static_cast<size_t>(3 * length * 2));
    int wrong = 0;
    for (size_t i = 0; i < played.size(); ++i) wrong += played[i] != pass[i % (length * 2)];
    EXPECT_EQ(wrong, 0) << "samples that differ from the first pass at the same place of the loop";
    // The tone is there at all: not a stream of zeros.
    int loud = 0;
    for (int16_t v : pass) loud += v > 8000 || v < -8000;
    EXPECT_GT(loud, 1000);
}

TEST(LoopingVorbis, RefusesWhatIsNoVorbisStream) {
    LoopingVorbis music;
    EXPECT_FALSE(music.open({}));
    LoopingVorbis junk;
    EXPECT_FALSE(junk.open(std::vector<uint8_t>(4096, 0x4f)));
    std::vector<int16_t> out(100);
    EXPECT_EQ(junk.read(out, 50), 0);
    auto cut = tone();
    cut.resize(200);  // the headers cut short
    LoopingVorbis shortened;
    EXPECT_FALSE(shortened.open(cut));
}

TEST(LoopingVorbis, TheLevelScalesEverySampleLinearly) {
    std::vector<int16_t> samples = {32767, -32768, 1000, -1000, 1, 0};
    platform::win32::scaleSamples(samples, 64, 128);
    EXPECT_EQ(samples, (std::vector<int16_t>{16383, -16384, 500, -500, 0, 0}));
    platform::win32::scaleSamples(samples, 0, 128);
    EXPECT_EQ(samples, std::vector<int16_t>(6, 0));
}

}  // namespace
}  // namespace hg
