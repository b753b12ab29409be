#include "core/settings.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <type_traits>

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

std::string quoted(const char* name) { return std::string("\"") + name + "\""; }

// A value as the log shows it: as it is stored.
std::string storedText(bool value) { return value ? "1" : "0"; }
std::string storedText(float value) {
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}
std::string storedText(int32_t value) { return std::to_string(value); }

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

std::vector<std::string> Settings::load(SettingsStore& store, const DesktopSizeQuery& desktopSize) {
    std::vector<std::string> notes;
    const StoredValues stored = store.readValues();
    // Whatever the store cannot give takes the first start's value.
    restoreDefaults();
    switch (stored.state) {
        case StoreState::Missing:
            if (!save(store)) notes.push_back("Settings: cannot write " + store.location());
            break;
        case StoreState::Unreadable:
            notes.push_back("Settings: cannot read " + store.location() + "; using the defaults and leaving it as it is");
            break;
        case StoreState::Readable:
            readStored(stored, notes);
            keepInRange(notes);
            break;
    }
    if (useDesktopMode) useDesktop(desktopSize());
    const int32_t storedIndex = resolutionIndex;
    keepResolutionInTable(desktopSize);
    if (resolutionIndex != storedIndex)
        notes.push_back("Settings: " + quoted(settings_names::kResolution) + " " + std::to_string(storedIndex) +
                        " names no display mode; using the desktop's");
    return notes;
}

void Settings::readStored(const StoredValues& stored, std::vector<std::string>& notes) {
    namespace n = settings_names;
    auto read = [&](const char* name, auto& member) {
        using Member = std::remove_reference_t<decltype(member)>;
        const std::optional<uint32_t> value = stored.find(name);
        if (!value) {
            notes.push_back("Settings: no " + quoted(name) + " value; using " + storedText(member));
            return;
        }
        if constexpr (std::is_same_v<Member, bool>) {
            member = *value != 0;
        } else if constexpr (std::is_same_v<Member, float>) {
            member = static_cast<float>(*value);
        } else {
            member = static_cast<int32_t>(*value);
        }
    };
    read(n::kResolution, resolutionIndex);
    read(n::kGamma, gamma);
    read(n::kFps, showFps);
    read(n::kClock, showClock);
    read(n::kExitMM, exitOnMouseMove);
    read(n::kEnableSound, enableSound);
    read(n::kEnableMusic, enableMusic);
    read(n::kMusicVolume, musicVolume);
    read(n::kSoundVolume, soundVolume);
    read(n::kUsemon, useDesktopMode);
    read(n::kStyle24h, style24h);
    read(n::kMonitor, monitor);
}

// Values the dialog could never have stored. A gamma above 4 turns the whole display white, so it
// takes the default rather than the nearest end; a volume above 100 plays at 100.
void Settings::keepInRange(std::vector<std::string>& notes) {
    namespace n = settings_names;
    const Settings defaults = [] {
        Settings d;
        d.restoreDefaults();
        return d;
    }();
    auto replace = [&](const char* name, auto& member, auto usable, const char* range) {
        if (member == usable) return;
        notes.push_back("Settings: " + quoted(name) + " " + storedText(member) + " is outside " + range + "; using " + storedText(usable));
        member = usable;
    };
    replace(n::kGamma, gamma, gamma <= kMaxGamma ? gamma : defaults.gamma, "0-4");
    replace(n::kMusicVolume, musicVolume, std::min(musicVolume, kMaxVolume), "0-100");
    replace(n::kSoundVolume, soundVolume, std::min(soundVolume, kMaxVolume), "0-100");
    replace(n::kMonitor, monitor, monitor >= kEveryMonitor ? monitor : defaults.monitor, "-1 and up");
}

// Only entries 0-10 name a filled mode. Anything else (a hand-edited file, an index the dialog stored
// without a selection) falls back to the desktop mode rather than reading an empty or foreign entry.
void Settings::keepResolutionInTable(const DesktopSizeQuery& desktopSize) {
    if (resolutionIndex >= 0 && resolutionIndex < kDesktopModeIndex) return;
    if (resolutionIndex == kDesktopModeIndex && displayModes[kDesktopModeIndex].width > 0) return;
    useDesktop(desktopSize());
}

bool Settings::save(SettingsStore& store) const {
    namespace n = settings_names;
    return store.writeValues({
        {n::kResolution, static_cast<uint32_t>(resolutionIndex)},
        {n::kGamma, storedFloat(gamma)},
        {n::kFps, showFps ? 1u : 0u},
        {n::kClock, showClock ? 1u : 0u},
        {n::kExitMM, exitOnMouseMove ? 1u : 0u},
        {n::kEnableSound, enableSound ? 1u : 0u},
        {n::kEnableMusic, enableMusic ? 1u : 0u},
        {n::kMusicVolume, storedFloat(musicVolume)},
        {n::kSoundVolume, storedFloat(soundVolume)},
        {n::kUsemon, useDesktopMode ? 1u : 0u},
        {n::kStyle24h, style24h ? 1u : 0u},
        {n::kMonitor, static_cast<uint32_t>(monitor)},
    });
}

}  // namespace hg
