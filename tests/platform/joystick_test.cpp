// Joystick reads: the headless joysticks and their script commands, and the SDL backend's
// joysticks and game controllers through SDL's virtual devices.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/backend.h"
#include "platform/joystick.h"
#include "platform/sdl/sdl_internal.h"
#include "tests/support/headless.h"

namespace
{

struct Reading
{
    bool position = false;
    bool buttonsRead = false;
    std::uint32_t x = 0, y = 0, buttons = 0;
};

Reading Read(int joystick)
{
    Reading r;
    r.position = platform::ReadJoystickPosition(joystick, r.x, r.y);
    r.buttonsRead = platform::ReadJoystickButtons(joystick, r.buttons);
    return r;
}

// Takes the waiting messages, which delivers the script's actions for the next frame.
void NextFrame()
{
    platform::Message message;
    while (platform::PeekMessage(message))
    {
    }
}

TEST(HeadlessJoystick, AbsentUntilPluggedAndAbsentAgainWhenUnplugged)
{
    testing_support::StartHeadless();
    for (int joystick : {0, 1})
    {
        Reading r = Read(joystick);
        EXPECT_FALSE(r.position);
        EXPECT_FALSE(r.buttonsRead);
    }
    platform::headless::PlugJoystick(1);
    Reading plugged = Read(1);
    EXPECT_TRUE(plugged.position);
    EXPECT_EQ(plugged.x, platform::kJoystickCentre);
    EXPECT_EQ(plugged.y, platform::kJoystickCentre);
    EXPECT_EQ(plugged.buttons, 0u);
    EXPECT_FALSE(Read(0).position);

    platform::headless::SetJoystick(1, 0, 65535, 9);
    Reading set = Read(1);
    EXPECT_EQ(set.x, 0u);
    EXPECT_EQ(set.y, 65535u);
    EXPECT_EQ(set.buttons, 9u);

    platform::headless::UnplugJoystick(1);
    Reading gone = Read(1);
    EXPECT_FALSE(gone.position);
    EXPECT_FALSE(gone.buttonsRead);
    EXPECT_EQ(gone.x, 0u);
    EXPECT_EQ(gone.y, 0u);
    EXPECT_EQ(gone.buttons, 0u);
}

TEST(HeadlessJoystick, NumbersOtherThanZeroAndOneNeverRead)
{
    testing_support::StartHeadless();
    platform::headless::SetJoystick(2, 1, 2, 3);
    platform::headless::SetJoystick(-1, 1, 2, 3);
    for (int joystick : {-1, 2, 100})
    {
        EXPECT_FALSE(Read(joystick).position);
        EXPECT_FALSE(Read(joystick).buttonsRead);
    }
}

TEST(HeadlessJoystick, ScriptCommandsActOnTheirFrame)
{
    std::string error;
    ASSERT_TRUE(platform::headless::LoadScript("1 joy 0 100 200 5\n"
                                               "2 plug 1\n"
                                               "3 unplug 0\n",
                                               error))
        << error;
    testing_support::StartHeadless();
    EXPECT_FALSE(Read(0).position);
    NextFrame(); // frame 1
    Reading joy = Read(0);
    EXPECT_TRUE(joy.position);
    EXPECT_EQ(joy.x, 100u);
    EXPECT_EQ(joy.y, 200u);
    EXPECT_EQ(joy.buttons, 5u);
    EXPECT_FALSE(Read(1).position);
    NextFrame(); // frame 2
    EXPECT_TRUE(Read(1).position);
    NextFrame(); // frame 3
    EXPECT_FALSE(Read(0).position);
    EXPECT_TRUE(Read(1).position);
}

TEST(HeadlessJoystick, MalformedScriptLinesAreRefusedWithTheirLine)
{
    const char* bad[] = {
        "1 joy 2 0 0 0", "1 joy 0 0 0",       "1 joy 0 -1 0 0", "1 joy 0 0 65536 0",
        "1 joy 0 0 0 x", "1 plug",            "1 unplug 3",     "1 joy 0 0 0 0 extra",
    };
    for (const char* line : bad)
    {
        std::string error;
        EXPECT_FALSE(platform::headless::LoadScript(std::string("# joystick\n") + line, error))
            << line;
        EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << line << ": " << error;
    }
}

// ---- SDL ------------------------------------------------------------------------------------

class SdlJoystick : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // SDL's dummy video driver needs no display, and virtual joysticks no hardware.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        platform::Options options;
        options.backend = "sdl";
        std::string error;
        ASSERT_TRUE(platform::Start(options, error)) << error;
    }
    void TearDown() override
    {
        platform::Shutdown();
    }
};

TEST_F(SdlJoystick, GameControllerLeftStickDeadZoneAndFaceButtons)
{
    // Without any device, both joysticks fail.
    EXPECT_FALSE(Read(0).position);
    EXPECT_FALSE(Read(1).buttonsRead);

    int pad = platform::sdl::AttachVirtualJoystick(true);
    ASSERT_GE(pad, 0);
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(pad, 32767, -32768, 0, 0));
    Reading pushed = Read(0);
    EXPECT_TRUE(pushed.position);
    EXPECT_EQ(pushed.x, 65535u);
    EXPECT_EQ(pushed.y, 0u);
    EXPECT_FALSE(Read(1).position);

    // Inside the dead zone reads as the centre; just outside it does not.
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(pad, 5000, -7000, 0, 0));
    Reading rest = Read(0);
    EXPECT_EQ(rest.x, platform::kJoystickCentre);
    EXPECT_EQ(rest.y, platform::kJoystickCentre);
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(pad, -9000, 20000, 0, 0));
    Reading off = Read(0);
    EXPECT_EQ(off.x, 32768u - 9000u);
    EXPECT_EQ(off.y, 32768u + 20000u);

    // A, B, X, Y are buttons 1 to 4; the D-pad pushes the stick all the way.
    constexpr std::uint32_t kA = 1u << 0, kB = 1u << 1, kX = 1u << 2, kY = 1u << 3;
    constexpr std::uint32_t kPadUp = 1u << 11, kPadLeft = 1u << 13;
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(pad, 0, 0, kA | kY | kPadUp | kPadLeft, 0));
    Reading buttons = Read(0);
    EXPECT_EQ(buttons.buttons, 0b1001u);
    EXPECT_EQ(buttons.x, 0u);
    EXPECT_EQ(buttons.y, 0u);
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(pad, 0, 0, kB | kX, 0));
    EXPECT_EQ(Read(0).buttons, 0b0110u);

    EXPECT_TRUE(platform::sdl::DetachVirtualJoystick(pad));
    EXPECT_FALSE(Read(0).position);
    EXPECT_FALSE(Read(0).buttonsRead);
}

TEST_F(SdlJoystick, PlainJoystickAxesHatAndButtons)
{
    int stick = platform::sdl::AttachVirtualJoystick(false);
    ASSERT_GE(stick, 0);
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(stick, -32768, 32767, 0b0101, 0));
    Reading r = Read(0);
    EXPECT_TRUE(r.position);
    EXPECT_EQ(r.x, 0u);
    EXPECT_EQ(r.y, 65535u);
    EXPECT_EQ(r.buttons, 0b0101u);
    constexpr int kHatRightDown = 2 | 4;
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(stick, 0, 0, 0, kHatRightDown));
    Reading hat = Read(0);
    EXPECT_EQ(hat.x, 65535u);
    EXPECT_EQ(hat.y, 65535u);
    EXPECT_EQ(hat.buttons, 0u);
}

TEST_F(SdlJoystick, DevicesPluggedInAndOutKeepTheirNumbers)
{
    int first = platform::sdl::AttachVirtualJoystick(false);
    int second = platform::sdl::AttachVirtualJoystick(true);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(first, 0, 0, 1, 0));
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(second, 0, 0, 2, 0));
    EXPECT_EQ(Read(0).buttons, 1u);
    EXPECT_EQ(Read(1).buttons, 2u);

    // The first goes away: joystick 1 stays where it was, joystick 0 fails.
    ASSERT_TRUE(platform::sdl::DetachVirtualJoystick(first));
    EXPECT_FALSE(Read(0).position);
    EXPECT_EQ(Read(1).buttons, 2u);

    // A new device takes the free number.
    int third = platform::sdl::AttachVirtualJoystick(false);
    ASSERT_GE(third, 0);
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(third, 0, 0, 8, 0));
    EXPECT_EQ(Read(0).buttons, 8u);
    EXPECT_EQ(Read(1).buttons, 2u);

    // Rereading the configuration changes nothing that works.
    platform::RereadJoystickConfig();
    EXPECT_EQ(Read(0).buttons, 8u);
    EXPECT_EQ(Read(1).buttons, 2u);
}

} // namespace
