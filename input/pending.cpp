// Input operations the shell calls before the input side exists: they do nothing yet.
#include "input/input.h"

void InitJoystick()
{
}
