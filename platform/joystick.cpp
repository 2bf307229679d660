// The portable side of joystick reads: the number check and the failure values. The devices
// themselves are the backend's (platform/sdl/sdl_joystick.cpp, headless_joystick.cpp).
#include "platform/joystick.h"

#include "platform/backend.h"

namespace platform
{

bool ReadJoystickPosition(int joystick, std::uint32_t& x, std::uint32_t& y)
{
    x = 0;
    y = 0;
    if (joystick < 0 || joystick >= kJoystickCount)
    {
        return false;
    }
    std::uint32_t readX = 0;
    std::uint32_t readY = 0;
    if (!ActiveBackend().joystick->ReadPosition(joystick, readX, readY))
    {
        return false;
    }
    // The driver's range is 16 bits; nothing larger ever reaches the system.
    x = readX > kJoystickMax ? kJoystickMax : readX;
    y = readY > kJoystickMax ? kJoystickMax : readY;
    return true;
}

bool ReadJoystickButtons(int joystick, std::uint32_t& buttons)
{
    buttons = 0;
    if (joystick < 0 || joystick >= kJoystickCount)
    {
        return false;
    }
    std::uint32_t read = 0;
    if (!ActiveBackend().joystick->ReadButtons(joystick, read))
    {
        return false;
    }
    buttons = read;
    return true;
}

void RereadJoystickConfig()
{
    ActiveBackend().joystick->ConfigChanged();
}

} // namespace platform
