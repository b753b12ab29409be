// The settings in the registry: the first start writes the defaults, every value goes back as it
// was stored, and the REG_DWORD layout is what other programs see.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
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
    EXPECT_EQ(store.readValues().state, StoreState::Missing);
    Settings settings;
    EXPECT_TRUE(settings.load(store, [] { return DesktopSize{1920, 1080}; }).empty());
    const StoredValues stored = store.readValues();
    EXPECT_EQ(stored.state, StoreState::Readable);
    const std::pair<const char*, uint32_t> expected[] = {
        {"Resolution:", 1}, {"Gamma:", 3},  {"Fps:", 0},           {"Clock:", 1},          {"ExitMM:", 1},
        {"Enable sound:", 0}, {"Enable music:", 1}, {"Music volume:", 40}, {"Sound volume:", 40}, {"Usemon:", 1},
        {"Style24h:", 0}};
    for (const auto& [name, value] : expected) EXPECT_EQ(stored.find(name), value) << name;
    EXPECT_EQ(settings.resolutionIndex, 10);
    EXPECT_EQ(settings.displayModes[10].width, 1920);
    EXPECT_EQ(settings.displayModes[10].height, 1080);
    // Each value is a REG_DWORD of four little-endian bytes under its name with the colon.
    EXPECT_EQ(raw(L"Sound volume:"), (std::pair<DWORD, std::string>{REG_DWORD, std::string("\x28\0\0\0", 4)}));
}

TEST_F(RegistrySettings, ValuesComeBackAsStoredAndOthersAreNotListed) {
    EXPECT_TRUE(store.readValues().values.empty());  // no key yet
    ASSERT_TRUE(store.writeValues({{"Gamma:", 2}, {"Monitor:", 0xFFFFFFFFu}}));
    EXPECT_EQ(store.readValues().find("Gamma:"), 2u);
    EXPECT_EQ(store.readValues().find("Monitor:"), 0xFFFFFFFFu);
    EXPECT_FALSE(store.readValues().find("Fps:"));
    // A value of another type (a string someone put there) is not read as its first bytes.
    HKEY handle = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_WRITE, &handle), ERROR_SUCCESS);
    const wchar_t text[] = L"3";
    RegSetValueExW(handle, L"Clock:", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text));
    RegCloseKey(handle);
    EXPECT_FALSE(store.readValues().find("Clock:"));
    // ... and the settings take the default for it, and say so.
    Settings settings;
    const std::vector<std::string> notes = settings.load(store, [] { return DesktopSize{800, 600}; });
    EXPECT_TRUE(settings.showClock);
    EXPECT_NE(std::find(notes.begin(), notes.end(), "Settings: no \"Clock:\" value; using 1"), notes.end());
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
