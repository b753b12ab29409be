#pragma once
// What moves in the room besides the camera and the particles: nodes that follow a looping
// recorded path, the toy train with its steam, and the mantel clock's hands.
#include "core/calendar_time.h"

namespace hg {

struct SceneNode;
class ParticleSink;

// One frame along a node's closed path through keys 0 .. N-2 (the last key is not used); the node
// first waits `holdCount` segments at key 0.
void advancePathNode(SceneNode& node, float frameStep);

// Clock-hand angles in degrees about y: minute, hour, second.
struct ClockHands {
    float minute;
    float hour;
    float second;
};
ClockHands clockHandsAt(int hour, int minute, int second);

class SceneAnimation {
public:
    // Places the instance at the node, turns the train or the clock hands when the node is one of
    // them, then updates and draws the instance. With `moves` false (a second view of the same
    // frame) it is only drawn again as it stands.
    void drawInstanceNode(SceneNode& node, float frameStep, ParticleSink& particles, bool moves = true);
    void setLocalTime(const CalendarTime& now) { now_ = now; }

    float trainAngle = 0.0f;

private:
    CalendarTime now_{};
};

}  // namespace hg
