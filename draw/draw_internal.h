// What the drawing core's files share: the screen's display objects, object look-up, the
// colour-key helpers and the resets that the screen set-up runs.
#pragma once

#include <climits>
#include <cmath>
#include <cstdint>

#include "draw/draw.h"
#include "platform/surface.h"

// Truncation toward zero, with values past the int range held at its ends (and NaN at 0)
// instead of the undefined conversion.
inline int TruncateToInt(double value)
{
    if (std::isnan(value))
    {
        return 0;
    }
    if (value >= static_cast<double>(INT_MAX))
    {
        return INT_MAX;
    }
    if (value <= static_cast<double>(INT_MIN))
    {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// A wide sum held within the int range, so put arithmetic never overflows.
inline int ClampToInt(std::int64_t value)
{
    return static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
}

// The primary surface (the window's picture); null while there is no screen (screen.cpp).
platform::Surface* PrimarySurface();

// The object's surface, or null for an id outside 0..1023 or a slot without one.
platform::Surface* ObjectSurface(ObjectId id);

// Surface memory for an object's memory mode: 2 lets the display choose.
platform::SurfaceMemory ObjectMemory(int memoryMode);

// The native pixel the surface stores for a GDI colour, or with 0xFFFFFFFF the surface's
// top-left pixel (objects.cpp). 0xFFFFFFFF when the surface cannot be read.
std::uint32_t MatchColor(platform::Surface* surface, std::uint32_t rgb);

// Keys the surface on MatchColor(surface, rgb).
DrawResult SetSurfaceKey(platform::Surface* surface, std::uint32_t rgb);

// Empties slots 2..1023 without releasing anything (the screen set-up's fresh table).
void ResetObjectTable();

// Releases every slot that holds a surface and empties it.
void ReleaseAllObjects();

// Forgets the overlay's page and tile objects (present.cpp).
void ResetOverlayObjects();

// The put family's shared work (puts.cpp): the object's rectangle onto destination at
// (x, y), clipped to clipRect, keyed or not; a lost surface brings RestoreObjects.
DrawResult ClippedPut(platform::Surface* destination, int x, int y, ObjectId id, int left, int top,
                      int right, int bottom, bool keyed);
