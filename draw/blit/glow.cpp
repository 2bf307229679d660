// voDraw::PutGlow: a keyed copy with a fading halo added around every opaque source pixel, its
// strength dithered by randomTable3. The other colour effects are in color_effects.cpp.
#include <algorithm>
#include <cstdint>

#include "draw/blit/blit_internal.h"

std::uint32_t glowTableIndex = 0;

namespace
{

using Pixel = std::uint16_t;

constexpr std::uint32_t kGlowTableLength = 10000; // the index returns to 0 here
constexpr int kGlowRings = 31;

// The direction bits: a compass without its centre.
constexpr int kUpLeft = 0x20, kUp = 0x40, kUpRight = 0x80;
constexpr int kLeft = 0x08, kRight = 0x10;
constexpr int kDownLeft = 0x01, kDown = 0x02, kDownRight = 0x04;

struct Intensity
{
    std::uint32_t red, green, blue;
};

// The next entry of randomTable3 (0..2). An index past the table, which only a caller writing
// glowTableIndex can cause, starts again at 0 rather than reading outside it.
std::uint32_t NextGlowRandom()
{
    if (glowTableIndex >= kGlowTableLength || glowTableIndex >= randomTable3.size())
    {
        glowTableIndex = 0;
    }
    std::uint32_t r = randomTable3[glowTableIndex];
    ++glowTableIndex;
    if (glowTableIndex >= kGlowTableLength)
    {
        glowTableIndex = 0;
    }
    return r;
}

std::uint32_t Dim(std::uint32_t value, std::uint32_t by)
{
    return value > by ? value - by : 0;
}

// Intensities placed in the 5-bit fields, and the fields themselves.
struct Placed
{
    std::uint32_t red, green, blue;
};

Placed Place(const Intensity& in)
{
    const PixelFormat& f = PixelFormatInfo;
    return Placed{in.red << f.redShift5, in.green << f.greenShift5, in.blue << f.blueShift5};
}

// Adds the intensities to each 5-bit channel of the pixel, each held at 31. Working on the
// fields in place gives the same as splitting and joining: adding and limiting scale alike.
void AddGlow(Pixel& pixel, const Placed& add, const Placed& field)
{
    std::uint32_t p = pixel;
    std::uint32_t red = std::min((p & field.red) + add.red, field.red);
    std::uint32_t green = std::min((p & field.green) + add.green, field.green);
    std::uint32_t blue = std::min((p & field.blue) + add.blue, field.blue);
    pixel = static_cast<Pixel>(red | green | blue);
}

struct GlowSettings
{
    std::uint32_t shiftRed, shiftGreen, shiftBlue; // 0..31
    int directions;                                // the low 16 bits
    bool drawSource;
};

// The rings around the source pixel at (px, py) of the back buffer, nearest first, until the
// intensities run out. Ring k lies k + 1 rows above and below and k columns to each side.
void GlowPixel(const BlitView& view, int px, int py, Pixel s, const GlowSettings& g)
{
    const PixelFormat& f = PixelFormatInfo;
    const Rect& clip = view.clip;
    std::uint32_t r = NextGlowRandom();
    Intensity in{Dim(((s >> f.redShift5) & 31) >> g.shiftRed, r),
                 Dim(((s >> f.greenShift5) & 31) >> g.shiftGreen, r),
                 Dim(((s >> f.blueShift5) & 31) >> g.shiftBlue, r)};
    const Placed field = Place(Intensity{31, 31, 31});
    auto at = [&](int ax, int ay) -> Pixel& { return view.destination.Row(ay)[ax]; };
    for (int k = 0; k < kGlowRings; ++k)
    {
        in = Intensity{Dim(in.red, 1), Dim(in.green, 1), Dim(in.blue, 1)};
        if (in.red == 0 && in.green == 0 && in.blue == 0)
        {
            return;
        }
        const Placed add = Place(in);
        bool leftIn = px - k >= clip.left;
        bool rightIn = px + k < clip.right;
        int yu = py - (k + 1);
        if (yu >= clip.top)
        {
            if (g.directions & kUp)
            {
                AddGlow(at(px, yu), add, field);
            }
            if ((g.directions & kUpLeft) && leftIn)
            {
                AddGlow(at(px - k, yu), add, field);
            }
            if ((g.directions & kUpRight) && rightIn)
            {
                AddGlow(at(px + k, yu), add, field);
            }
        }
        int yd = py + k + 1;
        if (yd < clip.bottom)
        {
            if (g.directions & kDown)
            {
                AddGlow(at(px, yd), add, field);
            }
            if ((g.directions & kDownLeft) && leftIn)
            {
                AddGlow(at(px - k, yd), add, field);
            }
            if ((g.directions & kDownRight) && rightIn)
            {
                AddGlow(at(px + k, yd), add, field);
            }
        }
        if ((g.directions & kLeft) && leftIn)
        {
            AddGlow(at(px - k, py), add, field);
        }
        if ((g.directions & kRight) && rightIn)
        {
            AddGlow(at(px + k, py), add, field);
        }
    }
}

std::uint32_t ClampShift(int shift)
{
    return static_cast<std::uint32_t>(std::clamp(shift, 0, 31));
}

} // namespace

namespace voDraw
{

int PutGlow(int x, int y, int shiftRed, int shiftGreen, int shiftBlue, int directions,
            int drawSource, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    GlowSettings g{ClampShift(shiftRed), ClampShift(shiftGreen), ClampShift(shiftBlue),
                   directions & 0xFFFF, drawSource != 0};
    return BlitFrame(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                     [&](const BlitView& view)
                     {
                         // Pixel by pixel in row order: a halo may land on pixels that later
                         // source pixels draw over or brighten again.
                         for (int j = 0; j < view.height; ++j)
                         {
                             const Pixel* s = view.SourceRow(j);
                             for (int i = 0; i < view.width; ++i)
                             {
                                 if (s[i] == 0)
                                 {
                                     continue;
                                 }
                                 if (g.drawSource)
                                 {
                                     view.DestinationRow(j)[i] = s[i];
                                 }
                                 GlowPixel(view, view.x + i, view.y + j, s[i], g);
                             }
                         }
                     });
}

} // namespace voDraw
