// Joystick reads through the SDL backend: joysticks and game controllers as SDL's virtual
// devices.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/backend.h"
#include "platform/joystick.h"
#include "platform/sdl/sdl_internal.h"

namespace
{

// A reading of position and buttons, for comparing whole: x, y, buttons, or {} when the
// position cannot be read. The buttons read must fail and succeed with the position.
struct Reading
{
    std::uint32_t x = 0, y = 0, buttons = 0;
    bool operator==(const Reading&) const = default;
};

std::optional<Reading> Read(int joystick)
{
    Reading r;
    bool position = platform::ReadJoystickPosition(joystick, r.x, r.y);
    bool buttons = platform::ReadJoystickButtons(joystick, r.buttons);
    EXPECT_EQ(position, buttons) << joystick;
    if (!position)
    {
        EXPECT_EQ(r, Reading{}) << "a failed read leaves " << joystick << " at 0";
        return std::nullopt;
    }
    return r;
}

// The buttons of a reading, or 99 when it fails.
std::uint32_t Buttons(int joystick)
{
    std::optional<Reading> r = Read(joystick);
    return r ? r->buttons : 99;
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
    EXPECT_FALSE(Read(0) || Read(1));
    int pad = platform::sdl::AttachVirtualJoystick(true);
    ASSERT_GE(pad, 0);
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(pad, 32767, -32768, 0, 0));
    EXPECT_EQ(Read(0), (Reading{65535, 0, 0}));
    EXPECT_FALSE(Read(1));

    // Inside the dead zone reads as the centre; just outside it does not.
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(pad, 5000, -7000, 0, 0));
    EXPECT_EQ(Read(0), (Reading{platform::kJoystickCentre, platform::kJoystickCentre, 0}));
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(pad, -9000, 20000, 0, 0));
    EXPECT_EQ(Read(0), (Reading{32768 - 9000, 32768 + 20000, 0}));

    // A, B, X, Y are buttons 1 to 4; the D-pad pushes the stick all the way.
    constexpr std::uint32_t kA = 1u << 0, kB = 1u << 1, kX = 1u << 2, kY = 1u << 3;
    constexpr std::uint32_t kPadUp = 1u << 11, kPadLeft = 1u << 13;
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(pad, 0, 0, kA | kY | kPadUp | kPadLeft, 0));
    EXPECT_EQ(Read(0), (Reading{0, 0, 0b1001}));
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(pad, 0, 0, kB | kX, 0));
    EXPECT_EQ(Buttons(0), 0b0110u);
    EXPECT_TRUE(platform::sdl::DetachVirtualJoystick(pad));
    EXPECT_FALSE(Read(0));
}

TEST_F(SdlJoystick, PlainJoysticksPluggedInAndOutKeepTheirNumbers)
{
    int first = platform::sdl::AttachVirtualJoystick(false);
    int second = platform::sdl::AttachVirtualJoystick(true);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(first, -32768, 32767, 0b0101, 0));
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(second, 0, 0, 2, 0));
    EXPECT_EQ(Read(0), (Reading{0, 65535, 0b0101}));
    EXPECT_EQ(Buttons(1), 2u);
    constexpr int kHatRightDown = 2 | 4;
    ASSERT_TRUE(platform::sdl::SetVirtualJoystick(first, 0, 0, 0, kHatRightDown));
    EXPECT_EQ(Read(0), (Reading{65535, 65535, 0}));

    // The first goes away: joystick 1 stays where it was and joystick 0 fails.
    ASSERT_TRUE(platform::sdl::DetachVirtualJoystick(first));
    EXPECT_FALSE(Read(0));
    EXPECT_EQ(Buttons(1), 2u);
}

} // namespace
