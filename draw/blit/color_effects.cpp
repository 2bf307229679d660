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

// A layout's channel fields, fixed at compile time so that row loops run on 16-bit lanes with
// constant shifts. A channel's 5-bit value is (pixel >> shift5) & 31 in both layouts (the 565
// green's lowest bit falls below its field); native values are (pixel >> shift) & max.
template <unsigned RedShift5, unsigned GreenShift5, unsigned RedShift, unsigned GreenShift,
          unsigned GreenMax>
struct FixedLayout
{
    static constexpr unsigned kRedShift = RedShift;
    static constexpr unsigned kGreenShift = GreenShift;
    static constexpr unsigned kGreenMax = GreenMax;
    // Each 5-bit field in place, and the multiplier that copies a 5-bit value into all three.
    static constexpr unsigned kRedDown = RedShift5 - 10; // moves the red field to bit 10
    static constexpr Pixel kGreenField5 = static_cast<Pixel>(31u << GreenShift5);
    static constexpr Pixel kGrayMultiplier =
        static_cast<Pixel>((1u << RedShift5) | (1u << GreenShift5) | 1u);

    static Pixel Red(Pixel p)
    {
        return static_cast<Pixel>((p >> RedShift5) & 31);
    }
    static Pixel Green(Pixel p)
    {
        return static_cast<Pixel>((p >> GreenShift5) & 31);
    }
    static Pixel Blue(Pixel p)
    {
        return static_cast<Pixel>(p & 31);
    }
    static Pixel Join(Pixel r, Pixel g, Pixel b)
    {
        return static_cast<Pixel>((r << RedShift5) | (g << GreenShift5) | b);
    }
};
using Rgb565 = FixedLayout<11, 6, 11, 5, 63>;
using Rgb555 = FixedLayout<10, 5, 10, 5, 31>;

// Runs body(layout) compiled for the active instruction set and the back buffer's layout (a
// 16-bit display is 565 or 555).
template <class Body> void ForLayout(Body&& body)
{
    const PixelFormat& f = PixelFormatInfo;
    bool rgb565 = f.greenMax == 63;
    RunVectorised(
        [&]
        {
            if (rgb565)
            {
                body(Rgb565{});
            }
            else
            {
                body(Rgb555{});
            }
        });
}

// BlitRows with step(layout, source row, destination row, width) compiled as ForLayout does.
template <class RowStep>
int LayoutRows(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom,
               RowStep&& step)
{
    return BlitRows(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                    [&](const Pixel* source, Pixel* destination, int width)
                    { ForLayout([&](auto layout) { step(layout, source, destination, width); }); });
}

// A sum kept in 16 bits at every step, so the vectoriser stays on 16-bit lanes.
template <class... More> inline Pixel Sum16(Pixel first, More... more)
{
    Pixel sum = first;
    ((sum = static_cast<Pixel>(sum + more)), ...);
    return sum;
}

// ---- Channels, darkening, grey ----------------------------------------------------------------

void ChannelsRow(const Pixel* __restrict s, Pixel* __restrict d, int width, Pixel mask)
{
    for (int i = 0; i < width; ++i)
    {
        d[i] = s[i] != 0 ? static_cast<Pixel>(s[i] & mask) : d[i];
    }
}

// 31 - level for each channel, each 0..31, placed in its 5-bit field (red one bit lower in
// 565, see DarkenRow).
struct DarkenLevels
{
    std::int16_t red, green, blue;
};

// max(a - b, 0) for two fields left in place, both below 0x8000: the result can only shrink,
// so it never leaves the field. A signed maximum is one instruction on every x86-64.
inline Pixel SubtractSaturated(Pixel a, std::int16_t b)
{
    return static_cast<Pixel>(std::max(static_cast<std::int16_t>(a - b), std::int16_t{0}));
}

template <class L>
void DarkenRow(L, const Pixel* __restrict s, Pixel* __restrict d, int width, DarkenLevels t)
{
    for (int i = 0; i < width; ++i)
    {
        Pixel p = s[i];
        // Red is moved to bits 10..14 (565 shifts it down by one) to stay below 0x8000.
        auto red = static_cast<Pixel>(((p >> L::kRedDown) & 0x7C00));
        auto v =
            static_cast<Pixel>((SubtractSaturated(red, t.red) << L::kRedDown) |
                               SubtractSaturated(static_cast<Pixel>(p & L::kGreenField5), t.green) |
                               SubtractSaturated(static_cast<Pixel>(p & 31), t.blue));
        d[i] = p != 0 ? v : d[i];
    }
}

// The high half of a x b: one 16-bit multiply instruction.
constexpr Pixel MultiplyHigh(Pixel a, Pixel b)
{
    return static_cast<Pixel>((static_cast<std::uint32_t>(a) * b) >> 16);
}

// n / 3 for n = 0..93 (three 5-bit values) as (n x 43) >> 7: 43/128 exceeds 1/3 by 1/384,
// which stays below the gap to the next whole number over that range.
constexpr Pixel DivideBy3(Pixel n)
{
    return MultiplyHigh(n, 43 << 9);
}
constexpr bool DivideBy3Exact()
{
    for (int n = 0; n <= 93; ++n)
    {
        if (DivideBy3(static_cast<Pixel>(n)) != n / 3)
        {
            return false;
        }
    }
    return true;
}
static_assert(DivideBy3Exact());

template <class L> void GrayRow(L, const Pixel* __restrict s, Pixel* __restrict d, int width)
{
    for (int i = 0; i < width; ++i)
    {
        Pixel p = s[i];
        Pixel g = DivideBy3(Sum16(L::Red(p), L::Green(p), L::Blue(p)));
        auto v = static_cast<Pixel>(g * L::kGrayMultiplier); // g in all three fields
        d[i] = p != 0 ? v : d[i];
    }
}

int ClampLevel(int level)
{
    return std::clamp(level, 0, 31);
}

// ---- Brightness -----------------------------------------------------------------------------

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
// factor) and held within the int range. Only its low 16 bits reach the pixel.
inline Pixel ScaleChannel(Pixel channel, double factor)
{
    double product = static_cast<double>(static_cast<std::int32_t>(channel)) * factor;
    product =
        std::min(std::max(product, static_cast<double>(INT_MIN)), static_cast<double>(INT_MAX));
    return static_cast<Pixel>(static_cast<std::int32_t>(product));
}

// The same product in 16-bit fixed point: sign x (c x whole + (c x fraction) >> 16), in 16-bit
// lanes. Used only where a check over every channel value proves it equal to ScaleChannel.
struct FixedFactor
{
    Pixel whole, fraction, negate; // negate: 0, or 0xFFFF for a negative factor
};

inline Pixel ScaleFixed(Pixel channel, FixedFactor k)
{
    Pixel v = static_cast<Pixel>(channel * k.whole +
                                 ((static_cast<std::uint32_t>(channel) * k.fraction) >> 16));
    return static_cast<Pixel>((v ^ k.negate) - k.negate);
}

// The fixed form of factor for channel values 0..max; false when none gives every product
// exactly (a factor just below a fraction of small denominator, or a large one).
bool FindFixed(double factor, int max, FixedFactor& out)
{
    double magnitude = std::fabs(factor);
    if (!(magnitude < 1024.0))
    {
        return false;
    }
    double whole = std::floor(magnitude);
    double scaled = (magnitude - whole) * 65536.0;
    // The fraction rounded up suits a factor at or just above a small fraction, rounded down
    // one just below it.
    for (double fraction : {std::ceil(scaled), std::floor(scaled)})
    {
        auto wholePart = static_cast<std::uint32_t>(whole);
        auto fixedFraction = static_cast<std::uint32_t>(fraction);
        if (fixedFraction == 65536)
        {
            ++wholePart;
            fixedFraction = 0;
        }
        out = FixedFactor{static_cast<Pixel>(wholePart), static_cast<Pixel>(fixedFraction),
                          static_cast<Pixel>(factor < 0.0 ? 0xFFFF : 0)};
        bool exact = true;
        for (int c = 0; c <= max && exact; ++c)
        {
            auto channel = static_cast<Pixel>(c);
            exact = ScaleFixed(channel, out) == ScaleChannel(channel, factor);
        }
        if (exact)
        {
            return true;
        }
    }
    return false;
}

template <class Factor> struct Factors
{
    Factor red, green, blue;
};

// Joined unmasked: a product past its field spills into the next one.
template <class L, class Factor, class Scale>
void BrightnessRow(L, const Pixel* __restrict s, Pixel* __restrict d, int width,
                   const Factors<Factor>& k, Scale scale)
{
    for (int i = 0; i < width; ++i)
    {
        Pixel p = s[i];
        Pixel r = static_cast<Pixel>((p >> L::kRedShift) & 31);
        Pixel g = static_cast<Pixel>((p >> L::kGreenShift) & L::kGreenMax);
        Pixel b = static_cast<Pixel>(p & 31);
        Pixel v = static_cast<Pixel>((scale(r, k.red) << L::kRedShift) |
                                     (scale(g, k.green) << L::kGreenShift) | scale(b, k.blue));
        d[i] = p != 0 ? v : d[i];
    }
}

// ---- Smoothed edges ---------------------------------------------------------------------------

// All ones where condition holds, else 0: selects written as masks keep the row loop free of
// branches the vectoriser cannot turn into selects.
constexpr Pixel MaskIf(bool condition)
{
    return static_cast<Pixel>(-static_cast<int>(condition));
}

// 65536 / count rounded up, for count 2..5 (0 for any other): the high half of sum x this is
// sum / count exactly for sum <= 31 x count, the error staying below the gap to the next
// whole number. One reciprocal per pixel serves its three channels.
constexpr Pixel Reciprocal(Pixel count)
{
    return static_cast<Pixel>((MaskIf(count == 2) & 32768) | (MaskIf(count == 3) & 21846) |
                              (MaskIf(count == 4) & 16384) | (MaskIf(count == 5) & 13108));
}

constexpr bool ReciprocalsExact()
{
    for (int count = 2; count <= 5; ++count)
    {
        for (int sum = 0; sum <= 31 * count; ++sum)
        {
            if (MultiplyHigh(static_cast<Pixel>(sum), Reciprocal(static_cast<Pixel>(count))) !=
                sum / count)
            {
                return false;
            }
        }
    }
    return true;
}
static_assert(ReciprocalsExact());

// A neighbour's background pixel where its source pixel is transparent, else 0 (adds nothing).
inline Pixel Under(Pixel source, Pixel background)
{
    return static_cast<Pixel>(background & MaskIf(source == 0));
}

// One row of smoothed edges. The source rows are padded by one pixel at each end with an
// opaque value, and a missing row above or below is all opaque, so neighbours outside the
// rectangle never count. background is the back buffer's row as it was, padded the same way;
// backUp and backDown are the rows above and below, read only where the source there is
// transparent (pixels this call never writes).
template <class L>
void SmoothEdgesRow(L, const Pixel* __restrict up, const Pixel* __restrict row,
                    const Pixel* __restrict down, const Pixel* __restrict background,
                    const Pixel* __restrict backUp, const Pixel* __restrict backDown,
                    Pixel* __restrict d, int width)
{
    for (int i = 0; i < width; ++i)
    {
        Pixel s = row[i + 1];
        Pixel pl = Under(row[i], background[i]);
        Pixel pr = Under(row[i + 2], background[i + 2]);
        Pixel pu = Under(up[i + 1], backUp[i]);
        Pixel pn = Under(down[i + 1], backDown[i]);
        // Each transparent neighbour's mask is all ones, -1 in 16 bits.
        auto count =
            static_cast<Pixel>(1 - Sum16(MaskIf(row[i] == 0), MaskIf(row[i + 2] == 0),
                                         MaskIf(up[i + 1] == 0), MaskIf(down[i + 1] == 0)));
        Pixel reciprocal = Reciprocal(count);
        Pixel red = Sum16(L::Red(s), L::Red(pl), L::Red(pr), L::Red(pu), L::Red(pn));
        Pixel green = Sum16(L::Green(s), L::Green(pl), L::Green(pr), L::Green(pu), L::Green(pn));
        Pixel blue = Sum16(L::Blue(s), L::Blue(pl), L::Blue(pr), L::Blue(pu), L::Blue(pn));
        Pixel mixed = L::Join(MultiplyHigh(red, reciprocal), MultiplyHigh(green, reciprocal),
                              MultiplyHigh(blue, reciprocal));
        Pixel keep = MaskIf(count < 2);
        auto v = static_cast<Pixel>((s & keep) | (mixed & static_cast<Pixel>(~keep)));
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
        ForLayout(
            [&](auto layout)
            {
                SmoothEdgesRow(layout, up.data(), row.data(), down.data(), background.data(),
                               backUp, backDown, d, w);
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
template <class L>
inline Pixel Blur2(L, const Pixel* __restrict a, const Pixel* __restrict b, int i)
{
    Pixel p0 = a[i], p1 = a[i + 1], p2 = b[i], p3 = b[i + 1];
    Pixel red = Sum16(L::Red(p0), L::Red(p1), L::Red(p2), L::Red(p3));
    Pixel green = Sum16(L::Green(p0), L::Green(p1), L::Green(p2), L::Green(p3));
    Pixel blue = Sum16(L::Blue(p0), L::Blue(p1), L::Blue(p2), L::Blue(p3));
    red = static_cast<Pixel>(red >> 2);
    green = static_cast<Pixel>(green >> 2);
    blue = static_cast<Pixel>(blue >> 2);
    return L::Join(red, green, blue);
}

// One row of the 2 x 2 blur: a and b are the window's rows, key the pixel's own source row.
// The last column's window slides back by one, so it repeats the one before it.
template <class L>
void Blur2Row(L layout, const Pixel* __restrict a, const Pixel* __restrict b,
              const Pixel* __restrict key, Pixel* __restrict d, int width)
{
    for (int i = 0; i + 1 < width; ++i)
    {
        Pixel v = Blur2(layout, a, b, i);
        d[i] = key[i] != 0 ? v : d[i];
    }
    int last = width - 1;
    if (key[last] != 0)
    {
        d[last] = Blur2(layout, a, b, last - 1);
    }
}

// Any window size: per-column sums over the window's rows, kept as the window moves down,
// then each pixel's sum over the window's columns divided by n x n.
template <class L> void BlurAny(L, const BlitView& view, int n)
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
            red[i] = add ? red[i] + L::Red(s[i]) : red[i] - L::Red(s[i]);
            green[i] = add ? green[i] + L::Green(s[i]) : green[i] - L::Green(s[i]);
            blue[i] = add ? blue[i] + L::Blue(s[i]) : blue[i] - L::Blue(s[i]);
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
                d[i] =
                    L::Join(static_cast<Pixel>(sumRed / area), static_cast<Pixel>(sumGreen / area),
                            static_cast<Pixel>(sumBlue / area));
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
    if (n != 2)
    {
        ForLayout([&](auto layout) { BlurAny(layout, view, n); });
        return;
    }
    for (int j = 0; j < h; ++j)
    {
        int top = std::min(j, h - 2);
        const Pixel* a = view.SourceRow(top);
        const Pixel* b = view.SourceRow(top + 1);
        const Pixel* key = view.SourceRow(j);
        Pixel* d = view.DestinationRow(j);
        ForLayout([&](auto layout) { Blur2Row(layout, a, b, key, d, w); });
    }
}

// ---- Displacement -----------------------------------------------------------------------------

void Displace(const BlitView& view, int t)
{
    const std::uint32_t redShift5 = PixelFormatInfo.redShift5;
    const std::int64_t pitchBytes = view.destination.pitchBytes;
    const int h = view.height;
    for (int j = 0; j < h; ++j)
    {
        const Pixel* s = view.SourceRow(j);
        Pixel* d = view.DestinationRow(j);
        const std::int64_t rowsLeft = h - j;
        // Rows below this one are not rewritten yet, so every read sees the background. The
        // loop has no branches: shifts and sources are random, so branches would mispredict.
        for (int i = 0; i < view.width; ++i)
        {
            Pixel p = s[i];
            std::int64_t shift = static_cast<std::int64_t>((p >> redShift5) & 31) - t;
            // Written as arithmetic: the compiler turns a select here back into branches.
            shift *= static_cast<std::int64_t>((shift >= 1) & (shift < rowsLeft));
            const auto* below = reinterpret_cast<const Pixel*>(
                reinterpret_cast<const std::uint8_t*>(d + i) + shift * pitchBytes);
            Pixel keep = MaskIf(p == 0);
            d[i] = static_cast<Pixel>((d[i] & keep) | (*below & static_cast<Pixel>(~keep)));
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
    Pixel mask =
        static_cast<Pixel>((keepRed != 0 ? f.redMask : 0) | (keepGreen != 0 ? f.greenMask : 0) |
                           (keepBlue != 0 ? f.blueMask : 0));
    return LayoutRows(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                      [&](auto, const Pixel* s, Pixel* d, int width)
                      { ChannelsRow(s, d, width, mask); });
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
    return PutBrightnessRGB(x, y, factor, factor, factor, id, srcLeft, srcTop, srcRight, srcBottom);
}

int PutBrightnessRGB(int x, int y, float fRed, float fGreen, float fBlue, ObjectId id, int srcLeft,
                     int srcTop, int srcRight, int srcBottom)
{
    const PixelFormat& f = PixelFormatInfo;
    Factors<double> exact{ProductFactor(fRed), ProductFactor(fGreen), ProductFactor(fBlue)};
    Factors<FixedFactor> fixed{};
    bool useFixed = FindFixed(exact.red, static_cast<int>(f.redMax), fixed.red) &&
                    FindFixed(exact.green, static_cast<int>(f.greenMax), fixed.green) &&
                    FindFixed(exact.blue, static_cast<int>(f.blueMax), fixed.blue);
    return LayoutRows(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                      [&](auto layout, const Pixel* s, Pixel* d, int width)
                      {
                          if (useFixed)
                          {
                              BrightnessRow(layout, s, d, width, fixed,
                                            [](Pixel c, FixedFactor k)
                                            { return ScaleFixed(c, k); });
                          }
                          else
                          {
                              BrightnessRow(layout, s, d, width, exact,
                                            [](Pixel c, double k) { return ScaleChannel(c, k); });
                          }
                      });
}

int PutDarken(int x, int y, int level, ObjectId id, int srcLeft, int srcTop, int srcRight,
              int srcBottom)
{
    return PutDarkenRGB(x, y, level, level, level, id, srcLeft, srcTop, srcRight, srcBottom);
}

int PutDarkenRGB(int x, int y, int levelRed, int levelGreen, int levelBlue, ObjectId id,
                 int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    const PixelFormat& f = PixelFormatInfo;
    DarkenLevels t{static_cast<std::int16_t>((31 - ClampLevel(levelRed)) << 10),
                   static_cast<std::int16_t>((31 - ClampLevel(levelGreen)) << f.greenShift5),
                   static_cast<std::int16_t>(31 - ClampLevel(levelBlue))};
    return LayoutRows(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                      [&](auto layout, const Pixel* s, Pixel* d, int width)
                      { DarkenRow(layout, s, d, width, t); });
}

int PutGray(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    return LayoutRows(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                      [&](auto layout, const Pixel* s, Pixel* d, int width)
                      { GrayRow(layout, s, d, width); });
}

int PutSmoothEdges(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    return BlitFrame(x, y, id, srcLeft, srcTop, srcRight, srcBottom, SmoothEdges);
}

int PutBlur(int x, int y, int n, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
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
