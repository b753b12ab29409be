#include "app/command_line.h"

#include "core/settings.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <map>

namespace hg {
namespace {

size_t skipProgramName(std::string_view line) {
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        return close == std::string_view::npos ? line.size() : close + 1;
    }
    const size_t space = line.find(' ');
    return space == std::string_view::npos ? line.size() : space + 1;
}

// The decimal number that starts at the first digit after `from`; none when no digit follows.
std::optional<uint32_t> numberAfter(std::string_view line, size_t from) {
    size_t i = from;
    while (i < line.size() && !std::isdigit(static_cast<unsigned char>(line[i]))) ++i;
    if (i >= line.size()) return std::nullopt;
    uint64_t value = 0;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) {
        value = value * 10 + static_cast<uint64_t>(line[i] - '0');
        if (value > UINT32_MAX) return UINT32_MAX;  // a handle never has more digits than this
        ++i;
    }
    return static_cast<uint32_t>(value);
}

template <typename T>
std::optional<T> parseNumber(std::string_view text) {
    T value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<std::pair<int, int>> parseWindowSize(std::string_view text) {
    const size_t x = text.find('x');
    if (x == std::string_view::npos) return std::nullopt;
    auto width = parseNumber<int>(text.substr(0, x));
    auto height = parseNumber<int>(text.substr(x + 1));
    if (!width || !height || *width < 1 || *height < 1 || *width > 16384 || *height > 16384) return std::nullopt;
    return std::pair{*width, *height};
}

bool isLongOption(std::string_view arg) { return arg.size() > 2 && arg[0] == '-' && arg[1] == '-'; }

}  // namespace

SwitchResult parseSwitches(std::string_view line, uint32_t parentWindow) {
    SwitchResult result{RunMode::Configure, parentWindow};
    const size_t start = skipProgramName(line);
    const size_t mark = line.find_first_of("/-", start);
    if (mark == std::string_view::npos) return result;

    const char letter = mark + 1 < line.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(line[mark + 1]))) : '\0';
    switch (letter) {
        case 'C':
            result.mode = RunMode::Configure;
            result.parentWindow = numberAfter(line, mark + 2).value_or(0);
            break;
        case 'P':
            result.mode = RunMode::Preview;
            if (auto handle = numberAfter(line, mark + 2)) result.parentWindow = *handle;
            break;
        case 'T':
            result.mode = RunMode::Preview;
            break;
        default:
            result.mode = RunMode::Run;
            break;
    }
    return result;
}

std::string joinCommandLine(int argc, const char* const* argv) {
    std::string line;
    for (int i = 0; i < argc; ++i) {
        std::string_view arg = argv[i] ? argv[i] : "";
        if (i > 0) line += ' ';
        if (i == 0 && arg.find(' ') != std::string_view::npos) {
            line += '"';
            line += arg;
            line += '"';
        } else {
            line += arg;
        }
    }
    return line;
}

std::optional<CalendarTime> parseCalendarTime(std::string_view text) {
    // YYYY-MM-DDTHH:MM:SS
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    auto field = [&](size_t at, size_t width) { return parseNumber<int>(text.substr(at, width)); };
    auto year = field(0, 4), month = field(5, 2), day = field(8, 2);
    auto hour = field(11, 2), minute = field(14, 2), second = field(17, 2);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (*year % 4 == 0 && *year % 100 != 0) || *year % 400 == 0;
    if (*year < 1970 || *month < 1 || *month > 12 || *day < 1) return std::nullopt;
    if (*day > kDays[*month - 1] || (*month == 2 && *day == 29 && !leap)) return std::nullopt;
    if (*hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
    return CalendarTime{*year, *month, *day, *hour, *minute, *second};
}

std::optional<uint64_t> parseWindowId(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value == 0 || value > UINT32_MAX) return std::nullopt;
    return value;
}

std::string usageLine() {
    return "usage: hearthglow [/s | /c[:N] | /p N | /t] | [--window [WxH]] [--frames N] [--screenshot FILE.png] "
           "[--fixed-step S] [--clock YYYY-MM-DDTHH:MM:SS] [--seed N] [--no-vsync] [--no-vbo] [--no-occlusion] [--no-multitexture] "
           "[--no-room] [--no-overlay] [--gl-check] [--census N] [--root] [--window-id ID] [--show-time | "
           "--hide-time] [--24h | --12h] [--music | --no-music] [--volume N] [--fps | --no-fps] [--monitor N] | "
           "--add-to-xscreensaver | --help";
}

namespace {

// The long options that take no value, and what each one asks for.
using Flag = void (*)(LaunchOptions&);
const std::map<std::string_view, Flag>& flagOptions() {
    static const std::map<std::string_view, Flag> flags = {
        {"--no-vsync", [](LaunchOptions& o) { o.noVsync = true; }},
        {"--no-vbo", [](LaunchOptions& o) { o.noVertexBuffers = true; }},
        {"--no-occlusion", [](LaunchOptions& o) { o.noOcclusionQueries = true; }},
        {"--no-multitexture", [](LaunchOptions& o) { o.noMultitexture = true; }},
        {"--no-room", [](LaunchOptions& o) { o.noRoom = true; }},
        {"--no-overlay", [](LaunchOptions& o) { o.noOverlay = true; }},
        {"--gl-check", [](LaunchOptions& o) { o.glCheck = true; }},
        {"--root", [](LaunchOptions&) {}},  // read in parseCommandLine: it needs the other options first
        {"--show-time", [](LaunchOptions& o) { o.showClock = true; }},
        {"--hide-time", [](LaunchOptions& o) { o.showClock = false; }},
        {"--24h", [](LaunchOptions& o) { o.style24h = true; }},
        {"--12h", [](LaunchOptions& o) { o.style24h = false; }},
        {"--music", [](LaunchOptions& o) { o.music = true; }},
        {"--no-music", [](LaunchOptions& o) { o.music = false; }},
        {"--fps", [](LaunchOptions& o) { o.showFps = true; }},
        {"--no-fps", [](LaunchOptions& o) { o.showFps = false; }},
    };
    return flags;
}

// The long options that need a value (--window takes one only when it looks like WxH).
constexpr std::array<std::string_view, 9> kValueOptions = {"--frames", "--screenshot", "--fixed-step", "--clock", "--seed",
                                                           "--window-id", "--volume", "--monitor", "--census"};

bool isKnownLongOption(std::string_view name) {
    return flagOptions().count(name) != 0 || std::find(kValueOptions.begin(), kValueOptions.end(), name) != kValueOptions.end() ||
           name == "--window" || name == "--help" || name == "--add-to-xscreensaver";
}

// Hosts write -root and -window-id with one dash; every long option is understood that way too.
// Single letters (-s, -c, -p) stay screensaver switches.
std::string spelledLong(std::string_view arg) {
    if (arg.size() > 2 && arg[0] == '-' && arg[1] != '-') {
        const std::string doubled = "-" + std::string(arg);
        if (isKnownLongOption(doubled)) return doubled;
    }
    return std::string(arg);
}

// Reads the value of one value option into `options`; the error message when it is not right.
std::optional<std::string> readValueOption(std::string_view name, std::optional<std::string_view> text, LaunchOptions& options,
                                           std::optional<uint64_t>& windowId) {
    if (name == "--frames") {
        auto frames = text ? parseNumber<long>(*text) : std::nullopt;
        if (!frames || *frames < 1) return "--frames needs a positive whole number";
        options.frames = *frames;
    } else if (name == "--census") {
        auto frame = text ? parseNumber<long>(*text) : std::nullopt;
        if (!frame || *frame < 1) return "--census needs a positive whole number";
        options.census = *frame;
    } else if (name == "--screenshot") {
        if (!text || text->empty()) return "--screenshot needs a file name";
        options.screenshot = std::string(*text);
    } else if (name == "--fixed-step") {
        auto step = text ? parseNumber<float>(*text) : std::nullopt;
        if (!step || !std::isfinite(*step) || *step <= 0.0f || *step > 1000.0f) return "--fixed-step needs a positive number";
        options.fixedStep = *step;
    } else if (name == "--clock") {
        auto time = text ? parseCalendarTime(*text) : std::nullopt;
        if (!time) return "--clock needs YYYY-MM-DDTHH:MM:SS";
        options.clock = *time;
    } else if (name == "--seed") {
        auto seed = text ? parseNumber<uint32_t>(*text) : std::nullopt;
        if (!seed) return "--seed needs a whole number";
        options.seed = *seed;
    } else if (name == "--window-id") {
        windowId = text ? parseWindowId(*text) : std::nullopt;
        if (!windowId) return "--window-id needs an X window id (0x... or decimal)";
    } else if (name == "--volume") {
        auto volume = text ? parseNumber<int>(*text) : std::nullopt;
        if (!volume || *volume < 0 || *volume > 100) return "--volume needs a whole number from 0 to 100";
        options.volume = *volume;
    } else if (name == "--monitor") {
        auto monitor = text ? parseNumber<int>(*text) : std::nullopt;
        if (!monitor || *monitor < -1 || *monitor > 64) return "--monitor needs -1 (every monitor), 0 (the primary) or N";
        options.monitor = *monitor;
    }
    return std::nullopt;
}

std::optional<uint64_t> hostWindowFrom(std::optional<std::string_view> variable) {
    return variable ? parseWindowId(*variable) : std::nullopt;
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv, std::optional<std::string_view> hostWindowVariable,
                             std::optional<std::string_view> systemLine) {
    CommandLine result;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(spelledLong(argv[i] ? argv[i] : ""));
    const bool anyLong = std::any_of(args.begin(), args.end(), [](const std::string& arg) { return isLongOption(arg); });
    const std::optional<uint64_t> variableWindow = hostWindowFrom(hostWindowVariable);
    if (!anyLong) {
        result.switches = parseSwitches(systemLine ? std::string(*systemLine) : joinCommandLine(argc, argv));
        // Started by a host without arguments (or with /s): its window is where the room goes.
        if (variableWindow && (args.empty() || result.switches.mode == RunMode::Run)) {
            result.switches.mode = RunMode::Run;
            result.options.host = HostWindow{*variableWindow, false, false};
        }
        return result;
    }

    result.switches.mode = RunMode::Run;
    LaunchOptions& options = result.options;
    auto fail = [&](std::string message) {
        result.outcome = CommandLine::Outcome::Usage;
        result.error = std::move(message);
        return result;
    };
    bool root = false;
    std::optional<uint64_t> windowId;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size() && !isLongOption(args[i + 1]);
        if (arg == "--help") {
            result.outcome = CommandLine::Outcome::Help;
            return result;
        } else if (arg == "--add-to-xscreensaver") {
            result.outcome = CommandLine::Outcome::AddToXScreenSaver;
            return result;
        } else if (arg == "--window") {
            options.window = true;
            if (hasValue) {
                auto size = parseWindowSize(args[i + 1]);
                if (!size) return fail("bad window size '" + args[i + 1] + "'");
                ++i;
                options.windowWidth = size->first;
                options.windowHeight = size->second;
            }
        } else if (auto flag = flagOptions().find(arg); flag != flagOptions().end()) {
            flag->second(options);
            root = root || arg == "--root";
        } else if (std::find(kValueOptions.begin(), kValueOptions.end(), arg) != kValueOptions.end()) {
            std::optional<std::string_view> value;
            if (hasValue) value = args[++i];
            if (auto error = readValueOption(arg, value, options, windowId)) return fail(*error);
        } else {
            return fail("unknown option '" + arg + "'");
        }
    }

    if (windowId) {
        options.host = HostWindow{*windowId, false, true};
    } else if (variableWindow && !options.window) {
        options.host = HostWindow{*variableWindow, false, false};
    } else if (root) {
        options.host = HostWindow{0, true, false};
    }
    if ((root || windowId) && options.window) return fail("--window cannot be combined with --root or --window-id");
    return result;
}

void applyRunOverrides(const LaunchOptions& options, Settings& settings) {
    if (options.showClock) settings.showClock = *options.showClock;
    if (options.style24h) settings.style24h = *options.style24h;
    if (options.music) settings.enableMusic = *options.music;
    if (options.volume) settings.soundVolume = static_cast<float>(*options.volume);
    if (options.showFps) settings.showFps = *options.showFps;
    if (options.monitor) settings.monitor = *options.monitor;
}

}  // namespace hg
