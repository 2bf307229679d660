// A sound test's world: its own program folder, the headless backend and the sound device.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "sound/sound.h"
#include "system/system.h"
#include "tests/sound/sound_files.h"
#include "tests/support/headless.h"

namespace sound_test
{

using namespace sound_files;
using platform::headless::AdvanceClock;
using platform::headless::AudioFramesRendered;

class SoundTest : public ::testing::Test
{
  protected:
    // Starts headless with the program in the test's folder and makes the sound device.
    void StartSound(platform::headless::HeadlessConfig config = {})
    {
        if (config.programPath.empty())
        {
            config.programPath = dir.File("plonder");
        }
        testing_support::StartHeadless(config);
        made = voSound::Init();
    }
    // The text of the last message box, or "" when none was shown.
    static std::string LastBox()
    {
        const auto& boxes = platform::headless::MessageBoxes();
        return boxes.empty() ? std::string() : boxes.back().text;
    }
    static std::size_t BoxCount()
    {
        return platform::headless::MessageBoxes().size();
    }
    static std::string LoadError(const std::string& utf8Message)
    {
        return testing_support::Cp932("voSound::LoadObject : " + utf8Message);
    }
    static std::uint32_t Status(SoundId id, int copy)
    {
        std::uint32_t status = 0;
        platform::GetSoundBufferStatus(soundTable[id].copies[copy].buffer, status);
        return status;
    }
    // Moves the clock on by one frame of ms, as the main loop would measure it.
    static void RunFrame(std::uint32_t ms)
    {
        AdvanceClock(ms);
        frameSeconds = static_cast<float>(ms / 1000.0);
    }

    testing_support::TempDir dir;
    int made = 0;
};

// The level of a full-scale value after attenuation by hundredths of a dB.
inline double Attenuated(double level, int hundredthsDb)
{
    return level * std::pow(10.0, hundredthsDb / 2000.0);
}

} // namespace sound_test
