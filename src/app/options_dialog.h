#pragma once
// The Options dialog without its widgets: what each control shows, what each button does, and
// which controls are enabled. A platform view (GTK on Linux) draws the controls from
// `controls()`, writes the user's choices back into it and calls the click handlers.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "image/image.h"

namespace hg {

class FileSystem;
class SettingsStore;
class TextTable;

// The state of every control, as the dialog shows it.
struct OptionsControls {
    int resolution = -1;  // the mode list's selection, -1 for none
    bool useDesktop = false;
    bool enableMusic = false;
    int volume = 0;  // master volume slider, 0-100
    int gamma = 0;   // gamma slider, 0-100 (gamma x 25)
    bool showFps = false;
    bool exitOnMouseMove = false;
    bool showClock = false;
    bool style24h = false;  // the 24h radio button; the 12h one shows the opposite
    int monitor = 0;        // the Monitor list's selection (see OptionsDialog::monitorChoices)

    bool resolutionEnabled = false;  // the mode list, only without the desktop's mode
    bool volumeEnabled = false;      // the volume slider and its label, only with music
    bool clockStyleEnabled = false;  // the 12h and 24h buttons, only with the clock
};

// The dialog's texts in the order the text table fills them.
enum class Caption {
    Title, VideoModeGroup, SoundGroup, GraphicsGroup, ProductsGroup, MiscGroup, UseDesktop, EnableMusic,
    MasterVolume, GammaControl, VisitText, Visit, About, RestoreDefaults, Ok, Cancel, ShowFps, ExitOnMouseMove,
    ShowTime, Style24h, Style12h, AboutOk, ProductName, AboutTitle, Count
};

class OptionsDialog {
public:
    // The mode list, entries 0-9 of the settings' mode table. The separator is U+0445, as shipped.
    static const std::array<std::string_view, 10> kResolutionNames;
    static constexpr std::string_view kWebAddress = "https://hearthglow.example.org/";

    OptionsDialog(Settings& settings, SettingsStore& store, DesktopSizeQuery desktopSize);

    // The monitors a full-screen run can use, as the display lists them (their sizes).
    void setMonitors(std::vector<DesktopSize> monitors) { monitors_ = std::move(monitors); }
    // The Monitor list: the primary monitor, each monitor by number, every monitor. A stored
    // number beyond today's monitors keeps an entry of its own, so OK does not change it unasked.
    std::vector<std::string> monitorChoices() const;

    // Replaces the built-in captions in order, for as many entries as the table has.
    void loadCaptions(TextTable& table);
    const std::string& caption(Caption which) const { return captions_[static_cast<size_t>(which)]; }

    OptionsControls& controls() { return controls_; }
    const OptionsControls& controls() const { return controls_; }

    // The record into the controls, enable states included.
    void refresh();
    // The controls into the record (OK).
    void readControls();

    // The three check boxes that change the record at once and enable other controls.
    void musicClicked();
    void desktopClicked();
    void clockClicked();

    // Defaults into the record and the controls; nothing is saved yet.
    void restoreDefaults();
    // Reads the controls, saves and ends the dialog.
    void ok();
    // Cancel and the close box: the dialog ends, nothing is saved.
    void cancel();

    bool aboutVisible() const { return aboutVisible_; }
    void showAbout() { aboutVisible_ = true; }
    void hideAbout() { aboutVisible_ = false; }

private:
    int fallbackResolution() const;
    int numberedMonitors() const;
    int monitorChoiceOf(int setting) const;
    int monitorSettingOf(int choice) const;

    Settings& settings_;
    SettingsStore& store_;
    DesktopSizeQuery desktopSize_;
    std::vector<DesktopSize> monitors_;
    OptionsControls controls_;
    std::array<std::string, static_cast<size_t>(Caption::Count)> captions_;
    bool aboutVisible_ = false;
};

// What the dialog shows besides its controls: the room (top row first, RGB) and the logo.
struct OptionsPictures {
    std::optional<Image> room;
    std::optional<Image> logo;  // RGBA, top row first
};
OptionsPictures loadOptionsPictures(const FileSystem& files);

// The whole Configure mode: captions from "Text/text.txt", the record into the controls, the
// dialog until OK, Cancel, the close box or a quit signal. Returns the exit code.
int runConfiguration(Settings& settings, SettingsStore& store, const FileSystem& files);

}  // namespace hg
