#include "app/command_line.h"

#include <cctype>
#include <charconv>
#include <cmath>

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

std::string usageLine() {
    return "usage: hearthglow [/s | /c[:N] | /p N | /t] | [--window [WxH]] [--frames N] [--screenshot FILE.png] "
           "[--fixed-step S] [--clock YYYY-MM-DDTHH:MM:SS] [--seed N] [--no-vsync] [--no-vbo] [--no-occlusion] [--no-room] [--no-overlay] [--effect NAME] [--model NAME]";
}

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine result;
    bool anyLong = false;
    for (int i = 1; i < argc; ++i) anyLong = anyLong || isLongOption(argv[i]);
    if (!anyLong) {
        result.switches = parseSwitches(joinCommandLine(argc, argv));
        return result;
    }

    result.switches.mode = RunMode::Run;
    LaunchOptions& options = result.options;
    auto fail = [&](std::string message) {
        result.outcome = CommandLine::Outcome::Usage;
        result.error = std::move(message);
        return result;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc && !isLongOption(argv[i + 1]);
        auto value = [&]() -> std::optional<std::string_view> {
            if (!hasValue) return std::nullopt;
            return std::string_view(argv[++i]);
        };
        if (arg == "--help") {
            result.outcome = CommandLine::Outcome::Help;
            return result;
        } else if (arg == "--window") {
            options.window = true;
            if (hasValue) {
                auto size = parseWindowSize(argv[i + 1]);
                if (!size) return fail("bad window size '" + std::string(argv[i + 1]) + "'");
                ++i;
                options.windowWidth = size->first;
                options.windowHeight = size->second;
            }
        } else if (arg == "--frames") {
            auto text = value();
            auto frames = text ? parseNumber<long>(*text) : std::nullopt;
            if (!frames || *frames < 1) return fail("--frames needs a positive whole number");
            options.frames = *frames;
        } else if (arg == "--screenshot") {
            auto text = value();
            if (!text || text->empty()) return fail("--screenshot needs a file name");
            options.screenshot = std::string(*text);
        } else if (arg == "--fixed-step") {
            auto text = value();
            auto step = text ? parseNumber<float>(*text) : std::nullopt;
            if (!step || !std::isfinite(*step) || *step <= 0.0f || *step > 1000.0f)
                return fail("--fixed-step needs a positive number");
            options.fixedStep = *step;
        } else if (arg == "--clock") {
            auto text = value();
            auto time = text ? parseCalendarTime(*text) : std::nullopt;
            if (!time) return fail("--clock needs YYYY-MM-DDTHH:MM:SS");
            options.clock = *time;
        } else if (arg == "--seed") {
            auto text = value();
            auto seed = text ? parseNumber<uint32_t>(*text) : std::nullopt;
            if (!seed) return fail("--seed needs a whole number");
            options.seed = *seed;
        } else if (arg == "--no-vsync") {
            options.noVsync = true;
        } else if (arg == "--model") {
            auto text = value();
            if (!text || text->empty()) return fail("--model needs a model name");
            options.model = std::string(*text);
            options.window = true;
        } else if (arg == "--no-vbo") {
            options.noVertexBuffers = true;
        } else if (arg == "--no-occlusion") {
            options.noOcclusionQueries = true;
        } else if (arg == "--no-room") {
            options.noRoom = true;
        } else if (arg == "--no-overlay") {
            options.noOverlay = true;
        } else if (arg == "--effect") {
            auto text = value();
            if (!text || text->empty()) return fail("--effect needs the name of an effect");
            options.effect = std::string(*text);
            options.window = true;
        } else {
            return fail("unknown option '" + std::string(arg) + "'");
        }
    }
    return result;
}

}  // namespace hg
