#include "platform/win32/registry_settings.h"

#include <windows.h>

#include <memory>

#include "platform/platform.h"
#include "platform/win32/text.h"

namespace hg::platform {

std::unique_ptr<SettingsStore> openSettingsStore() { return std::make_unique<win32::RegistrySettingsStore>(); }

}  // namespace hg::platform

namespace hg::platform::win32 {

StoredValues RegistrySettingsStore::readValues() const {
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &key);
    if (opened == ERROR_FILE_NOT_FOUND || opened == ERROR_PATH_NOT_FOUND) return {StoreState::Missing, {}};
    if (opened != ERROR_SUCCESS) return {StoreState::Unreadable, {}};
    StoredValues stored{StoreState::Readable, {}};
    // Value names are at most 16,383 characters.
    std::vector<wchar_t> name(16384);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0, value = 0, size = sizeof(value);
        const LONG result = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(&value), &size);
        if (result == ERROR_NO_MORE_ITEMS) break;
        // A value too large for a REG_DWORD (ERROR_MORE_DATA) is skipped, as is any other type.
        if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value)) continue;
        stored.values.push_back({utf8(std::wstring(name.data(), nameLength)), value});
    }
    RegCloseKey(key);
    return stored;
}

bool RegistrySettingsStore::writeValues(const std::vector<StoredValue>& values) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool written = true;
    for (const StoredValue& stored : values) {
        const DWORD value = stored.value;
        written = RegSetValueExW(key, wide(stored.name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof(value)) == ERROR_SUCCESS &&
                  written;
    }
    RegCloseKey(key);
    return written;
}

std::string RegistrySettingsStore::location() const { return "HKEY_CURRENT_USER\\" + utf8(key_); }

}  // namespace hg::platform::win32
