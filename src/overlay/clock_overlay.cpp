#include "overlay/clock_overlay.h"

#include "core/settings.h"
#include "image/texture_manager.h"

namespace hg {

void ClockOverlay::load(TextureManager& textures) {
    glyphs_.load(textures);
    countdownTitle_ = textures.get("Textures/tex_countdown.tga");
    newYearCountdownTitle_ = textures.get("Textures/tex_countdown2.tga");
    remainingLabel_ = textures.get("Textures/tex_remaining.tga");
    unitPlural_ = {textures.get("Textures/tex_days.tga"), textures.get("Textures/tex_hours.tga"),
                   textures.get("Textures/tex_mins.tga"), textures.get("Textures/tex_secs.tga")};
    unitSingular_ = {textures.get("Textures/tex_day.tga"), textures.get("Textures/tex_hour.tga"),
                     textures.get("Textures/tex_min.tga"), textures.get("Textures/tex_sec.tga")};
    holidayGreeting_ = textures.get("Textures/tex_dg.tga");
    newYearGreeting_ = textures.get("Textures/tex_hny.tga");
}

void ClockOverlay::update(const CalendarTime& now) {
    now_ = now;
    countdown_ = countdownFor(now);
}

void ClockOverlay::drawOverlay(float aspect, const FrameTime& time) {
    update(time.now);
    const Settings& settings = settings_;
    const float framesPerSecond = time.framesPerSecond;
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    if (settings.showFps) {
        placeOverlay(Anchor::TopLeft, aspect);
        glyphs_.draw(-0.95f, 0.92f, frameRateText(framesPerSecond));
    }
    if (settings.showClock) {
        placeOverlay(Anchor::BottomRight, aspect);
        glyphs_.draw(settings.style24h ? 0.64f : 0.5f, -0.92f, clockText(now_, settings.style24h));
    }

    placeOverlay(Anchor::BottomLeft, aspect);
    switch (bannerFor(now_, countdown_)) {
        case HolidayBanner::NewYearGreeting: drawTexturedQuad(-0.69f, -0.84f, 0.212f, 0.106f, newYearGreeting_); break;
        case HolidayBanner::HolidayGreeting: drawTexturedQuad(-0.69f, -0.84f, 0.212f, 0.106f, holidayGreeting_); break;
        case HolidayBanner::Countdown:
        case HolidayBanner::NewYearCountdown: drawCountdown(); break;
        case HolidayBanner::None: break;
    }
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

void ClockOverlay::drawCountdown() const {
    glyphs_.draw(-0.94f, -0.87f, countdownText(countdown_));
    const bool newYear = now_.month == 12 && now_.day > 27;
    drawTexturedQuad(-0.59f, -0.78f, 0.212f, 0.0265f, newYear ? newYearCountdownTitle_ : countdownTitle_);

    const std::array<int, 4> values = {countdown_.daysLeft, countdown_.hoursLeft, countdown_.minutesLeft,
                                       countdown_.secondsLeft};
    static constexpr std::array<float, 4> kLabelX = {-0.83f, -0.65f, -0.45f, -0.28f};
    for (size_t i = 0; i < values.size(); ++i) {
        drawTexturedQuad(kLabelX[i], -0.86f, 0.053f, 0.0265f, values[i] < 2 ? unitSingular_[i] : unitPlural_[i]);
    }
    drawTexturedQuad(-0.59f, -0.93f, 0.106f, 0.0265f, remainingLabel_);
}

}  // namespace hg
