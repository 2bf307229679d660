// Colour-effect blitters: keyed copies that change the source's colours (channels, brightness,
// darkening, grey, box blur, smoothed edges) or the background under it (displacement). The
// glow is in glow.cpp; the frame every member runs in is in frame.cpp.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "draw/blit/blit_internal.h"

namespace
{

using Pixel = std::uint16_t;

// Where the three 5-bit channel values sit in a pixel. A channel's 5-bit value is
// (pixel >> shift) & 31 in both layouts: the 565 green's lowest bit falls below its field.
struct Fields5
{
    std::uint32_t red, green, blue;

    std::uint32_t Red(std::uint32_t p) const
    {
        return (p >> red) & 31;
    }
    std::uint32_t Green(std::uint32_t p) const
    {
        return (p >> green) & 31;
    }
    std::uint32_t Blue(std::uint32_t p) const
    {
        return (p >> blue) & 31;
    }
    Pixel Join(std::uint32_t r, std::uint32_t g, std::uint32_t b) const
    {
        return static_cast<Pixel>((r << red) | (g << green) | (b << blue));
    }
};

Fields5 CurrentFields5()
{
    const PixelFormat& f = PixelFormatInfo;
    return Fields5{f.redShift5, f.greenShift5, f.blueShift5};
}

// BlitRows with the row step compiled for the active instruction set.
template <class RowStep>
int VectorRows(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom,
               RowStep&& step)
{
    return BlitRows(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                    [&](const Pixel* source, Pixel* destination, int width)
                    { RunVectorised([&] { step(source, destination, width); }); });
}

// ---- Channels, darkening, grey ----------------------------------------------------------------

void ChannelsRow(const Pixel* __restrict s, Pixel* __restrict d, int width, Pixel mask)
{
    for (int i = 0; i < width; ++i)
    {
        d[i] = s[i] != 0 ? static_cast<Pixel>(s[i] & mask) : d[i];
    }
}

// max(value - t, 0) for a 5-bit value.
inline std::uint32_t Darken5(std::uint32_t value, std::uint32_t t)
{
    return value > t ? value - t : 0;
}

struct DarkenLevels
{
    std::uint32_t red, green, blue; // 31 - level, each 0..31
};

void DarkenRow(const Pixel* __restrict s, Pixel* __restrict d, int width, Fields5 f,
               DarkenLevels t)
{
    for (int i = 0; i < width; ++i)
    {
        std::uint32_t p = s[i];
        Pixel v = f.Join(Darken5(f.Red(p), t.red), Darken5(f.Green(p), t.green),
                         Darken5(f.Blue(p), t.blue));
        d[i] = p != 0 ? v : d[i];
    }
}

// n / 3 for n = 0..93 (three 5-bit values): 43/128 exceeds 1/3 by 1/384, which stays below
// the gap to the next whole number over that range.
constexpr std::uint32_t DivideBy3(std::uint32_t n)
{
    return (n * 43) >> 7;
}
constexpr bool DivideBy3Exact()
{
    for (std::uint32_t n = 0; n <= 93; ++n)
    {
        if (DivideBy3(n) != n / 3)
        {
            return false;
        }
    }
    return true;
}
static_assert(DivideBy3Exact());

void GrayRow(const Pixel* __restrict s, Pixel* __restrict d, int width, Fields5 f)
{
    for (int i = 0; i < width; ++i)
    {
        std::uint32_t p = s[i];
        std::uint32_t g = DivideBy3(f.Red(p) + f.Green(p) + f.Blue(p));
        d[i] = p != 0 ? f.Join(g, g, g) : d[i];
    }
}

int ClampLevel(int level)
{
    return std::clamp(level, 0, 31);
}

// ---- Brightness -----------------------------------------------------------------------------

// A channel's native field: value (pixel >> shift) & max, joined back unmasked.
struct NativeField
{
    std::uint32_t shift, max;
};

// A factor for whole-range channel products: NaN and infinities replaced by values that give
// the same truncated product for every channel value 0..63 (NaN and 0 x inf truncate to 0;
// 2^32 already carries any channel of 1 and more past the int range).
double ProductFactor(float factor)
{
    if (std::isnan(factor))
    {
        return 0.0;
    }
    return std::clamp(static_cast<double>(factor), -4294967296.0, 4294967296.0);
}

// trunc(channel x factor), the product formed in double (exact for a 6-bit channel and a float
// factor) and held within the int range.
inline std::uint32_t ScaleChannel(std::uint32_t channel, double factor)
{
    double product = static_cast<double>(static_cast<std::int32_t>(channel)) * factor;
    product = std::min(std::max(product, static_cast<double>(INT_MIN)),
                       static_cast<double>(INT_MAX));
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(product));
}

struct BrightnessFactors
{
    double red, green, blue;
};

void BrightnessRow(const Pixel* __restrict s, Pixel* __restrict d, int width, NativeField r,
                   NativeField g, NativeField b, BrightnessFactors k)
{
    for (int i = 0; i < width; ++i)
    {
        std::uint32_t p = s[i];
        // Joined unmasked: a product past its field spills into the next one.
        std::uint32_t v = (ScaleChannel((p >> r.shift) & r.max, k.red) << r.shift) |
                          (ScaleChannel((p >> g.shift) & g.max, k.green) << g.shift) |
                          (ScaleChannel((p >> b.shift) & b.max, k.blue) << b.shift);
        d[i] = p != 0 ? static_cast<Pixel>(v) : d[i];
    }
}

// ---- Smoothed edges ---------------------------------------------------------------------------

// sum / count for count 2..5 and sum <= 31 x count, by multiplications that are exact over
// that range, so the row loop needs no division.
inline std::uint32_t DivideSmall(std::uint32_t sum, std::uint32_t count)
{
    std::uint32_t by3 = (sum * 43) >> 7;  // exact to 93
    std::uint32_t by5 = (sum * 205) >> 10; // exact to 155
    return count == 2 ? sum >> 1 : count == 3 ? by3 : count == 4 ? sum >> 2 : by5;
}

// One row of smoothed edges. The source rows are padded by one pixel at each end with an
// opaque value, and a missing row above or below is all opaque, so neighbours outside the
// rectangle never count. background is the back buffer's row as it was, padded the same way;
// backUp and backDown are the rows above and below, read only where the source there is
// transparent (pixels this call never writes).
void SmoothEdgesRow(const Pixel* __restrict up, const Pixel* __restrict row,
                    const Pixel* __restrict down, const Pixel* __restrict background,
                    const Pixel* __restrict backUp, const Pixel* __restrict backDown,
                    Pixel* __restrict d, int width, Fields5 f)
{
    for (int i = 0; i < width; ++i)
    {
        std::uint32_t s = row[i + 1];
        std::uint32_t l = row[i] == 0;
        std::uint32_t r = row[i + 2] == 0;
        std::uint32_t u = up[i + 1] == 0;
        std::uint32_t n = down[i + 1] == 0;
        std::uint32_t pl = l ? background[i] : 0;
        std::uint32_t pr = r ? background[i + 2] : 0;
        std::uint32_t pu = u ? backUp[i] : 0;
        std::uint32_t pn = n ? backDown[i] : 0;
        std::uint32_t count = 1 + l + r + u + n;
        std::uint32_t red = f.Red(s) + f.Red(pl) + f.Red(pr) + f.Red(pu) + f.Red(pn);
        std::uint32_t green = f.Green(s) + f.Green(pl) + f.Green(pr) + f.Green(pu) + f.Green(pn);
        std::uint32_t blue = f.Blue(s) + f.Blue(pl) + f.Blue(pr) + f.Blue(pu) + f.Blue(pn);
        Pixel mixed = f.Join(DivideSmall(red, count), DivideSmall(green, count),
                             DivideSmall(blue, count));
        Pixel v = count < 2 ? static_cast<Pixel>(s) : mixed;
        d[i] = s != 0 ? v : d[i];
    }
}

// Copies width pixels to padded[1..width], with an opaque pad at each end.
void PadRow(const Pixel* row, int width, std::vector<Pixel>& padded)
{
    padded.front() = 1;
    std::copy(row, row + width, padded.begin() + 1);
    padded[static_cast<std::size_t>(width) + 1] = 1;
}

void SmoothEdges(const BlitView& view)
{
    const int w = view.width;
    const int h = view.height;
    if (w == 0 || h == 0)
    {
        return;
    }
    Fields5 f = CurrentFields5();
    const std::size_t padded = static_cast<std::size_t>(w) + 2;
    std::vector<Pixel> up(padded, 1), row(padded, 1), down(padded, 1), background(padded, 0);
    PadRow(view.SourceRow(0), w, row);
    if (h > 1)
    {
        PadRow(view.SourceRow(1), w, down);
    }
    for (int j = 0; j < h; ++j)
    {
        Pixel* d = view.DestinationRow(j);
        std::copy(d, d + w, background.begin() + 1);
        const Pixel* backUp = j > 0 ? view.DestinationRow(j - 1) : background.data() + 1;
        const Pixel* backDown = j + 1 < h ? view.DestinationRow(j + 1) : background.data() + 1;
        RunVectorised(
            [&] {
                SmoothEdgesRow(up.data(), row.data(), down.data(), background.data(), backUp,
                               backDown, d, w, f);
            });
        // Roll the source rows down by one.
        std::swap(up, row);
        std::swap(row, down);
        if (j + 2 < h)
        {
            PadRow(view.SourceRow(j + 2), w, down);
        }
        else
        {
            std::fill(down.begin(), down.end(), Pixel{1});
        }
    }
}

// ---- Box blur ---------------------------------------------------------------------------------

// The 2 x 2 window whose top-left is column i of rows a and b, averaged per 5-bit channel.
inline Pixel Blur2(const Pixel* __restrict a, const Pixel* __restrict b, int i, Fields5 f)
{
    std::uint32_t p0 = a[i], p1 = a[i + 1], p2 = b[i], p3 = b[i + 1];
    std::uint32_t red = (f.Red(p0) + f.Red(p1) + f.Red(p2) + f.Red(p3)) >> 2;
    std::uint32_t green = (f.Green(p0) + f.Green(p1) + f.Green(p2) + f.Green(p3)) >> 2;
    std::uint32_t blue = (f.Blue(p0) + f.Blue(p1) + f.Blue(p2) + f.Blue(p3)) >> 2;
    return f.Join(red, green, blue);
}

// One row of the 2 x 2 blur: a and b are the window's rows, key the pixel's own source row.
// The last column's window slides back by one, so it repeats the one before it.
void Blur2Row(const Pixel* __restrict a, const Pixel* __restrict b, const Pixel* __restrict key,
              Pixel* __restrict d, int width, Fields5 f)
{
    for (int i = 0; i + 1 < width; ++i)
    {
        Pixel v = Blur2(a, b, i, f);
        d[i] = key[i] != 0 ? v : d[i];
    }
    int last = width - 1;
    if (key[last] != 0)
    {
        d[last] = Blur2(a, b, last - 1, f);
    }
}

// Any window size: per-column sums over the window's rows, kept as the window moves down,
// then each pixel's sum over the window's columns divided by n x n.
void BlurAny(const BlitView& view, int n, Fields5 f)
{
    const int w = view.width;
    const int h = view.height;
    const std::uint32_t area = static_cast<std::uint32_t>(n) * static_cast<std::uint32_t>(n);
    std::vector<std::uint32_t> red(w, 0), green(w, 0), blue(w, 0);
    auto addRow = [&](int j, bool add)
    {
        const Pixel* s = view.SourceRow(j);
        for (int i = 0; i < w; ++i)
        {
            red[i] = add ? red[i] + f.Red(s[i]) : red[i] - f.Red(s[i]);
            green[i] = add ? green[i] + f.Green(s[i]) : green[i] - f.Green(s[i]);
            blue[i] = add ? blue[i] + f.Blue(s[i]) : blue[i] - f.Blue(s[i]);
        }
    };
    for (int j = 0; j < n; ++j)
    {
        addRow(j, true);
    }
    int top = 0;
    for (int j = 0; j < h; ++j)
    {
        // The window starts at row j, or ends at the last row when it would pass it.
        int wantedTop = std::min(j, h - n);
        while (top < wantedTop)
        {
            addRow(top, false);
            addRow(top + n, true);
            ++top;
        }
        const Pixel* key = view.SourceRow(j);
        Pixel* d = view.DestinationRow(j);
        std::uint32_t sumRed = 0, sumGreen = 0, sumBlue = 0;
        for (int i = 0; i < n; ++i)
        {
            sumRed += red[i];
            sumGreen += green[i];
            sumBlue += blue[i];
        }
        int left = 0;
        for (int i = 0; i < w; ++i)
        {
            int wantedLeft = std::min(i, w - n);
            if (left < wantedLeft)
            {
                sumRed += red[left + n] - red[left];
                sumGreen += green[left + n] - green[left];
                sumBlue += blue[left + n] - blue[left];
                ++left;
            }
            if (key[i] != 0)
            {
                d[i] = f.Join(sumRed / area, sumGreen / area, sumBlue / area);
            }
        }
    }
}

void Blur(const BlitView& view, int n)
{
    const int w = view.width;
    const int h = view.height;
    // n is at least 1 here; a window wider or taller than what is visible shrinks to it.
    n = std::min({n, w, h});
    if (n < 1)
    {
        return;
    }
    Fields5 f = CurrentFields5();
    if (n != 2)
    {
        BlurAny(view, n, f);
        return;
    }
    for (int j = 0; j < h; ++j)
    {
        int top = std::min(j, h - 2);
        const Pixel* a = view.SourceRow(top);
        const Pixel* b = view.SourceRow(top + 1);
        const Pixel* key = view.SourceRow(j);
        Pixel* d = view.DestinationRow(j);
        RunVectorised([&] { Blur2Row(a, b, key, d, w, f); });
    }
}

// ---- Displacement -----------------------------------------------------------------------------

void Displace(const BlitView& view, int t)
{
    Fields5 f = CurrentFields5();
    const int h = view.height;
    for (int j = 0; j < h; ++j)
    {
        const Pixel* s = view.SourceRow(j);
        Pixel* d = view.DestinationRow(j);
        // Rows below this one are not rewritten yet, so every read sees the background.
        for (int i = 0; i < view.width; ++i)
        {
            if (s[i] == 0)
            {
                continue;
            }
            std::int64_t shift = static_cast<std::int64_t>(f.Red(s[i])) - t;
            if (shift < 1 || shift >= h - j)
            {
                shift = 0;
            }
            d[i] = view.DestinationRow(j + static_cast<int>(shift))[i];
        }
    }
}

} // namespace

namespace voDraw
{

int PutChannels(int x, int y, int keepRed, int keepGreen, int keepBlue, ObjectId id, int srcLeft,
                int srcTop, int srcRight, int srcBottom)
{
    const PixelFormat& f = PixelFormatInfo;
    Pixel mask = static_cast<Pixel>((keepRed != 0 ? f.redMask : 0) |
                                    (keepGreen != 0 ? f.greenMask : 0) |
                                    (keepBlue != 0 ? f.blueMask : 0));
    return VectorRows(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                      [&](const Pixel* s, Pixel* d, int width) { ChannelsRow(s, d, width, mask); });
}

int PutChannels(double x, double y, int keepRed, int keepGreen, int keepBlue, ObjectId id,
                int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    return PutChannels(TruncateToInt(x), TruncateToInt(y), keepRed, keepGreen, keepBlue, id,
                       srcLeft, srcTop, srcRight, srcBottom);
}

int PutBrightness(int x, int y, float factor, ObjectId id, int srcLeft, int srcTop, int srcRight,
                  int srcBottom)
{
    return PutBrightnessRGB(x, y, factor, factor, factor, id, srcLeft, srcTop, srcRight,
                            srcBottom);
}

int PutBrightnessRGB(int x, int y, float fRed, float fGreen, float fBlue, ObjectId id,
                     int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    const PixelFormat& f = PixelFormatInfo;
    NativeField r{f.redShift, f.redMax};
    NativeField g{f.greenShift, f.greenMax};
    NativeField b{f.blueShift, f.blueMax};
    BrightnessFactors k{ProductFactor(fRed), ProductFactor(fGreen), ProductFactor(fBlue)};
    return VectorRows(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                      [&](const Pixel* s, Pixel* d, int width)
                      { BrightnessRow(s, d, width, r, g, b, k); });
}

int PutDarken(int x, int y, int level, ObjectId id, int srcLeft, int srcTop, int srcRight,
              int srcBottom)
{
    return PutDarkenRGB(x, y, level, level, level, id, srcLeft, srcTop, srcRight, srcBottom);
}

int PutDarkenRGB(int x, int y, int levelRed, int levelGreen, int levelBlue, ObjectId id,
                 int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    DarkenLevels t{static_cast<std::uint32_t>(31 - ClampLevel(levelRed)),
                   static_cast<std::uint32_t>(31 - ClampLevel(levelGreen)),
                   static_cast<std::uint32_t>(31 - ClampLevel(levelBlue))};
    Fields5 f = CurrentFields5();
    return VectorRows(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                      [&](const Pixel* s, Pixel* d, int width) { DarkenRow(s, d, width, f, t); });
}

int PutGray(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    Fields5 f = CurrentFields5();
    return VectorRows(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                      [&](const Pixel* s, Pixel* d, int width) { GrayRow(s, d, width, f); });
}

int PutSmoothEdges(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight,
                   int srcBottom)
{
    return BlitFrame(x, y, id, srcLeft, srcTop, srcRight, srcBottom, SmoothEdges);
}

int PutBlur(int x, int y, int n, ObjectId id, int srcLeft, int srcTop, int srcRight,
            int srcBottom)
{
    return BlitFrame(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                     [&](const BlitView& view)
                     {
                         // A window below one pixel has nothing to average.
                         if (n >= 1)
                         {
                             Blur(view, n);
                         }
                     });
}

int PutDisplace(int x, int y, float level, ObjectId id, int srcLeft, int srcTop, int srcRight,
                int srcBottom)
{
    // Formed in double and truncated once.
    int t = TruncateToInt(31.0 - 31.0 * static_cast<double>(level));
    return BlitFrame(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                     [&](const BlitView& view) { Displace(view, t); });
}

} // namespace voDraw
