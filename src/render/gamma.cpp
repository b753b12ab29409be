#include "render/gamma.h"

#include <algorithm>
#include <cmath>

namespace hg {

platform::GammaRamp gammaRampFor(double exponent) {
    platform::GammaRamp ramp;
    for (int i = 0; i < 256; ++i) {
        const double v = std::clamp(std::pow(i / 256.0, exponent) * 65536.0, 0.0, 65535.0);
        const auto entry = static_cast<uint16_t>(v);
        ramp.red[i] = ramp.green[i] = ramp.blue[i] = entry;
    }
    return ramp;
}

double estimateGamma(const platform::GammaRamp& ramp) {
    double total = 0.0;
    for (const auto* channel : {&ramp.red, &ramp.green, &ramp.blue}) {
        double sum = 0.0;
        int count = 0;
        for (int i = 0; i < 256; ++i) {
            const uint16_t h = (*channel)[i];
            if (h == 0) continue;
            // At i = 0 the denominator is -infinity: the entry counts but adds nothing.
            if (i > 0) sum += std::log(h / 65536.0) / std::log(i / 256.0);
            ++count;
        }
        total += sum / count;
    }
    return total / 3.0;
}

bool isBlank(const platform::GammaRamp& ramp) {
    auto zero = [](const auto& channel) { return std::all_of(channel.begin(), channel.end(), [](uint16_t v) { return v == 0; }); };
    return zero(ramp.red) && zero(ramp.green) && zero(ramp.blue);
}

void GammaSession::change(platform::GammaDevice& device, double exponent) {
    saved_ = device.readGammaRamp();
    oldGamma_ = estimateGamma(saved_.value_or(platform::GammaRamp{}));
    changed_ = device.writeGammaRamp(gammaRampFor(exponent));
}

void GammaSession::restore(platform::GammaDevice& device) {
    if (!changed_) return;
    // The exact ramp, not a curve of the estimated exponent: a calibrated display must come back
    // as it was.
    const bool usable = saved_ && !isBlank(*saved_);
    device.writeGammaRamp(usable ? *saved_ : gammaRampFor(1.0));
    changed_ = false;
}

}  // namespace hg
