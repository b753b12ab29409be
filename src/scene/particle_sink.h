#pragma once
// Where emitter markers are handed to start a particle system ("emit candle" starts "candle").
namespace hg {

struct MeshMarker;

class ParticleSink {
public:
    virtual ~ParticleSink() = default;
    virtual void emitAtMarker(const MeshMarker& marker) = 0;
};

}  // namespace hg
