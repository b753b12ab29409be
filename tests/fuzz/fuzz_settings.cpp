// The settings file as a run reads it: its text parsed, the record loaded from what it held, then
// saved and loaded again, and the file's text updated with the saved values.
//
// Checks: whatever the file says, the loaded record is usable (a resolution inside the filled part
// of the table, gamma 0-4, volumes 0-100, a monitor of -1 or more); what a save writes loads back as
// the same record; the updated text holds exactly the saved values, and the lines it does not own.
#include <string_view>

#include "core/settings.h"
#include "fuzz_target.h"
#include "platform/posix/settings_file.h"

namespace {

// A store that is the text of a file, kept in memory.
class TextStore : public hg::SettingsStore {
public:
    explicit TextStore(std::string text) : text_(std::move(text)) {}
    hg::StoredValues readValues() const override { return {hg::StoreState::Readable, hg::parseSettingsText(text_)}; }
    bool writeValues(const std::vector<hg::StoredValue>& values) override {
        text_ = hg::updatedSettingsText(text_, values);
        ++writes_;
        return true;
    }
    std::string location() const override { return "memory"; }
    const std::string& text() const { return text_; }
    int writes() const { return writes_; }

private:
    std::string text_;
    int writes_ = 0;
};

void checkUsable(const hg::Settings& s) {
    using hg::fuzz::check;
    check(s.resolutionIndex >= 0 && s.resolutionIndex <= hg::Settings::kDesktopModeIndex, "resolution inside the table");
    check(s.chosenMode().width > 0 && s.chosenMode().height > 0, "the chosen mode is a filled entry");
    check(s.gamma >= 0.0f && s.gamma <= hg::Settings::kMaxGamma, "gamma 0-4");
    check(s.soundVolume >= 0.0f && s.soundVolume <= hg::Settings::kMaxVolume, "sound volume 0-100");
    check(s.musicVolume >= 0.0f && s.musicVolume <= hg::Settings::kMaxVolume, "music volume 0-100");
    check(s.monitor >= hg::Settings::kEveryMonitor, "monitor -1 or more");
}

bool sameRecord(const hg::Settings& a, const hg::Settings& b) {
    return a.resolutionIndex == b.resolutionIndex && a.gamma == b.gamma && a.showFps == b.showFps &&
           a.showClock == b.showClock && a.exitOnMouseMove == b.exitOnMouseMove && a.enableSound == b.enableSound &&
           a.enableMusic == b.enableMusic && a.musicVolume == b.musicVolume && a.soundVolume == b.soundVolume &&
           a.useDesktopMode == b.useDesktopMode && a.style24h == b.style24h && a.monitor == b.monitor &&
           a.chosenMode() == b.chosenMode();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto desktop = [] { return hg::DesktopSize{1280, 720}; };
    TextStore store(std::string(reinterpret_cast<const char*>(data), size));
    hg::Settings loaded;
    loaded.load(store, desktop);
    checkUsable(loaded);
    hg::fuzz::check(store.writes() == 0, "an existing file is not written by a load");

    hg::fuzz::check(loaded.save(store) && store.writes() == 1, "one save, one write");
    hg::Settings again;
    again.load(store, desktop);
    hg::fuzz::check(sameRecord(loaded, again), "what a save writes loads back as the same record");

    // Every saved value is in the text once, as the file's first line of that name.
    const std::vector<hg::StoredValue> values = store.readValues().values;
    for (const char* name : {hg::settings_names::kResolution, hg::settings_names::kGamma, hg::settings_names::kMonitor,
                             hg::settings_names::kSoundVolume}) {
        size_t found = 0;
        for (const hg::StoredValue& value : values) found += value.name == name;
        hg::fuzz::check(found == 1, "each saved name is read once");
    }
    return 0;
}
