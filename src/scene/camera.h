#pragma once
// One recorded camera flight as the scene file stores it: per key a position, an orientation and
// a field of view; and where the flight stands now (the renderer's CameraSet flies it).
#include <cstdint>
#include <vector>

#include "scene/math.h"

namespace hg {

class BinaryReader;

// Radians of the stored field of view to the vertical field of view in degrees (about 90/pi).
inline constexpr float kFovToDegrees = 28.648735f;

struct Camera {
    Vec3 position{0, 0, 0};
    Vec3 up{0, 1, 0};
    Vec3 viewDirection{1, 0, 0};
    Quaternion orientation = Quaternion::identity();
    float fieldOfView = 45.0f;

    std::vector<Vec3> keyPositions;
    std::vector<Quaternion> keyOrientations;
    std::vector<float> keyFieldsOfView;
    int32_t keyIndex = 0;
    bool finished = false;

    int32_t keyCount() const { return static_cast<int32_t>(keyPositions.size()); }
};

// Reads one camera's stored keys (count, positions, orientations, fields of view); the stored
// orientations are kept conjugated, as the flight uses them.
bool readCamera(BinaryReader& reader, Camera& camera);

}  // namespace hg
