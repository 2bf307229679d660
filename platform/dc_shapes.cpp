// Pens, brushes and the shapes a device context draws with them.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/dc_internal.h"

namespace platform
{
namespace
{

using raster::PointF;

int PenWidth(const DeviceContext& dc)
{
    return dc.pen.width < 1 ? 1 : dc.pen.width;
}

// One segment of a figure with the context's pen; a one-pixel pen leaves b unpainted.
void StrokeSegment(const DeviceContext& dc, PointF a, PointF b)
{
    raster::Target target = raster::WholeTarget(dc.pixels);
    std::uint16_t color = Native(dc, dc.pen.color);
    int width = PenWidth(dc);
    if (width == 1)
    {
        raster::ThinLine(target, static_cast<int>(std::lround(a.x)),
                         static_cast<int>(std::lround(a.y)), static_cast<int>(std::lround(b.x)),
                         static_cast<int>(std::lround(b.y)), color);
        return;
    }
    raster::WideSegment(target, a, b, width, color);
}

// The brush as the rasteriser paints it; false for the null brush.
bool BrushPaint(const DeviceContext& dc, raster::Paint& paint)
{
    switch (dc.brush.style)
    {
    case BrushStyle::Null:
        return false;
    case BrushStyle::Solid:
        paint.color = Native(dc, dc.brush.color);
        return true;
    case BrushStyle::DiagCross:
        paint.hatched = true;
        paint.color = Native(dc, dc.brush.color);
        paint.background = Native(dc, dc.backgroundColor);
        paint.opaqueGaps = dc.backgroundMode == BackgroundMode::Opaque;
        return true;
    }
    return false;
}

PointF ToF(const Point& p)
{
    return {static_cast<double>(p.x), static_cast<double>(p.y)};
}

// A point of the cubic through a, b, c, d at t.
PointF CubicAt(PointF a, PointF b, PointF c, PointF d, double t)
{
    double u = 1.0 - t;
    double w0 = u * u * u;
    double w1 = 3.0 * u * u * t;
    double w2 = 3.0 * u * t * t;
    double w3 = t * t * t;
    return {w0 * a.x + w1 * b.x + w2 * c.x + w3 * d.x, w0 * a.y + w1 * b.y + w2 * c.y + w3 * d.y};
}

double Distance(PointF a, PointF b)
{
    return std::hypot(b.x - a.x, b.y - a.y);
}

} // namespace

Pen SelectPen(DeviceContext* dc, Pen pen)
{
    return ExchangeSetting(dc, &DeviceContext::pen, pen, Pen{});
}

Brush SelectBrush(DeviceContext* dc, Brush brush)
{
    return ExchangeSetting(dc, &DeviceContext::brush, brush, Brush{});
}

ColorRef SetBkColor(DeviceContext* dc, ColorRef color)
{
    return ExchangeSetting(dc, &DeviceContext::backgroundColor, color, ColorRef{0xFFFFFF});
}

BackgroundMode SetBkMode(DeviceContext* dc, BackgroundMode mode)
{
    return ExchangeSetting(dc, &DeviceContext::backgroundMode, mode, BackgroundMode::Opaque);
}

void MoveTo(DeviceContext* dc, int x, int y)
{
    if (dc != nullptr)
    {
        dc->position = {x, y};
    }
}

void LineTo(DeviceContext* dc, int x, int y)
{
    if (dc == nullptr)
    {
        return;
    }
    Point from = dc->position;
    dc->position = {x, y};
    if (from.x == x && from.y == y)
    {
        return;
    }
    StrokeSegment(*dc, ToF(from), ToF(Point{x, y}));
}

void Polygon(DeviceContext* dc, const Point* points, int count)
{
    if (dc == nullptr || points == nullptr || count < 2)
    {
        return;
    }
    std::vector<PointF> figure;
    figure.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
    {
        figure.push_back(ToF(points[i]));
    }
    raster::Paint paint;
    if (BrushPaint(*dc, paint))
    {
        raster::FillPolygon(raster::WholeTarget(dc->pixels), figure, paint);
    }
    for (std::size_t i = 0; i < figure.size(); ++i)
    {
        StrokeSegment(*dc, figure[i], figure[(i + 1) % figure.size()]);
    }
}

void Rectangle(DeviceContext* dc, int left, int top, int right, int bottom)
{
    if (dc == nullptr)
    {
        return;
    }
    if (left > right)
    {
        std::swap(left, right);
    }
    if (top > bottom)
    {
        std::swap(top, bottom);
    }
    if (left == right || top == bottom)
    {
        return;
    }
    raster::Target target = raster::WholeTarget(dc->pixels);
    raster::Paint paint;
    if (BrushPaint(*dc, paint))
    {
        raster::FillBox(target, left, top, right, bottom, paint);
    }
    raster::Paint pen;
    pen.color = Native(*dc, dc->pen.color);
    int width = PenWidth(*dc);
    if (width == 1)
    {
        raster::FillBox(target, left, top, right, top + 1, pen);
        raster::FillBox(target, left, bottom - 1, right, bottom, pen);
        raster::FillBox(target, left, top, left + 1, bottom, pen);
        raster::FillBox(target, right - 1, top, right, bottom, pen);
        return;
    }
    // A wide pen runs along the ring of the outermost pixels and spills to both sides.
    PointF corners[4] = {{double(left), double(top)},
                         {double(right - 1), double(top)},
                         {double(right - 1), double(bottom - 1)},
                         {double(left), double(bottom - 1)}};
    for (int i = 0; i < 4; ++i)
    {
        raster::WideSegment(target, corners[i], corners[(i + 1) % 4], width, pen.color);
    }
}

bool PolyBezier(DeviceContext* dc, const Point* points, int count)
{
    if (dc == nullptr || points == nullptr || count < 4 || (count - 1) % 3 != 0)
    {
        return false;
    }
    // Each cubic is flattened into chords of about two pixels; the chords join up as one
    // figure, so a one-pixel pen paints every point but the last.
    Point previous = points[0];
    for (int i = 0; i + 3 < count; i += 3)
    {
        PointF a = ToF(points[i]);
        PointF b = ToF(points[i + 1]);
        PointF c = ToF(points[i + 2]);
        PointF d = ToF(points[i + 3]);
        double hull = Distance(a, b) + Distance(b, c) + Distance(c, d);
        int chords = static_cast<int>(std::ceil(std::min(hull, 4096.0) / 2.0));
        chords = chords < 1 ? 1 : chords;
        PointF from = a;
        for (int k = 1; k <= chords; ++k)
        {
            PointF to = k == chords ? d : CubicAt(a, b, c, d, static_cast<double>(k) / chords);
            if (PenWidth(*dc) > 1)
            {
                StrokeSegment(*dc, from, to);
                from = to;
                continue;
            }
            // Control points far off the surface must not push a chord past the int range.
            Point end{static_cast<std::int32_t>(std::lround(std::clamp(to.x, -1e9, 1e9))),
                      static_cast<std::int32_t>(std::lround(std::clamp(to.y, -1e9, 1e9)))};
            if (end.x != previous.x || end.y != previous.y)
            {
                StrokeSegment(*dc, ToF(previous), ToF(end));
                previous = end;
            }
        }
    }
    return true;
}

} // namespace platform
