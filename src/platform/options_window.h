#pragma once
// The Options dialog's window. The dialog's behaviour lives in the application (an OptionsForm);
// the view only draws the controls and passes the clicks on.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/image.h"

namespace hg {

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

// What the dialog shows besides its controls: the room (top row first, RGB) and the logo.
struct OptionsPictures {
    std::optional<Image> room;
    std::optional<Image> logo;  // RGBA, top row first
};
// What the window asks of the dialog: the texts, the controls' state, and what each click does.
class OptionsForm {
public:
    // The mode list, entries 0-9 of the settings' mode table. The separator is U+0445, as shipped.
    static const std::array<std::string_view, 10> kResolutionNames;
    static constexpr std::string_view kWebAddress = "https://hearthglow.example.org/";

    virtual ~OptionsForm() = default;
    virtual const std::string& caption(Caption which) const = 0;
    virtual OptionsControls& controls() = 0;
    virtual std::vector<std::string> monitorChoices() const = 0;
    virtual void musicClicked() = 0;
    virtual void desktopClicked() = 0;
    virtual void clockClicked() = 0;
    virtual void restoreDefaults() = 0;
    virtual void ok() = 0;
    virtual void cancel() = 0;
    virtual bool aboutVisible() const = 0;
    virtual void showAbout() = 0;
    virtual void hideAbout() = 0;
};

}  // namespace hg

namespace hg::platform {

// Shows the dialog and runs until RunMode leaves Configure. False when no display could be opened.
bool runOptionsWindow(OptionsForm& form, const OptionsPictures& pictures);

// Opens the address in the user's web browser (xdg-open), without waiting for it.
void openWebPage(std::string_view address);

}  // namespace hg::platform
