#pragma once
// The Windows settings store: REG_DWORD values under one key of the current user's registry.
#include <string>

#include "core/settings_store.h"

namespace hg::platform::win32 {

inline constexpr wchar_t kSettingsKey[] = L"Software\\KESTREL Studio\\3D Hearthglow Screensaver";

class RegistrySettingsStore : public SettingsStore {
public:
    // `key` under HKEY_CURRENT_USER; tests use a key of their own.
    explicit RegistrySettingsStore(std::wstring key = kSettingsKey) : key_(std::move(key)) {}

    bool keyExists() const override;
    // Opens the key, reads the one value and closes it again; a value that is missing, unreadable
    // or not a REG_DWORD (a string someone put there) reads 0.
    uint32_t readValue(const std::string& name) const override;
    // Creates or opens the key, writes the one value as REG_DWORD and closes it.
    bool writeValue(const std::string& name, uint32_t value) override;

private:
    std::wstring key_;
};

}  // namespace hg::platform::win32
