#pragma once
// The Linux settings store: a text file with one "Name: value" line per setting, for example
// "Gamma: 3". The file existing is what "the key exists" means.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings_store.h"

namespace hg {

// $XDG_CONFIG_HOME/hearthglow/settings.conf, or ~/.config/hearthglow/settings.conf.
namespace platform {
std::filesystem::path settingsFilePath();
}

class FileSettingsStore : public SettingsStore {
public:
    // A settings file is a few hundred bytes; anything much larger is not one and is left alone.
    static constexpr uintmax_t kMaxFileBytes = 64 * 1024;

    explicit FileSettingsStore(std::filesystem::path path) : path_(std::move(path)) {}

    // Only a regular file is read: a folder, a pipe or a device at the path (or a file that cannot
    // be opened or is too large) is unreadable, so nothing blocks and nothing is written over it.
    StoredValues readValues() const override;
    // Rewrites the whole file once, through a temporary file and a rename, so a failed write never
    // leaves a half-written file behind. Lines it does not own (notes, unknown names) are kept.
    bool writeValues(const std::vector<StoredValue>& values) override;
    std::string location() const override { return path_.string(); }

    const std::filesystem::path& path() const { return path_; }

private:
    struct FileText {
        StoreState state = StoreState::Missing;
        std::string text;
    };
    FileText readFile() const;

    std::filesystem::path path_;
};

// Parses one "Name: value" line; nothing when the line is not of that shape.
struct SettingsLine {
    std::string name;
    std::optional<uint32_t> value;
};
std::optional<SettingsLine> parseSettingsLine(std::string_view line);
// Every value of a settings file's text; where a name occurs twice, the first line counts.
std::vector<StoredValue> parseSettingsText(std::string_view text);
// The text with each value replaced in its line (repeats of a name dropped) or appended.
std::string updatedSettingsText(std::string_view text, const std::vector<StoredValue>& values);
// How a value is written: values from 2^31 up as the negative number they stand for (-1, not
// 4294967295), since the settings that can hold them are signed.
std::string settingsValueText(uint32_t value);

}  // namespace hg
