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

    // Opens the key once and reads every REG_DWORD value under it; a value of another type (a
    // string someone put there) is not listed. A key that exists but cannot be opened for reading
    // is unreadable.
    StoredValues readValues() const override;
    // Creates or opens the key once and writes every value as REG_DWORD.
    bool writeValues(const std::vector<StoredValue>& values) override;
    std::string location() const override;

private:
    std::wstring key_;
};

}  // namespace hg::platform::win32
