// The SDL sound output on a machine with and without a sound device: what the terminal shows.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/sound.h"
#include "tests/support/headless.h"

namespace
{

// What the code between Start and Stop writes on stderr.
class StderrCapture
{
  public:
    explicit StderrCapture(const std::string& path) : path(path)
    {
        std::fflush(stderr);
        saved = dup(2);
        std::FILE* file = std::fopen(path.c_str(), "w");
        dup2(fileno(file), 2);
        std::fclose(file);
    }
    std::string Stop()
    {
        std::fflush(stderr);
        dup2(saved, 2);
        close(saved);
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

  private:
    std::string path;
    int saved = -1;
};

} // namespace

TEST(SdlAudio, NoDeviceSaysSoInOneLineOnceAndADeviceSaysNothing)
{
    testing_support::TempDir dir;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    // ALSA with no configuration to read finds no "default" device and, left to itself,
    // prints its errors, as on a machine without a sound card.
    struct Case
    {
        const char* driver;
        platform::SoundResult result;
        const char* line;
    } cases[] = {
        {"dummy", platform::SoundResult::Ok, ""},
        {"alsa", platform::SoundResult::NoDevice,
         ": no sound device can be opened; music and sounds are off\n"},
        {"no-such-driver", platform::SoundResult::NoDevice, ""}, // said once already
    };
    setenv("ALSA_CONFIG_PATH", dir.File("missing.conf").c_str(), 1);
    for (const Case& c : cases)
    {
        setenv("SDL_AUDIODRIVER", c.driver, 1);
        platform::Options options;
        std::string error;
        StderrCapture capture(dir.File("stderr.txt"));
        ASSERT_TRUE(platform::Start(options, error)) << error;
        EXPECT_EQ(platform::CreateSoundDevice(), c.result) << c.driver;
        EXPECT_EQ(platform::CreateSoundDevice(), c.result) << c.driver;
        platform::Shutdown();
        std::string said = capture.Stop();
        if (c.line[0] == '\0')
        {
            EXPECT_EQ(said, "") << c.driver;
        }
        else
        {
            EXPECT_EQ(said, "test_platform" + std::string(c.line)) << c.driver;
        }
    }
}
