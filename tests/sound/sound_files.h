// Test support for sound: WAV and MIDI files built byte by byte, readings of what the
// headless output rendered, and the message loop run on the virtual clock.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

#include "platform/headless/control.h"
#include "platform/platform.h"

namespace sound_files
{

// value as count bytes, least significant first.
inline std::string Le(std::uint32_t value, int count)
{
    std::string bytes;
    for (int i = 0; i < count; ++i)
    {
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return bytes;
}

// value as count bytes, most significant first.
inline std::string Be(std::uint32_t value, int count)
{
    std::string bytes = Le(value, count);
    return std::string(bytes.rbegin(), bytes.rend());
}

// A chunk with its header and, for an odd size, its pad byte.
inline std::string Chunk(const std::string& id, const std::string& data)
{
    return id + Le(static_cast<std::uint32_t>(data.size()), 4) + data +
           (data.size() % 2 != 0 ? std::string(1, '\0') : std::string());
}

// The 16 bytes of a format record.
inline std::string FormatData(int tag, int channels, int rate, int bits)
{
    int align = channels * bits / 8;
    return Le(tag, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * align, 4) + Le(align, 2) +
           Le(bits, 2);
}

// A RIFF WAVE file of these chunks, in this order.
inline std::string Wave(const std::vector<std::string>& chunks)
{
    std::string body = "WAVE";
    for (const std::string& chunk : chunks)
    {
        body += chunk;
    }
    return "RIFF" + Le(static_cast<std::uint32_t>(body.size()), 4) + body;
}

inline std::string Samples16(const std::vector<std::int16_t>& samples)
{
    std::string bytes;
    for (std::int16_t sample : samples)
    {
        bytes += Le(static_cast<std::uint16_t>(sample), 2);
    }
    return bytes;
}

// A mono 16-bit PCM file of these samples.
inline std::string MonoWave(int rate, const std::vector<std::int16_t>& samples)
{
    return Wave({Chunk("fmt ", FormatData(1, 1, rate, 16)), Chunk("data", Samples16(samples))});
}

// A mono 16-bit file holding one value for frames frames.
inline std::string ConstantWave(int frames, std::int16_t value, int rate = 22050)
{
    return MonoWave(rate, std::vector<std::int16_t>(frames, value));
}

// 0, 1, 2, ... at 44100 Hz: each frame tells its own position.
inline std::string RampWave(int frames)
{
    std::vector<std::int16_t> ramp(frames);
    std::iota(ramp.begin(), ramp.end(), 0);
    return MonoWave(44100, ramp);
}

// ---- MIDI -----------------------------------------------------------------------------------

inline std::string VarLength(std::uint32_t value)
{
    std::string bytes(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0)
    {
        bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    }
    return bytes;
}

inline std::string TempoEvent(std::uint32_t delta, std::uint32_t microsecondsPerQuarter)
{
    return VarLength(delta) + "\xFF\x51\x03" + Be(microsecondsPerQuarter, 3);
}

inline std::string ChannelEvent(std::uint32_t delta, int status, int data1, int data2)
{
    return VarLength(delta) + static_cast<char>(status) + static_cast<char>(data1) +
           static_cast<char>(data2);
}

inline std::string EndOfTrack(std::uint32_t delta)
{
    return VarLength(delta) + std::string("\xFF\x2F\x00", 3);
}

// A standard MIDI file of these tracks' event bytes.
inline std::string MidiFile(int format, int division, const std::vector<std::string>& tracks)
{
    std::string file = "MThd" + Be(6, 4) + Be(format, 2) +
                       Be(static_cast<std::uint32_t>(tracks.size()), 2) + Be(division, 2);
    for (const std::string& track : tracks)
    {
        file += "MTrk" + Be(static_cast<std::uint32_t>(track.size()), 4) + track;
    }
    return file;
}

// One track: a note held for ticks, then the end; 480 ticks a quarter at 120 bpm is 1 s for
// 960 ticks.
inline std::string NoteFile(std::uint32_t ticks)
{
    return MidiFile(
        0, 480,
        {ChannelEvent(0, 0x90, 60, 100) + ChannelEvent(ticks, 0x80, 60, 0) + EndOfTrack(0)});
}

// ---- Rendered audio -------------------------------------------------------------------------

// Sample of channel (0 left, 1 right) at frame, counted from the backend's start; 0 for a
// frame not rendered.
inline std::int16_t SampleAt(std::uint64_t frame, int channel)
{
    const std::vector<std::int16_t>& samples = platform::headless::RenderedAudio();
    std::uint64_t first = platform::headless::RenderedAudioFirstFrame();
    if (frame < first || (frame - first) * 2 + 1 >= samples.size())
    {
        return 0;
    }
    return samples[(frame - first) * 2 + channel];
}

// Largest magnitude of channel over frames [from, to).
inline int Peak(std::uint64_t from, std::uint64_t to, int channel)
{
    int peak = 0;
    for (std::uint64_t f = from; f < to; ++f)
    {
        peak = std::max(peak, std::abs(static_cast<int>(SampleAt(f, channel))));
    }
    return peak;
}

// Frames of channel in [from, to) that are not silent.
inline int SoundingFrames(std::uint64_t from, std::uint64_t to, int channel)
{
    int count = 0;
    for (std::uint64_t f = from; f < to; ++f)
    {
        count += SampleAt(f, channel) != 0 ? 1 : 0;
    }
    return count;
}

// Frames of audio in ms milliseconds.
constexpr std::uint64_t FramesIn(std::uint64_t ms)
{
    return ms * platform::headless::kAudioRateHz / 1000;
}

// Renders ms of output and returns the first frame of it.
inline std::uint64_t Render(std::uint32_t ms)
{
    std::uint64_t start = platform::headless::AudioFramesRendered();
    platform::headless::AdvanceClock(ms);
    return start;
}

// Runs the main loop's message handling for ms milliseconds, in 10 ms steps of the clock.
inline void PumpMessages(std::uint32_t ms)
{
    for (std::uint32_t done = 0; done < ms; done += 10)
    {
        platform::headless::AdvanceClock(10);
        platform::Message message;
        while (platform::PeekMessage(message))
        {
            platform::DispatchMessage(message);
        }
    }
}

} // namespace sound_files
