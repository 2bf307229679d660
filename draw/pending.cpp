// Drawing operations the shell calls before the drawing side exists: they do nothing yet.
#include "draw/draw.h"

int screenWidth = 0, screenHeight = 0;
Rect clipRect = {0, 0, 0, 0};
int transitionDirection = 0;
int transitionStep = 0;
int wipeState = 0;
int overlayShown = 0;
int overlayKey = 0;

namespace voDraw
{
int Screen(int width, int height, int)
{
    screenWidth = width;
    screenHeight = height;
    return 1;
}
void Release()
{
}
int Clear()
{
    return 0;
}
int Present()
{
    return 0;
}
ObjectId LoadObject(const char*, int)
{
    return 0;
}
int Put(int, int, ObjectId, int, int, int, int)
{
    return 0;
}
int Put(double, double, ObjectId, int, int, int, int)
{
    return 0;
}
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
