#pragma once
// Modelling kit: triangle shapes built from primitives (bevelled boxes, cylinders and cones,
// spheres, tori, lathes, extrusions, sweeps), moved and merged, then given per-corner normals by
// smoothing across edges flatter than a crease angle, and UVs by planar, box or cylindrical
// projection.
//
// Units are model units (1 = 1 cm), z is up. Faces wind counter-clockwise seen from outside.
#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace hg::bake {

struct Float3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    Float3 operator+(Float3 o) const { return {x + o.x, y + o.y, z + o.z}; }
    Float3 operator-(Float3 o) const { return {x - o.x, y - o.y, z - o.z}; }
    Float3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Float3 operator-() const { return {-x, -y, -z}; }
    bool operator==(const Float3&) const = default;
};

inline float dot(Float3 a, Float3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Float3 cross(Float3 a, Float3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float length(Float3 a) { return std::sqrt(dot(a, a)); }
// The unit vector along `a`; a vector too short to have a direction becomes zero.
Float3 normalized(Float3 a);
// Two unit vectors at right angles to the unit vector `axis` and to each other (u, v, axis turn
// the right way round).
void orthonormalBasis(Float3 axis, Float3& u, Float3& v);
inline Float3 lerp(Float3 a, Float3 b, float t) { return a + (b - a) * t; }

struct Float2 {
    float u = 0.0f;
    float v = 0.0f;
    bool operator==(const Float2&) const = default;
};

// An affine transform, row-major 3x4 (points are column vectors).
struct Transform {
    std::array<float, 12> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};

    static Transform translate(Float3 t);
    static Transform scale(Float3 s);
    static Transform scale(float s) { return scale({s, s, s}); }
    // `radians` about a unit axis through the origin, right-handed.
    static Transform rotate(Float3 axis, float radians);
    static Transform rotateX(float radians) { return rotate({1, 0, 0}, radians); }
    static Transform rotateY(float radians) { return rotate({0, 1, 0}, radians); }
    static Transform rotateZ(float radians) { return rotate({0, 0, 1}, radians); }
    // A frame: the unit z axis goes to `up`, x to `side` (made perpendicular), origin to `origin`.
    static Transform frame(Float3 origin, Float3 up, Float3 side);

    // This transform after `first`: (a * b)(p) = a(b(p)).
    Transform operator*(const Transform& first) const;
    Float3 point(Float3 p) const;
    Float3 vector(Float3 v) const;
    // A direction transformed as a surface normal (inverse transpose), normalised.
    Float3 normal(Float3 n) const;
};

// A triangle list over shared positions, with per-corner UVs and normals.
struct Shape {
    std::vector<Float3> positions;
    std::vector<std::array<uint32_t, 3>> faces;
    std::vector<std::array<Float2, 3>> uvs;      // one per face corner
    std::vector<std::array<Float3, 3>> normals;  // one per face corner

    size_t triangleCount() const { return faces.size(); }
    // Adds a triangle over existing positions; its normals are the face normal until smoothed.
    void addFace(uint32_t a, uint32_t b, uint32_t c, Float2 ua = {}, Float2 ub = {}, Float2 uc = {});
    // Adds a quad a-b-c-d (counter-clockwise) as two triangles.
    void addQuad(uint32_t a, uint32_t b, uint32_t c, uint32_t d, Float2 ua = {}, Float2 ub = {}, Float2 uc = {},
                 Float2 ud = {});
    uint32_t addPosition(Float3 p);
    Float3 faceNormal(size_t face) const;
    float faceArea(size_t face) const;
    // The smallest box holding every position: {min, max}.
    std::array<Float3, 2> bounds() const;
};

// Copies `part` into `into` (positions, faces, UVs and normals).
void merge(Shape& into, const Shape& part);
Shape merged(std::span<const Shape> parts);
// Moves every position; normals follow as surface normals. A mirroring transform turns the
// faces round so they still face outwards.
void apply(Shape& shape, const Transform& transform);
Shape transformed(Shape shape, const Transform& transform);
// Turns every face round (inside out): for inner walls seen from within.
void flip(Shape& shape);

// Per-corner normals: the corner takes the area-weighted average of the normals of the faces
// around its position (positions closer than `weld` count as one) whose normal is within
// `creaseDegrees` of its own face's normal. 0 gives flat shading, 180 smooths everything.
void smoothNormals(Shape& shape, float creaseDegrees, float weld = 1e-4f);

// UV projections; `scale` is UV units per model unit. Planar: along `axis` 0 (x), 1 (y) or 2 (z),
// u and v from the other two axes in order (x-y, x-z, y-z). Box: each face by the axis its normal
// leans along most. Cylindrical: around the z axis through `centre`, u = turn (0 to 1 once
// round, times `uRepeat`), v = height × scale.
void planarUv(Shape& shape, int axis, float scale, Float2 offset = {});
void boxUv(Shape& shape, float scale, Float2 offset = {});
void cylindricalUv(Shape& shape, Float3 centre, float uRepeat, float vScale);
// Squeezes the UVs of every corner from the box [0,1]² (after wrapping into it per face) into a
// rectangle of an atlas: u0..u1 × v0..v1.
void fitUv(Shape& shape, float u0, float v0, float u1, float v1);
// Sets every UV to one point (a single flat colour of an atlas).
void solidUv(Shape& shape, Float2 uv);

// Primitives. Each comes with UVs of its own (noted per primitive) and face normals; call
// smoothNormals when it is done.
//
// A box of the given size centred on the origin; `bevel` > 0 cuts its edges and corners at 45°.
// UVs: box projection at scale 1/max(size).
Shape box(Float3 size, float bevel = 0.0f);
// A circle of `segments` in the xy plane, from z = 0 up to z = height, radius r0 at the bottom
// and r1 at the top (a cone when one is 0), capped where the radius is not 0 and `caps` is set.
// UVs as a lathe.
Shape cylinder(float r0, float r1, float height, int segments, bool caps = true);
// UVs: u around, v from the south pole (0) to the north pole (1).
Shape sphere(float radius, int segments, int rings);
// A ring around the z axis: `major` to the tube's centre, `minor` the tube's radius.
// UVs: u around the ring, v around the tube.
Shape torus(float major, float minor, int segments, int sides);
// A profile of (radius, z) points turned about the z axis; a point on the axis (radius 0) closes
// the surface there. The profile runs from bottom to top for outward faces; sharp profile corners
// come from smoothNormals' crease angle. The seam lies at `startTurn` (in turns).
// UVs: u around, v along the profile by length (0 to 1).
Shape lathe(std::span<const Float2> profile, int segments, float startTurn = 0.0f);
// A closed outline (counter-clockwise in xy) extruded from z = 0 to z = depth with both caps.
// The outline must be simple; the caps are ear-clipped. UVs: caps planar (xy), walls by length
// around and height.
Shape extrude(std::span<const Float2> outline, float depth);
// A closed cross-section (counter-clockwise in its own xy plane) swept along a path of points,
// the section's z axis along the path and its x axis kept as steady as possible; `closedPath`
// joins the end to the start. Open paths are left uncapped. `scales`, when given, holds one
// (x, y) factor of the section per path point (tapering tubes, stockings, limbs). UVs: u around
// the section (0 to 1), v along the path by length × `vScale`.
Shape sweep(std::span<const Float2> section, std::span<const Float3> path, bool closedPath, float vScale = 0.01f,
            std::span<const Float2> scales = {});
// A regular polygon outline of `sides` corners and radius r (counter-clockwise).
std::vector<Float2> circleOutline(float radius, int sides, float startTurn = 0.0f);

// Triangulates a simple counter-clockwise polygon; returns index triples into `outline`.
std::vector<std::array<uint32_t, 3>> triangulate(std::span<const Float2> outline);

}  // namespace hg::bake
