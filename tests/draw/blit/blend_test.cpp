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

using Pixel = std::uint16_t;

// A member drawing the whole object id at (x, y), and its reference step.
struct Row
{
    std::string what;
    std::function<int(ObjectId o, int x, int y)> put;
    PixelStep step;
};

constexpr int kWhole = 4096; // a source rectangle past every object: the frame cuts it to it
const float kNaN = std::numeric_limits<float>::quiet_NaN();

class Blend : public blit_testing::BlitTest
{
  protected:
    // Native channels joined, unmasked: a value past its field spills.
    Pixel JoinNative(int red, int green, int blue) const
    {
        return static_cast<Pixel>((static_cast<std::uint32_t>(red) << layout.RedShift()) |
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
    Pixel Alpha(Pixel s, Pixel d, const std::array<float, 3>& a) const
    {
        Channels x = layout.Native(s), y = layout.Native(d);
        return JoinNative(Mix(x.red, y.red, a[0]), Mix(x.green, y.green, a[1]),
                          Mix(x.blue, y.blue, a[2]));
    }
    // The cross-fade at t = 31 - level, levels outside 0..31 taken as the nearest end.
    Pixel Fade(Pixel s, Pixel d, const std::array<int, 3>& levels) const
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
    Pixel Add(Pixel s, Pixel d, int t) const
    {
        Channels x = layout.Five(s), y = layout.Five(d);
        auto add = [t](int a, int b) { return std::min(std::max(a - t, 0) + b, 31); };
        return layout.Join5(add(x.red, y.red), add(x.green, y.green), add(x.blue, y.blue));
    }
    // White at weight q / 32 over black.
    Pixel Ramped(int q) const
    {
        return JoinNative(31 * q / 32, layout.GreenMax() * q / 32, 31 * q / 32);
    }
    // The alpha blend per channel with opacities a, expected to blend as as.
    Row AlphaRGB(std::array<float, 3> a, std::array<float, 3> as = {kNaN, 0, 0})
    {
        as = std::isnan(as[0]) ? a : as;
        return {"alpha per channel " + std::to_string(a[0]),
                [a](ObjectId o, int x, int y)
                { return voDraw::PutAlphaRGB(x, y, a[0], a[1], a[2], o, 0, 0, kWhole, kWhole); },
                [this, as](Pixel s, Pixel d, int, int) { return Alpha(s, d, as); }};
    }
    // The add at t = trunc(31 - 31a), formed in double.
    Row AddLevel(float a)
    {
        int t = static_cast<int>(31.0 - 31.0 * static_cast<double>(a));
        return {"add level " + std::to_string(a),
                [a](ObjectId o, int x, int y)
                { return voDraw::PutAddLevel(x, y, a, o, 0, 0, kWhole, kWhole); },
                [this, t](Pixel s, Pixel d, int, int) { return Add(s, d, t); }};
    }

    // Draws row with id at each x (y 17) on each path onto back, or a random back buffer,
    // and compares the whole back buffer with the reference.
    void Expect(const Row& row, ObjectId id, std::initializer_list<int> xs, const Picture& back)
    {
        OnEachPath(
            [&](const std::string& path)
            {
                for (int x : xs)
                {
                    if (back.pixels.empty())
                    {
                        RandomBack();
                    }
                    else
                    {
                        draw_testing::PaintSurface(BackBuffer(),
                                                   [&](int u, int v) { return back.At(u, v); });
                    }
                    Picture before = Back();
                    ASSERT_EQ(row.put(id, x, 17), 1) << row.what;
                    ExpectSamePicture(Back(),
                                      ReferenceBlit(before, Object(id), x, 17,
                                                    Rect{0, 0, kWhole, kWhole},
                                                    Rect{0, 0, 640, 480}, row.step),
                                      row.what + " at " + std::to_string(x) + " on " + path);
                }
            });
    }
};

BLIT_TEST_LAYOUTS(Blend);

// The ramps' states per position as described: before position p, a p past start (unsigned)
// counts; at step counts (steps below 1 count as 1) each channel's state moves by drop.
template <class T, class Drop>
std::vector<std::array<T, 3>> RampStates(std::array<T, 3> state, int start, int step, Drop drop)
{
    std::vector<std::array<T, 3>> out;
    for (int p = 0, count = 0; p < 640; ++p)
    {
        if (static_cast<std::uint32_t>(p) > static_cast<std::uint32_t>(start) &&
            ++count == std::max(step, 1))
        {
            count = 0;
            state = {drop(state[0]), drop(state[1]), drop(state[2])};
        }
        out.push_back(state);
    }
    return out;
}

} // namespace

TEST_P(Blend, TableMembersAndAlphaOnEveryChannelPairAtEveryLevel)
{
    Pixel half = static_cast<Pixel>(((layout.RedMask() >> 1) & layout.RedMask()) |
                                    ((layout.GreenMask() >> 1) & layout.GreenMask()) |
                                    (layout.BlueMask() >> 1));
    std::vector<Row> rows = {
        {"half",
         [](ObjectId o, int x, int y) { return voDraw::PutHalf(x, y, o, 0, 0, kWhole, kWhole); },
         [half](Pixel s, Pixel d, int, int)
         { return static_cast<Pixel>(((s >> 1) & half) + ((d >> 1) & half)); }},
        {"add",
         [](ObjectId o, int x, int y) { return voDraw::PutAdd(x, y, o, 0, 0, kWhole, kWhole); },
         [&](Pixel s, Pixel d, int, int) { return Add(s, d, 0); }},
        // The source's red is the subtrahend of every channel.
        {"subtract",
         [](ObjectId o, int x, int y)
         { return voDraw::PutSubtract(x, y, o, 0, 0, kWhole, kWhole); },
         [&](Pixel s, Pixel d, int, int)
         {
             int red = layout.Five(s).red;
             Channels y = layout.Five(d);
             return layout.Join5(std::max(y.red - red, 0), std::max(y.green - red, 0),
                                 std::max(y.blue - red, 0));
         }},
        AlphaRGB({0.2f, 0.05f, 0.9f}),
    };
    // Levels past 0..31 are taken as the nearest end.
    for (int level = -1; level <= 32; ++level)
    {
        int v = level < 0 ? -7 : level > 31 ? 1000 : level;
        std::array<int, 3> l{v, 31 - v, (v * 7) % 32};
        rows.push_back({"fade " + std::to_string(v),
                        [v](ObjectId o, int x, int y)
                        { return voDraw::PutFade(x, y, v, o, 0, 0, kWhole, kWhole); },
                        [&, v](Pixel s, Pixel d, int, int) {
                            return Fade(s, d, {v, v, v});
                        }});
        rows.push_back(
            {"fade per channel " + std::to_string(v),
             [l](ObjectId o, int x, int y)
             { return voDraw::PutFadeRGB(x, y, l[0], l[1], l[2], o, 0, 0, kWhole, kWhole); },
             [&, l](Pixel s, Pixel d, int, int) { return Fade(s, d, l); }});
    }
    // a = n / 31 reaches every t; past 0..1 it raises or drops the source further.
    for (int n = -40; n <= 40; ++n)
    {
        rows.push_back(AddLevel(static_cast<float>(n) / 31.0f));
    }
    // On the exact fixed-point path and off it, the ends, and spilling past 0..1.
    for (float a : {0.0f, 1.0f, 0.5f, 0.4f, 0.75f, 0.3f, 0.999f, 0.01f, 0.123456f, 1e-7f, 1e-30f,
                    1.5f, -0.25f, 3.0f, -2.0f})
    {
        rows.push_back({"alpha " + std::to_string(a),
                        [a](ObjectId o, int x, int y)
                        { return voDraw::PutAlpha(x, y, a, o, 0, 0, kWhole, kWhole); },
                        [&, a](Pixel s, Pixel d, int, int) {
                            return Alpha(s, d, {a, a, a});
                        }});
    }
    // The grid: source column i and back-buffer row j hold channel values that meet in every
    // pair (red i and j mod 32, green up to the green's largest value, blue through two odd
    // multipliers; column 63 is white); the last source column is 0.
    ObjectId grid =
        MakeObject(65, 64,
                   [&](int i, int)
                   {
                       return i == 64 ? Pixel{0}
                                      : layout.JoinNative(i % 32, i % (layout.GreenMax() + 1),
                                                          (i * 5 + 4) % 32);
                   });
    RandomBack();
    draw_testing::PaintSurface(
        BackBuffer(),
        [&, back = Back()](int x, int y)
        {
            int j = y - 17;
            return x < 65 && j >= 0 && j < 64
                       ? layout.JoinNative(j % 32, j % (layout.GreenMax() + 1), (j * 7 + 1) % 32)
                       : back.At(x, y);
        });
    Picture back = Back();
    for (const Row& row : rows)
    {
        Expect(row, grid, {0}, back);
    }
}

TEST_P(Blend, FloatMembersAndRampsOnRandomFrames)
{
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<Row> rows;
    for (int round = 0; round < 4; ++round)
    {
        rows.push_back(AlphaRGB({unit(random), unit(random) * 0.1f, unit(random)}));
        rows.push_back(AddLevel(unit(random) * 1.2f - 0.1f));
    }
    // Opacities past +-65536 are held there (NaN as 0), for the ramp's start too and before
    // the double overload narrows them to a float; that truncates the position toward zero.
    const float inf = std::numeric_limits<float>::infinity();
    for (auto [far, bound] : {std::pair{1e30f, 65536.0f}, {-inf, -65536.0f}, {kNaN, 0.0f}})
    {
        rows.push_back(AlphaRGB({far, 0.5f, far}, {bound, 0.5f, bound}));
        float a = 1.0f - (1.0f - bound); // the ramp holds the back weight 1 - a
        rows.push_back({"far ramp " + std::to_string(far),
                        [far](ObjectId o, int x, int y) {
                            return voDraw::PutAlphaRamp(x, y, far, far, far, 1, -1, 1, o, 0, 0,
                                                        kWhole, kWhole);
                        },
                        [&, a](Pixel s, Pixel d, int, int) {
                            return Alpha(s, d, {a, a, a});
                        }});
        double opacity = std::isnan(far) ? 0.1 : far * 1e10;
        float as = std::isnan(far) ? 0.1f : bound; // 0.1 as a float, not as a double
        rows.push_back({"at a double position " + std::to_string(opacity),
                        [opacity](ObjectId o, int x, int y) {
                            return voDraw::PutAlpha(x + (x < 0 ? -0.7 : 0.9), y + 0.99, opacity, o,
                                                    0, 0, kWhole, kWhole);
                        },
                        [&, as](Pixel s, Pixel d, int, int) {
                            return Alpha(s, d, {as, as, as});
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
        auto w =
            RampStates<float>({1.0f - c.a[0], 1.0f - c.a[1], 1.0f - c.a[2]}, c.start, c.step,
                              [](float x) { return x > 0.0f ? std::max(x - 0.03125f, 0.0f) : x; });
        rows.push_back({"alpha ramp" + what,
                        [c](ObjectId o, int x, int y)
                        {
                            return voDraw::PutAlphaRamp(x, y, c.a[0], c.a[1], c.a[2], c.vertical,
                                                        c.start, c.step, o, 0, 0, kWhole, kWhole);
                        },
                        [&, w, at](Pixel s, Pixel d, int i, int j)
                        {
                            const auto& b = w[at(i, j)];
                            return Alpha(s, d, {1.0f - b[0], 1.0f - b[1], 1.0f - b[2]});
                        }});
        // The fade ramp raises each level (clamped first) by 1 up to 31.
        auto l = RampStates<int>({std::clamp(c.level[0], 0, 31), std::clamp(c.level[1], 0, 31),
                                  std::clamp(c.level[2], 0, 31)},
                                 c.start, c.step, [](int x) { return std::min(x + 1, 31); });
        rows.push_back(
            {"fade ramp" + what,
             [c](ObjectId o, int x, int y)
             {
                 return voDraw::PutFadeRamp(x, y, c.level[0], c.level[1], c.level[2], c.vertical,
                                            c.start, c.step, o, 0, 0, kWhole, kWhole);
             },
             [&, l, at](Pixel s, Pixel d, int i, int j) { return Fade(s, d, l[at(i, j)]); }});
    }
    ObjectId id = RandomObject(203, 77); // partly off the left edge, and inside
    for (const Row& row : rows)
    {
        Expect(row, id, {-13, 101}, Picture{});
    }
}

TEST_P(Blend, EndsOfEachFormula)
{
    const Pixel white = layout.JoinNative(31, layout.GreenMax(), 31);
    // Channels of every kind, the 565 green with its lowest bit set.
    const Pixel back = layout.JoinNative(21, layout.rgb555 ? 13 : 27, 6);
    const Pixel colour = layout.JoinNative(9, layout.rgb555 ? 30 : 61, 17);
    const Pixel back5 = layout.Join5(21, 13, 6), colour5 = layout.Join5(9, 30, 17);
    const Pixel outside = 0x8000 | 0x1234; // no 555 colour: the tables read it as black
    const bool rgb555 = layout.rgb555;
    const struct
    {
        const char* what;
        Pixel source, back;
        int (*put)(ObjectId);
        std::function<int(int i, int j)> expected;
    } cases[] = {
        {"fade 31 is the source", colour, back,
         [](ObjectId o) { return voDraw::PutFade(0, 0, 31, o, 0, 0, 40, 40); },
         [=](int, int) { return colour5; }},
        {"fade 0 is the back buffer", colour, back,
         [](ObjectId o) { return voDraw::PutFade(0, 0, 0, o, 0, 0, 40, 40); },
         [=](int, int) { return back5; }},
        {"add of white", white, back,
         [](ObjectId o) { return voDraw::PutAdd(0, 0, o, 0, 0, 40, 40); },
         [=](int, int) { return rgb555 ? 0x7FFF : 0xFFDF; }},
        {"add level 0 keeps the back buffer", colour, back,
         [](ObjectId o) { return voDraw::PutAddLevel(0, 0, 0.0f, o, 0, 0, 40, 40); },
         [=](int, int) { return back5; }},
        {"subtract with red 31 gives black", layout.JoinNative(31, 0, 0), white,
         [](ObjectId o) { return voDraw::PutSubtract(0, 0, o, 0, 0, 40, 40); },
         [=](int, int) { return 0; }},
        {"half of white on black", white, 0,
         [](ObjectId o) { return voDraw::PutHalf(0, 0, o, 0, 0, 40, 40); },
         [=](int, int) { return rgb555 ? 0x3DEF : 0x7BEF; }},
        // Opacity 2: each channel 2s - d; red 62 spills into the bit above it.
        {"alpha past 1 spills", white, 0,
         [](ObjectId o) { return voDraw::PutAlpha(0, 0, 2.0f, o, 0, 0, 40, 40); },
         [=, this](int, int) { return JoinNative(62, 2 * layout.GreenMax(), 62); }},
        {"add of a value outside 555", outside, back,
         [](ObjectId o) { return voDraw::PutAdd(0, 0, o, 0, 0, 40, 40); },
         [=, this](int, int) { return rgb555 ? back : Add(outside, back, 0); }},
        {"fade 0 onto a value outside 555", colour, outside,
         [](ObjectId o) { return voDraw::PutFade(0, 0, 0, o, 0, 0, 40, 40); },
         [=, this](int, int) {
             return rgb555 ? 0 : Fade(colour, outside, {0, 0, 0});
         }},
        // White over black, opacity 0, start 0, step 1: position p shows the source at weight
        // p / 32, from 32 on the source; along the rows each row starts again, down them the
        // rows carry on.
        {"alpha ramp along", white, 0,
         [](ObjectId o)
         { return voDraw::PutAlphaRamp(0, 0, 0.0f, 0.0f, 0.0f, 0, 0, 1, o, 0, 0, 40, 40); },
         [=, this](int i, int) { return Ramped(std::min(i, 32)); }},
        {"alpha ramp down", white, 0,
         [](ObjectId o)
         { return voDraw::PutAlphaRamp(0, 0, 0.0f, 0.0f, 0.0f, 1, 0, 1, o, 0, 0, 40, 40); },
         [=, this](int, int j) { return Ramped(std::min(j, 32)); }},
    };
    for (const auto& c : cases)
    {
        ObjectId id = MakeObject(40, 40, [&](int, int) { return c.source; });
        OnEachPath(
            [&](const std::string& path)
            {
                FillBack(c.back);
                ASSERT_EQ(c.put(id), 1) << c.what;
                Picture after = Back();
                for (int j = 0; j < 40; ++j)
                {
                    for (int i = 0; i < 40; ++i)
                    {
                        ASSERT_EQ(after.At(i, j), c.expected(i, j))
                            << c.what << " on " << path << " at " << i << ", " << j;
                    }
                }
            });
    }
}
