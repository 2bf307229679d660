// The colour-effect blitters against plain references written from their formulas: every
// pixel value once, random objects over the screen's edges and thin rectangles, both layouts,
// both instruction paths. Every comparison also proves that transparent (0) source pixels
// leave the back buffer alone; bad levels and window sizes are rows of the same tables.
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "tests/draw/blit/blit_support.h"

using blit_testing::Channels;
using blit_testing::ClipByHand;
using blit_testing::ClippedRect;
using blit_testing::ExpectSamePicture;
using blit_testing::OnEachPath;
using blit_testing::PixelStep;
using blit_testing::ReferenceBlit;
using draw_testing::Picture;

namespace
{

const Rect kScreen{0, 0, 640, 480};

// An object drawn at (x, y) from its rectangle l, t, r, b.
struct Frame
{
    ObjectId id;
    int x, y, l, t, r, b;
};

// A member drawn on a frame, and the back buffer it should leave, from the pictures before.
struct Row
{
    std::string what;
    std::function<int(const Frame&)> draw;
    std::function<Picture(const Picture& back, const Picture& source, const ClippedRect&,
                          const Frame&)>
        expected;
    int to = 5, from = 0; // the frames drawn on: long sweeps use only the first
};

// trunc(channel x factor) formed in double, held at the ends of the int range (NaN gives 0).
std::uint32_t Product(int channel, float factor)
{
    double p = static_cast<double>(channel) * static_cast<double>(factor);
    return std::isnan(p) ? 0
                         : static_cast<std::uint32_t>(static_cast<std::int64_t>(
                               std::clamp(p, -2147483648.0, 2147483647.0)));
}

class ColourEffects : public blit_testing::BlitTest
{
  protected:
    // Every pixel value once (0 included), random objects over the bottom-left and top-right
    // edges, a one-row rectangle and a one-column object.
    void Expect(const std::vector<Row>& rows)
    {
        ObjectId every = MakeObject(256, 256, [](int x, int y) { return y * 256 + x; });
        ObjectId id = RandomObject(45, 33, 30);
        const Frame frames[] = {{every, 100, 50, 0, 0, 256, layout.rgb555 ? 128 : 256},
                                {id, -7, 450, 0, 0, 45, 33},
                                {id, 610, -9, 2, 1, 44, 32},
                                {id, 20, 20, 3, 4, 40, 5},
                                {RandomObject(1, 6, 30), 9, 9, 0, 0, 1, 6}};
        RandomBack();
        for (const Row& row : rows)
        {
            for (int k = row.from; k < row.to; ++k)
            {
                const Frame& f = frames[k];
                Picture source = Object(f.id);
                ClippedRect c =
                    ClipByHand(f.x, f.y, f.l, f.t, f.r, f.b, source.width, source.height, kScreen);
                OnEachPath(
                    [&](const std::string& path)
                    {
                        Picture before = Back();
                        EXPECT_EQ(row.draw(f), 1);
                        ExpectSamePicture(Back(), row.expected(before, source, c, f),
                                          row.what + " frame " + std::to_string(k) + " " + path);
                    });
            }
        }
    }
    // A row whose reference is a step of the plain frame.
    static Row Steps(std::string what, std::function<int(const Frame&)> draw, PixelStep step,
                     int to = 5)
    {
        return Row{
            std::move(what), std::move(draw),
            [step](const Picture& back, const Picture& source, const ClippedRect&, const Frame& f) {
                return ReferenceBlit(back, source, f.x, f.y, Rect{f.l, f.t, f.r, f.b}, kScreen,
                                     step);
            },
            to};
    }
    std::uint16_t Darkened(std::uint16_t s, int red, int green, int blue) const
    {
        auto dark = [](int c, int level)
        { return std::max(c - (31 - std::clamp(level, 0, 31)), 0); };
        Channels c = layout.Five(s);
        return layout.Join5(dark(c.red, red), dark(c.green, green), dark(c.blue, blue));
    }
    std::uint16_t Brightened(std::uint16_t s, float red, float green, float blue) const
    {
        Channels n = layout.Native(s);
        return static_cast<std::uint16_t>((Product(n.red, red) << layout.RedShift()) |
                                          (Product(n.green, green) << 5) | Product(n.blue, blue));
    }
};

BLIT_TEST_LAYOUTS(ColourEffects);

} // namespace

TEST_P(ColourEffects, PixelMembersOnEveryPixelValue)
{
    std::vector<Row> rows;
    for (int flags = 0; flags < 8; ++flags)
    {
        // Any value but 0 keeps a channel.
        int r = flags & 1 ? -1 : 0, g = flags & 2 ? 7 : 0, b = flags & 4 ? 1 : 0;
        auto mask =
            static_cast<std::uint16_t>((r ? layout.RedMask() : 0) | (g ? layout.GreenMask() : 0) |
                                       (b ? layout.BlueMask() : 0));
        rows.push_back(Steps(
            "channels " + std::to_string(flags),
            [=](const Frame& f)
            { return voDraw::PutChannels(f.x, f.y, r, g, b, f.id, f.l, f.t, f.r, f.b); },
            [mask](std::uint16_t s, std::uint16_t, int, int)
            { return static_cast<std::uint16_t>(s & mask); }));
    }
    // The double overload truncates toward zero.
    rows.push_back(Steps(
        "channels at a double position",
        [](const Frame& f)
        {
            return voDraw::PutChannels(f.x + (f.x < 0 ? -0.7 : 0.9), f.y + (f.y < 0 ? -0.5 : 0.999),
                                       1, 0, 1, f.id, f.l, f.t, f.r, f.b);
        },
        [&](std::uint16_t s, std::uint16_t, int, int)
        { return static_cast<std::uint16_t>(s & (layout.RedMask() | 31)); }));
    // Levels outside 0..31 are taken as the nearest end.
    for (int level :
         {INT_MIN, -1, 0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
          16,      17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, INT_MAX})
    {
        // Each channel meets every level; far levels go both ways.
        bool far = level < -1 || level > 32;
        int g = far ? level / -2 : (level + 11) % 32, b = far ? -1 - level / 2 : (level + 23) % 32;
        int frames = level % 8 == 0 ? 5 : 1;
        rows.push_back(Steps(
            "darken " + std::to_string(level),
            [=](const Frame& f)
            { return voDraw::PutDarken(f.x, f.y, level, f.id, f.l, f.t, f.r, f.b); },
            [=, this](std::uint16_t s, std::uint16_t, int, int)
            { return Darkened(s, level, level, level); },
            frames));
        rows.push_back(Steps(
            "darken per channel " + std::to_string(level),
            [=](const Frame& f)
            { return voDraw::PutDarkenRGB(f.x, f.y, level, g, b, f.id, f.l, f.t, f.r, f.b); },
            [=, this](std::uint16_t s, std::uint16_t, int, int)
            { return Darkened(s, level, g, b); },
            frames));
    }
    rows.push_back(Steps(
        "gray", [](const Frame& f) { return voDraw::PutGray(f.x, f.y, f.id, f.l, f.t, f.r, f.b); },
        [&](std::uint16_t s, std::uint16_t, int, int)
        {
            Channels c = layout.Five(s);
            int g = (c.red + c.green + c.blue) / 3;
            return layout.Join5(g, g, g);
        }));
    // Native channels multiplied, unmasked: products past a field spill.
    const float third = 1.0f / 3.0f, inf = std::numeric_limits<float>::infinity();
    for (float k :
         {0.0f, 0.25f, third, std::nextafter(third, 0.0f), 0.7f, std::nextafter(1.0f, 0.0f), 1.0f,
          1.5f, -0.5f, 1e10f, 2000.5f, -1500.25f, -inf, std::numeric_limits<float>::quiet_NaN()})
    {
        rows.push_back(Steps(
            "brightness " + std::to_string(k),
            [k](const Frame& f)
            { return voDraw::PutBrightness(f.x, f.y, k, f.id, f.l, f.t, f.r, f.b); },
            [=, this](std::uint16_t s, std::uint16_t, int, int) { return Brightened(s, k, k, k); },
            1));
    }
    rows.push_back(Steps(
        "brightness per channel",
        [](const Frame& f) {
            return voDraw::PutBrightnessRGB(f.x, f.y, 1.25f, -0.75f, 0.1f, f.id, f.l, f.t, f.r,
                                            f.b);
        },
        [&](std::uint16_t s, std::uint16_t, int, int)
        { return Brightened(s, 1.25f, -0.75f, 0.1f); }));
    Expect(rows);
}

TEST_P(ColourEffects, SmoothEdgesMixOnlyUntouchedBackgroundUnderTransparentNeighbours)
{
    Expect(
        {{"smooth edges",
          [](const Frame& f) { return voDraw::PutSmoothEdges(f.x, f.y, f.id, f.l, f.t, f.r, f.b); },
          [&](const Picture& back, const Picture& source, const ClippedRect& c, const Frame& f)
          {
              auto step = [&](std::uint16_t s, std::uint16_t, int i, int j)
              {
                  // The source pixel and each neighbour inside the rectangle whose source
                  // pixel is 0, averaged per 5-bit channel when there is one at least.
                  Channels sum = layout.Five(s);
                  int count = 1;
                  for (auto [u, v] : {std::pair{i - 1, j}, {i + 1, j}, {i, j - 1}, {i, j + 1}})
                  {
                      if (u >= 0 && u < c.width && v >= 0 && v < c.height &&
                          source.At(c.srcLeft + u, c.srcTop + v) == 0)
                      {
                          Channels b = layout.Five(back.At(c.x + u, c.y + v));
                          sum = {sum.red + b.red, sum.green + b.green, sum.blue + b.blue};
                          ++count;
                      }
                  }
                  return count < 2
                             ? s
                             : layout.Join5(sum.red / count, sum.green / count, sum.blue / count);
              };
              return ReferenceBlit(back, source, f.x, f.y, Rect{f.l, f.t, f.r, f.b}, kScreen, step);
          }}});
}

TEST_P(ColourEffects, BlurAveragesTheForwardWindowSlidBackAtTheRightAndBottom)
{
    std::vector<Row> rows;
    // Below 1 nothing is drawn; a window past the visible width or height is limited to it.
    for (int n : {INT_MIN, 0, 1, 2, 3, 4, 7, 29, 1000})
    {
        rows.push_back(
            {"blur " + std::to_string(n),
             [n](const Frame& f) { return voDraw::PutBlur(f.x, f.y, n, f.id, f.l, f.t, f.r, f.b); },
             [&, n](const Picture& back, const Picture& source, const ClippedRect& c,
                    const Frame& f)
             {
                 // The window [i + ox, i + ox + m) x [j + oy, j + oy + m), slid back to end at
                 // the last column and row.
                 int m = std::min({n, c.width, c.height});
                 auto step = [&](std::uint16_t, std::uint16_t, int i, int j)
                 {
                     int ox = std::min(0, c.width - (i + m)), oy = std::min(0, c.height - (j + m));
                     Channels sum{0, 0, 0};
                     for (int v = j + oy; v < j + oy + m; ++v)
                     {
                         for (int u = i + ox; u < i + ox + m; ++u)
                         {
                             Channels p = layout.Five(source.At(c.srcLeft + u, c.srcTop + v));
                             sum = {sum.red + p.red, sum.green + p.green, sum.blue + p.blue};
                         }
                     }
                     return layout.Join5(sum.red / (m * m), sum.green / (m * m),
                                         sum.blue / (m * m));
                 };
                 return m < 1 ? back
                              : ReferenceBlit(back, source, f.x, f.y, Rect{f.l, f.t, f.r, f.b},
                                              kScreen, step);
             },
             5, n > 7 ? 1 : 0}); // large windows' sums grow slow on every pixel value
    }
    Expect(rows);
}

TEST_P(ColourEffects, DisplacePullsTheBackgroundUpByTheSourceRedWithinTheRectangle)
{
    std::vector<Row> rows;
    for (float level : {0.0f, 0.3f, 0.5f, 0.77f, 1.0f, 1.6f, -0.4f, 1e20f})
    {
        // Row j pulls from d = red - t rows below, t = trunc(31 - 31 level) formed in double;
        // d below 1 or reaching past the rectangle's bottom pulls nothing.
        double t = std::clamp(std::trunc(31.0 - 31.0 * static_cast<double>(level)), -1e6, 1e6);
        rows.push_back({"displace " + std::to_string(level),
                        [level](const Frame& f)
                        { return voDraw::PutDisplace(f.x, f.y, level, f.id, f.l, f.t, f.r, f.b); },
                        [&, t](const Picture& back, const Picture& source, const ClippedRect& c,
                               const Frame& f)
                        {
                            auto step = [&](std::uint16_t s, std::uint16_t, int i, int j)
                            {
                                double d = layout.Five(s).red - t;
                                int below = d < 1 || d >= c.height - j ? 0 : static_cast<int>(d);
                                return back.At(c.x + i, c.y + j + below);
                            };
                            return ReferenceBlit(back, source, f.x, f.y, Rect{f.l, f.t, f.r, f.b},
                                                 kScreen, step);
                        }});
    }
    Expect(rows);
}
