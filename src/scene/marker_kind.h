#pragma once
// What a marker is, by the kind the model (.BSM) and scene (.BSS) files store; the content
// builder writes the same numbers. A scene keeps markers of other kinds as markers.
#include <cstdint>

namespace hg {

enum MarkerKind : int32_t {
    kUnlinkedMarker = 1,       // kept, but never raised with its zone
    kEmitterMarker = 2,        // "emit <system>": starts the particle system it names
    kInstanceMarker = 3,       // "instance <model>": places a model
    kAnimatedMeshMarker = 4,   // "animmodel <mesh>": places the animated fire
};

}  // namespace hg
