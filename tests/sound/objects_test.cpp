// Sound objects: the table and its limits, loading from files and resources with every failure
// message, reading WAV files safely, and rebuilding after Release and Reload.
#include <filesystem>

#include "tests/sound/sound_test_support.h"

namespace
{

using namespace sound_files;
using platform::headless::AdvanceClock;
using platform::headless::AudioFramesRendered;
using sound_test::Attenuated;
using sound_test::SoundTest;

using SoundObjects = SoundTest;

TEST_F(SoundObjects, TheTableHoldsSeventyAndReusesTheLowestFreeEntry)
{
    StartSound();
    ASSERT_EQ(made, 1);
    EXPECT_EQ(soundTable[69].echoStage, -1);
    EXPECT_EQ(soundTable[69].copyCount, 1);
    dir.Write("s.wav", ConstantWave(100, 1000));
    for (int i = 0; i < kSoundTableSize; ++i)
    {
        ASSERT_EQ(voSound::LoadObject("s.wav", 1), i);
    }
    EXPECT_EQ(BoxCount(), 0u);
    EXPECT_EQ(voSound::LoadObject("s.wav", 1), 0);
    EXPECT_EQ(LastBox(), LoadError("オブジェクト数が多過ぎます"));
    voSound::ReleaseObject(5);
    voSound::ReleaseObject(5);
    EXPECT_EQ(soundTable[5].inUse, 0);
    EXPECT_EQ(soundTable[5].copies[0].buffer, 0u);
    EXPECT_EQ(voSound::LoadObject("s.wav", 1), 5);
    EXPECT_EQ(BoxCount(), 1u);
}

TEST_F(SoundObjects, MixCountGivesTheCopiesAndWhetherItCanEcho)
{
    StartSound();
    dir.Write("s.wav", ConstantWave(100, 1000));
    struct Case
    {
        int mixCount;
        int copies;
        int echoStage;
    };
    for (Case c : {Case{10, 10, 0}, Case{-10, 10, -1}, Case{3, 3, 0}, Case{-3, 3, -1},
                   Case{1, 1, -1}, Case{-1, 1, -1}})
    {
        SoundId id = voSound::LoadObject("s.wav", c.mixCount);
        EXPECT_EQ(soundTable[id].copyCount, c.copies) << c.mixCount;
        EXPECT_EQ(soundTable[id].echoStage, c.echoStage) << c.mixCount;
        EXPECT_NE(soundTable[id].copies[c.copies - 1].buffer, 0u) << c.mixCount;
        EXPECT_EQ(soundTable[id].baseFrequency, 22050u);
        EXPECT_EQ(soundTable[id].copies[c.copies - 1].frequency, 22050u);
    }
    EXPECT_EQ(BoxCount(), 0u);
    for (int mixCount : {11, -11, 2147483647, -2147483647 - 1})
    {
        EXPECT_EQ(voSound::LoadObject("s.wav", mixCount), 0);
        EXPECT_EQ(LastBox(), LoadError("ミックス数が多過ぎます"));
    }
    // No copies could ever sound, so it is refused rather than entered empty.
    EXPECT_EQ(voSound::LoadObject("s.wav", 0), 0);
    EXPECT_EQ(LastBox(), LoadError("ミックス数が不正です"));
    EXPECT_EQ(soundTable[6].inUse, 0);
    EXPECT_EQ(BoxCount(), 5u);
}

TEST_F(SoundObjects, NamesAndPathsHaveTheirLimits)
{
    StartSound();
    std::string thirty = std::string(26, 'n') + ".wav";
    std::string thirtyOne = "x" + thirty;
    dir.Write(thirty, ConstantWave(100, 1000));
    dir.Write(thirtyOne, ConstantWave(100, 1000));
    SoundId id = voSound::LoadObject(thirty.c_str(), 1);
    EXPECT_EQ(soundTable[id].inUse, 1);
    EXPECT_EQ(soundTable[id].name, thirty);
    EXPECT_EQ(voSound::LoadObject(thirtyOne.c_str(), 1), 0);
    EXPECT_EQ(LastBox(), LoadError("ファイル名またはリソース名が長すぎます"));
    EXPECT_EQ(soundTable[1].inUse, 0);
}

TEST_F(SoundObjects, APathLongerThanItsBufferIsRefused)
{
    // A program folder of 240 characters leaves room for names of at most 15.
    std::string deep = dir.Path() + "/" + std::string(238 - dir.Path().size(), 'd') + "/";
    platform::headless::HeadlessConfig config;
    config.programPath = deep + "plonder";
    StartSound(config);
    ASSERT_EQ(std::string(GetProgramFolder(0)).size(), 240u);
    std::filesystem::create_directory(deep);
    dir.Write(deep.substr(dir.Path().size() + 1) + "fifteen-cha.wav", ConstantWave(100, 1000));
    dir.Write(deep.substr(dir.Path().size() + 1) + "sixteen-char.wav", ConstantWave(100, 1000));
    EXPECT_EQ(voSound::LoadObject("fifteen-cha.wav", 1), 0);
    EXPECT_EQ(soundTable[0].inUse, 1);
    EXPECT_EQ(BoxCount(), 0u);
    EXPECT_EQ(voSound::LoadObject("sixteen-char.wav", 1), 0);
    EXPECT_EQ(LastBox(), LoadError("ファイル名またはリソース名が長すぎます"));
    EXPECT_EQ(soundTable[1].inUse, 0);
}

TEST_F(SoundObjects, AMissingFileFallsBackToAResourceOfTheSameName)
{
    StartSound();
    EXPECT_EQ(voSound::LoadObject("nowhere.wav", 1), 0);
    EXPECT_EQ(LastBox(), LoadError("WAVEリソースが見つかりません"));
    EXPECT_EQ(soundTable[0].inUse, 0);

    std::string canonical = ConstantWave(441, 9000, 44100);
    ASSERT_EQ(canonical.size(), 44u + 882u);
    platform::AddSoundResource("Chime.WAV", platform::SoundResourceType::Wave,
                               std::vector<std::uint8_t>(canonical.begin(), canonical.end()));
    platform::AddSoundResource("raw", platform::SoundResourceType::RawData,
                               std::vector<std::uint8_t>(canonical.begin(), canonical.end()));
    std::string lying = canonical.substr(0, 100);
    platform::AddSoundResource("lying", platform::SoundResourceType::Wave,
                               std::vector<std::uint8_t>(lying.begin(), lying.end()));
    platform::AddSoundResource(
        "short", platform::SoundResourceType::Wave,
        std::vector<std::uint8_t>(canonical.begin(), canonical.begin() + 40));

    SoundId chime = voSound::LoadObject("chime.wav", 2);
    EXPECT_EQ(chime, 0);
    EXPECT_EQ(soundTable[0].inUse, 1);
    EXPECT_EQ(soundTable[0].baseFrequency, 44100u);
    EXPECT_EQ(voSound::LoadObject("raw", 1), 1);
    std::size_t boxes = BoxCount();
    EXPECT_EQ(voSound::LoadObject("lying", 1), 0);
    EXPECT_EQ(voSound::LoadObject("short", 1), 0);
    EXPECT_EQ(BoxCount(), boxes + 2);
    EXPECT_EQ(LastBox(), LoadError("WAVEリソースが見つかりません"));

    AdvanceClock(200); // past the error boxes' beeps
    std::uint64_t start = AudioFramesRendered();
    voSound::Play(chime, 1);
    AdvanceClock(20);
    EXPECT_EQ(SampleAt(start + 100, 0), 9000);
    EXPECT_EQ(SoundingFrames(start, start + FramesIn(20), 0), 441);
}

TEST_F(SoundObjects, WaveFilesWithChunksInAnyOrderLoad)
{
    StartSound();
    std::string fmt = Chunk("fmt ", FormatData(1, 1, 22050, 16));
    std::string data = Chunk("data", Samples16(std::vector<std::int16_t>(50, 4321)));
    dir.Write("list.wav", Wave({Chunk("LIST", "INFOjunk!"), fmt, data}));
    dir.Write("late.wav", Wave({data, Chunk("junk", "odd"), fmt}));
    dir.Write("extended.wav", Wave({Chunk("fmt ", FormatData(1, 1, 22050, 16) + Le16(0)), data}));
    for (const char* name : {"list.wav", "late.wav", "extended.wav"})
    {
        SoundId id = voSound::LoadObject(name, 1);
        ASSERT_EQ(soundTable[id].inUse, 1) << name;
        std::uint64_t start = AudioFramesRendered();
        voSound::Play(id, 0);
        AdvanceClock(10);
        EXPECT_EQ(SampleAt(start + 3, 1), 4321) << name;
        EXPECT_EQ(SoundingFrames(start, start + FramesIn(10), 0), 100) << name;
    }
    EXPECT_EQ(BoxCount(), 0u);
}

TEST_F(SoundObjects, ReadWaveKeepsTheExtraBytesOfOtherFormats)
{
    StartSound();
    std::string data = Chunk("data", std::string(64, '\x11'));
    dir.Write("float.wav", Wave({Chunk("fmt ", FormatData(3, 1, 22050, 32) + Le16(0)), data}));
    dir.Write("bare.wav", Wave({Chunk("fmt ", FormatData(3, 1, 22050, 32)), data}));
    dir.Write("adpcm.wav",
              Wave({Chunk("fmt ", FormatData(2, 1, 22050, 4) + Le16(2) + Le16(0x1F4)), data}));
    std::uint32_t size = 0;
    std::vector<std::uint8_t> format;
    std::vector<std::uint8_t> samples;
    for (const char* name : {"float.wav", "bare.wav"})
    {
        ASSERT_EQ(voSound::ReadWave(name, size, format, samples), 0) << name;
        EXPECT_EQ(format.size(), 18u);
        EXPECT_EQ(format[0], 3);
        EXPECT_EQ(format[16] | format[17], 0);
        EXPECT_EQ(size, 64u);
        EXPECT_EQ(samples, std::vector<std::uint8_t>(64, 0x11));
    }
    ASSERT_EQ(voSound::ReadWave("adpcm.wav", size, format, samples), 0);
    ASSERT_EQ(format.size(), 20u);
    EXPECT_EQ(format[18] | format[19] << 8, 0x1F4);

    // The device plays PCM only: the buffer cannot be made and the entry stays free.
    EXPECT_EQ(voSound::LoadObject("float.wav", 3), 0);
    EXPECT_EQ(LastBox(), LoadError("サウンドバッファが生成できません"));
    EXPECT_EQ(soundTable[0].inUse, 0);
    EXPECT_EQ(soundTable[0].copyCount, 1);
    dir.Write("pcm.wav", ConstantWave(10, 1));
    EXPECT_EQ(voSound::LoadObject("pcm.wav", 1), 0);
    EXPECT_EQ(soundTable[0].inUse, 1);
}

TEST_F(SoundObjects, ReadWaveRefusesBrokenFilesWithoutReadingPastThem)
{
    StartSound();
    std::string fmt = Chunk("fmt ", FormatData(1, 1, 22050, 16));
    std::string data = Chunk("data", Samples16({1, 2, 3, 4}));
    std::string good = Wave({fmt, data});
    std::string riffTooLong = good;
    riffTooLong[4] = static_cast<char>(riffTooLong[4] + 2);
    std::string dataTooLong = Wave({fmt, "data" + Le32(9) + Samples16({1, 2, 3, 4})});
    std::string hugeData = Wave({fmt, "data" + Le32(0xFFFFFFF0u) + Samples16({1, 2})});
    std::string hugeExtra =
        Wave({Chunk("fmt ", FormatData(2, 1, 22050, 4) + Le16(0xFFFF) + "ab"), data});
    std::string extraPastChunk =
        Wave({Chunk("fmt ", FormatData(2, 1, 22050, 4) + Le16(4) + "ab"), data});
    struct Case
    {
        const char* name;
        std::string bytes;
    };
    std::vector<Case> cases = {
        {"empty", ""},
        {"not-riff", "RIFX" + good.substr(4)},
        {"not-wave", good.substr(0, 8) + "AVI " + good.substr(12)},
        {"riff-past-end", riffTooLong},
        {"data-past-end", dataTooLong},
        {"huge-data", hugeData},
        {"no-fmt", Wave({data})},
        {"no-data", Wave({fmt})},
        {"short-fmt", Wave({Chunk("fmt ", FormatData(1, 1, 22050, 16).substr(0, 14)), data})},
        {"huge-extra", hugeExtra},
        {"extra-past-chunk", extraPastChunk},
        {"truncated", good.substr(0, good.size() - 3)},
        {"header-only", good.substr(0, 10)},
    };
    for (const Case& c : cases)
    {
        dir.Write(c.name, c.bytes);
        std::uint32_t size = 7;
        std::vector<std::uint8_t> format(3);
        std::vector<std::uint8_t> samples(3);
        EXPECT_EQ(voSound::ReadWave(c.name, size, format, samples), 1) << c.name;
        EXPECT_EQ(size, 0u) << c.name;
        EXPECT_TRUE(format.empty() && samples.empty()) << c.name;
        EXPECT_EQ(voSound::LoadObject(c.name, 1), 0) << c.name;
        EXPECT_EQ(LastBox(), LoadError("WAVEリソースが見つかりません")) << c.name;
    }
    std::uint32_t size = 0;
    std::vector<std::uint8_t> format;
    std::vector<std::uint8_t> samples;
    EXPECT_EQ(voSound::ReadWave("no-such-file.wav", size, format, samples), 1);
    dir.Write("good.wav", good);
    EXPECT_EQ(voSound::ReadWave("good.wav", size, format, samples), 0);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(format.size(), 18u);
}

TEST_F(SoundObjects, ReleaseAndReloadGiveBackEveryCopysSettings)
{
    StartSound();
    dir.Write("tone.wav", ConstantWave(2205, 16000)); // 0.1 s at 22050 Hz
    SoundId id = voSound::LoadObject("tone.wav", 3);
    SoundId plain = voSound::LoadObject("tone.wav", -3);
    voSound::SetVolume(id, -6, 1);
    voSound::AddFrequency(id, 50, 1); // 27050 Hz
    voSound::SetPan(id, 10, 1);
    voSound::Play(plain, voSound::COPY_ROTATE);
    voSound::Release();
    EXPECT_EQ(soundTable[id].copies[1].buffer, 0u);
    std::uint64_t start = AudioFramesRendered();
    voSound::Play(id, 1);
    voSound::Pause(id, voSound::COPY_ALL);
    voSound::SetVolume(id, -1, 2);
    AdvanceClock(50);
    EXPECT_EQ(Peak(start, AudioFramesRendered(), 0), 0);
    voSound::SetVolume(id, 0, 2);

    voSound::Reload();
    EXPECT_EQ(soundTable[id].inUse, 1);
    EXPECT_STREQ(soundTable[id].name, "tone.wav");
    EXPECT_EQ(soundTable[id].copies[1].volume, -600);
    EXPECT_EQ(soundTable[id].copies[1].frequency, 27050u);
    EXPECT_EQ(soundTable[id].copies[1].pan, 1000);
    EXPECT_EQ(soundTable[plain].currentCopy, 1);
    EXPECT_EQ(soundTable[plain].echoStage, 0); // rebuilt with a positive count: it can echo

    start = AudioFramesRendered();
    voSound::Play(id, 1);
    AdvanceClock(300);
    EXPECT_NEAR(Peak(start, start + 1000, 1), Attenuated(16000, -600), 1.0);
    EXPECT_NEAR(Peak(start, start + 1000, 0), Attenuated(16000, -1600), 1.0);
    EXPECT_NEAR(SoundingFrames(start, start + FramesIn(300), 1), 2205.0 * 44100 / 27050, 2.0);
}

TEST_F(SoundObjects, AnObjectThatCannotBeRebuiltStaysInUseWithoutBuffers)
{
    StartSound();
    dir.Write("gone.wav", ConstantWave(2205, 16000));
    SoundId id = voSound::LoadObject("gone.wav", 2);
    voSound::Release();
    std::filesystem::remove(dir.File("gone.wav"));
    voSound::Reload();
    EXPECT_EQ(LastBox(), LoadError("WAVEリソースが見つかりません"));
    EXPECT_EQ(soundTable[id].inUse, 1);
    EXPECT_EQ(soundTable[id].copies[0].buffer, 0u);
    AdvanceClock(200); // past the error box's beep
    std::uint64_t start = AudioFramesRendered();
    voSound::Play(id, voSound::COPY_CURRENT);
    voSound::Pause(id, voSound::COPY_ALL);
    voSound::Echo(id, 0, 3, 6);
    voSound::Stop(id, 0);
    AdvanceClock(50);
    EXPECT_EQ(Peak(start, AudioFramesRendered(), 0), 0);
    voSound::ReleaseObject(id);
    EXPECT_EQ(soundTable[id].inUse, 0);
}

TEST_F(SoundObjects, WithoutADeviceEveryCallReturnsAtOnceAndSilently)
{
    platform::headless::HeadlessConfig config;
    config.soundDevice = false;
    StartSound(config);
    EXPECT_EQ(made, 0);
    EXPECT_EQ(soundTable[3].echoStage, -1);
    EXPECT_EQ(soundTable[3].copyCount, 1);
    dir.Write("s.wav", ConstantWave(100, 1000));
    EXPECT_EQ(voSound::LoadObject("s.wav", 2), 0);
    EXPECT_EQ(voSound::LoadObject("s.wav", 99), 0);
    EXPECT_EQ(soundTable[0].inUse, 0);
    voSound::Play(0, voSound::COPY_CURRENT);
    voSound::SetVolume(0, -10, voSound::COPY_ALL);
    voSound::ReleaseObject(0);
    voSound::Reload();
    voSound::Release();
    EXPECT_EQ(soundTable[0].copies[0].volume, 0);
    EXPECT_EQ(BoxCount(), 0u);
    voSound::Beep();
    EXPECT_EQ(platform::headless::BeepCount(), 1);
    AdvanceClock(100);
    EXPECT_TRUE(platform::headless::RenderedAudio().empty());
}

} // namespace
