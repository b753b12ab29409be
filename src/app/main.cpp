// Hearthglow: a holiday living room at night, as a screensaver.
#include <cstdio>

#include "app/command_line.h"
#include "app/saver.h"

int main(int argc, char** argv) {
    // The command line is checked before anything touches the disk, so a typo leaves no trace.
    const hg::CommandLine commandLine = hg::parseCommandLine(argc, argv);
    if (commandLine.outcome == hg::CommandLine::Outcome::Help) {
        std::printf("%s\n", hg::usageLine().c_str());
        return 0;
    }
    if (commandLine.outcome == hg::CommandLine::Outcome::Usage) {
        std::fprintf(stderr, "hearthglow: %s; %s\n", commandLine.error.c_str(), hg::usageLine().c_str());
        return 2;
    }
    static hg::Saver saver;
    return saver.start(commandLine);
}
