// Basic puts, fills and the stretched puts: clipping against clipRect in software, then one
// transfer on the display's surfaces. The composite puts are in composite_puts.cpp.
#include <algorithm>
#include <climits>

#include "draw/draw_internal.h"
#include "platform/surface.h"
#include "system/system.h"

namespace
{

using platform::SurfaceRect;
using platform::SurfaceResult;

bool FitsInt(std::int64_t value)
{
    return value >= INT_MIN && value <= INT_MAX;
}

DrawResult RestoreWhenLost(DrawResult result)
{
    if (result == SurfaceResult::SurfaceLost)
    {
        voDraw::RestoreObjects();
    }
    return result;
}

DrawResult Fill(platform::Surface* surface, int left, int top, int right, int bottom,
                std::uint32_t color)
{
    SurfaceRect rect{left, top, right, bottom};
    return platform::FillSurface(surface, &rect, color);
}

// The stretched puts: the display's stretching blit, or GDI through Buffer when the display
// cannot stretch.
DrawResult Stretch(int x, int y, ObjectId id, int left, int top, int right, int bottom, int width,
                   int height, bool keyed)
{
    if (stretchSupported == 1)
    {
        // Not clipped against clipRect: the display's stretching copy has no clip of its own,
        // and games that stretch past clipRect expect the whole picture.
        SurfaceRect target{x, y, ClampToInt(std::int64_t{x} + width),
                           ClampToInt(std::int64_t{y} + height)};
        return RestoreWhenLost(platform::Blt(BackBuffer(), target, ObjectSurface(id),
                                             SurfaceRect{left, top, right, bottom}, keyed));
    }
    platform::StretchBetweenDcs(ObjectSurface(0), SurfaceRect{0, 0, width, height},
                                ObjectSurface(id), SurfaceRect{left, top, right, bottom});
    // Buffer's own key, black, decides what shows on this path.
    return keyed ? voDraw::Put(x, y, 0, 0, 0, width, height)
                 : voDraw::PutOpaque(x, y, 0, 0, 0, width, height);
}

} // namespace

DrawResult ClippedPut(platform::Surface* destination, int x, int y, ObjectId id, int left, int top,
                      int right, int bottom, bool keyed)
{
    // Wide arithmetic, so that no position or rectangle can overflow on the way.
    std::int64_t px = x;
    std::int64_t py = y;
    std::int64_t l = left;
    std::int64_t t = top;
    std::int64_t r = right;
    std::int64_t b = bottom;
    // The right and bottom edges are cut with the values as passed, the left and top ones
    // with the values after that. The order shows only in puts wider than the clip, and those
    // must land where games placed them.
    if (px + (r - l) > clipRect.right)
    {
        r -= px + (r - l) - clipRect.right;
    }
    if (py + (b - t) > clipRect.bottom)
    {
        b -= py + (b - t) - clipRect.bottom;
    }
    if (px < clipRect.left)
    {
        l += clipRect.left - px;
        px = clipRect.left;
    }
    if (py < clipRect.top)
    {
        t += clipRect.top - py;
        py = clipRect.top;
    }
    if (r < l || b < t)
    {
        return SurfaceResult::Ok;
    }
    if (!FitsInt(l) || !FitsInt(t) || !FitsInt(r) || !FitsInt(b))
    {
        return SurfaceResult::InvalidRect;
    }
    SurfaceRect rect{static_cast<int>(l), static_cast<int>(t), static_cast<int>(r),
                     static_cast<int>(b)};
    return RestoreWhenLost(platform::BltFast(destination, static_cast<int>(px),
                                             static_cast<int>(py), ObjectSurface(id), rect, keyed));
}

namespace voDraw
{

DrawResult Put(int x, int y, ObjectId id, int left, int top, int right, int bottom)
{
    return ClippedPut(BackBuffer(), x, y, id, left, top, right, bottom, true);
}

DrawResult Put(double x, double y, ObjectId id, int left, int top, int right, int bottom)
{
    return Put(TruncateToInt(x), TruncateToInt(y), id, left, top, right, bottom);
}

DrawResult PutOpaque(int x, int y, ObjectId id, int left, int top, int right, int bottom)
{
    return ClippedPut(BackBuffer(), x, y, id, left, top, right, bottom, false);
}

DrawResult PutTo(ObjectId destination, int x, int y, ObjectId id, int left, int top, int right,
                 int bottom)
{
    return ClippedPut(ObjectSurface(destination), x, y, id, left, top, right, bottom, true);
}

DrawResult PutOpaqueTo(ObjectId destination, int x, int y, ObjectId id, int left, int top,
                       int right, int bottom)
{
    return ClippedPut(ObjectSurface(destination), x, y, id, left, top, right, bottom, false);
}

DrawResult PutStretch(int x, int y, ObjectId id, int left, int top, int right, int bottom,
                      int width, int height)
{
    return Stretch(x, y, id, left, top, right, bottom, width, height, true);
}

DrawResult PutStretch(double x, double y, ObjectId id, int left, int top, int right, int bottom,
                      int width, int height)
{
    return PutStretch(TruncateToInt(x), TruncateToInt(y), id, left, top, right, bottom, width,
                      height);
}

DrawResult PutStretchOpaque(int x, int y, ObjectId id, int left, int top, int right, int bottom,
                            int width, int height)
{
    return Stretch(x, y, id, left, top, right, bottom, width, height, false);
}

DrawResult Clear()
{
    return Fill(BackBuffer(), 0, 0, screenWidth, screenHeight, 0);
}

DrawResult ClearObject(ObjectId id)
{
    platform::Surface* surface = ObjectSurface(id);
    if (surface == nullptr)
    {
        return SurfaceResult::InvalidParams;
    }
    return Fill(surface, 0, 0, objectTable[id].width, objectTable[id].height, 0);
}

DrawResult FillBlack(int left, int top, int right, int bottom)
{
    return Fill(BackBuffer(), left, top, right, bottom, 0);
}

DrawResult Frame(int left, int top, int right, int bottom)
{
    platform::Surface* back = BackBuffer();
    int belowTop = ClampToInt(std::int64_t{top} + 1);
    int aboveBottom = ClampToInt(std::int64_t{bottom} - 1);
    int pastLeft = ClampToInt(std::int64_t{left} + 1);
    int beforeRight = ClampToInt(std::int64_t{right} - 1);
    Fill(back, left, top, right, belowTop, 0);
    Fill(back, left, aboveBottom, right, bottom, 0);
    Fill(back, left, top, pastLeft, bottom, 0);
    return Fill(back, beforeRight, top, right, bottom, 0);
}

DrawResult ClearWhite()
{
    return Fill(BackBuffer(), 0, 0, screenWidth, screenHeight, PixelFormatInfo.whiteColor);
}

DrawResult FillWhite(int left, int top, int right, int bottom)
{
    return Fill(BackBuffer(), left, top, right, bottom, PixelFormatInfo.whiteColor);
}

DrawResult FillColor(int left, int top, int right, int bottom, std::uint32_t color)
{
    return Fill(BackBuffer(), left, top, right, bottom, color);
}

int FillHalf(int left, int top, int right, int bottom, std::uint32_t color)
{
    right = std::min(right, clipRect.right);
    bottom = std::min(bottom, clipRect.bottom);
    left = std::max(left, clipRect.left);
    top = std::max(top, clipRect.top);
    if (right < left || bottom < top)
    {
        return 1;
    }
    platform::Surface* back = BackBuffer();
    platform::PixelBuffer pixels;
    if (platform::LockSurface(back, pixels) != SurfaceResult::Ok)
    {
        return 0;
    }
    // clipRect may reach past the back buffer; nothing is written outside it.
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, pixels.width);
    bottom = std::min(bottom, pixels.height);
    std::uint32_t half = PixelFormatInfo.halfMask;
    auto c = static_cast<std::uint16_t>((color >> 1) & half);
    for (int y = top; y < bottom; ++y)
    {
        std::uint16_t* row = pixels.Row(y);
        for (int x = left; x < right; ++x)
        {
            row[x] = static_cast<std::uint16_t>(((row[x] >> 1) & half) + c);
        }
    }
    platform::UnlockSurface(back);
    return 1;
}

DrawResult InvertRect(int left, int top, int right, int bottom)
{
    platform::Surface* back = BackBuffer();
    SurfaceResult result = SurfaceResult::Ok;
    platform::DeviceContext* dc = platform::GetSurfaceDc(back, &result);
    if (dc == nullptr)
    {
        return result;
    }
    platform::InvertRect(dc, left, top, right, bottom);
    return platform::ReleaseSurfaceDc(back, dc);
}

} // namespace voDraw
