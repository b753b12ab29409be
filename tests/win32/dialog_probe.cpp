// Where a control of the Options dialog is on the screen, for tests that click it with xdotool:
//   dialog_probe.exe ID RESULT.txt
// writes "X Y" (the control's centre in screen pixels) to RESULT.txt, or nothing when no Options
// dialog is open. The dialog is the top-level window holding both the OK button and the mode list.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr int kOk = 1032;
constexpr int kResolution = 1016;

BOOL CALLBACK findOptions(HWND window, LPARAM found) {
    if (GetDlgItem(window, kOk) && GetDlgItem(window, kResolution) && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 3) return 2;
    HWND dialog = nullptr;
    EnumWindows(findOptions, reinterpret_cast<LPARAM>(&dialog));
    HWND control = dialog ? GetDlgItem(dialog, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : nullptr;
    FILE* result = _wfopen(argv[2], L"wb");
    if (!result) return 3;
    RECT place{};
    if (control && GetWindowRect(control, &place))
        std::fprintf(result, "%ld %ld\n", (place.left + place.right) / 2, (place.top + place.bottom) / 2);
    std::fclose(result);
    return 0;
}
