#pragma once
// The lower part of the screen: the local time, and the holiday calendar (a countdown to
// 25 December or to the New Year, or a greeting on the days themselves).
#include "gl/gl.h"

#include <array>

#include "core/calendar_time.h"
#include "overlay/countdown.h"
#include "overlay/glyph_text.h"
#include "render/renderer.h"
#include "render/screen_quads.h"

namespace hg {

class Settings;
class TextureManager;

class ClockOverlay : public OverlayPass {
public:
    explicit ClockOverlay(const Settings& settings) : settings_(settings) {}

    // Fetches the glyphs, titles, labels and greetings, in that order.
    void load(TextureManager& textures);
    // The local time and the countdown worked out from it.
    void update(const CalendarTime& now);
    // Inside the frame's 2D pass: the frame's time, then the frame rate (when asked for), the
    // clock and the calendar. `aspect` is the view's width over height: the pictures keep their
    // shapes in their corners.
    void drawOverlay(float aspect, const FrameTime& time) override;

    const Countdown& countdown() const { return countdown_; }

private:
    void drawCountdown() const;

    const Settings& settings_;
    GlyphText glyphs_;
    GLuint countdownTitle_ = 0;
    GLuint newYearCountdownTitle_ = 0;
    GLuint remainingLabel_ = 0;
    std::array<GLuint, 4> unitPlural_{};
    std::array<GLuint, 4> unitSingular_{};
    GLuint holidayGreeting_ = 0;
    GLuint newYearGreeting_ = 0;

    CalendarTime now_{};
    Countdown countdown_{};
};

}  // namespace hg
