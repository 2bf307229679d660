// Headless joysticks: positions and buttons set by tests and the input script. Both
// joysticks are absent until something plugs them in.
//   [X] position, buttons, plug and unplug at any frame
//   [ ] dead zone: positions are reported exactly as set, as the driver reported them
#include <memory>

#include "platform/backend.h"
#include "platform/headless/control.h"
#include "platform/headless/headless_internal.h"
#include "platform/joystick.h"

namespace platform::headless
{
namespace
{

struct Stick
{
    bool plugged = false;       // a device answers for this number
    std::uint32_t x = 0, y = 0; // position, 0..65535
    std::uint32_t buttons = 0;  // bit n - 1 for button n
};

struct JoystickState
{
    Stick sticks[kJoystickCount]; // joysticks 0 and 1
};

JoystickState joysticks;

bool Valid(int index)
{
    return index >= 0 && index < kJoystickCount;
}

class HeadlessJoystick final : public platform::Joystick
{
public:
    bool ReadPosition(int joystick, std::uint32_t& x, std::uint32_t& y) override
    {
        if (!Valid(joystick) || !joysticks.sticks[joystick].plugged)
        {
            return false;
        }
        x = joysticks.sticks[joystick].x;
        y = joysticks.sticks[joystick].y;
        return true;
    }
    bool ReadButtons(int joystick, std::uint32_t& buttons) override
    {
        if (!Valid(joystick) || !joysticks.sticks[joystick].plugged)
        {
            return false;
        }
        buttons = joysticks.sticks[joystick].buttons;
        return true;
    }
    void ConfigChanged() override
    {
    }
};

} // namespace

std::unique_ptr<platform::Joystick> MakeJoystick()
{
    return std::make_unique<HeadlessJoystick>();
}

void SetJoystick(int index, std::uint32_t x, std::uint32_t y, std::uint32_t buttons)
{
    if (!Valid(index))
    {
        return;
    }
    joysticks.sticks[index] = Stick{true, x, y, buttons};
}

void PlugJoystick(int index)
{
    SetJoystick(index, kJoystickCentre, kJoystickCentre, 0);
}

void UnplugJoystick(int index)
{
    if (Valid(index))
    {
        joysticks.sticks[index] = Stick{};
    }
}

} // namespace platform::headless
