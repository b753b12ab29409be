#include "scene/camera.h"

#include "scene/binary_reader.h"

namespace hg {

bool readCamera(BinaryReader& reader, Camera& camera) {
    const int32_t count = reader.readInt32();
    // Positions, orientations and fields of view: 8 floats per key must still fit in the file.
    if (!reader.canHold(count, 8 * 4)) return false;
    camera.keyPositions.resize(static_cast<size_t>(count));
    camera.keyOrientations.resize(static_cast<size_t>(count));
    camera.keyFieldsOfView.resize(static_cast<size_t>(count));
    for (Vec3& p : camera.keyPositions) p = {reader.readFloat(), reader.readFloat(), reader.readFloat()};
    for (Quaternion& q : camera.keyOrientations) {
        q = {reader.readFloat(), reader.readFloat(), reader.readFloat(), reader.readFloat()};
        q = q.conjugate();
    }
    for (float& fov : camera.keyFieldsOfView) fov = reader.readFloat();
    return reader.ok();
}

}  // namespace hg
