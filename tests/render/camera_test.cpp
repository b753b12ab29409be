#include "render/camera.h"

#include <gtest/gtest.h>

#include <cstring>

#include "scene/binary_reader.h"

namespace hg {
namespace {

Camera straightFlight(int keys) {
    Camera camera;
    for (int i = 0; i < keys; ++i) {
        camera.keyPositions.push_back({static_cast<float>(i) * 10.0f, 0, 100});
        camera.keyOrientations.push_back(Quaternion::identity());
        camera.keyFieldsOfView.push_back(1.309f);
    }
    return camera;
}

TEST(Camera, AFlightOfNKeysTakesNMinusTwoSegmentsAndAsksForTheSnapshotAtTheLastOne) {
    Camera camera = straightFlight(10);
    float t = 0.0f;
    bool snapshot = false;
    int updates = 0;
    int snapshotAt = -1;
    // 0.075 * step 1 per update: a segment ends after 14 updates (t must exceed 1).
    while (!camera.finished && updates < 1000) {
        updateCamera(camera, t, 1.0f, snapshot);
        ++updates;
        if (snapshot && snapshotAt < 0) snapshotAt = updates;
    }
    EXPECT_EQ(updates, 8 * 14);
    EXPECT_EQ(snapshotAt, 7 * 14) << "the snapshot comes as the last segment (keys 7 to 8) begins";
    EXPECT_EQ(camera.keyIndex, 0);
    EXPECT_FLOAT_EQ(camera.position.x, 0.0f);
    EXPECT_FLOAT_EQ(camera.fieldOfView, 1.309f * kFovToDegrees);
    EXPECT_NEAR(camera.fieldOfView, 37.5f, 0.01f);
}

TEST(Camera, InterpolatesPositionAndLooksDownMinusZ) {
    Camera camera = straightFlight(5);
    float t = 0.5f;
    bool snapshot = false;
    updateCamera(camera, t, 0.0f, snapshot);
    EXPECT_FLOAT_EQ(camera.position.x, 5.0f);
    EXPECT_NEAR(camera.viewDirection.z, -1.0f, 1e-6f);
    EXPECT_NEAR(camera.up.y, 1.0f, 1e-6f);
}

TEST(Camera, TwoKeysOrFewerEndAtOnce) {
    for (int keys : {1, 2}) {
        Camera camera = straightFlight(keys);
        float t = 0.0f;
        bool snapshot = false;
        updateCamera(camera, t, 1.0f, snapshot);
        EXPECT_TRUE(camera.finished) << keys;
        EXPECT_EQ(t, 0.0f);
    }
}

TEST(CameraSet, HighestIndexOfAFreshCycleIsFlownLast) {
    for (uint32_t seed : {1u, 2u, 3u, 77u, 12345u}) {
        // Third flight of the first cycle.
        CameraSet fresh;
        for (int i = 0; i < 3; ++i) fresh.add(straightFlight(4));
        fresh.startCycle([seed] { return seed; });
        std::vector<size_t> flown{fresh.currentIndex()};
        for (int k = 0; k < 2; ++k) {
            fresh.nextCamera();
            flown.push_back(fresh.currentIndex());
        }
        EXPECT_EQ(flown.back(), 2u) << "seed " << seed;
        EXPECT_EQ(fresh.cycle().size(), 3u) << "an emptied cycle is refilled at once";
        std::sort(flown.begin(), flown.end());
        EXPECT_EQ(flown, (std::vector<size_t>{0, 1, 2})) << "every camera once per cycle";
    }
}

TEST(Camera, StoredKeysAreReadConjugatedAndDamageIsRefused) {
    std::vector<uint8_t> bytes;
    auto putInt = [&](int32_t v) { bytes.insert(bytes.end(), reinterpret_cast<uint8_t*>(&v), reinterpret_cast<uint8_t*>(&v) + 4); };
    auto putFloat = [&](float v) { bytes.insert(bytes.end(), reinterpret_cast<uint8_t*>(&v), reinterpret_cast<uint8_t*>(&v) + 4); };
    putInt(1);
    for (float v : {1.0f, 2.0f, 3.0f}) putFloat(v);
    for (float v : {0.1f, 0.2f, 0.3f, 0.9f}) putFloat(v);
    putFloat(1.0f);
    BinaryReader reader(bytes);
    Camera camera;
    ASSERT_TRUE(readCamera(reader, camera));
    EXPECT_FLOAT_EQ(camera.keyOrientations[0].x, -0.1f);
    EXPECT_FLOAT_EQ(camera.keyOrientations[0].w, 0.9f);
    EXPECT_TRUE(reader.atEnd());

    // A count far larger than the file: refused without allocating.
    std::vector<uint8_t> lying = {0xff, 0xff, 0xff, 0x7f, 0, 0, 0, 0};
    BinaryReader bad(lying);
    Camera none;
    EXPECT_FALSE(readCamera(bad, none));
    EXPECT_EQ(none.keyCount(), 0);
}

}  // namespace
}  // namespace hg
