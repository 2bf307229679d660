// Writes the seed corpora: small valid inputs of every kind and variant the readers take, one
// folder per fuzz target. Run from the source folder: fuzz_make_corpus fuzz/corpus
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "fuzz/fuzz_files.h"

namespace
{

using namespace fuzz_files;
using Corpus = std::map<std::string, std::string>; // file name and bytes

Corpus BmpCorpus()
{
    Corpus corpus;
    auto add = [&](const std::string& name, BmpSpec spec)
    { corpus[name + ".bmp"] = BmpFile(spec); };
    for (int bits : {1, 4, 8, 16, 24, 32})
    {
        BmpSpec spec;
        spec.bits = bits;
        spec.width = 5;
        spec.height = 3;
        add("plain-" + std::to_string(bits), spec);
    }
    BmpSpec spec;
    spec.bits = 8;
    spec.paletteColours = 3;
    add("short-palette-8", spec);
    spec = BmpSpec{};
    spec.bits = 4;
    spec.topDown = true;
    spec.width = 7;
    add("top-down-4", spec);
    spec = BmpSpec{};
    spec.fileHeader = false;
    spec.width = 3;
    add("no-file-header-24", spec);
    spec = BmpSpec{};
    spec.headerBytes = 12;
    spec.bits = 8;
    add("core-8", spec);
    spec.bits = 24;
    add("core-24", spec);
    spec = BmpSpec{};
    spec.bits = 16;
    spec.compression = 3;
    spec.masks[0] = 0xF800;
    spec.masks[1] = 0x07E0;
    spec.masks[2] = 0x001F;
    add("bitfields-565", spec);
    spec.headerBytes = 108;
    add("v4-bitfields-565", spec);
    spec = BmpSpec{};
    spec.bits = 32;
    spec.compression = 3;
    spec.masks[0] = 0x00FF0000;
    spec.masks[1] = 0x0000FF00;
    spec.masks[2] = 0x000000FF;
    spec.headerBytes = 124;
    add("v5-bitfields-32", spec);
    spec = BmpSpec{};
    spec.width = 1;
    spec.height = 1;
    spec.bits = 1;
    add("one-pixel-1", spec);
    return corpus;
}

Corpus WaveFileCorpus()
{
    Corpus corpus;
    corpus["mono-8.wav"] = WavFile(1, 1, 8, 11025, Ramp(1, 8, 6));
    corpus["stereo-16.wav"] = WavFile(1, 2, 16, 44100, Ramp(2, 16, 5));
    corpus["odd-length-8.wav"] = WavFile(1, 1, 8, 22050, Ramp(1, 8, 3));
    corpus["list-before-fmt.wav"] =
        WavFile(1, 1, 16, 8000, Ramp(1, 16, 4), "", "LIST" + Le(8, 4) + "INFOabcd");
    corpus["fmt-18-bytes.wav"] = WavFile(1, 2, 8, 100000, Ramp(2, 8, 2), Le(0, 2));
    corpus["adpcm-extra.wav"] = WavFile(2, 1, 4, 8000, "\x12\x34\x56\x78", Le(2, 2) + "\x01\x02");
    std::string fmt = Le(1, 2) + Le(1, 2) + Le(8000, 4) + Le(8000, 4) + Le(1, 2) + Le(8, 2);
    std::string body = "WAVEdata" + Le(4, 4) + "\x80\x90\xA0\xB0" + "fmt " + Le(16, 4) + fmt;
    corpus["data-before-fmt.wav"] = "RIFF" + Le(body.size(), 4) + body;
    return corpus;
}

Corpus WaveResourceCorpus()
{
    Corpus corpus;
    auto add = [&](const std::string& name, int copies, const std::string& wav)
    { corpus[name] = std::string(1, static_cast<char>(copies)) + wav; };
    add("one-copy-mono-8", 1, WavFile(1, 1, 8, 11025, Ramp(1, 8, 8)));
    add("two-copies-stereo-16", 2, WavFile(1, 2, 16, 22050, Ramp(2, 16, 6)));
    add("ten-copies-mono-16", 10, WavFile(1, 1, 16, 44100, Ramp(1, 16, 3)));
    add("minus-three-copies", -3, WavFile(1, 2, 8, 8000, Ramp(2, 8, 4)));
    add("one-frame", 1, WavFile(1, 1, 8, 100, Ramp(1, 8, 1)));
    return corpus;
}

Corpus MidiCorpus()
{
    Corpus corpus;
    corpus["format-0.mid"] = MidiFile(0, 96, {TempoEvent(0, 500000) + NoteTrack(0, 96)});
    corpus["format-1-tempo-track.mid"] =
        MidiFile(1, 480,
                 {TempoEvent(0, 600000) + TempoEvent(960, 250000) + EndOfTrack(0),
                  NoteTrack(1, 960), NoteTrack(9, 480)});
    for (int fps : {24, 25, 29, 30})
    {
        int division = (256 - fps) << 8 | 40;
        corpus["smpte-" + std::to_string(fps) + ".mid"] =
            MidiFile(0, division, {NoteTrack(2, 100)});
    }
    std::string running =
        ChannelEvent(0, 0x90, 60, 100) + VarLength(10) + "\x40\x64" + VarLength(0) +
        std::string("\xF0\x03\x7E\x7F\xF7", 5) + ChannelEvent(20, 0x80, 60, 0) + VarLength(0) +
        std::string("\x40\x00", 2) + VarLength(0) + std::string("\xFF\x01\x04text", 7) +
        ChannelEvent(5, 0xB0, 7, 100) + ChannelEvent(0, 0xD0, 50) + ChannelEvent(0, 0xA0, 60, 30) +
        EndOfTrack(30);
    corpus["running-status-sysex-meta.mid"] = MidiFile(0, 120, {running});
    std::string unknownChunk = "XTRA" + Be(3, 4) + "abc";
    std::string withChunk = MidiFile(1, 96, {NoteTrack(0, 50)});
    withChunk.insert(14, unknownChunk);
    corpus["unknown-chunk.mid"] = withChunk;
    corpus["long-delta.mid"] =
        MidiFile(0, 1, {ChannelEvent(0x0FFFFFFF, 0x90, 1, 1) + EndOfTrack(0)});
    return corpus;
}

Corpus MciCorpus()
{
    Corpus corpus;
    corpus["play-through.txt"] = "open song.mid alias m\nplay m notify\nstatus m mode\n"
                                 "status m position\nstatus m length\nstatus m ready\n"
                                 "seek m to 100\nplay m\nstop m notify\nclose m\n";
    corpus["quoted-type.txt"] = "open \"two tracks.mid\" type sequencer alias Music notify\n"
                                "PLAY music NOTIFY\nseek music to end\nseek music to start\n"
                                "close MUSIC\n";
    corpus["default-alias.txt"] = "open song.mid\nplay song.mid\nstatus song.mid mode\n"
                                  "close song.mid\n";
    corpus["refusals.txt"] = "status m mode\nopen broken.mid alias b\nopen notes.txt\n"
                             "open missing.mid\nopen song.mid type waveaudio\n"
                             "open song.mid alias x\nopen song.mid alias y\nseek x to 99999\n"
                             "seek x from 1\nplay x now\nstatus x volume\nrecord x\nclose x\n";
    corpus["notify-twice.txt"] = "open song.mid alias m\nplay m notify\nplay m notify\n"
                                 "seek m to 50 notify\nclose m notify\n";
    return corpus;
}

Corpus ScoreCorpus()
{
    return {{"best-192", "0192"}, {"none", "9999"},    {"zero", "0000"},       {"short", "12"},
            {"split", "12\n34"},  {"letters", "abcd"}, {"line-end", "0050\n"}, {"long", "123456"}};
}

Corpus NumbersCorpus()
{
    return {{"number", "42"},
            {"negative-line", "-17\n"},
            {"signed-trailing", "  +123 points"},
            {"base", "/srv/plonder-alt\n"},
            {"base-crlf", "/srv/alt\r\n"},
            {"base-separator", "/srv/alt/"},
            {"empty", ""},
            {"base-cp932", "/srv/\x83\x51\x81\x5B\x83\x80\n2\n"}};
}

Corpus ScriptCorpus()
{
    Corpus corpus;
    corpus["keys.input"] = "# keys\n3 key Space down\n6 key space up\n8 press Right\n"
                           "10 syskey F4 down\n11 syskey f4 up\n12 press a\n13 press F12\n";
    corpus["mouse.input"] = "1 mouse 10 20\n2 lbutton down\n3 lbutton up\n4 rbutton double\n"
                            "5 cursor 300 200\n6 move 40 50\n";
    corpus["window.input"] = "1 activate 0\n2 activate 1\n3 lose\n4 wait 1000\n"
                             "5 answer yes\n6 answer NO\n7 answer ok\n100 close\n";
    corpus["joystick.input"] = "0 plug 0\n1 joy 0 0 65535 3\n2 joy 1 32768 32768 0\n"
                               "3 unplug 1\n4 unplug 0\n";
    corpus["blank-and-comments.input"] = "\n   \n# only a comment\n0 press Escape # trailing\n";
    corpus["refused.input"] = "1 press Up\n2 key Up sideways\n";
    return corpus;
}

std::string Args(const std::vector<std::string>& args)
{
    std::string out;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        out += (i == 0 ? "" : std::string(1, '\0')) + args[i];
    }
    return out;
}

Corpus OptionsCorpus()
{
    return {
        {"headless-all", Args({"--headless", "--frames", "100", "--input", "play.input",
                               "--capture", "out", "--time", "2026-01-01T12:00:00"})},
        {"scale", Args({"--scale", "3", "word"})},
        {"backend", Args({"--backend", "sdl"})},
        {"rest", Args({"first", "--", "-x", "word"})},
        {"unknown", Args({"--unknown"})},
        {"needs-headless", Args({"--frames", "10"})},
        {"missing-value", Args({"--headless", "--time"})},
    };
}

Corpus Cp932Corpus()
{
    auto with = [](int cut, const std::string& text)
    { return std::string(1, static_cast<char>(cut)) + text; };
    return {
        {"ascii", with(255, "Plonder 5x5")},
        {"japanese", with(6, "\x83\x65\x83\x58\x83\x67 text")},
        {"half-width-kana", with(3, "\xB1\xB2\xB3\xB4")},
        {"lone-lead-at-end", with(255, "ab\x82")},
        {"nec-and-ibm", with(10, "\x87\x40\x87\x90\xFA\x40\xED\x40")},
        {"user-area", with(4, "\xF0\x40\xF9\xFC")},
        {"bad-trail", with(255, "\x81\x20\x82\x7F\xFC\xFC")},
        {"long", with(255, std::string(300, 'x') + "\x82\xA0")},
    };
}

Corpus TextCorpus()
{
    // font, x, y, rect left, top, right, bottom, choice, text
    auto with = [](int font, int x, int y, int left, int top, int right, int bottom, int choice,
                   const std::string& text)
    {
        return std::string(1, static_cast<char>(font)) + Le(x, 2) + Le(y, 2) + Le(left, 2) +
               Le(top, 2) + Le(right, 2) + Le(bottom, 2) +
               std::string(1, static_cast<char>(choice)) + text;
    };
    return {
        {"gothic-left", with(0, 2, 2, 4, 4, 90, 60, 0x08, "Plonder \x83\x65\x83\x58\x83\x67")},
        {"bold-wrapped-centre",
         with(1, -5, 10, 0, 0, 40, 64, 0x05, "a long line of words\r\nand a break")},
        {"rotated-right", with(2, 40, 30, 10, 10, 50, 50, 0x02, "\x82\xA0\x82\xA2\x82\xA4")},
        {"ansi-measure", with(3, 0, 0, 0, 0, 30, 30, 0x14, "measure me please")},
        {"tiny-bad-bytes", with(4, 90, 60, -10, -10, 200, 200, 0x00, "\x81\x20\xFF\x80\x00z")},
        {"substitute-outside", with(5, -300, 500, 60, 60, 20, 20, 0x0C, "\x82\xA0 off")},
    };
}

Corpus PrintCorpus()
{
    // face name, height, angle, x, y, box left, top, right, bottom, alignment, text
    auto with = [](const std::string& face, int height, int angle, int x, int y, int left, int top,
                   int right, int bottom, int alignment, const std::string& text)
    {
        return std::string(1, static_cast<char>(face.size())) + face +
               std::string(1, static_cast<char>(height)) + Le(angle, 2) + Le(x, 2) + Le(y, 2) +
               Le(left, 2) + Le(top, 2) + Le(right, 2) + Le(bottom, 2) +
               std::string(1, static_cast<char>(alignment)) + text;
    };
    return {
        {"gothic-left", with("", 12, 0, 4, 4, 0, 20, 100, 60, 0, "Plonder \x83\x65\x83\x58")},
        {"named-face-centre", with("\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E", -16, 0, 10,
                                   30, 10, 10, 150, 110, 1, "words that wrap\r\nover lines")},
        {"ansi-face-right", with("Courier New", 20, 0, 0, 100, 20, 20, 140, 50, 2, "right")},
        {"rotated-no-align", with("Arial", 14, 900, 80, 60, 0, 0, 160, 120, 3, "up")},
        {"long-face-cut", with(std::string(40, 'x') + "\x82", 12, 0, -20, -5, -10, -10, 30, 30, 0,
                               std::string(300, 'w'))},
        {"bad-bytes", with("\x81", 0, 45, 150, 115, 100, 100, 90, 90, 1, "\x81\x20\xFF\x80")},
    };
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: fuzz_make_corpus FOLDER\n");
        return 2;
    }
    const std::map<std::string, Corpus> corpora = {
        {"bmp", BmpCorpus()},
        {"wave_file", WaveFileCorpus()},
        {"wave_resource", WaveResourceCorpus()},
        {"midi", MidiCorpus()},
        {"mci", MciCorpus()},
        {"print", PrintCorpus()},
        {"score", ScoreCorpus()},
        {"numbers", NumbersCorpus()},
        {"script", ScriptCorpus()},
        {"options", OptionsCorpus()},
        {"cp932", Cp932Corpus()},
        {"text", TextCorpus()},
    };
    std::filesystem::path root = argv[1];
    for (const auto& [target, corpus] : corpora)
    {
        std::filesystem::create_directories(root / target);
        for (const auto& [name, bytes] : corpus)
        {
            std::ofstream out(root / target / ("seed-" + name), std::ios::binary);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            if (!out)
            {
                std::fprintf(stderr, "fuzz_make_corpus: cannot write %s/%s\n", target.c_str(),
                             name.c_str());
                return 1;
            }
        }
    }
    return 0;
}
