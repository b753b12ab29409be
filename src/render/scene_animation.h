#pragma once
// What moves in the room besides the camera and the particles: nodes that follow a looping
// recorded path, the toy train with its steam, the mantel clock's hands and the fire. The model
// viewer poses its model with the same code.
#include <string>

#include "core/calendar_time.h"

namespace hg {

struct SceneNode;
class ModelInstance;
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

// The models that move by themselves.
enum class MovingModel { None, Train, Clock };
// As the room's markers name them ("instance railroad", "instance Clock").
MovingModel movingModelOfNode(const std::string& nodeName);
// As the archive names the models ("railroad", "Clock").
MovingModel movingModelNamed(const std::string& modelName);

class ModelAnimation {
public:
    void setLocalTime(const CalendarTime& now) { now_ = now; }
    // The train's cars turned about the track centre, its steam put on the chimney, and the train
    // run on by the step; or the clock's hands at the local time. Other models stay as they are.
    void pose(ModelInstance& instance, MovingModel model, float frameStep);

    float trainAngle = 0.0f;

private:
    CalendarTime now_{};
};

// One frame of a placed model: put at its node, posed, then updated (its emitter markers start
// their particle systems).
void animateInstanceNode(SceneNode& node, ModelAnimation& animation, float frameStep, ParticleSink& particles);
// One frame of the animated fire at its node: its bones, its skin and its scrolling flames.
void animateFireNode(SceneNode& node, float frameStep);

}  // namespace hg
