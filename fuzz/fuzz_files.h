// Small files of every kind the readers take, built byte by byte: the seed corpora and the
// files the fuzz targets open.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fuzz_files
{

// value's low `bytes` bytes, least significant first.
inline std::string Le(std::uint32_t value, int bytes)
{
    std::string out;
    for (int b = 0; b < bytes; ++b)
    {
        out += static_cast<char>((value >> (8 * b)) & 0xFF);
    }
    return out;
}

// value's low `bytes` bytes, most significant first.
inline std::string Be(std::uint32_t value, int bytes)
{
    std::string out;
    for (int b = bytes - 1; b >= 0; --b)
    {
        out += static_cast<char>((value >> (8 * b)) & 0xFF);
    }
    return out;
}

// ---- Standard MIDI files ----------------------------------------------------------------------

inline std::string VarLength(std::uint32_t value)
{
    std::string out(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0)
    {
        out.insert(out.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    }
    return out;
}

inline std::string ChannelEvent(std::uint32_t delta, int status, int data1, int data2 = -1)
{
    std::string out = VarLength(delta) + static_cast<char>(status) + static_cast<char>(data1);
    if (data2 >= 0)
    {
        out += static_cast<char>(data2);
    }
    return out;
}

inline std::string TempoEvent(std::uint32_t delta, std::uint32_t microsPerQuarter)
{
    return VarLength(delta) + std::string("\xFF\x51\x03", 3) + Be(microsPerQuarter, 3);
}

inline std::string EndOfTrack(std::uint32_t delta)
{
    return VarLength(delta) + std::string("\xFF\x2F\x00", 3);
}

inline std::string MidiFile(int format, int division, const std::vector<std::string>& tracks)
{
    std::string out = "MThd" + Be(6, 4) + Be(format, 2) + Be(tracks.size(), 2) + Be(division, 2);
    for (const std::string& track : tracks)
    {
        out += "MTrk" + Be(track.size(), 4) + track;
    }
    return out;
}

// One note, a program change and a pitch bend, ending at `ticks`.
inline std::string NoteTrack(int channel, std::uint32_t ticks)
{
    return ChannelEvent(0, 0xC0 | channel, 5) + ChannelEvent(0, 0x90 | channel, 60, 100) +
           ChannelEvent(ticks / 2, 0xE0 | channel, 0, 64) +
           ChannelEvent(ticks / 2, 0x80 | channel, 60, 0) + EndOfTrack(0);
}

// ---- WAV files --------------------------------------------------------------------------------

// A RIFF WAVE file: the "fmt " chunk (the 16 PCM bytes, then extra when given) and the
// samples, with any chunks before the format.
inline std::string WavFile(int formatTag, int channels, int bits, std::uint32_t rate,
                           const std::string& samples, const std::string& extra = "",
                           const std::string& before = "")
{
    int block = channels * bits / 8;
    std::string fmt = Le(formatTag, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * block, 4) +
                      Le(block, 2) + Le(bits, 2) + extra;
    std::string body = "WAVE" + before + "fmt " + Le(fmt.size(), 4) + fmt + "data" +
                       Le(samples.size(), 4) + samples;
    if (samples.size() % 2 != 0)
    {
        body += '\0';
    }
    return "RIFF" + Le(body.size(), 4) + body;
}

// A short ramp of samples in the format: frames frames.
inline std::string Ramp(int channels, int bits, int frames)
{
    std::string out;
    for (int i = 0; i < frames * channels; ++i)
    {
        out += bits == 8 ? std::string(1, static_cast<char>(i * 37)) : Le(i * 1021, 2);
    }
    return out;
}

// ---- BMP files --------------------------------------------------------------------------------

struct BmpSpec
{
    int width = 2;
    int height = 2;
    int bits = 24;
    bool topDown = false;
    bool fileHeader = true;
    int headerBytes = 40;          // 12 (core), 40, 108 or 124
    std::uint32_t compression = 0; // 0 plain, 3 bit fields
    std::uint32_t masks[3] = {0, 0, 0};
    int paletteColours = 0; // 0: all that the bits allow
};

// A BMP whose pixels are a pattern of the position.
inline std::string BmpFile(const BmpSpec& spec)
{
    bool core = spec.headerBytes == 12;
    int colours =
        spec.bits <= 8 ? (spec.paletteColours != 0 ? spec.paletteColours : 1 << spec.bits) : 0;
    std::string header;
    if (core)
    {
        header = Le(12, 4) + Le(spec.width, 2) + Le(spec.height, 2) + Le(1, 2) + Le(spec.bits, 2);
    }
    else
    {
        std::int32_t height = spec.topDown ? -spec.height : spec.height;
        header = Le(spec.headerBytes, 4) + Le(spec.width, 4) +
                 Le(static_cast<std::uint32_t>(height), 4) + Le(1, 2) + Le(spec.bits, 2) +
                 Le(spec.compression, 4) + Le(0, 4) + Le(2835, 4) + Le(2835, 4) +
                 Le(spec.paletteColours, 4) + Le(0, 4);
        if (spec.headerBytes > 40)
        {
            header += Le(spec.masks[0], 4) + Le(spec.masks[1], 4) + Le(spec.masks[2], 4) + Le(0, 4);
            header += std::string(spec.headerBytes - 56, '\0');
        }
        else if (spec.compression == 3)
        {
            header += Le(spec.masks[0], 4) + Le(spec.masks[1], 4) + Le(spec.masks[2], 4);
        }
    }
    std::string palette;
    for (int i = 0; i < colours; ++i)
    {
        palette += static_cast<char>(i * 40);
        palette += static_cast<char>(255 - i * 16);
        palette += static_cast<char>(i * 7);
        if (!core)
        {
            palette += '\0';
        }
    }
    int rowBytes = (spec.width * spec.bits + 31) / 32 * 4;
    std::string pixels;
    for (int y = 0; y < spec.height; ++y)
    {
        std::string row(rowBytes, '\0');
        for (int x = 0; x < spec.width; ++x)
        {
            std::uint32_t value = static_cast<std::uint32_t>(x * 31 + y * 17 + 3);
            if (spec.bits <= 8)
            {
                value %= colours;
                int bit = x * spec.bits;
                row[bit / 8] = static_cast<char>(row[bit / 8] | value << (8 - spec.bits - bit % 8));
            }
            else
            {
                value *= 0x010305;
                for (int b = 0; b < spec.bits / 8; ++b)
                {
                    row[x * spec.bits / 8 + b] = static_cast<char>(value >> (8 * b));
                }
            }
        }
        pixels += row;
    }
    std::string body = header + palette + pixels;
    if (!spec.fileHeader)
    {
        return body;
    }
    return "BM" + Le(14 + body.size(), 4) + Le(0, 4) + Le(14 + header.size() + palette.size(), 4) +
           body;
}

} // namespace fuzz_files
