// The Options dialog in GTK 3: the controls and their grouping, drawn from OptionsControls. Every
// decision (what a click changes, what is enabled, what OK saves) is OptionsDialog's.
#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "core/run_mode.h"
#include "platform/options_window.h"

namespace hg::platform {

namespace {

// The room picture's box: about the 140 x 93 dialog units the picture had beside the controls.
constexpr int kPictureWidth = 208;
constexpr int kPictureHeight = 156;
constexpr int kLogoWidth = 256;

struct View {
    OptionsForm* dialog = nullptr;
    bool syncing = false;  // set while the widgets are written from the controls
    GtkWidget* window = nullptr;
    GtkWidget* about = nullptr;
    GtkWidget* resolution = nullptr;
    GtkWidget* useDesktop = nullptr;
    GtkWidget* monitor = nullptr;
    GtkWidget* enableMusic = nullptr;
    GtkWidget* volumeLabel = nullptr;
    GtkWidget* volume = nullptr;
    GtkWidget* gamma = nullptr;
    GtkWidget* showFps = nullptr;
    GtkWidget* exitOnMouseMove = nullptr;
    GtkWidget* showClock = nullptr;
    GtkWidget* style24h = nullptr;
    GtkWidget* style12h = nullptr;
};

const char* text(const View& view, Caption which) { return view.dialog->caption(which).c_str(); }

void setChecked(GtkWidget* widget, bool on) { gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), on); }
bool checked(GtkWidget* widget) { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget)); }

// Writes every control's state into the widgets without their handlers reacting.
void sync(View& view) {
    const OptionsControls& c = view.dialog->controls();
    view.syncing = true;
    gtk_combo_box_set_active(GTK_COMBO_BOX(view.resolution), c.resolution);
    setChecked(view.useDesktop, c.useDesktop);
    gtk_combo_box_set_active(GTK_COMBO_BOX(view.monitor), c.monitor);
    setChecked(view.enableMusic, c.enableMusic);
    gtk_range_set_value(GTK_RANGE(view.volume), c.volume);
    gtk_range_set_value(GTK_RANGE(view.gamma), c.gamma);
    setChecked(view.showFps, c.showFps);
    setChecked(view.exitOnMouseMove, c.exitOnMouseMove);
    setChecked(view.showClock, c.showClock);
    setChecked(c.style24h ? view.style24h : view.style12h, true);
    gtk_widget_set_sensitive(view.resolution, c.resolutionEnabled);
    gtk_widget_set_sensitive(view.volume, c.volumeEnabled);
    gtk_widget_set_sensitive(view.volumeLabel, c.volumeEnabled);
    gtk_widget_set_sensitive(view.style24h, c.clockStyleEnabled);
    gtk_widget_set_sensitive(view.style12h, c.clockStyleEnabled);
    if (view.dialog->aboutVisible()) gtk_widget_show_all(view.about);
    else gtk_widget_hide(view.about);
    view.syncing = false;
}

// Connects `signal` of `widget` to `action`, which gets the view and runs only for user changes.
template <typename Action>
void on(GtkWidget* widget, const char* signal, View& view, Action action) {
    struct Binding {
        View* view;
        Action action;
    };
    auto* binding = new Binding{&view, action};
    g_signal_connect_data(
        widget, signal, G_CALLBACK(+[](GtkWidget* w, gpointer data) {
            auto* b = static_cast<Binding*>(data);
            if (b->view->syncing) return;
            b->action(*b->view, w);
            sync(*b->view);
        }),
        binding, +[](gpointer data, GClosure*) { delete static_cast<Binding*>(data); }, GConnectFlags(0));
}

// Gives the widget a name, so that tests (and a theme) find each control without knowing the layout.
GtkWidget* named(GtkWidget* widget, const char* name) {
    gtk_widget_set_name(widget, name);
    return widget;
}

GtkWidget* group(const View& view, Caption caption, GtkWidget* content) {
    GtkWidget* frame = gtk_frame_new(text(view, caption));
    gtk_container_set_border_width(GTK_CONTAINER(content), 6);
    gtk_container_add(GTK_CONTAINER(frame), content);
    return frame;
}

GtkWidget* slider() {
    GtkWidget* scale = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, 0, 100, 1);
    gtk_scale_set_draw_value(GTK_SCALE(scale), FALSE);
    gtk_widget_set_hexpand(scale, TRUE);
    return scale;
}

GtkWidget* label(const char* caption) {
    GtkWidget* widget = gtk_label_new(caption);
    gtk_label_set_xalign(GTK_LABEL(widget), 0.0f);
    return widget;
}

// A GdkPixbuf of the picture (rows top first), scaled down to fit `width` x `height`.
GtkWidget* pictureWidget(const Image& image, int width, int height) {
    const bool alpha = image.components == 4;
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, alpha, 8, image.width, image.height);
    if (!pixbuf) return gtk_image_new();
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const size_t row = static_cast<size_t>(image.width) * static_cast<size_t>(image.components);
    for (int y = 0; y < image.height; ++y) std::copy_n(image.pixels.data() + row * static_cast<size_t>(y), row, pixels + stride * y);
    const double scale = std::min({1.0, double(width) / image.width, double(height) / image.height});
    GdkPixbuf* scaled = gdk_pixbuf_scale_simple(pixbuf, std::max(1, int(image.width * scale + 0.5)),
                                                std::max(1, int(image.height * scale + 0.5)), GDK_INTERP_BILINEAR);
    g_object_unref(pixbuf);
    GtkWidget* widget = gtk_image_new_from_pixbuf(scaled);
    g_object_unref(scaled);
    return widget;
}

GtkWidget* buildAbout(View& view, const OptionsPictures& pictures) {
    GtkWidget* about = named(gtk_window_new(GTK_WINDOW_TOPLEVEL), "about-box");
    gtk_window_set_title(GTK_WINDOW(about), text(view, Caption::AboutTitle));
    gtk_window_set_transient_for(GTK_WINDOW(about), GTK_WINDOW(view.window));
    gtk_window_set_position(GTK_WINDOW(about), GTK_WIN_POS_CENTER_ON_PARENT);
    gtk_window_set_keep_above(GTK_WINDOW(about), TRUE);
    gtk_window_set_resizable(GTK_WINDOW(about), FALSE);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    gtk_container_set_border_width(GTK_CONTAINER(box), 10);
    if (pictures.logo) gtk_box_pack_start(GTK_BOX(box), pictureWidget(*pictures.logo, kLogoWidth, kLogoWidth), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), gtk_label_new(text(view, Caption::ProductName)), FALSE, FALSE, 0);
    GtkWidget* ok = named(gtk_button_new_with_label(text(view, Caption::AboutOk)), "about-ok");
    gtk_widget_set_halign(ok, GTK_ALIGN_END);
    gtk_widget_set_size_request(ok, 90, -1);
    gtk_box_pack_start(GTK_BOX(box), ok, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(about), box);
    on(ok, "clicked", view, [](View& v, GtkWidget*) { v.dialog->hideAbout(); });
    g_signal_connect(about, "delete-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer data) -> gboolean {
                         auto* v = static_cast<View*>(data);
                         v->dialog->hideAbout();
                         sync(*v);
                         return TRUE;  // hidden, not destroyed
                     }),
                     &view);
    return about;
}

void build(View& view, const OptionsPictures& pictures) {
    view.window = named(gtk_window_new(GTK_WINDOW_TOPLEVEL), "options");
    gtk_window_set_title(GTK_WINDOW(view.window), text(view, Caption::Title));
    gtk_window_set_position(GTK_WINDOW(view.window), GTK_WIN_POS_CENTER);
    gtk_window_set_resizable(GTK_WINDOW(view.window), FALSE);
    gtk_container_set_border_width(GTK_CONTAINER(view.window), 8);

    // Video mode: the list of modes and the desktop check box.
    view.resolution = named(gtk_combo_box_text_new(), "resolution");
    for (std::string_view name : OptionsForm::kResolutionNames)
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(view.resolution), std::string(name).c_str());
    view.useDesktop = named(gtk_check_button_new_with_label(text(view, Caption::UseDesktop)), "use-desktop");
    // Which monitor shows the room (the text table has no caption for it: it stays English).
    view.monitor = named(gtk_combo_box_text_new(), "monitor");
    for (const std::string& choice : view.dialog->monitorChoices())
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(view.monitor), choice.c_str());
    GtkWidget* monitorRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    gtk_box_pack_start(GTK_BOX(monitorRow), label("Monitor:"), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(monitorRow), view.monitor, FALSE, FALSE, 0);
    GtkWidget* video = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
    gtk_widget_set_halign(view.resolution, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(video), view.resolution, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(video), view.useDesktop, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(video), monitorRow, FALSE, FALSE, 0);

    // Sound: the master volume and the music switch.
    view.volumeLabel = named(label(text(view, Caption::MasterVolume)), "volume-label");
    view.volume = named(slider(), "volume");
    view.enableMusic = named(gtk_check_button_new_with_label(text(view, Caption::EnableMusic)), "enable-music");
    GtkWidget* sound = gtk_grid_new();
    gtk_grid_set_column_spacing(GTK_GRID(sound), 8);
    gtk_grid_attach(GTK_GRID(sound), view.volumeLabel, 0, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(sound), view.volume, 1, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(sound), view.enableMusic, 0, 1, 2, 1);

    // Graphics: gamma.
    view.gamma = named(slider(), "gamma");
    GtkWidget* graphics = gtk_grid_new();
    gtk_grid_set_column_spacing(GTK_GRID(graphics), 8);
    gtk_grid_attach(GTK_GRID(graphics), label(text(view, Caption::GammaControl)), 0, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(graphics), view.gamma, 1, 0, 1, 1);

    // Misc: the clock with its style, the frame rate, the mouse rule.
    view.showClock = named(gtk_check_button_new_with_label(text(view, Caption::ShowTime)), "show-time");
    view.style12h = named(gtk_radio_button_new_with_label(nullptr, text(view, Caption::Style12h)), "style-12h");
    view.style24h = named(gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(view.style12h), text(view, Caption::Style24h)),
                           "style-24h");
    view.showFps = named(gtk_check_button_new_with_label(text(view, Caption::ShowFps)), "show-fps");
    view.exitOnMouseMove = named(gtk_check_button_new_with_label(text(view, Caption::ExitOnMouseMove)), "exit-on-mouse-move");
    GtkWidget* misc = gtk_grid_new();
    gtk_grid_set_column_spacing(GTK_GRID(misc), 8);
    gtk_grid_attach(GTK_GRID(misc), view.showClock, 0, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(misc), view.style12h, 0, 1, 1, 1);
    gtk_grid_attach(GTK_GRID(misc), view.style24h, 0, 2, 1, 1);
    gtk_grid_attach(GTK_GRID(misc), view.showFps, 1, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(misc), view.exitOnMouseMove, 1, 1, 1, 1);

    // Products: the web page and the About box.
    GtkWidget* visit = named(gtk_button_new_with_label(text(view, Caption::Visit)), "visit");
    GtkWidget* aboutButton = named(gtk_button_new_with_label(text(view, Caption::About)), "about");
    GtkWidget* products = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    GtkWidget* visitText = label(text(view, Caption::VisitText));
    gtk_widget_set_hexpand(visitText, TRUE);
    gtk_box_pack_start(GTK_BOX(products), visitText, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(products), visit, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(products), aboutButton, FALSE, FALSE, 0);

    // The room, sunken, above the misc options.
    GtkWidget* pictureFrame = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(pictureFrame), GTK_SHADOW_IN);
    gtk_container_add(GTK_CONTAINER(pictureFrame),
                      pictures.room ? pictureWidget(*pictures.room, kPictureWidth, kPictureHeight) : gtk_image_new());
    gtk_widget_set_size_request(pictureFrame, kPictureWidth, kPictureHeight);
    gtk_widget_set_halign(pictureFrame, GTK_ALIGN_CENTER);

    GtkWidget* restore = named(gtk_button_new_with_label(text(view, Caption::RestoreDefaults)), "restore-defaults");
    GtkWidget* ok = named(gtk_button_new_with_label(text(view, Caption::Ok)), "ok");
    GtkWidget* cancel = named(gtk_button_new_with_label(text(view, Caption::Cancel)), "cancel");
    for (GtkWidget* button : {ok, cancel, visit, aboutButton}) gtk_widget_set_size_request(button, 90, -1);

    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
    GtkWidget* left = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_box_pack_start(GTK_BOX(left), group(view, Caption::VideoModeGroup, video), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(left), group(view, Caption::SoundGroup, sound), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(left), group(view, Caption::GraphicsGroup, graphics), FALSE, FALSE, 0);
    gtk_widget_set_size_request(left, 300, -1);
    GtkWidget* right = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_box_pack_start(GTK_BOX(right), pictureFrame, FALSE, FALSE, 0);
    gtk_box_pack_end(GTK_BOX(right), group(view, Caption::MiscGroup, misc), FALSE, FALSE, 0);
    gtk_grid_attach(GTK_GRID(grid), left, 0, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), right, 1, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), group(view, Caption::ProductsGroup, products), 0, 1, 2, 1);
    GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    gtk_box_pack_start(GTK_BOX(buttons), restore, FALSE, FALSE, 0);
    gtk_box_pack_end(GTK_BOX(buttons), cancel, FALSE, FALSE, 0);
    gtk_box_pack_end(GTK_BOX(buttons), ok, FALSE, FALSE, 0);
    gtk_widget_set_margin_top(buttons, 12);
    gtk_grid_attach(GTK_GRID(grid), buttons, 0, 2, 2, 1);
    gtk_container_add(GTK_CONTAINER(view.window), grid);

    view.about = buildAbout(view, pictures);

    // The check boxes whose clicks change the record at once.
    on(view.enableMusic, "toggled", view, [](View& v, GtkWidget*) { v.dialog->musicClicked(); });
    on(view.useDesktop, "toggled", view, [](View& v, GtkWidget*) { v.dialog->desktopClicked(); });
    on(view.showClock, "toggled", view, [](View& v, GtkWidget*) { v.dialog->clockClicked(); });
    // Controls read only at OK.
    on(view.resolution, "changed", view, [](View& v, GtkWidget* w) { v.dialog->controls().resolution = gtk_combo_box_get_active(GTK_COMBO_BOX(w)); });
    on(view.monitor, "changed", view, [](View& v, GtkWidget* w) { v.dialog->controls().monitor = gtk_combo_box_get_active(GTK_COMBO_BOX(w)); });
    on(view.volume, "value-changed", view, [](View& v, GtkWidget* w) { v.dialog->controls().volume = int(gtk_range_get_value(GTK_RANGE(w)) + 0.5); });
    on(view.gamma, "value-changed", view, [](View& v, GtkWidget* w) { v.dialog->controls().gamma = int(gtk_range_get_value(GTK_RANGE(w)) + 0.5); });
    on(view.showFps, "toggled", view, [](View& v, GtkWidget* w) { v.dialog->controls().showFps = checked(w); });
    on(view.exitOnMouseMove, "toggled", view, [](View& v, GtkWidget* w) { v.dialog->controls().exitOnMouseMove = checked(w); });
    on(view.style24h, "toggled", view, [](View& v, GtkWidget* w) { v.dialog->controls().style24h = checked(w); });
    // Buttons.
    on(restore, "clicked", view, [](View& v, GtkWidget*) { v.dialog->restoreDefaults(); });
    on(ok, "clicked", view, [](View& v, GtkWidget*) { v.dialog->ok(); });
    on(cancel, "clicked", view, [](View& v, GtkWidget*) { v.dialog->cancel(); });
    on(aboutButton, "clicked", view, [](View& v, GtkWidget*) { v.dialog->showAbout(); });
    on(visit, "clicked", view, [](View&, GtkWidget*) { openWebPage(OptionsForm::kWebAddress); });
    g_signal_connect(view.window, "delete-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer data) -> gboolean {
                         static_cast<View*>(data)->dialog->cancel();
                         return TRUE;  // the loop below ends and destroys the window
                     }),
                     &view);
}

}  // namespace

bool runOptionsWindow(OptionsForm& dialog, const OptionsPictures& pictures) {
    if (!gtk_init_check(nullptr, nullptr)) return false;
    View view;
    view.dialog = &dialog;
    build(view, pictures);
    sync(view);
    gtk_widget_show_all(view.window);
    gtk_widget_grab_focus(GTK_WIDGET(view.window));
    // The dialog's own loop, so a quit signal (which only stores Quit) ends it too.
    while (runMode() == RunMode::Configure) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    gtk_widget_destroy(view.about);
    gtk_widget_destroy(view.window);
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    return true;
}

void openWebPage(std::string_view address) {
    const std::string target(address);
    gchar* argv[] = {const_cast<gchar*>("xdg-open"), const_cast<gchar*>(target.c_str()), nullptr};
    GError* error = nullptr;
    if (!g_spawn_async(nullptr, argv, nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &error)) g_clear_error(&error);
}

}  // namespace hg::platform
