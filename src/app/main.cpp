// Hearthglow: a holiday living room at night, as a screensaver.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "app/command_line.h"
#include "app/saver.h"
#include "archive/embedded.h"
#include "app/xscreensaver_list.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    // The command line is checked before anything touches the disk, so a typo leaves no trace.
    const char* hostWindow = std::getenv("XSCREENSAVER_WINDOW");
    const std::optional<std::string> systemLine = hg::platform::systemCommandLine();
    const hg::CommandLine commandLine =
        hg::parseCommandLine(argc, argv, hostWindow ? std::optional<std::string_view>(hostWindow) : std::nullopt,
                             systemLine ? std::optional<std::string_view>(*systemLine) : std::nullopt);
    if (commandLine.outcome == hg::CommandLine::Outcome::Help) {
        std::printf("%s\n", hg::usageLine().c_str());
        return 0;
    }
    if (commandLine.outcome == hg::CommandLine::Outcome::AddToXScreenSaver) {
        const hg::XScreenSaverEdit edit = hg::addHackToXScreenSaver(hg::platform::homeFolder(), hg::xscreensaverAppDefaultsPath());
        const bool failed = edit.outcome == hg::XScreenSaverEdit::Outcome::Failed;
        std::fprintf(failed ? stderr : stdout, "%s\n", edit.message.c_str());
        return failed ? 1 : 0;
    }
    if (commandLine.outcome == hg::CommandLine::Outcome::Usage) {
        std::fprintf(stderr, "hearthglow: %s; %s\n", commandLine.error.c_str(), hg::usageLine().c_str());
        return 2;
    }
    hg::platform::reuseLargeBlocks();
    hg::platform::keepHeapInHugePages();
    static hg::Saver saver(hg::ArchiveImages{hg::embeddedMainArchive(), hg::embeddedOverlayArchive(), true});
    return saver.start(commandLine);
}
