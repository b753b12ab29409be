#pragma once
// The room's music: our own arrangement of four public-domain carols for music box and celesta,
// a gentle piano and soft strings, as a list of timed notes for the synthesiser.
#include <string_view>
#include <vector>

namespace hg::music {

// General MIDI programs (numbered from 0) and the channel each part plays on.
enum Part { kMelody = 0, kPiano = 1, kStrings = 2, kBass = 3, kBells = 4, kPartCount = 5 };

struct Note {
    double start = 0.0;     // seconds from the start of the piece
    double length = 0.0;    // seconds
    int part = kMelody;
    int key = 60;           // MIDI key number
    int velocity = 64;
};

// Change of instrument on a channel at a point in time (the melody moves between music box and
// celesta from one carol to the next).
struct ProgramChange {
    double time = 0.0;
    int part = kMelody;
    int program = 0;
};

struct Score {
    std::vector<Note> notes;
    std::vector<ProgramChange> programs;
    double length = 0.0;  // the loop length in seconds: the piece starts over here
};

// Parses "G4:1.5 A4:.5 Bb4:1 R:2" (note name, optional b or #, octave, ':' beats; R rests) into
// (key, beats) pairs; key -1 is a rest. Throws std::invalid_argument on a malformed token.
struct Step {
    int key = -1;
    double beats = 0.0;
};
std::vector<Step> parseMelody(std::string_view text);

// Parses "C:3 G7:6 F:1.5" (root, optional b or #, optional m, 7 or maj7; ':' beats).
struct Chord {
    int root = 0;                 // pitch class, C = 0
    std::vector<int> intervals;  // semitones above the root, root included
    double beats = 0.0;
};
std::vector<Chord> parseChords(std::string_view text);

// The whole arrangement.
Score arrangeCarols();

}  // namespace hg::music
