// The blending blitters against their formulas written out here one pixel at a time: every
// channel pair at every level on a grid, random frames for the float members and the ramps,
// the ends the formulas fix, on 565 and 555 and on both instruction paths. Every comparison
// also proves that transparent (0) source pixels leave the back buffer alone.
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "tests/draw/blit/blit_support.h"

using blit_testing::Channels;
using blit_testing::ExpectSamePicture;
using blit_testing::OnEachPath;
using blit_testing::PixelStep;
using blit_testing::ReferenceBlit;
using draw_testing::Picture;

namespace
{

// A member drawing the whole object id at (x, y), and its reference step.
struct Row
{
    std::string what;
    std::function<int(ObjectId id, int x, int y)> put;
    PixelStep step;
};

constexpr int kWhole = 4096;   // a source rectangle past every object: the frame cuts it to it
constexpr int kGridWidth = 65; // 64 columns of every source channel value, then a 0 column
constexpr int kGridHeight = 64;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

class Blend : public blit_testing::BlitTest
{
  protected:
    // Native channels joined, unmasked: a value past its field spills.
    std::uint16_t JoinNative(int red, int green, int blue) const
    {
        return static_cast<std::uint16_t>((static_cast<std::uint32_t>(red) << layout.RedShift()) |
                                          (static_cast<std::uint32_t>(green) << 5) |
                                          static_cast<std::uint32_t>(blue));
    }
    // One alpha channel: source weight a, back weight 1 - a held as a float, the products
    // and their sum formed in double and truncated once.
    static int Mix(int s, int d, float a)
    {
        const float back = 1.0f - a;
        return static_cast<int>(static_cast<double>(s) * static_cast<double>(a) +
                                static_cast<double>(d) * static_cast<double>(back));
    }
    std::uint16_t Alpha(std::uint16_t s, std::uint16_t d, const std::array<float, 3>& a) const
    {
        Channels x = layout.Native(s), y = layout.Native(d);
        return JoinNative(Mix(x.red, y.red, a[0]), Mix(x.green, y.green, a[1]),
                          Mix(x.blue, y.blue, a[2]));
    }
    // The cross-fade at t = 31 - level, levels outside 0..31 taken as the nearest end.
    std::uint16_t Fade(std::uint16_t s, std::uint16_t d, const std::array<int, 3>& levels) const
    {
        Channels x = layout.Five(s), y = layout.Five(d);
        auto fade = [](int a, int b, int level)
        {
            level = std::clamp(level, 0, 31);
            return std::max(a - (31 - level), 0) + std::max(b - level, 0);
        };
        return layout.Join5(fade(x.red, y.red, levels[0]), fade(x.green, y.green, levels[1]),
                            fade(x.blue, y.blue, levels[2]));
    }
    std::uint16_t Add(std::uint16_t s, std::uint16_t d, int t) const
    {
        Channels x = layout.Five(s), y = layout.Five(d);
        auto add = [t](int a, int b) { return std::min(std::max(a - t, 0) + b, 31); };
        return layout.Join5(add(x.red, y.red), add(x.green, y.green), add(x.blue, y.blue));
    }

    // The grid: source column i and back-buffer row j hold channel values that meet in every
    // pair (red i and j mod 32, green up to the green's largest value, blue through two odd
    // multipliers; column 63 is white); the last source column is 0. Built once per test.
    void ExpectGrid(const Row& row)
    {
        if (grid == 0)
        {
            grid =
                MakeObject(kGridWidth, kGridHeight,
                           [&](int i, int)
                           {
                               return i == kGridWidth - 1
                                          ? std::uint16_t{0}
                                          : layout.JoinNative(i % 32, i % (layout.GreenMax() + 1),
                                                              (i * 5 + 4) % 32);
                           });
            RandomBack();
            draw_testing::PaintSurface(BackBuffer(),
                                       [&, back = Back()](int x, int j)
                                       {
                                           return x < kGridWidth && j < kGridHeight
                                                      ? layout.JoinNative(
                                                            j % 32, j % (layout.GreenMax() + 1),
                                                            (j * 7 + 1) % 32)
                                                      : back.At(x, j);
                                       });
            gridBack = Back();
        }
        OnEachPath(
            [&](const std::string& path)
            {
                draw_testing::PaintSurface(BackBuffer(),
                                           [&](int x, int y) { return gridBack.At(x, y); });
                ASSERT_EQ(row.put(grid, 0, 0), 1) << row.what;
                ExpectSamePicture(Back(),
                                  ReferenceBlit(gridBack, Object(grid), 0, 0,
                                                Rect{0, 0, kWhole, kWhole}, Rect{0, 0, 640, 480},
                                                row.step),
                                  row.what + " on " + path);
            });
    }

    // A random object with transparent pixels put partly off the screen's left edge and
    // inside it onto a random back buffer, on each path.
    void ExpectRandom(const Row& row)
    {
        if (object == 0)
        {
            object = RandomObject(203, 77);
        }
        OnEachPath(
            [&](const std::string& path)
            {
                for (int x : {-13, 101})
                {
                    RandomBack();
                    Picture before = Back();
                    ASSERT_EQ(row.put(object, x, 17), 1) << row.what;
                    ExpectSamePicture(Back(),
                                      ReferenceBlit(before, Object(object), x, 17,
                                                    Rect{0, 0, kWhole, kWhole},
                                                    Rect{0, 0, 640, 480}, row.step),
                                      row.what + " at x " + std::to_string(x) + " on " + path);
                }
            });
    }

    ObjectId grid = 0, object = 0;
    Picture gridBack;
};

BLIT_TEST_LAYOUTS(Blend);

// The ramps' counter as described: before position p, a p past start (unsigned) counts; at
// step counts the ramp moves once and the count starts again. Steps below 1 count as 1.
template <class State, class Drop>
std::vector<State> RampStates(State state, int start, int step, Drop drop)
{
    std::vector<State> out;
    for (int p = 0, count = 0; p < 640; ++p)
    {
        if (static_cast<std::uint32_t>(p) > static_cast<std::uint32_t>(start) &&
            ++count == std::max(step, 1))
        {
            count = 0;
            drop(state);
        }
        out.push_back(state);
    }
    return out;
}

} // namespace

TEST_P(Blend, TableMembersAndAlphaOnEveryChannelPairAtEveryLevel)
{
    std::uint16_t half = static_cast<std::uint16_t>(
        ((layout.RedMask() >> 1) & layout.RedMask()) |
        ((layout.GreenMask() >> 1) & layout.GreenMask()) | (layout.BlueMask() >> 1));
    std::vector<Row> rows = {
        {"half",
         [](ObjectId id, int x, int y) { return voDraw::PutHalf(x, y, id, 0, 0, kWhole, kWhole); },
         [half](std::uint16_t s, std::uint16_t d, int, int)
         { return static_cast<std::uint16_t>(((s >> 1) & half) + ((d >> 1) & half)); }},
        {"add",
         [](ObjectId id, int x, int y) { return voDraw::PutAdd(x, y, id, 0, 0, kWhole, kWhole); },
         [&](std::uint16_t s, std::uint16_t d, int, int) { return Add(s, d, 0); }},
        // The source's red is the subtrahend of every channel.
        {"subtract",
         [](ObjectId id, int x, int y)
         { return voDraw::PutSubtract(x, y, id, 0, 0, kWhole, kWhole); },
         [&](std::uint16_t s, std::uint16_t d, int, int)
         {
             int red = layout.Five(s).red;
             Channels y = layout.Five(d);
             return layout.Join5(std::max(y.red - red, 0), std::max(y.green - red, 0),
                                 std::max(y.blue - red, 0));
         }},
        {"alpha per channel",
         [](ObjectId id, int x, int y)
         { return voDraw::PutAlphaRGB(x, y, 0.2f, 0.05f, 0.9f, id, 0, 0, kWhole, kWhole); },
         [&](std::uint16_t s, std::uint16_t d, int, int) {
             return Alpha(s, d, {0.2f, 0.05f, 0.9f});
         }},
    };
    // Levels past 0..31 are taken as the nearest end.
    for (int level : {-7, 0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                      16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 1000})
    {
        std::array<int, 3> l{level, 31 - level, (level * 7) % 32};
        rows.push_back({"fade " + std::to_string(level),
                        [level](ObjectId id, int x, int y)
                        { return voDraw::PutFade(x, y, level, id, 0, 0, kWhole, kWhole); },
                        [&, level](std::uint16_t s, std::uint16_t d, int, int) {
                            return Fade(s, d, {level, level, level});
                        }});
        rows.push_back(
            {"fade per channel " + std::to_string(level),
             [l](ObjectId id, int x, int y)
             { return voDraw::PutFadeRGB(x, y, l[0], l[1], l[2], id, 0, 0, kWhole, kWhole); },
             [&, l](std::uint16_t s, std::uint16_t d, int, int) { return Fade(s, d, l); }});
    }
    // a = n / 31 reaches every t = trunc(31 - 31a) (in double); past 0..1 it raises or drops
    // the source further.
    for (int n = -40; n <= 40; ++n)
    {
        float a = static_cast<float>(n) / 31.0f;
        int t = static_cast<int>(31.0 - 31.0 * static_cast<double>(a));
        rows.push_back({"add level " + std::to_string(a),
                        [a](ObjectId id, int x, int y)
                        { return voDraw::PutAddLevel(x, y, a, id, 0, 0, kWhole, kWhole); },
                        [&, t](std::uint16_t s, std::uint16_t d, int, int)
                        { return Add(s, d, t); }});
    }
    // On the exact fixed-point path and off it, the ends, and spilling past 0..1.
    for (float a : {0.0f, 1.0f, 0.5f, 0.4f, 0.75f, 0.3f, 0.999f, 0.01f, 0.123456f, 1e-7f, 1e-30f,
                    1.5f, -0.25f, 3.0f, -2.0f})
    {
        rows.push_back({"alpha " + std::to_string(a),
                        [a](ObjectId id, int x, int y)
                        { return voDraw::PutAlpha(x, y, a, id, 0, 0, kWhole, kWhole); },
                        [&, a](std::uint16_t s, std::uint16_t d, int, int) {
                            return Alpha(s, d, {a, a, a});
                        }});
    }
    for (const Row& row : rows)
    {
        ExpectGrid(row);
    }
}

TEST_P(Blend, FloatMembersAndRampsOnRandomFrames)
{
    std::vector<Row> rows;
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int round = 0; round < 4; ++round)
    {
        std::array<float, 3> a{unit(random), unit(random) * 0.1f, unit(random)};
        rows.push_back(
            {"alpha per channel",
             [a](ObjectId id, int x, int y)
             { return voDraw::PutAlphaRGB(x, y, a[0], a[1], a[2], id, 0, 0, kWhole, kWhole); },
             [&, a](std::uint16_t s, std::uint16_t d, int, int) { return Alpha(s, d, a); }});
        float level = unit(random) * 1.2f - 0.1f;
        int t = static_cast<int>(31.0 - 31.0 * static_cast<double>(level));
        rows.push_back({"add level",
                        [level](ObjectId id, int x, int y)
                        { return voDraw::PutAddLevel(x, y, level, id, 0, 0, kWhole, kWhole); },
                        [&, t](std::uint16_t s, std::uint16_t d, int, int)
                        { return Add(s, d, t); }});
    }
    // The double overload: the position truncated toward zero, the opacity narrowed to a
    // float, opacities past +-65536 held there (NaN as 0), for the ramp's start too.
    rows.push_back({"alpha at a double position",
                    [](ObjectId id, int x, int y) {
                        return voDraw::PutAlpha(x + (x < 0 ? -0.7 : 0.9), y + 0.99, 0.1, id, 0, 0,
                                                kWhole, kWhole);
                    },
                    [&](std::uint16_t s, std::uint16_t d, int, int) {
                        return Alpha(s, d, {0.1f, 0.1f, 0.1f});
                    }});
    const float inf = std::numeric_limits<float>::infinity();
    for (auto [far, bound] :
         {std::pair{1e30f, 65536.0f}, std::pair{-inf, -65536.0f}, std::pair{kNaN, 0.0f}})
    {
        rows.push_back(
            {"far " + std::to_string(far),
             [far](ObjectId id, int x, int y)
             { return voDraw::PutAlphaRGB(x, y, far, 0.5f, far, id, 0, 0, kWhole, kWhole); },
             [&, bound](std::uint16_t s, std::uint16_t d, int, int) {
                 return Alpha(s, d, {bound, 0.5f, bound});
             }});
        rows.push_back({"far double " + std::to_string(far),
                        [far](ObjectId id, int x, int y) {
                            return voDraw::PutAlpha(double(x), double(y), double(far) * 1e10, id, 0,
                                                    0, kWhole, kWhole);
                        },
                        [&, bound](std::uint16_t s, std::uint16_t d, int, int) {
                            return Alpha(s, d, {bound, bound, bound});
                        }});
        float a = 1.0f - (1.0f - bound); // the ramp holds the back weight 1 - a
        rows.push_back({"far ramp " + std::to_string(far),
                        [far](ObjectId id, int x, int y) {
                            return voDraw::PutAlphaRamp(x, y, far, far, far, 1, -1, 1, id, 0, 0,
                                                        kWhole, kWhole);
                        },
                        [&, a](std::uint16_t s, std::uint16_t d, int, int) {
                            return Alpha(s, d, {a, a, a});
                        }});
    }
    // The ramps: along the rows (vertical 0) each row starts again, down them (any other
    // value) the rows carry on; a negative start never ramps; steps below 1 count as 1.
    struct Ramp
    {
        std::array<float, 3> a;
        std::array<int, 3> level;
        int vertical, start, step;
    };
    for (const Ramp& c : {Ramp{{0.0f, 0.0f, 0.0f}, {0, 0, 0}, 0, 0, 1},
                          Ramp{{0.0f, 0.0f, 0.0f}, {0, 0, 0}, 1, 0, 1},
                          Ramp{{0.1f, 0.5f, 0.9f}, {3, 17, 30}, 0, 20, 3},
                          Ramp{{0.1f, 0.5f, 0.9f}, {3, 17, 30}, 7, 5, 2},
                          Ramp{{0.2f, 0.3f, 0.05f}, {5, 5, 5}, 0, -1, 1},
                          Ramp{{0.0f, 0.6f, 0.3f}, {0, 10, 20}, 0, 3, 0},
                          Ramp{{0.0f, 0.6f, 0.3f}, {0, 10, 20}, 1, 3, -4},
                          Ramp{{1.5f, -0.5f, 0.25f}, {-9, 40, 31}, 0, 10, 2},
                          Ramp{{0.0f, 0.0f, 0.0f}, {31, 31, 31}, 1, 2000000000, 1}})
    {
        std::string what = " start " + std::to_string(c.start) + " step " + std::to_string(c.step) +
                           " vertical " + std::to_string(c.vertical);
        auto at = [vertical = c.vertical](int i, int j) { return std::size_t(vertical ? j : i); };
        // The alpha ramp's back weights drop by 1/32 while above 0.
        auto w = RampStates(std::array<float, 3>{1.0f - c.a[0], 1.0f - c.a[1], 1.0f - c.a[2]},
                            c.start, c.step,
                            [](std::array<float, 3>& ws)
                            {
                                for (float& x : ws)
                                {
                                    x = x > 0.0f ? std::max(x - 0.03125f, 0.0f) : x;
                                }
                            });
        rows.push_back({"alpha ramp" + what,
                        [c](ObjectId id, int x, int y)
                        {
                            return voDraw::PutAlphaRamp(x, y, c.a[0], c.a[1], c.a[2], c.vertical,
                                                        c.start, c.step, id, 0, 0, kWhole, kWhole);
                        },
                        [&, w, at](std::uint16_t s, std::uint16_t d, int i, int j)
                        {
                            const auto& b = w[at(i, j)];
                            return Alpha(s, d, {1.0f - b[0], 1.0f - b[1], 1.0f - b[2]});
                        }});
        // The fade ramp raises each level (clamped first) by 1 up to 31.
        auto l = RampStates(std::array<int, 3>{std::clamp(c.level[0], 0, 31),
                                               std::clamp(c.level[1], 0, 31),
                                               std::clamp(c.level[2], 0, 31)},
                            c.start, c.step,
                            [](std::array<int, 3>& ls)
                            {
                                for (int& x : ls)
                                {
                                    x = std::min(x + 1, 31);
                                }
                            });
        rows.push_back({"fade ramp" + what,
                        [c](ObjectId id, int x, int y)
                        {
                            return voDraw::PutFadeRamp(x, y, c.level[0], c.level[1], c.level[2],
                                                       c.vertical, c.start, c.step, id, 0, 0,
                                                       kWhole, kWhole);
                        },
                        [&, l, at](std::uint16_t s, std::uint16_t d, int i, int j)
                        { return Fade(s, d, l[at(i, j)]); }});
    }
    for (const Row& row : rows)
    {
        ExpectRandom(row);
    }
}

TEST_P(Blend, AlphaRampReachesTheSourceAfterThirtyTwoColumnsOrRows)
{
    // White over black, opacity 0, start 0, step 1: position p shows the source at weight
    // p / 32, from 32 on the source; along the rows each row starts again, down them the rows
    // carry on.
    ObjectId id =
        MakeObject(40, 40, [&](int, int) { return layout.JoinNative(31, layout.GreenMax(), 31); });
    OnEachPath(
        [&](const std::string& path)
        {
            for (int vertical : {0, 1})
            {
                FillBack(0);
                ASSERT_EQ(
                    voDraw::PutAlphaRamp(5, 5, 0.0f, 0.0f, 0.0f, vertical, 0, 1, id, 0, 0, 40, 40),
                    1);
                Picture back = Back();
                for (int j = 0; j < 40; ++j)
                {
                    for (int i = 0; i < 40; ++i)
                    {
                        int q = std::min(vertical ? j : i, 32);
                        ASSERT_EQ(back.At(5 + i, 5 + j),
                                  JoinNative(31 * q / 32, layout.GreenMax() * q / 32, 31 * q / 32))
                            << path << " vertical " << vertical << " at " << i << ", " << j;
                    }
                }
            }
        });
}

TEST_P(Blend, EndsOfEachFormula)
{
    const std::uint16_t white = layout.JoinNative(31, layout.GreenMax(), 31);
    // Channels of every kind, the 565 green with its lowest bit set.
    const std::uint16_t back = layout.JoinNative(21, layout.rgb555 ? 13 : 27, 6);
    const std::uint16_t colour = layout.JoinNative(9, layout.rgb555 ? 30 : 61, 17);
    const std::uint16_t back5 = layout.Join5(21, 13, 6), colour5 = layout.Join5(9, 30, 17);
    const struct
    {
        const char* what;
        std::uint16_t source, back;
        int (*put)(ObjectId);
        std::uint16_t expected;
    } cases[] = {
        {"fade 31 is the source", colour, back,
         [](ObjectId id) { return voDraw::PutFade(0, 0, 31, id, 0, 0, 8, 8); }, colour5},
        {"fade 0 is the back buffer", colour, back,
         [](ObjectId id) { return voDraw::PutFade(0, 0, 0, id, 0, 0, 8, 8); }, back5},
        {"add of white", white, back,
         [](ObjectId id) { return voDraw::PutAdd(0, 0, id, 0, 0, 8, 8); },
         static_cast<std::uint16_t>(layout.rgb555 ? 0x7FFF : 0xFFDF)},
        {"add level 0 keeps the back buffer", colour, back,
         [](ObjectId id) { return voDraw::PutAddLevel(0, 0, 0.0f, id, 0, 0, 8, 8); }, back5},
        {"subtract with red 31 gives black", layout.JoinNative(31, 0, 0), white,
         [](ObjectId id) { return voDraw::PutSubtract(0, 0, id, 0, 0, 8, 8); }, 0},
        {"half of white on black", white, 0,
         [](ObjectId id) { return voDraw::PutHalf(0, 0, id, 0, 0, 8, 8); },
         static_cast<std::uint16_t>(layout.rgb555 ? 0x3DEF : 0x7BEF)},
        // Opacity 2: each channel 2s - d; red 62 spills into the bit above it.
        {"alpha past 1 spills", white, 0,
         [](ObjectId id) { return voDraw::PutAlpha(0, 0, 2.0f, id, 0, 0, 8, 8); },
         JoinNative(62, 2 * layout.GreenMax(), 62)},
    };
    for (const auto& c : cases)
    {
        ObjectId id = MakeObject(8, 8, [&](int, int) { return c.source; });
        OnEachPath(
            [&](const std::string& path)
            {
                FillBack(c.back);
                ASSERT_EQ(c.put(id), 1) << c.what;
                EXPECT_EQ(Back().At(3, 4), c.expected) << c.what << " on " << path;
            });
    }
}

TEST_P(Blend, ValuesOutsideThe555LayoutReadAsBlackInTheTableMembers)
{
    if (!layout.rgb555)
    {
        GTEST_SKIP() << "every 16-bit value is a 565 colour";
    }
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
