// Surfaces: pixel memory, locks, keys, fills, fast and stretched blits, lost and restored
// states. The primary surface's copy to the window is in platform/display.cpp.
#include <algorithm>
#include <cstring>

#include "platform/surface_internal.h"

namespace platform
{
namespace
{

// Larger surfaces are refused rather than allocated: a 16-bit 16384 x 16384 surface is
// already 512 MiB, far past any screen or bitmap this system draws.
constexpr int kMaxSurfaceSide = 16384;
constexpr std::size_t kMaxSurfaceBytes = std::size_t{256} << 20;

struct SurfaceState
{
    SurfaceDevice device;           // what new surfaces take
    std::vector<Surface*> surfaces; // every live surface, for LoseAllSurfaces

    // Surfaces still held when the program ends go with it.
    ~SurfaceState()
    {
        for (Surface* surface : surfaces)
        {
            delete surface;
        }
    }
};

SurfaceState surfaceState;

// Rows start on 16-byte boundaries, as display memory often lays them out; callers must
// use the pitch, not the width.
int PitchFor(int width)
{
    return ((width * 2 + 15) / 16) * 16;
}

SurfaceResult Usable(const Surface* surface)
{
    if (surface == nullptr)
    {
        return SurfaceResult::InvalidParams;
    }
    if (surface->lost)
    {
        return SurfaceResult::SurfaceLost;
    }
    if (surface->locked)
    {
        return SurfaceResult::SurfaceBusy;
    }
    return SurfaceResult::Ok;
}

SurfaceResult BothUsable(const Surface* destination, const Surface* source)
{
    SurfaceResult result = Usable(destination);
    if (result == SurfaceResult::Ok)
    {
        result = Usable(source);
    }
    return result;
}

// A copy within one surface reads the rectangle as it was before any of it moved: the
// rectangle goes to memory of its own first.
PixelBuffer CopyOut(const PixelBuffer& from, const SurfaceRect& rect,
                    std::vector<std::uint16_t>& copy)
{
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    copy.resize(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row)
    {
        std::memcpy(copy.data() + static_cast<std::size_t>(row) * width,
                    from.Row(rect.top + row) + rect.left, static_cast<std::size_t>(width) * 2);
    }
    return PixelBuffer{copy.data(), width, height, width * 2, from.layout};
}

std::uint16_t KeyOf(const Surface* surface)
{
    return static_cast<std::uint16_t>(surface->key & 0xFFFF);
}

} // namespace

void SetSurfaceDevice(const SurfaceDevice& device)
{
    surfaceState.device = device;
}

Surface* NewSurface(int width, int height, SurfaceMemory memory, bool primary,
                    SurfaceResult* result)
{
    auto fail = [result](SurfaceResult why) -> Surface*
    {
        if (result != nullptr)
        {
            *result = why;
        }
        return nullptr;
    };
    const SurfaceDevice& device = surfaceState.device;
    if (!device.open || width <= 0 || height <= 0 || width > kMaxSurfaceSide ||
        height > kMaxSurfaceSide)
    {
        return fail(SurfaceResult::InvalidParams);
    }
    if (static_cast<std::size_t>(PitchFor(width)) * static_cast<std::size_t>(height) >
        kMaxSurfaceBytes)
    {
        return fail(SurfaceResult::OutOfMemory);
    }
    if (device.surfaceLimit >= 0 &&
        surfaceState.surfaces.size() >= static_cast<std::size_t>(device.surfaceLimit))
    {
        return fail(SurfaceResult::OutOfMemory);
    }
    auto* surface = new Surface;
    surface->layout = device.layout;
    surface->memory = memory;
    surface->primary = primary;
    surface->lost = device.startLost;
    ResizeSurface(surface, width, height);
    surfaceState.surfaces.push_back(surface);
    if (result != nullptr)
    {
        *result = SurfaceResult::Ok;
    }
    return surface;
}

void ResizeSurface(Surface* surface, int width, int height)
{
    surface->width = width;
    surface->height = height;
    surface->pitchBytes = PitchFor(width);
    surface->pixels.assign(static_cast<std::size_t>(surface->pitchBytes / 2) * height, 0);
}

Surface* CreateSurface(int width, int height, SurfaceMemory memory, SurfaceResult* result)
{
    return NewSurface(width, height, memory, false, result);
}

void ReleaseSurface(Surface* surface)
{
    if (surface == nullptr)
    {
        return;
    }
    auto& surfaces = surfaceState.surfaces;
    surfaces.erase(std::remove(surfaces.begin(), surfaces.end(), surface), surfaces.end());
    delete surface;
}

SurfaceResult LockSurface(Surface* surface, PixelBuffer& pixels)
{
    SurfaceResult result = Usable(surface);
    if (result != SurfaceResult::Ok)
    {
        return result;
    }
    surface->locked = true;
    pixels = surface->View();
    return SurfaceResult::Ok;
}

SurfaceResult UnlockSurface(Surface* surface)
{
    if (surface == nullptr)
    {
        return SurfaceResult::InvalidParams;
    }
    if (!surface->locked || HasDc(surface))
    {
        return SurfaceResult::NotLocked;
    }
    surface->locked = false;
    return SurfaceResult::Ok;
}

DeviceContext* GetSurfaceDc(Surface* surface, SurfaceResult* result)
{
    SurfaceResult why = Usable(surface);
    DeviceContext* dc = nullptr;
    if (why == SurfaceResult::Ok)
    {
        dc = TakeDc(surface, surface->View());
        if (dc == nullptr)
        {
            why = SurfaceResult::SurfaceBusy;
        }
        else
        {
            surface->locked = true;
        }
    }
    if (result != nullptr)
    {
        *result = why;
    }
    return dc;
}

SurfaceResult ReleaseSurfaceDc(Surface* surface, DeviceContext* dc)
{
    if (surface == nullptr || dc == nullptr)
    {
        return SurfaceResult::InvalidParams;
    }
    if (!HasDc(surface))
    {
        return SurfaceResult::NotLocked;
    }
    ReleaseDc(dc);
    surface->locked = false;
    return SurfaceResult::Ok;
}

bool IsSurfaceLost(const Surface* surface)
{
    return surface != nullptr && surface->lost;
}

SurfaceResult RestoreSurface(Surface* surface)
{
    if (surface == nullptr)
    {
        return SurfaceResult::InvalidParams;
    }
    if (surface->lost)
    {
        // The memory comes back but not what was drawn in it.
        std::fill(surface->pixels.begin(), surface->pixels.end(), std::uint16_t{0});
        surface->lost = false;
    }
    return SurfaceResult::Ok;
}

void LoseAllSurfaces()
{
    for (Surface* surface : surfaceState.surfaces)
    {
        surface->lost = true;
    }
}

SurfaceResult SetSurfaceColorKey(Surface* surface, std::uint32_t key)
{
    if (surface == nullptr)
    {
        return SurfaceResult::InvalidParams;
    }
    surface->key = key;
    surface->hasKey = true;
    return SurfaceResult::Ok;
}

SurfaceResult GetSurfaceColorKey(const Surface* surface, std::uint32_t& key)
{
    if (surface == nullptr)
    {
        return SurfaceResult::InvalidParams;
    }
    if (!surface->hasKey)
    {
        return SurfaceResult::NoColorKey;
    }
    key = surface->key;
    return SurfaceResult::Ok;
}

SurfaceResult FillSurface(Surface* surface, const SurfaceRect* rect, std::uint32_t color)
{
    SurfaceResult result = Usable(surface);
    if (result != SurfaceResult::Ok)
    {
        return result;
    }
    SurfaceRect area = rect != nullptr ? *rect : SurfaceRect{0, 0, surface->width, surface->height};
    if (!FitsSurface(area, surface->width, surface->height))
    {
        return SurfaceResult::InvalidRect;
    }
    PixelBuffer view = surface->View();
    auto value = static_cast<std::uint16_t>(color & 0xFFFF);
    int count = area.right - area.left;
    int rows = area.bottom - area.top;
    // Black and white (and any value of two equal bytes) are bytes for memset, and whole
    // rows of a surface without padding are one block.
    bool sameBytes = (value & 0xFF) == (value >> 8);
    if (sameBytes && count * 2 == view.pitchBytes)
    {
        std::memset(view.Row(area.top), value & 0xFF, static_cast<std::size_t>(count) * 2 * rows);
        return SurfaceResult::Ok;
    }
    for (int y = area.top; y < area.bottom; ++y)
    {
        if (sameBytes)
        {
            std::memset(view.Row(y) + area.left, value & 0xFF, static_cast<std::size_t>(count) * 2);
        }
        else
        {
            std::fill_n(view.Row(y) + area.left, count, value);
        }
    }
    return SurfaceResult::Ok;
}

void CopyKeyedRow(std::uint16_t* __restrict destination, const std::uint16_t* __restrict source,
                  int count, std::uint16_t key)
{
    // A select instead of a branch, so the compiler can do a vector's worth of pixels at
    // once: the branch on each pixel is what makes a keyed copy slow.
    for (int i = 0; i < count; ++i)
    {
        std::uint16_t pixel = source[i];
        auto keep = static_cast<std::uint16_t>(-static_cast<int>(pixel == key));
        destination[i] = static_cast<std::uint16_t>((pixel & ~keep) | (destination[i] & keep));
    }
}

SurfaceResult BltFast(Surface* destination, int x, int y, Surface* source, const SurfaceRect& rect,
                      bool useKey)
{
    SurfaceResult result = BothUsable(destination, source);
    if (result != SurfaceResult::Ok)
    {
        return result;
    }
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    SurfaceRect target{x, y, x + width, y + height};
    if (!FitsSurface(rect, source->width, source->height) ||
        !FitsSurface(target, destination->width, destination->height))
    {
        return SurfaceResult::InvalidRect;
    }
    bool keyed = useKey && source->hasKey;
    std::uint16_t key = KeyOf(source);
    PixelBuffer to = destination->View();
    PixelBuffer from = source->View();
    SurfaceRect fromRect = rect;
    std::vector<std::uint16_t> copy;
    if (source == destination)
    {
        from = CopyOut(from, rect, copy);
        fromRect = SurfaceRect{0, 0, width, height};
    }
    for (int row = 0; row < height; ++row)
    {
        std::uint16_t* out = to.Row(y + row) + x;
        const std::uint16_t* in = from.Row(fromRect.top + row) + fromRect.left;
        if (keyed)
        {
            CopyKeyedRow(out, in, width, key);
        }
        else
        {
            std::memcpy(out, in, static_cast<std::size_t>(width) * 2);
        }
    }
    return SurfaceResult::Ok;
}

void StretchPixels(const PixelBuffer& destination, const SurfaceRect& destinationRect,
                   const PixelBuffer& source, const SurfaceRect& sourceRect, bool useKey,
                   std::uint16_t key)
{
    int toWidth = destinationRect.right - destinationRect.left;
    int toHeight = destinationRect.bottom - destinationRect.top;
    int fromWidth = sourceRect.right - sourceRect.left;
    int fromHeight = sourceRect.bottom - sourceRect.top;
    if (toWidth <= 0 || toHeight <= 0 || fromWidth <= 0 || fromHeight <= 0)
    {
        return;
    }
    std::vector<int> columns(static_cast<std::size_t>(toWidth));
    for (int i = 0; i < toWidth; ++i)
    {
        columns[i] =
            sourceRect.left + static_cast<int>(static_cast<std::int64_t>(i) * fromWidth / toWidth);
    }
    for (int j = 0; j < toHeight; ++j)
    {
        int sourceRow =
            sourceRect.top + static_cast<int>(static_cast<std::int64_t>(j) * fromHeight / toHeight);
        const std::uint16_t* in = source.Row(sourceRow);
        std::uint16_t* out = destination.Row(destinationRect.top + j) + destinationRect.left;
        for (int i = 0; i < toWidth; ++i)
        {
            std::uint16_t pixel = in[columns[i]];
            if (!useKey || pixel != key)
            {
                out[i] = pixel;
            }
        }
    }
}

SurfaceResult Blt(Surface* destination, const SurfaceRect& destinationRect, Surface* source,
                  const SurfaceRect& sourceRect, bool useKey)
{
    SurfaceResult result = BothUsable(destination, source);
    if (result != SurfaceResult::Ok)
    {
        return result;
    }
    if (!FitsSurface(sourceRect, source->width, source->height))
    {
        return SurfaceResult::InvalidRect;
    }
    if (destination->primary)
    {
        return BltToPrimary(destination, destinationRect, source, sourceRect);
    }
    if (!FitsSurface(destinationRect, destination->width, destination->height))
    {
        return SurfaceResult::InvalidRect;
    }
    PixelBuffer from = source->View();
    std::vector<std::uint16_t> copy;
    SurfaceRect fromRect = sourceRect;
    if (source == destination)
    {
        from = CopyOut(from, sourceRect, copy);
        fromRect = SurfaceRect{0, 0, from.width, from.height};
    }
    StretchPixels(destination->View(), destinationRect, from, fromRect, useKey && source->hasKey,
                  KeyOf(source));
    return SurfaceResult::Ok;
}

SurfaceResult StretchBetweenDcs(Surface* destination, const SurfaceRect& destinationRect,
                                Surface* source, const SurfaceRect& sourceRect)
{
    SurfaceResult result = SurfaceResult::Ok;
    DeviceContext* to = GetSurfaceDc(destination, &result);
    if (to == nullptr)
    {
        return result;
    }
    DeviceContext* from = GetSurfaceDc(source, &result);
    if (from == nullptr)
    {
        ReleaseSurfaceDc(destination, to);
        return result;
    }
    std::int64_t toWidth = std::int64_t{destinationRect.right} - destinationRect.left;
    std::int64_t toHeight = std::int64_t{destinationRect.bottom} - destinationRect.top;
    std::int64_t fromWidth = std::int64_t{sourceRect.right} - sourceRect.left;
    std::int64_t fromHeight = std::int64_t{sourceRect.bottom} - sourceRect.top;
    if (toWidth > 0 && toHeight > 0 && fromWidth > 0 && fromHeight > 0)
    {
        PixelBuffer out = destination->View();
        PixelBuffer in = source->View();
        // Only the part inside the destination is visited; source pixels outside the source
        // leave the destination as it was.
        int top = static_cast<int>(std::max<std::int64_t>(destinationRect.top, 0));
        int bottom = static_cast<int>(std::min<std::int64_t>(destinationRect.bottom, out.height));
        int left = static_cast<int>(std::max<std::int64_t>(destinationRect.left, 0));
        int right = static_cast<int>(std::min<std::int64_t>(destinationRect.right, out.width));
        for (int y = top; y < bottom; ++y)
        {
            std::int64_t sourceY =
                sourceRect.top + (y - std::int64_t{destinationRect.top}) * fromHeight / toHeight;
            if (sourceY < 0 || sourceY >= in.height)
            {
                continue;
            }
            const std::uint16_t* inRow = in.Row(static_cast<int>(sourceY));
            std::uint16_t* outRow = out.Row(y);
            for (int x = left; x < right; ++x)
            {
                std::int64_t sourceX = sourceRect.left + (x - std::int64_t{destinationRect.left}) *
                                                             fromWidth / toWidth;
                if (sourceX >= 0 && sourceX < in.width)
                {
                    outRow[x] = inRow[sourceX];
                }
            }
        }
    }
    ReleaseSurfaceDc(source, from);
    ReleaseSurfaceDc(destination, to);
    return SurfaceResult::Ok;
}

} // namespace platform
