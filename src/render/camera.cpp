#include "render/camera.h"

#include "core/random.h"
#include "gl/gl.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace hg {
namespace {

Vec3 lerp(const Vec3& a, const Vec3& b, float t) { return a + (b - a) * t; }

}  // namespace

float projectionAspect(float viewAspect) {
    if (!(viewAspect > 0.0f) || !std::isfinite(viewAspect)) return 1.33f;
    return std::fabs(viewAspect - 4.0f / 3.0f) < 0.005f ? 1.33f : viewAspect;
}

void CameraSet::add(Camera camera) {
    initialise(camera);
    cameras_.push_back(std::move(camera));
}

void CameraSet::initialise(Camera& camera) {
    if (camera.keyCount() > 0) {
        camera.position = camera.keyPositions[0];
        camera.up = {0, 1, 0};
        camera.viewDirection = {1, 0, 0};
        camera.fieldOfView = 45.0f;
        camera.orientation = camera.keyOrientations[0];
        camera.fieldOfView = camera.keyFieldsOfView[0] * kFovToDegrees;
    }
    segmentT = 0.0f;
}

void CameraSet::fillCycle() {
    cycle_.clear();
    for (size_t i = 0; i < cameras_.size(); ++i) cycle_.push_back(static_cast<uint32_t>(i));
    seedRandom(seed_ ? seed_() : 0u);
}

// The last entry of the list is never picked while others remain.
void CameraSet::pick() {
    if (cycle_.empty()) {
        currentIndex_ = 0;
        return;
    }
    const size_t at = cycle_.size() == 1 ? 0 : static_cast<size_t>(nextRandom()) % (cycle_.size() - 1);
    currentIndex_ = cycle_[at];
    cycle_.erase(cycle_.begin() + static_cast<long>(at));
    if (currentIndex_ >= cameras_.size()) currentIndex_ = 0;
}

void CameraSet::startCycle(SeedSource seed) {
    seed_ = std::move(seed);
    fillCycle();
    pick();
}

void CameraSet::nextCamera() {
    if (cameras_.empty()) return;
    current().finished = false;
    pick();
    if (cycle_.empty()) fillCycle();
    restart(current());
    update(0.0f);
}

void CameraSet::restart(Camera& camera) {
    camera.keyIndex = 0;
    if (camera.keyCount() == 0) return;
    camera.position = camera.keyPositions[0];
    camera.orientation = camera.keyOrientations[0];
    camera.fieldOfView = camera.keyFieldsOfView[0] * kFovToDegrees;
}

void updateCamera(Camera& camera, float& t, float frameStep, bool& snapshotPending) {
    const int32_t n = camera.keyCount();
    if (n == 0) {
        camera.finished = true;
        return;
    }
    int32_t i = std::clamp(camera.keyIndex, 0, n - 1);
    const int32_t j = std::min(i + 1, n - 1);
    camera.position = lerp(camera.keyPositions[i], camera.keyPositions[j], t);
    camera.orientation = slerp(camera.keyOrientations[i], camera.keyOrientations[j], t);
    camera.fieldOfView = ((1.0f - t) * camera.keyFieldsOfView[i] + t * camera.keyFieldsOfView[j]) * kFovToDegrees;

    t += frameStep * 0.075f;
    if (t > 1.0f) {
        t = 0.0f;
        i += 1;
        if (n == i + 3) snapshotPending = true;
    } else if (t == 0.0f && n == i + 3) {
        snapshotPending = true;
    }
    if (i >= n - 2) {
        // Only keys 0 .. n-2 are flown; the last one just ends the interpolation.
        i = 0;
        camera.position = camera.keyPositions[0];
        t = 0.0f;
        camera.orientation = camera.keyOrientations[0];
        camera.finished = true;
        camera.fieldOfView = camera.keyFieldsOfView[0] * kFovToDegrees;
    }
    camera.keyIndex = i;
    camera.viewDirection = rotate(camera.orientation, {0, 0, -1});
    camera.up = rotate(camera.orientation, {0, 1, 0});
}

void CameraSet::update(float frameStep) {
    if (cameras_.empty()) return;
    updateCamera(current(), segmentT, frameStep, snapshotPending);
}

void CameraSet::apply() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const Camera* camera = cameras_.empty() ? nullptr : &current();
    gluPerspective(camera ? camera->fieldOfView : 45.0f, aspect, 1.0, 3000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (camera) {
        const Vec3 eye = camera->position, centre = camera->position + camera->viewDirection, up = camera->up;
        gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
    }
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    frustum_ = Frustum::fromOpenGL();
}

}  // namespace hg
