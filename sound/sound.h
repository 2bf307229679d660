// voSound: the sound device and a table of 70 sound objects loaded from WAV files or
// resources, their playback (copies, looping, pause, volume, pan, frequency, echo), the beep,
// the blocking system player, and MIDI music through the sequencer.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/sound.h"

// A signed index, 0 to 69, into soundTable. LoadObject returns 0 on failure too.
using SoundId = std::int32_t;

constexpr int kSoundTableSize = 70;
constexpr int kMaxSoundCopies = 10;
constexpr int kSoundNameSize = 31; // 30 characters and the terminator

struct SoundCopy
{
    platform::SoundBufferId buffer; // the copy's secondary buffer; 0 when none
    std::int32_t volume;            // hundredths of a dB, -10000..0 (0 full volume)
    std::uint32_t frequency;        // Hz, 100..100000 once set
    std::int32_t pan;               // hundredths of a dB, -10000 (left)..10000 (right)
    std::uint32_t savedPosition;    // bytes; where the pause toggle stopped the copy
};

struct SoundObject
{
    int inUse;                         // 1 while the entry holds a sound
    int copyCount;                     // copies, 1 to 10
    int echoStage;                     // -1 cannot echo, 0 no echo running, n the next repeat
    int currentCopy;                   // the copy the next rotation play starts
    std::uint32_t baseFrequency;       // Hz the buffers had when they were made
    int looping;                       // 1 when last started by PlayLoop
    float echoTimer;                   // ms since the last repeat
    int echoLooping;                   // 1 when the running echo plays its copies looping
    float echoPan;                     // dB, -30..30: where the echo sweep is
    int echoPanDirection;              // +1 or -1
    char name[kSoundNameSize];         // file or resource name, CP932
    SoundCopy copies[kMaxSoundCopies]; // the first copyCount are used
};

extern SoundObject soundTable[kSoundTableSize]; // every sound object, by SoundId

extern int midiPieceOpen; // 1 from PlayMidi until the piece is closed
extern int midiLooping;   // nonzero: the piece restarts at its end

namespace voSound
{

// Copy selectors (a copy number 0 .. copy count - 1 names one copy).
constexpr int COPY_ALL = -1;     // play: the rotation; the rest: every copy
constexpr int COPY_CURRENT = -2; // play: starts an echo, then the rotation; settings: the
                                 // current copy; stop and pause: every copy
constexpr int COPY_ROTATE = -3;  // play: the rotation without touching an echo

// ---- Sound objects --------------------------------------------------------------------------

// Creates the sound device, then puts every table entry into its initial state whatever the
// result. Returns 1 when the device was made, 0 when there is none (every sound operation then
// does nothing).
int Init();

// Releases every buffer of every object and the device. Names, copy counts and settings stay
// for Reload.
void Release();

// Loads the WAV file name from the program's folder, or else the "WAVE" or raw-data resource
// of that name, into the lowest free entry with |mixCount| copies (2 or more: it can echo).
// Returns its SoundId, or 0 after the error box (and at once while there is no device).
SoundId LoadObject(const char* name, int mixCount);

// Stops and frees the object's copies and frees the entry.
void ReleaseObject(SoundId id);

// Makes a new device and rebuilds every object in use in its own entry with its settings.
void Reload();

// Reads a WAV file: the sample data's size, the format record (the 16 bytes of the PCM
// format, a 16-bit extra size and the extra bytes) and the samples. Returns 0, or 1 with
// everything empty when the file cannot be read or is not a sound.
int ReadWave(const char* path, std::uint32_t& size, std::vector<std::uint8_t>& format,
             std::vector<std::uint8_t>& data);

// ---- Playback -------------------------------------------------------------------------------
// All do nothing without a device, for an id outside 0..69, an entry not in use, a copy
// number at or above the copy count, or a copy without a buffer.

// Play once or looping from the start: one copy, or the rotation (current copy, then the next).
void Play(SoundId id, int copy);
void PlayLoop(SoundId id, int copy);
// Stops and rewinds to the start; with a negative copy every copy, ending an echo.
void Stop(SoundId id, int copy);
// Pauses a playing copy, resumes a stopped one from where it was paused.
void Pause(SoundId id, int copy);

// Frequency in steps of 100 Hz, kept within 100..100000 Hz.
void AddFrequency(SoundId id, int steps, int copy);
void ResetFrequency(SoundId id, int copy);
void SetFrequencyOffset(SoundId id, int steps, int copy);
// Pan in dB, kept within -100..100.
void AddPan(SoundId id, int db, int copy);
void ResetPan(SoundId id, int copy);
void SetPan(SoundId id, int db, int copy);
void PanLeft(SoundId id, int copy);
void PanRight(SoundId id, int copy);
// Volume in dB, kept within -100..0.
void AddVolume(SoundId id, int db, int copy);
void ResetVolume(SoundId id, int copy);
void SetVolume(SoundId id, int db, int copy);

// One frame of an echo started by Play with COPY_CURRENT: every intervalMs the sound repeats
// on the next copy, the n-th repeat n * stepDb quieter, count times.
void Echo(SoundId id, int intervalMs, int count, int stepDb);
// The same, with the repeats' pan sweeping between -30 and 30 dB at speed.
void EchoSweep(SoundId id, int intervalMs, int count, int stepDb, int speed);

// The system's simple beep; works without a device.
void Beep();

// Plays a WAV file or sound name through the system player and waits for its end, with the
// device released meanwhile and every object rebuilt afterwards.
void PlaySync(const char* name);

// ---- MIDI music -----------------------------------------------------------------------------

// No piece open, looping on. Returns 1.
int InitMidi();
// Closes any open piece, then opens and plays the MIDI file name from the program's folder;
// with loop nonzero it restarts at its end.
void PlayMidi(const char* name, int loop);
// End of the piece: restart when looping, else close.
void OnMidiEnd();
// Stops and closes the open piece, if there is one.
void CloseMidi();
// Sends stop and close whatever the state.
void StopMidi();
// Looping off: the piece now playing is closed at its end.
void EndMidiLoop();

} // namespace voSound
