#include "app/options_dialog.h"

#include <algorithm>
#include <cmath>

#include "app/preview.h"
#include "core/run_mode.h"
#include "core/settings_store.h"
#include "app/text_table.h"
#include "archive/file_system.h"
#include "image/jpeg_decoder.h"
#include "image/tga_decoder.h"
#include "platform/options_window.h"
#include "platform/platform.h"

namespace hg {

const std::array<std::string_view, 10> OptionsForm::kResolutionNames = {
    "800\u0445600\u044516",   "800\u0445600\u044532",   "1024\u0445768\u044516",  "1024\u0445768\u044532",
    "1280\u04451024\u044516", "1280\u04451024\u044532", "1152\u0445864\u044516",  "1152\u0445864\u044532",
    "1600\u04451200\u044516", "1600\u04451200\u044532",
};

namespace {

// The captions the dialog has before the text table is read; they stay where the table is short.
constexpr std::array<std::string_view, static_cast<size_t>(Caption::Count)> kBuiltInCaptions = {
    "3D Hearthglow Screensaver Configuration", "Video Mode Selection", "Sound Control", "Graphics", "Products",
    "Misc Options", "Use Desktop Settings", "Enable music", "Master volume:", "Gamma Control:",
    "Visit our official web-site for more great 3D screensavers", "Visit...", "About...", "Restore Defaults", "OK",
    "Cancel", "Show FPS", "Exit on mouse move", "Show time", "24h style", "12h style", "OK",
    "3D Hearthglow Screensaver", "About",
};

int wholePart(float value) {
    if (!(value > 0.0f)) return 0;
    return static_cast<int>(std::trunc(std::min(value, 100.0f)));
}

}  // namespace

OptionsDialog::OptionsDialog(Settings& settings, SettingsStore& store, DesktopSizeQuery desktopSize)
    : settings_(settings), store_(store), desktopSize_(std::move(desktopSize)) {
    for (size_t i = 0; i < captions_.size(); ++i) captions_[i] = kBuiltInCaptions[i];
}

void OptionsDialog::loadCaptions(TextTable& table) {
    for (std::string& caption : captions_) {
        auto value = table.next();
        if (!value) break;
        caption = std::move(*value);
    }
}

int OptionsDialog::numberedMonitors() const {
    return std::max(static_cast<int>(monitors_.size()), std::max(settings_.monitor, 0));
}

std::vector<std::string> OptionsDialog::monitorChoices() const {
    std::vector<std::string> choices{"Primary monitor"};
    for (int i = 1; i <= numberedMonitors(); ++i) {
        std::string name = "Monitor " + std::to_string(i);
        if (static_cast<size_t>(i) <= monitors_.size()) {
            const DesktopSize& size = monitors_[static_cast<size_t>(i - 1)];
            name += " (" + std::to_string(size.width) + "\u00d7" + std::to_string(size.height) + ")";
        }
        choices.push_back(std::move(name));
    }
    choices.push_back("Every monitor");
    return choices;
}

int OptionsDialog::monitorChoiceOf(int setting) const {
    if (setting == Settings::kEveryMonitor) return numberedMonitors() + 1;
    return std::clamp(setting, 0, numberedMonitors());
}

int OptionsDialog::monitorSettingOf(int choice) const {
    if (choice == numberedMonitors() + 1) return Settings::kEveryMonitor;
    return std::clamp(choice, 0, numberedMonitors());
}

void OptionsDialog::refresh() {
    const Settings& s = settings_;
    // Only list entries can be shown; the desktop's mode (10) leaves the list without a selection.
    controls_.resolution = s.resolutionIndex >= 0 && s.resolutionIndex < static_cast<int>(kResolutionNames.size()) ? s.resolutionIndex : -1;
    controls_.showFps = s.showFps;
    controls_.showClock = s.showClock;
    controls_.exitOnMouseMove = s.exitOnMouseMove;
    controls_.style24h = s.style24h;
    controls_.enableMusic = s.enableMusic;
    controls_.useDesktop = s.useDesktopMode;
    controls_.volume = wholePart(s.soundVolume);
    controls_.gamma = std::clamp(wholePart(s.gamma) * 25, 0, 100);
    controls_.monitor = monitorChoiceOf(s.monitor);
    controls_.volumeEnabled = s.enableMusic;
    controls_.resolutionEnabled = !s.useDesktopMode;
    controls_.clockStyleEnabled = s.showClock;
}

// Unchecking "Use Desktop Settings" and pressing OK without choosing a mode leaves the list with no
// selection. The run needs a real mode, so take the 32-bit list mode that fits the desktop best:
// its own size when the list has it, otherwise the largest one not bigger than the desktop.
int OptionsDialog::fallbackResolution() const {
    const DesktopSize desktop = desktopSize_ ? desktopSize_() : DesktopSize{};
    int best = 1;  // 800x600x32, the default
    for (int i = 0; i < static_cast<int>(kResolutionNames.size()); ++i) {
        const DisplayMode& mode = settings_.displayModes[static_cast<size_t>(i)];
        if (mode.bitsPerPixel != 32 || mode.width > desktop.width || mode.height > desktop.height) continue;
        const DisplayMode& chosen = settings_.displayModes[static_cast<size_t>(best)];
        if (mode.width * mode.height > chosen.width * chosen.height) best = i;
    }
    return best;
}

void OptionsDialog::readControls() {
    Settings& s = settings_;
    s.useDesktopMode = controls_.useDesktop;
    if (s.useDesktopMode) {
        s.useDesktop(desktopSize_ ? desktopSize_() : DesktopSize{});
    } else {
        const bool listed = controls_.resolution >= 0 && controls_.resolution < static_cast<int>(kResolutionNames.size());
        s.resolutionIndex = listed ? controls_.resolution : fallbackResolution();
    }
    s.showFps = controls_.showFps;
    s.style24h = controls_.style24h;
    s.showClock = controls_.showClock;
    s.exitOnMouseMove = controls_.exitOnMouseMove;
    s.enableMusic = controls_.enableMusic;
    s.soundVolume = static_cast<float>(std::clamp(controls_.volume, 0, 100));
    s.gamma = static_cast<float>(std::clamp(controls_.gamma, 0, 100)) * 0.04f;
    s.monitor = monitorSettingOf(controls_.monitor);
    // "Enable sound:" and "Music volume:" have no control: they keep what was stored.
}

void OptionsDialog::musicClicked() {
    settings_.enableMusic = !settings_.enableMusic;
    controls_.enableMusic = settings_.enableMusic;
    controls_.volumeEnabled = settings_.enableMusic;
}

void OptionsDialog::desktopClicked() {
    settings_.useDesktopMode = !settings_.useDesktopMode;
    controls_.useDesktop = settings_.useDesktopMode;
    controls_.resolutionEnabled = !settings_.useDesktopMode;
}

void OptionsDialog::clockClicked() {
    settings_.showClock = !settings_.showClock;
    controls_.showClock = settings_.showClock;
    controls_.clockStyleEnabled = settings_.showClock;
}

void OptionsDialog::restoreDefaults() {
    settings_.restoreDefaults();
    refresh();
}

void OptionsDialog::ok() {
    readControls();
    settings_.save(store_);
    setRunMode(RunMode::Quit);
}

void OptionsDialog::cancel() { setRunMode(RunMode::Quit); }

OptionsPictures loadOptionsPictures(const FileSystem& files) {
    OptionsPictures pictures;
    if (auto bytes = files.get("Notification/loading.jpg")) pictures.room = decodeJpeg(*bytes);
    if (auto bytes = files.get("Logo/4loader.tga")) {
        pictures.logo = decodeTga(*bytes);
        if (pictures.logo) flipRows(*pictures.logo);
    }
    return pictures;
}

int runConfiguration(Settings& settings, SettingsStore& store, const FileSystem& files) {
    platform::installQuitSignals();
    OptionsDialog dialog(settings, store, [] { return platform::desktopSize(); });
    std::vector<DesktopSize> sizes;
    for (const platform::Monitor& monitor : platform::monitors()) sizes.push_back({monitor.area.width, monitor.area.height});
    dialog.setMonitors(std::move(sizes));
    const auto text = files.get("Text/text.txt");
    TextTable table(text ? std::span<const uint8_t>(*text) : std::span<const uint8_t>());
    dialog.loadCaptions(table);
    dialog.refresh();
    const bool shown = platform::runOptionsWindow(dialog, loadOptionsPictures(files));
    setRunMode(RunMode::Quit);
    return shown ? 0 : 1;
}

}  // namespace hg
