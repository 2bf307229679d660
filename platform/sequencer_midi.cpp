// Reading standard MIDI files: the header, the tracks and their events, merged and timed
// through the tempo map. Every length is checked against the bytes before it is used.
#include <algorithm>

#include "platform/sequencer_internal.h"

namespace platform
{
namespace
{

constexpr std::uint32_t kDefaultTempo = 500000; // microseconds per quarter note (120 bpm)
// A piece that would last longer than this is taken for a broken file.
constexpr double kMaxPieceMicroseconds = 24.0 * 3600.0 * 1e6;

enum class Kind : std::uint8_t
{
    Channel,
    Tempo,
};

struct TrackEvent
{
    std::uint64_t tick = 0;
    std::uint32_t order = 0; // position in the merged input, for a stable order within a tick
    Kind kind = Kind::Channel;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    std::uint32_t tempo = 0;
};

std::uint32_t ReadBe32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
           static_cast<std::uint32_t>(bytes[2]) << 8 | static_cast<std::uint32_t>(bytes[3]);
}

std::uint16_t ReadBe16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
}

// A variable-length quantity of at most four bytes.
bool ReadVarLength(const std::uint8_t*& p, const std::uint8_t* end, std::uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 4; ++i)
    {
        if (p >= end)
        {
            return false;
        }
        std::uint8_t byte = *p++;
        value = value << 7 | (byte & 0x7F);
        if ((byte & 0x80) == 0)
        {
            return true;
        }
    }
    return false;
}

// Reads one track's events. A track that stops before its end-of-track event, or inside an
// event, ends there, at the time of the event it stops in and without that event: players
// take such files, and files missing their last byte are common. False only for bytes that
// are no MIDI at all.
bool ReadTrack(const std::uint8_t* p, const std::uint8_t* end, std::vector<TrackEvent>& events,
               std::uint64_t& endTick)
{
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    endTick = 0;
    while (p < end)
    {
        std::uint32_t delta = 0;
        if (!ReadVarLength(p, end, delta))
        {
            // Cut short, or longer than four bytes.
            if (p >= end)
            {
                break;
            }
            return false;
        }
        // The end's time counts once its delta is whole, so an end-of-track event that lost
        // its last byte still ends the track at its time.
        tick += delta;
        endTick = tick;
        if (p >= end)
        {
            break;
        }
        std::uint8_t first = *p;
        if (first == 0xFF || first == 0xF0 || first == 0xF7)
        {
            ++p;
            std::uint8_t type = 0;
            if (first == 0xFF)
            {
                if (p >= end)
                {
                    break;
                }
                type = *p++;
            }
            if (first == 0xFF && type == 0x2F)
            {
                break;
            }
            std::uint32_t length = 0;
            if (!ReadVarLength(p, end, length))
            {
                if (p >= end)
                {
                    break;
                }
                return false;
            }
            if (length > static_cast<std::size_t>(end - p))
            {
                break;
            }
            // Running status carries on across meta and system-exclusive events, as files
            // written by common sequencers expect.
            if (first == 0xFF && type == 0x51 && length == 3)
            {
                TrackEvent event;
                event.tick = tick;
                event.kind = Kind::Tempo;
                event.tempo = static_cast<std::uint32_t>(p[0]) << 16 |
                              static_cast<std::uint32_t>(p[1]) << 8 | p[2];
                events.push_back(event);
            }
            p += length;
            continue;
        }
        std::uint8_t status = running;
        if (first & 0x80)
        {
            if (first >= 0xF0)
            {
                return false;
            }
            status = first;
            ++p;
        }
        if (status == 0)
        {
            return false;
        }
        running = status;
        int dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
        std::ptrdiff_t present = std::min<std::ptrdiff_t>(end - p, dataBytes);
        for (std::ptrdiff_t i = 0; i < present; ++i)
        {
            if (p[i] & 0x80)
            {
                return false;
            }
        }
        if (present < dataBytes)
        {
            break;
        }
        TrackEvent event;
        event.tick = tick;
        event.status = status;
        event.data1 = p[0];
        event.data2 = dataBytes == 2 ? p[1] : 0;
        events.push_back(event);
        p += dataBytes;
    }
    return true;
}

} // namespace

bool ParseMidiFile(const std::uint8_t* bytes, std::size_t size, int rateHz, MidiPiece& piece)
{
    piece = MidiPiece{};
    if (bytes == nullptr || size < 14 || size > kMaxMidiFileBytes || ReadBe32(bytes) != 0x4D546864)
    {
        return false;
    }
    std::uint32_t headerLength = ReadBe32(bytes + 4);
    if (headerLength < 6 || headerLength > size - 8)
    {
        return false;
    }
    std::uint16_t format = ReadBe16(bytes + 8);
    std::uint16_t trackCount = ReadBe16(bytes + 10);
    std::uint16_t division = ReadBe16(bytes + 12);
    if (format > 1 || trackCount == 0)
    {
        return false;
    }
    double smpteTicksPerSecond = 0.0;
    if (division & 0x8000)
    {
        int framesPerSecond = -static_cast<std::int8_t>(division >> 8);
        int ticksPerFrame = division & 0xFF;
        if ((framesPerSecond != 24 && framesPerSecond != 25 && framesPerSecond != 29 &&
             framesPerSecond != 30) ||
            ticksPerFrame == 0)
        {
            return false;
        }
        // 29 is the drop-frame rate of 29.97 frames a second.
        smpteTicksPerSecond = (framesPerSecond == 29 ? 29.97 : framesPerSecond) * ticksPerFrame;
    }
    else if (division == 0)
    {
        return false;
    }

    std::vector<TrackEvent> events;
    std::uint64_t endTick = 0;
    int tracksRead = 0;
    std::size_t at = 8 + static_cast<std::size_t>(headerLength);
    while (tracksRead < trackCount && size - at >= 8)
    {
        // A chunk cut short by the end of the file ends there.
        std::size_t length = std::min<std::size_t>(ReadBe32(bytes + at + 4), size - at - 8);
        if (ReadBe32(bytes + at) == 0x4D54726B)
        {
            std::uint64_t trackEnd = 0;
            if (!ReadTrack(bytes + at + 8, bytes + at + 8 + length, events, trackEnd))
            {
                return false;
            }
            endTick = std::max(endTick, trackEnd);
            ++tracksRead;
        }
        at += 8 + length;
    }
    if (tracksRead == 0)
    {
        return false;
    }
    for (std::size_t i = 0; i < events.size(); ++i)
    {
        events[i].order = static_cast<std::uint32_t>(i);
    }
    // Merged by time; within one tick the earlier track comes first, so tempo changes in the
    // first track of a format 1 file apply to the notes beside them.
    std::stable_sort(events.begin(), events.end(),
                     [](const TrackEvent& a, const TrackEvent& b) { return a.tick < b.tick; });

    std::uint64_t segmentTick = 0;
    double segmentMicroseconds = 0.0;
    std::uint32_t tempo = kDefaultTempo;
    auto microsecondsAt = [&](std::uint64_t tick)
    {
        if (smpteTicksPerSecond > 0.0)
        {
            return static_cast<double>(tick) * 1e6 / smpteTicksPerSecond;
        }
        return segmentMicroseconds +
               static_cast<double>(tick - segmentTick) * tempo / static_cast<double>(division);
    };
    auto frameAt = [&](double microseconds)
    { return static_cast<std::uint64_t>(microseconds * rateHz / 1e6); };
    piece.events.reserve(events.size());
    for (const TrackEvent& event : events)
    {
        double microseconds = microsecondsAt(event.tick);
        if (microseconds > kMaxPieceMicroseconds)
        {
            return false;
        }
        if (event.kind == Kind::Tempo)
        {
            segmentMicroseconds = microseconds;
            segmentTick = event.tick;
            tempo = event.tempo;
            continue;
        }
        piece.events.push_back(
            MidiEvent{frameAt(microseconds), event.status, event.data1, event.data2});
    }
    double endMicroseconds = microsecondsAt(endTick);
    if (endMicroseconds > kMaxPieceMicroseconds)
    {
        return false;
    }
    piece.endFrame = frameAt(endMicroseconds);
    return true;
}

} // namespace platform
