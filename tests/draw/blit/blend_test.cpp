// The blending blitters against their formulas, written out here one pixel at a time: every
// channel pair at every level on a grid, random frames for the float members, the ramps'
// counters, the ends the formulas fix, the safe handling of bad levels and steps, on 565 and
// 555 and on both instruction paths.
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "draw/blit/blit_internal.h"
#include "tests/draw/blit/blit_support.h"

using blit_testing::Channels;
using blit_testing::ExpectSamePicture;
using blit_testing::PixelStep;
using blit_testing::ReferenceBlit;
using draw_testing::Picture;

namespace
{

using Put = std::function<int(ObjectId)>;

constexpr int kGridWidth = 65; // 64 columns of every source channel value, then a 0 column
constexpr int kGridHeight = 64;

class Blend : public blit_testing::BlitTest
{
  protected:
    // Native channels joined, unmasked, from ints: a value past its field spills.
    std::uint16_t JoinNative(int red, int green, int blue) const
    {
        return static_cast<std::uint16_t>((static_cast<std::uint32_t>(red) << layout.RedShift()) |
                                          (static_cast<std::uint32_t>(green) << 5) |
                                          static_cast<std::uint32_t>(blue));
    }
    std::uint16_t White() const
    {
        return static_cast<std::uint16_t>(layout.RedMask() | layout.GreenMask() |
                                          layout.BlueMask());
    }

    // One alpha channel: source weight a, back weight 1 - a held as a float, the products
    // and their sum in double, truncated once.
    static int Mix(int s, int d, float a, float back)
    {
        return static_cast<int>(static_cast<double>(s) * static_cast<double>(a) +
                                static_cast<double>(d) * static_cast<double>(back));
    }
    std::uint16_t AlphaPixel(std::uint16_t s, std::uint16_t d, const std::array<float, 3>& a) const
    {
        Channels x = layout.Native(s);
        Channels y = layout.Native(d);
        return JoinNative(Mix(x.red, y.red, a[0], 1.0f - a[0]),
                          Mix(x.green, y.green, a[1], 1.0f - a[1]),
                          Mix(x.blue, y.blue, a[2], 1.0f - a[2]));
    }
    // The fade table's value at t = 31 - level.
    static int FadeChannel(int s, int d, int level)
    {
        int t = 31 - level;
        return std::max(s - t, 0) + std::max(d - level, 0);
    }
    std::uint16_t FadePixel(std::uint16_t s, std::uint16_t d, const std::array<int, 3>& level) const
    {
        Channels x = layout.Five(s);
        Channels y = layout.Five(d);
        return layout.Join5(FadeChannel(x.red, y.red, level[0]),
                            FadeChannel(x.green, y.green, level[1]),
                            FadeChannel(x.blue, y.blue, level[2]));
    }
    std::uint16_t AddPixel(std::uint16_t s, std::uint16_t d, int t) const
    {
        Channels x = layout.Five(s);
        Channels y = layout.Five(d);
        auto add = [t](int a, int b) { return std::min(std::max(a - t, 0) + b, 31); };
        return layout.Join5(add(x.red, y.red), add(x.green, y.green), add(x.blue, y.blue));
    }

    // The grid: source column i and back-buffer row j hold channel values that meet in
    // every pair (red i and j mod 32, green i and j up to the green's largest value, blue
    // through two odd multipliers), the last source column is 0.
    std::uint16_t GridSource(int i) const
    {
        if (i == kGridWidth - 1)
        {
            return 0;
        }
        return layout.JoinNative(i % 32, i % (layout.GreenMax() + 1), (i * 5 + 3) % 32);
    }
    std::uint16_t GridBack(int j) const
    {
        return layout.JoinNative(j % 32, j % (layout.GreenMax() + 1), (j * 7 + 1) % 32);
    }

    // Runs check once on each instruction path the processor has.
    void OnEachPath(const std::function<void(const std::string&)>& check)
    {
        ASSERT_TRUE(SetBlitPath(BlitPath::Baseline));
        check("baseline");
        if (SetBlitPath(BlitPath::Avx2))
        {
            check("avx2");
        }
    }

    // Draws the grid object with put at (0, 0) onto the grid back buffer (random below and
    // right of it) on each path, and compares the whole back buffer with the reference.
    void ExpectGrid(const Put& put, const PixelStep& step, const std::string& what)
    {
        if (grid == 0)
        {
            grid = MakeObject(kGridWidth, kGridHeight, [&](int i, int) { return GridSource(i); });
            gridPicture = Object(grid);
            draw_testing::PaintSurface(BackBuffer(),
                                       [&](int x, int y)
                                       {
                                           return x < kGridWidth && y < kGridHeight
                                                      ? GridBack(y)
                                                      : layout.Random(random);
                                       });
            gridBack = Back();
        }
        OnEachPath(
            [&](const std::string& path)
            {
                draw_testing::PaintSurface(BackBuffer(),
                                           [&](int x, int y) { return gridBack.At(x, y); });
                ASSERT_EQ(put(grid), 1) << what;
                Picture expected =
                    ReferenceBlit(gridBack, gridPicture, 0, 0, Rect{0, 0, kGridWidth, kGridHeight},
                                  Rect{0, 0, 640, 480}, step);
                ExpectSamePicture(Back(), expected, what + " on " + path);
            });
    }

    // A random object with transparent pixels put partly off the screen's left edge onto a
    // random back buffer, on each path.
    void ExpectRandom(const std::function<int(ObjectId, int x, int y)>& put, const PixelStep& step,
                      const std::string& what)
    {
        ObjectId id = RandomObject(203, 77);
        Picture source = Object(id);
        OnEachPath(
            [&](const std::string& path)
            {
                for (int x : {-13, 101})
                {
                    RandomBack();
                    Picture before = Back();
                    ASSERT_EQ(put(id, x, 17), 1) << what;
                    Picture expected = ReferenceBlit(before, source, x, 17, Rect{0, 0, 203, 77},
                                                     Rect{0, 0, 640, 480}, step);
                    ExpectSamePicture(Back(), expected,
                                      what + " at x " + std::to_string(x) + " on " + path);
                }
            });
    }

    ObjectId grid = 0;
    Picture gridPicture;
    Picture gridBack;
};

BLIT_TEST_LAYOUTS(Blend);

// The ramps' counter as described: before position p, a p past start (unsigned) counts; at
// step counts the ramp moves once and the count starts again. Steps below 1 count as 1.
template <class State, class Drop>
std::vector<State> RampStates(State state, int start, int step, int positions, Drop drop)
{
    step = std::max(step, 1);
    std::vector<State> out;
    int count = 0;
    for (int p = 0; p < positions; ++p)
    {
        if (static_cast<std::uint32_t>(p) > static_cast<std::uint32_t>(start) && ++count == step)
        {
            count = 0;
            drop(state);
        }
        out.push_back(state);
    }
    return out;
}

std::array<float, 3> DropWeights(std::array<float, 3>& w)
{
    for (float& x : w)
    {
        if (x > 0.0f)
        {
            x = std::max(x - 0.03125f, 0.0f);
        }
    }
    return w;
}

} // namespace

// ---- Exhaustive: every channel pair ----------------------------------------------------------

TEST_P(Blend, HalfIsTheMaskedHalvesAdded)
{
    std::uint16_t half = static_cast<std::uint16_t>(
        ((layout.RedMask() >> 1) & layout.RedMask()) |
        ((layout.GreenMask() >> 1) & layout.GreenMask()) | (layout.BlueMask() >> 1));
    ExpectGrid([](ObjectId id) { return voDraw::PutHalf(0, 0, id, 0, 0, kGridWidth, kGridHeight); },
               [half](std::uint16_t s, std::uint16_t d, int, int)
               { return static_cast<std::uint16_t>(((s >> 1) & half) + ((d >> 1) & half)); },
               "half");
}

TEST_P(Blend, FadeAtEveryLevelAndPerChannelLevels)
{
    for (int level = 0; level <= 31; ++level)
    {
        ExpectGrid([level](ObjectId id)
                   { return voDraw::PutFade(0, 0, level, id, 0, 0, kGridWidth, kGridHeight); },
                   [&](std::uint16_t s, std::uint16_t d, int, int)
                   { return FadePixel(s, d, {level, level, level}); },
                   "fade " + std::to_string(level));
        std::array<int, 3> levels{level, 31 - level, (level * 7) % 32};
        ExpectGrid(
            [levels](ObjectId id)
            {
                return voDraw::PutFadeRGB(0, 0, levels[0], levels[1], levels[2], id, 0, 0,
                                          kGridWidth, kGridHeight);
            },
            [&](std::uint16_t s, std::uint16_t d, int, int) { return FadePixel(s, d, levels); },
            "fade per channel " + std::to_string(level));
    }
}

TEST_P(Blend, AddAndAddLevelAtEveryLevel)
{
    ExpectGrid([](ObjectId id) { return voDraw::PutAdd(0, 0, id, 0, 0, kGridWidth, kGridHeight); },
               [&](std::uint16_t s, std::uint16_t d, int, int) { return AddPixel(s, d, 0); },
               "add");
    // a = n / 31 reaches every t; the values past 0..1 raise or drop the source further.
    for (int n = -40; n <= 40; ++n)
    {
        float a = static_cast<float>(n) / 31.0f;
        int t = static_cast<int>(31.0 - 31.0 * static_cast<double>(a));
        ExpectGrid([a](ObjectId id)
                   { return voDraw::PutAddLevel(0, 0, a, id, 0, 0, kGridWidth, kGridHeight); },
                   [&](std::uint16_t s, std::uint16_t d, int, int) { return AddPixel(s, d, t); },
                   "add level " + std::to_string(a));
    }
}

TEST_P(Blend, SubtractTakesTheSourceRedFromEveryChannel)
{
    ExpectGrid([](ObjectId id)
               { return voDraw::PutSubtract(0, 0, id, 0, 0, kGridWidth, kGridHeight); },
               [&](std::uint16_t s, std::uint16_t d, int, int)
               {
                   int red = layout.Five(s).red;
                   Channels y = layout.Five(d);
                   return layout.Join5(std::max(y.red - red, 0), std::max(y.green - red, 0),
                                       std::max(y.blue - red, 0));
               },
               "subtract");
}

TEST_P(Blend, AlphaOnEveryChannelPair)
{
    // Opacities on the exact fixed-point path and off it (small ones with fine fractions),
    // the ends, and spilling ones past 0..1.
    const float opacities[] = {0.0f,  1.0f,      0.5f,  0.4f,   0.75f, 0.3f,   0.999f, 0.1f,
                               0.01f, 0.123456f, 1e-7f, 1e-30f, 1.5f,  -0.25f, 3.0f,   -2.0f};
    for (float a : opacities)
    {
        ExpectGrid([a](ObjectId id)
                   { return voDraw::PutAlpha(0, 0, a, id, 0, 0, kGridWidth, kGridHeight); },
                   [&](std::uint16_t s, std::uint16_t d, int, int)
                   { return AlphaPixel(s, d, {a, a, a}); },
                   "alpha " + std::to_string(a));
    }
    std::array<float, 3> perChannel{0.2f, 0.05f, 0.9f};
    ExpectGrid(
        [&](ObjectId id)
        {
            return voDraw::PutAlphaRGB(0, 0, perChannel[0], perChannel[1], perChannel[2], id, 0,
                                       0, kGridWidth, kGridHeight);
        },
        [&](std::uint16_t s, std::uint16_t d, int, int) { return AlphaPixel(s, d, perChannel); },
        "alpha per channel");
}

// ---- Random frames ---------------------------------------------------------------------------

TEST_P(Blend, FloatMembersOnRandomFrames)
{
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int round = 0; round < 6; ++round)
    {
        std::array<float, 3> a{unit(random), unit(random) * 0.1f, unit(random)};
        ExpectRandom([&](ObjectId id, int x, int y)
                     { return voDraw::PutAlphaRGB(x, y, a[0], a[1], a[2], id, 0, 0, 203, 77); },
                     [&](std::uint16_t s, std::uint16_t d, int, int)
                     { return AlphaPixel(s, d, a); },
                     "alpha per channel");
        float level = unit(random) * 1.2f - 0.1f;
        int t = static_cast<int>(31.0 - 31.0 * static_cast<double>(level));
        ExpectRandom([&](ObjectId id, int x, int y)
                     { return voDraw::PutAddLevel(x, y, level, id, 0, 0, 203, 77); },
                     [&](std::uint16_t s, std::uint16_t d, int, int) { return AddPixel(s, d, t); },
                     "add level");
    }
}

// ---- Ramps -----------------------------------------------------------------------------------

TEST_P(Blend, AlphaRampFollowsItsCounterAlongAndDown)
{
    struct Case
    {
        std::array<float, 3> a;
        int vertical, start, step;
    };
    const Case cases[] = {
        {{0.0f, 0.0f, 0.0f}, 0, 0, 1},      {{0.0f, 0.0f, 0.0f}, 1, 0, 1},
        {{0.1f, 0.5f, 0.9f}, 0, 20, 3},     {{0.1f, 0.5f, 0.9f}, 7, 5, 2},
        {{0.2f, 0.3f, 0.05f}, 0, -1, 1},    {{0.2f, 0.3f, 0.05f}, 1, -5, 1}, // never ramps
        {{0.0f, 0.6f, 0.3f}, 0, 3, 0},      {{0.0f, 0.6f, 0.3f}, 1, 3, -4}, // steps below 1
        {{1.5f, -0.5f, 0.25f}, 0, 10, 2},   {{0.0f, 0.0f, 0.0f}, 0, 2000000000, 1},
    };
    for (const Case& c : cases)
    {
        std::vector<std::array<float, 3>> w = RampStates(
            std::array<float, 3>{1.0f - c.a[0], 1.0f - c.a[1], 1.0f - c.a[2]}, c.start, c.step,
            640, DropWeights);
        ExpectRandom(
            [&](ObjectId id, int x, int y)
            {
                return voDraw::PutAlphaRamp(x, y, c.a[0], c.a[1], c.a[2], c.vertical, c.start,
                                            c.step, id, 0, 0, 203, 77);
            },
            [&](std::uint16_t s, std::uint16_t d, int i, int j)
            {
                const std::array<float, 3>& back = w[static_cast<std::size_t>(c.vertical ? j : i)];
                return AlphaPixel(s, d, {1.0f - back[0], 1.0f - back[1], 1.0f - back[2]});
            },
            "alpha ramp start " + std::to_string(c.start) + " step " + std::to_string(c.step) +
                " vertical " + std::to_string(c.vertical));
    }
}

TEST_P(Blend, FadeRampFollowsItsCounterAlongAndDown)
{
    struct Case
    {
        std::array<int, 3> level;
        int vertical, start, step;
    };
    const Case cases[] = {
        {{0, 0, 0}, 0, 0, 1},     {{0, 0, 0}, 1, 0, 1},     {{3, 17, 30}, 0, 40, 3},
        {{3, 17, 30}, 2, 10, 2},  {{5, 5, 5}, 0, -3, 1},    {{0, 10, 20}, 0, 4, 0},
        {{0, 10, 20}, 1, 4, -2},  {{-9, 40, 31}, 0, 1, 5},  {{31, 31, 31}, 1, 0, 1},
    };
    for (const Case& c : cases)
    {
        // Held as levels; the ramp lowers t = 31 - level, so it raises each level below 31.
        std::array<int, 3> initial;
        for (int k = 0; k < 3; ++k)
        {
            initial[k] = std::clamp(c.level[k], 0, 31);
        }
        std::vector<std::array<int, 3>> levels =
            RampStates(initial, c.start, c.step, 640,
                       [](std::array<int, 3>& l)
                       {
                           for (int& x : l)
                           {
                               x = std::min(x + 1, 31);
                           }
                       });
        ExpectRandom(
            [&](ObjectId id, int x, int y)
            {
                return voDraw::PutFadeRamp(x, y, c.level[0], c.level[1], c.level[2], c.vertical,
                                           c.start, c.step, id, 0, 0, 203, 77);
            },
            [&](std::uint16_t s, std::uint16_t d, int i, int j)
            { return FadePixel(s, d, levels[static_cast<std::size_t>(c.vertical ? j : i)]); },
            "fade ramp start " + std::to_string(c.start) + " step " + std::to_string(c.step) +
                " vertical " + std::to_string(c.vertical));
    }
}

TEST_P(Blend, AlphaRampColumnsAndRowsReachTheSourceByThirtySeconds)
{
    // White over black, start 0, step 1, opacity 0: position 0 is the background, position
    // p the source at weight p / 32, from 32 on the source.
    ObjectId id = MakeObject(40, 40, [&](int, int) { return White(); });
    auto expected = [&](int p)
    {
        int q = std::min(p, 32);
        return JoinNative(31 * q / 32, layout.GreenMax() * q / 32, 31 * q / 32);
    };
    OnEachPath(
        [&](const std::string& path)
        {
            for (int vertical : {0, 1})
            {
                FillBack(0);
                ASSERT_EQ(voDraw::PutAlphaRamp(5, 5, 0.0f, 0.0f, 0.0f, vertical, 0, 1, id, 0, 0,
                                               40, 40),
                          1);
                Picture back = Back();
                for (int j = 0; j < 40; ++j)
                {
                    for (int i = 0; i < 40; ++i)
                    {
                        // Along the rows every row starts again; down them the rows carry on.
                        ASSERT_EQ(back.At(5 + i, 5 + j), expected(vertical ? j : i))
                            << path << " vertical " << vertical << " at " << i << ", " << j;
                    }
                }
            }
        });
}

// ---- The ends the formulas fix ---------------------------------------------------------------

TEST_P(Blend, EndsOfEachFormula)
{
    const std::uint16_t white = White();
    const std::uint16_t white5 = layout.Join5(31, 31, 31); // 0xFFDF in 565
    // Channels of every kind, the 565 green with its lowest bit set.
    const std::uint16_t back = layout.JoinNative(21, layout.rgb555 ? 13 : 27, 6);
    const std::uint16_t colour = layout.JoinNative(9, layout.rgb555 ? 30 : 61, 17);
    Channels b5 = layout.Five(back);
    const std::uint16_t back5 = layout.Join5(b5.red, b5.green, b5.blue);
    Channels c5 = layout.Five(colour);
    const std::uint16_t colour5 = layout.Join5(c5.red, c5.green, c5.blue);
    struct Case
    {
        const char* what;
        std::uint16_t source, back;
        std::function<int(ObjectId)> put;
        std::uint16_t expected;
    };
    const Case cases[] = {
        {"fade 31 gives the source's 5-bit colour", colour, back,
         [](ObjectId id) { return voDraw::PutFade(0, 0, 31, id, 0, 0, 8, 8); }, colour5},
        {"fade 0 gives the back buffer's 5-bit colour", colour, back,
         [](ObjectId id) { return voDraw::PutFade(0, 0, 0, id, 0, 0, 8, 8); }, back5},
        {"fade above 31 is 31", colour, back,
         [](ObjectId id) { return voDraw::PutFade(0, 0, 1000, id, 0, 0, 8, 8); }, colour5},
        {"fade below 0 is 0", colour, back,
         [](ObjectId id) { return voDraw::PutFade(0, 0, -7, id, 0, 0, 8, 8); }, back5},
        {"fade per channel clamps each level", colour, back,
         [](ObjectId id) { return voDraw::PutFadeRGB(0, 0, 99, -1, 31, id, 0, 0, 8, 8); },
         layout.Join5(c5.red, b5.green, c5.blue)},
        {"fade ramp clamps its levels", colour, back,
         [](ObjectId id)
         { return voDraw::PutFadeRamp(0, 0, 32, -5, 31, 0, -1, 1, id, 0, 0, 8, 8); },
         layout.Join5(c5.red, b5.green, c5.blue)},
        {"add of white is the 5-bit white", white, back,
         [](ObjectId id) { return voDraw::PutAdd(0, 0, id, 0, 0, 8, 8); }, white5},
        {"add level 0 keeps the back buffer's 5-bit colour", colour, back,
         [](ObjectId id) { return voDraw::PutAddLevel(0, 0, 0.0f, id, 0, 0, 8, 8); }, back5},
        {"subtract with red 31 gives black", layout.JoinNative(31, 0, 0), white,
         [](ObjectId id) { return voDraw::PutSubtract(0, 0, id, 0, 0, 8, 8); }, 0},
        {"subtract ignores the source's green and blue", layout.JoinNative(0, layout.GreenMax(), 31), back,
         [](ObjectId id) { return voDraw::PutSubtract(0, 0, id, 0, 0, 8, 8); }, back5},
        {"alpha 1 writes the source exactly", colour, back,
         [](ObjectId id) { return voDraw::PutAlpha(0, 0, 1.0f, id, 0, 0, 8, 8); }, colour},
        {"alpha 0 keeps the back buffer exactly", colour, back,
         [](ObjectId id) { return voDraw::PutAlpha(0, 0, 0.0f, id, 0, 0, 8, 8); }, back},
        {"half of white on black", white, 0,
         [](ObjectId id) { return voDraw::PutHalf(0, 0, id, 0, 0, 8, 8); },
         static_cast<std::uint16_t>(layout.rgb555 ? 0x3DEF : 0x7BEF)},
        // Opacity 2: each channel 2s - d, past the field: red 2 * 31 spills into the bit
        // above it, or out of 16 bits.
        {"alpha past 1 spills into the next field", white, 0,
         [](ObjectId id) { return voDraw::PutAlpha(0, 0, 2.0f, id, 0, 0, 8, 8); },
         JoinNative(62, 2 * layout.GreenMax(), 62)},
        {"a NaN opacity is 0", colour, back,
         [](ObjectId id)
         {
             return voDraw::PutAlpha(0, 0, std::numeric_limits<float>::quiet_NaN(), id, 0, 0, 8,
                                     8);
         },
         back},
    };
    if (!layout.rgb555)
    {
        ASSERT_EQ(white5, 0xFFDF);
    }
    for (const Case& c : cases)
    {
        ObjectId id = MakeObject(8, 8, [&](int, int) { return c.source; });
        OnEachPath(
            [&](const std::string& path)
            {
                FillBack(c.back);
                ASSERT_EQ(c.put(id), 1) << c.what;
                EXPECT_EQ(Back().At(3, 4), c.expected) << c.what << " on " << path;
            });
        voDraw::ReleaseObject(id);
    }
}

TEST_P(Blend, EveryMemberLeavesTransparentPixelsAlone)
{
    // Every other pixel of the source is 0; the arguments make every member change the
    // pixels it draws.
    ObjectId id = MakeObject(32, 16,
                             [&](int i, int j)
                             { return (i + j) % 2 == 0 ? std::uint16_t{0} : White(); });
    const std::pair<const char*, Put> members[] = {
        {"half", [](ObjectId o) { return voDraw::PutHalf(4, 4, o, 0, 0, 32, 16); }},
        {"alpha", [](ObjectId o) { return voDraw::PutAlpha(4, 4, 0.5f, o, 0, 0, 32, 16); }},
        {"alpha double", [](ObjectId o)
         { return voDraw::PutAlpha(4.9, 4.2, 0.1, o, 0, 0, 32, 16); }},
        {"alpha rgb", [](ObjectId o)
         { return voDraw::PutAlphaRGB(4, 4, 0.1f, 0.6f, 1.0f, o, 0, 0, 32, 16); }},
        {"fade", [](ObjectId o) { return voDraw::PutFade(4, 4, 20, o, 0, 0, 32, 16); }},
        {"fade rgb", [](ObjectId o)
         { return voDraw::PutFadeRGB(4, 4, 3, 30, 16, o, 0, 0, 32, 16); }},
        {"alpha ramp", [](ObjectId o)
         { return voDraw::PutAlphaRamp(4, 4, 0.2f, 0.2f, 0.2f, 0, 2, 1, o, 0, 0, 32, 16); }},
        {"fade ramp", [](ObjectId o)
         { return voDraw::PutFadeRamp(4, 4, 25, 25, 25, 1, 2, 1, o, 0, 0, 32, 16); }},
        {"add", [](ObjectId o) { return voDraw::PutAdd(4, 4, o, 0, 0, 32, 16); }},
        {"add level", [](ObjectId o)
         { return voDraw::PutAddLevel(4, 4, 0.7f, o, 0, 0, 32, 16); }},
        {"subtract", [](ObjectId o) { return voDraw::PutSubtract(4, 4, o, 0, 0, 32, 16); }},
    };
    for (const auto& [what, put] : members)
    {
        OnEachPath(
            [&](const std::string& path)
            {
                FillBack(layout.JoinNative(5, 9, 20));
                Picture before = Back();
                ASSERT_EQ(put(id), 1) << what;
                Picture after = Back();
                int changed = 0;
                for (int j = 0; j < 16; ++j)
                {
                    for (int i = 0; i < 32; ++i)
                    {
                        bool transparent = (i + j) % 2 == 0;
                        bool same = after.At(4 + i, 4 + j) == before.At(4 + i, 4 + j);
                        EXPECT_TRUE(!transparent || same) << what << " " << path << " at " << i;
                        changed += same ? 0 : 1;
                    }
                }
                EXPECT_EQ(changed, 32 * 16 / 2) << what << " on " << path;
            });
    }
}

TEST_P(Blend, DoublePositionIsTruncatedTowardZeroAndTheOpacityBecomesAFloat)
{
    ObjectId id = RandomObject(20, 10);
    Picture source = Object(id);
    const double opacity = 0.1; // not a float: the float nearest it is what is blended
    const float a = static_cast<float>(opacity);
    for (auto [x, y] : {std::pair{10.9, 7.99}, std::pair{-0.7, -0.2}, std::pair{-3.5, 2.0}})
    {
        RandomBack();
        Picture before = Back();
        ASSERT_EQ(voDraw::PutAlpha(x, y, opacity, id, 0, 0, 20, 10), 1);
        Picture expected = ReferenceBlit(
            before, source, static_cast<int>(x), static_cast<int>(y), Rect{0, 0, 20, 10},
            Rect{0, 0, 640, 480},
            [&](std::uint16_t s, std::uint16_t d, int, int) { return AlphaPixel(s, d, {a, a, a}); });
        ExpectSamePicture(Back(), expected, "at " + std::to_string(x));
    }
    // Opacities past the float range are held at a bound rather than narrowed undefined.
    EXPECT_EQ(voDraw::PutAlpha(0.0, 0.0, 1e300, id, 0, 0, 20, 10), 1);
    EXPECT_EQ(voDraw::PutAlpha(0.0, 0.0, std::nan(""), id, 0, 0, 20, 10), 1);
}

TEST_P(Blend, ValuesOutsideThe555LayoutReadAsBlackInTheTableMembers)
{
    if (!layout.rgb555)
    {
        GTEST_SKIP() << "every 16-bit value is a 565 colour";
    }
    // The top bit is no 555 channel: such a pixel has the 5-bit colour black.
    ObjectId id = MakeObject(8, 8, [](int, int) { return std::uint16_t{0x8000 | 0x1234}; });
    const std::uint16_t back = layout.JoinNative(20, 10, 5);
    OnEachPath(
        [&](const std::string& path)
        {
            FillBack(back);
            ASSERT_EQ(voDraw::PutAdd(0, 0, id, 0, 0, 8, 8), 1);
            EXPECT_EQ(Back().At(2, 2), back) << path;
            FillBack(static_cast<std::uint16_t>(0x8000 | back));
            ASSERT_EQ(voDraw::PutFade(0, 0, 0, id, 0, 0, 8, 8), 1);
            EXPECT_EQ(Back().At(2, 2), 0) << path;
        });
}

TEST_P(Blend, FarOpacitiesAreHeldAtTheirBound)
{
    // Opacities past +-65536 blend as the bound itself (NaN as 0), so that no channel value
    // leaves the int range; within it the spill is the formula's.
    ObjectId id = RandomObject(40, 20);
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<float, float> cases[] = {
        {1e30f, 65536.0f}, {-1e30f, -65536.0f}, {inf, 65536.0f}, {-inf, -65536.0f},
        {std::numeric_limits<float>::quiet_NaN(), 0.0f}};
    Picture source = Object(id);
    for (auto [far, bound] : cases)
    {
        OnEachPath(
            [&](const std::string& path)
            {
                RandomBack();
                Picture before = Back();
                ASSERT_EQ(voDraw::PutAlphaRGB(3, 3, far, 0.5f, far, id, 0, 0, 40, 20), 1);
                Picture expected = ReferenceBlit(
                    before, source, 3, 3, Rect{0, 0, 40, 20}, Rect{0, 0, 640, 480},
                    [&](std::uint16_t s, std::uint16_t d, int, int)
                    { return AlphaPixel(s, d, {bound, 0.5f, bound}); });
                ExpectSamePicture(Back(), expected, std::to_string(far) + " on " + path);
                // The ramp starts from the same bound.
                RandomBack();
                before = Back();
                ASSERT_EQ(voDraw::PutAlphaRamp(3, 3, far, far, far, 1, -1, 1, id, 0, 0, 40, 20),
                          1);
                expected = ReferenceBlit(before, source, 3, 3, Rect{0, 0, 40, 20},
                                         Rect{0, 0, 640, 480},
                                         [&](std::uint16_t s, std::uint16_t d, int, int)
                                         {
                                             float w = 1.0f - bound;
                                             float a = 1.0f - w;
                                             return AlphaPixel(s, d, {a, a, a});
                                         });
                ExpectSamePicture(Back(), expected, "ramp " + std::to_string(far) + " on " + path);
            });
    }
}
