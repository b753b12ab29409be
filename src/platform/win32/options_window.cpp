// The Options dialog on Windows: the dialog template 101 and the About box 136 from the program's
// resources, with comctl32's trackbars. The view draws OptionsControls and passes each click on;
// every decision (what a click changes, what is enabled, what OK saves) is the OptionsForm's.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "core/run_mode.h"
#include "platform/options_window.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/text.h"

namespace hg::platform {
namespace {

struct View {
    OptionsForm* form = nullptr;
    HWND dialog = nullptr;
    HWND about = nullptr;
    bool syncing = false;  // set while the controls are written from the form
    HBITMAP room = nullptr;
    HBITMAP logo = nullptr;
};

void setText(HWND window, int id, const std::string& text) {
    SetDlgItemTextW(window, id, win32::wide(text).c_str());
}

// The picture shrunk to fit width x height (each new pixel the mean of the ones it covers), or as it
// is when it fits.
Image fitted(const Image& image, int width, int height) {
    const double scale = std::min({1.0, double(width) / image.width, double(height) / image.height});
    if (scale >= 1.0) return image;
    const int w = std::max(1, int(image.width * scale)), h = std::max(1, int(image.height * scale));
    const int n = image.components;
    Image out{w, h, n, std::vector<uint8_t>(static_cast<size_t>(w) * h * n)};
    for (int y = 0; y < h; ++y) {
        const int y0 = y * image.height / h, y1 = std::max(y0 + 1, (y + 1) * image.height / h);
        for (int x = 0; x < w; ++x) {
            const int x0 = x * image.width / w, x1 = std::max(x0 + 1, (x + 1) * image.width / w);
            for (int c = 0; c < n; ++c) {
                long sum = 0;
                for (int sy = y0; sy < y1; ++sy)
                    for (int sx = x0; sx < x1; ++sx) sum += image.pixels[(static_cast<size_t>(sy) * image.width + sx) * n + c];
                out.pixels[(static_cast<size_t>(y) * w + x) * n + c] = static_cast<uint8_t>(sum / ((y1 - y0) * (x1 - x0)));
            }
        }
    }
    return out;
}

// A device-independent bitmap of the picture (RGB or RGBA, top row first); alpha is dropped onto
// the dialog's face colour.
HBITMAP bitmapOf(const Image& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < static_cast<size_t>(image.width) * image.height * image.components)
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return bitmap;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int faceRgb[3] = {GetRValue(face), GetGValue(face), GetBValue(face)};
    auto* out = static_cast<uint8_t*>(bits);
    const size_t pixels = static_cast<size_t>(image.width) * image.height;
    for (size_t i = 0; i < pixels; ++i) {
        const size_t from = i * static_cast<size_t>(image.components);
        if (from + 2 >= image.pixels.size()) break;
        const int alpha = image.components == 4 ? image.pixels[from + 3] : 255;
        for (int c = 0; c < 3; ++c) {
            const int blended = (image.pixels[from + c] * alpha + faceRgb[c] * (255 - alpha) + 127) / 255;
            out[i * 4 + 2 - c] = static_cast<uint8_t>(blended);
        }
        out[i * 4 + 3] = 0;
    }
    return bitmap;
}

void check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }
bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }

// Writes every control's state into the dialog without its handlers reacting.
void sync(View& view) {
    const OptionsControls& c = view.form->controls();
    HWND d = view.dialog;
    view.syncing = true;
    SendDlgItemMessageW(d, HG_RESOLUTION, CB_SETCURSEL, static_cast<WPARAM>(c.resolution), 0);
    SendDlgItemMessageW(d, HG_MONITOR, CB_SETCURSEL, static_cast<WPARAM>(c.monitor), 0);
    check(d, HG_USE_DESKTOP, c.useDesktop);
    check(d, HG_ENABLE_MUSIC, c.enableMusic);
    SendDlgItemMessageW(d, HG_VOLUME, TBM_SETPOS, TRUE, c.volume);
    SendDlgItemMessageW(d, HG_GAMMA, TBM_SETPOS, TRUE, c.gamma);
    check(d, HG_SHOW_FPS, c.showFps);
    check(d, HG_EXIT_ON_MOUSE_MOVE, c.exitOnMouseMove);
    check(d, HG_SHOW_TIME, c.showClock);
    check(d, HG_STYLE_24H, c.style24h);
    check(d, HG_STYLE_12H, !c.style24h);
    enable(d, HG_RESOLUTION, c.resolutionEnabled);
    enable(d, HG_VOLUME, c.volumeEnabled);
    enable(d, HG_VOLUME_LABEL, c.volumeEnabled);
    enable(d, HG_STYLE_24H, c.clockStyleEnabled);
    enable(d, HG_STYLE_12H, c.clockStyleEnabled);
    ShowWindow(view.about, view.form->aboutVisible() ? SW_SHOW : SW_HIDE);
    view.syncing = false;
}

// Reads what the user changed in a control into the form.
void readControl(View& view, int id) {
    OptionsControls& c = view.form->controls();
    HWND d = view.dialog;
    switch (id) {
        case HG_RESOLUTION: c.resolution = static_cast<int>(SendDlgItemMessageW(d, id, CB_GETCURSEL, 0, 0)); break;
        case HG_MONITOR: c.monitor = static_cast<int>(SendDlgItemMessageW(d, id, CB_GETCURSEL, 0, 0)); break;
        case HG_VOLUME: c.volume = static_cast<int>(SendDlgItemMessageW(d, id, TBM_GETPOS, 0, 0)); break;
        case HG_GAMMA: c.gamma = static_cast<int>(SendDlgItemMessageW(d, id, TBM_GETPOS, 0, 0)); break;
        case HG_SHOW_FPS: c.showFps = checked(d, id); break;
        case HG_EXIT_ON_MOUSE_MOVE: c.exitOnMouseMove = checked(d, id); break;
        case HG_STYLE_24H:
        case HG_STYLE_12H: c.style24h = checked(d, HG_STYLE_24H); break;
        default: break;
    }
}

void command(View& view, int id, int notification) {
    OptionsForm& form = *view.form;
    switch (id) {
        case HG_ENABLE_MUSIC: form.musicClicked(); break;
        case HG_USE_DESKTOP: form.desktopClicked(); break;
        case HG_SHOW_TIME: form.clockClicked(); break;
        case HG_ABOUT: form.showAbout(); break;
        case HG_VISIT: openWebPage(OptionsForm::kWebAddress); break;
        case HG_RESTORE_DEFAULTS: form.restoreDefaults(); break;
        case HG_OK: form.ok(); break;
        case HG_CANCEL: form.cancel(); break;
        case HG_RESOLUTION:
        case HG_MONITOR:
            if (notification != CBN_SELCHANGE) return;
            readControl(view, id);
            break;
        default: readControl(view, id); break;
    }
    if (runMode() == RunMode::Configure) sync(view);
}

INT_PTR CALLBACK optionsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* view = reinterpret_cast<View*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!view || view->syncing) return FALSE;
    switch (message) {
        case WM_COMMAND:
            command(*view, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_HSCROLL:
            readControl(*view, GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
            return TRUE;
        case WM_CLOSE:
            view->form->cancel();
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK aboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* view = reinterpret_cast<View*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!view) return FALSE;
    if ((message == WM_COMMAND && LOWORD(wParam) == HG_ABOUT_OK) || message == WM_CLOSE) {
        view->form->hideAbout();
        sync(*view);
        return TRUE;
    }
    return FALSE;
}

void fillTexts(View& view) {
    const OptionsForm& form = *view.form;
    HWND d = view.dialog;
    SetWindowTextW(d, win32::wide(form.caption(Caption::Title)).c_str());
    const std::pair<int, Caption> texts[] = {
        {HG_GROUP_VIDEO, Caption::VideoModeGroup}, {HG_GROUP_SOUND, Caption::SoundGroup},
        {HG_GROUP_GRAPHICS, Caption::GraphicsGroup}, {HG_GROUP_PRODUCTS, Caption::ProductsGroup},
        {HG_GROUP_MISC, Caption::MiscGroup}, {HG_USE_DESKTOP, Caption::UseDesktop},
        {HG_ENABLE_MUSIC, Caption::EnableMusic}, {HG_VOLUME_LABEL, Caption::MasterVolume},
        {HG_GAMMA_LABEL, Caption::GammaControl}, {HG_VISIT_TEXT, Caption::VisitText}, {HG_VISIT, Caption::Visit},
        {HG_ABOUT, Caption::About}, {HG_RESTORE_DEFAULTS, Caption::RestoreDefaults}, {HG_OK, Caption::Ok},
        {HG_CANCEL, Caption::Cancel}, {HG_SHOW_FPS, Caption::ShowFps}, {HG_EXIT_ON_MOUSE_MOVE, Caption::ExitOnMouseMove},
        {HG_SHOW_TIME, Caption::ShowTime}, {HG_STYLE_24H, Caption::Style24h}, {HG_STYLE_12H, Caption::Style12h}};
    for (const auto& [id, caption] : texts) setText(d, id, form.caption(caption));
    setText(view.about, HG_ABOUT_OK, form.caption(Caption::AboutOk));
    setText(view.about, HG_ABOUT_PRODUCT, form.caption(Caption::ProductName));
    SetWindowTextW(view.about, win32::wide(form.caption(Caption::AboutTitle)).c_str());
}

void fillLists(View& view) {
    HWND d = view.dialog;
    for (std::string_view name : OptionsForm::kResolutionNames)
        SendDlgItemMessageW(d, HG_RESOLUTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::wide(name).c_str()));
    for (const std::string& choice : view.form->monitorChoices())
        SendDlgItemMessageW(d, HG_MONITOR, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::wide(choice).c_str()));
    for (int id : {HG_VOLUME, HG_GAMMA}) SendDlgItemMessageW(d, id, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
}

// The size of a control in pixels, from its place in the template.
SIZE controlSize(HWND dialog, int id) {
    RECT area{};
    GetClientRect(GetDlgItem(dialog, id), &area);
    return {area.right - area.left, area.bottom - area.top};
}

void showPictures(View& view, const OptionsPictures& pictures) {
    const SIZE roomBox = controlSize(view.dialog, HG_ROOM_PICTURE);
    const SIZE logoBox = controlSize(view.about, HG_ABOUT_LOGO);
    if (pictures.room) view.room = bitmapOf(fitted(*pictures.room, roomBox.cx - 2, roomBox.cy - 2));
    if (pictures.logo) view.logo = bitmapOf(fitted(*pictures.logo, logoBox.cx, logoBox.cy));
    if (view.room) SendDlgItemMessageW(view.dialog, HG_ROOM_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(view.room));
    if (view.logo) SendDlgItemMessageW(view.about, HG_ABOUT_LOGO, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(view.logo));
}

}  // namespace

bool runOptionsWindow(OptionsForm& form, const OptionsPictures& pictures) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    View view;
    view.form = &form;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    view.dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(HG_DIALOG_OPTIONS), GetDesktopWindow(), optionsProcedure,
                                     reinterpret_cast<LPARAM>(&view));
    if (!view.dialog) return false;
    view.about = CreateDialogParamW(instance, MAKEINTRESOURCEW(HG_DIALOG_ABOUT), view.dialog, aboutProcedure,
                                    reinterpret_cast<LPARAM>(&view));
    fillLists(view);
    fillTexts(view);
    showPictures(view, pictures);
    sync(view);
    ShowWindow(view.dialog, SW_SHOW);
    SetForegroundWindow(view.dialog);
    // The dialog's own loop without the dialog manager, so a quit request (which only stores Quit)
    // ends it too.
    while (runMode() == RunMode::Configure) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) setRunMode(RunMode::Quit);
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (view.about) DestroyWindow(view.about);
    DestroyWindow(view.dialog);
    if (view.room) DeleteObject(view.room);
    if (view.logo) DeleteObject(view.logo);
    return true;
}

void openWebPage(std::string_view address) {
    ShellExecuteW(GetDesktopWindow(), L"open", win32::wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace hg::platform
