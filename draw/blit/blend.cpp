// The blending blitters: half, alpha, fade, add and subtract blends of a source rectangle into
// the back buffer. Each is the shared frame plus one pixel step; the steps compute the mixing
// tables' values arithmetically on the channels, which lets the row loops vectorise.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "draw/blit/blit_internal.h"

namespace
{

using Pixel = std::uint16_t;

// Opacities are taken into -kOpacityLimit..kOpacityLimit (NaN as 0), which keeps every spilled
// channel value far inside the int range; within it results follow the formula exactly.
constexpr float kOpacityLimit = 65536.0f;
constexpr float kRampDrop = 0.03125f; // 1/32: one ramp step of opacity

// The back buffer's channel layout as the steps read it, copied once per call.
struct Fields
{
    std::uint32_t redShift, greenShift, blueShift; // native fields
    Pixel redMax, greenMax, blueMax;
    std::uint32_t red5, green5, blue5; // 5-bit values placed at the top of each field
    Pixel outside;                     // bits no colour of the layout has (555: the top bit)
};

Fields ReadFields()
{
    const PixelFormat& f = PixelFormatInfo;
    Fields out;
    out.redShift = f.redShift;
    out.greenShift = f.greenShift;
    out.blueShift = f.blueShift;
    out.redMax = static_cast<Pixel>(f.redMax);
    out.greenMax = static_cast<Pixel>(f.greenMax);
    out.blueMax = static_cast<Pixel>(f.blueMax);
    out.red5 = f.redShift5;
    out.green5 = f.greenShift5;
    out.blue5 = f.blueShift5;
    out.outside = static_cast<Pixel>(~(f.redMask | f.greenMask | f.blueMask));
    return out;
}

// One pixel's three channels on one scale.
struct Channels
{
    Pixel red, green, blue;
};

Channels Native(Pixel p, const Fields& f)
{
    return Channels{static_cast<Pixel>((p >> f.redShift) & f.redMax),
                    static_cast<Pixel>((p >> f.greenShift) & f.greenMax),
                    static_cast<Pixel>((p >> f.blueShift) & f.blueMax)};
}

// The 5-bit values pixelToRgb5 holds: a value with bits outside the layout is no colour of it
// and reads as black there.
Channels Five(Pixel p, const Fields& f)
{
    p = (p & f.outside) != 0 ? Pixel{0} : p;
    return Channels{static_cast<Pixel>((p >> f.red5) & 31), static_cast<Pixel>((p >> f.green5) & 31),
                    static_cast<Pixel>((p >> f.blue5) & 31)};
}

Pixel Join5(Pixel red, Pixel green, Pixel blue, const Fields& f)
{
    return static_cast<Pixel>((std::uint32_t{red} << f.red5) | (std::uint32_t{green} << f.green5) |
                              (std::uint32_t{blue} << f.blue5));
}

// max(a - b, 0) on channel values.
Pixel Less(Pixel a, Pixel b)
{
    return a > b ? static_cast<Pixel>(a - b) : Pixel{0};
}

// The cross-fade of the fade table at t = 31 - level: what is left of the source above t plus
// what is left of the destination above level.
Pixel Fade(Pixel s, Pixel d, Pixel t)
{
    return static_cast<Pixel>(Less(s, t) + Less(d, static_cast<Pixel>(31 - t)));
}

// The add table at t (here biased by 31, so that t below 0 adds more): the source less t,
// plus the destination, at most 31.
Pixel Add(Pixel s, Pixel d, Pixel biasedT)
{
    return std::min(static_cast<Pixel>(Less(static_cast<Pixel>(s + 31), biasedT) + d), Pixel{31});
}

// One native channel of an alpha blend: the products and their sum formed in double and
// truncated once. The opacities are bounded, so the sum fits an int.
std::uint32_t Mix(Pixel s, Pixel d, double sourceWeight, double backWeight)
{
    double sum = static_cast<double>(s) * sourceWeight + static_cast<double>(d) * backWeight;
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(sum));
}

// A pixel's opacities per channel, already in double (each a 32-bit float's value).
struct Weights
{
    double red, green, blue;     // of the source
    double backRed, backGreen, backBlue; // of the back buffer
};

// Joined with the native shifts, unmasked: values past their field spill into its neighbours.
Pixel Alpha(Pixel s, Pixel d, const Weights& w, const Fields& f)
{
    Channels a = Native(s, f);
    Channels b = Native(d, f);
    std::uint32_t red = Mix(a.red, b.red, w.red, w.backRed);
    std::uint32_t green = Mix(a.green, b.green, w.green, w.backGreen);
    std::uint32_t blue = Mix(a.blue, b.blue, w.blue, w.backBlue);
    return static_cast<Pixel>((red << f.redShift) | (green << f.greenShift) |
                              (blue << f.blueShift));
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
Weights OpacityWeights(float aRed, float aGreen, float aBlue)
{
    aRed = BoundOpacity(aRed);
    aGreen = BoundOpacity(aGreen);
    aBlue = BoundOpacity(aBlue);
    float backRed = 1.0f - aRed;
    float backGreen = 1.0f - aGreen;
    float backBlue = 1.0f - aBlue;
    return Weights{aRed, aGreen, aBlue, backRed, backGreen, backBlue};
}

Pixel Level(int level)
{
    return static_cast<Pixel>(std::clamp(level, 0, 31));
}

// The keyed row walk every member shares: pixel(s, d, i) for each column i, the back buffer
// kept where the source is 0. The choice is a mask rather than a branch: with a branch GCC
// computes the floating-point steps only for kept pixels and leaves the loop scalar.
template <class Step>
inline void KeyedRow(const Pixel* __restrict source, Pixel* __restrict back, int width,
                     const Step& pixel)
{
    for (int i = 0; i < width; ++i)
    {
        Pixel s = source[i];
        Pixel d = back[i];
        Pixel r = pixel(s, d, i);
        Pixel drawn = static_cast<Pixel>(-static_cast<Pixel>(s != 0));
        back[i] = static_cast<Pixel>((r & drawn) | (d & ~drawn));
    }
}

// The frame with one row step for every row, compiled for the active instruction set.
template <class Step>
int Blend(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom,
          const Step& pixel)
{
    return BlitFrame(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                     [&](const BlitView& view)
                     {
                         RunVectorised(
                             [&]
                             {
                                 for (int j = 0; j < view.height; ++j)
                                 {
                                     KeyedRow(view.SourceRow(j), view.DestinationRow(j),
                                              view.width, pixel);
                                 }
                             });
                     });
}

// The ramps' counter: before position p, a p past start (as unsigned, so a negative start
// never ramps) counts once, and every step counts make one ramp step. A step below 1 is
// taken as 1.
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

// The alpha ramp's back-buffer weights, one float per channel; a weight above 0 drops by 1/32,
// never below 0.
struct RampWeights
{
    float red, green, blue;

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
    Weights AsWeights() const
    {
        float sourceRed = 1.0f - red;
        float sourceGreen = 1.0f - green;
        float sourceBlue = 1.0f - blue;
        return Weights{sourceRed, sourceGreen, sourceBlue, red, green, blue};
    }
};

// The fade ramp's table levels t = 31 - level; a t above 0 drops by 1.
struct RampLevels
{
    Pixel red, green, blue;

    void Drop()
    {
        for (Pixel* t : {&red, &green, &blue})
        {
            *t = *t > 0 ? static_cast<Pixel>(*t - 1) : Pixel{0};
        }
    }
};

// Runs a ramp over the clipped rectangle: along each row, state's value per column (the same
// in every row, as the ramp starts again at each row's start), or down the rows, one value
// per row carried from row to row. step(s, d, value) is the pixel.
template <class State, class Step>
int Ramp(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom,
         int vertical, int start, int stepLength, State initial, const Step& step)
{
    return BlitFrame(
        x, y, id, srcLeft, srcTop, srcRight, srcBottom,
        [&](const BlitView& view)
        {
            RampCounter counter(start, stepLength);
            State state = initial;
            if (vertical == 0)
            {
                std::vector<State> columns(static_cast<std::size_t>(view.width));
                for (int i = 0; i < view.width; ++i)
                {
                    if (counter.Advance(i))
                    {
                        state.Drop();
                    }
                    columns[static_cast<std::size_t>(i)] = state;
                }
                const State* column = columns.data();
                RunVectorised(
                    [&]
                    {
                        for (int j = 0; j < view.height; ++j)
                        {
                            KeyedRow(view.SourceRow(j), view.DestinationRow(j), view.width,
                                     [&](Pixel s, Pixel d, int i) { return step(s, d, column[i]); });
                        }
                    });
                return;
            }
            for (int j = 0; j < view.height; ++j)
            {
                if (counter.Advance(j))
                {
                    state.Drop();
                }
                const State row = state;
                RunVectorised(
                    [&]
                    {
                        KeyedRow(view.SourceRow(j), view.DestinationRow(j), view.width,
                                 [&](Pixel s, Pixel d, int) { return step(s, d, row); });
                    });
            }
        });
}

Pixel FadePixel(Pixel s, Pixel d, const RampLevels& t, const Fields& f)
{
    Channels a = Five(s, f);
    Channels b = Five(d, f);
    return Join5(Fade(a.red, b.red, t.red), Fade(a.green, b.green, t.green),
                 Fade(a.blue, b.blue, t.blue), f);
}

} // namespace

namespace voDraw
{

int PutHalf(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    const Pixel half = static_cast<Pixel>(PixelFormatInfo.halfMask);
    return Blend(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                 [half](Pixel s, Pixel d, int)
                 { return static_cast<Pixel>(((s >> 1) & half) + ((d >> 1) & half)); });
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
    const Fields f = ReadFields();
    const Weights w = OpacityWeights(aRed, aGreen, aBlue);
    return Blend(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                 [f, w](Pixel s, Pixel d, int) { return Alpha(s, d, w, f); });
}

int PutFade(int x, int y, int level, ObjectId id, int srcLeft, int srcTop, int srcRight,
            int srcBottom)
{
    return PutFadeRGB(x, y, level, level, level, id, srcLeft, srcTop, srcRight, srcBottom);
}

int PutFadeRGB(int x, int y, int levelRed, int levelGreen, int levelBlue, ObjectId id,
               int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    const Fields f = ReadFields();
    const RampLevels t{static_cast<Pixel>(31 - Level(levelRed)),
                       static_cast<Pixel>(31 - Level(levelGreen)),
                       static_cast<Pixel>(31 - Level(levelBlue))};
    return Blend(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                 [f, t](Pixel s, Pixel d, int) { return FadePixel(s, d, t, f); });
}

int PutAlphaRamp(int x, int y, float aRed, float aGreen, float aBlue, int vertical, int start,
                 int step, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    const Fields f = ReadFields();
    const RampWeights initial{1.0f - BoundOpacity(aRed), 1.0f - BoundOpacity(aGreen),
                              1.0f - BoundOpacity(aBlue)};
    return Ramp(x, y, id, srcLeft, srcTop, srcRight, srcBottom, vertical, start, step, initial,
                [f](Pixel s, Pixel d, const RampWeights& w)
                { return Alpha(s, d, w.AsWeights(), f); });
}

int PutFadeRamp(int x, int y, int levelRed, int levelGreen, int levelBlue, int vertical,
                int start, int step, ObjectId id, int srcLeft, int srcTop, int srcRight,
                int srcBottom)
{
    const Fields f = ReadFields();
    const RampLevels initial{static_cast<Pixel>(31 - Level(levelRed)),
                             static_cast<Pixel>(31 - Level(levelGreen)),
                             static_cast<Pixel>(31 - Level(levelBlue))};
    return Ramp(x, y, id, srcLeft, srcTop, srcRight, srcBottom, vertical, start, step, initial,
                [f](Pixel s, Pixel d, const RampLevels& t) { return FadePixel(s, d, t, f); });
}

int PutAdd(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    return PutAddLevel(x, y, 1.0f, id, srcLeft, srcTop, srcRight, srcBottom);
}

int PutAddLevel(int x, int y, float a, ObjectId id, int srcLeft, int srcTop, int srcRight,
                int srcBottom)
{
    // t = trunc(31 - 31a), formed in double and truncated once. Below -31 every sum is 31
    // and above 31 nothing is added, so t is held in -31..31 (NaN adds nothing).
    double level = 31.0 - 31.0 * static_cast<double>(a);
    int t = std::isnan(level) ? 31 : static_cast<int>(std::clamp(level, -31.0, 31.0));
    const Fields f = ReadFields();
    const Pixel biasedT = static_cast<Pixel>(t + 31);
    return Blend(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                 [f, biasedT](Pixel s, Pixel d, int)
                 {
                     Channels a5 = Five(s, f);
                     Channels b5 = Five(d, f);
                     return Join5(Add(a5.red, b5.red, biasedT), Add(a5.green, b5.green, biasedT),
                                  Add(a5.blue, b5.blue, biasedT), f);
                 });
}

int PutSubtract(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom)
{
    const Fields f = ReadFields();
    // The source's red is the subtrahend of every channel: the source is read as a
    // single-channel mask, and games draw with it that way.
    return Blend(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                 [f](Pixel s, Pixel d, int)
                 {
                     Pixel red = Five(s, f).red;
                     Channels b = Five(d, f);
                     return Join5(Less(b.red, red), Less(b.green, red), Less(b.blue, red), f);
                 });
}

} // namespace voDraw
