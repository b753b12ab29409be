#pragma once
// The Linux settings store: a text file with one "Name: value" line per setting, for example
// "Gamma: 3". The file existing is what "the key exists" means.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings_store.h"

namespace hg {

// $XDG_CONFIG_HOME/hearthglow/settings.conf, or ~/.config/hearthglow/settings.conf.
namespace platform {
std::filesystem::path settingsFilePath();
}

class FileSettingsStore : public SettingsStore {
public:
    explicit FileSettingsStore(std::filesystem::path path) : path_(std::move(path)) {}

    bool keyExists() const override;
    uint32_t readValue(const std::string& name) const override;
    // Rewrites the whole file through a temporary file and a rename, so a failed write never leaves
    // a half-written file behind.
    bool writeValue(const std::string& name, uint32_t value) override;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Parses one "Name: value" line; nothing when the line is not of that shape.
struct SettingsLine {
    std::string name;
    std::optional<uint32_t> value;
};
std::optional<SettingsLine> parseSettingsLine(std::string_view line);
// How a value is written: values from 2^31 up as the negative number they stand for (-1, not
// 4294967295), since the settings that can hold them are signed.
std::string settingsValueText(uint32_t value);

}  // namespace hg
