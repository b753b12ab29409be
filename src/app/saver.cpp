#include "app/saver.h"

#include "archive/embedded.h"
#include "platform/platform.h"

namespace hg {

Saver::Saver() : settingsStore_(platform::settingsFilePath()) {}

int Saver::start(const CommandLine& commandLine) {
    log_.open("Log.txt");
    settings_.load(settingsStore_, [] { return platform::desktopSize(); });
    fileSystem_.initialise(log_, embeddedMainArchive(), embeddedOverlayArchive());
    options_ = commandLine.options;
    parentWindow_ = commandLine.switches.parentWindow;
    setRunMode(commandLine.switches.mode);

    // Re-read before each test: a mode ends by leaving Quit behind, so only one of them runs.
    int exitCode = 0;
    if (runMode() == RunMode::Configure) exitCode = configure();
    if (runMode() == RunMode::Run) exitCode = run();
    if (runMode() == RunMode::Preview) exitCode = preview();
    return exitCode;
}

int Saver::configure() {
    setRunMode(RunMode::Quit);
    return 0;
}

int Saver::run() {
    log_.writeLine("Starting...");
    log_.writeLine("Starting init OpenGL");
    setRunMode(RunMode::Quit);
    return 0;
}

int Saver::preview() {
    log_.writeLine(std::to_string(parentWindow_));
    log_.writeLine("Creating window...");
    log_.writeLine("Create Window failed!");
    setRunMode(RunMode::Quit);
    return 1;
}

}  // namespace hg
