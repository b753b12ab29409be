#pragma once
// The Options dialog without its widgets: what each control shows, what each button does, and
// which controls are enabled. A platform view (GTK on Linux) draws the controls from
// `controls()`, writes the user's choices back into it and calls the click handlers.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/image.h"
#include "core/settings.h"
#include "platform/options_window.h"

namespace hg {

class FileSystem;
class SettingsStore;
class TextTable;

class OptionsDialog : public OptionsForm {
public:
    OptionsDialog(Settings& settings, SettingsStore& store, DesktopSizeQuery desktopSize);

    // The monitors a full-screen run can use, as the display lists them (their sizes).
    void setMonitors(std::vector<DesktopSize> monitors) { monitors_ = std::move(monitors); }
    // The Monitor list: the primary monitor, each monitor by number, every monitor. A stored
    // number beyond today's monitors keeps an entry of its own, so OK does not change it unasked.
    std::vector<std::string> monitorChoices() const override;

    // Replaces the built-in captions in order, for as many entries as the table has.
    void loadCaptions(TextTable& table);
    const std::string& caption(Caption which) const override { return captions_[static_cast<size_t>(which)]; }

    OptionsControls& controls() override { return controls_; }
    const OptionsControls& controls() const { return controls_; }

    // The record into the controls, enable states included.
    void refresh();
    // The controls into the record (OK).
    void readControls();

    // The three check boxes that change the record at once and enable other controls.
    void musicClicked() override;
    void desktopClicked() override;
    void clockClicked() override;

    // Defaults into the record and the controls; nothing is saved yet.
    void restoreDefaults() override;
    // Reads the controls, saves and ends the dialog.
    void ok() override;
    // Cancel and the close box: the dialog ends, nothing is saved.
    void cancel() override;

    bool aboutVisible() const override { return aboutVisible_; }
    void showAbout() override { aboutVisible_ = true; }
    void hideAbout() override { aboutVisible_ = false; }

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

OptionsPictures loadOptionsPictures(const FileSystem& files);

// The whole Configure mode: captions from "Text/text.txt", the record into the controls, the
// dialog until OK, Cancel, the close box or a quit signal. Returns the exit code.
int runConfiguration(Settings& settings, SettingsStore& store, const FileSystem& files);

}  // namespace hg
