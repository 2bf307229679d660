// The device context's rasteriser. Lines follow GDI's rule that the last point is left
// unpainted, so that the segments of a figure meet without painting a corner twice.
#include "platform/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace platform::raster
{
namespace
{

// The diagonal-cross hatch: an 8 x 8 cell with both diagonals set, tiled from the
// pixels' origin.
bool HatchBit(int x, int y)
{
    int cx = x & 7;
    int cy = y & 7;
    return cx == cy || cx == 7 - cy;
}

void Plot(const Target& target, int x, int y, std::uint16_t color)
{
    if (x >= target.left && x < target.right && y >= target.top && y < target.bottom)
    {
        target.pixels.Row(y)[x] = color;
    }
}

// Integer coordinates far outside any surface are brought in before arithmetic on them.
constexpr double kCoordinateLimit = 1 << 24;

double Bounded(double value)
{
    if (!(value > -kCoordinateLimit))
    {
        return -kCoordinateLimit;
    }
    return std::min(value, kCoordinateLimit);
}

} // namespace

Target WholeTarget(const PixelBuffer& pixels)
{
    Target target;
    target.pixels = pixels;
    target.right = pixels.pixels != nullptr ? std::max(pixels.width, 0) : 0;
    target.bottom = pixels.pixels != nullptr ? std::max(pixels.height, 0) : 0;
    return target;
}

Target CutTarget(const Target& target, int left, int top, int right, int bottom)
{
    Target cut = target;
    cut.left = std::max(target.left, left);
    cut.top = std::max(target.top, top);
    cut.right = std::max(cut.left, std::min(target.right, right));
    cut.bottom = std::max(cut.top, std::min(target.bottom, bottom));
    return cut;
}

void FillSpan(const Target& target, int y, int x0, int x1, const Paint& paint)
{
    if (y < target.top || y >= target.bottom)
    {
        return;
    }
    x0 = std::max(x0, target.left);
    x1 = std::min(x1, target.right);
    if (x0 >= x1)
    {
        return;
    }
    std::uint16_t* row = target.pixels.Row(y);
    if (!paint.hatched)
    {
        std::fill(row + x0, row + x1, paint.color);
        return;
    }
    for (int x = x0; x < x1; ++x)
    {
        if (HatchBit(x, y))
        {
            row[x] = paint.color;
        }
        else if (paint.opaqueGaps)
        {
            row[x] = paint.background;
        }
    }
}

void FillBox(const Target& target, int left, int top, int right, int bottom, const Paint& paint)
{
    top = std::max(top, target.top);
    bottom = std::min(bottom, target.bottom);
    for (int y = top; y < bottom; ++y)
    {
        FillSpan(target, y, left, right, paint);
    }
}

void ThinLine(const Target& target, int x0, int y0, int x1, int y1, std::uint16_t color)
{
    if (target.left >= target.right || target.top >= target.bottom)
    {
        return;
    }
    // A line from far outside is first cut to a box a little larger than the target, so
    // the walk below stays short; the cut ends fall outside the target and are not painted.
    constexpr std::int64_t kNear = 1 << 16;
    auto far = [](int v) { return v < -kNear || v > kNear; };
    if (far(x0) || far(y0) || far(x1) || far(y1))
    {
        double ax = x0, ay = y0, dx = static_cast<double>(x1) - x0,
               dy = static_cast<double>(y1) - y0;
        double t0 = 0.0, t1 = 1.0;
        double box[4] = {target.left - 2.0, target.top - 2.0, target.right + 1.0,
                         target.bottom + 1.0};
        double p[4] = {-dx, -dy, dx, dy};
        double q[4] = {ax - box[0], ay - box[1], box[2] - ax, box[3] - ay};
        for (int i = 0; i < 4; ++i)
        {
            if (p[i] == 0.0)
            {
                if (q[i] < 0.0)
                {
                    return;
                }
                continue;
            }
            double t = q[i] / p[i];
            if (p[i] < 0.0)
            {
                t0 = std::max(t0, t);
            }
            else
            {
                t1 = std::min(t1, t);
            }
        }
        if (t0 > t1)
        {
            return;
        }
        int cx0 = static_cast<int>(std::lround(ax + t0 * dx));
        int cy0 = static_cast<int>(std::lround(ay + t0 * dy));
        if (t1 < 1.0)
        {
            x1 = static_cast<int>(std::lround(ax + t1 * dx));
            y1 = static_cast<int>(std::lround(ay + t1 * dy));
        }
        x0 = cx0;
        y0 = cy0;
    }
    int x = x0;
    int y = y0;
    int dx = std::abs(x1 - x0);
    int dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1;
    int sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    int steps = std::max(dx, -dy);
    for (int i = 0; i < steps; ++i)
    {
        Plot(target, x, y, color);
        int twice = 2 * error;
        if (twice >= dy)
        {
            error += dy;
            x += sx;
        }
        if (twice <= dx)
        {
            error += dx;
            y += sy;
        }
    }
}

void WideSegment(const Target& target, PointF a, PointF b, int width, std::uint16_t color)
{
    double radius = width / 2.0;
    // An even width has no middle pixel: sample pixel centres half a pixel on, so that a
    // pen of width w covers w rows across a level line.
    double offset = (width % 2 == 0) ? 0.5 : 0.0;
    a = {Bounded(a.x), Bounded(a.y)};
    b = {Bounded(b.x), Bounded(b.y)};
    int left = std::max(target.left, static_cast<int>(std::floor(std::min(a.x, b.x) - radius)));
    int right =
        std::min(target.right, static_cast<int>(std::ceil(std::max(a.x, b.x) + radius)) + 1);
    int top = std::max(target.top, static_cast<int>(std::floor(std::min(a.y, b.y) - radius)));
    int bottom =
        std::min(target.bottom, static_cast<int>(std::ceil(std::max(a.y, b.y) + radius)) + 1);
    double ex = b.x - a.x;
    double ey = b.y - a.y;
    double lengthSquared = ex * ex + ey * ey;
    double limit = radius * radius;
    for (int y = top; y < bottom; ++y)
    {
        std::uint16_t* row = target.pixels.Row(y);
        double py = y + offset - a.y;
        for (int x = left; x < right; ++x)
        {
            double px = x + offset - a.x;
            double t = lengthSquared > 0.0 ? (px * ex + py * ey) / lengthSquared : 0.0;
            t = std::clamp(t, 0.0, 1.0);
            double dx = px - t * ex;
            double dy = py - t * ey;
            if (dx * dx + dy * dy < limit)
            {
                row[x] = color;
            }
        }
    }
}

void FillPolygon(const Target& target, std::span<const PointF> points, const Paint& paint)
{
    if (points.size() < 3)
    {
        return;
    }
    double minY = Bounded(points[0].y);
    double maxY = minY;
    for (const PointF& p : points)
    {
        minY = std::min(minY, Bounded(p.y));
        maxY = std::max(maxY, Bounded(p.y));
    }
    int top = std::max(target.top, static_cast<int>(std::ceil(minY)));
    int bottom = std::min(target.bottom, static_cast<int>(std::ceil(maxY)));
    std::vector<double> crossings;
    for (int y = top; y < bottom; ++y)
    {
        crossings.clear();
        for (std::size_t i = 0; i < points.size(); ++i)
        {
            PointF a{Bounded(points[i].x), Bounded(points[i].y)};
            const PointF& next = points[(i + 1) % points.size()];
            PointF b{Bounded(next.x), Bounded(next.y)};
            if (a.y == b.y)
            {
                continue;
            }
            if (a.y > b.y)
            {
                std::swap(a, b);
            }
            // Each edge owns the rows from its top up to, not including, its bottom.
            if (y >= a.y && y < b.y)
            {
                crossings.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
        {
            int x0 = static_cast<int>(std::ceil(crossings[i]));
            int x1 = static_cast<int>(std::ceil(crossings[i + 1]));
            FillSpan(target, y, x0, x1, paint);
        }
    }
}

} // namespace platform::raster
