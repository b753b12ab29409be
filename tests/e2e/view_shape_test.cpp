// The same view on a 16:9 and a 4:3 screen: nothing is stretched. The room keeps the flights'
// vertical field of view and shows more at the sides; the clock and the countdown keep their size
// and shape in their corners.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "e2e/child_process.h"
#include "png_reader.h"
#include "test_support.h"

namespace hg {
namespace {

std::optional<test::Picture> shoot(const test::ScratchDir& dir, const std::string& size, const std::string& extra) {
    std::filesystem::create_directories(dir / "config/hearthglow");
    test::writeText(dir / "config/hearthglow/settings.conf", "Enable music: 0\nClock: 1\nGamma: 3\n");
    const std::string file = "shape-" + size + ".png";
    const auto result = test::runIn(dir.path(), "XDG_CONFIG_HOME='" + (dir / "config").string() + "' " + test::hearthglowBinary() +
                                                    " --window " + size + " --fixed-step 4 --clock 2026-12-20T21:30:00 " + extra +
                                                    " --screenshot " + file);
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    return test::readPng((dir / file).string());
}

test::Picture crop(const test::Picture& picture, int x, int width) {
    test::Picture part{width, picture.height, {}};
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.at(x, y);
        part.rgb.insert(part.rgb.end(), row, row + width * 3);
    }
    return part;
}

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

// The lit pixels' bounding box inside a region: on black, that is the overlay's lettering.
Box litBox(const test::Picture& picture, int x0, int y0, int x1, int y1) {
    Box box;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = picture.at(x, y);
            if (std::max({p[0], p[1], p[2]}) <= 64) continue;
            box.left = std::min(box.left, x), box.right = std::max(box.right, x);
            box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
        }
    return box;
}

struct WideScreen : ::testing::Test {
    test::ScratchDir dir;
    void SetUp() override {
        if (!test::haveDisplay()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    }
};

TEST_F(WideScreen, TheWideRoomIsTheNarrowOneWithMoreAtTheSides) {
    // The fire flight at the mantel: logs, bricks, stockings and the clock.
    const std::string view = "--seed 8 --frames 60 --no-overlay";
    const auto narrow = shoot(dir, "960x720", view);
    const auto wide = shoot(dir, "1280x720", view);
    ASSERT_TRUE(narrow && wide);
    // With the same vertical field of view the 4:3 picture is the middle of the 16:9 one. A
    // projection stretched to the window would scale the middle by 4/3 and differ nearly everywhere;
    // the flames' particles differ a little either way.
    const test::Picture middle = crop(*wide, 160, 960);
    const int changed = test::changedPixels(*narrow, middle, 24);
    EXPECT_LT(changed, 960 * 720 * 3 / 100) << changed << " of " << 960 * 720 << " pixels differ";
    EXPECT_GT(wide->meanLevel(0, 0, 160, 720), 10.0) << "the sides show the room too";
}

TEST_F(WideScreen, TheClockAndTheCountdownKeepTheirSizeInTheirCorners) {
    const auto narrow = shoot(dir, "960x720", "--frames 30 --no-room");
    const auto wide = shoot(dir, "1280x720", "--frames 30 --no-room");
    ASSERT_TRUE(narrow && wide);
    // The clock in the lower right corner, the countdown in the lower left.
    const Box clockNarrow = litBox(*narrow, 480, 540, 960, 720), clockWide = litBox(*wide, 640, 540, 1280, 720);
    const Box countNarrow = litBox(*narrow, 0, 540, 480, 720), countWide = litBox(*wide, 0, 540, 640, 720);
    ASSERT_GT(clockNarrow.width(), 50);
    ASSERT_GT(countNarrow.width(), 100);
    for (const auto& [a, b] : {std::pair{clockNarrow, clockWide}, std::pair{countNarrow, countWide}}) {
        EXPECT_NEAR(a.width(), b.width(), 3);
        EXPECT_NEAR(a.height(), b.height(), 2);
        EXPECT_NEAR(a.top, b.top, 2);
    }
    // Anchored to their edges: the same margins.
    EXPECT_NEAR(960 - clockNarrow.right, 1280 - clockWide.right, 2);
    EXPECT_NEAR(countNarrow.left, countWide.left, 2);
}

}  // namespace
}  // namespace hg
