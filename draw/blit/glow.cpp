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

// Adds the intensities to each 5-bit channel of the pixel, each held at 31.
void AddGlow(Pixel& pixel, const Intensity& add)
{
    const PixelFormat& f = PixelFormatInfo;
    std::uint32_t p = pixel;
    std::uint32_t red = std::min<std::uint32_t>(((p >> f.redShift5) & 31) + add.red, 31);
    std::uint32_t green = std::min<std::uint32_t>(((p >> f.greenShift5) & 31) + add.green, 31);
    std::uint32_t blue = std::min<std::uint32_t>(((p >> f.blueShift5) & 31) + add.blue, 31);
    pixel = Join5(red, green, blue);
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
    auto at = [&](int ax, int ay) -> Pixel& { return view.destination.Row(ay)[ax]; };
    for (int k = 0; k < kGlowRings; ++k)
    {
        in = Intensity{Dim(in.red, 1), Dim(in.green, 1), Dim(in.blue, 1)};
        if (in.red == 0 && in.green == 0 && in.blue == 0)
        {
            return;
        }
        bool leftIn = px - k >= clip.left;
        bool rightIn = px + k < clip.right;
        int yu = py - (k + 1);
        if (yu >= clip.top)
        {
            if (g.directions & kUp)
            {
                AddGlow(at(px, yu), in);
            }
            if ((g.directions & kUpLeft) && leftIn)
            {
                AddGlow(at(px - k, yu), in);
            }
            if ((g.directions & kUpRight) && rightIn)
            {
                AddGlow(at(px + k, yu), in);
            }
        }
        int yd = py + k + 1;
        if (yd < clip.bottom)
        {
            if (g.directions & kDown)
            {
                AddGlow(at(px, yd), in);
            }
            if ((g.directions & kDownLeft) && leftIn)
            {
                AddGlow(at(px - k, yd), in);
            }
            if ((g.directions & kDownRight) && rightIn)
            {
                AddGlow(at(px + k, yd), in);
            }
        }
        if ((g.directions & kLeft) && leftIn)
        {
            AddGlow(at(px - k, py), in);
        }
        if ((g.directions & kRight) && rightIn)
        {
            AddGlow(at(px + k, py), in);
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
