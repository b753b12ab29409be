// render_music: plays the arrangement through a General MIDI sound font and writes it as Ogg Vorbis.
//
//   render_music SOUNDFONT.sf2 OUT.ogg [--wav OUT.wav]
//
// The piece is a loop: it is rendered a few seconds past its end, and what rings on past the end
// (string releases, reverb) is laid over the beginning, which is exactly what a listener hears when
// the end runs into the start again. The last sample thus flows into the first without a click.
#include <fluidsynth.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "score.h"

namespace {

using hg::music::Note;
using hg::music::Score;

constexpr int kRate = 44100;
constexpr double kTail = 6.0;          // seconds rendered past the loop's end
constexpr float kPeakTarget = 0.708f;  // -3 dBFS
constexpr float kQuality = 0.3f;       // libvorbis VBR quality: about 100 kbit/s for this sparse music

struct Event {
    int64_t frame = 0;
    bool on = false;
    int channel = 0;
    int key = 0;
    int velocity = 0;
};

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
};

// Program and mix of each part: (General MIDI program, channel volume, pan, reverb send).
struct PartSetup {
    int program;
    int volume;
    int pan;
    int reverb;
};
constexpr PartSetup kParts[hg::music::kPartCount] = {
    {10, 112, 64, 70},  // melody: music box (the score switches it to celesta and back)
    {0, 82, 56, 60},    // piano
    {49, 72, 76, 90},   // slow strings
    {0, 74, 60, 50},    // piano left hand
    {8, 70, 84, 80},    // celesta doubling the tune
};

// A note that starts again while the same key still sounds is cut just before, so its note-off
// cannot end the new one.
std::vector<Event> eventsOf(const Score& score) {
    std::vector<Note> notes = score.notes;
    std::stable_sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) {
        if (a.part != b.part) return a.part < b.part;
        if (a.key != b.key) return a.key < b.key;
        return a.start < b.start;
    });
    std::vector<Event> events;
    for (size_t i = 0; i < notes.size(); ++i) {
        const Note& note = notes[i];
        double end = note.start + note.length;
        if (i + 1 < notes.size() && notes[i + 1].part == note.part && notes[i + 1].key == note.key)
            end = std::min(end, notes[i + 1].start - 0.002);
        const int64_t on = std::llround(note.start * kRate);
        const int64_t off = std::max(on + 1, static_cast<int64_t>(std::llround(end * kRate)));
        events.push_back({on, true, note.part, note.key, note.velocity});
        events.push_back({off, false, note.part, note.key, 0});
    }
    // At the same frame, releases come first.
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        if (a.frame != b.frame) return a.frame < b.frame;
        return !a.on && b.on;
    });
    return events;
}

bool render(const Score& score, const char* soundFont, Stereo& out) {
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", kRate);
    fluid_settings_setnum(settings, "synth.gain", 0.5);
    fluid_settings_setint(settings, "synth.polyphony", 256);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    fluid_settings_setint(settings, "synth.reverb.active", 1);
    fluid_settings_setnum(settings, "synth.reverb.room-size", 0.72);
    fluid_settings_setnum(settings, "synth.reverb.damp", 0.35);
    fluid_settings_setnum(settings, "synth.reverb.width", 0.9);
    fluid_settings_setnum(settings, "synth.reverb.level", 0.6);
    fluid_synth_t* synth = new_fluid_synth(settings);
    if (fluid_synth_sfload(synth, soundFont, 1) == FLUID_FAILED) {
        std::fprintf(stderr, "render_music: cannot load the sound font %s\n", soundFont);
        delete_fluid_synth(synth);
        delete_fluid_settings(settings);
        return false;
    }
    for (int part = 0; part < hg::music::kPartCount; ++part) {
        fluid_synth_program_change(synth, part, kParts[part].program);
        fluid_synth_cc(synth, part, 7, kParts[part].volume);
        fluid_synth_cc(synth, part, 10, kParts[part].pan);
        fluid_synth_cc(synth, part, 91, kParts[part].reverb);
        fluid_synth_cc(synth, part, 93, 0);
    }

    std::vector<Event> events = eventsOf(score);
    std::vector<hg::music::ProgramChange> programs = score.programs;
    const int64_t total = std::llround((score.length + kTail) * kRate);
    out.left.assign(static_cast<size_t>(total), 0.0f);
    out.right.assign(static_cast<size_t>(total), 0.0f);

    size_t nextEvent = 0, nextProgram = 0;
    int64_t frame = 0;
    while (frame < total) {
        while (nextProgram < programs.size() && std::llround(programs[nextProgram].time * kRate) <= frame) {
            fluid_synth_program_change(synth, programs[nextProgram].part, programs[nextProgram].program);
            ++nextProgram;
        }
        while (nextEvent < events.size() && events[nextEvent].frame <= frame) {
            const Event& e = events[nextEvent++];
            if (e.on) fluid_synth_noteon(synth, e.channel, e.key, e.velocity);
            else fluid_synth_noteoff(synth, e.channel, e.key);
        }
        int64_t until = total;
        if (nextEvent < events.size()) until = std::min(until, events[nextEvent].frame);
        if (nextProgram < programs.size()) until = std::min(until, static_cast<int64_t>(std::llround(programs[nextProgram].time * kRate)));
        until = std::min(until, frame + 4096);
        until = std::max(until, frame + 1);
        const int count = static_cast<int>(until - frame);
        fluid_synth_write_float(synth, count, out.left.data() + frame, 0, 1, out.right.data() + frame, 0, 1);
        frame = until;
    }
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return true;
}

// Lays everything past the loop's end over its beginning and cuts the tail off.
void wrapTail(Stereo& audio, size_t loopFrames) {
    for (size_t i = loopFrames; i < audio.left.size(); ++i) {
        audio.left[i - loopFrames] += audio.left[i];
        audio.right[i - loopFrames] += audio.right[i];
    }
    audio.left.resize(loopFrames);
    audio.right.resize(loopFrames);
}

float normalise(Stereo& audio) {
    float peak = 0.0f;
    for (size_t i = 0; i < audio.left.size(); ++i) peak = std::max({peak, std::abs(audio.left[i]), std::abs(audio.right[i])});
    const float gain = peak > 0.0f ? kPeakTarget / peak : 1.0f;
    for (size_t i = 0; i < audio.left.size(); ++i) {
        audio.left[i] *= gain;
        audio.right[i] *= gain;
    }
    return gain;
}

bool writePages(std::ofstream& file, ogg_stream_state& stream, bool flush) {
    ogg_page page;
    while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
        file.write(reinterpret_cast<const char*>(page.header), page.header_len);
        file.write(reinterpret_cast<const char*>(page.body), page.body_len);
    }
    return static_cast<bool>(file);
}

bool encodeVorbis(const Stereo& audio, const char* path) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, kRate, kQuality) != 0) return false;
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", "Carols by the Fire");
    vorbis_comment_add_tag(&comment, "DESCRIPTION",
                           "Silent Night, O Christmas Tree, Deck the Halls, We Wish You a Merry Christmas; a seamless loop");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x48474c57);  // a fixed serial number: the same bytes on every render

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    bool ok = writePages(file, stream, true);

    constexpr size_t kChunk = 1024;
    size_t done = 0;
    bool ended = false;
    while (ok && !ended) {
        const size_t count = std::min(kChunk, audio.left.size() - done);
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            std::memcpy(buffer[0], audio.left.data() + done, count * sizeof(float));
            std::memcpy(buffer[1], audio.right.data() + done, count * sizeof(float));
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            done += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                ok = ok && writePages(file, stream, false);
                if (packet.e_o_s) ended = true;
            }
        }
    }
    ok = ok && writePages(file, stream, true);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return ok;
}

// 16-bit stereo WAV of the same samples, for measuring without a Vorbis decoder.
bool writeWav(const Stereo& audio, const char* path) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    auto u32 = [&](uint32_t v) { file.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { file.write(reinterpret_cast<const char*>(&v), 2); };
    const uint32_t bytes = static_cast<uint32_t>(audio.left.size() * 4);
    file.write("RIFF", 4);
    u32(36 + bytes);
    file.write("WAVEfmt ", 8);
    u32(16), u16(1), u16(2), u32(kRate), u32(kRate * 4), u16(4), u16(16);
    file.write("data", 4);
    u32(bytes);
    for (size_t i = 0; i < audio.left.size(); ++i) {
        for (float v : {audio.left[i], audio.right[i]}) {
            u16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f))));
        }
    }
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--wav") == 0)) {
        std::fprintf(stderr, "usage: render_music SOUNDFONT.sf2 OUT.ogg [--wav OUT.wav]\n");
        return 2;
    }
    const Score score = hg::music::arrangeCarols();
    std::printf("render_music: %zu notes, %.1f s\n", score.notes.size(), score.length);
    Stereo audio;
    if (!render(score, argv[1], audio)) return 1;
    wrapTail(audio, static_cast<size_t>(std::llround(score.length * kRate)));
    const float gain = normalise(audio);
    std::printf("render_music: normalised with a gain of %.2f\n", gain);
    if (!encodeVorbis(audio, argv[2])) {
        std::fprintf(stderr, "render_music: cannot write %s\n", argv[2]);
        return 1;
    }
    if (argc == 5 && !writeWav(audio, argv[4])) {
        std::fprintf(stderr, "render_music: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
