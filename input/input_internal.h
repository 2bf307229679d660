// What the input files share.
#pragma once

#include "draw/draw.h"
#include "system/system.h"

// Key and joystick states read as released while raw-key mode is on, a transition runs or
// the help overlay shows, so the game never sees input meant for something else.
inline bool InputHeldBack()
{
    return rawKeyMode != 0 || DrawingHoldsInput();
}
