#pragma once
// The display's gamma ramp as a power curve, and the exponent estimated from a ramp.
#include "platform/platform.h"

namespace hg {

// v = (i/256)^e * 65536, clamped to 0..65535, the same for red, green and blue.
platform::GammaRamp gammaRampFor(double exponent);
// Mean over the three channels of the per-entry exponents ln(h/65536) / ln(i/256); a linear ramp
// gives about 1. An unreadable (all-zero) ramp has no exponent: 0/0.
double estimateGamma(const platform::GammaRamp& ramp);
bool isBlank(const platform::GammaRamp& ramp);

// The gamma change of one run: remembers the ramp in force and puts exactly that ramp back.
class GammaSession {
public:
    // Reads the ramp in force, estimates its exponent and installs the power curve `exponent`.
    void change(platform::GammaDevice& device, double exponent);
    // The ramp that was in force; an unreadable (all-zero) one comes back as the linear ramp.
    // Nothing happens when the change itself never took place.
    void restore(platform::GammaDevice& device);
    double oldGamma() const { return oldGamma_; }

private:
    std::optional<platform::GammaRamp> saved_;
    double oldGamma_ = 0.0;
    bool changed_ = false;
};

}  // namespace hg
