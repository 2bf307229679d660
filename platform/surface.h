// Surfaces: the stand-in for DirectDraw's off-screen surfaces. 16-bit pixel memory with a byte
// pitch, locks, a source colour key, colour fills, fast and stretched blits, and the lost and
// restored states. The display that makes the primary surface is in platform/display.h.
#pragma once

#include <cstdint>

#include "platform/dc.h"
#include "platform/pixels.h"

namespace platform
{

struct Surface;

// What a surface call answers; the system looks at these and nothing finer.
enum class SurfaceResult
{
    Ok,
    SurfaceLost,   // DDERR_SURFACELOST: restore the surface, then draw again
    SurfaceBusy,   // DDERR_SURFACEBUSY: locked, or lending a device context
    InvalidRect,   // DDERR_INVALIDRECT: a rectangle is empty or does not fit its surface
    InvalidParams, // DDERR_INVALIDPARAMS: no surface, or a size that cannot be
    NoColorKey,    // DDERR_NOCOLORKEY: the surface has no source key
    NotLocked,     // DDERR_NOTLOCKED: unlock without a lock
    OutOfMemory,   // DDERR_OUTOFMEMORY: the display holds no more surfaces
};

// Where a surface's memory lies. Both behave alike here; the request is recorded.
enum class SurfaceMemory
{
    Display, // the display chooses, video memory first
    System,  // DDSCAPS_SYSTEMMEMORY
};

// A rectangle on a surface; right and bottom are exclusive.
struct SurfaceRect
{
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Stands in for IDirectDraw::CreateSurface (off-screen plain) on the open display. Returns
// null, with the reason in result when given, when no display is open, the size is not
// positive or too large, or the display holds no more surfaces.
Surface* CreateSurface(int width, int height, SurfaceMemory memory,
                       SurfaceResult* result = nullptr);

// Stands in for IDirectDrawSurface::Release. Null is ignored.
void ReleaseSurface(Surface* surface);

// Stands in for IDirectDrawSurface::Lock on the whole surface: the pixels stay valid until
// UnlockSurface. One lock at a time.
SurfaceResult LockSurface(Surface* surface, PixelBuffer& pixels);
SurfaceResult UnlockSurface(Surface* surface);

// Stands in for IDirectDrawSurface::GetDC and ReleaseDC: a device context on the pixels,
// which holds the surface's lock until it is given back.
DeviceContext* GetSurfaceDc(Surface* surface, SurfaceResult* result = nullptr);
SurfaceResult ReleaseSurfaceDc(Surface* surface, DeviceContext* dc);

// Stands in for IDirectDrawSurface::IsLost and Restore. A restored surface's pixels are 0.
bool IsSurfaceLost(const Surface* surface);
SurfaceResult RestoreSurface(Surface* surface);

// Loses every surface at once, as a mode switch by another program does.
void LoseAllSurfaces();

// Stands in for IDirectDrawSurface::SetColorKey and GetColorKey (DDCKEY_SRCBLT, one value).
// A 16-bit pixel matches the key when it equals the key's low 16 bits.
SurfaceResult SetSurfaceColorKey(Surface* surface, std::uint32_t key);
SurfaceResult GetSurfaceColorKey(const Surface* surface, std::uint32_t& key);

// Stands in for IDirectDrawSurface::Blt with DDBLT_COLORFILL: fills the rectangle, or the
// whole surface when rect is null, with a native pixel value.
SurfaceResult FillSurface(Surface* surface, const SurfaceRect* rect, std::uint32_t color);

// Stands in for IDirectDrawSurface::BltFast: copies source's rectangle to (x, y) of
// destination, skipping source pixels equal to the source key when useKey is set. Both
// rectangles must lie inside their surfaces; otherwise nothing is drawn.
SurfaceResult BltFast(Surface* destination, int x, int y, Surface* source, const SurfaceRect& rect,
                      bool useKey);

// Stands in for IDirectDrawSurface::Blt: copies source's rectangle into the destination
// rectangle, scaled to its size by the nearest pixel. Copying to the primary surface shows
// the picture in the window (platform/display.h).
SurfaceResult Blt(Surface* destination, const SurfaceRect& destinationRect, Surface* source,
                  const SurfaceRect& sourceRect, bool useKey);

// Stands in for StretchBlt(SRCCOPY) between the device contexts of two surfaces: the source
// rectangle scaled over the destination rectangle by the nearest pixel, each cut to its
// surface. Takes and gives back both contexts; returns the first failure to take one.
SurfaceResult StretchBetweenDcs(Surface* destination, const SurfaceRect& destinationRect,
                                Surface* source, const SurfaceRect& sourceRect);

// Copies pixels between views, scaled by the nearest pixel, skipping key when useKey is
// set. Rectangles are trusted to lie inside their views. Source and destination may share
// memory only when they do not overlap.
void StretchPixels(const PixelBuffer& destination, const SurfaceRect& destinationRect,
                   const PixelBuffer& source, const SurfaceRect& sourceRect, bool useKey,
                   std::uint16_t key);

// Copies one row of count pixels, leaving destination pixels where the source holds key.
// Gives the same result as the plain per-pixel test, several pixels at a time.
void CopyKeyedRow(std::uint16_t* destination, const std::uint16_t* source, int count,
                  std::uint16_t key);

} // namespace platform
