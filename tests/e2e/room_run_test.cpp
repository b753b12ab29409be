// The whole room end to end: the real program flies each recorded camera; every picture shows a
// lit, varied room, and the fallbacks for weak drivers (no vertex buffers, no occlusion queries)
// draw the same picture as the full path.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "png_reader.h"
#include "render/camera.h"
#include "test_support.h"

namespace hg {
namespace {

constexpr int kFlights = 5;

// The first flight a seed picks, found with the real cycle over five stand-in flights.
std::map<size_t, uint32_t> seedForEachOpeningFlight() {
    std::map<size_t, uint32_t> seeds;
    for (uint32_t seed = 1; seed < 200 && seeds.size() < kFlights - 1; ++seed) {
        CameraSet set;
        for (int i = 0; i < kFlights; ++i) {
            Camera camera;
            camera.keyPositions.assign(3, Vec3{0, 0, 0});
            camera.keyOrientations.assign(3, Quaternion::identity());
            camera.keyFieldsOfView.assign(3, 1.2f);
            set.add(std::move(camera));
        }
        set.startCycle([seed] { return seed; });
        seeds.try_emplace(set.currentIndex(), seed);
    }
    return seeds;
}

struct Shot {
    uint32_t seed = 1;
    float step = 4.0f;
    int frames = 60;
    std::string extra;
};

std::optional<test::Picture> shoot(const test::ScratchDir& dir, const Shot& shot) {
    const std::string file = "room_" + std::to_string(shot.seed) + "_" + std::to_string(shot.frames) +
                             (shot.extra.empty() ? "" : "_" + shot.extra.substr(2)) + ".png";
    const std::string command = "HEARTHGLOW_MESSAGES=stderr XDG_CONFIG_HOME='" + (dir / "config").string() + "' " +
                                test::hearthglowBinary() + " --window 320x240 --clock 2026-12-20T20:00:00 --seed " +
                                std::to_string(shot.seed) + " --fixed-step " + std::to_string(shot.step) +
                                " --frames " + std::to_string(shot.frames) + " " + shot.extra + " --screenshot " + file;
    const auto result = test::runIn(dir.path(), command);
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(result.standardError.find("Error"), std::string::npos) << result.standardError;
    return test::readPng((dir / file).string());
}

// Lit and varied: the room, not a black, a fogged or a single-coloured frame.
void expectRoom(const test::Picture& picture, const std::string& what) {
    EXPECT_GT(picture.meanLevel(), 30.0) << what;
    double sum = 0, squares = 0;
    const int pixels = picture.width * picture.height;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const double level = picture.meanLevel(x, y, x + 1, y + 1);
            sum += level;
            squares += level * level;
        }
    const double mean = sum / pixels;
    EXPECT_GT(std::sqrt(squares / pixels - mean * mean), 20.0) << what << ": too uniform";
    // Not given over to one colour.
    std::map<int, int> colours;
    for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3)
        ++colours[(picture.rgb[i] >> 4) << 8 | (picture.rgb[i + 1] >> 4) << 4 | picture.rgb[i + 2] >> 4];
    int largest = 0;
    for (const auto& [colour, count] : colours) largest = std::max(largest, count);
    EXPECT_GT(colours.size(), 150u) << what;
    EXPECT_LT(largest, pixels / 2) << what;  // the night sky through a window may fill a third
}

TEST(RoomRun, EveryOpeningFlightShowsTheRoomAndTheFallbacksDrawTheSamePicture) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::ScratchDir dir;
    const auto seeds = seedForEachOpeningFlight();
    ASSERT_EQ(seeds.size(), size_t{kFlights - 1}) << "the last flight never opens a cycle";
    std::vector<test::Picture> openings;
    for (const auto& [flight, seed] : seeds) {
        const std::string what = "flight " + std::to_string(flight) + " (seed " + std::to_string(seed) + ")";
        const auto full = shoot(dir, {seed, 4.0f, 60, ""});
        const auto noBuffers = shoot(dir, {seed, 4.0f, 60, "--no-vbo"});
        const auto noQueries = shoot(dir, {seed, 4.0f, 60, "--no-occlusion"});
        const auto twoPasses = shoot(dir, {seed, 4.0f, 60, "--no-multitexture"});
        ASSERT_TRUE(full && noBuffers && noQueries && twoPasses) << what;
        expectRoom(*full, what);
        // Same camera, same particles: the pictures agree. Query results arrive a frame late, and the
        // train only runs while it is drawn, so without queries it may stand a little further on.
        const int pixels = full->width * full->height;
        EXPECT_LT(test::changedPixels(*full, *noBuffers, 24), pixels / 200) << what << " without vertex buffers";
        EXPECT_LT(test::changedPixels(*full, *noQueries, 24), pixels / 40) << what << " without occlusion queries";
        // Lightmaps on a second texture unit or in a blended pass of their own: rounding apart, one picture.
        EXPECT_LT(test::changedPixels(*full, *twoPasses, 8), pixels / 200) << what << " with lightmaps in a pass of their own";
        openings.push_back(*full);
    }
    // Each flight frames something else.
    for (size_t a = 0; a < openings.size(); ++a)
        for (size_t b = a + 1; b < openings.size(); ++b)
            EXPECT_GT(test::changedPixels(openings[a], openings[b], 24), openings[a].width * openings[a].height / 3)
                << a << " and " << b;
}

// At a large fixed step one key passes per frame: four flights of 300 keys bring the last one,
// which only ever follows the others; the cross-fades between flights come and go on the way.
// The driver is asked for errors after every pass of the way, and has none to give.
TEST(RoomRun, AWholeCycleReachesTheLastFlightWithoutAnOpenGLError) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    test::ScratchDir dir;
    const uint32_t seed = seedForEachOpeningFlight().begin()->second;
    const auto last = shoot(dir, {seed, 20.0f, 4 * 298 + 60, "--gl-check"});
    ASSERT_TRUE(last);
    expectRoom(*last, "the last flight");
    const auto log = test::readLines(dir / "Log.txt");
    for (const std::string& line : log) EXPECT_EQ(line.rfind("OpenGL error ", 0), std::string::npos) << line;
    EXPECT_NE(std::find(log.begin(), log.end(), "OpenGL errors: 0"), log.end());
    const auto opening = shoot(dir, {seed, 20.0f, 60, ""});
    ASSERT_TRUE(opening);
    EXPECT_GT(test::changedPixels(*opening, *last, 24), last->width * last->height / 3);
}

}  // namespace
}  // namespace hg
