// What the mixer, the sound device, the sequencer and the platform core share.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/sound.h"

namespace platform
{

// The lock over everything the output mixes. The output holds it while it pulls frames
// (on its own thread on sdl); every change to a buffer or to the sequencer takes it.
std::mutex& MixerMutex();

// Opens the audio output unless it is open. False when there is none.
bool OpenAudioOutput();

// Frames between mixing and hearing: the output's buffering.
int AudioLatencyFrames();

// Blocks (moving a virtual clock) until the buffer has stopped and its last frame has been
// heard. Nothing for an unknown buffer.
void WaitForSoundBuffer(SoundBufferId buffer);

// Makes a buffer that belongs to the platform itself, not to the device: it outlives
// ReleaseSoundDevice and is released by its maker (or, with releaseAtEnd, once it stops).
SoundResult CreateInternalBuffer(const WaveFormat& format, const void* samples, std::uint32_t bytes,
                                 bool releaseAtEnd, SoundBufferId& buffer);

// Sounds the simple beep's short tone when the output is open; never opens it.
void SoundBeepTone();

// Reads a PCM WAV file into a format and its sample bytes. False when it cannot be read or
// is not 8- or 16-bit PCM that the device plays.
bool LoadPcmWaveFile(const char* path, WaveFormat& format, std::vector<std::uint8_t>& samples);

// Moves everything playing on by count frames without mixing them: buffers played once that
// reach their end stop, looping ones go round, the open piece goes on or ends and notifies.
// For outputs whose clock jumps further than it is worth mixing.
void SkipAudio(std::uint64_t count);

// Releases every buffer and the sequencer, and closes the output.
void ShutdownSound();

// ---- Sequencer side of the mixer (sequencer.cpp) --------------------------------------------

// Adds count frames of music into mix (interleaved stereo, full scale +-32768), moving the
// open piece on. Called with the mixer lock held.
void MixSequencer(float* mix, int count);

// Moves the open piece on by count frames without sound. Called with the mixer lock held.
void SkipSequencer(std::uint64_t count);

// Posts the notifications the sequencer has waiting to their windows. Main thread only.
void DeliverSequencerNotices();

// Closes any open piece and frees the synthesiser.
void ShutdownSequencer();

} // namespace platform
