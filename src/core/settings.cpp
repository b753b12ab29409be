#include "core/settings.h"

#include <cmath>

namespace hg {
namespace {

constexpr std::array<DisplayMode, 10> kFixedModes{{
    {800, 600, 16},   {800, 600, 32},   {1024, 768, 16},  {1024, 768, 32},  {1280, 1024, 16},
    {1280, 1024, 32}, {1152, 864, 16},  {1152, 864, 32},  {1600, 1200, 16}, {1600, 1200, 32},
}};

// Floats are kept as their integer part, truncated toward zero; negatives cannot be stored.
uint32_t storedFloat(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 4294967295.0f) return 4294967295u;
    return static_cast<uint32_t>(std::trunc(value));
}

}  // namespace

Settings::Settings() {
    for (size_t i = 0; i < kFixedModes.size(); ++i) displayModes[i] = kFixedModes[i];
}

void Settings::restoreDefaults() {
    resolutionIndex = 1;
    gamma = 3.0f;
    showFps = false;
    showClock = true;
    exitOnMouseMove = true;
    enableSound = false;
    enableMusic = true;
    musicVolume = 40.0f;
    soundVolume = 40.0f;
    useDesktopMode = true;
    style24h = false;
    monitor = 0;
}

void Settings::useDesktop(const DesktopSize& desktop) {
    displayModes[kDesktopModeIndex] = {desktop.width, desktop.height, 16};
    resolutionIndex = kDesktopModeIndex;
}

void Settings::load(SettingsStore& store, const DesktopSizeQuery& desktopSize) {
    namespace n = settings_names;
    if (!store.keyExists()) {
        restoreDefaults();
        save(store);
    } else {
        resolutionIndex = static_cast<int32_t>(store.readValue(n::kResolution));
        gamma = static_cast<float>(store.readValue(n::kGamma));
        showFps = store.readValue(n::kFps) != 0;
        showClock = store.readValue(n::kClock) != 0;
        exitOnMouseMove = store.readValue(n::kExitMM) != 0;
        enableSound = store.readValue(n::kEnableSound) != 0;
        enableMusic = store.readValue(n::kEnableMusic) != 0;
        musicVolume = static_cast<float>(store.readValue(n::kMusicVolume));
        soundVolume = static_cast<float>(store.readValue(n::kSoundVolume));
        useDesktopMode = store.readValue(n::kUsemon) != 0;
        style24h = store.readValue(n::kStyle24h) != 0;
        monitor = static_cast<int32_t>(store.readValue(n::kMonitor));
    }
    if (useDesktopMode) useDesktop(desktopSize());
    keepResolutionInTable(desktopSize);
}

// Only entries 0-10 name a filled mode. Anything else (a hand-edited file, an index the dialog stored
// without a selection) falls back to the desktop mode rather than reading an empty or foreign entry.
void Settings::keepResolutionInTable(const DesktopSizeQuery& desktopSize) {
    if (resolutionIndex >= 0 && resolutionIndex < kDesktopModeIndex) return;
    if (resolutionIndex == kDesktopModeIndex && displayModes[kDesktopModeIndex].width > 0) return;
    useDesktop(desktopSize());
}

void Settings::save(SettingsStore& store) const {
    namespace n = settings_names;
    store.writeValue(n::kResolution, static_cast<uint32_t>(resolutionIndex));
    store.writeValue(n::kGamma, storedFloat(gamma));
    store.writeValue(n::kFps, showFps ? 1 : 0);
    store.writeValue(n::kClock, showClock ? 1 : 0);
    store.writeValue(n::kExitMM, exitOnMouseMove ? 1 : 0);
    store.writeValue(n::kEnableSound, enableSound ? 1 : 0);
    store.writeValue(n::kEnableMusic, enableMusic ? 1 : 0);
    store.writeValue(n::kMusicVolume, storedFloat(musicVolume));
    store.writeValue(n::kSoundVolume, storedFloat(soundVolume));
    store.writeValue(n::kUsemon, useDesktopMode ? 1 : 0);
    store.writeValue(n::kStyle24h, style24h ? 1 : 0);
    store.writeValue(n::kMonitor, static_cast<uint32_t>(monitor));
}

}  // namespace hg
