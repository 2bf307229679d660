// Joystick reads for joysticks 0 and 1, as the multimedia joystick driver gave them: positions
// 0 to 65535 (0 at the left and the top) with the dead zone reported as the centre, button
// bits, and a failure when the joystick is absent or unplugged.
#pragma once

#include <cstdint>

namespace platform
{

// Joystick numbers the platform serves: 0 and 1.
constexpr int kJoystickCount = 2;

// Position at rest, and the full range of each axis.
constexpr std::uint32_t kJoystickCentre = 32767;
constexpr std::uint32_t kJoystickMax = 65535;

// Stands in for joyGetPosEx() with JOY_RETURNX | JOY_RETURNY | JOY_USEDEADZONE. False when
// the joystick cannot be read (out-of-range number, absent, unplugged); x and y are then 0.
bool ReadJoystickPosition(int joystick, std::uint32_t& x, std::uint32_t& y);

// Stands in for joyGetPosEx() with JOY_RETURNBUTTONS: bit n - 1 is set while button n is
// down. False when the joystick cannot be read; buttons is then 0.
bool ReadJoystickButtons(int joystick, std::uint32_t& buttons);

// Stands in for joyConfigChanged(0): asks the device layer to look at its devices again.
void RereadJoystickConfig();

} // namespace platform
