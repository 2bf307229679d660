// What the surface, display and bitmap files share: the surface itself and the device
// settings that every new surface takes.
#pragma once

#include <vector>

#include "platform/surface.h"

namespace platform
{

struct Clipper;

struct Surface
{
    int width = 0, height = 0; // size in pixels
    int pitchBytes = 0;        // bytes from one row to the next
    PixelLayout layout = PixelLayout::Rgb565;
    SurfaceMemory memory = SurfaceMemory::Display;
    std::vector<std::uint16_t> pixels; // rows of pitchBytes / 2 pixels
    bool primary = false;              // the window's picture (platform/display.cpp)
    Clipper* clipper = nullptr;        // primary only: confines copies to the window
    bool lost = false;                 // lost until restored
    bool locked = false;               // a lock or a device context is out
    bool hasKey = false;               // a source colour key is set
    std::uint32_t key = 0;             // the key as it was set

    PixelBuffer View()
    {
        return PixelBuffer{pixels.data(), width, height, pitchBytes, layout};
    }
};

// What the open display gives every surface it makes.
struct SurfaceDevice
{
    bool open = false; // a display is open
    PixelLayout layout = PixelLayout::Rgb565;
    int surfaceLimit = -1;  // surfaces it can hold at once; -1 no limit
    bool startLost = false; // new surfaces are lost until restored
};

// Sets what new surfaces take; the display calls it when it opens and closes.
void SetSurfaceDevice(const SurfaceDevice& device);

// Makes a surface and counts it against the device's limit. Null when it cannot.
Surface* NewSurface(int width, int height, SurfaceMemory memory, bool primary,
                    SurfaceResult* result);

// Resizes a surface's memory, clearing it to 0.
void ResizeSurface(Surface* surface, int width, int height);

// The copy to the primary surface: shows the picture in the window (platform/display.cpp).
SurfaceResult BltToPrimary(Surface* primary, const SurfaceRect& destinationRect, Surface* source,
                           const SurfaceRect& sourceRect);

// True when the rectangle is non-empty and lies inside a width x height surface.
inline bool FitsSurface(const SurfaceRect& rect, int width, int height)
{
    return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
           rect.right <= width && rect.bottom <= height;
}

} // namespace platform
