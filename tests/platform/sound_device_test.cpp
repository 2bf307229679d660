// The sound device and its mixer, heard through the headless output: formats, clipping,
// positions, locks, interpolation across a loop, long clock jumps, the beep and the system
// player. Levels, pan and rate are heard through the sound objects' tests.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/sound.h"
#include "tests/sound/sound_files.h"
#include "tests/support/headless.h"

namespace
{

using namespace sound_files;
using platform::SoundBufferId;
using platform::SoundResult;
using platform::headless::AdvanceClock;
using platform::headless::AudioFramesRendered;

platform::WaveFormat Format(int channels, int rate, int bits, int tag = 1)
{
    platform::WaveFormat format;
    format.formatTag = static_cast<std::uint16_t>(tag);
    format.channels = static_cast<std::uint16_t>(channels);
    format.samplesPerSec = static_cast<std::uint32_t>(rate);
    format.bitsPerSample = static_cast<std::uint16_t>(bits);
    format.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    format.avgBytesPerSec = format.samplesPerSec * format.blockAlign;
    return format;
}

SoundBufferId MakeBuffer(const platform::WaveFormat& format, const std::string& bytes)
{
    SoundBufferId buffer = 0;
    auto size = static_cast<std::uint32_t>(bytes.size());
    EXPECT_EQ(platform::CreateSoundBuffer(format, size, buffer), SoundResult::Ok);
    void* part1 = nullptr;
    void* part2 = nullptr;
    std::uint32_t bytes1 = 0;
    std::uint32_t bytes2 = 0;
    EXPECT_EQ(platform::LockSoundBuffer(buffer, 0, size, &part1, &bytes1, &part2, &bytes2),
              SoundResult::Ok);
    EXPECT_TRUE(bytes1 == size && part2 == nullptr);
    std::memcpy(part1, bytes.data(), bytes1);
    EXPECT_EQ(platform::UnlockSoundBuffer(buffer), SoundResult::Ok);
    return buffer;
}

SoundBufferId Constant16(int frames, std::int16_t value)
{
    return MakeBuffer(Format(1, 44100, 16), Samples16(std::vector<std::int16_t>(frames, value)));
}

void StartWithDevice()
{
    testing_support::StartHeadless();
    ASSERT_EQ(platform::CreateSoundDevice(), SoundResult::Ok);
}

TEST(SoundMixer, ReadsStereoClipsTheSumAndPassesALongJumpOfTheClockWithoutMixingIt)
{
    StartWithDevice();
    platform::PlaySoundBuffer(MakeBuffer(Format(2, 44100, 16), Samples16({1000, -2000})), false);
    std::uint64_t start = Render(10);
    EXPECT_EQ(SampleAt(start, 0), 1000);
    EXPECT_EQ(SampleAt(start, 1), -2000);
    for (std::int16_t value : {30000, -30000})
    {
        platform::PlaySoundBuffer(Constant16(441, value), false);
        platform::PlaySoundBuffer(Constant16(441, value), false);
        EXPECT_EQ(SampleAt(Render(20) + 5, 1), value > 0 ? 32767 : -32768);
    }

    SoundBufferId once = Constant16(441, 3000);
    SoundBufferId looping = Constant16(1000, 3000);
    platform::PlaySoundBuffer(once, false);
    platform::PlaySoundBuffer(looping, true);
    platform::SetSoundBufferPosition(looping, 2 * 10);
    AdvanceClock(10 * 3600 * 1000); // ten hours
    std::uint32_t status = 99;
    EXPECT_EQ(platform::GetSoundBufferStatus(once, status), SoundResult::Ok);
    EXPECT_EQ(status, 0u);
    // Still looping, 10 + 44100 * 36000 frames later, round a loop of 1000.
    std::uint32_t play = 1;
    std::uint32_t write = 0;
    platform::GetSoundBufferPosition(looping, play, write);
    EXPECT_EQ(play, 2 * ((10 + FramesIn(36000000)) % 1000));
    EXPECT_EQ(platform::headless::RenderedAudioFirstFrame(), AudioFramesRendered());
    EXPECT_EQ(SampleAt(Render(10) + 5, 0), 3000);
}

TEST(SoundMixer, LoopsInterpolateAcrossTheirEndAndJumpsStopOneShotsExactlyAtTheirEnd)
{
    StartWithDevice();
    // Four frames at half the output rate: every other output frame lies halfway between two
    // frames, and the one after the last frame lies halfway back to the first.
    const std::int16_t frames[4] = {-1000, 0, 600, 4000};
    platform::PlaySoundBuffer(
        MakeBuffer(Format(1, 22050, 16), Samples16({frames[0], frames[1], frames[2], frames[3]})),
        true);
    std::uint64_t start = Render(10);
    for (int k = 0; k < 64; ++k)
    {
        int frame = k / 2 % 4;
        float expected = frames[frame];
        if (k % 2 == 1)
        {
            expected = (expected + frames[(frame + 1) % 4]) / 2;
        }
        ASSERT_EQ(SampleAt(start + k, 0), static_cast<std::int16_t>(expected)) << k;
    }

    // A jump longer than the mixed minute passes the rest unmixed: a one-shot buffer that ends
    // exactly where the jump ends stops, one a frame longer is left on its last frame.
    const std::uint64_t jump = FramesIn(70000);
    SoundBufferId ends = MakeBuffer(Format(1, 44100, 8), std::string(jump, '\x90'));
    SoundBufferId longer = MakeBuffer(Format(1, 44100, 8), std::string(jump + 1, '\x90'));
    platform::PlaySoundBuffer(ends, false);
    platform::PlaySoundBuffer(longer, false);
    AdvanceClock(70000);
    std::uint32_t status = 99;
    std::uint32_t play = 0;
    std::uint32_t write = 0;
    EXPECT_EQ(platform::GetSoundBufferStatus(ends, status), SoundResult::Ok);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(platform::GetSoundBufferStatus(longer, status), SoundResult::Ok);
    EXPECT_EQ(status, platform::kSoundStatusPlaying);
    platform::GetSoundBufferPosition(longer, play, write);
    EXPECT_EQ(play, jump);
}

TEST(SoundDevice, RefusesFormatsAndValuesItCannotTakeAndLocksTheWrappedRangeInTwoParts)
{
    StartWithDevice();
    SoundBufferId buffer = 0;
    platform::WaveFormat badAlign = Format(2, 44100, 16);
    badAlign.blockAlign = 2;
    for (const platform::WaveFormat& format :
         {Format(1, 44100, 24), Format(3, 44100, 16), Format(1, 99, 16), Format(1, 100001, 16),
          Format(1, 44100, 16, 3), Format(0, 44100, 16), badAlign})
    {
        EXPECT_EQ(platform::CreateSoundBuffer(format, 4096, buffer), SoundResult::BadFormat);
        EXPECT_EQ(buffer, 0u);
    }
    EXPECT_EQ(platform::CreateSoundBuffer(Format(2, 44100, 16), 3, buffer),
              SoundResult::InvalidParam);
    ASSERT_EQ(platform::CreateSoundBuffer(Format(1, 44100, 8), 100, buffer), SoundResult::Ok);
    EXPECT_EQ(platform::SetSoundBufferVolume(buffer, 1), SoundResult::InvalidParam);
    EXPECT_EQ(platform::SetSoundBufferFrequency(buffer, 100001), SoundResult::InvalidParam);
    // A play position must lie inside the buffer: its last frame, not its end.
    EXPECT_EQ(platform::SetSoundBufferPosition(buffer, 100), SoundResult::InvalidParam);
    EXPECT_EQ(platform::SetSoundBufferPosition(buffer, 99), SoundResult::Ok);
    platform::SetSoundBufferPosition(buffer, 0);
    SoundBufferId stereo = MakeBuffer(Format(2, 44100, 16), std::string(40, '\0'));
    EXPECT_EQ(platform::SetSoundBufferPosition(stereo, 40), SoundResult::InvalidParam);
    EXPECT_EQ(platform::SetSoundBufferPosition(stereo, 36), SoundResult::Ok);

    void* part1 = nullptr;
    void* part2 = nullptr;
    std::uint32_t bytes1 = 0;
    std::uint32_t bytes2 = 0;
    ASSERT_EQ(platform::LockSoundBuffer(buffer, 90, 20, &part1, &bytes1, &part2, &bytes2),
              SoundResult::Ok);
    EXPECT_TRUE(bytes1 == 10u && bytes2 == 10u);
    std::memset(part1, 0xFF, bytes1);
    std::memset(part2, 0x00, bytes2);
    ASSERT_EQ(platform::UnlockSoundBuffer(buffer), SoundResult::Ok);
    EXPECT_EQ(platform::LockSoundBuffer(buffer, 100, 1, &part1, &bytes1, &part2, &bytes2),
              SoundResult::InvalidParam);
    platform::PlaySoundBuffer(buffer, false);
    std::uint64_t start = Render(10);
    EXPECT_EQ(SampleAt(start + 5, 0), -32768); // written through the second part
    EXPECT_EQ(SampleAt(start + 50, 0), 0);     // a new 8-bit buffer is silent, not loud
    EXPECT_EQ(SampleAt(start + 95, 0), 127 * 256);
}

TEST(SystemPlayer, PlaysAWaveFileOnceHeardOrElseTheShortBeep)
{
    testing_support::TempDir dir;
    std::filesystem::create_directory(dir.File("game"));
    dir.Write("game/ding.wav", ConstantWave(11025, 7000)); // half a second
    platform::headless::HeadlessConfig config;
    config.programPath = dir.File("game/plonder");
    testing_support::StartHeadless(config);

    std::uint32_t before = platform::NowMs();
    std::uint64_t start = AudioFramesRendered();
    // Found in the program's folder, not in the current one.
    EXPECT_TRUE(platform::PlaySoundFileSync("ding.wav"));
    EXPECT_GE(platform::NowMs() - before, 500u);
    EXPECT_LT(platform::NowMs() - before, 530u);
    EXPECT_EQ(SoundingFrames(start, start + FramesIn(600), 0), 22050);

    // A name that is not there gives the beep: a tone that is over within 130 ms.
    start = AudioFramesRendered();
    EXPECT_TRUE(platform::PlaySoundFileSync("missing.wav"));
    AdvanceClock(300);
    EXPECT_EQ(platform::headless::BeepCount(), 1);
    EXPECT_GT(Peak(start, start + FramesIn(100), 0), 4000);
    EXPECT_EQ(Peak(start + FramesIn(130), start + FramesIn(300), 0), 0);
}

} // namespace
