// The blending blitters: half, alpha, fade, add and subtract blends of a source rectangle into
// the back buffer. Each is the shared frame plus one pixel step; the steps compute the mixing
// tables' values arithmetically on the channels, which lets the row loops vectorise.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "draw/blit/blit_internal.h"

namespace
{

using Pixel = std::uint16_t;

// Opacities are taken into -kOpacityLimit..kOpacityLimit (NaN as 0), which keeps every spilled
// channel value far inside the int range; within it results follow the formula exactly.
constexpr float kOpacityLimit = 65536.0f;
constexpr float kRampDrop = 0.03125f; // 1/32: one ramp step of opacity

// The two layouts the display gives, with every shift a constant, so that the row loops work
// on 16-bit lanes. Native fields: shift and largest value; 5-bit values sit at the top of each
// field; outside: the bits no colour of the layout has.
struct Rgb565
{
    static constexpr std::uint32_t redShift = 11, greenShift = 5, blueShift = 0;
    static constexpr Pixel redMax = 31, greenMax = 63, blueMax = 31;
    static constexpr std::uint32_t red5 = 11, green5 = 6, blue5 = 0;
    static constexpr Pixel outside = 0;
};
struct Rgb555
{
    static constexpr std::uint32_t redShift = 10, greenShift = 5, blueShift = 0;
    static constexpr Pixel redMax = 31, greenMax = 31, blueMax = 31;
    static constexpr std::uint32_t red5 = 10, green5 = 5, blue5 = 0;
    static constexpr Pixel outside = 0x8000;
};

// One pixel's three channels on one scale.
struct Channels
{
    Pixel red, green, blue;
};

template <class Fields>
Channels Native(Pixel p, Fields f)
{
    return Channels{static_cast<Pixel>((p >> f.redShift) & f.redMax),
                    static_cast<Pixel>((p >> f.greenShift) & f.greenMax),
                    static_cast<Pixel>((p >> f.blueShift) & f.blueMax)};
}

// The 5-bit values pixelToRgb5 holds, left at the top of their fields (the 565 green without
// its lowest bit). A value with bits outside the layout is no colour of it and reads as black.
template <class Fields>
Channels Placed5(Pixel p, Fields f)
{
    p = (p & f.outside) != 0 ? Pixel{0} : p;
    return Channels{static_cast<Pixel>(p & (31u << f.red5)),
                    static_cast<Pixel>(p & (31u << f.green5)),
                    static_cast<Pixel>(p & (31u << f.blue5))};
}

// 5-bit values 0..31 placed at the top of their fields.
template <class Fields>
Channels Place5(Pixel red, Pixel green, Pixel blue, Fields f)
{
    return Channels{static_cast<Pixel>(red << f.red5), static_cast<Pixel>(green << f.green5),
                    static_cast<Pixel>(blue << f.blue5)};
}

// max(a - b, 0); on placed values it is the same difference, placed. Written as
// max(a, b) - b, which GCC turns into two vector instructions (the comparison form into four).
Pixel Less(Pixel a, Pixel b)
{
    return static_cast<Pixel>(std::max(a, b) - b);
}

// Table levels per channel: t = 31 - level, 0..31.
struct FadeLevels
{
    Pixel red, green, blue;

    // The ramp's step: a t above 0 drops by 1.
    void Drop()
    {
        for (Pixel* t : {&red, &green, &blue})
        {
            *t = *t > 0 ? static_cast<Pixel>(*t - 1) : Pixel{0};
        }
    }
};

// The fade table's cross-fade at t = 31 - level: what is left of the source above t plus what
// is left of the destination above level (at most 31 together), computed on placed values.
template <class Fields>
Pixel Fade(Pixel s, Pixel d, const FadeLevels& t, Fields f)
{
    Channels a = Placed5(s, f);
    Channels b = Placed5(d, f);
    Channels sourceCut = Place5(t.red, t.green, t.blue, f);
    Channels backCut = Place5(static_cast<Pixel>(31 - t.red), static_cast<Pixel>(31 - t.green),
                              static_cast<Pixel>(31 - t.blue), f);
    return static_cast<Pixel>(
        (Less(a.red, sourceCut.red) + Less(b.red, backCut.red)) |
        (Less(a.green, sourceCut.green) + Less(b.green, backCut.green)) |
        (Less(a.blue, sourceCut.blue) + Less(b.blue, backCut.blue)));
}

// The add table at t: the source less t, plus the destination, at most 31; on placed values
// with full the placed 31, kept inside 16 bits. A t below 0 raises the source by -t; raised
// is that case (cut then 0, raise -t) and the only one that needs the raise.
template <bool raised>
Pixel AddChannel(Pixel s, Pixel d, Pixel cut, Pixel raise, Pixel full)
{
    Pixel source = Less(s, cut);
    if constexpr (raised)
    {
        source = static_cast<Pixel>(full - Less(static_cast<Pixel>(full - raise), source));
    }
    return static_cast<Pixel>(d + std::min(source, static_cast<Pixel>(full - d)));
}

template <bool raised, class Fields>
Pixel Add(Pixel s, Pixel d, int t, Fields f)
{
    Channels a = Placed5(s, f);
    Channels b = Placed5(d, f);
    Pixel cut = static_cast<Pixel>(std::max(t, 0));
    Pixel raise = static_cast<Pixel>(std::max(-t, 0));
    Channels cuts = Place5(cut, cut, cut, f);
    Channels raises = Place5(raise, raise, raise, f);
    Channels full = Place5(31, 31, 31, f);
    return static_cast<Pixel>(
        AddChannel<raised>(a.red, b.red, cuts.red, raises.red, full.red) |
        AddChannel<raised>(a.green, b.green, cuts.green, raises.green, full.green) |
        AddChannel<raised>(a.blue, b.blue, cuts.blue, raises.blue, full.blue));
}

// Every channel less the source's red, each at least 0.
template <class Fields>
Pixel Subtract(Pixel s, Pixel d, Fields f)
{
    Channels a = Placed5(s, f);
    Channels b = Placed5(d, f);
    return static_cast<Pixel>(Less(b.red, a.red) |
                              Less(b.green, static_cast<Pixel>(a.red >> (f.red5 - f.green5))) |
                              Less(b.blue, static_cast<Pixel>(a.red >> (f.red5 - f.blue5))));
}

// ---- Alpha blends ----------------------------------------------------------------------------

// Fixed point with 26 fraction bits: a weight that is a multiple of 2^-26 in 0..1 is exact
// there, and two such weights with a sum up to kFixedSumLimit keep 63 * sum inside 32 bits.
constexpr int kFixedBits = 26;
constexpr double kFixedOne = 67108864.0; // 2^26
constexpr std::uint32_t kFixedSumLimit = 68174084; // floor(2^32 / 63)

// The weights of one alpha blend per channel: the source's and the back buffer's, each a
// 32-bit float.
struct AlphaWeights
{
    double red, green, blue;             // of the source
    double backRed, backGreen, backBlue; // of the back buffer
    // When every weight is exact in fixed point, the same weights there: then the sum of the
    // products is exact both in double and in 32-bit integers, and the two truncate alike.
    bool fixed;
    std::uint32_t fixedRed, fixedGreen, fixedBlue, fixedBackRed, fixedBackGreen, fixedBackBlue;
};

bool ToFixed(float weight, std::uint32_t& out)
{
    if (!(weight >= 0.0f && weight <= 1.0f))
    {
        return false;
    }
    double scaled = static_cast<double>(weight) * kFixedOne; // a power of two: exact
    if (scaled != std::floor(scaled))
    {
        return false;
    }
    out = static_cast<std::uint32_t>(scaled);
    return true;
}

AlphaWeights MakeWeights(float red, float green, float blue, float backRed, float backGreen,
                         float backBlue)
{
    AlphaWeights w{red, green, blue, backRed, backGreen, backBlue, false, 0, 0, 0, 0, 0, 0};
    w.fixed = ToFixed(red, w.fixedRed) && ToFixed(green, w.fixedGreen) &&
              ToFixed(blue, w.fixedBlue) && ToFixed(backRed, w.fixedBackRed) &&
              ToFixed(backGreen, w.fixedBackGreen) && ToFixed(backBlue, w.fixedBackBlue) &&
              w.fixedRed + w.fixedBackRed <= kFixedSumLimit &&
              w.fixedGreen + w.fixedBackGreen <= kFixedSumLimit &&
              w.fixedBlue + w.fixedBackBlue <= kFixedSumLimit;
    return w;
}

// One native channel of an alpha blend: the products and their sum formed in double and
// truncated once. The opacities are bounded, so the sum fits an int.
std::uint32_t Mix(Pixel s, Pixel d, double sourceWeight, double backWeight)
{
    double sum = static_cast<double>(s) * sourceWeight + static_cast<double>(d) * backWeight;
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(sum));
}

std::uint32_t MixFixed(Pixel s, Pixel d, std::uint32_t sourceWeight, std::uint32_t backWeight)
{
    return (std::uint32_t{s} * sourceWeight + std::uint32_t{d} * backWeight) >> kFixedBits;
}

// Joined with the native shifts, unmasked: values past their field spill into its neighbours.
template <class Fields>
Pixel JoinNative(std::uint32_t red, std::uint32_t green, std::uint32_t blue, Fields f)
{
    return static_cast<Pixel>((red << f.redShift) | (green << f.greenShift) |
                              (blue << f.blueShift));
}

template <class Fields>
Pixel Alpha(Pixel s, Pixel d, const AlphaWeights& w, Fields f)
{
    Channels a = Native(s, f);
    Channels b = Native(d, f);
    return JoinNative(Mix(a.red, b.red, w.red, w.backRed),
                      Mix(a.green, b.green, w.green, w.backGreen),
                      Mix(a.blue, b.blue, w.blue, w.backBlue), f);
}

template <class Fields>
Pixel AlphaFixed(Pixel s, Pixel d, const AlphaWeights& w, Fields f)
{
    Channels a = Native(s, f);
    Channels b = Native(d, f);
    return JoinNative(MixFixed(a.red, b.red, w.fixedRed, w.fixedBackRed),
                      MixFixed(a.green, b.green, w.fixedGreen, w.fixedBackGreen),
                      MixFixed(a.blue, b.blue, w.fixedBlue, w.fixedBackBlue), f);
}

float BoundOpacity(float a)
{
    if (std::isnan(a))
    {
        return 0.0f;
    }
    return std::clamp(a, -kOpacityLimit, kOpacityLimit);
}

// Source weight a and back-buffer weight 1 - a, the complement held as a float.
AlphaWeights OpacityWeights(float aRed, float aGreen, float aBlue)
{
    aRed = BoundOpacity(aRed);
    aGreen = BoundOpacity(aGreen);
    aBlue = BoundOpacity(aBlue);
    return MakeWeights(aRed, aGreen, aBlue, 1.0f - aRed, 1.0f - aGreen, 1.0f - aBlue);
}

// The alpha ramp's back-buffer weights w; the source's are 1 - w.
struct RampWeights
{
    float red, green, blue;

    // The ramp's step: a weight above 0 drops by 1/32, never below 0.
    void Drop()
    {
        for (float* w : {&red, &green, &blue})
        {
            if (*w > 0.0f)
            {
                *w = std::max(*w - kRampDrop, 0.0f);
            }
        }
    }
};

AlphaWeights RampBlend(const RampWeights& w)
{
    return MakeWeights(1.0f - w.red, 1.0f - w.green, 1.0f - w.blue, w.red, w.green, w.blue);
}

FadeLevels FadeFromLevels(int red, int green, int blue)
{
    // Levels outside 0..31 are taken as the nearest end: the table has no others.
    auto cut = [](int level) { return static_cast<Pixel>(31 - std::clamp(level, 0, 31)); };
    return FadeLevels{cut(red), cut(green), cut(blue)};
}

// ---- Row walks -------------------------------------------------------------------------------

// The keyed row walk every member shares: pixel(s, d) (or pixel(s, d, column) for a step that
// changes along the row) for each column, the back buffer kept
// where the source is 0. The choice is a mask rather than a branch: with a branch GCC
// computes the floating-point steps only for kept pixels and leaves the loop scalar.
template <class Step>
inline void KeyedRow(const Pixel* __restrict source, Pixel* __restrict back, int width,
                     const Step& pixel)
{
    for (int i = 0; i < width; ++i)
    {
        Pixel s = source[i];
        Pixel d = back[i];
        Pixel r;
        if constexpr (std::is_invocable_v<const Step&, Pixel, Pixel, int>)
        {
            r = pixel(s, d, i); // a step that changes along the row
        }
        else
        {
            r = pixel(s, d);
        }
        Pixel drawn = static_cast<Pixel>(-static_cast<Pixel>(s != 0));
        back[i] = static_cast<Pixel>((r & drawn) | (d & ~drawn));
    }
}

// The row steps: row(layout, source, back buffer, width, state) for each member. The pixel
// steps copy the state, so that the compiler keeps it in registers.
struct HalfRow
{
    template <class Fields>
    void operator()(Fields, const Pixel* s, Pixel* d, int width, Pixel half) const
    {
        KeyedRow(s, d, width,
                 [half](Pixel a, Pixel b)
                 { return static_cast<Pixel>(((a >> 1) & half) + ((b >> 1) & half)); });
    }
};
struct AlphaRow
{
    template <class Fields>
    void operator()(Fields f, const Pixel* s, Pixel* d, int width, const AlphaWeights& w) const
    {
        if (w.fixed)
        {
            KeyedRow(s, d, width, [=](Pixel a, Pixel b) { return AlphaFixed(a, b, w, f); });
        }
        else
        {
            KeyedRow(s, d, width, [=](Pixel a, Pixel b) { return Alpha(a, b, w, f); });
        }
    }
};
struct FadeRow
{
    template <class Fields>
    void operator()(Fields f, const Pixel* s, Pixel* d, int width, const FadeLevels& t) const
    {
        KeyedRow(s, d, width, [=](Pixel a, Pixel b) { return Fade(a, b, t, f); });
    }
};
struct AddRow
{
    template <class Fields>
    void operator()(Fields f, const Pixel* s, Pixel* d, int width, int t) const
    {
        if (t < 0)
        {
            KeyedRow(s, d, width, [=](Pixel a, Pixel b) { return Add<true>(a, b, t, f); });
        }
        else
        {
            KeyedRow(s, d, width, [=](Pixel a, Pixel b) { return Add<false>(a, b, t, f); });
        }
    }
};
struct SubtractRow
{
    template <class Fields>
    void operator()(Fields f, const Pixel* s, Pixel* d, int width, int) const
    {
        KeyedRow(s, d, width, [=](Pixel a, Pixel b) { return Subtract(a, b, f); });
    }
};

// Runs rows(layout) compiled for the active instruction set and the back buffer's layout.
template <class Rows>
void RunRows(const Rows& rows)
{
    RunVectorised(
        [&]
        {
            if (PixelFormatInfo.greenMax == 63)
            {
                rows(Rgb565{});
            }
            else
            {
                rows(Rgb555{});
            }
        });
}

// The frame with the row step on every row, all with the same state.
template <class Row, class State>
int Blend(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom,
          Row row, const State& state)
{
    return BlitFrame(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                     [&](const BlitView& view)
                     {
                         RunRows(
                             [&](auto f)
                             {
                                 for (int j = 0; j < view.height; ++j)
                                 {
                                     row(f, view.SourceRow(j), view.DestinationRow(j),
                                         view.width, state);
                                 }
                             });
                     });
}

// ---- Ramps -----------------------------------------------------------------------------------

// The ramps' counter: before position p, a p past start (as unsigned, so a negative start
// never ramps) counts once, and every step counts make one ramp step. A step below 1 is
// taken as 1, so the ramp always moves and nothing divides by it.
struct RampCounter
{
    std::uint32_t start;
    int step;
    int count = 0;

    RampCounter(int startPosition, int stepLength)
        : start(static_cast<std::uint32_t>(startPosition)), step(std::max(stepLength, 1))
    {
    }

    // True when position p makes a ramp step.
    bool Advance(int p)
    {
        if (static_cast<std::uint32_t>(p) <= start)
        {
            return false;
        }
        if (++count < step)
        {
            return false;
        }
        count = 0;
        return true;
    }
};

// Runs a ramp over the clipped rectangle: down the rows (vertical not 0), one state per row
// carried from row to row, blended(state) handed to the row step; or along each row, the ramp
// starting again at each row's start, so that every row has the same state per column:
// along(view, states) draws those.
template <class State, class Blended, class Row, class Along>
int Ramp(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom,
         int vertical, int start, int stepLength, State initial, Blended blended, Row row,
         Along along)
{
    return BlitFrame(
        x, y, id, srcLeft, srcTop, srcRight, srcBottom,
        [&](const BlitView& view)
        {
            RampCounter counter(start, stepLength);
            State state = initial;
            std::vector<State> states;
            for (int p = 0; p < (vertical == 0 ? view.width : view.height); ++p)
            {
                if (counter.Advance(p))
                {
                    state.Drop();
                }
                states.push_back(state);
            }
            if (vertical == 0)
            {
                along(view, states);
                return;
            }
            std::vector<decltype(blended(initial))> rows;
            for (const State& s : states)
            {
                rows.push_back(blended(s));
            }
            RunRows(
                [&](auto f)
                {
                    for (int j = 0; j < view.height; ++j)
                    {
                        row(f, view.SourceRow(j), view.DestinationRow(j), view.width,
                            rows[static_cast<std::size_t>(j)]);
                    }
                });
        });
}

// The fade ramp along the rows: each column's levels, one array per channel, so that the row
// loop reads them as vectors.
void FadeAlong(const BlitView& view, const std::vector<FadeLevels>& columns)
{
    std::vector<Pixel> levels(columns.size() * 3);
    Pixel* red = levels.data();
    Pixel* green = red + columns.size();
    Pixel* blue = green + columns.size();
    for (std::size_t i = 0; i < columns.size(); ++i)
    {
        red[i] = columns[i].red;
        green[i] = columns[i].green;
        blue[i] = columns[i].blue;
    }
    RunRows(
        [&](auto f)
        {
            for (int j = 0; j < view.height; ++j)
            {
                KeyedRow(view.SourceRow(j), view.DestinationRow(j), view.width,
                         [=](Pixel a, Pixel b, int i)
                         { return Fade(a, b, FadeLevels{red[i], green[i], blue[i]}, f); });
            }
        });
}

// One column's six weights of an alpha blend (source red, green, blue, then the back buffer's),
// in fixed point or in double.
template <bool fixed>
auto SixWeights(const AlphaWeights& w)
{
    if constexpr (fixed)
    {
        return std::array<std::uint32_t, 6>{w.fixedRed,     w.fixedGreen,     w.fixedBlue,
                                            w.fixedBackRed, w.fixedBackGreen, w.fixedBackBlue};
    }
    else
    {
        return std::array<double, 6>{w.red, w.green, w.blue, w.backRed, w.backGreen, w.backBlue};
    }
}

// Draws the alpha ramp's rows with each column's weights, one array per weight, so that the
// row loop reads them as vectors.
template <bool fixed>
void AlphaColumns(const BlitView& view, const std::vector<AlphaWeights>& weights)
{
    using Weight = std::conditional_t<fixed, std::uint32_t, double>;
    std::size_t n = weights.size();
    std::vector<Weight> values(n * 6);
    Weight* v = values.data();
    for (std::size_t i = 0; i < n; ++i)
    {
        auto six = SixWeights<fixed>(weights[i]);
        for (std::size_t k = 0; k < 6; ++k)
        {
            v[k * n + i] = six[k];
        }
    }
    auto mix = [](Pixel s, Pixel d, Weight a, Weight b)
    {
        if constexpr (fixed)
        {
            return MixFixed(s, d, a, b);
        }
        else
        {
            return Mix(s, d, a, b);
        }
    };
    RunRows(
        [&](auto f)
        {
            for (int j = 0; j < view.height; ++j)
            {
                KeyedRow(view.SourceRow(j), view.DestinationRow(j), view.width,
                         [=](Pixel a, Pixel b, int i)
                         {
                             Channels x = Native(a, f);
                             Channels y = Native(b, f);
                             return JoinNative(mix(x.red, y.red, v[i], v[3 * n + i]),
                                               mix(x.green, y.green, v[n + i], v[4 * n + i]),
                                               mix(x.blue, y.blue, v[2 * n + i], v[5 * n + i]),
                                               f);
                         });
            }
        });
}

// The alpha ramp along the rows: each column's weights in fixed point when every column's
// are exact there, in double otherwise.
void AlphaAlong(const BlitView& view, const std::vector<RampWeights>& columns)
{
    std::vector<AlphaWeights> weights;
    bool fixed = true;
    for (const RampWeights& w : columns)
    {
        weights.push_back(RampBlend(w));
        fixed = fixed && weights.back().fixed;
    }
    if (fixed)
    {
        AlphaColumns<true>(view, weights);
    }
    else
    {
        AlphaColumns<false>(view, weights);
    }
}

} // namespace

namespace voDraw
{

int PutHalf(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    const Pixel half = static_cast<Pixel>(PixelFormatInfo.halfMask);
    return Blend(x, y, id, srcLeft, srcTop, srcRight, srcBottom, HalfRow{}, half);
}

int PutAlpha(int x, int y, float a, ObjectId id, int srcLeft, int srcTop, int srcRight,
             int srcBottom)
{
    return PutAlphaRGB(x, y, a, a, a, id, srcLeft, srcTop, srcRight, srcBottom);
}

int PutAlpha(double x, double y, double a, ObjectId id, int srcLeft, int srcTop, int srcRight,
             int srcBottom)
{
    // Bounded before the narrowing, which a double past the float range would make undefined.
    double bounded = std::isnan(a) ? 0.0 : std::clamp(a, -65536.0, 65536.0);
    return PutAlpha(TruncateToInt(x), TruncateToInt(y), static_cast<float>(bounded), id, srcLeft,
                    srcTop, srcRight, srcBottom);
}

int PutAlphaRGB(int x, int y, float aRed, float aGreen, float aBlue, ObjectId id, int srcLeft,
                int srcTop, int srcRight, int srcBottom)
{
    return Blend(x, y, id, srcLeft, srcTop, srcRight, srcBottom, AlphaRow{},
                 OpacityWeights(aRed, aGreen, aBlue));
}

int PutFade(int x, int y, int level, ObjectId id, int srcLeft, int srcTop, int srcRight,
            int srcBottom)
{
    return PutFadeRGB(x, y, level, level, level, id, srcLeft, srcTop, srcRight, srcBottom);
}

int PutFadeRGB(int x, int y, int levelRed, int levelGreen, int levelBlue, ObjectId id,
               int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    return Blend(x, y, id, srcLeft, srcTop, srcRight, srcBottom, FadeRow{},
                 FadeFromLevels(levelRed, levelGreen, levelBlue));
}

int PutAlphaRamp(int x, int y, float aRed, float aGreen, float aBlue, int vertical, int start,
                 int step, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    const RampWeights initial{1.0f - BoundOpacity(aRed), 1.0f - BoundOpacity(aGreen),
                              1.0f - BoundOpacity(aBlue)};
    return Ramp(x, y, id, srcLeft, srcTop, srcRight, srcBottom, vertical, start, step, initial,
                RampBlend, AlphaRow{}, AlphaAlong);
}

int PutFadeRamp(int x, int y, int levelRed, int levelGreen, int levelBlue, int vertical,
                int start, int step, ObjectId id, int srcLeft, int srcTop, int srcRight,
                int srcBottom)
{
    return Ramp(x, y, id, srcLeft, srcTop, srcRight, srcBottom, vertical, start, step,
                FadeFromLevels(levelRed, levelGreen, levelBlue),
                [](const FadeLevels& t) { return t; }, FadeRow{}, FadeAlong);
}

int PutAdd(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    return Blend(x, y, id, srcLeft, srcTop, srcRight, srcBottom, AddRow{}, 0);
}

int PutAddLevel(int x, int y, float a, ObjectId id, int srcLeft, int srcTop, int srcRight,
                int srcBottom)
{
    // t = trunc(31 - 31a), formed in double and truncated once. Below -31 every sum is 31
    // and above 31 nothing is added, so t is held in -31..31 (NaN adds nothing).
    double level = 31.0 - 31.0 * static_cast<double>(a);
    int t = std::isnan(level) ? 31 : static_cast<int>(std::clamp(level, -31.0, 31.0));
    return Blend(x, y, id, srcLeft, srcTop, srcRight, srcBottom, AddRow{}, t);
}

int PutSubtract(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    // The source's red is the subtrahend of every channel: the source is read as a
    // single-channel mask, and games draw with it that way.
    return Blend(x, y, id, srcLeft, srcTop, srcRight, srcBottom, SubtractRow{}, 0);
}

} // namespace voDraw
