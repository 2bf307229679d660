// Sound playback heard through the headless output: the rotation of copies, clamped settings,
// the echo and its sweep, pause and resume, looping, stopping, guards, and the system player.
#include <climits>

#include "tests/sound/sound_test_support.h"

namespace
{

using namespace sound_test;

class SoundPlayback : public SoundTest
{
  protected:
    // A 22050 Hz mono sound of frames frames of one value.
    SoundId LoadConstant(int mixCount, int frames = 22050, std::int16_t value = 16000)
    {
        dir.Write("constant.wav", ConstantWave(frames, value));
        return voSound::LoadObject("constant.wav", mixCount);
    }
};

TEST_F(SoundPlayback, TheRotationPlaysTheCopiesInTurnFromTheirStart)
{
    StartSound();
    dir.Write("ramp.wav", RampWave(30000));
    SoundId id = voSound::LoadObject("ramp.wav", 3);
    for (int i = 0; i < 3; ++i)
    {
        voSound::Play(id, voSound::COPY_ALL);
        AdvanceClock(10);
        EXPECT_EQ(Status(id, i), platform::kSoundStatusPlaying) << i;
    }
    // Copy 0 starts again from its start while copies 1 and 2 play on.
    voSound::Stop(id, 1);
    voSound::Stop(id, 2);
    voSound::Play(id, voSound::COPY_ALL);
    EXPECT_EQ(SampleAt(Render(10) + 7, 0), 7);
    // A numbered copy leaves the rotation where it was; COPY_CURRENT settings reach the copy
    // the rotation starts next.
    voSound::Stop(id, voSound::COPY_ALL);
    voSound::Play(id, 2);
    voSound::SetVolume(id, -100, voSound::COPY_CURRENT);
    EXPECT_EQ(Status(id, 2), platform::kSoundStatusPlaying);
    voSound::Stop(id, 2);
    voSound::PlayLoop(id, voSound::COPY_ROTATE);
    EXPECT_EQ(Status(id, 1), platform::kSoundStatusPlaying | platform::kSoundStatusLooping);
    EXPECT_EQ(Peak(Render(10), AudioFramesRendered(), 0), 0);
}

TEST_F(SoundPlayback, SettingsAreClampedAtEveryLimitAndHeardAsStored)
{
    StartSound();
    SoundId id = LoadConstant(2, 441); // 20 ms
    const SoundCopy& copy = soundTable[id].copies[0];
    using namespace voSound;
    struct Step
    {
        void (*op)(SoundId, int, int);
        int value;
        std::int64_t hz, volume, pan; // what copy 0 holds after it
    };
    for (Step s :
         {Step{AddFrequency, -300, 100, 0, 0}, Step{AddFrequency, INT_MAX, 100000, 0, 0},
          Step{AddFrequency, INT_MIN, 100, 0, 0}, Step{SetFrequencyOffset, 10, 23050, 0, 0},
          Step{SetFrequencyOffset, -221, 100, 0, 0}, Step{SetVolume, INT_MIN, 100, -10000, 0},
          Step{AddVolume, INT_MAX, 100, 0, 0}, Step{AddVolume, -60, 100, -6000, 0},
          Step{AddVolume, -60, 100, -10000, 0}, Step{SetVolume, 5, 100, 0, 0},
          Step{SetPan, 200, 100, 0, 10000}, Step{SetPan, -3, 100, 0, -300},
          Step{AddPan, INT_MIN, 100, 0, -10000}, Step{AddPan, INT_MAX, 100, 0, 10000}})
    {
        s.op(id, s.value, 0);
        EXPECT_EQ(std::vector<std::int64_t>({copy.frequency, copy.volume, copy.pan}),
                  std::vector<std::int64_t>({s.hz, s.volume, s.pan}))
            << s.value;
    }
    ResetFrequency(id, 0);
    EXPECT_EQ(copy.frequency, 22050u);
    PanLeft(id, COPY_ALL);
    EXPECT_EQ(soundTable[id].copies[1].pan, -10000);

    voSound::SetVolume(id, -12, 0);
    voSound::AddFrequency(id, -110, 0); // 11050 Hz: 40 ms
    voSound::Play(id, 0);
    std::uint64_t start = Render(60);
    EXPECT_EQ(Peak(start, start + FramesIn(60), 1), 0);
    EXPECT_NEAR(Peak(start, start + FramesIn(60), 0), Attenuated(16000, -1200), 1.0);
    EXPECT_NEAR(SoundingFrames(start, start + FramesIn(60), 0), 441.0 * 44100 / 11050, 2.0);
}

TEST_F(SoundPlayback, EchoRepeatsQuieterOnTheNextCopiesAtTheInterval)
{
    StartSound();
    SoundId id = LoadConstant(4, 441); // 20 ms
    SoundId cannot = LoadConstant(-4, 441);
    voSound::SetVolume(id, -30, voSound::COPY_ALL);
    voSound::SetVolume(cannot, -100, voSound::COPY_ALL);
    std::uint64_t start = AudioFramesRendered();
    voSound::Play(id, voSound::COPY_CURRENT);
    voSound::Play(cannot, voSound::COPY_CURRENT); // no echo start, no reset: not heard
    std::vector<int> stages;
    for (int call = 1; call <= 16; ++call)
    {
        RunFrame(50);
        voSound::Echo(id, 200, 3, 6);
        voSound::Echo(cannot, 0, 3, 6);
        stages.push_back(soundTable[id].echoStage);
    }
    EXPECT_EQ(stages, (std::vector<int>{1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 0, 0, 0, 0, 0}));
    struct Repeat
    {
        std::uint64_t ms;
        int hundredthsDb;
    };
    for (Repeat r : {Repeat{0, 0}, Repeat{200, -600}, Repeat{400, -1200}, Repeat{600, -1800}})
    {
        std::uint64_t at = start + FramesIn(r.ms);
        EXPECT_EQ(SampleAt(at - 1, 0), 0) << r.ms;
        EXPECT_NEAR(SampleAt(at + 100, 0), Attenuated(16000, r.hundredthsDb), 1.0) << r.ms;
        EXPECT_EQ(SoundingFrames(at, at + FramesIn(100), 0), 882) << r.ms;
    }
    EXPECT_EQ(Peak(start + FramesIn(700), AudioFramesRendered(), 0), 0);
    EXPECT_EQ(soundTable[cannot].currentCopy, 1);
}

TEST_F(SoundPlayback, EchoSweepMovesThePanBetweenItsLimits)
{
    StartSound();
    SoundId id = LoadConstant(4, 441);
    SeedRandom(1); // the first draw is odd: the sweep starts to the right
    voSound::Play(id, voSound::COPY_CURRENT);
    std::vector<int> pans;
    std::uint64_t firstRepeat = AudioFramesRendered() + FramesIn(50);
    for (int call = 0; call < 5; ++call)
    {
        RunFrame(50);
        int copy = soundTable[id].currentCopy;
        voSound::EchoSweep(id, 0, 5, 1, 2); // 10 dB a repeat at 50 ms frames
        pans.push_back(soundTable[id].copies[copy].pan);
    }
    EXPECT_EQ(pans, (std::vector<int>{1000, 2000, 3000, 3000, 2000}));
    EXPECT_NEAR(SampleAt(firstRepeat + 10, 0), Attenuated(16000, -100 - 1000), 1.0);
    EXPECT_NEAR(SampleAt(firstRepeat + 10, 1), Attenuated(16000, -100), 1.0);
}

TEST_F(SoundPlayback, PauseResumesWhereItStoppedLoopsWrapAndStopRewinds)
{
    StartSound();
    dir.Write("ramp.wav", RampWave(30000));
    SoundId id = voSound::LoadObject("ramp.wav", 2);
    voSound::Play(id, 0);
    AdvanceClock(100);
    voSound::Pause(id, voSound::COPY_ALL); // copy 0 pauses, copy 1 starts from 0
    std::uint64_t start = Render(50);
    EXPECT_EQ(SampleAt(start + 7, 0), 7);
    voSound::Pause(id, voSound::COPY_ALL); // copy 0 resumes, copy 1 pauses
    start = Render(10);
    EXPECT_EQ(SampleAt(start, 0), static_cast<std::int16_t>(FramesIn(100)));
    EXPECT_EQ(SampleAt(start + 20, 0), static_cast<std::int16_t>(FramesIn(100) + 20));
    voSound::Pause(id, 0);
    voSound::Pause(id, 1); // copy 1 resumes where it paused, 50 ms in
    EXPECT_EQ(SampleAt(Render(10), 0), static_cast<std::int16_t>(FramesIn(50)));

    // A looping copy paused and resumed goes on at the start past the end; a stop rewinds.
    voSound::Stop(id, voSound::COPY_ALL);
    SoundId loop = voSound::LoadObject("ramp.wav", 1);
    voSound::PlayLoop(loop, 0);
    voSound::Pause(loop, 0);
    voSound::Pause(loop, 0);
    EXPECT_EQ(SampleAt(Render(700) + 30000 + 7, 0), 7);
    voSound::Stop(loop, 0);
    EXPECT_EQ(Peak(Render(20), AudioFramesRendered(), 0), 0);
    voSound::Play(loop, 0);
    EXPECT_EQ(SampleAt(Render(10) + 7, 0), 7);
}

TEST_F(SoundPlayback, IdsAndCopiesOutOfRangeReachNoBuffer)
{
    StartSound();
    SoundId id = LoadConstant(3);
    std::uint64_t start = AudioFramesRendered();
    for (SoundId bad : {-1, 1, 70, INT_MIN})
    {
        voSound::Play(bad, voSound::COPY_ALL);
        voSound::SetVolume(bad, -10, voSound::COPY_ALL);
        voSound::Echo(bad, 0, 3, 6);
    }
    for (int copy : {3, INT_MAX})
    {
        voSound::Play(id, copy);
        voSound::SetPan(id, 10, copy);
    }
    AdvanceClock(20);
    EXPECT_EQ(Peak(start, AudioFramesRendered(), 0), 0);
    EXPECT_EQ(soundTable[id].copies[2].pan + soundTable[1].copies[0].volume, 0);
}

TEST_F(SoundPlayback, PlaySyncWaitsForTheSoundAndRebuildsEveryObject)
{
    StartSound();
    SoundId id = LoadConstant(3);
    voSound::SetVolume(id, -6, 2);
    voSound::Play(id, voSound::COPY_CURRENT);
    dir.Write("ding.wav", ConstantWave(4410, 5000)); // 0.2 s, found in the current folder
    std::uint64_t start = AudioFramesRendered();
    voSound::PlaySync("ding.wav");
    // Only the system player was heard: the object stopped with the device.
    EXPECT_EQ(SoundingFrames(start, AudioFramesRendered(), 0), 8820);
    EXPECT_EQ(Peak(start, AudioFramesRendered(), 0), 5000);
    EXPECT_NE(soundTable[id].copies[2].buffer, 0u);
    EXPECT_EQ(soundTable[id].copies[2].volume, 0); // the echo start reset it
    EXPECT_EQ(soundTable[id].currentCopy, 1);
}

} // namespace
