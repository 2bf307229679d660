// Drawing operations the shell calls before the drawing side exists: they do nothing yet.
#include "draw/draw.h"

int wipeState = 0;

namespace voDraw
{
void InitText()
{
}
void ReleaseText()
{
}
} // namespace voDraw

void CancelWipe()
{
    wipeState = 0;
}
