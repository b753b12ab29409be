#pragma once
// The one settings record: video mode, gamma, overlays, exit rule, music.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/settings_store.h"

namespace hg {

struct DisplayMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    bool operator==(const DisplayMode&) const = default;
};

struct DesktopSize {
    int32_t width = 0;
    int32_t height = 0;
};

// Asked only when the desktop mode is needed; the platform layer answers with display 0's size.
using DesktopSizeQuery = std::function<DesktopSize()>;

class Settings {
public:
    static constexpr int kModeCount = 20;
    static constexpr int kDesktopModeIndex = 10;

    Settings();

    void restoreDefaults();
    // Fills the record from the store; a first start writes the defaults. What the store held
    // that could not be used (a missing value, one out of range, a store that cannot be read) is
    // replaced by its default and described in the returned lines, for the log.
    std::vector<std::string> load(SettingsStore& store, const DesktopSizeQuery& desktopSize);
    // One write of every value; false when the store kept what it had.
    bool save(SettingsStore& store) const;

    // Entry 10 follows the desktop; used by load and by the Options dialog's OK.
    void useDesktop(const DesktopSize& desktop);
    // The mode a full-screen run uses; never outside the filled part of the table.
    const DisplayMode& chosenMode() const { return displayModes[resolutionIndex]; }

    std::array<DisplayMode, kModeCount> displayModes{};
    int32_t resolutionIndex = 0;
    float gamma = 3.0f;
    bool showFps = false;
    bool showClock = true;
    bool exitOnMouseMove = true;
    bool enableSound = false;
    bool enableMusic = false;
    float musicVolume = 1.0f;
    float soundVolume = 1.0f;
    bool useDesktopMode = true;
    bool style24h = false;
    // Where a full-screen run shows the room: 0 the primary monitor, N the Nth as the display
    // server lists them, -1 every monitor with its own view. The other monitors stay black.
    int32_t monitor = 0;

    static constexpr int32_t kEveryMonitor = -1;

    static constexpr float kMaxGamma = 4.0f;
    static constexpr float kMaxVolume = 100.0f;

private:
    void readStored(const StoredValues& stored, std::vector<std::string>& notes);
    void keepInRange(std::vector<std::string>& notes);
    void keepResolutionInTable(const DesktopSizeQuery& desktopSize);
};

// Value names exactly as they are stored.
namespace settings_names {
inline constexpr const char* kResolution = "Resolution:";
inline constexpr const char* kGamma = "Gamma:";
inline constexpr const char* kFps = "Fps:";
inline constexpr const char* kClock = "Clock:";
inline constexpr const char* kExitMM = "ExitMM:";
inline constexpr const char* kEnableSound = "Enable sound:";
inline constexpr const char* kEnableMusic = "Enable music:";
inline constexpr const char* kMusicVolume = "Music volume:";
inline constexpr const char* kSoundVolume = "Sound volume:";
inline constexpr const char* kUsemon = "Usemon:";
inline constexpr const char* kStyle24h = "Style24h:";
inline constexpr const char* kMonitor = "Monitor:";
}  // namespace settings_names

}  // namespace hg
