// The device context's rasteriser: spans, GDI lines, wide pen strokes and polygon fills over
// 16-bit pixels, each cut to a clip box. Coordinates name pixel centres.
#pragma once

#include <cstdint>
#include <span>

#include "platform/pixels.h"

namespace platform::raster
{

// Where drawing may land: the pixels and a box inside them (right and bottom exclusive).
struct Target
{
    PixelBuffer pixels;
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The whole of the pixels as a target.
Target WholeTarget(const PixelBuffer& pixels);

// A target cut to the box; an empty box gives an empty target.
Target CutTarget(const Target& target, int left, int top, int right, int bottom);

// How an area is painted: one colour, or the diagonal-cross hatch with its gaps painted in
// the background colour or left alone.
struct Paint
{
    bool hatched = false;
    std::uint16_t color = 0;
    std::uint16_t background = 0;
    bool opaqueGaps = true;
};

struct PointF
{
    double x, y;
};

// Pixels x0 to x1 - 1 of row y.
void FillSpan(const Target& target, int y, int x0, int x1, const Paint& paint);

// Pixels of the rectangle, right and bottom exclusive.
void FillBox(const Target& target, int left, int top, int right, int bottom, const Paint& paint);

// A one-pixel line from (x0, y0) towards (x1, y1); the end point is left unpainted.
void ThinLine(const Target& target, int x0, int y0, int x1, int y1, std::uint16_t color);

// A solid pen stroke of the given width (2 or more) with round ends: every pixel whose
// centre lies closer to the segment than half the width.
void WideSegment(const Target& target, PointF a, PointF b, int width, std::uint16_t color);

// The inside of the closed polygon by the alternate (even-odd) rule: a pixel is inside when
// its centre is; the right and bottom boundaries are left out.
void FillPolygon(const Target& target, std::span<const PointF> points, const Paint& paint);

} // namespace platform::raster
