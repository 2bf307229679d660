// Sound objects: the table and its limits, loading from files and resources, reading WAV files
// safely, and rebuilding after Release and Reload.
#include <climits>
#include <cstring>
#include <filesystem>

#include "platform/resources.h"
#include "tests/sound/sound_test_support.h"

namespace
{

using namespace sound_test;

using SoundObjects = SoundTest;

TEST_F(SoundObjects, TheTableHoldsSeventyNamesOfUpToThirtyCharacters)
{
    StartSound();
    ASSERT_EQ(made, 1);
    std::string thirty = std::string(26, 'n') + ".wav";
    dir.Write(thirty, ConstantWave(100, 1000));
    dir.Write("x" + thirty, ConstantWave(100, 1000));
    EXPECT_EQ(voSound::LoadObject(("x" + thirty).c_str(), 1), 0);
    EXPECT_EQ(LastBox(), LoadError("ファイル名またはリソース名が長すぎます"));
    for (int i = 0; i < kSoundTableSize; ++i)
    {
        ASSERT_EQ(voSound::LoadObject(thirty.c_str(), 1), i);
    }
    EXPECT_EQ(soundTable[69].name, thirty);
    EXPECT_EQ(BoxCount(), 1u);
    EXPECT_EQ(voSound::LoadObject(thirty.c_str(), 1), 0);
    EXPECT_EQ(LastBox(), LoadError("オブジェクト数が多過ぎます"));
    // The lowest free entry is taken; releasing twice does no harm.
    voSound::ReleaseObject(5);
    voSound::ReleaseObject(5);
    voSound::ReleaseObject(7);
    EXPECT_EQ(voSound::LoadObject(thirty.c_str(), 1), 5);
    EXPECT_EQ(BoxCount(), 2u);
}

TEST_F(SoundObjects, MixCountGivesTheCopiesAndWhetherItCanEcho)
{
    StartSound();
    dir.Write("s.wav", ConstantWave(100, 1000));
    struct Case
    {
        int mixCount, copies, echoStage;
    };
    for (Case c :
         {Case{10, 10, 0}, Case{-10, 10, -1}, Case{3, 3, 0}, Case{1, 1, -1}, Case{-1, 1, -1}})
    {
        SoundId id = voSound::LoadObject("s.wav", c.mixCount);
        EXPECT_EQ(soundTable[id].copyCount, c.copies) << c.mixCount;
        EXPECT_EQ(soundTable[id].echoStage, c.echoStage) << c.mixCount;
        EXPECT_NE(soundTable[id].copies[c.copies - 1].buffer, 0u) << c.mixCount;
    }
    EXPECT_EQ(BoxCount(), 0u);
    for (int mixCount : {11, -11, INT_MIN})
    {
        EXPECT_EQ(voSound::LoadObject("s.wav", mixCount), 0);
        EXPECT_EQ(LastBox(), LoadError("ミックス数が多過ぎます"));
    }
    // No copies could ever sound, so it is refused rather than entered empty.
    EXPECT_EQ(voSound::LoadObject("s.wav", 0), 0);
    EXPECT_EQ(LastBox(), LoadError("ミックス数が不正です"));
    EXPECT_EQ(soundTable[5].inUse, 0);
}

TEST_F(SoundObjects, APathLongerThanItsBufferIsRefused)
{
    // A program folder of 240 characters leaves room for names of at most 15.
    std::string sub = std::string(238 - dir.Path().size(), 'd') + "/";
    platform::headless::HeadlessConfig config;
    config.programPath = dir.File(sub + "plonder");
    StartSound(config);
    ASSERT_EQ(std::string(GetProgramFolder(0)).size(), 240u);
    std::filesystem::create_directory(dir.File(sub));
    dir.Write(sub + "fifteen-cha.wav", ConstantWave(100, 1000));
    dir.Write(sub + "sixteen-char.wav", ConstantWave(100, 1000));
    EXPECT_EQ(voSound::LoadObject("fifteen-cha.wav", 1), 0);
    EXPECT_EQ(BoxCount(), 0u);
    EXPECT_EQ(voSound::LoadObject("sixteen-char.wav", 1), 0);
    EXPECT_EQ(LastBox(), LoadError("ファイル名またはリソース名が長すぎます"));
    EXPECT_EQ(soundTable[0].inUse + soundTable[1].inUse, 1);
}

TEST_F(SoundObjects, AMissingFileFallsBackToAResourceOfTheSameName)
{
    StartSound();
    std::string canonical = ConstantWave(441, 9000, 44100);
    auto add = [](const char* name, platform::SoundResourceType type, const std::string& bytes) {
        platform::AddSoundResource(name, type,
                                   std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    };
    add("Chime.WAV", platform::SoundResourceType::Wave, canonical);
    add("raw", platform::SoundResourceType::RawData, canonical);
    add("lying", platform::SoundResourceType::Wave, canonical.substr(0, 100));
    EXPECT_EQ(voSound::LoadObject("chime.wav", 2), 0);
    EXPECT_EQ(voSound::LoadObject("raw", 1), 1);
    std::uint64_t start = AudioFramesRendered();
    voSound::Play(0, 1);
    AdvanceClock(20);
    EXPECT_EQ(SampleAt(start + 100, 0), 9000);
    EXPECT_EQ(SoundingFrames(start, start + FramesIn(20), 0), 441);
    EXPECT_EQ(voSound::LoadObject("lying", 1), 0); // its header says more than it holds
    EXPECT_EQ(LastBox(), LoadError("WAVEリソースが見つかりません"));
}

TEST(ResourceNames, SoundAndBitmapResourcesMatchNamesAlike)
{
    // Single-byte letters fold; a two-byte CP932 character (here one whose second byte is 'A'
    // or 'a') is compared exactly, and a lone lead byte at the end still ends the name.
    struct Case
    {
        const char* stored;
        const char* asked;
        bool same;
    } cases[] = {
        {"Chime.WAV", "chime.wav", true},
        {"chime.wav", "chime.wa", false},
        {"\x83\x41.wav", "\x83\x41.WAV", true},
        {"\x83\x41.wav", "\x83\x61.wav", false},
        {"x\x83", "X\x83", true},
        {"[@]", "{`}", false},
    };
    int n = 0;
    for (const Case& c : cases)
    {
        std::string stored = std::to_string(n++) + c.stored;
        std::string asked = stored.substr(0, stored.size() - std::strlen(c.stored)) + c.asked;
        platform::AddSoundResource(stored.c_str(), platform::SoundResourceType::Wave, {1, 2});
        platform::AddResource(stored, "bmp");
        const std::uint8_t* bytes = nullptr;
        std::size_t size = 0;
        EXPECT_EQ(platform::FindSoundResource(asked.c_str(), platform::SoundResourceType::Wave,
                                              bytes, size),
                  c.same)
            << asked;
        EXPECT_EQ(platform::FindResource(asked.c_str(), bytes, size), c.same) << asked;
    }
}

TEST_F(SoundObjects, WaveFilesLoadWithChunksInAnyOrderAndOtherFormatsAreReadButNotLoaded)
{
    StartSound();
    std::string fmt = Chunk("fmt ", FormatData(1, 1, 22050, 16));
    std::string data = Chunk("data", Samples16(std::vector<std::int16_t>(50, 4321)));
    dir.Write("list.wav", Wave({Chunk("LIST", "INFOjunk!"), fmt, data}));
    dir.Write("late.wav", Wave({data, Chunk("junk", "odd"), fmt}));
    dir.Write("extended.wav", Wave({Chunk("fmt ", FormatData(1, 1, 22050, 16) + Le(0, 2)), data}));
    // A RIFF size past the end of the file (a pad byte counted, or a file cut after its data):
    // the chunk ends with the file.
    std::string padded = Wave({fmt, data});
    std::string cut = padded;
    padded.replace(4, 4, Le(static_cast<std::uint32_t>(padded.size() - 8 + 1), 4));
    cut.replace(4, 4, Le(0xFFFFFFF0u, 4));
    dir.Write("padded.wav", padded);
    dir.Write("cut.wav", cut);
    for (const char* name : {"list.wav", "late.wav", "extended.wav", "padded.wav", "cut.wav"})
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

    // An ADPCM record is read whole with its extra bytes; the device plays PCM only, so a
    // float file's buffer cannot be made and its entry stays free.
    std::string adpcm = FormatData(2, 1, 22050, 4) + Le(2, 2) + Le(0x1F4, 2);
    dir.Write("adpcm.wav", Wave({Chunk("fmt ", adpcm), data}));
    std::uint32_t size = 0;
    std::vector<std::uint8_t> format;
    std::vector<std::uint8_t> samples;
    ASSERT_EQ(voSound::ReadWave("adpcm.wav", size, format, samples), 0);
    EXPECT_EQ(std::string(format.begin(), format.end()), adpcm);
    EXPECT_TRUE(size == 100u && samples.size() == 100u);
    dir.Write("float.wav", Wave({Chunk("fmt ", FormatData(3, 1, 22050, 32)), data}));
    EXPECT_EQ(voSound::LoadObject("float.wav", 3), 0);
    EXPECT_EQ(LastBox(), LoadError("サウンドバッファが生成できません"));
    EXPECT_EQ(soundTable[5].inUse, 0); // the next free entry
}

TEST_F(SoundObjects, BrokenWaveFilesAreRefusedWithoutReadingPastThem)
{
    StartSound();
    std::string fmt = Chunk("fmt ", FormatData(1, 1, 22050, 16));
    std::string data = Chunk("data", Samples16({1, 2, 3, 4}));
    std::string good = Wave({fmt, data});
    auto adpcm = [](const std::string& extra)
    { return Chunk("fmt ", FormatData(2, 1, 22050, 4) + extra); };
    const std::string cases[] = {
        "",
        "RIFX" + good.substr(4),
        good.substr(0, 8) + "AVI " + good.substr(12),
        good.substr(0, good.size() - 3), // the data chunk cut, whatever the RIFF size says
        Wave({fmt, "data" + Le(9, 4) + Samples16({1, 2, 3, 4})}),
        Wave({fmt, "data" + Le(0xFFFFFFF0u, 4) + Samples16({1, 2})}),
        Wave({data}),
        Wave({fmt}),
        Wave({Chunk("fmt ", FormatData(1, 1, 22050, 16).substr(0, 14)), data}),
        Wave({adpcm(Le(0xFFFF, 2) + "ab"), data}),
        Wave({adpcm(Le(4, 2) + "ab"), data}),
        good.substr(0, 10),
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
    {
        std::string name = "bad" + std::to_string(i) + ".wav";
        dir.Write(name, cases[i]);
        std::uint32_t size = 7;
        std::vector<std::uint8_t> format(3);
        std::vector<std::uint8_t> samples(3);
        EXPECT_EQ(voSound::ReadWave(name.c_str(), size, format, samples), 1) << name;
        EXPECT_TRUE(size == 0 && format.empty() && samples.empty()) << name;
        EXPECT_EQ(voSound::LoadObject(name.c_str(), 1), 0) << name;
        EXPECT_EQ(LastBox(), LoadError("WAVEリソースが見つかりません")) << name;
    }
    EXPECT_EQ(BoxCount(), std::size(cases));

    // A data chunk larger than any buffer, backed by a sparse file, is refused unread.
    std::uint32_t huge = platform::kMaxSoundBufferBytes + 2;
    std::string header = Wave({fmt}) + "data" + Le(huge, 4);
    header.replace(4, 4, Le(static_cast<std::uint32_t>(header.size() - 8 + huge), 4));
    dir.Write("huge.wav", header);
    std::filesystem::resize_file(dir.File("huge.wav"), header.size() + huge);
    std::uint32_t size = 7;
    std::vector<std::uint8_t> format;
    std::vector<std::uint8_t> samples;
    EXPECT_EQ(voSound::ReadWave("huge.wav", size, format, samples), 1);
    EXPECT_TRUE(size == 0 && format.empty() && samples.empty());
}

TEST_F(SoundObjects, ReloadGivesBackEveryCopysSettingsOrLeavesTheEntryWithoutBuffers)
{
    StartSound();
    dir.Write("tone.wav", ConstantWave(2205, 16000)); // 0.1 s at 22050 Hz
    dir.Write("gone.wav", ConstantWave(2205, 16000));
    SoundId id = voSound::LoadObject("tone.wav", 3);
    SoundId plain = voSound::LoadObject("tone.wav", -3);
    SoundId gone = voSound::LoadObject("gone.wav", 2);
    voSound::SetVolume(id, -6, 1);
    voSound::AddFrequency(id, 50, 1); // 27050 Hz
    voSound::SetPan(id, 10, 1);
    voSound::Play(plain, voSound::COPY_ROTATE);
    voSound::Release();
    // Released, nothing sounds.
    std::uint64_t start = AudioFramesRendered();
    voSound::Play(id, 1);
    AdvanceClock(50);
    EXPECT_EQ(Peak(start, AudioFramesRendered(), 0), 0);

    std::filesystem::remove(dir.File("gone.wav"));
    voSound::Reload();
    EXPECT_EQ(LastBox(), LoadError("WAVEリソースが見つかりません"));
    EXPECT_EQ(soundTable[plain].currentCopy, 1);
    EXPECT_EQ(soundTable[plain].echoStage, 0); // rebuilt with a positive count: it can echo
    // The file that went stays in use, without buffers: it plays nothing.
    EXPECT_EQ(soundTable[gone].inUse, 1);
    EXPECT_EQ(soundTable[gone].copies[0].buffer, 0u);

    AdvanceClock(200); // past the error box's beep
    start = AudioFramesRendered();
    voSound::Play(gone, voSound::COPY_CURRENT);
    voSound::Play(id, 1);
    AdvanceClock(300);
    EXPECT_NEAR(Peak(start, start + 1000, 1), Attenuated(16000, -600), 1.0);
    EXPECT_NEAR(Peak(start, start + 1000, 0), Attenuated(16000, -1600), 1.0);
    EXPECT_NEAR(SoundingFrames(start, start + FramesIn(300), 1), 2205.0 * 44100 / 27050, 2.0);
    voSound::ReleaseObject(gone);
    EXPECT_EQ(soundTable[gone].inUse, 0);
}

TEST_F(SoundObjects, WithoutADeviceEveryCallReturnsAtOnceAndSilently)
{
    platform::headless::HeadlessConfig config;
    config.soundDevice = false;
    StartSound(config);
    EXPECT_EQ(made, 0);
    dir.Write("s.wav", ConstantWave(100, 1000));
    EXPECT_EQ(voSound::LoadObject("s.wav", 2), 0);
    EXPECT_EQ(soundTable[0].inUse, 0);
    voSound::Play(0, voSound::COPY_CURRENT);
    voSound::Reload();
    EXPECT_EQ(BoxCount(), 0u);
    std::uint32_t before = platform::NowMs();
    voSound::PlaySync("s.wav"); // the system player has no output either: back at once
    EXPECT_EQ(platform::NowMs(), before);
    voSound::Beep();
    EXPECT_EQ(platform::headless::BeepCount(), 1);
    AdvanceClock(100);
    EXPECT_TRUE(platform::headless::RenderedAudio().empty());
}

} // namespace
