// The software mixer and the sound device: buffers of PCM samples summed with their volume,
// pan and rate, and the sequencer's music, into the one stereo 16-bit output. Backends only
// open the output and pull frames (MixAudio); everything else is here.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>

#include "platform/backend.h"
#include "platform/riff.h"
#include "platform/sound_internal.h"

namespace platform
{
namespace
{

// Frames mixed at a time into the float scratch block.
constexpr int kBlockFrames = 512;

enum class Owner
{
    Device,   // made through CreateSoundBuffer; goes with the device
    Platform, // the beep and the system player's sounds
};

struct MixBuffer
{
    WaveFormat format;
    std::vector<std::uint8_t> samples;
    std::uint32_t frames = 0; // whole frames in samples
    Owner owner = Owner::Device;
    bool releaseAtEnd = false; // freed by the mixer once it stops
    bool playing = false;
    bool looping = false;
    std::uint64_t position = 0;  // play position in frames, 32.32 fixed point
    std::int32_t volume = 0;     // hundredths of a dB
    std::int32_t pan = 0;        // hundredths of a dB
    std::uint32_t frequency = 0; // Hz
    float leftGain = 1.0f;       // from volume and pan
    float rightGain = 1.0f;
    bool locked = false;
    std::uint32_t lockOffset = 0; // the locked range, in bytes
    std::uint32_t lockBytes = 0;
    std::vector<std::uint8_t> staging; // what the lock handed out
};

struct MixerState
{
    std::mutex mutex;          // see MixerMutex()
    bool outputOpen = false;   // the backend's output pulls frames
    bool deviceExists = false; // CreateSoundDevice succeeded and was not released
    SoundBufferId nextId = 1;  // numbers are never reused
    std::map<SoundBufferId, std::unique_ptr<MixBuffer>> buffers;
    float block[kBlockFrames * 2] = {}; // mixing scratch, interleaved stereo
    std::vector<std::int16_t> beepTone; // the simple beep, made on first use
};

MixerState mixer;

float GainFromHundredthsDb(std::int32_t hundredthsDb)
{
    // The minimum is silence, not a very quiet sound.
    if (hundredthsDb <= kVolumeMin)
    {
        return 0.0f;
    }
    return std::pow(10.0f, static_cast<float>(hundredthsDb) / 2000.0f);
}

void UpdateGains(MixBuffer& buffer)
{
    // Pan attenuates only the other side; the centre is full volume on both.
    float gain = GainFromHundredthsDb(buffer.volume);
    buffer.leftGain = gain * (buffer.pan > 0 ? GainFromHundredthsDb(-buffer.pan) : 1.0f);
    buffer.rightGain = gain * (buffer.pan < 0 ? GainFromHundredthsDb(buffer.pan) : 1.0f);
}

bool PlayableFormat(const WaveFormat& format)
{
    return format.formatTag == kWaveFormatPcm && (format.channels == 1 || format.channels == 2) &&
           (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
           format.samplesPerSec >= kFrequencyMin && format.samplesPerSec <= kFrequencyMax &&
           format.blockAlign == format.channels * format.bitsPerSample / 8;
}

void FillSilence(MixBuffer& buffer)
{
    // Unsigned 8-bit samples are silent at 128.
    std::fill(buffer.samples.begin(), buffer.samples.end(),
              buffer.format.bitsPerSample == 8 ? 0x80 : 0x00);
}

// A new buffer, not yet in the table. Null when the sizes are refused or memory runs out.
std::unique_ptr<MixBuffer> MakeBuffer(const WaveFormat& format, std::uint32_t bytes,
                                      SoundResult& result)
{
    if (!PlayableFormat(format))
    {
        result = SoundResult::BadFormat;
        return nullptr;
    }
    if (bytes < format.blockAlign)
    {
        result = SoundResult::InvalidParam;
        return nullptr;
    }
    if (bytes > kMaxSoundBufferBytes)
    {
        result = SoundResult::OutOfMemory;
        return nullptr;
    }
    auto buffer = std::make_unique<MixBuffer>();
    try
    {
        buffer->samples.resize(bytes);
    }
    catch (const std::bad_alloc&)
    {
        result = SoundResult::OutOfMemory;
        return nullptr;
    }
    buffer->format = format;
    buffer->frames = bytes / format.blockAlign;
    buffer->frequency = format.samplesPerSec;
    FillSilence(*buffer);
    result = SoundResult::Ok;
    return buffer;
}

// The buffer with this number, or null. Called with the lock held.
MixBuffer* Find(SoundBufferId id)
{
    auto it = mixer.buffers.find(id);
    return it == mixer.buffers.end() ? nullptr : it->second.get();
}

SoundBufferId Insert(std::unique_ptr<MixBuffer> buffer)
{
    SoundBufferId id = mixer.nextId++;
    mixer.buffers.emplace(id, std::move(buffer));
    return id;
}

// Sets the buffer's volume or pan (hundredths of a dB) when it lies within min..max.
SoundResult SetGainSetting(SoundBufferId buffer, std::int32_t MixBuffer::*setting,
                           std::int32_t hundredthsDb, std::int32_t min, std::int32_t max)
{
    std::lock_guard<std::mutex> lock(mixer.mutex);
    MixBuffer* found = Find(buffer);
    if (found == nullptr || hundredthsDb < min || hundredthsDb > max)
    {
        return SoundResult::InvalidParam;
    }
    found->*setting = hundredthsDb;
    UpdateGains(*found);
    return SoundResult::Ok;
}

void ReleaseDeviceBuffers()
{
    for (auto it = mixer.buffers.begin(); it != mixer.buffers.end();)
    {
        it = it->second->owner == Owner::Device ? mixer.buffers.erase(it) : std::next(it);
    }
}

template <int Bits> float SampleAt(const std::uint8_t* samples, std::size_t index)
{
    if constexpr (Bits == 8)
    {
        return static_cast<float>((static_cast<int>(samples[index]) - 128) * 256);
    }
    else
    {
        std::int16_t value;
        std::memcpy(&value, samples + index * 2, sizeof value);
        return static_cast<float>(value);
    }
}

// Adds count frames of one playing buffer into mix, resampled by linear interpolation from
// the buffer's frequency to the output rate.
template <int Channels, int Bits> void MixVoice(MixBuffer& buffer, float* mix, int count)
{
    const std::uint8_t* samples = buffer.samples.data();
    const std::uint64_t length = static_cast<std::uint64_t>(buffer.frames) << 32;
    const std::uint64_t step = (static_cast<std::uint64_t>(buffer.frequency) << 32) / kMixRateHz;
    const std::uint32_t last = buffer.frames - 1;
    const float leftGain = buffer.leftGain;
    const float rightGain = buffer.rightGain;
    std::uint64_t position = buffer.position;
    for (int i = 0; i < count; ++i)
    {
        if (position >= length)
        {
            if (!buffer.looping)
            {
                buffer.playing = false;
                position = 0;
                break;
            }
            position %= length;
        }
        std::uint32_t frame = static_cast<std::uint32_t>(position >> 32);
        float t =
            static_cast<float>(static_cast<std::uint32_t>(position) >> 16) * (1.0f / 65536.0f);
        std::uint32_t next = frame < last ? frame + 1 : (buffer.looping ? 0 : frame);
        float left0 = SampleAt<Bits>(samples, static_cast<std::size_t>(frame) * Channels);
        float left1 = SampleAt<Bits>(samples, static_cast<std::size_t>(next) * Channels);
        float left = left0 + (left1 - left0) * t;
        float right = left;
        if constexpr (Channels == 2)
        {
            float right0 = SampleAt<Bits>(samples, static_cast<std::size_t>(frame) * 2 + 1);
            float right1 = SampleAt<Bits>(samples, static_cast<std::size_t>(next) * 2 + 1);
            right = right0 + (right1 - right0) * t;
        }
        mix[2 * i] += left * leftGain;
        mix[2 * i + 1] += right * rightGain;
        position += step;
    }
    buffer.position = position;
}

void MixBufferInto(MixBuffer& buffer, float* mix, int count)
{
    bool stereo = buffer.format.channels == 2;
    bool wide = buffer.format.bitsPerSample == 16;
    if (stereo && wide)
    {
        MixVoice<2, 16>(buffer, mix, count);
    }
    else if (stereo)
    {
        MixVoice<2, 8>(buffer, mix, count);
    }
    else if (wide)
    {
        MixVoice<1, 16>(buffer, mix, count);
    }
    else
    {
        MixVoice<1, 8>(buffer, mix, count);
    }
}

void MixBlock(std::int16_t* out, int count)
{
    float* mix = mixer.block;
    std::fill(mix, mix + count * 2, 0.0f);
    for (auto& entry : mixer.buffers)
    {
        MixBuffer& buffer = *entry.second;
        if (buffer.playing)
        {
            MixBufferInto(buffer, mix, count);
        }
    }
    MixSequencer(mix, count);
    for (int i = 0; i < count * 2; ++i)
    {
        float value = std::clamp(mix[i], -32768.0f, 32767.0f);
        out[i] = static_cast<std::int16_t>(std::lrint(value));
    }
}

const std::vector<std::int16_t>& BeepTone()
{
    if (mixer.beepTone.empty())
    {
        // 880 Hz for 120 ms at a quarter of full scale, with 5 ms ramps so it does not click.
        constexpr int kFrames = kMixRateHz * 120 / 1000;
        constexpr int kRamp = kMixRateHz * 5 / 1000;
        constexpr double kPi = 3.14159265358979323846;
        mixer.beepTone.resize(kFrames);
        for (int i = 0; i < kFrames; ++i)
        {
            double envelope = std::min({1.0, static_cast<double>(i) / kRamp,
                                        static_cast<double>(kFrames - 1 - i) / kRamp});
            mixer.beepTone[i] = static_cast<std::int16_t>(
                std::lrint(8192.0 * envelope * std::sin(2.0 * kPi * 880.0 * i / kMixRateHz)));
        }
    }
    return mixer.beepTone;
}

WaveFormat BeepFormat()
{
    WaveFormat format;
    format.formatTag = kWaveFormatPcm;
    format.channels = 1;
    format.samplesPerSec = kMixRateHz;
    format.bitsPerSample = 16;
    format.blockAlign = 2;
    format.avgBytesPerSec = kMixRateHz * 2;
    return format;
}

} // namespace

std::mutex& MixerMutex()
{
    return mixer.mutex;
}

void MixAudio(std::int16_t* frames, int count)
{
    std::lock_guard<std::mutex> lock(mixer.mutex);
    while (count > 0)
    {
        int block = std::min(count, kBlockFrames);
        MixBlock(frames, block);
        frames += block * 2;
        count -= block;
    }
    for (auto it = mixer.buffers.begin(); it != mixer.buffers.end();)
    {
        bool finished = it->second->releaseAtEnd && !it->second->playing;
        it = finished ? mixer.buffers.erase(it) : std::next(it);
    }
}

void SkipAudio(std::uint64_t count)
{
    std::lock_guard<std::mutex> lock(mixer.mutex);
    for (auto it = mixer.buffers.begin(); it != mixer.buffers.end();)
    {
        MixBuffer& buffer = *it->second;
        if (buffer.playing)
        {
            // Source frames passed, without the fraction; a frequency of at most 100 kHz keeps
            // the product far from overflowing.
            std::uint64_t passed = count * buffer.frequency / kMixRateHz;
            std::uint64_t frame = (buffer.position >> 32) + passed;
            if (frame < buffer.frames)
            {
                buffer.position = frame << 32;
            }
            else if (buffer.looping)
            {
                buffer.position = (frame % buffer.frames) << 32;
            }
            else
            {
                buffer.playing = false;
                buffer.position = 0;
            }
        }
        bool finished = buffer.releaseAtEnd && !buffer.playing;
        it = finished ? mixer.buffers.erase(it) : std::next(it);
    }
    SkipSequencer(count);
}

bool OpenAudioOutput()
{
    if (mixer.outputOpen)
    {
        return true;
    }
    AudioOut* audio = ActiveBackend().audio.get();
    std::string error;
    if (audio == nullptr || !audio->Open(kMixRateHz, error))
    {
        return false;
    }
    mixer.outputOpen = true;
    return true;
}

int AudioLatencyFrames()
{
    return mixer.outputOpen ? ActiveBackend().audio->LatencyFrames() : 0;
}

SoundResult CreateSoundDevice()
{
    if (!OpenAudioOutput())
    {
        return SoundResult::NoDevice;
    }
    std::lock_guard<std::mutex> lock(mixer.mutex);
    ReleaseDeviceBuffers();
    mixer.deviceExists = true;
    return SoundResult::Ok;
}

void ReleaseSoundDevice()
{
    std::lock_guard<std::mutex> lock(mixer.mutex);
    ReleaseDeviceBuffers();
    mixer.deviceExists = false;
}

SoundResult CreateSoundBuffer(const WaveFormat& format, std::uint32_t bytes, SoundBufferId& buffer)
{
    buffer = 0;
    if (!mixer.deviceExists)
    {
        return SoundResult::NoDevice;
    }
    SoundResult result = SoundResult::Ok;
    std::unique_ptr<MixBuffer> made = MakeBuffer(format, bytes, result);
    if (!made)
    {
        return result;
    }
    std::lock_guard<std::mutex> lock(mixer.mutex);
    buffer = Insert(std::move(made));
    return SoundResult::Ok;
}

SoundResult CreateInternalBuffer(const WaveFormat& format, const void* samples, std::uint32_t bytes,
                                 bool releaseAtEnd, SoundBufferId& buffer)
{
    buffer = 0;
    SoundResult result = SoundResult::Ok;
    std::unique_ptr<MixBuffer> made = MakeBuffer(format, bytes, result);
    if (!made)
    {
        return result;
    }
    std::memcpy(made->samples.data(), samples, bytes);
    made->owner = Owner::Platform;
    made->releaseAtEnd = releaseAtEnd;
    std::lock_guard<std::mutex> lock(mixer.mutex);
    buffer = Insert(std::move(made));
    return SoundResult::Ok;
}

void ReleaseSoundBuffer(SoundBufferId buffer)
{
    std::unique_ptr<MixBuffer> gone;
    {
        std::lock_guard<std::mutex> lock(mixer.mutex);
        auto it = mixer.buffers.find(buffer);
        if (it == mixer.buffers.end())
        {
            return;
        }
        gone = std::move(it->second);
        mixer.buffers.erase(it);
    }
    // The samples are freed outside the lock, so the output never waits for that.
}

SoundResult LockSoundBuffer(SoundBufferId buffer, std::uint32_t offset, std::uint32_t bytes,
                            void** part1, std::uint32_t* bytes1, void** part2,
                            std::uint32_t* bytes2)
{
    std::lock_guard<std::mutex> lock(mixer.mutex);
    MixBuffer* found = Find(buffer);
    std::uint32_t size = found != nullptr ? static_cast<std::uint32_t>(found->samples.size()) : 0;
    if (found == nullptr || found->locked || offset >= size || bytes == 0 || bytes > size ||
        part1 == nullptr || bytes1 == nullptr)
    {
        return SoundResult::InvalidParam;
    }
    std::uint32_t first = std::min(bytes, size - offset);
    std::uint32_t second = bytes - first;
    if (second > 0 && (part2 == nullptr || bytes2 == nullptr))
    {
        return SoundResult::InvalidParam;
    }
    found->staging.resize(bytes);
    std::memcpy(found->staging.data(), found->samples.data() + offset, first);
    std::memcpy(found->staging.data() + first, found->samples.data(), second);
    found->locked = true;
    found->lockOffset = offset;
    found->lockBytes = bytes;
    *part1 = found->staging.data();
    *bytes1 = first;
    if (part2 != nullptr && bytes2 != nullptr)
    {
        *part2 = second > 0 ? found->staging.data() + first : nullptr;
        *bytes2 = second;
    }
    return SoundResult::Ok;
}

SoundResult UnlockSoundBuffer(SoundBufferId buffer)
{
    std::lock_guard<std::mutex> lock(mixer.mutex);
    MixBuffer* found = Find(buffer);
    if (found == nullptr || !found->locked)
    {
        return SoundResult::InvalidParam;
    }
    std::uint32_t size = static_cast<std::uint32_t>(found->samples.size());
    std::uint32_t first = std::min(found->lockBytes, size - found->lockOffset);
    std::memcpy(found->samples.data() + found->lockOffset, found->staging.data(), first);
    std::memcpy(found->samples.data(), found->staging.data() + first, found->lockBytes - first);
    found->locked = false;
    found->staging = std::vector<std::uint8_t>();
    return SoundResult::Ok;
}

SoundResult PlaySoundBuffer(SoundBufferId buffer, bool looping)
{
    std::lock_guard<std::mutex> lock(mixer.mutex);
    MixBuffer* found = Find(buffer);
    if (found == nullptr)
    {
        return SoundResult::InvalidParam;
    }
    found->playing = true;
    found->looping = looping;
    return SoundResult::Ok;
}

SoundResult StopSoundBuffer(SoundBufferId buffer)
{
    std::lock_guard<std::mutex> lock(mixer.mutex);
    MixBuffer* found = Find(buffer);
    if (found == nullptr)
    {
        return SoundResult::InvalidParam;
    }
    found->playing = false;
    return SoundResult::Ok;
}

SoundResult GetSoundBufferPosition(SoundBufferId buffer, std::uint32_t& playBytes,
                                   std::uint32_t& writeBytes)
{
    playBytes = 0;
    writeBytes = 0;
    int latency = AudioLatencyFrames();
    std::lock_guard<std::mutex> lock(mixer.mutex);
    MixBuffer* found = Find(buffer);
    if (found == nullptr)
    {
        return SoundResult::InvalidParam;
    }
    std::uint32_t frame = static_cast<std::uint32_t>(found->position >> 32);
    std::uint32_t ahead = 0;
    if (found->playing)
    {
        ahead = static_cast<std::uint32_t>(static_cast<std::uint64_t>(latency) * found->frequency /
                                           kMixRateHz);
    }
    playBytes = frame * found->format.blockAlign;
    writeBytes = static_cast<std::uint32_t>((static_cast<std::uint64_t>(frame) + ahead) %
                                            found->frames * found->format.blockAlign);
    return SoundResult::Ok;
}

SoundResult SetSoundBufferPosition(SoundBufferId buffer, std::uint32_t bytes)
{
    std::lock_guard<std::mutex> lock(mixer.mutex);
    MixBuffer* found = Find(buffer);
    if (found == nullptr || bytes >= found->frames * found->format.blockAlign)
    {
        return SoundResult::InvalidParam;
    }
    found->position = static_cast<std::uint64_t>(bytes / found->format.blockAlign) << 32;
    return SoundResult::Ok;
}

SoundResult GetSoundBufferStatus(SoundBufferId buffer, std::uint32_t& status)
{
    status = 0;
    std::lock_guard<std::mutex> lock(mixer.mutex);
    MixBuffer* found = Find(buffer);
    if (found == nullptr)
    {
        return SoundResult::InvalidParam;
    }
    if (found->playing)
    {
        status = kSoundStatusPlaying | (found->looping ? kSoundStatusLooping : 0);
    }
    return SoundResult::Ok;
}

SoundResult SetSoundBufferVolume(SoundBufferId buffer, std::int32_t hundredthsDb)
{
    return SetGainSetting(buffer, &MixBuffer::volume, hundredthsDb, kVolumeMin, kVolumeMax);
}

SoundResult SetSoundBufferPan(SoundBufferId buffer, std::int32_t hundredthsDb)
{
    return SetGainSetting(buffer, &MixBuffer::pan, hundredthsDb, kPanLeft, kPanRight);
}

SoundResult SetSoundBufferFrequency(SoundBufferId buffer, std::uint32_t hz)
{
    std::lock_guard<std::mutex> lock(mixer.mutex);
    MixBuffer* found = Find(buffer);
    if (found == nullptr || (hz != 0 && (hz < kFrequencyMin || hz > kFrequencyMax)))
    {
        return SoundResult::InvalidParam;
    }
    found->frequency = hz == 0 ? found->format.samplesPerSec : hz;
    return SoundResult::Ok;
}

SoundResult GetSoundBufferFrequency(SoundBufferId buffer, std::uint32_t& hz)
{
    hz = 0;
    std::lock_guard<std::mutex> lock(mixer.mutex);
    MixBuffer* found = Find(buffer);
    if (found == nullptr)
    {
        return SoundResult::InvalidParam;
    }
    hz = found->frequency;
    return SoundResult::Ok;
}

void WaitForSoundBuffer(SoundBufferId buffer)
{
    for (;;)
    {
        std::uint32_t remainingMs = 0;
        {
            std::lock_guard<std::mutex> lock(mixer.mutex);
            MixBuffer* found = Find(buffer);
            if (found == nullptr || !found->playing || !mixer.outputOpen)
            {
                break;
            }
            std::uint64_t left =
                (static_cast<std::uint64_t>(found->frames) << 32) -
                std::min(found->position, static_cast<std::uint64_t>(found->frames) << 32);
            // Nothing else runs meanwhile, so the whole rest can be waited for at once.
            remainingMs = static_cast<std::uint32_t>(
                std::min<std::uint64_t>((left >> 32) * 1000 / found->frequency, 1u << 30));
        }
        WaitPast(NowMs() + remainingMs);
    }
    int latency = AudioLatencyFrames();
    if (latency > 0)
    {
        WaitPast(NowMs() + static_cast<std::uint32_t>(latency * 1000 / kMixRateHz));
    }
}

void SoundBeepTone()
{
    if (!mixer.outputOpen)
    {
        return;
    }
    const std::vector<std::int16_t>& tone = BeepTone();
    SoundBufferId buffer = 0;
    if (CreateInternalBuffer(BeepFormat(), tone.data(),
                             static_cast<std::uint32_t>(tone.size() * sizeof(std::int16_t)), true,
                             buffer) == SoundResult::Ok)
    {
        PlaySoundBuffer(buffer, false);
    }
}

bool LoadPcmWaveFile(const char* path, WaveFormat& format, std::vector<std::uint8_t>& samples)
{
    RiffReaderPtr reader(OpenRiff(path));
    if (!reader)
    {
        return false;
    }
    RiffChunk riff;
    riff.formType = FourCc('W', 'A', 'V', 'E');
    RiffChunk fmt;
    fmt.id = FourCc('f', 'm', 't', ' ');
    std::uint8_t bytes[16];
    if (!DescendRiff(reader.get(), riff, nullptr, RiffFind::Riff) ||
        !DescendRiff(reader.get(), fmt, &riff, RiffFind::Chunk) || fmt.size < sizeof bytes ||
        ReadRiff(reader.get(), bytes, sizeof bytes) != sizeof bytes)
    {
        return false;
    }
    auto le16 = [&](int at) { return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8); };
    auto le32 = [&](int at) {
        return static_cast<std::uint32_t>(le16(at)) | static_cast<std::uint32_t>(le16(at + 2))
                                                          << 16;
    };
    format.formatTag = le16(0);
    format.channels = le16(2);
    format.samplesPerSec = le32(4);
    format.avgBytesPerSec = le32(8);
    format.blockAlign = le16(12);
    format.bitsPerSample = le16(14);
    RiffChunk data;
    data.id = FourCc('d', 'a', 't', 'a');
    if (!PlayableFormat(format) || !SeekRiff(reader.get(), riff.dataOffset + 4) ||
        !DescendRiff(reader.get(), data, &riff, RiffFind::Chunk) || data.size < format.blockAlign ||
        data.size > kMaxSoundBufferBytes)
    {
        return false;
    }
    samples.resize(data.size);
    return ReadRiff(reader.get(), samples.data(), data.size) == data.size;
}

bool PlaySoundFileSync(const char* name)
{
    if (!OpenAudioOutput())
    {
        return false;
    }
    WaveFormat format;
    std::vector<std::uint8_t> samples;
    bool found = false;
    if (name != nullptr && name[0] != '\0')
    {
        std::string program = ProgramFilePath();
        std::string folder = program.substr(0, program.find_last_of(kPathSeparator) + 1);
        found = LoadPcmWaveFile(name, format, samples) ||
                (name[0] != kPathSeparator && !folder.empty() &&
                 LoadPcmWaveFile((folder + name).c_str(), format, samples));
    }
    SoundBufferId buffer = 0;
    if (!found ||
        CreateInternalBuffer(format, samples.data(), static_cast<std::uint32_t>(samples.size()),
                             false, buffer) != SoundResult::Ok)
    {
        // A sound that cannot be found or played gives the default sound instead.
        ActiveBackend().dialogs->Beep();
        const std::vector<std::int16_t>& tone = BeepTone();
        CreateInternalBuffer(BeepFormat(), tone.data(),
                             static_cast<std::uint32_t>(tone.size() * sizeof(std::int16_t)), false,
                             buffer);
    }
    PlaySoundBuffer(buffer, false);
    WaitForSoundBuffer(buffer);
    ReleaseSoundBuffer(buffer);
    return true;
}

void ShutdownSound()
{
    ShutdownSequencer();
    std::map<SoundBufferId, std::unique_ptr<MixBuffer>> gone;
    if (mixer.outputOpen)
    {
        // Closed before anything is freed: the output must not pull from a half-gone mixer.
        ActiveBackend().audio->Close();
        mixer.outputOpen = false;
    }
    std::lock_guard<std::mutex> lock(mixer.mutex);
    gone.swap(mixer.buffers);
    mixer.deviceExists = false;
}

} // namespace platform
