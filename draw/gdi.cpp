// GDI shapes and pixels on the back buffer, each call a whole take-draw-give-back of its
// device context; the context lent to the game; grabbing a rectangle into an object.
#include <cmath>

#include "draw/draw.h"
#include "draw/draw_internal.h"

platform::DeviceContext* gdiContext = nullptr;

namespace
{

struct GdiState
{
    platform::Surface* lentSurface = nullptr; // the back buffer gdiContext was taken on
};

GdiState gdi;

// The back buffer's context for one call; null while it is out elsewhere.
struct ScopedContext
{
    platform::Surface* surface = BackBuffer();
    platform::DeviceContext* dc = surface != nullptr ? platform::GetSurfaceDc(surface) : nullptr;

    ScopedContext() = default;
    ScopedContext(const ScopedContext&) = delete;
    ScopedContext& operator=(const ScopedContext&) = delete;
    ~ScopedContext()
    {
        if (dc != nullptr)
        {
            platform::ReleaseSurfaceDc(surface, dc);
        }
    }
};

} // namespace

namespace voDraw
{

void Polygon(const platform::Point* points, int count, std::uint32_t color, std::uint32_t backColor,
             int penWidth, int fillMode)
{
    ScopedContext context;
    if (context.dc == nullptr)
    {
        return;
    }
    platform::Brush brush{
        fillMode == 0 ? platform::BrushStyle::Null : platform::BrushStyle::DiagCross, color};
    platform::Brush previousBrush = platform::SelectBrush(context.dc, brush);
    platform::Pen previousPen = platform::SelectPen(context.dc, platform::Pen{penWidth, color});
    if (fillMode == 2)
    {
        platform::SetBkMode(context.dc, platform::BackgroundMode::Transparent);
    }
    else
    {
        platform::SetBkColor(context.dc, backColor);
    }
    platform::Polygon(context.dc, points, count);
    platform::SelectPen(context.dc, previousPen);
    platform::SelectBrush(context.dc, previousBrush);
}

void Line(int x1, int y1, int x2, int y2, std::uint32_t color, int penWidth)
{
    ScopedContext context;
    if (context.dc == nullptr)
    {
        return;
    }
    platform::Pen previous = platform::SelectPen(context.dc, platform::Pen{penWidth, color});
    platform::MoveTo(context.dc, x1, y1);
    platform::LineTo(context.dc, x2, y2);
    platform::SelectPen(context.dc, previous);
}

void Line(double x1, double y1, double x2, double y2, std::uint8_t red, std::uint8_t green,
          std::uint8_t blue, int penWidth)
{
    Line(TruncateToInt(x1), TruncateToInt(y1), TruncateToInt(x2), TruncateToInt(y2),
         platform::MakeRgb(red, green, blue), penWidth);
}

void Rectangle(int left, int top, int right, int bottom, std::uint32_t fillColor,
               std::uint32_t penColor, int penWidth)
{
    ScopedContext context;
    if (context.dc == nullptr)
    {
        return;
    }
    platform::Brush previousBrush =
        platform::SelectBrush(context.dc, platform::Brush{platform::BrushStyle::Solid, fillColor});
    platform::Pen previousPen = platform::SelectPen(context.dc, platform::Pen{penWidth, penColor});
    platform::Rectangle(context.dc, left, top, right, bottom);
    platform::SelectPen(context.dc, previousPen);
    platform::SelectBrush(context.dc, previousBrush);
}

void Bezier(const platform::Point* points, int count, std::uint32_t color, int penWidth)
{
    ScopedContext context;
    if (context.dc == nullptr)
    {
        return;
    }
    platform::Pen previous = platform::SelectPen(context.dc, platform::Pen{penWidth, color});
    platform::PolyBezier(context.dc, points, count);
    platform::SelectPen(context.dc, previous);
}

void SetPixel(int x, int y, std::uint32_t color)
{
    ScopedContext context;
    platform::SetPixel(context.dc, x, y, color);
}

void GetPixel(int x, int y, int& red, int& green, int& blue)
{
    platform::ColorRef color = platform::kInvalidColor;
    {
        ScopedContext context;
        color = platform::GetPixel(context.dc, x, y);
    }
    red = static_cast<int>(color & 0xFF);
    green = static_cast<int>((color >> 8) & 0xFF);
    blue = static_cast<int>((color >> 16) & 0xFF);
}

void BeginGdi()
{
    // A second lend while the first is out keeps the first; the one context stays usable.
    if (gdiContext != nullptr)
    {
        return;
    }
    gdi.lentSurface = BackBuffer();
    gdiContext = gdi.lentSurface != nullptr ? platform::GetSurfaceDc(gdi.lentSurface) : nullptr;
}

void EndGdi()
{
    if (gdiContext != nullptr)
    {
        platform::ReleaseSurfaceDc(gdi.lentSurface, gdiContext);
    }
    gdiContext = nullptr;
    gdi.lentSurface = nullptr;
}

void GrabRect(ObjectId id, int left, int top, int right, int bottom)
{
    if (id < 0 || id >= kObjectCount || objectTable[id].surface == nullptr ||
        BackBuffer() == nullptr)
    {
        return;
    }
    platform::SurfaceRect rect{left, top, right, bottom};
    if (platform::BltFast(objectTable[id].surface, 0, 0, BackBuffer(), rect, false) ==
        platform::SurfaceResult::SurfaceLost)
    {
        RestoreObjects();
    }
}

} // namespace voDraw
