// The Options dialog as /c shows it on Windows: runConfiguration over the dialog template from the
// program's resources, with the captions and pictures from the archives, run in this process over
// a registry key of the test's own. A timer inside the dialog's own loop finds the controls by
// their ids and works them as clicks do (the control's own click, the notifications a drag or a
// choice sends); the registry shows what was saved.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/options_dialog.h"
#include "archive/embedded.h"
#include "archive/file_system.h"
#include "core/log.h"
#include "core/run_mode.h"
#include "platform/win32/registry_settings.h"
#include "platform/win32/resource_ids.h"

namespace hg {
namespace {

HWND dialogWindow = nullptr;

BOOL CALLBACK findDialog(HWND window, LPARAM) {
    if (GetDlgItem(window, HG_OK) && GetDlgItem(window, HG_RESOLUTION)) {
        dialogWindow = window;
        return FALSE;
    }
    return TRUE;
}

// The Options dialog among this thread's windows, or null.
HWND optionsDialog() {
    dialogWindow = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findDialog, 0);
    return dialogWindow;
}

HWND control(int id) {
    HWND found = GetDlgItem(optionsDialog(), id);
    if (!found) ADD_FAILURE() << "no control " << id;
    return found;
}

// A control that is disabled cannot be worked: the test fails there, as a user would be stuck.
HWND usable(int id) {
    HWND found = control(id);
    if (found && !IsWindowEnabled(found)) {
        ADD_FAILURE() << "control " << id << " is disabled";
        return nullptr;
    }
    return found;
}

void click(int id) {
    if (HWND button = usable(id)) SendMessageW(button, BM_CLICK, 0, 0);
}
void choose(int id, int entry) {
    if (HWND list = usable(id)) {
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
        SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
}
void slide(int id, int position) {
    if (HWND bar = usable(id)) {
        SendMessageW(bar, TBM_SETPOS, TRUE, position);
        SendMessageW(GetParent(bar), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(bar));
    }
}
bool checked(int id) { return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool enabled(int id) { return IsWindowEnabled(control(id)) != FALSE; }
int position(int id) { return static_cast<int>(SendMessageW(control(id), TBM_GETPOS, 0, 0)); }
int selected(int id) { return static_cast<int>(SendMessageW(control(id), CB_GETCURSEL, 0, 0)); }
int entries(int id) { return static_cast<int>(SendMessageW(control(id), CB_GETCOUNT, 0, 0)); }
bool aboutVisible() {
    HWND about = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            if (GetDlgItem(window, HG_ABOUT_PRODUCT)) *reinterpret_cast<HWND*>(found) = window;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&about));
    return about && IsWindowVisible(about);
}

struct OptionsWindow : ::testing::Test {
    const std::wstring key = L"Software\\Hearthglow Tests\\Options " + std::to_wstring(GetCurrentProcessId());
    platform::win32::RegistrySettingsStore store{key};
    Log quiet;
    FileSystem files;

    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        files.initialise(quiet, embeddedMainArchive(), embeddedOverlayArchive());
        // Stored settings that differ from the defaults in most values; the volume beyond the
        // slider's range, the desktop flag hiding the stored mode.
        const std::pair<const char*, uint32_t> stored[] = {
            {"Resolution:", 3}, {"Gamma:", 2}, {"Fps:", 0}, {"Clock:", 1}, {"ExitMM:", 1}, {"Enable sound:", 0},
            {"Enable music:", 1}, {"Music volume:", 40}, {"Sound volume:", 250}, {"Usemon:", 1}, {"Style24h:", 0}};
        for (const auto& [name, value] : stored) store.writeValues({{name, value}});
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str()); }

    static std::function<void()>* script;
    static bool done;

    // Shows the dialog over the key and runs `user` once the dialog is on the screen; the dialog
    // must have ended when `user` is done.
    void run(std::function<void()> user) {
        Settings settings;
        settings.load(store, [] { return DesktopSize{1280, 1024}; });
        script = &user;
        done = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
            HWND dialog = optionsDialog();
            if (done || !dialog || !IsWindowVisible(dialog)) return;
            KillTimer(nullptr, id);
            done = true;
            (*script)();
            if (::testing::Test::HasFailure()) setRunMode(RunMode::Quit);
        });
        const UINT_PTR limit = SetTimer(nullptr, 0, 30000, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            ADD_FAILURE() << "the dialog did not end";
            setRunMode(RunMode::Quit);
        });
        setRunMode(RunMode::Configure);
        EXPECT_EQ(runConfiguration(settings, store, files), 0);
        KillTimer(nullptr, timer);
        KillTimer(nullptr, limit);
        EXPECT_TRUE(done) << "the dialog ended before it was worked";
        EXPECT_EQ(optionsDialog(), nullptr) << "the dialog's window outlived it";
    }
};

std::function<void()>* OptionsWindow::script = nullptr;
bool OptionsWindow::done = false;

TEST_F(OptionsWindow, ShowsTheStoredSettingsAndOkSavesWhatTheControlsShow) {
    run([] {
        EXPECT_TRUE(checked(HG_USE_DESKTOP));
        EXPECT_FALSE(enabled(HG_RESOLUTION));
        EXPECT_TRUE(checked(HG_ENABLE_MUSIC));
        EXPECT_EQ(position(HG_VOLUME), 100);
        EXPECT_EQ(position(HG_GAMMA), 50);
        EXPECT_FALSE(checked(HG_SHOW_FPS));
        EXPECT_TRUE(checked(HG_EXIT_ON_MOUSE_MOVE));
        EXPECT_TRUE(checked(HG_SHOW_TIME));
        EXPECT_TRUE(checked(HG_STYLE_12H));
        EXPECT_EQ(entries(HG_RESOLUTION), 10);
        EXPECT_EQ(selected(HG_MONITOR), 0);

        click(HG_USE_DESKTOP);
        choose(HG_RESOLUTION, 4);  // 1280x1024x16
        click(HG_ENABLE_MUSIC);
        slide(HG_GAMMA, 75);
        click(HG_SHOW_FPS);
        click(HG_EXIT_ON_MOUSE_MOVE);
        click(HG_STYLE_24H);
        choose(HG_MONITOR, entries(HG_MONITOR) - 1);  // every monitor, the last entry
        click(HG_OK);
    });
    const std::pair<const char*, uint32_t> saved[] = {
        {"Resolution:", 4}, {"Gamma:", 3}, {"Fps:", 1}, {"Clock:", 1}, {"ExitMM:", 0}, {"Enable music:", 0},
        {"Sound volume:", 100}, {"Usemon:", 0}, {"Style24h:", 1}, {"Monitor:", 0xFFFFFFFFu}};
    for (const auto& [name, value] : saved) EXPECT_EQ(store.readValues().find(name), value) << name;
}

TEST_F(OptionsWindow, CancelAndTheCloseBoxSaveNothing) {
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "cancel");
        run([closeBox] {
            click(HG_SHOW_FPS);
            click(HG_ENABLE_MUSIC);
            slide(HG_GAMMA, 100);
            if (closeBox) SendMessageW(optionsDialog(), WM_CLOSE, 0, 0);
            else click(HG_CANCEL);
        });
        EXPECT_EQ(store.readValues().find("Fps:"), 0u);
        EXPECT_EQ(store.readValues().find("Enable music:"), 1u);
        EXPECT_EQ(store.readValues().find("Gamma:"), 2u);
    }
}

TEST_F(OptionsWindow, EnableStatesFollowTheCheckBoxesAndAboutComesAndGoes) {
    run([] {
        click(HG_ENABLE_MUSIC);
        EXPECT_FALSE(enabled(HG_VOLUME));
        EXPECT_FALSE(enabled(HG_VOLUME_LABEL));
        click(HG_ENABLE_MUSIC);
        EXPECT_TRUE(enabled(HG_VOLUME));
        click(HG_SHOW_TIME);
        EXPECT_FALSE(enabled(HG_STYLE_12H));
        EXPECT_FALSE(enabled(HG_STYLE_24H));
        click(HG_SHOW_TIME);
        EXPECT_TRUE(enabled(HG_STYLE_24H));
        EXPECT_FALSE(aboutVisible());
        click(HG_ABOUT);
        EXPECT_TRUE(aboutVisible());
        EXPECT_EQ(runMode(), RunMode::Configure);
        click(HG_RESTORE_DEFAULTS);
        EXPECT_EQ(position(HG_VOLUME), 40);
        EXPECT_EQ(position(HG_GAMMA), 75);
        click(HG_CANCEL);
    });
    EXPECT_EQ(store.readValues().find("Sound volume:"), 250u);
}

}  // namespace
}  // namespace hg
