#pragma once
// The recorded camera flights: each flies its keyframe path once, asks for a cross-fade snapshot
// as its last segment begins, and hands over to a flight picked at random from those not yet
// flown in this cycle.
#include <cstdint>
#include <functional>
#include <vector>

#include "scene/camera.h"
#include "scene/math.h"

namespace hg {

class CameraSet {
public:
    // Where the random generator gets its seed at the start of every cycle.
    using SeedSource = std::function<uint32_t()>;

    CameraSet() = default;
    // The scene's flights, each set at its first key.
    explicit CameraSet(const std::vector<Camera>& cameras) {
        for (const Camera& camera : cameras) add(camera);
    }

    void add(Camera camera);
    void startCycle(SeedSource seed);
    // The flight change, once the current camera has finished.
    void nextCamera();
    void restart(Camera& camera);
    // Advances the current flight by one frame step.
    void update(float frameStep);
    // Projection, view and the shared frustum for the current camera.
    void apply();

    bool empty() const { return cameras_.empty(); }
    size_t size() const { return cameras_.size(); }
    Camera& current() { return cameras_[currentIndex_]; }
    const Camera& current() const { return cameras_[currentIndex_]; }
    size_t currentIndex() const { return currentIndex_; }
    const std::vector<uint32_t>& cycle() const { return cycle_; }
    const Frustum& frustum() const { return frustum_; }
    const SeedSource& seedSource() const { return seed_; }

    float segmentT = 0.0f;
    bool snapshotPending = false;
    // The view's width over height. The vertical field of view is the flight's own, so a wider
    // view shows more of the room at the sides and nothing is stretched.
    float aspect = 1.33f;

private:
    void fillCycle();
    void pick();
    void initialise(Camera& camera);

    std::vector<Camera> cameras_;
    std::vector<uint32_t> cycle_;
    size_t currentIndex_ = 0;
    SeedSource seed_;
    Frustum frustum_;
};

// The projection's width over height for a view of that shape. The flights were framed for 4:3
// screens with 1.33; a view within half a percent of 4:3 keeps exactly that framing.
float projectionAspect(float viewAspect);

// The flight's interpolation without OpenGL, for the update and for tests.
void updateCamera(Camera& camera, float& segmentT, float frameStep, bool& snapshotPending);

}  // namespace hg
