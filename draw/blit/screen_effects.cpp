// Screen effects: rising smoke, blur, enlargements, mosaic and grain, worked in place on a region
// of the back buffer. Meant to be called once per frame so that the effect builds up.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "draw/blit/blit_internal.h"
#include "system/system.h"

namespace
{

constexpr std::uint32_t kTableEntries = 10000; // randomTable3's size
constexpr std::uint32_t kWrapRange = 1000;     // an index past the table restarts below this

// Each routine's own position in randomTable3, kept from program start to end.
struct EffectState
{
    std::uint32_t riseCounter = 0;     // ScreenRise: pixels since the last copied one
    std::uint32_t riseIndex = 0;       // ScreenRise: table index
    std::uint32_t riseFadeCounter = 0; // ScreenRiseFade: the same, its own
    std::uint32_t riseFadeIndex = 0;
    std::uint32_t noiseIndex = 0;    // ScreenNoise
    std::uint32_t noiseRgbIndex = 0; // ScreenNoiseRGB
};
EffectState effects;

// A region cut to the back buffer.
struct Region
{
    int x, y, width, height;
};

// Cuts (x, y, width, height) to the back buffer; false when less than one pixel is left, so no
// loop bound can wrap and no read or write leaves the surface.
bool LimitRegion(int x, int y, int width, int height, const platform::PixelBuffer& back,
                 Region& out)
{
    std::int64_t left = std::max<std::int64_t>(x, 0);
    std::int64_t top = std::max<std::int64_t>(y, 0);
    std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + width, back.width);
    std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + height, back.height);
    if (right - left < 1 || bottom - top < 1)
    {
        return false;
    }
    out = Region{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                 static_cast<int>(bottom - top)};
    return true;
}

// The next table index: an index reaching the end restarts at a random place near the start.
std::uint32_t NextIndex(std::uint32_t index)
{
    ++index;
    if (index >= kTableEntries)
    {
        index = static_cast<std::uint32_t>(Random()) % kWrapRange;
    }
    return index;
}

// Runs body(back buffer view) on the locked back buffer. 0 without 16-bit tables or when the
// lock fails, otherwise 1.
template <class Body>
int OnBackBuffer(Body&& body)
{
    if (!BlittersReady())
    {
        return 0;
    }
    platform::PixelBuffer back;
    if (platform::LockSurface(BackBuffer(), back) != platform::SurfaceResult::Ok)
    {
        return 0;
    }
    body(back);
    platform::UnlockSurface(BackBuffer());
    return 1;
}

// One channel lowered by a step when its flag is on, never below 0.
std::uint32_t Fade(std::uint32_t value, bool on)
{
    return on && value > 0 ? value - 1 : value;
}

// The rising smoke of ScreenRise and ScreenRiseFade: every interior pixel takes the one below
// it, except that after a copy a table entry of 2 smooths one pixel from the four around the
// pixel below. fade[c] lowers the smoothed channels.
void Rise(const platform::PixelBuffer& back, const Region& r, std::uint32_t& counter,
          std::uint32_t& index, const bool fade[3])
{
    const std::vector<Rgb5>& rgb = pixelToRgb5;
    const int lastRow = back.height - 1;
    for (int j = 1; j < r.height - 1; ++j)
    {
        int t = r.y + j;
        std::uint16_t* row = back.Row(t);
        const std::uint16_t* below = back.Row(t + 1);
        // The smoothing reads two rows down; at the back buffer's bottom it reads the last row
        // again rather than past the surface.
        const std::uint16_t* below2 = back.Row(std::min(t + 2, lastRow));
        for (int i = 1; i < r.width - 1; ++i)
        {
            int c = r.x + i;
            ++counter;
            if (static_cast<std::int32_t>(counter) <
                static_cast<std::int8_t>(randomTable3[index]))
            {
                const Rgb5& a = rgb[below[c - 1]];
                const Rgb5& b = rgb[below[c + 1]];
                const Rgb5& m = rgb[row[c]];
                const Rgb5& d = rgb[below2[c]];
                std::uint32_t red = (a.red + b.red + m.red + d.red) >> 2;
                std::uint32_t green = (a.green + b.green + m.green + d.green) >> 2;
                std::uint32_t blue = (a.blue + b.blue + m.blue + d.blue) >> 2;
                row[c] = Join5(Fade(red, fade[0]), Fade(green, fade[1]), Fade(blue, fade[2]));
            }
            else
            {
                row[c] = below[c];
                counter = 0;
                index = NextIndex(index);
            }
        }
    }
}

// The in-place four-neighbour blur of ScreenBlur and ScreenBlurFade. The left and upper
// neighbours are already blurred: the pass runs in place, so the blur leans down and right.
void Blur(const platform::PixelBuffer& back, const Region& r, const bool fade[3])
{
    const std::vector<Rgb5>& rgb = pixelToRgb5;
    for (int j = 1; j < r.height - 1; ++j)
    {
        int t = r.y + j;
        std::uint16_t* row = back.Row(t);
        const std::uint16_t* above = back.Row(t - 1);
        const std::uint16_t* below = back.Row(t + 1);
        // The left neighbour's channels are those just written: kept here rather than read
        // back, which would wait on the store and the table.
        const Rgb5& first = rgb[row[r.x]];
        std::uint32_t leftRed = first.red, leftGreen = first.green, leftBlue = first.blue;
        for (int i = 1; i < r.width - 1; ++i)
        {
            int c = r.x + i;
            const Rgb5& b = rgb[row[c + 1]];
            const Rgb5& u = rgb[above[c]];
            const Rgb5& d = rgb[below[c]];
            leftRed = Fade((leftRed + b.red + u.red + d.red) >> 2, fade[0]);
            leftGreen = Fade((leftGreen + b.green + u.green + d.green) >> 2, fade[1]);
            leftBlue = Fade((leftBlue + b.blue + u.blue + d.blue) >> 2, fade[2]);
            row[c] = Join5(leftRed, leftGreen, leftBlue);
        }
    }
}

// The grain of ScreenNoise and ScreenNoiseRGB: each pixel's flagged channels gain the next
// table entry shifted left by shift, held at 31; every pixel is rewritten in 5-bit form.
void Noise(const platform::PixelBuffer& back, const Region& r, int shift, std::uint32_t& index,
           const bool on[3])
{
    const std::vector<Rgb5>& rgb = pixelToRgb5;
    for (int j = 0; j < r.height; ++j)
    {
        std::uint16_t* row = back.Row(r.y + j) + r.x;
        for (int i = 0; i < r.width; ++i)
        {
            std::uint32_t n = randomTable3[index];
            index = NextIndex(index);
            if (shift != 0)
            {
                // Shifts of 32 and more leave nothing of the entry, as a wide shift would.
                n = shift > 0 && shift < 32 ? n << shift : 0;
            }
            const Rgb5& p = rgb[row[i]];
            row[i] = Join5(on[0] ? std::min<std::uint32_t>(p.red + n, 31) : p.red,
                           on[1] ? std::min<std::uint32_t>(p.green + n, 31) : p.green,
                           on[2] ? std::min<std::uint32_t>(p.blue + n, 31) : p.blue);
        }
    }
}

// The enlargements: the region written factor times larger into Buffer (only the top-left
// dot x dot pixels of each block when dotted), then put opaquely back at (x, y).
int Zoom(int x, int y, int width, int height, int dotted, int factor)
{
    const ObjectId buffer = 0;
    if (!BlittersReady() || ObjectSurface(buffer) == nullptr)
    {
        return 0;
    }
    platform::PixelBuffer scratch;
    platform::PixelBuffer back;
    if (!LockBlitSurfaces(buffer, scratch, back))
    {
        return 0;
    }
    Region r{};
    bool any = LimitRegion(x, y, width, height, back, r);
    if (any)
    {
        // An enlargement larger than Buffer is cut to what Buffer holds.
        r.width = std::min(r.width, scratch.width / factor);
        r.height = std::min(r.height, scratch.height / factor);
        any = r.width >= 1 && r.height >= 1;
    }
    if (any)
    {
        const int dot = dotted != 0 ? factor / 2 : factor;
        for (int j = 0; j < r.height; ++j)
        {
            const std::uint16_t* from = back.Row(r.y + j) + r.x;
            for (int n = 0; n < dot; ++n)
            {
                std::uint16_t* to = scratch.Row(factor * j + n);
                for (int i = 0; i < r.width; ++i)
                {
                    std::fill_n(to + factor * i, dot, from[i]);
                }
            }
        }
    }
    UnlockBlitSurfaces(buffer);
    if (any)
    {
        voDraw::PutOpaque(r.x, r.y, buffer, 0, 0, factor * r.width, factor * r.height);
    }
    return 1;
}

// Whether offset (m, n) lies inside the mosaic's disc: trunc(sqrt(m^2 + n^2)) < radius. For
// radii up to 2^20 the square root is exact enough that comparing squares gives the same
// answer; beyond that the root itself is taken.
bool InsideDisc(std::int64_t m, std::int64_t n, std::int64_t radius)
{
    std::int64_t distance2 = m * m + n * n;
    if (radius <= (std::int64_t{1} << 20))
    {
        return distance2 < radius * radius;
    }
    return static_cast<std::int64_t>(std::sqrt(static_cast<double>(distance2))) < radius;
}

} // namespace

namespace voDraw
{

int ScreenRise(int x, int y, int width, int height)
{
    static const bool kNoFade[3] = {false, false, false};
    return OnBackBuffer(
        [&](const platform::PixelBuffer& back)
        {
            Region r{};
            if (LimitRegion(x, y, width, height, back, r))
            {
                Rise(back, r, effects.riseCounter, effects.riseIndex, kNoFade);
            }
        });
}

int ScreenRiseFade(int fadeRed, int fadeGreen, int fadeBlue, int x, int y, int width, int height)
{
    const bool fade[3] = {fadeRed != 0, fadeGreen != 0, fadeBlue != 0};
    return OnBackBuffer(
        [&](const platform::PixelBuffer& back)
        {
            Region r{};
            if (LimitRegion(x, y, width, height, back, r))
            {
                Rise(back, r, effects.riseFadeCounter, effects.riseFadeIndex, fade);
            }
        });
}

int ScreenBlur(int x, int y, int width, int height)
{
    static const bool kNoFade[3] = {false, false, false};
    return OnBackBuffer(
        [&](const platform::PixelBuffer& back)
        {
            Region r{};
            if (LimitRegion(x, y, width, height, back, r))
            {
                Blur(back, r, kNoFade);
            }
        });
}

int ScreenBlurFade(int fadeRed, int fadeGreen, int fadeBlue, int x, int y, int width, int height)
{
    const bool fade[3] = {fadeRed != 0, fadeGreen != 0, fadeBlue != 0};
    return OnBackBuffer(
        [&](const platform::PixelBuffer& back)
        {
            Region r{};
            if (LimitRegion(x, y, width, height, back, r))
            {
                Blur(back, r, fade);
            }
        });
}

int ScreenZoom2(int x, int y, int width, int height, int dotted)
{
    return Zoom(x, y, width, height, dotted, 2);
}

int ScreenZoom4(int x, int y, int width, int height, int dotted)
{
    return Zoom(x, y, width, height, dotted, 4);
}

int ScreenMosaic(int centreX, int centreY, int radius, int block)
{
    return OnBackBuffer(
        [&](const platform::PixelBuffer& back)
        {
            if (block < 1)
            {
                return;
            }
            // Offsets from the centre, limited to the screen; wide, so that no far centre or
            // radius overflows.
            const std::int64_t cx = centreX;
            const std::int64_t cy = centreY;
            const std::int64_t r = radius;
            std::int64_t xFrom = cx - r < 0 ? -cx : -r;
            std::int64_t xTo = cx + r >= back.width ? back.width - cx : r;
            std::int64_t yFrom = cy - r < 0 ? -cy : -r;
            std::int64_t yTo = cy + r >= back.height ? back.height - cy : r;
            for (std::int64_t dy = yFrom; dy < yTo; dy += block)
            {
                const int top = static_cast<int>(cy + dy);
                const int cellHeight =
                    static_cast<int>(std::min<std::int64_t>(block, back.height - top));
                for (std::int64_t dx = xFrom; dx < xTo; dx += block)
                {
                    const int left = static_cast<int>(cx + dx);
                    const int cellWidth =
                        static_cast<int>(std::min<std::int64_t>(block, back.width - left));
                    const std::uint16_t colour = back.Row(top)[left];
                    for (int n = 0; n < cellHeight; ++n)
                    {
                        std::uint16_t* row = back.Row(top + n) + left;
                        for (int m = 0; m < cellWidth; ++m)
                        {
                            if (InsideDisc(dx + m, dy + n, r))
                            {
                                row[m] = colour;
                            }
                        }
                    }
                }
            }
        });
}

int ScreenNoise(int shift, int x, int y, int width, int height)
{
    static const bool kAll[3] = {true, true, true};
    return OnBackBuffer(
        [&](const platform::PixelBuffer& back)
        {
            Region r{};
            if (LimitRegion(x, y, width, height, back, r))
            {
                Noise(back, r, shift, effects.noiseIndex, kAll);
            }
        });
}

int ScreenNoiseRGB(int noiseRed, int noiseGreen, int noiseBlue, int shift, int x, int y,
                   int width, int height)
{
    const bool on[3] = {noiseRed != 0, noiseGreen != 0, noiseBlue != 0};
    return OnBackBuffer(
        [&](const platform::PixelBuffer& back)
        {
            Region r{};
            if (LimitRegion(x, y, width, height, back, r))
            {
                Noise(back, r, shift, effects.noiseRgbIndex, on);
            }
        });
}

} // namespace voDraw
