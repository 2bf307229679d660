// Standard MIDI file bytes through the sequencer's reader: events come out in time order,
// inside the piece, as channel messages with data bytes below 128; a refusal reads nothing.
#include "fuzz/fuzz_support.h"
#include "platform/sequencer_internal.h"
#include "platform/sound.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::MidiPiece piece;
    piece.events.push_back(platform::MidiEvent{1, 0x90, 60, 100});
    piece.endFrame = 7;
    bool ok = platform::ParseMidiFile(data, size, platform::kMixRateHz, piece);
    if (!ok)
    {
        FUZZ_CHECK(piece.events.empty() && piece.endFrame == 0);
        return 0;
    }
    FUZZ_CHECK(size >= 14);
    std::uint64_t previous = 0;
    for (const platform::MidiEvent& event : piece.events)
    {
        FUZZ_CHECK(event.frame >= previous);
        FUZZ_CHECK(event.frame <= piece.endFrame);
        FUZZ_CHECK(event.status >= 0x80 && event.status <= 0xEF);
        FUZZ_CHECK(event.data1 < 0x80 && event.data2 < 0x80);
        int kind = event.status & 0xF0;
        if (kind == 0xC0 || kind == 0xD0)
        {
            FUZZ_CHECK(event.data2 == 0);
        }
        previous = event.frame;
    }
    // Every event takes at least two bytes of the file (a delta time and a data byte under
    // running status), so a file cannot make more events than that.
    FUZZ_CHECK(piece.events.size() <= size / 2);
    return 0;
}
