#include "core/log.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace hg {
namespace {

TEST(Log, ValuesUseDefaultStreamFormatting) {
    test::ScratchDir dir;
    Log log;
    log.open((dir / "Log.txt").string());
    log.writeLine("Fps: ", 59.9998f);
    log.writeLine("Min fps: ", 10000.0f);
    log.writeLine("Old Gamma: ", 0.999876);
    log.writeLine("Max Texture Units: ", 8);
    log.writeLine("New Gamma: ", 1.0f);
    // Every line is on disk before the next step runs.
    EXPECT_EQ(test::readText(dir / "Log.txt"),
              "Fps: 59.9998\nMin fps: 10000\nOld Gamma: 0.999876\nMax Texture Units: 8\nNew Gamma: 1\n");
    log.close();
    log.writeLine("after close");
    EXPECT_EQ(test::readLines(dir / "Log.txt").size(), 5u);
}

TEST(Log, SecondOpenStartsAFreshFile) {
    test::ScratchDir dir;
    {
        Log first;
        first.open((dir / "Log.txt").string());
        first.writeLine("first start");
    }
    Log second;
    second.open((dir / "Log.txt").string());
    second.writeLine("second start");
    EXPECT_EQ(test::readText(dir / "Log.txt"), "second start\n");
}

TEST(Log, UnwritablePlaceIsSilent) {
    test::ScratchDir dir;
    Log log;
    log.open((dir / "missing-folder/Log.txt").string());
    EXPECT_FALSE(log.isOpen());
    log.writeLine("nothing happens");
    log.writeLine("value ", 3);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing-folder"));
}

}  // namespace
}  // namespace hg
