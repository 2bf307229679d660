// The display: the stand-in for the DirectDraw object. It picks a device, takes the window,
// sets full-screen modes, makes the primary surface (the window's picture) and its clipper,
// reports the pixel format and waits for the vertical blank. Surfaces are in surface.h.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "platform/surface.h"

namespace platform
{

// What a device can do, as IDirectDraw::GetCaps reports it for hardware or emulation.
struct DisplayCaps
{
    bool has3D = false;       // DDCAPS_3D
    bool hasTextures = false; // DDSCAPS_TEXTURE
    bool canStretch = false;  // DDCAPS_BLTSTRETCH
};

// Stands in for DirectDrawEnumerateA with DirectDrawCreate: opens the first device whose
// hardware has 3D and textures (device3D true), else the default device (device3D false).
// False when no device can be opened.
bool OpenDisplay(bool& device3D);

// Stands in for IDirectDraw::Release: closes the display. Surfaces made on it must be
// released first.
void CloseDisplay();

// True while a display is open.
bool DisplayIsOpen();

// Stands in for IDirectDraw::GetCaps. False when no display is open.
bool GetDisplayCaps(DisplayCaps& hardware, DisplayCaps& emulation);

// Stands in for IDirectDraw::SetCooperativeLevel: exclusive full screen or shared windowed.
bool SetCooperativeLevel(WindowHandle window, bool fullScreen);

// Stands in for IDirectDraw::SetDisplayMode and RestoreDisplayMode. While a mode is set the
// primary surface is the whole mode, at screen position (0, 0), whatever the window's size.
bool SetDisplayMode(int width, int height, int bitsPerPixel);
void RestoreDisplayMode();

// Stands in for IDirectDraw::CreateSurface with DDSCAPS_PRIMARYSURFACE: the screen as the
// window shows it. A copy to it with Blt is shown at once. Null when it cannot be made.
Surface* CreatePrimarySurface(SurfaceMemory memory, SurfaceResult* result = nullptr);

// Stands in for IDirectDrawClipper: confines copies to the primary surface to a window's
// client area.
struct Clipper;
Clipper* CreateClipper();
bool SetClipperWindow(Clipper* clipper, WindowHandle window);
bool AttachClipper(Surface* primary, Clipper* clipper);
void ReleaseClipper(Clipper* clipper);

// A surface's channel masks, as IDirectDrawSurface::GetPixelFormat reports them.
struct PixelMasks
{
    std::uint32_t red = 0, green = 0, blue = 0;
    int bitsPerPixel = 0;
};
bool GetPixelFormat(const Surface* surface, PixelMasks& masks);

// Stands in for IDirectDraw::WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN). False when the wait
// fails. It waits even while no display is open, so that a program whose screen could not
// be set up still runs at the display's pace.
bool WaitForVerticalBlank();

} // namespace platform
