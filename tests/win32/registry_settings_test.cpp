// The settings in the registry: the first start writes the defaults, every value goes back as it
// was stored, and the REG_DWORD layout is what other programs see.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/settings.h"
#include "platform/win32/registry_settings.h"

namespace hg {
namespace {

// A key of the test's own under HKEY_CURRENT_USER, removed before and after.
struct RegistrySettings : ::testing::Test {
    const std::wstring key = L"Software\\Hearthglow Tests\\" + std::to_wstring(GetCurrentProcessId());
    platform::win32::RegistrySettingsStore store{key};

    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str()); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str()); }

    // The value as the registry holds it: its type and its bytes.
    std::pair<DWORD, std::string> raw(const wchar_t* name) const {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return {0, {}};
        DWORD type = 0, size = 16;
        char bytes[16] = {};
        const LONG result = RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes), &size);
        RegCloseKey(handle);
        if (result != ERROR_SUCCESS) return {0, {}};
        return {type, std::string(bytes, size)};
    }
};

TEST_F(RegistrySettings, FirstStartWritesTheDefaultsAndUsesTheDesktopMode) {
    EXPECT_FALSE(store.keyExists());
    Settings settings;
    settings.load(store, [] { return DesktopSize{1920, 1080}; });
    EXPECT_TRUE(store.keyExists());
    const std::pair<const char*, uint32_t> expected[] = {
        {"Resolution:", 1}, {"Gamma:", 3},  {"Fps:", 0},           {"Clock:", 1},          {"ExitMM:", 1},
        {"Enable sound:", 0}, {"Enable music:", 1}, {"Music volume:", 40}, {"Sound volume:", 40}, {"Usemon:", 1},
        {"Style24h:", 0}};
    for (const auto& [name, value] : expected) EXPECT_EQ(store.readValue(name), value) << name;
    EXPECT_EQ(settings.resolutionIndex, 10);
    EXPECT_EQ(settings.displayModes[10].width, 1920);
    EXPECT_EQ(settings.displayModes[10].height, 1080);
    // Each value is a REG_DWORD of four little-endian bytes under its name with the colon.
    EXPECT_EQ(raw(L"Sound volume:"), (std::pair<DWORD, std::string>{REG_DWORD, std::string("\x28\0\0\0", 4)}));
}

TEST_F(RegistrySettings, ValuesComeBackAsStoredAndMissingOnesReadZero) {
    EXPECT_EQ(store.readValue("Gamma:"), 0u);  // no key yet
    ASSERT_TRUE(store.writeValue("Gamma:", 2));
    ASSERT_TRUE(store.writeValue("Monitor:", 0xFFFFFFFFu));
    EXPECT_EQ(store.readValue("Gamma:"), 2u);
    EXPECT_EQ(store.readValue("Monitor:"), 0xFFFFFFFFu);
    EXPECT_EQ(store.readValue("Fps:"), 0u);
    // A value of another size (a string someone put there) reads as 0, not as its first bytes.
    HKEY handle = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_WRITE, &handle), ERROR_SUCCESS);
    const wchar_t text[] = L"3";
    RegSetValueExW(handle, L"Clock:", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text));
    RegCloseKey(handle);
    EXPECT_EQ(store.readValue("Clock:"), 0u);
}

TEST_F(RegistrySettings, ASavedRecordLoadsAgainWithGammaInWholeSteps) {
    Settings saved;
    saved.restoreDefaults();
    saved.useDesktopMode = false;
    saved.resolutionIndex = 4;
    saved.gamma = 2.4f;
    saved.showFps = true;
    saved.style24h = true;
    saved.soundVolume = 73.9f;
    saved.save(store);
    Settings loaded;
    loaded.load(store, [] { return DesktopSize{800, 600}; });
    EXPECT_EQ(loaded.resolutionIndex, 4);
    EXPECT_FLOAT_EQ(loaded.gamma, 2.0f);
    EXPECT_TRUE(loaded.showFps);
    EXPECT_TRUE(loaded.style24h);
    EXPECT_FLOAT_EQ(loaded.soundVolume, 73.0f);
    EXPECT_FALSE(loaded.useDesktopMode);
}

}  // namespace
}  // namespace hg
