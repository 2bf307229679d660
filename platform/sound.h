// The sound device (the DirectSound stand-in): secondary buffers of PCM samples mixed in
// software into the one audio output, the system's blocking WAV player, and the embedded
// WAVE and raw-data resources. The sequencer has its own header (sequencer.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform
{

// Frames per second of the mixed output (stereo, 16-bit).
constexpr int kMixRateHz = 44100;

// Stands in for WAVEFORMATEX without its extra bytes.
struct WaveFormat
{
    std::uint16_t formatTag = 0;     // 1 is PCM; nothing else can be played
    std::uint16_t channels = 0;      // 1 or 2
    std::uint32_t samplesPerSec = 0; // 100 to 100000
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;    // bytes per frame: channels * bitsPerSample / 8
    std::uint16_t bitsPerSample = 0; // 8 (unsigned) or 16 (signed)
};

constexpr std::uint16_t kWaveFormatPcm = 1;

// Limits of the buffer settings, in the units DirectSound gave them.
constexpr std::int32_t kVolumeMin = -10000; // hundredths of a dB; the minimum is silence
constexpr std::int32_t kVolumeMax = 0;
constexpr std::int32_t kPanLeft = -10000;    // hundredths of a dB taken off the right side
constexpr std::int32_t kPanRight = 10000;    // hundredths of a dB taken off the left side
constexpr std::uint32_t kFrequencyMin = 100; // Hz
constexpr std::uint32_t kFrequencyMax = 100000;
// The largest buffer the mixer takes, so that no file can ask for an allocation beyond it.
constexpr std::uint32_t kMaxSoundBufferBytes = 256u << 20;

enum class SoundResult
{
    Ok,
    NoDevice,     // no output to play through, or no device made
    BadFormat,    // not 8- or 16-bit PCM, mono or stereo, 100 Hz to 100 kHz
    InvalidParam, // no such buffer, or a value out of range
    OutOfMemory,  // the buffer is larger than the mixer takes (see CreateSoundBuffer)
};

// A secondary buffer; 0 is none. Numbers are never reused, so a released one stays invalid.
using SoundBufferId = std::uint32_t;

// Bits of GetSoundBufferStatus.
constexpr std::uint32_t kSoundStatusPlaying = 0x1;
constexpr std::uint32_t kSoundStatusLooping = 0x4;

// Stands in for DirectSoundCreate(): opens the audio output when it is not open yet and
// makes the device. A device made while one exists replaces it (its buffers are released).
// NoDevice when there is no audio output.
SoundResult CreateSoundDevice();

// Releases the device and every buffer made on it. Nothing when there is none.
void ReleaseSoundDevice();

// Stands in for IDirectSound::CreateSoundBuffer() with a static secondary buffer that has
// volume, pan and frequency controls: bytes of silence in the format, stopped at position 0,
// volume 0, pan 0, frequency the format's rate. At most kMaxSoundBufferBytes, at least one frame;
// a part frame at the end is never played.
SoundResult CreateSoundBuffer(const WaveFormat& format, std::uint32_t bytes, SoundBufferId& buffer);

// Stands in for IDirectSoundBuffer::Release(). Nothing for an unknown buffer.
void ReleaseSoundBuffer(SoundBufferId buffer);

// Stands in for IDirectSoundBuffer::Lock(): bytes from offset, wrapping past the end into a
// second part (null and 0 when there is none). The parts hold the buffer's samples and may be
// written until UnlockSoundBuffer, which makes them the buffer's. InvalidParam when offset
// lies outside the buffer, bytes is 0 or larger than the buffer, or a lock is already out.
SoundResult LockSoundBuffer(SoundBufferId buffer, std::uint32_t offset, std::uint32_t bytes,
                            void** part1, std::uint32_t* bytes1, void** part2,
                            std::uint32_t* bytes2);

// Stands in for IDirectSoundBuffer::Unlock(): the locked parts become the buffer's samples.
SoundResult UnlockSoundBuffer(SoundBufferId buffer);

// Stands in for IDirectSoundBuffer::Play(0, 0, flags): plays from the current position,
// once or looping.
SoundResult PlaySoundBuffer(SoundBufferId buffer, bool looping);

// Stands in for IDirectSoundBuffer::Stop(): the position stays where it is.
SoundResult StopSoundBuffer(SoundBufferId buffer);

// Stands in for IDirectSoundBuffer::GetCurrentPosition(): the play cursor in bytes; the write
// cursor is where samples may safely be written, one mixing block ahead.
SoundResult GetSoundBufferPosition(SoundBufferId buffer, std::uint32_t& playBytes,
                                   std::uint32_t& writeBytes);

// Stands in for IDirectSoundBuffer::SetCurrentPosition(): bytes from the start, rounded down
// to a whole frame. InvalidParam past the end.
SoundResult SetSoundBufferPosition(SoundBufferId buffer, std::uint32_t bytes);

// Stands in for IDirectSoundBuffer::GetStatus(): kSoundStatus bits. A buffer played once
// stops by itself at its end and goes back to position 0.
SoundResult GetSoundBufferStatus(SoundBufferId buffer, std::uint32_t& status);

// Stand in for IDirectSoundBuffer::SetVolume(), ::SetPan() and ::SetFrequency(), applied to
// the samples mixed from now on. Values outside the limits above are InvalidParam; frequency
// 0 means the format's own rate.
SoundResult SetSoundBufferVolume(SoundBufferId buffer, std::int32_t hundredthsDb);
SoundResult SetSoundBufferPan(SoundBufferId buffer, std::int32_t hundredthsDb);
SoundResult SetSoundBufferFrequency(SoundBufferId buffer, std::uint32_t hz);

// Stands in for IDirectSoundBuffer::GetFrequency().
SoundResult GetSoundBufferFrequency(SoundBufferId buffer, std::uint32_t& hz);

// Stands in for sndPlaySoundA(name, SND_SYNC): plays a PCM WAV file (looked for as given,
// then in the program's folder) and returns when it has been heard. A name that cannot be
// found or played sounds the simple beep instead. False, at once, when there is no audio
// output.
bool PlaySoundFileSync(const char* name);

// ---- Resources ------------------------------------------------------------------------------

enum class SoundResourceType
{
    Wave,    // type "WAVE"
    RawData, // RT_RCDATA
};

// Stands in for FindResourceA(), LoadResource() and LockResource() on a resource of the
// program: the bytes of the resource with this name (compared without regard to ASCII case).
// False when there is none.
bool FindSoundResource(const char* name, SoundResourceType type, const std::uint8_t*& bytes,
                       std::size_t& size);

// Adds a resource to those compiled into the program (for tests and tools); one added under a
// name already present hides the earlier one.
void AddSoundResource(const char* name, SoundResourceType type, std::vector<std::uint8_t> bytes);

} // namespace platform
