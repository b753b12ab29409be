// A stand-in for the display settings' preview area: a window that starts the screensaver with
// "/p <its handle>", waits for the preview's child window, closes it as the settings do when they
// close, and prints
//   size W H visible V exit E
// to the file named by its second argument. (What the child shows is checked in-process by
// tests_win32: under Wine another process's child window can be read back by neither a screenshot
// nor the host.)
//   preview_host.exe SAVER.scr RESULT.txt
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Waits up to `milliseconds` for `ready`, keeping the host's window answering.
template <typename Ready>
bool waitFor(Ready ready, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        pump();
        if (ready()) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 3) return 2;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = L"Preview Host";
    RegisterClassW(&windowClass);
    HWND host = CreateWindowExW(0, L"Preview Host", L"Preview Host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                                400, 300, nullptr, nullptr, instance, nullptr);
    pump();

    std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\" /p " + std::to_wstring(reinterpret_cast<uintptr_t>(host));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return 3;

    HWND preview = nullptr;
    waitFor([&] { return (preview = FindWindowExW(host, nullptr, L"Hearthglow Preview", nullptr)) != nullptr; }, 30000);
    RECT area{};
    bool visible = false;
    if (preview) {
        waitFor([&] { return IsWindowVisible(preview) != FALSE; }, 10000);
        visible = IsWindowVisible(preview) != FALSE;
        GetClientRect(preview, &area);
        PostMessageW(preview, WM_CLOSE, 0, 0);
    }
    DWORD exitCode = 9999;
    waitFor([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 10000);
    GetExitCodeProcess(process.hProcess, &exitCode);
    if (exitCode == STILL_ACTIVE) TerminateProcess(process.hProcess, 1);

    FILE* result = _wfopen(argv[2], L"w");
    if (!result) return 4;
    std::fprintf(result, "size %ld %ld visible %d exit %lu\n", area.right, area.bottom, visible ? 1 : 0,
                 static_cast<unsigned long>(exitCode));
    std::fclose(result);
    DestroyWindow(host);
    return 0;
}
