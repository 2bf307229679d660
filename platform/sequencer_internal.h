// What the sequencer's files share: a standard MIDI file read into timed channel events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform
{

struct MidiEvent
{
    std::uint64_t frame = 0; // output frame from the start of the piece
    std::uint8_t status = 0; // 0x80..0xEF: the channel message and its channel
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0; // 0 for messages with one data byte
};

struct MidiPiece
{
    std::vector<MidiEvent> events; // in playing order
    std::uint64_t endFrame = 0;    // the last track's end, where the piece is over
};

// Files larger than this are not taken for MIDI files.
constexpr std::size_t kMaxMidiFileBytes = 16u << 20;

// Reads a standard MIDI file of format 0 or 1 (quarter-note or SMPTE timing, tempo changes
// applied) into channel events timed in frames at rateHz. System-exclusive and meta events
// other than tempo and end of track are passed over; running status carries on across them.
// A track cut short (by its chunk or the file) ends after its last whole event. False when
// the bytes are not such a file: no header or track, format 2, an undefined status byte, or
// data with no status.
bool ParseMidiFile(const std::uint8_t* bytes, std::size_t size, int rateHz, MidiPiece& piece);

} // namespace platform
