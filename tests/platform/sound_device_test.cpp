// The sound device and its mixer, heard through the headless output: levels, pan, rate,
// formats, clipping, looping, positions, locks, the beep and the system player.
#include <gtest/gtest.h>

#include <cmath>
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
    EXPECT_EQ(platform::CreateSoundBuffer(format, static_cast<std::uint32_t>(bytes.size()), buffer),
              SoundResult::Ok);
    void* part1 = nullptr;
    void* part2 = nullptr;
    std::uint32_t bytes1 = 0;
    std::uint32_t bytes2 = 0;
    EXPECT_EQ(platform::LockSoundBuffer(buffer, 0, static_cast<std::uint32_t>(bytes.size()), &part1,
                                        &bytes1, &part2, &bytes2),
              SoundResult::Ok);
    EXPECT_EQ(bytes1, bytes.size());
    EXPECT_EQ(part2, nullptr);
    std::memcpy(part1, bytes.data(), bytes1);
    EXPECT_EQ(platform::UnlockSoundBuffer(buffer), SoundResult::Ok);
    return buffer;
}

SoundBufferId Constant16(int frames, std::int16_t value, int rate = 44100)
{
    return MakeBuffer(Format(1, rate, 16), Samples16(std::vector<std::int16_t>(frames, value)));
}

void StartWithDevice(platform::headless::HeadlessConfig config = {})
{
    testing_support::StartHeadless(config);
    ASSERT_EQ(platform::CreateSoundDevice(), SoundResult::Ok);
}

TEST(SoundMixer, PlaysSamplesAtFullLevelOnBothSidesForTheirLength)
{
    StartWithDevice();
    SoundBufferId buffer = Constant16(4410, 10000);
    std::uint64_t start = AudioFramesRendered();
    platform::PlaySoundBuffer(buffer, false);
    AdvanceClock(200);
    EXPECT_EQ(SampleAt(start, 0), 10000);
    EXPECT_EQ(SampleAt(start + 4409, 1), 10000);
    EXPECT_EQ(SoundingFrames(start, start + FramesIn(200), 0), 4410);
    std::uint32_t status = 99;
    platform::GetSoundBufferStatus(buffer, status);
    EXPECT_EQ(status, 0u);
}

TEST(SoundMixer, VolumeAndPanAttenuateByTheirHundredthsOfADecibel)
{
    StartWithDevice();
    SoundBufferId buffer = Constant16(44100, 16000);
    platform::PlaySoundBuffer(buffer, true);
    auto levelsAfter = [&](std::int32_t volume, std::int32_t pan, int& left, int& right)
    {
        EXPECT_EQ(platform::SetSoundBufferVolume(buffer, volume), SoundResult::Ok);
        EXPECT_EQ(platform::SetSoundBufferPan(buffer, pan), SoundResult::Ok);
        std::uint64_t start = AudioFramesRendered();
        AdvanceClock(10);
        left = Peak(start, start + FramesIn(10), 0);
        right = Peak(start, start + FramesIn(10), 1);
    };
    int left = 0;
    int right = 0;
    levelsAfter(-600, 0, left, right);
    EXPECT_NEAR(left, 16000 * std::pow(10.0, -0.3), 1.0);
    EXPECT_NEAR(right, 16000 * std::pow(10.0, -0.3), 1.0);
    levelsAfter(-600, 1000, left, right); // right: the left side loses 10 dB
    EXPECT_NEAR(left, 16000 * std::pow(10.0, -0.8), 1.0);
    EXPECT_NEAR(right, 16000 * std::pow(10.0, -0.3), 1.0);
    levelsAfter(0, -2000, left, right);
    EXPECT_EQ(left, 16000);
    EXPECT_NEAR(right, 1600, 1.0);
    levelsAfter(0, -10000, left, right);
    EXPECT_EQ(left, 16000);
    EXPECT_EQ(right, 0);
    levelsAfter(-10000, 0, left, right);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, 0);
}

TEST(SoundMixer, FrequencySetsTheRateOfTheSound)
{
    StartWithDevice();
    // A tenth of a second at 22050 Hz.
    SoundBufferId buffer = Constant16(2205, 12000, 22050);
    struct Case
    {
        std::uint32_t hz;
        int frames;
    };
    for (Case c : {Case{0, 4410}, Case{44100, 2205}, Case{11025, 8820}, Case{22050, 4410}})
    {
        ASSERT_EQ(platform::SetSoundBufferFrequency(buffer, c.hz), SoundResult::Ok);
        std::uint64_t start = AudioFramesRendered();
        platform::PlaySoundBuffer(buffer, false);
        AdvanceClock(500);
        EXPECT_EQ(SoundingFrames(start, start + FramesIn(500), 0), c.frames) << c.hz;
    }
    std::uint32_t hz = 0;
    platform::GetSoundBufferFrequency(buffer, hz);
    EXPECT_EQ(hz, 22050u);

    // A 441 Hz tone at 22050 Hz sounds an octave up when played at 44100 Hz.
    std::vector<std::int16_t> tone(22050);
    for (std::size_t i = 0; i < tone.size(); ++i)
    {
        tone[i] = static_cast<std::int16_t>(10000 * std::sin(2 * M_PI * 441 * (i + 0.5) / 22050));
    }
    SoundBufferId sine = MakeBuffer(Format(1, 22050, 16), Samples16(tone));
    platform::SetSoundBufferFrequency(sine, 44100);
    std::uint64_t start = AudioFramesRendered();
    platform::PlaySoundBuffer(sine, true);
    AdvanceClock(1000);
    EXPECT_NEAR(RisingCrossings(start, start + FramesIn(1000), 0), 882, 2);
}

TEST(SoundMixer, ReadsUnsignedEightBitAndStereoSamples)
{
    StartWithDevice();
    SoundBufferId eight = MakeBuffer(Format(1, 44100, 8), std::string("\xC0\x80\x00", 3));
    std::uint64_t start = AudioFramesRendered();
    platform::PlaySoundBuffer(eight, false);
    AdvanceClock(10);
    EXPECT_EQ(SampleAt(start, 0), 16384);
    EXPECT_EQ(SampleAt(start + 1, 0), 0);
    EXPECT_EQ(SampleAt(start + 2, 1), -32768);

    SoundBufferId stereo = MakeBuffer(Format(2, 44100, 16), Samples16({1000, -2000, 1000, -2000}));
    start = AudioFramesRendered();
    platform::PlaySoundBuffer(stereo, false);
    AdvanceClock(10);
    EXPECT_EQ(SampleAt(start + 1, 0), 1000);
    EXPECT_EQ(SampleAt(start + 1, 1), -2000);
}

TEST(SoundMixer, ClipsTheSumInsteadOfWrappingAround)
{
    StartWithDevice();
    SoundBufferId a = Constant16(441, 30000);
    SoundBufferId b = Constant16(441, 30000);
    SoundBufferId c = Constant16(441, -30000);
    SoundBufferId d = Constant16(441, -30000);
    std::uint64_t start = AudioFramesRendered();
    platform::PlaySoundBuffer(a, false);
    platform::PlaySoundBuffer(b, false);
    AdvanceClock(20);
    EXPECT_EQ(SampleAt(start + 5, 0), 32767);
    start = AudioFramesRendered();
    platform::PlaySoundBuffer(c, false);
    platform::PlaySoundBuffer(d, false);
    AdvanceClock(20);
    EXPECT_EQ(SampleAt(start + 5, 1), -32768);
}

TEST(SoundMixer, LoopsFromTheEndToTheStartAndAOnceBufferStopsAtZero)
{
    StartWithDevice();
    std::vector<std::int16_t> ramp(100);
    for (int i = 0; i < 100; ++i)
    {
        ramp[i] = static_cast<std::int16_t>(i * 100);
    }
    SoundBufferId buffer = MakeBuffer(Format(1, 44100, 16), Samples16(ramp));
    std::uint64_t start = AudioFramesRendered();
    platform::PlaySoundBuffer(buffer, true);
    AdvanceClock(10);
    for (std::uint64_t k = 0; k < FramesIn(10); ++k)
    {
        ASSERT_EQ(SampleAt(start + k, 0), (k % 100) * 100) << k;
    }
    std::uint32_t status = 0;
    platform::GetSoundBufferStatus(buffer, status);
    EXPECT_EQ(status, platform::kSoundStatusPlaying | platform::kSoundStatusLooping);

    platform::StopSoundBuffer(buffer);
    platform::SetSoundBufferPosition(buffer, 0);
    start = AudioFramesRendered();
    platform::PlaySoundBuffer(buffer, false);
    AdvanceClock(10);
    EXPECT_EQ(SoundingFrames(start, start + FramesIn(10), 0), 99);
    platform::GetSoundBufferStatus(buffer, status);
    EXPECT_EQ(status, 0u);
    std::uint32_t play = 1;
    std::uint32_t write = 1;
    platform::GetSoundBufferPosition(buffer, play, write);
    EXPECT_EQ(play, 0u);
}

TEST(SoundMixer, PositionsAreBytesAndPlayGoesOnFromThem)
{
    StartWithDevice();
    std::vector<std::int16_t> ramp(20000);
    for (int i = 0; i < 20000; ++i)
    {
        ramp[i] = static_cast<std::int16_t>(i);
    }
    SoundBufferId buffer = MakeBuffer(Format(1, 44100, 16), Samples16(ramp));
    EXPECT_EQ(platform::SetSoundBufferPosition(buffer, 2001), SoundResult::Ok); // frame 1000
    std::uint64_t start = AudioFramesRendered();
    platform::PlaySoundBuffer(buffer, false);
    AdvanceClock(10);
    EXPECT_EQ(SampleAt(start, 0), 1000);
    platform::StopSoundBuffer(buffer);
    std::uint32_t play = 0;
    std::uint32_t write = 0;
    platform::GetSoundBufferPosition(buffer, play, write);
    EXPECT_EQ(play, (1000 + FramesIn(10)) * 2);
    AdvanceClock(10);
    start = AudioFramesRendered();
    platform::PlaySoundBuffer(buffer, false);
    AdvanceClock(10);
    EXPECT_EQ(SampleAt(start, 0), static_cast<std::int16_t>(1000 + FramesIn(10)));
    EXPECT_EQ(platform::SetSoundBufferPosition(buffer, 40000), SoundResult::InvalidParam);
}

TEST(SoundMixer, ALongJumpOfTheClockPassesWithoutMixingEveryFrame)
{
    StartWithDevice();
    SoundBufferId once = Constant16(441, 3000);
    SoundBufferId looping = Constant16(1000, 3000);
    platform::PlaySoundBuffer(once, false);
    platform::PlaySoundBuffer(looping, true);
    platform::SetSoundBufferPosition(looping, 2 * 10);
    AdvanceClock(10 * 3600 * 1000); // ten hours
    std::uint32_t status = 0;
    platform::GetSoundBufferStatus(once, status);
    EXPECT_EQ(status, 0u);
    platform::GetSoundBufferStatus(looping, status);
    EXPECT_NE(status & platform::kSoundStatusLooping, 0u);
    std::uint32_t play = 0;
    std::uint32_t write = 0;
    platform::GetSoundBufferPosition(looping, play, write);
    // 10 + 44100 * 36000 frames later, round a loop of 1000.
    EXPECT_EQ(play, 2 * ((10 + FramesIn(36000000)) % 1000));
    EXPECT_EQ(platform::headless::RenderedAudioFirstFrame(), AudioFramesRendered());
    std::uint64_t start = AudioFramesRendered();
    AdvanceClock(10);
    EXPECT_EQ(SampleAt(start + 5, 0), 3000);
}

TEST(SoundDevice, RefusesFormatsAndValuesItCannotTake)
{
    StartWithDevice();
    SoundBufferId buffer = 0;
    for (const platform::WaveFormat& format :
         {Format(1, 44100, 24), Format(3, 44100, 16), Format(1, 99, 16), Format(1, 100001, 16),
          Format(1, 44100, 16, 3), Format(0, 44100, 16)})
    {
        EXPECT_EQ(platform::CreateSoundBuffer(format, 4096, buffer), SoundResult::BadFormat);
        EXPECT_EQ(buffer, 0u);
    }
    platform::WaveFormat badAlign = Format(2, 44100, 16);
    badAlign.blockAlign = 2;
    EXPECT_EQ(platform::CreateSoundBuffer(badAlign, 4096, buffer), SoundResult::BadFormat);
    EXPECT_EQ(platform::CreateSoundBuffer(Format(2, 44100, 16), 3, buffer),
              SoundResult::InvalidParam);
    EXPECT_EQ(platform::CreateSoundBuffer(Format(1, 100, 8), 1, buffer), SoundResult::Ok);
    EXPECT_EQ(platform::CreateSoundBuffer(Format(2, 100000, 16), 4, buffer), SoundResult::Ok);

    EXPECT_EQ(platform::SetSoundBufferVolume(buffer, 1), SoundResult::InvalidParam);
    EXPECT_EQ(platform::SetSoundBufferVolume(buffer, -10001), SoundResult::InvalidParam);
    EXPECT_EQ(platform::SetSoundBufferPan(buffer, 10001), SoundResult::InvalidParam);
    EXPECT_EQ(platform::SetSoundBufferFrequency(buffer, 99), SoundResult::InvalidParam);
    EXPECT_EQ(platform::SetSoundBufferFrequency(buffer, 100001), SoundResult::InvalidParam);
    EXPECT_EQ(platform::PlaySoundBuffer(buffer + 1000, false), SoundResult::InvalidParam);
}

TEST(SoundDevice, LockHandsOutTheWrappedRangeInTwoParts)
{
    StartWithDevice();
    SoundBufferId buffer = 0;
    ASSERT_EQ(platform::CreateSoundBuffer(Format(1, 44100, 8), 100, buffer), SoundResult::Ok);
    void* part1 = nullptr;
    void* part2 = nullptr;
    std::uint32_t bytes1 = 0;
    std::uint32_t bytes2 = 0;
    ASSERT_EQ(platform::LockSoundBuffer(buffer, 90, 20, &part1, &bytes1, &part2, &bytes2),
              SoundResult::Ok);
    EXPECT_EQ(bytes1, 10u);
    EXPECT_EQ(bytes2, 10u);
    EXPECT_EQ(platform::LockSoundBuffer(buffer, 0, 10, &part1, &bytes1, &part2, &bytes2),
              SoundResult::InvalidParam);
    std::memset(part1, 0xFF, bytes1);
    std::memset(part2, 0x00, bytes2);
    ASSERT_EQ(platform::UnlockSoundBuffer(buffer), SoundResult::Ok);
    EXPECT_EQ(platform::UnlockSoundBuffer(buffer), SoundResult::InvalidParam);
    EXPECT_EQ(platform::LockSoundBuffer(buffer, 100, 1, &part1, &bytes1, &part2, &bytes2),
              SoundResult::InvalidParam);

    std::uint64_t start = AudioFramesRendered();
    platform::PlaySoundBuffer(buffer, false);
    AdvanceClock(10);
    EXPECT_EQ(SampleAt(start + 5, 0), -32768); // written through the second part
    EXPECT_EQ(SampleAt(start + 50, 0), 0);     // a new 8-bit buffer is silent, not loud
    EXPECT_EQ(SampleAt(start + 95, 0), 127 * 256);
}

TEST(SoundDevice, ReleasingTheDeviceReleasesItsBuffers)
{
    StartWithDevice();
    SoundBufferId buffer = Constant16(44100, 5000);
    platform::PlaySoundBuffer(buffer, true);
    AdvanceClock(10);
    platform::ReleaseSoundDevice();
    std::uint64_t start = AudioFramesRendered();
    AdvanceClock(10);
    EXPECT_EQ(Peak(start, start + FramesIn(10), 0), 0);
    EXPECT_EQ(platform::PlaySoundBuffer(buffer, false), SoundResult::InvalidParam);
    SoundBufferId another = 0;
    EXPECT_EQ(platform::CreateSoundBuffer(Format(1, 44100, 16), 100, another),
              SoundResult::NoDevice);
    // A new device gives new buffers; the old number stays invalid.
    ASSERT_EQ(platform::CreateSoundDevice(), SoundResult::Ok);
    EXPECT_EQ(platform::PlaySoundBuffer(buffer, false), SoundResult::InvalidParam);
}

TEST(SoundDevice, NoDeviceWhenTheHeadlessSoundIsSwitchedOff)
{
    platform::headless::HeadlessConfig config;
    config.soundDevice = false;
    testing_support::StartHeadless(config);
    EXPECT_EQ(platform::CreateSoundDevice(), SoundResult::NoDevice);
    SoundBufferId buffer = 0;
    EXPECT_EQ(platform::CreateSoundBuffer(Format(1, 44100, 16), 100, buffer),
              SoundResult::NoDevice);
    platform::Beep();
    EXPECT_EQ(platform::headless::BeepCount(), 1);
    std::uint32_t before = platform::NowMs();
    EXPECT_FALSE(platform::PlaySoundFileSync("anything.wav"));
    EXPECT_EQ(platform::NowMs(), before);
    AdvanceClock(100);
    EXPECT_TRUE(platform::headless::RenderedAudio().empty());
}

TEST(SoundBeep, SoundsAShortToneThroughAnOpenOutput)
{
    StartWithDevice();
    std::uint64_t start = AudioFramesRendered();
    platform::Beep();
    AdvanceClock(300);
    EXPECT_EQ(platform::headless::BeepCount(), 1);
    EXPECT_GT(Peak(start, start + FramesIn(100), 0), 4000);
    EXPECT_NEAR(RisingCrossings(start, start + FramesIn(100), 1), 88, 2);
    EXPECT_EQ(Peak(start + FramesIn(130), start + FramesIn(300), 0), 0);
}

TEST(SystemPlayer, PlaysAWaveFileAndReturnsOnceItHasBeenHeard)
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
    EXPECT_EQ(SampleAt(start + 100, 1), 7000);
    EXPECT_EQ(platform::headless::BeepCount(), 0);

    // A name that is not there gives the default sound.
    start = AudioFramesRendered();
    EXPECT_TRUE(platform::PlaySoundFileSync("missing.wav"));
    EXPECT_EQ(platform::headless::BeepCount(), 1);
    EXPECT_GT(Peak(start, start + FramesIn(100), 0), 4000);
}

} // namespace
