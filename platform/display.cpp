// The display core: device choice, cooperation, modes, the primary surface and its clipper,
// the pixel format and the vertical blank. The backend's Display shows the picture.
#include "platform/display.h"

#include <algorithm>
#include <cstring>

#include "platform/backend.h"
#include "platform/record.h"
#include "platform/surface_internal.h"

namespace platform
{

struct Clipper
{
    WindowHandle window = 0; // the window whose client area bounds the copies
};

namespace
{

struct DisplayState
{
    bool open = false;    // the display object exists
    DisplayDevice device; // what the device reported when it opened
    int modeWidth = 0;    // the full-screen mode in use, in pixels; 0 in a window
    int modeHeight = 0;
};

DisplayState displayState;

Display* DisplayBackend()
{
    return ActiveBackend().display.get();
}

bool Refuses(DisplayFault fault)
{
    return displayState.open && displayState.device.fault == fault;
}

// What the primary surface covers, in screen positions: the whole mode in full screen, where
// a screen larger than the window is shown whole; the window's client area otherwise.
void PrimaryArea(int& left, int& top, int& width, int& height)
{
    if (displayState.modeWidth > 0)
    {
        left = 0;
        top = 0;
        width = displayState.modeWidth;
        height = displayState.modeHeight;
        return;
    }
    DisplayBackend()->ClientArea(left, top, width, height);
}

} // namespace

bool OpenDisplay(bool& device3D)
{
    device3D = false;
    Display* display = DisplayBackend();
    if (display == nullptr)
    {
        return false;
    }
    DisplayDevice device = display->Device();
    if (device.fault == DisplayFault::NoDevice)
    {
        return false;
    }
    // The one driver is kept as the 3D device when its hardware has 3D and textures;
    // otherwise the same display opens as the default device.
    device3D = device.hardware3D;
    displayState.open = true;
    displayState.device = device;
    SetSurfaceDevice(
        SurfaceDevice{true, device.layout, device.surfaceLimit, device.surfacesStartLost});
    return true;
}

void CloseDisplay()
{
    displayState = DisplayState{};
    SetSurfaceDevice(SurfaceDevice{});
}

bool DisplayIsOpen()
{
    return displayState.open;
}

bool GetDisplayCaps(DisplayCaps& hardware, DisplayCaps& emulation)
{
    if (!displayState.open)
    {
        return false;
    }
    const DisplayDevice& device = displayState.device;
    hardware = DisplayCaps{device.hardware3D, device.hardware3D, device.hardwareStretch};
    emulation = DisplayCaps{false, false, device.emulationStretch};
    return true;
}

bool SetCooperativeLevel(WindowHandle window, bool fullScreen)
{
    if (!displayState.open || window == 0 || Refuses(DisplayFault::CooperativeLevel))
    {
        return false;
    }
    return DisplayBackend()->SetCooperation(fullScreen);
}

bool SetDisplayMode(int width, int height, int bitsPerPixel)
{
    if (!displayState.open || width <= 0 || height <= 0 || Refuses(DisplayFault::DisplayMode))
    {
        return false;
    }
    if (!DisplayBackend()->SetMode(width, height, bitsPerPixel))
    {
        return false;
    }
    displayState.modeWidth = width;
    displayState.modeHeight = height;
    return true;
}

void RestoreDisplayMode()
{
    if (displayState.open)
    {
        DisplayBackend()->RestoreMode();
        displayState.modeWidth = 0;
        displayState.modeHeight = 0;
    }
}

Surface* CreatePrimarySurface(SurfaceMemory memory, SurfaceResult* result)
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    if (displayState.open)
    {
        PrimaryArea(left, top, width, height);
    }
    return NewSurface(std::max(width, 1), std::max(height, 1), memory, true, result);
}

Clipper* CreateClipper()
{
    if (!displayState.open || Refuses(DisplayFault::Clipper))
    {
        return nullptr;
    }
    return new Clipper;
}

bool SetClipperWindow(Clipper* clipper, WindowHandle window)
{
    if (clipper == nullptr || window == 0 || Refuses(DisplayFault::ClipperWindow))
    {
        return false;
    }
    clipper->window = window;
    return true;
}

bool AttachClipper(Surface* primary, Clipper* clipper)
{
    if (primary == nullptr || !primary->primary || Refuses(DisplayFault::ClipperOnPrimary))
    {
        return false;
    }
    primary->clipper = clipper;
    return true;
}

void ReleaseClipper(Clipper* clipper)
{
    delete clipper;
}

bool GetPixelFormat(const Surface* surface, PixelMasks& masks)
{
    if (surface == nullptr || Refuses(DisplayFault::PixelFormat))
    {
        return false;
    }
    if (surface->layout == PixelLayout::Rgb565)
    {
        masks = PixelMasks{0xF800, 0x07E0, 0x001F, 16};
    }
    else
    {
        masks = PixelMasks{0x7C00, 0x03E0, 0x001F, 16};
    }
    return true;
}

bool WaitForVerticalBlank()
{
    Display* display = DisplayBackend();
    if (display == nullptr)
    {
        return false;
    }
    RecordRefreshWait();
    return display->WaitForVerticalBlank();
}

SurfaceResult BltToPrimary(Surface* primary, const SurfaceRect& destinationRect, Surface* source,
                           const SurfaceRect& sourceRect)
{
    if (!displayState.open)
    {
        return SurfaceResult::InvalidParams;
    }
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    PrimaryArea(left, top, width, height);
    if (width <= 0 || height <= 0)
    {
        return SurfaceResult::Ok;
    }
    if (primary->width != width || primary->height != height)
    {
        ResizeSurface(primary, width, height);
    }
    // The primary surface holds the client area: screen positions become client positions.
    SurfaceRect target{destinationRect.left - left, destinationRect.top - top,
                       destinationRect.right - left, destinationRect.bottom - top};
    int targetWidth = target.right - target.left;
    int targetHeight = target.bottom - target.top;
    if (targetWidth <= 0 || targetHeight <= 0)
    {
        return SurfaceResult::InvalidRect;
    }
    SurfaceRect visible = target;
    if (primary->clipper != nullptr && primary->clipper->window != 0)
    {
        visible.left = std::max(visible.left, 0);
        visible.top = std::max(visible.top, 0);
        visible.right = std::min(visible.right, width);
        visible.bottom = std::min(visible.bottom, height);
    }
    else if (!FitsSurface(target, width, height))
    {
        return SurfaceResult::InvalidRect;
    }
    PixelBuffer to = primary->View();
    PixelBuffer from = source->View();
    int sourceWidth = sourceRect.right - sourceRect.left;
    int sourceHeight = sourceRect.bottom - sourceRect.top;
    if (visible.left >= visible.right || visible.top >= visible.bottom)
    {
        DisplayBackend()->ShowPicture(to);
        return SurfaceResult::Ok;
    }
    if (sourceWidth == targetWidth && sourceHeight == targetHeight)
    {
        // The usual present: same size, so rows are copied as they are.
        for (int y = visible.top; y < visible.bottom; ++y)
        {
            std::memcpy(to.Row(y) + visible.left,
                        from.Row(sourceRect.top + y - target.top) + sourceRect.left + visible.left -
                            target.left,
                        static_cast<std::size_t>(visible.right - visible.left) * 2);
        }
        DisplayBackend()->ShowPicture(to);
        return SurfaceResult::Ok;
    }
    for (int y = visible.top; y < visible.bottom; ++y)
    {
        int sourceY = sourceRect.top + static_cast<int>(static_cast<std::int64_t>(y - target.top) *
                                                        sourceHeight / targetHeight);
        const std::uint16_t* in = from.Row(sourceY);
        std::uint16_t* out = to.Row(y);
        for (int x = visible.left; x < visible.right; ++x)
        {
            out[x] =
                in[sourceRect.left + static_cast<int>(static_cast<std::int64_t>(x - target.left) *
                                                      sourceWidth / targetWidth)];
        }
    }
    DisplayBackend()->ShowPicture(to);
    return SurfaceResult::Ok;
}

} // namespace platform
