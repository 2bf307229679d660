// WAV file bytes through the RIFF chunk reader, the sound objects' WAV reader and the system
// player's reader: chunks lie inside their parents and the file, what is read comes from the
// file, a refusal leaves everything empty, and the two readers agree where both accept.
#include <algorithm>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "platform/riff.h"
#include "platform/sound.h"
#include "platform/sound_internal.h"
#include "sound/sound.h"

namespace
{

constexpr std::uint32_t kRiffId = platform::FourCc('R', 'I', 'F', 'F');
constexpr std::uint32_t kListId = platform::FourCc('L', 'I', 'S', 'T');

// Walks every chunk under parent (the file when null), checking where each one lies.
void WalkChunks(platform::RiffReader* reader, const platform::RiffChunk* parent,
                std::uint64_t fileSize, int depth, int& budget)
{
    platform::RiffChunk chunk;
    while (budget-- > 0 && platform::DescendRiff(reader, chunk, parent, platform::RiffFind::Next))
    {
        bool container = chunk.id == kRiffId || chunk.id == kListId;
        std::uint64_t start = chunk.dataOffset;
        FUZZ_CHECK(start >= 8 && start + chunk.size <= fileSize);
        if (parent != nullptr)
        {
            FUZZ_CHECK(start - 8 >= parent->dataOffset + 4);
            FUZZ_CHECK(start + chunk.size <= parent->dataOffset + parent->size);
        }
        if (container && depth < 4)
        {
            FUZZ_CHECK(chunk.size >= 4);
            WalkChunks(reader, &chunk, fileSize, depth + 1, budget);
        }
        platform::AscendRiff(reader, chunk);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string path = fuzz::WriteFile("fuzz.wav", bytes);

    {
        platform::RiffReaderPtr reader(platform::OpenRiff(path.c_str()));
        FUZZ_CHECK(reader != nullptr);
        int budget = 1000;
        WalkChunks(reader.get(), nullptr, size, 0, budget);
    }

    std::uint32_t dataSize = 7;
    std::vector<std::uint8_t> record(3, 1);
    std::vector<std::uint8_t> samples(5, 2);
    int result = voSound::ReadWave(path.c_str(), dataSize, record, samples);
    FUZZ_CHECK(result == 0 || result == 1);
    if (result == 1)
    {
        FUZZ_CHECK(dataSize == 0 && record.empty() && samples.empty());
    }
    else
    {
        FUZZ_CHECK(dataSize == samples.size() && samples.size() + 44 <= size);
        FUZZ_CHECK(record.size() >= 18 &&
                   record.size() == 18u + (record[16] | static_cast<unsigned>(record[17]) << 8));
        // The samples are bytes of the file.
        FUZZ_CHECK(samples.empty() ||
                   std::search(data, data + size, samples.begin(), samples.end()) != data + size);
    }

    platform::WaveFormat format;
    std::vector<std::uint8_t> played(5, 3);
    if (platform::LoadPcmWaveFile(path.c_str(), format, played))
    {
        FUZZ_CHECK(format.formatTag == platform::kWaveFormatPcm);
        FUZZ_CHECK(format.channels == 1 || format.channels == 2);
        FUZZ_CHECK(format.bitsPerSample == 8 || format.bitsPerSample == 16);
        FUZZ_CHECK(format.samplesPerSec >= platform::kFrequencyMin &&
                   format.samplesPerSec <= platform::kFrequencyMax);
        FUZZ_CHECK(format.blockAlign == format.channels * format.bitsPerSample / 8);
        FUZZ_CHECK(played.size() >= format.blockAlign && played.size() + 44 <= size);
        if (result == 0)
        {
            // Both found the first RIFF WAVE chunk of the file, so both read its samples.
            FUZZ_CHECK(played == samples);
            FUZZ_CHECK(std::memcmp(record.data(), &format.formatTag, 2) == 0);
        }
    }
    return 0;
}
