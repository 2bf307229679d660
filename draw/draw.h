// voDraw: the screen, drawing objects, puts and fills, present and transitions, wipes, text
// and shapes.
#pragma once

#include <cstdint>

// A rectangle in pixels; right and bottom are exclusive.
struct Rect
{
    std::int32_t left, top, right, bottom;
};

extern int screenWidth, screenHeight; // the screen's size in pixels
extern Rect clipRect;                 // every put and blitter clips against it

namespace voDraw
{
// Brings up the screen, the objects and the tables, then the other services.
int Screen(int width, int height, int memoryMode);
// Releases every drawing object and the display objects.
void Release();
// Clears the back buffer to black.
int Clear();
// Shows the back buffer in the window, after the transition step and the overlay.
int Present();
// Allocates and frees the font description block.
void InitText();
void ReleaseText();
} // namespace voDraw

// Transition direction: +1 while an outgoing transition runs, -1 incoming, 0 none.
extern int transitionDirection;

// Help overlay: shown flag, and the key pressed while it shows (0 once released).
extern int overlayShown;
extern int overlayKey;

// Wipe state: 0 idle, 1 opening, 2 closing, -1 closed.
extern int wipeState;

// Puts back the clip rectangle a running wipe saved and stops it.
void CancelWipe();
