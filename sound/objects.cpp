// Sound objects: the device, the table of 70 entries, loading from WAV files or resources,
// reading WAV files chunk by chunk, releasing, and rebuilding after a new device.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/riff.h"
#include "sound/sound.h"
#include "sound/sound_internal.h"
#include "system/system.h"

SoundObject soundTable[kSoundTableSize];

namespace
{

constexpr std::size_t kPathSize = 256;
constexpr std::size_t kMaxNameLength = kSoundNameSize - 1;
// The canonical 44-byte header of a WAVE resource.
constexpr std::size_t kResourceFormatAt = 20;
constexpr std::size_t kResourceLengthAt = 40;
constexpr std::size_t kResourceDataAt = 44;

struct SoundState
{
    bool available = false;  // a device was made; without one every operation does nothing
    bool rebuilding = false; // Reload is rebuilding; LoadObject fills rebuildEntry
    int rebuildEntry = 0;
};

SoundState soundState;

std::uint16_t Le16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

std::uint32_t Le32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(Le16(bytes)) | static_cast<std::uint32_t>(Le16(bytes + 2))
                                                         << 16;
}

platform::WaveFormat FormatFromRecord(const std::uint8_t* record)
{
    platform::WaveFormat format;
    format.formatTag = Le16(record);
    format.channels = Le16(record + 2);
    format.samplesPerSec = Le32(record + 4);
    format.avgBytesPerSec = Le32(record + 8);
    format.blockAlign = Le16(record + 12);
    format.bitsPerSample = Le16(record + 14);
    return format;
}

void ResetEntry(SoundObject& object)
{
    object = SoundObject{};
    object.copyCount = 1;
    object.echoStage = -1;
}

int Fail(const char* message)
{
    ShowError("voSound::LoadObject", message);
    return 0;
}

// Makes the device; the table's buffers are all none afterwards.
int CreateDevice()
{
    if (platform::CreateSoundDevice() != platform::SoundResult::Ok)
    {
        soundState.available = false;
        return 0;
    }
    for (SoundObject& object : soundTable)
    {
        for (SoundCopy& copy : object.copies)
        {
            copy.buffer = 0;
        }
    }
    soundState.rebuilding = false;
    soundState.available = true;
    return 1;
}

void ReleaseBuffers(SoundObject& object)
{
    for (SoundCopy& copy : object.copies)
    {
        if (copy.buffer != 0)
        {
            platform::StopSoundBuffer(copy.buffer);
            platform::ReleaseSoundBuffer(copy.buffer);
            copy.buffer = 0;
        }
    }
}

// The sound's samples, from the WAV file or a resource.
struct SoundSource
{
    platform::WaveFormat format;
    const std::uint8_t* samples = nullptr;
    std::uint32_t bytes = 0;
    std::vector<std::uint8_t> formatRecord; // from a file; a resource is read in place
    std::vector<std::uint8_t> data;
};

// A resource that cannot hold its own header and data is treated as missing.
bool ResourceSource(const char* name, SoundSource& source)
{
    const std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
    if (!platform::FindSoundResource(name, platform::SoundResourceType::Wave, bytes, size) &&
        !platform::FindSoundResource(name, platform::SoundResourceType::RawData, bytes, size))
    {
        return false;
    }
    if (size < kResourceDataAt || Le32(bytes + kResourceLengthAt) > size - kResourceDataAt)
    {
        return false;
    }
    source.format = FormatFromRecord(bytes + kResourceFormatAt);
    source.bytes = Le32(bytes + kResourceLengthAt);
    source.samples = bytes + kResourceDataAt;
    return true;
}

// Fills one copy's new buffer from the source. False when the buffer cannot be made.
bool MakeCopy(SoundCopy& copy, const SoundSource& source)
{
    platform::SoundBufferId buffer = 0;
    if (platform::CreateSoundBuffer(source.format, source.bytes, buffer) !=
        platform::SoundResult::Ok)
    {
        return false;
    }
    void* part1 = nullptr;
    void* part2 = nullptr;
    std::uint32_t bytes1 = 0;
    std::uint32_t bytes2 = 0;
    if (platform::LockSoundBuffer(buffer, 0, source.bytes, &part1, &bytes1, &part2, &bytes2) ==
        platform::SoundResult::Ok)
    {
        std::memcpy(part1, source.samples, bytes1);
        if (part2 != nullptr)
        {
            std::memcpy(part2, source.samples + bytes1, bytes2);
        }
        platform::UnlockSoundBuffer(buffer);
    }
    copy.buffer = buffer;
    return true;
}

} // namespace

namespace voSound
{

bool SoundAvailable()
{
    return soundState.available;
}

int Init()
{
    int made = CreateDevice();
    for (SoundObject& object : soundTable)
    {
        ResetEntry(object);
    }
    return made;
}

void Release()
{
    if (!soundState.available)
    {
        return;
    }
    for (SoundObject& object : soundTable)
    {
        if (object.inUse)
        {
            ReleaseBuffers(object);
        }
    }
    platform::ReleaseSoundDevice();
}

SoundId LoadObject(const char* name, int mixCount)
{
    if (!soundState.available)
    {
        return 0;
    }
    if (name == nullptr)
    {
        name = "";
    }
    int copyCount = mixCount < 0 ? -std::max(mixCount, -kMaxSoundCopies - 1) : mixCount;
    if (copyCount > kMaxSoundCopies)
    {
        return Fail(kTooManyMixes);
    }
    if (copyCount == 0)
    {
        // An object without copies could never sound.
        return Fail(kNoMixes);
    }
    int entry = soundState.rebuildEntry;
    if (!soundState.rebuilding)
    {
        const SoundObject* free = std::find_if(std::begin(soundTable), std::end(soundTable),
                                               [](const SoundObject& o) { return !o.inUse; });
        if (free == std::end(soundTable))
        {
            return Fail(kTooManySounds);
        }
        entry = static_cast<int>(free - soundTable);
        if (std::strlen(name) > kMaxNameLength)
        {
            return Fail(kSoundNameTooLong);
        }
    }
    std::string path = std::string(GetProgramFolder(0)) + name;
    if (path.size() >= kPathSize)
    {
        // The path would not fit its 256-byte buffer.
        return Fail(kSoundNameTooLong);
    }

    SoundSource source;
    if (ReadWave(path.c_str(), source.bytes, source.formatRecord, source.data) == 0)
    {
        source.format = FormatFromRecord(source.formatRecord.data());
        source.samples = source.data.data();
    }
    else if (!ResourceSource(name, source))
    {
        return Fail(kNoWaveResource);
    }

    SoundObject& object = soundTable[entry];
    object.copyCount = copyCount;
    object.echoStage = mixCount > 1 ? 0 : -1;
    if (!soundState.rebuilding)
    {
        object.currentCopy = 0;
        object.looping = 0;
    }
    for (int i = 0; i < copyCount; ++i)
    {
        SoundCopy& copy = object.copies[i];
        if (!MakeCopy(copy, source))
        {
            // The copies made so far go at once; a rebuilt entry stays in use without
            // buffers, a new one stays free.
            ReleaseBuffers(object);
            if (!soundState.rebuilding)
            {
                ResetEntry(object);
            }
            return Fail(kNoSoundBuffer);
        }
        if (!soundState.rebuilding)
        {
            platform::GetSoundBufferFrequency(copy.buffer, copy.frequency);
            object.baseFrequency = copy.frequency;
            copy.volume = 0;
            copy.pan = 0;
            copy.savedPosition = 0;
        }
        else
        {
            platform::SetSoundBufferVolume(copy.buffer, copy.volume);
            platform::SetSoundBufferFrequency(copy.buffer, copy.frequency);
            platform::SetSoundBufferPan(copy.buffer, copy.pan);
        }
    }
    object.inUse = 1;
    if (!soundState.rebuilding)
    {
        CopyText(object.name, name, sizeof object.name);
    }
    return entry;
}

void ReleaseObject(SoundId id)
{
    if (!soundState.available || id < 0 || id >= kSoundTableSize || !soundTable[id].inUse)
    {
        return;
    }
    SoundObject& object = soundTable[id];
    object.inUse = 0;
    object.baseFrequency = 0;
    object.name[0] = '\0';
    for (int i = 0; i < object.copyCount; ++i)
    {
        SoundCopy& copy = object.copies[i];
        copy.volume = 0;
        copy.frequency = 0;
        copy.pan = 0;
        if (copy.buffer != 0)
        {
            platform::StopSoundBuffer(copy.buffer);
            platform::ReleaseSoundBuffer(copy.buffer);
            copy.buffer = 0;
        }
    }
    object.copyCount = 1;
}

void Reload()
{
    if (!soundState.available)
    {
        return;
    }
    if (CreateDevice() == 0)
    {
        return;
    }
    soundState.rebuilding = true;
    for (int i = 0; i < kSoundTableSize; ++i)
    {
        if (soundTable[i].inUse)
        {
            soundState.rebuildEntry = i;
            LoadObject(soundTable[i].name, soundTable[i].copyCount);
        }
    }
    soundState.rebuilding = false;
}

int ReadWave(const char* path, std::uint32_t& size, std::vector<std::uint8_t>& format,
             std::vector<std::uint8_t>& data)
{
    size = 0;
    format = {};
    data = {};
    auto fail = [&]
    {
        format = {};
        data = {};
        size = 0;
        return 1;
    };
    platform::RiffReaderPtr reader(platform::OpenRiff(path));
    if (!reader)
    {
        return fail();
    }
    platform::RiffChunk riff;
    if (!platform::DescendRiff(reader.get(), riff, nullptr, platform::RiffFind::Next) ||
        riff.id != platform::FourCc('R', 'I', 'F', 'F') ||
        riff.formType != platform::FourCc('W', 'A', 'V', 'E'))
    {
        return fail();
    }
    platform::RiffChunk fmt;
    fmt.id = platform::FourCc('f', 'm', 't', ' ');
    std::uint8_t pcm[16];
    if (!platform::DescendRiff(reader.get(), fmt, &riff, platform::RiffFind::Chunk) ||
        fmt.size < sizeof pcm || platform::ReadRiff(reader.get(), pcm, sizeof pcm) != sizeof pcm)
    {
        return fail();
    }
    std::uint16_t extraSize = 0;
    if (Le16(pcm) != platform::kWaveFormatPcm && fmt.size >= sizeof pcm + 2)
    {
        // A 16-byte chunk has no extra-size field at all: the extra size is 0 then, rather
        // than two bytes of whatever follows.
        std::uint8_t field[2];
        if (platform::ReadRiff(reader.get(), field, sizeof field) != sizeof field)
        {
            return fail();
        }
        extraSize = Le16(field);
        if (extraSize > fmt.size - sizeof pcm - 2)
        {
            return fail();
        }
    }
    format.resize(sizeof pcm + 2 + extraSize);
    std::memcpy(format.data(), pcm, sizeof pcm);
    format[16] = static_cast<std::uint8_t>(extraSize & 0xFF);
    format[17] = static_cast<std::uint8_t>(extraSize >> 8);
    if (platform::ReadRiff(reader.get(), format.data() + 18, extraSize) != extraSize)
    {
        return fail();
    }
    platform::AscendRiff(reader.get(), fmt);

    platform::RiffChunk dataChunk;
    dataChunk.id = platform::FourCc('d', 'a', 't', 'a');
    if (!platform::SeekRiff(reader.get(), riff.dataOffset + 4) ||
        !platform::DescendRiff(reader.get(), dataChunk, &riff, platform::RiffFind::Chunk))
    {
        return fail();
    }
    // No buffer could take more, so a larger chunk is refused before anything is allocated.
    if (dataChunk.size > platform::kMaxSoundBufferBytes)
    {
        return fail();
    }
    data.resize(dataChunk.size);
    std::size_t done = 0;
    while (done < data.size())
    {
        const std::uint8_t* next = nullptr;
        std::size_t available = 0;
        platform::RiffBuffer(reader.get(), next, available);
        if (available == 0)
        {
            if (platform::AdvanceRiff(reader.get()) == 0)
            {
                return fail();
            }
            continue;
        }
        std::size_t take = std::min(available, data.size() - done);
        std::memcpy(data.data() + done, next, take);
        platform::ConsumeRiffBuffer(reader.get(), take);
        done += take;
    }
    size = dataChunk.size;
    return 0;
}

} // namespace voSound
