#pragma once
// Adding the hack to XScreenSaver's list of screensavers. XScreenSaver lists only what its `programs:`
// resource names: the system's app-defaults list, overridden by a `programs:` in ~/.xscreensaver.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace hg {

// The hack's line in XScreenSaver's programs list.
inline constexpr std::string_view kXScreenSaverHackLine = "GL: hearthglow --root";

// The text edit alone. `userFile`: the current ~/.xscreensaver, or nothing when there is none.
// `systemDefaults`: the app-defaults file whose `*programs:` list a new user list starts from, or nothing.
// Returns the new file text, or nothing when XScreenSaver already lists a program named `hearthglow`
// (enabled or not, any visual, label or arguments), in the user's list or the system's.
std::optional<std::string> addHackToXScreenSaverText(std::optional<std::string_view> userFile,
                                                     std::optional<std::string_view> systemDefaults);

struct XScreenSaverEdit {
    enum class Outcome { Added, AlreadyListed, Failed } outcome = Outcome::Failed;
    std::string message;  // one or two sentences for the user, naming the file(s)
};

// Edits home/.xscreensaver (through a symbolic link, as XScreenSaver does): the old file is copied to
// home/.xscreensaver.bak first, the new one replaces it atomically. Nothing is changed on failure.
XScreenSaverEdit addHackToXScreenSaver(const std::filesystem::path& home, const std::filesystem::path& appDefaults);

// The system's XScreenSaver app-defaults file: the first that exists of the usual places.
std::filesystem::path xscreensaverAppDefaultsPath();

}  // namespace hg
