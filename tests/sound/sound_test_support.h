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
    std::string LastBox() const
    {
        const auto& boxes = platform::headless::MessageBoxes();
        return boxes.empty() ? std::string() : boxes.back().text;
    }
    std::size_t BoxCount() const
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
    static std::uint32_t Position(SoundId id, int copy)
    {
        std::uint32_t play = 0;
        std::uint32_t write = 0;
        platform::GetSoundBufferPosition(soundTable[id].copies[copy].buffer, play, write);
        return play;
    }
    // Moves the clock on by whole frames of ms, as the main loop would measure them.
    static void RunFrame(std::uint32_t ms)
    {
        platform::headless::AdvanceClock(ms);
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
