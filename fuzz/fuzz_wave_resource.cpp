// WAVE resource bytes loaded as a sound object: the first byte is the number of copies asked
// for, the rest the resource (a WAV file laid out as the resource compiler stores it). A
// resource is refused with the error box and nothing kept, or every copy holds exactly the
// resource's samples.
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "platform/sound.h"
#include "sound/sound.h"

namespace
{

constexpr std::size_t kLengthAt = 40;
constexpr std::size_t kSamplesAt = 44;
constexpr std::uint32_t kBeepPlayedMs = 400;

std::uint32_t Le32(std::string_view bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int k = 3; k >= 0; --k)
    {
        value = value << 8 | static_cast<unsigned char>(bytes[at + k]);
    }
    return value;
}

int UsedEntries()
{
    int used = 0;
    for (const SoundObject& object : soundTable)
    {
        used += object.inUse;
    }
    return used;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::StartHeadless();
    FUZZ_CHECK(voSound::Init() == 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input{data, size};
    int mixCount = static_cast<std::int8_t>(fuzz::TakeByte(input)) % 13;
    std::string_view resource = fuzz::TakeRest(input);
    platform::AddSoundResource("FUZZ", platform::SoundResourceType::Wave,
                               std::vector<std::uint8_t>(resource.begin(), resource.end()));

    std::size_t boxes = platform::headless::MessageBoxes().size();
    SoundId id = voSound::LoadObject("fuzz", mixCount);
    bool refused = platform::headless::MessageBoxes().size() != boxes;
    if (refused)
    {
        FUZZ_CHECK(id == 0 && UsedEntries() == 0);
        // The error box beeps; the mixer frees the beep's buffer once the clock has played it.
        platform::headless::AdvanceClock(kBeepPlayedMs);
        return 0;
    }
    FUZZ_CHECK(id >= 0 && id < kSoundTableSize && UsedEntries() == 1);
    const SoundObject& object = soundTable[id];
    FUZZ_CHECK(object.inUse == 1 && object.copyCount >= 1 && object.copyCount <= kMaxSoundCopies);
    FUZZ_CHECK(resource.size() >= kSamplesAt);
    std::uint32_t length = Le32(resource, kLengthAt);
    FUZZ_CHECK(length <= resource.size() - kSamplesAt);
    for (int i = 0; i < kMaxSoundCopies; ++i)
    {
        platform::SoundBufferId buffer = object.copies[i].buffer;
        FUZZ_CHECK((buffer != 0) == (i < object.copyCount));
        if (buffer == 0)
        {
            continue;
        }
        void* part1 = nullptr;
        void* part2 = nullptr;
        std::uint32_t bytes1 = 0;
        std::uint32_t bytes2 = 0;
        FUZZ_CHECK(platform::LockSoundBuffer(buffer, 0, length, &part1, &bytes1, &part2, &bytes2) ==
                   platform::SoundResult::Ok);
        FUZZ_CHECK(bytes1 == length && part2 == nullptr);
        FUZZ_CHECK(std::memcmp(part1, resource.data() + kSamplesAt, length) == 0);
        platform::UnlockSoundBuffer(buffer);
    }
    voSound::ReleaseObject(id);
    FUZZ_CHECK(UsedEntries() == 0);
    return 0;
}
