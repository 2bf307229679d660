// The device context: the stand-in for the GDI context a DirectDraw surface lends
// (IDirectDrawSurface::GetDC). It draws straight into a surface's 16-bit pixels.
#pragma once

#include "platform/pixels.h"

namespace platform
{

// A context taken on a surface's pixels; only the functions below look inside.
struct DeviceContext;

// Stands in for IDirectDrawSurface::GetDC(): a context drawing into pixels on behalf of
// owner (the surface). Returns null when owner already has a context out, when owner is null
// or when pixels has no memory or no size.
DeviceContext* TakeDc(const void* owner, const PixelBuffer& pixels);

// Stands in for IDirectDrawSurface::ReleaseDC(): gives the context back. Null is ignored.
void ReleaseDc(DeviceContext* dc);

// True while owner has a context out.
bool HasDc(const void* owner);

// Stands in for SetPixel(): stores the colour as the 16-bit pixel can hold it. Returns the
// colour now at that point, or kInvalidColor outside the pixels (nothing is drawn then).
ColorRef SetPixel(DeviceContext* dc, int x, int y, ColorRef color);

// Stands in for GetPixel(): the colour at the point; kInvalidColor outside the pixels.
ColorRef GetPixel(DeviceContext* dc, int x, int y);

// Stands in for InvertRect(): inverts every colour bit of the pixels in the rectangle
// (right and bottom exclusive), cut to the pixels.
void InvertRect(DeviceContext* dc, int left, int top, int right, int bottom);

} // namespace platform
