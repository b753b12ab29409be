#pragma once
// The hgpak command line: create, list, extract, test. Kept apart from main() so tests can run
// the commands in-process.
#include <ostream>
#include <string>
#include <vector>

namespace hg::pak {

// `args` excludes the program name. Returns the exit status: 0 success, 1 failure (one line on
// `err`), 2 a command line that is not understood.
int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace hg::pak
