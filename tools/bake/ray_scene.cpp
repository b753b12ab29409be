#include "bake/ray_scene.h"

#include <embree3/rtcore.h>

#include <cstring>
#include <limits>

#include "bake/error.h"

namespace hg::bake::room {

namespace {

RTCRay rayOf(Float3 from, Float3 direction, float distance) {
    RTCRay ray{};
    ray.org_x = from.x, ray.org_y = from.y, ray.org_z = from.z;
    ray.dir_x = direction.x, ray.dir_y = direction.y, ray.dir_z = direction.z;
    ray.tnear = 0.0f;
    ray.tfar = distance;
    ray.mask = std::numeric_limits<unsigned>::max();
    ray.flags = 0;
    ray.time = 0.0f;
    return ray;
}

}  // namespace

RayScene::RayScene() {
    // One build thread: the scene's structure, and so any tie between equally near faces, is the
    // same on every run.
    device_ = rtcNewDevice("threads=1,set_affinity=0");
    if (!device_) throw BakeError("the ray tracer cannot start");
    scene_ = rtcNewScene(device_);
    rtcSetSceneBuildQuality(scene_, RTC_BUILD_QUALITY_HIGH);
}

RayScene::~RayScene() {
    if (scene_) rtcReleaseScene(scene_);
    if (device_) rtcReleaseDevice(device_);
}

int RayScene::add(const std::vector<Float3>& positions, const std::vector<std::array<uint32_t, 3>>& faces) {
    RTCGeometry mesh = rtcNewGeometry(device_, RTC_GEOMETRY_TYPE_TRIANGLE);
    // The buffers are padded as the ray tracer asks (it may read 16 bytes past the last vertex).
    auto* vertices = static_cast<float*>(
        rtcSetNewGeometryBuffer(mesh, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3, 3 * sizeof(float), std::max<size_t>(positions.size(), 1)));
    auto* indices = static_cast<unsigned*>(
        rtcSetNewGeometryBuffer(mesh, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3, 3 * sizeof(unsigned), std::max<size_t>(faces.size(), 1)));
    if (!vertices || !indices) throw BakeError("the ray tracer is out of memory");
    for (size_t i = 0; i < positions.size(); ++i) {
        vertices[3 * i] = positions[i].x, vertices[3 * i + 1] = positions[i].y, vertices[3 * i + 2] = positions[i].z;
    }
    if (positions.empty()) std::memset(vertices, 0, 3 * sizeof(float));
    for (size_t f = 0; f < faces.size(); ++f)
        for (size_t k = 0; k < 3; ++k) {
            if (faces[f][k] >= positions.size()) throw BakeError("a face names a corner its mesh does not have");
            indices[3 * f + k] = faces[f][k];
        }
    // An empty mesh still takes its number, as one degenerate face at the origin.
    if (faces.empty()) std::memset(indices, 0, 3 * sizeof(unsigned));
    rtcCommitGeometry(mesh);
    const unsigned id = rtcAttachGeometry(scene_, mesh);
    rtcReleaseGeometry(mesh);
    if (static_cast<int>(id) != meshes_) throw BakeError("the ray tracer numbered a mesh out of order");
    return meshes_++;
}

void RayScene::commit() { rtcCommitScene(scene_); }

bool RayScene::blocked(Float3 from, Float3 to) const {
    const Float3 d = to - from;
    const float distance = length(d);
    if (distance < 1e-4f) return false;
    // Both ends are on surfaces (or on a light): a little is left off each.
    return blockedAlong(from, d * (1.0f / distance), distance * 0.999f);
}

bool RayScene::blockedAlong(Float3 from, Float3 direction, float distance) const {
    RTCIntersectContext context;
    rtcInitIntersectContext(&context);
    RTCRay ray = rayOf(from, direction, distance);
    ray.tnear = 0.02f;
    rtcOccluded1(scene_, &context, &ray);
    return ray.tfar < 0.0f;
}

std::optional<RayScene::Hit> RayScene::first(Float3 from, Float3 direction, float distance) const {
    RTCIntersectContext context;
    rtcInitIntersectContext(&context);
    RTCRayHit query{};
    query.ray = rayOf(from, direction, distance);
    query.ray.tnear = 0.02f;
    query.hit.geomID = RTC_INVALID_GEOMETRY_ID;
    query.hit.primID = RTC_INVALID_GEOMETRY_ID;
    query.hit.instID[0] = RTC_INVALID_GEOMETRY_ID;
    rtcIntersect1(scene_, &context, &query);
    if (query.hit.geomID == RTC_INVALID_GEOMETRY_ID) return std::nullopt;
    Hit hit;
    hit.mesh = static_cast<int>(query.hit.geomID);
    hit.face = query.hit.primID;
    hit.u = query.hit.u, hit.v = query.hit.v;
    hit.distance = query.ray.tfar;
    // The geometric normal follows the winding (v1 - v0) × (v2 - v0): facing the ray, it is the front.
    hit.front = query.hit.Ng_x * direction.x + query.hit.Ng_y * direction.y + query.hit.Ng_z * direction.z < 0.0f;
    return hit;
}

}  // namespace hg::bake::room
