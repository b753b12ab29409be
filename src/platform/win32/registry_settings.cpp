#include "platform/win32/registry_settings.h"

#include <windows.h>

#include <memory>

#include "platform/platform.h"
#include "platform/win32/text.h"

namespace hg::platform {

std::unique_ptr<SettingsStore> openSettingsStore() { return std::make_unique<win32::RegistrySettingsStore>(); }

}  // namespace hg::platform

namespace hg::platform::win32 {

bool RegistrySettingsStore::keyExists() const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

uint32_t RegistrySettingsStore::readValue(const std::string& name) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD type = 0, value = 0, size = sizeof(value);
    const LONG result =
        RegQueryValueExW(key, wide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value)) return 0;
    return value;
}

bool RegistrySettingsStore::writeValue(const std::string& name, uint32_t value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const DWORD stored = value;
    const LONG result =
        RegSetValueExW(key, wide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof(stored));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

}  // namespace hg::platform::win32
