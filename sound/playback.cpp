// Sound playback: play, stop and pause by copy selector, the rotation, the held frequency,
// pan and volume of each copy, the echo and its pan sweep, the beep and the system player.
#include <algorithm>

#include "sound/sound.h"
#include "sound/sound_internal.h"
#include "system/system.h"

namespace
{

// The object behind id when operations may touch it; null otherwise. Ids and copy numbers
// come from the game unchecked, so nothing here trusts them.
SoundObject* Usable(SoundId id)
{
    if (!voSound::SoundAvailable() || id < 0 || id >= kSoundTableSize)
    {
        return nullptr;
    }
    SoundObject& object = soundTable[id];
    if (!object.inUse || object.copyCount < 1 || object.copyCount > kMaxSoundCopies)
    {
        return nullptr;
    }
    return &object;
}

// Stop, rewind and play one copy. A copy without a buffer (after a failed rebuild) is left.
void StartCopy(SoundObject& object, int copy, bool looping)
{
    platform::SoundBufferId buffer = object.copies[copy].buffer;
    if (buffer == 0)
    {
        return;
    }
    platform::StopSoundBuffer(buffer);
    platform::SetSoundBufferPosition(buffer, 0);
    platform::PlaySoundBuffer(buffer, looping);
}

void StopCopy(SoundObject& object, int copy)
{
    platform::SoundBufferId buffer = object.copies[copy].buffer;
    if (buffer != 0)
    {
        platform::StopSoundBuffer(buffer);
        platform::SetSoundBufferPosition(buffer, 0);
    }
}

void ToggleCopy(SoundObject& object, int copy)
{
    SoundCopy& held = object.copies[copy];
    if (held.buffer == 0)
    {
        return;
    }
    std::uint32_t status = 0;
    platform::GetSoundBufferStatus(held.buffer, status);
    if (status & platform::kSoundStatusPlaying)
    {
        std::uint32_t write = 0;
        platform::GetSoundBufferPosition(held.buffer, held.savedPosition, write);
        platform::StopSoundBuffer(held.buffer);
    }
    else
    {
        platform::SetSoundBufferPosition(held.buffer, held.savedPosition);
        platform::PlaySoundBuffer(held.buffer, object.looping == 1);
    }
}

// Runs apply on the copies stop and pause select: one by its number, or every copy for any
// selector.
void ForCopies(SoundObject* object, int copy, void (*apply)(SoundObject&, int))
{
    if (object == nullptr)
    {
        return;
    }
    if (copy >= 0)
    {
        if (copy < object->copyCount)
        {
            apply(*object, copy);
        }
        return;
    }
    for (int i = 0; i < object->copyCount; ++i)
    {
        apply(*object, i);
    }
}

// Runs apply on the copies a frequency, pan or volume operation selects.
template <typename Apply> void ForSettings(SoundId id, int copy, Apply apply)
{
    SoundObject* object = Usable(id);
    if (object == nullptr)
    {
        return;
    }
    if (copy >= 0)
    {
        if (copy < object->copyCount)
        {
            apply(object->copies[copy]);
        }
    }
    else if (copy == voSound::COPY_CURRENT)
    {
        apply(object->copies[object->currentCopy % object->copyCount]);
    }
    else
    {
        for (int i = 0; i < object->copyCount; ++i)
        {
            apply(object->copies[i]);
        }
    }
}

std::uint32_t ClampFrequency(std::int64_t hz)
{
    // Below the minimum, negative results included, is the minimum.
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(hz, platform::kFrequencyMin, platform::kFrequencyMax));
}

void SendFrequency(SoundCopy& copy, std::uint32_t hz)
{
    copy.frequency = hz;
    if (copy.buffer != 0)
    {
        platform::SetSoundBufferFrequency(copy.buffer, hz);
    }
}

void SendPan(SoundCopy& copy, std::int64_t hundredthsDb)
{
    copy.pan = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(hundredthsDb, platform::kPanLeft, platform::kPanRight));
    if (copy.buffer != 0)
    {
        platform::SetSoundBufferPan(copy.buffer, copy.pan);
    }
}

void SendVolume(SoundCopy& copy, std::int64_t hundredthsDb)
{
    copy.volume = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(hundredthsDb, platform::kVolumeMin, platform::kVolumeMax));
    if (copy.buffer != 0)
    {
        platform::SetSoundBufferVolume(copy.buffer, copy.volume);
    }
}

void SetVolumeDb(SoundId id, std::int64_t db, int copy)
{
    ForSettings(id, copy, [&](SoundCopy& held) { SendVolume(held, db * 100); });
}

void StartPlay(SoundId id, int copy, bool looping)
{
    SoundObject* object = Usable(id);
    if (object == nullptr)
    {
        return;
    }
    if (copy >= 0)
    {
        if (copy >= object->copyCount)
        {
            return;
        }
        StartCopy(*object, copy, looping);
    }
    else
    {
        if (copy == voSound::COPY_CURRENT && object->echoStage >= 0)
        {
            voSound::ResetFrequency(id, voSound::COPY_ALL);
            voSound::ResetPan(id, voSound::COPY_ALL);
            voSound::ResetVolume(id, voSound::COPY_ALL);
            object->echoStage = 1;
            object->echoTimer = 0.0f;
            object->echoLooping = looping ? 1 : 0;
            object->echoPan = static_cast<float>(object->copies[object->currentCopy].pan);
            object->echoPanDirection = (Random() & 1) != 0 ? 1 : -1;
        }
        object->currentCopy %= object->copyCount;
        StartCopy(*object, object->currentCopy, looping);
        object->currentCopy = (object->currentCopy + 1) % object->copyCount;
    }
    object->looping = looping ? 1 : 0;
}

void EchoFrame(SoundId id, int intervalMs, int count, int stepDb, bool sweep, int speed)
{
    SoundObject* object = Usable(id);
    if (object == nullptr || object->echoStage < 1 || count < 1)
    {
        return;
    }
    object->echoTimer += frameSeconds * 1000.0f;
    if (static_cast<float>(intervalMs) > object->echoTimer)
    {
        return;
    }
    object->echoTimer = 0.0f;
    if (sweep)
    {
        // The sweep moves only on the frames that play a repeat, by that frame's length.
        object->echoPan += static_cast<float>(object->echoPanDirection) * frameSeconds * 100.0f *
                           static_cast<float>(speed);
        if (object->echoPan < -30.0f)
        {
            object->echoPan = -30.0f;
            object->echoPanDirection = -object->echoPanDirection;
        }
        else if (object->echoPan > 30.0f)
        {
            object->echoPan = 30.0f;
            object->echoPanDirection = -object->echoPanDirection;
        }
        voSound::SetPan(id, static_cast<int>(object->echoPan), voSound::COPY_CURRENT);
    }
    SetVolumeDb(id, -static_cast<std::int64_t>(object->echoStage) * stepDb, voSound::COPY_CURRENT);
    StartPlay(id, voSound::COPY_ROTATE, object->echoLooping == 1);
    object->echoStage += 1;
    if (object->echoStage > count)
    {
        object->echoStage = 0;
    }
}

} // namespace

namespace voSound
{

void Play(SoundId id, int copy)
{
    StartPlay(id, copy, false);
}

void PlayLoop(SoundId id, int copy)
{
    StartPlay(id, copy, true);
}

void Stop(SoundId id, int copy)
{
    SoundObject* object = Usable(id);
    if (object != nullptr && copy < 0 && object->echoStage >= 0)
    {
        object->echoStage = 0;
    }
    ForCopies(object, copy, StopCopy);
}

void Pause(SoundId id, int copy)
{
    ForCopies(Usable(id), copy, ToggleCopy);
}

void AddFrequency(SoundId id, int steps, int copy)
{
    ForSettings(id, copy,
                [&](SoundCopy& held)
                {
                    SendFrequency(held, ClampFrequency(static_cast<std::int64_t>(held.frequency) +
                                                       static_cast<std::int64_t>(steps) * 100));
                });
}

void ResetFrequency(SoundId id, int copy)
{
    SoundObject* object = Usable(id);
    if (object == nullptr)
    {
        return;
    }
    std::uint32_t base = object->baseFrequency;
    ForSettings(id, copy, [&](SoundCopy& held) { SendFrequency(held, base); });
}

void SetFrequencyOffset(SoundId id, int steps, int copy)
{
    SoundObject* object = Usable(id);
    if (object == nullptr)
    {
        return;
    }
    std::int64_t base = object->baseFrequency;
    ForSettings(
        id, copy,
        [&](SoundCopy& held)
        { SendFrequency(held, ClampFrequency(base + static_cast<std::int64_t>(steps) * 100)); });
}

void AddPan(SoundId id, int db, int copy)
{
    ForSettings(id, copy,
                [&](SoundCopy& held) {
                    SendPan(held, static_cast<std::int64_t>(held.pan) +
                                      static_cast<std::int64_t>(db) * 100);
                });
}

void ResetPan(SoundId id, int copy)
{
    ForSettings(id, copy, [](SoundCopy& held) { SendPan(held, 0); });
}

void SetPan(SoundId id, int db, int copy)
{
    ForSettings(id, copy,
                [&](SoundCopy& held) { SendPan(held, static_cast<std::int64_t>(db) * 100); });
}

void PanLeft(SoundId id, int copy)
{
    ForSettings(id, copy, [](SoundCopy& held) { SendPan(held, platform::kPanLeft); });
}

void PanRight(SoundId id, int copy)
{
    ForSettings(id, copy, [](SoundCopy& held) { SendPan(held, platform::kPanRight); });
}

void AddVolume(SoundId id, int db, int copy)
{
    ForSettings(id, copy,
                [&](SoundCopy& held)
                {
                    SendVolume(held, static_cast<std::int64_t>(held.volume) +
                                         static_cast<std::int64_t>(db) * 100);
                });
}

void ResetVolume(SoundId id, int copy)
{
    ForSettings(id, copy, [](SoundCopy& held) { SendVolume(held, 0); });
}

void SetVolume(SoundId id, int db, int copy)
{
    SetVolumeDb(id, db, copy);
}

void Echo(SoundId id, int intervalMs, int count, int stepDb)
{
    EchoFrame(id, intervalMs, count, stepDb, false, 0);
}

void EchoSweep(SoundId id, int intervalMs, int count, int stepDb, int speed)
{
    EchoFrame(id, intervalMs, count, stepDb, true, speed);
}

void Beep()
{
    platform::Beep();
}

void PlaySync(const char* name)
{
    // The device is released so that the system player has the hardware, as it needed to.
    Release();
    platform::PlaySoundFileSync(name);
    Reload();
}

} // namespace voSound
