// The Options dialog as `/c` shows it (runConfiguration: the GTK window over a real OptionsDialog,
// captions and pictures from the program's archives), run in this process over a scratch settings
// file. A GLib timeout inside the dialog's own loop finds the controls by their names and works
// them through the widgets' own signals, as clicks do; the settings file shows what was saved.
#include <gtk/gtk.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string_view>

#include "app/options_dialog.h"
#include "platform/posix/settings_file.h"
#include "archive/embedded.h"
#include "archive/file_system.h"
#include "core/log.h"
#include "core/run_mode.h"
#include "test_support.h"

namespace hg {
namespace {

GtkWidget* findIn(GtkWidget* widget, std::string_view name) {
    if (name == gtk_widget_get_name(widget)) return widget;
    if (!GTK_IS_CONTAINER(widget)) return nullptr;
    GtkWidget* found = nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* child = children; child && !found; child = child->next) found = findIn(GTK_WIDGET(child->data), name);
    g_list_free(children);
    return found;
}

// The widget of that name in any of the process's windows (shown or hidden), or null.
GtkWidget* named(std::string_view name) {
    GList* windows = gtk_window_list_toplevels();
    GtkWidget* found = nullptr;
    for (GList* window = windows; window && !found; window = window->next) found = findIn(GTK_WIDGET(window->data), name);
    g_list_free(windows);
    return found;
}

// What a user sees and does. A control that is missing or disabled cannot be worked: the test
// fails there, as a user would be stuck.
GtkWidget* usable(std::string_view name) {
    GtkWidget* widget = named(name);
    if (!widget) ADD_FAILURE() << "no control named " << name;
    else if (!gtk_widget_is_sensitive(widget)) ADD_FAILURE() << name << " is disabled";
    else return widget;
    return nullptr;
}
void click(std::string_view name) {
    if (GtkWidget* widget = usable(name)) gtk_button_clicked(GTK_BUTTON(widget));
}
void choose(std::string_view name, int entry) {
    if (GtkWidget* widget = usable(name)) gtk_combo_box_set_active(GTK_COMBO_BOX(widget), entry);
}
void slide(std::string_view name, int value) {
    if (GtkWidget* widget = usable(name)) gtk_range_set_value(GTK_RANGE(widget), value);
}
bool checked(std::string_view name) {
    GtkWidget* widget = named(name);
    return widget && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget));
}
bool enabled(std::string_view name) {
    GtkWidget* widget = named(name);
    return widget && gtk_widget_is_sensitive(widget);
}
bool visible(std::string_view name) {
    GtkWidget* widget = named(name);
    return widget && gtk_widget_get_visible(widget);
}
int selected(std::string_view name) {
    GtkWidget* widget = named(name);
    return widget ? gtk_combo_box_get_active(GTK_COMBO_BOX(widget)) : -2;
}
int entries(std::string_view name) {
    GtkWidget* widget = named(name);
    return widget ? gtk_tree_model_iter_n_children(gtk_combo_box_get_model(GTK_COMBO_BOX(widget)), nullptr) : 0;
}
int value(std::string_view name) {
    GtkWidget* widget = named(name);
    return widget ? int(gtk_range_get_value(GTK_RANGE(widget)) + 0.5) : -1;
}

// A settings file that differs from the defaults in most values; the volume is beyond the
// slider's range, and the desktop flag hides the stored mode.
const std::string kStored =
    "Resolution: 3\nGamma: 2\nFps: 0\nClock: 1\nExitMM: 1\nEnable sound: 0\nEnable music: 1\n"
    "Music volume: 40\nSound volume: 250\nUsemon: 1\nStyle24h: 0\n";

struct OptionsWindow : ::testing::Test {
    test::ScratchDir dir;
    FileSettingsStore store{dir / "settings.conf"};
    Log quiet;
    FileSystem files;

    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
        setenv("NO_AT_BRIDGE", "1", 1);  // no accessibility bus under the test display
        files.initialise(quiet, embeddedMainArchive(), embeddedOverlayArchive());
        test::writeText(store.path(), kStored);
    }

    // Shows the dialog over the settings file and runs `user` once its window is on the screen.
    // The dialog must have ended when `user` is done (or soon after, for the close box).
    void run(const std::function<void()>& user) {
        Settings settings;
        settings.load(store, [] { return DesktopSize{1280, 1024}; });
        struct Script {
            const std::function<void()>* user;
            bool done = false;
        } script{&user};
        const guint start = g_timeout_add(10, [](gpointer data) -> gboolean {
            auto* s = static_cast<Script*>(data);
            GtkWidget* window = named("options");
            if (!window || !gtk_widget_get_mapped(window)) return G_SOURCE_CONTINUE;
            (*s->user)();
            s->done = true;
            // A failed step leaves the dialog open: close it so the test ends.
            if (::testing::Test::HasFailure()) setRunMode(RunMode::Quit);
            return G_SOURCE_REMOVE;
        }, &script);
        const guint limit = g_timeout_add_seconds(30, [](gpointer) -> gboolean {
            ADD_FAILURE() << "the dialog did not end";
            setRunMode(RunMode::Quit);
            return G_SOURCE_REMOVE;
        }, nullptr);
        setRunMode(RunMode::Configure);
        EXPECT_EQ(runConfiguration(settings, store, files), 0);
        if (!script.done) g_source_remove(start);
        g_source_remove(limit);
        EXPECT_TRUE(script.done) << "the dialog ended before it was worked";
        EXPECT_EQ(named("options"), nullptr) << "the dialog's window outlived it";
    }
};

TEST_F(OptionsWindow, ShowsTheStoredSettingsAndOkSavesWhatTheControlsShow) {
    run([] {
        EXPECT_TRUE(checked("use-desktop"));
        EXPECT_FALSE(enabled("resolution"));
        EXPECT_TRUE(checked("enable-music"));
        EXPECT_EQ(value("volume"), 100);
        EXPECT_EQ(value("gamma"), 50);
        EXPECT_FALSE(checked("show-fps"));
        EXPECT_TRUE(checked("exit-on-mouse-move"));
        EXPECT_TRUE(checked("show-time"));
        EXPECT_TRUE(checked("style-12h"));
        EXPECT_EQ(selected("monitor"), 0);

        click("use-desktop");
        choose("resolution", 4);  // 1280x1024x16
        click("enable-music");
        slide("gamma", 75);
        click("show-fps");
        click("exit-on-mouse-move");
        click("style-24h");
        choose("monitor", entries("monitor") - 1);  // "Every monitor", the last entry
        click("ok");
    });
    // Every control as shown; the volume the slider showed; the values without a control kept.
    EXPECT_EQ(test::readText(store.path()),
              "Resolution: 4\nGamma: 3\nFps: 1\nClock: 1\nExitMM: 0\nEnable sound: 0\nEnable music: 0\n"
              "Music volume: 40\nSound volume: 100\nUsemon: 0\nStyle24h: 1\nMonitor: -1\n");
}

TEST_F(OptionsWindow, CancelAndTheCloseBoxSaveNothing) {
    for (const char* way : {"cancel", "close box"}) {
        SCOPED_TRACE(way);
        const std::string closeBox = "close box";
        run([&] {
            click("show-fps");
            click("enable-music");
            click("show-time");
            slide("gamma", 100);
            if (way == closeBox) gtk_window_close(GTK_WINDOW(named("options")));
            else click("cancel");
        });
        EXPECT_EQ(test::readText(store.path()), kStored);
    }
}

TEST_F(OptionsWindow, RestoreDefaultsShowsTheDefaultsAndSavesOnlyWithOk) {
    run([] {
        click("use-desktop");
        click("show-fps");
        click("restore-defaults");
        EXPECT_TRUE(checked("use-desktop"));
        EXPECT_FALSE(enabled("resolution"));
        EXPECT_EQ(value("volume"), 40);
        EXPECT_EQ(value("gamma"), 75);
        EXPECT_FALSE(checked("show-fps"));
        EXPECT_TRUE(checked("style-12h"));
        click("cancel");
    });
    EXPECT_EQ(test::readText(store.path()), kStored);

    run([] {
        click("restore-defaults");
        click("ok");
    });
    const std::string saved = test::readText(store.path());
    for (const char* line : {"Gamma: 3\n", "Fps: 0\n", "Sound volume: 40\n", "Usemon: 1\n", "Style24h: 0\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line << " in\n" << saved;
}

TEST_F(OptionsWindow, EnableStatesFollowTheCheckBoxes) {
    run([] {
        EXPECT_TRUE(enabled("volume"));
        click("enable-music");
        EXPECT_FALSE(enabled("volume"));
        EXPECT_FALSE(enabled("volume-label"));
        click("enable-music");
        EXPECT_TRUE(enabled("volume"));
        EXPECT_TRUE(enabled("volume-label"));

        click("show-time");
        EXPECT_FALSE(enabled("style-12h"));
        EXPECT_FALSE(enabled("style-24h"));
        click("show-time");
        EXPECT_TRUE(enabled("style-24h"));

        click("use-desktop");
        EXPECT_TRUE(enabled("resolution"));
        click("use-desktop");
        EXPECT_FALSE(enabled("resolution"));
        click("cancel");
    });
}

TEST_F(OptionsWindow, AboutOpensAndClosesWithoutEndingTheDialog) {
    run([] {
        EXPECT_FALSE(visible("about-box"));
        click("about");
        EXPECT_TRUE(visible("about-box"));
        click("about-ok");
        EXPECT_FALSE(visible("about-box"));
        EXPECT_EQ(runMode(), RunMode::Configure);
        click("cancel");
    });
    EXPECT_EQ(test::readText(store.path()), kStored);
}

}  // namespace
}  // namespace hg
