// The device context: the stand-in for the GDI context a DirectDraw surface lends
// (IDirectDrawSurface::GetDC). It draws straight into a surface's 16-bit pixels.
#pragma once

#include <cstdint>

#include "platform/pixels.h"

namespace platform
{

// A context taken on a surface's pixels; only the functions below look inside.
struct DeviceContext;

// A font made from a description (platform/font.h).
struct Font;

struct Point
{
    std::int32_t x, y;
};

// A rectangle; right and bottom are exclusive.
struct DcRect
{
    int left, top, right, bottom;
};

// A solid pen. Widths below 1 draw as 1, as GDI's do.
struct Pen
{
    int width = 1;
    ColorRef color = 0;
};

enum class BrushStyle
{
    Solid,
    Null,      // no fill
    DiagCross, // the diagonal-cross hatch in the brush colour; the gaps by the background mode
};

struct Brush
{
    BrushStyle style = BrushStyle::Solid;
    ColorRef color = 0xFFFFFF;
};

enum class BackgroundMode
{
    Transparent = 1,
    Opaque = 2,
};

// DrawText format bits, with the values GDI gives them.
constexpr unsigned kDtLeft = 0x0000;
constexpr unsigned kDtCenter = 0x0001;
constexpr unsigned kDtRight = 0x0002;
constexpr unsigned kDtWordBreak = 0x0010;
constexpr unsigned kDtCalcRect = 0x0400;
constexpr unsigned kDtNoPrefix = 0x0800;

// Stands in for IDirectDrawSurface::GetDC(): a context drawing into pixels on behalf of
// owner (the surface). Returns null when owner already has a context out, when owner is null
// or when pixels has no memory or no size.
DeviceContext* TakeDc(const void* owner, const PixelBuffer& pixels);

// Stands in for IDirectDrawSurface::ReleaseDC(): gives the context back. Null is ignored.
void ReleaseDc(DeviceContext* dc);

// True while owner has a context out.
bool HasDc(const void* owner);

// Stands in for SetPixel(): stores the colour as the 16-bit pixel can hold it. Returns the
// colour now at that point, or kInvalidColor outside the pixels (nothing is drawn then).
ColorRef SetPixel(DeviceContext* dc, int x, int y, ColorRef color);

// Stands in for GetPixel(): the colour at the point; kInvalidColor outside the pixels.
ColorRef GetPixel(DeviceContext* dc, int x, int y);

// Stands in for InvertRect(): inverts every colour bit of the pixels in the rectangle
// (right and bottom exclusive), cut to the pixels.
void InvertRect(DeviceContext* dc, int left, int top, int right, int bottom);

// ---- Pens, brushes and shapes --------------------------------------------------------------
// A new context has a black one-pixel pen, a white solid brush, a white opaque background,
// black text, the default font and its current position at (0, 0). A null context draws
// nothing and selecting into it gives back the defaults.

// Stand in for SelectObject() with a pen or a brush: return the one selected before.
Pen SelectPen(DeviceContext* dc, Pen pen);
Brush SelectBrush(DeviceContext* dc, Brush brush);

// Stand in for SetBkColor() and SetBkMode(): return the previous value.
ColorRef SetBkColor(DeviceContext* dc, ColorRef color);
BackgroundMode SetBkMode(DeviceContext* dc, BackgroundMode mode);

// Stands in for MoveToEx(): sets the current position.
void MoveTo(DeviceContext* dc, int x, int y);

// Stands in for LineTo(): a line with the pen from the current position to (x, y), which
// becomes the current position. A one-pixel pen leaves (x, y) itself unpainted.
void LineTo(DeviceContext* dc, int x, int y);

// Stands in for Polygon(): the figure closed, its inside filled with the brush by the
// alternate rule, then outlined with the pen. Fewer than two points draw nothing.
void Polygon(DeviceContext* dc, const Point* points, int count);

// Stands in for Rectangle(): filled with the brush and outlined with the pen; a one-pixel
// pen keeps everything inside left..right - 1, top..bottom - 1.
void Rectangle(DeviceContext* dc, int left, int top, int right, int bottom);

// Stands in for PolyBezier(): cubic curves through points[0], points[3], points[6], ...
// with the ones between as control points. False, drawing nothing, unless count is 3n + 1
// with n >= 1.
bool PolyBezier(DeviceContext* dc, const Point* points, int count);

// ---- Text -----------------------------------------------------------------------------------

// Stands in for SelectObject() with a font: returns the font selected before (null for the
// context's default font). A null font selects the default.
Font* SelectFont(DeviceContext* dc, Font* font);

// Stands in for SetTextColor(): returns the previous colour.
ColorRef SetTextColor(DeviceContext* dc, ColorRef color);

// Stands in for TextOutA(): draws length bytes of CP932 text with the top-left of its cell
// at (x, y), in the text colour, over the background colour when the mode is opaque.
// Bytes that are not CP932 draw as a replacement glyph.
void TextOut(DeviceContext* dc, int x, int y, const char* text, int length);

// Stands in for DrawTextA(): CP932 text (length -1: up to the terminating zero) inside
// rect. With kDtWordBreak lines break at spaces, and between the characters of Japanese
// text, where the next word would pass the right edge; line ends break always. Lines align
// left, centred or right and are cut to rect. With kDtCalcRect nothing is drawn and rect
// becomes the text's extent from its top-left corner. Returns the text's height in pixels.
int DrawText(DeviceContext* dc, const char* text, int length, DcRect& rect, unsigned format);

} // namespace platform
