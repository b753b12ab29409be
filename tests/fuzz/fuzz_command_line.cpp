// The command line as main() reads it. The input is cut at its zero bytes: the first piece is the
// host's XSCREENSAVER_WINDOW (an empty piece: not set), the rest are argv, program name first. It is
// parsed as Linux passes it (the arguments) and as Windows does (one system line, here the pieces
// joined by blanks).
//
// Checks: every value a run takes lies in the range its option allows, a window run never draws
// into a host's window, a root window has no id and a named one a 32-bit id, and a refused line
// says why.
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "fuzz_target.h"

namespace {

using namespace hg;

void checkParsed(const CommandLine& parsed, const std::vector<std::string>& args) {
    if (parsed.outcome == CommandLine::Outcome::Usage) {
        fuzz::check(!parsed.error.empty(), "a refused command line says why");
        return;
    }
    if (parsed.outcome != CommandLine::Outcome::Dispatch) return;
    if (parsed.switches.mode != RunMode::Run) {
        for (size_t i = 1; i < args.size(); ++i) {
            fuzz::check(!(args[i].size() > 2 && args[i].starts_with("--")), "long options always mean a run");
        }
    }
    const LaunchOptions& o = parsed.options;
    fuzz::check(o.windowWidth >= 1 && o.windowWidth <= 16384 && o.windowHeight >= 1 && o.windowHeight <= 16384,
                "a window size within 1..16384");
    fuzz::check(!o.frames || *o.frames >= 1, "a positive frame count");
    fuzz::check(!o.fixedStep || (std::isfinite(*o.fixedStep) && *o.fixedStep > 0.0f && *o.fixedStep <= 1000.0f),
                "a frame step within (0, 1000]");
    fuzz::check(!o.volume || (*o.volume >= 0 && *o.volume <= 100), "a volume within 0..100");
    fuzz::check(!o.monitor || (*o.monitor >= -1 && *o.monitor <= 64), "a monitor within -1..64");
    fuzz::check(!o.screenshot || !o.screenshot->empty(), "a screenshot has a file name");
    if (o.clock) {
        const CalendarTime& t = *o.clock;
        fuzz::check(t.year >= 1970 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour >= 0 &&
                        t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59,
                    "a clock time that exists");
    }
    if (o.host) {
        fuzz::check(!o.window, "a window run never draws into a host's window");
        if (o.host->root) {
            fuzz::check(o.host->id == 0 && !o.host->preview, "the root window has no id");
        } else {
            fuzz::check(o.host->id >= 1 && o.host->id <= 0xFFFFFFFFu, "a host window has a 32-bit id");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input = fuzz::inputOf(data, size);
    const std::string text(input.begin(), input.end());
    std::vector<std::string> pieces;
    for (size_t at = 0;;) {
        const size_t zero = text.find('\0', at);
        pieces.push_back(text.substr(at, zero == std::string::npos ? std::string::npos : zero - at));
        if (zero == std::string::npos) break;
        at = zero + 1;
    }
    const std::string variable = pieces.front();
    std::vector<std::string> args(pieces.begin() + 1, pieces.end());
    if (args.empty()) args.push_back("hearthglow");
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    const std::optional<std::string_view> hostWindow =
        variable.empty() ? std::nullopt : std::optional<std::string_view>(variable);

    checkParsed(parseCommandLine(int(argv.size()), argv.data(), hostWindow), args);
    std::string systemLine;
    for (const std::string& arg : args) systemLine += (systemLine.empty() ? "" : " ") + arg;
    checkParsed(parseCommandLine(int(argv.size()), argv.data(), hostWindow, systemLine), args);
    return 0;
}
