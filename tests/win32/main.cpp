// The Windows test program. Started with --print-switches it is instead a stand-in screensaver for
// the command-line tests: it prints what the program would make of the command line Windows gave it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "app/command_line.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--print-switches") != 0) continue;
        const auto line = hg::platform::systemCommandLine();
        const hg::SwitchResult switches = hg::parseSwitches(line.value_or(""));
        std::printf("mode %d parent %u\n", static_cast<int>(switches.mode), switches.parentWindow);
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
