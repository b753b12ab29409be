#include "score.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>

namespace hg::music {

namespace {

// Pitch class of a note letter with an optional b or # after it; `at` moves past what was read.
int pitchClass(std::string_view text, size_t& at) {
    static const std::map<char, int> kLetters = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11}};
    if (at >= text.size() || !kLetters.contains(text[at])) throw std::invalid_argument("note letter expected in " + std::string(text));
    int pitch = kLetters.at(text[at++]);
    if (at < text.size() && text[at] == 'b') pitch -= 1, ++at;
    else if (at < text.size() && text[at] == '#') pitch += 1, ++at;
    return (pitch + 12) % 12;
}

double parseBeats(std::string_view token) {
    const size_t colon = token.find(':');
    if (colon == std::string_view::npos || colon + 1 >= token.size()) throw std::invalid_argument("no length in " + std::string(token));
    const std::string number(token.substr(colon + 1));
    size_t used = 0;
    const double beats = std::stod(number, &used);
    if (used != number.size() || !(beats > 0.0)) throw std::invalid_argument("bad length in " + std::string(token));
    return beats;
}

std::vector<std::string_view> tokens(std::string_view text) {
    std::vector<std::string_view> out;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        const size_t begin = at;
        while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        if (at > begin) out.push_back(text.substr(begin, at - begin));
    }
    return out;
}

// A small fixed-seed generator: the same music on every render.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed) {}
    int spread(int amount) {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<int>((state_ >> 16) % static_cast<uint32_t>(2 * amount + 1)) - amount;
    }

private:
    uint32_t state_;
};

// The lowest key at or above `floor` with the given pitch class.
int keyAtOrAbove(int pitch, int floor) {
    int key = floor;
    while ((key % 12 + 12) % 12 != pitch) ++key;
    return key;
}

enum class Accompaniment {
    Flowing,  // broken chords in eighths, for the slow carols
    Lilting,  // a bass note and two soft chords per bar, for the dancing ones
};

struct Section {
    double tempo = 80.0;  // quarter notes per minute
    int beatsPerBar = 3;
    double pickup = 0.0;  // beats before the first full bar
    std::string_view melody;
    std::string_view chords;
    int melodyProgram = 10;
    Accompaniment accompaniment = Accompaniment::Flowing;
    double bellsFrom = -1.0;  // from this beat on, the celesta doubles the tune an octave up
    double bellsTo = -1.0;
    int stringsVelocity = 44;
};

constexpr int kMusicBox = 10;
constexpr int kCelesta = 8;

// The carols in the order they play: a short music-box opening, "Silent Night" in C, then
// "O Christmas Tree", "Deck the Halls" and "We Wish You a Merry Christmas" in F, and a turn back
// to C that leads into the opening again.
const std::vector<Section>& sections() {
    static const std::vector<Section> kSections = {
        // Opening: a rising music-box figure over C and G7.
        {80.0, 3, 0.0, "E5:1 G5:1 C6:1 B5:1 G5:1 D5:1", "C:3 G7:3", kMusicBox, Accompaniment::Flowing, -1, -1, 40},
        // Silent Night.
        {80.0, 3, 0.0,
         "G4:1.5 A4:.5 G4:1 E4:3 G4:1.5 A4:.5 G4:1 E4:3 D5:2 D5:1 B4:3 C5:2 C5:1 G4:3 "
         "A4:2 A4:1 C5:1.5 B4:.5 A4:1 G4:1.5 A4:.5 G4:1 E4:3 A4:2 A4:1 C5:1.5 B4:.5 A4:1 G4:1.5 A4:.5 G4:1 E4:3 "
         "D5:2 D5:1 F5:1.5 D5:.5 B4:1 C5:3 E5:3 C5:1.5 G4:.5 E4:1 G4:1.5 F4:.5 D4:1 C4:6",
         "C:12 G7:6 C:6 F:6 C:6 F:6 C:6 G7:6 C:6 C:3 G7:3 C:6", kMusicBox, Accompaniment::Flowing, 54.0, 72.0, 46},
        // O Christmas Tree: verse, middle, verse.
        {92.0, 3, 1.0,
         "C4:1 F4:.75 F4:.25 F4:1.5 G4:.5 A4:.75 A4:.25 A4:1.5 A4:.5 G4:.5 A4:.5 Bb4:1 E4:1 G4:1 F4:1 "
         "C5:1 C5:.5 A4:.5 D5:1.5 C5:.5 C5:.5 Bb4:.5 Bb4:1.5 Bb4:.5 Bb4:.5 G4:.5 C5:1.5 Bb4:.5 Bb4:.5 A4:.5 A4:1 "
         "C4:1 F4:.75 F4:.25 F4:1.5 G4:.5 A4:.75 A4:.25 A4:1.5 A4:.5 G4:.5 A4:.5 Bb4:1 E4:1 G4:1 F4:2",
         "C7:1 F:6 C7:3 F:3 F:1 Bb:2 C7:6 F:2 C7:1 F:6 C7:3 F:3", kCelesta, Accompaniment::Lilting, -1, -1, 40},
        // Deck the Halls.
        {108.0, 4, 0.0,
         "C5:1.5 Bb4:.5 A4:1 G4:1 F4:1 G4:1 A4:1 F4:1 G4:.5 A4:.5 Bb4:.5 G4:.5 A4:1.5 G4:.5 F4:1 E4:1 F4:2 "
         "C5:1.5 Bb4:.5 A4:1 G4:1 F4:1 G4:1 A4:1 F4:1 G4:.5 A4:.5 Bb4:.5 G4:.5 A4:1.5 G4:.5 F4:1 E4:1 F4:2 "
         "G4:1.5 A4:.5 Bb4:1 G4:1 A4:1.5 Bb4:.5 C5:1 G4:1 A4:.5 B4:.5 C5:1 D5:.5 E5:.5 F5:1 E5:1 D5:1 C5:2 "
         "C5:1.5 Bb4:.5 A4:1 G4:1 F4:1 G4:1 A4:1 F4:1 D5:.5 D5:.5 D5:.5 D5:.5 C5:1.5 Bb4:.5 A4:1 G4:1 F4:2",
         "F:6 C7:1 F:1 C7:2 F:3 C7:1 F:2 F:6 C7:1 F:1 C7:2 F:3 C7:1 F:2 "
         "C7:4 F:2 C:2 Am:2 Dm:2 G7:2 C:2 F:6 C7:1 F:1 Bb:2 F:2 C7:2 F:2",
         kMusicBox, Accompaniment::Flowing, 16.0, 32.0, 42},
        // We Wish You a Merry Christmas: verse and "good tidings".
        {120.0, 3, 1.0,
         "C4:1 F4:1 F4:.5 G4:.5 F4:.5 E4:.5 D4:1 D4:1 D4:1 G4:1 G4:.5 A4:.5 G4:.5 F4:.5 E4:1 C4:1 C4:1 "
         "A4:1 A4:.5 Bb4:.5 A4:.5 G4:.5 F4:1 D4:1 C4:.5 C4:.5 D4:1 G4:1 E4:1 F4:2 "
         "C4:1 F4:1 F4:1 F4:1 E4:2 E4:1 F4:1 E4:1 D4:1 C4:2 G4:1 A4:1 G4:1 F4:1 C5:1 C4:1 C4:.5 C4:.5 D4:1 G4:1 E4:1 F4:3",
         "C7:1 F:3 Bb:3 G7:3 C7:3 Dm:3 Bb:3 C7:3 F:2 C7:1 F:3 C:3 G7:3 C:3 F:3 F:3 C7:3 F:3", kCelesta,
         Accompaniment::Lilting, 24.0, 49.0, 38},
        // The turn home: F, D minor, G7, and the opening's C follows.
        {100.0, 3, 0.0, "A4:1.5 G4:.5 F4:1 D4:3 F4:1 G4:1 B4:1 D5:3", "F:3 Dm:3 G7:6", kMusicBox, Accompaniment::Flowing, -1, -1, 40},
    };
    return kSections;
}

struct ChordSpan {
    double from = 0.0;  // beats from the section's start
    double to = 0.0;
    const Chord* chord = nullptr;
};

double sum(const std::vector<Step>& steps) {
    double total = 0.0;
    for (const Step& step : steps) total += step.beats;
    return total;
}

// One section's notes, starting at `start` seconds; returns the section's length in seconds.
double arrangeSection(const Section& section, double start, Score& score, Random& random) {
    const std::vector<Step> melody = parseMelody(section.melody);
    const std::vector<Chord> chords = parseChords(section.chords);
    double chordBeats = 0.0;
    for (const Chord& chord : chords) chordBeats += chord.beats;
    const double beats = sum(melody);
    if (std::abs(beats - chordBeats) > 1e-9) throw std::logic_error("melody and chords differ in length");
    const double secondsPerBeat = 60.0 / section.tempo;
    auto at = [&](double beat) { return start + beat * secondsPerBeat; };
    // Beat position inside the bar, counting the pickup as the end of a bar.
    auto inBar = [&](double beat) { return std::fmod(beat - section.pickup + 4.0 * section.beatsPerBar, section.beatsPerBar); };

    score.programs.push_back({start, kMelody, section.melodyProgram});

    // Tune, and the celesta's octave above it where the arrangement asks.
    double beat = 0.0;
    for (size_t i = 0; i < melody.size(); ++i) {
        const Step& step = melody[i];
        if (step.key >= 0) {
            const bool downbeat = inBar(beat) < 1e-6;
            const bool last = i + 1 == melody.size();
            const int velocity = std::clamp(84 + (downbeat ? 8 : 0) + random.spread(4), 1, 127);
            const double length = step.beats * secondsPerBeat * (last ? 1.0 : 0.92);
            score.notes.push_back({at(beat), length, kMelody, step.key, velocity});
            if (beat >= section.bellsFrom && beat < section.bellsTo)
                score.notes.push_back({at(beat), length, kBells, step.key + 12, std::clamp(46 + random.spread(3), 1, 127)});
        }
        beat += step.beats;
    }

    // Chord spans, with repeated chords joined so the strings do not bow again.
    std::vector<ChordSpan> spans;
    beat = 0.0;
    for (const Chord& chord : chords) {
        if (!spans.empty() && spans.back().chord->root == chord.root && spans.back().chord->intervals == chord.intervals)
            spans.back().to += chord.beats;
        else
            spans.push_back({beat, beat + chord.beats, &chord});
        beat += chord.beats;
    }

    for (const ChordSpan& span : spans) {
        const Chord& chord = *span.chord;
        // Strings: close position from G3 upwards, held for the whole span.
        for (int interval : chord.intervals)
            score.notes.push_back({at(span.from), (span.to - span.from) * secondsPerBeat, kStrings,
                                   keyAtOrAbove((chord.root + interval) % 12, 55), section.stringsVelocity + random.spread(2)});
        // Bass: the root from C2, again at every bar line inside a long span.
        const int bass = keyAtOrAbove(chord.root, 36);
        for (double b = span.from; b < span.to - 1e-9;) {
            double next = b + section.beatsPerBar - inBar(b);
            next = std::min(next, span.to);
            score.notes.push_back({at(b), (next - b) * secondsPerBeat, kBass, bass, 50 + random.spread(3)});
            b = next;
        }
    }

    // Piano: the chord tones from the octave above the bass.
    auto chordAt = [&](double b) -> const ChordSpan& {
        for (const ChordSpan& span : spans)
            if (b >= span.from - 1e-9 && b < span.to - 1e-9) return span;
        return spans.back();
    };
    const double step = section.accompaniment == Accompaniment::Flowing ? 0.5 : 1.0;
    for (double b = 0.0; b < beats - 1e-9; b += step) {
        const ChordSpan& span = chordAt(b);
        const Chord& chord = *span.chord;
        const int root = keyAtOrAbove(chord.root, 48);
        const int third = root + chord.intervals[1];
        const int fifth = root + chord.intervals[2];
        const double untilChange = (span.to - b) * secondsPerBeat;
        const int position = static_cast<int>(std::lround(inBar(b) / step));
        if (section.accompaniment == Accompaniment::Flowing) {
            // Up and down through root, fifth, the seventh or octave, and the tenth.
            const int upper = chord.intervals.size() > 3 ? root + chord.intervals[3] : root + 12;
            const int tones[] = {root, fifth, upper, third + 12};
            const int perBar = section.beatsPerBar * 2;
            const int pattern3[] = {0, 1, 2, 3, 2, 1};
            const int pattern4[] = {0, 1, 2, 3, 2, 1, 2, 1};
            const int index = perBar == 6 ? pattern3[position % 6] : pattern4[position % 8];
            const int velocity = 40 + (position == 0 ? 6 : 0) + random.spread(3);
            score.notes.push_back({at(b), std::min(2.0 * secondsPerBeat, untilChange), kPiano, tones[index], velocity});
        } else if (position == 0) {
            score.notes.push_back({at(b), std::min(1.0 * secondsPerBeat, untilChange), kPiano, root, 46 + random.spread(3)});
        } else {
            for (int key : {third + 12, fifth})
                score.notes.push_back({at(b), std::min(0.8 * secondsPerBeat, untilChange), kPiano, key, 34 + random.spread(3)});
        }
    }
    return beats * secondsPerBeat;
}

}  // namespace

std::vector<Step> parseMelody(std::string_view text) {
    std::vector<Step> steps;
    for (std::string_view token : tokens(text)) {
        Step step;
        step.beats = parseBeats(token);
        if (token[0] != 'R') {
            size_t at = 0;
            const int pitch = pitchClass(token, at);
            if (at >= token.size() || !std::isdigit(static_cast<unsigned char>(token[at])))
                throw std::invalid_argument("octave expected in " + std::string(token));
            const int octave = token[at] - '0';
            // Cb and B# cross the octave line: keep the written octave's letter.
            const int letterOctave = (token[1] == 'b' && token[0] == 'C') ? octave - 1 : (token[1] == '#' && token[0] == 'B') ? octave + 1 : octave;
            step.key = (letterOctave + 1) * 12 + pitch;
        }
        steps.push_back(step);
    }
    return steps;
}

std::vector<Chord> parseChords(std::string_view text) {
    std::vector<Chord> chords;
    for (std::string_view token : tokens(text)) {
        Chord chord;
        chord.beats = parseBeats(token);
        size_t at = 0;
        chord.root = pitchClass(token, at);
        const std::string_view quality = token.substr(at, token.find(':') - at);
        if (quality.empty()) chord.intervals = {0, 4, 7};
        else if (quality == "m") chord.intervals = {0, 3, 7};
        else if (quality == "7") chord.intervals = {0, 4, 7, 10};
        else if (quality == "maj7") chord.intervals = {0, 4, 7, 11};
        else if (quality == "m7") chord.intervals = {0, 3, 7, 10};
        else throw std::invalid_argument("unknown chord " + std::string(token));
        chords.push_back(chord);
    }
    return chords;
}

Score arrangeCarols() {
    Score score;
    Random random(0x5eed2412u);
    double time = 0.0;
    for (const Section& section : sections()) time += arrangeSection(section, time, score, random);
    score.length = time;
    std::sort(score.notes.begin(), score.notes.end(), [](const Note& a, const Note& b) { return a.start < b.start; });
    return score;
}

}  // namespace hg::music
