// The colour-effect blitters against plain per-pixel references written from their formulas:
// every pixel value where the space is small, random frames otherwise, both layouts, both
// instruction paths; transparency, the refusals of bad arguments and each member's own edges.
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "draw/blit/blit_internal.h"
#include "tests/draw/blit/blit_support.h"

using blit_testing::Channels;
using blit_testing::ClipByHand;
using blit_testing::ClippedRect;
using blit_testing::ExpectSamePicture;
using blit_testing::PixelStep;
using blit_testing::ReferenceBlit;
using draw_testing::Picture;

namespace
{

// A member drawn with its own arguments bound: (x, y, id, source rectangle) -> result.
using Draw = std::function<int(int, int, ObjectId, const Rect&)>;

const Rect kScreen{0, 0, 640, 480};

std::vector<BlitPath> Paths()
{
    std::vector<BlitPath> paths{BlitPath::Baseline};
    if (SetBlitPath(BlitPath::Avx2))
    {
        paths.push_back(BlitPath::Avx2);
    }
    return paths;
}

std::string PathName(BlitPath path)
{
    return path == BlitPath::Avx2 ? " (AVX2)" : " (baseline)";
}

// trunc(channel x factor) formed in double, held at the ends of the int range (NaN gives 0),
// as 32 bits to be shifted into place.
std::uint32_t TruncatedProduct(int channel, float factor)
{
    double p = static_cast<double>(channel) * static_cast<double>(factor);
    std::int64_t v = 0;
    if (std::isnan(p))
    {
        v = 0;
    }
    else if (p >= 2147483647.0)
    {
        v = 2147483647;
    }
    else if (p <= -2147483648.0)
    {
        v = -2147483648LL;
    }
    else
    {
        v = static_cast<std::int64_t>(std::trunc(p));
    }
    return static_cast<std::uint32_t>(v);
}

class ColourEffects : public blit_testing::BlitTest
{
  protected:
    // Every pixel value of the layout once, 256 to a row (0, the transparent one, included).
    ObjectId EveryPixelObject()
    {
        return MakeObject(256, layout.rgb555 ? 128 : 256,
                          [](int x, int y) { return static_cast<std::uint16_t>(y * 256 + x); });
    }

    struct Frame
    {
        ObjectId id;
        int x, y;
        Rect source;
    };
    // Where members are drawn: every pixel value unclipped, and random objects with odd sizes
    // over each edge of the screen.
    const std::vector<Frame>& Frames()
    {
        if (frames.empty())
        {
            ObjectId every = EveryPixelObject();
            ObjectId randomId = RandomObject(67, 41, 20);
            frames = {{every, 100, 50, Rect{0, 0, 256, 256}},
                      {randomId, -7, 450, Rect{0, 0, 67, 41}},
                      {randomId, 590, -9, Rect{2, 1, 66, 40}}};
        }
        return frames;
    }
    std::vector<Frame> frames;
    bool backIsRandom = false;

    // Draws each frame (or only the first, every pixel value, for long sweeps) on each
    // instruction path and compares the whole back buffer with the reference that the expected
    // function builds from the pictures before the call.
    void ExpectLike(const Draw& draw,
                    const std::function<Picture(const Picture& back, const Picture& source,
                                                const Frame&)>& expected,
                    const std::string& what, bool allFrames = true)
    {
        for (const Frame& frame : Frames())
        {
            if (!allFrames && &frame != &Frames().front())
            {
                break;
            }
            for (BlitPath path : Paths())
            {
                ASSERT_TRUE(SetBlitPath(path));
                // The reference starts from whatever the back buffer holds, so one random
                // fill serves the whole sweep.
                if (!backIsRandom)
                {
                    RandomBack();
                    backIsRandom = true;
                }
                Picture before = Back();
                EXPECT_EQ(draw(frame.x, frame.y, frame.id, frame.source), 1);
                ExpectSamePicture(Back(), expected(before, Object(frame.id), frame),
                                  what + " at " + std::to_string(frame.x) + PathName(path));
            }
        }
    }
    // The same for members whose step needs only the pixel.
    void ExpectSteps(const Draw& draw, const PixelStep& step, const std::string& what,
                     bool allFrames = true)
    {
        ExpectLike(
            draw,
            [&](const Picture& back, const Picture& source, const Frame& f)
            { return ReferenceBlit(back, source, f.x, f.y, f.source, kScreen, step); },
            what, allFrames);
    }
    // Sweeps draw every frame at a few of their steps and only every pixel value at the rest.
    static bool AllFramesAt(int step)
    {
        return step % 8 == 0;
    }

    std::uint16_t Darkened(std::uint16_t s, int levelRed, int levelGreen, int levelBlue) const
    {
        Channels c = layout.Five(s);
        return layout.Join5(std::max(c.red - (31 - levelRed), 0),
                            std::max(c.green - (31 - levelGreen), 0),
                            std::max(c.blue - (31 - levelBlue), 0));
    }
};

BLIT_TEST_LAYOUTS(ColourEffects);

} // namespace

TEST_P(ColourEffects, ChannelsKeepTheChosenFieldsOfEveryPixel)
{
    for (int flags = 0; flags < 8; ++flags)
    {
        // Any value but 0 keeps a channel.
        int keepRed = flags & 1 ? -1 : 0;
        int keepGreen = flags & 2 ? 7 : 0;
        int keepBlue = flags & 4 ? 1 : 0;
        std::uint16_t mask = static_cast<std::uint16_t>((keepRed ? layout.RedMask() : 0) |
                                                        (keepGreen ? layout.GreenMask() : 0) |
                                                        (keepBlue ? layout.BlueMask() : 0));
        ExpectSteps(
            [&](int x, int y, ObjectId id, const Rect& r)
            {
                return voDraw::PutChannels(x, y, keepRed, keepGreen, keepBlue, id, r.left, r.top,
                                           r.right, r.bottom);
            },
            [&](std::uint16_t s, std::uint16_t, int, int)
            { return static_cast<std::uint16_t>(s & mask); },
            "flags " + std::to_string(flags));
    }
}

TEST_P(ColourEffects, ChannelsOfWhiteWithRedKeptArePureRed)
{
    ObjectId id = MakeObject(4, 1, [](int x, int) { return x == 2 ? 0 : 0xFFFF; });
    FillBack(0x1234);
    EXPECT_EQ(voDraw::PutChannels(10, 10, 1, 0, 0, id, 0, 0, 4, 1), 1);
    Picture back = Back();
    EXPECT_EQ(back.At(10, 10), layout.RedMask());
    EXPECT_EQ(back.At(13, 10), layout.RedMask());
    EXPECT_EQ(back.At(12, 10), 0x1234); // black stays transparent
}

TEST_P(ColourEffects, ChannelsAtDoublePositionsTruncateTowardZero)
{
    ObjectId id = RandomObject(20, 10);
    struct Case
    {
        double x, y;
        int ix, iy;
    };
    for (const Case& c :
         {Case{10.9, 20.999, 10, 20}, Case{-3.7, -0.5, -3, 0}, Case{1e12, -1e12, INT_MAX, INT_MIN}})
    {
        RandomBack();
        Picture before = Back();
        EXPECT_EQ(voDraw::PutChannels(c.x, c.y, 1, 0, 1, id, 0, 0, 20, 10), 1);
        Picture doubled = Back();
        draw_testing::PaintSurface(BackBuffer(), [&](int x, int y) { return before.At(x, y); });
        EXPECT_EQ(voDraw::PutChannels(c.ix, c.iy, 1, 0, 1, id, 0, 0, 20, 10), 1);
        ExpectSamePicture(doubled, Back(), "at " + std::to_string(c.x));
    }
}

TEST_P(ColourEffects, DarkenSubtractsFromEveryFiveBitValueAtEveryLevel)
{
    for (int level = 0; level < 32; ++level)
    {
        ExpectSteps(
            [&](int x, int y, ObjectId id, const Rect& r)
            { return voDraw::PutDarken(x, y, level, id, r.left, r.top, r.right, r.bottom); },
            [&](std::uint16_t s, std::uint16_t, int, int)
            { return Darkened(s, level, level, level); },
            "level " + std::to_string(level), AllFramesAt(level));
    }
}

TEST_P(ColourEffects, DarkenRGBTakesOneLevelPerChannel)
{
    for (int level = 0; level < 32; ++level)
    {
        // Each channel meets every level with every value over the sweep.
        int red = level, green = (level + 11) % 32, blue = (level + 23) % 32;
        ExpectSteps(
            [&](int x, int y, ObjectId id, const Rect& r) {
                return voDraw::PutDarkenRGB(x, y, red, green, blue, id, r.left, r.top, r.right,
                                            r.bottom);
            },
            [&](std::uint16_t s, std::uint16_t, int, int) { return Darkened(s, red, green, blue); },
            "level " + std::to_string(level), AllFramesAt(level));
    }
}

TEST_P(ColourEffects, DarkenLevelsOutsideTheRangeAreTakenAsTheNearestEnd)
{
    struct Case
    {
        int red, green, blue; // as passed
        int asRed, asGreen, asBlue;
    };
    const Case cases[] = {
        {-1, 32, INT_MIN, 0, 31, 0},
        {INT_MAX, -40, 1000, 31, 0, 31},
    };
    for (const Case& c : cases)
    {
        ExpectSteps(
            [&](int x, int y, ObjectId id, const Rect& r)
            {
                return voDraw::PutDarkenRGB(x, y, c.red, c.green, c.blue, id, r.left, r.top,
                                            r.right, r.bottom);
            },
            [&](std::uint16_t s, std::uint16_t, int, int)
            { return Darkened(s, c.asRed, c.asGreen, c.asBlue); },
            "RGB " + std::to_string(c.red));
        int level = c.red;
        int as = c.asRed;
        ExpectSteps(
            [&](int x, int y, ObjectId id, const Rect& r)
            { return voDraw::PutDarken(x, y, level, id, r.left, r.top, r.right, r.bottom); },
            [&](std::uint16_t s, std::uint16_t, int, int) { return Darkened(s, as, as, as); },
            "level " + std::to_string(level));
    }
}

TEST_P(ColourEffects, GrayIsTheTruncatedMeanOfTheFiveBitChannels)
{
    ExpectSteps([&](int x, int y, ObjectId id, const Rect& r)
                { return voDraw::PutGray(x, y, id, r.left, r.top, r.right, r.bottom); },
                [&](std::uint16_t s, std::uint16_t, int, int)
                {
                    Channels c = layout.Five(s);
                    int g = (c.red + c.green + c.blue) / 3;
                    return layout.Join5(g, g, g);
                },
                "gray");
    // Pure red (31, 0, 0) is grey 10.
    ObjectId red = MakeObject(1, 1, [&](int, int) { return layout.Join5(31, 0, 0); });
    EXPECT_EQ(voDraw::PutGray(5, 5, red, 0, 0, 1, 1), 1);
    EXPECT_EQ(layout.Five(Back().At(5, 5)).red, 10);
    EXPECT_EQ(Back().At(5, 5), layout.Join5(10, 10, 10));
}

TEST_P(ColourEffects, BrightnessMultipliesNativeChannelsAndLetsThemSpill)
{
    const float third = 1.0f / 3.0f;
    const float factors[] = {0.0f,
                             0.25f,
                             0.5f,
                             third,
                             std::nextafter(third, 0.0f),
                             0.7f,
                             std::nextafter(1.0f, 0.0f),
                             1.0f,
                             1.5f,
                             2.0f,
                             -0.5f,
                             1e10f,
                             2000.5f,
                             -1500.25f,
                             -std::numeric_limits<float>::infinity(),
                             std::numeric_limits<float>::quiet_NaN()};
    int round = 0;
    for (float factor : factors)
    {
        ExpectSteps(
            [&](int x, int y, ObjectId id, const Rect& r)
            { return voDraw::PutBrightness(x, y, factor, id, r.left, r.top, r.right, r.bottom); },
            [&](std::uint16_t s, std::uint16_t, int, int)
            {
                Channels n = layout.Native(s);
                return static_cast<std::uint16_t>(
                    (TruncatedProduct(n.red, factor) << layout.RedShift()) |
                    (TruncatedProduct(n.green, factor) << 5) | TruncatedProduct(n.blue, factor));
            },
            "factor " + std::to_string(factor), AllFramesAt(round++));
    }
}

TEST_P(ColourEffects, BrightnessRGBTakesOneFactorPerChannel)
{
    const float sets[][3] = {{0.3f, 0.6f, 0.9f}, {1.0f, 0.0f, 0.5f}, {1.25f, -0.75f, 0.1f}};
    for (const auto& k : sets)
    {
        ExpectSteps(
            [&](int x, int y, ObjectId id, const Rect& r) {
                return voDraw::PutBrightnessRGB(x, y, k[0], k[1], k[2], id, r.left, r.top, r.right,
                                                r.bottom);
            },
            [&](std::uint16_t s, std::uint16_t, int, int)
            {
                Channels n = layout.Native(s);
                return static_cast<std::uint16_t>(
                    (TruncatedProduct(n.red, k[0]) << layout.RedShift()) |
                    (TruncatedProduct(n.green, k[1]) << 5) | TruncatedProduct(n.blue, k[2]));
            },
            "factors " + std::to_string(k[0]));
    }
}

// ---- Smoothed edges ---------------------------------------------------------------------------

namespace
{

// The smoothed-edge picture computed pixel by pixel from the pictures before the call.
Picture SmoothEdgesReference(const blit_testing::Layout& layout, const Picture& back,
                             const Picture& source, int x, int y, const Rect& r)
{
    ClippedRect c =
        ClipByHand(x, y, r.left, r.top, r.right, r.bottom, source.width, source.height, kScreen);
    auto src = [&](int i, int j) { return source.At(c.srcLeft + i, c.srcTop + j); };
    return ReferenceBlit(
        back, source, x, y, r, kScreen,
        [&](std::uint16_t s, std::uint16_t, int i, int j)
        {
            Channels sum = layout.Five(s);
            int count = 1;
            auto mix = [&](int ni, int nj)
            {
                if (ni < 0 || ni >= c.width || nj < 0 || nj >= c.height || src(ni, nj) != 0)
                {
                    return;
                }
                Channels b = layout.Five(back.At(c.x + ni, c.y + nj));
                sum.red += b.red;
                sum.green += b.green;
                sum.blue += b.blue;
                ++count;
            };
            mix(i - 1, j);
            mix(i + 1, j);
            mix(i, j - 1);
            mix(i, j + 1);
            if (count < 2)
            {
                return s;
            }
            return layout.Join5(sum.red / count, sum.green / count, sum.blue / count);
        });
}

} // namespace

TEST_P(ColourEffects, SmoothEdgesMixOnlyUntouchedBackgroundUnderTransparentNeighbours)
{
    for (int zeros : {20, 50})
    {
        ObjectId id = RandomObject(45, 33, zeros);
        ObjectId thin = RandomObject(1, 6, zeros); // no left or right neighbour at all
        struct Case
        {
            ObjectId id;
            int x, y;
            Rect r;
        };
        const Case cases[] = {{id, 30, 40, {0, 0, 45, 33}},   {id, -3, -2, {0, 0, 45, 33}},
                              {id, 610, 460, {0, 0, 45, 33}}, {id, 5, 5, {10, 12, 11, 13}},
                              {thin, 9, 9, {0, 0, 1, 6}},     {id, 20, 20, {3, 4, 40, 5}}};
        for (const Case& c : cases)
        {
            for (BlitPath path : Paths())
            {
                ASSERT_TRUE(SetBlitPath(path));
                RandomBack();
                Picture before = Back();
                EXPECT_EQ(voDraw::PutSmoothEdges(c.x, c.y, c.id, c.r.left, c.r.top, c.r.right,
                                                 c.r.bottom),
                          1);
                ExpectSamePicture(Back(),
                                  SmoothEdgesReference(layout, before, Object(c.id), c.x, c.y, c.r),
                                  "at " + std::to_string(c.x) + PathName(path));
            }
        }
    }
}

TEST_P(ColourEffects, SmoothEdgesOfALonePixelOnBlackAreItsColourOverFive)
{
    std::uint16_t colour = layout.Join5(29, 17, 11);
    ObjectId id = MakeObject(3, 3, [&](int x, int y) { return x == 1 && y == 1 ? colour : 0; });
    FillBack(0);
    EXPECT_EQ(voDraw::PutSmoothEdges(50, 60, id, 0, 0, 3, 3), 1);
    EXPECT_EQ(Back().At(51, 61), layout.Join5(29 / 5, 17 / 5, 11 / 5));
    EXPECT_EQ(Back().CountIn(0, 40, 50, 70, 80), 30 * 30 - 1);

    // Wholly opaque: every pixel, edges included, is copied unchanged.
    ObjectId solid = RandomObject(9, 7, 0);
    RandomBack();
    EXPECT_EQ(voDraw::PutSmoothEdges(100, 100, solid, 0, 0, 9, 7), 1);
    for (int j = 0; j < 7; ++j)
    {
        for (int i = 0; i < 9; ++i)
        {
            EXPECT_EQ(Back().At(100 + i, 100 + j), Object(solid).At(i, j));
        }
    }
}

// ---- Box blur ---------------------------------------------------------------------------------

namespace
{

// The blurred picture from the formula: the window [ox, ex) x [oy, ey) from the pixel, slid
// back to end at the last column and row, n limited to the visible width and height.
Picture BlurReference(const blit_testing::Layout& layout, const Picture& back,
                      const Picture& source, int x, int y, const Rect& r, int n)
{
    ClippedRect c =
        ClipByHand(x, y, r.left, r.top, r.right, r.bottom, source.width, source.height, kScreen);
    n = std::min({n, c.width, c.height});
    if (n < 1)
    {
        return back;
    }
    return ReferenceBlit(back, source, x, y, r, kScreen,
                         [&](std::uint16_t, std::uint16_t, int i, int j)
                         {
                             int ox = 0, ex = n, oy = 0, ey = n;
                             if (i + n > c.width)
                             {
                                 ox = c.width - (i + n);
                                 ex = c.width - i;
                             }
                             if (j + n > c.height)
                             {
                                 oy = c.height - (j + n);
                                 ey = c.height - j;
                             }
                             Channels sum{0, 0, 0};
                             for (int v = oy; v < ey; ++v)
                             {
                                 for (int u = ox; u < ex; ++u)
                                 {
                                     Channels p = layout.Five(
                                         source.At(c.srcLeft + i + u, c.srcTop + j + v));
                                     sum.red += p.red;
                                     sum.green += p.green;
                                     sum.blue += p.blue;
                                 }
                             }
                             int area = n * n;
                             return layout.Join5(sum.red / area, sum.green / area, sum.blue / area);
                         });
}

} // namespace

TEST_P(ColourEffects, BlurAveragesTheForwardWindowSlidBackAtTheRightAndBottom)
{
    ObjectId id = RandomObject(37, 29, 25);
    ObjectId every = EveryPixelObject();
    struct Case
    {
        ObjectId id;
        int x, y;
        Rect r;
    };
    const Case cases[] = {{id, 30, 40, {0, 0, 37, 29}},
                          {id, -5, 470, {0, 0, 37, 29}},
                          {id, 620, -6, {1, 2, 36, 28}},
                          {id, 8, 8, {4, 4, 6, 5}},
                          {every, 100, 50, {0, 0, 256, 128}}};
    RandomBack(); // the reference starts from whatever the back buffer holds
    for (int n : {1, 2, 3, 4, 7, 29, 30, 1000})
    {
        for (const Case& c : cases)
        {
            if (c.id == every && n > 4)
            {
                continue; // the reference's n x n sums grow slow on large windows
            }
            for (BlitPath path : Paths())
            {
                ASSERT_TRUE(SetBlitPath(path));
                Picture before = Back();
                EXPECT_EQ(
                    voDraw::PutBlur(c.x, c.y, n, c.id, c.r.left, c.r.top, c.r.right, c.r.bottom),
                    1);
                ExpectSamePicture(
                    Back(), BlurReference(layout, before, Object(c.id), c.x, c.y, c.r, n),
                    "n " + std::to_string(n) + " at " + std::to_string(c.x) + PathName(path));
            }
        }
    }
}

TEST_P(ColourEffects, BlurEdgesByHand)
{
    // One row of 5-bit reds 4, 8, 12 over a row of 0, 0, 20: with n = 2 the last column's
    // window slides back onto the second, and the bottom row's onto the top one.
    ObjectId id = MakeObject(3, 2,
                             [&](int x, int y) {
                                 return layout.Join5(y == 0 ? 4 * (x + 1) : x == 2 ? 20 : 1, 0, 0);
                             });
    FillBack(0);
    EXPECT_EQ(voDraw::PutBlur(0, 0, 2, id, 0, 0, 3, 2), 1);
    Picture back = Back();
    EXPECT_EQ(layout.Five(back.At(0, 0)).red, (4 + 8 + 1 + 1) / 4);
    EXPECT_EQ(layout.Five(back.At(1, 0)).red, (8 + 12 + 1 + 20) / 4);
    EXPECT_EQ(layout.Five(back.At(2, 0)).red, (8 + 12 + 1 + 20) / 4);
    EXPECT_EQ(layout.Five(back.At(2, 1)).red, (8 + 12 + 1 + 20) / 4);
    // n = 1 is the source's 5-bit colour.
    ObjectId green =
        MakeObject(1, 1, [&](int, int) { return layout.JoinNative(3, 63 >> layout.rgb555, 5); });
    EXPECT_EQ(voDraw::PutBlur(9, 9, 1, green, 0, 0, 1, 1), 1);
    EXPECT_EQ(Back().At(9, 9), layout.Join5(3, 31, 5));
}

TEST_P(ColourEffects, BlurBelowOneDrawsNothing)
{
    ObjectId id = RandomObject(10, 10, 0);
    RandomBack();
    Picture before = Back();
    for (int n : {0, -1, INT_MIN})
    {
        EXPECT_EQ(voDraw::PutBlur(5, 5, n, id, 0, 0, 10, 10), 1) << n;
    }
    ExpectSamePicture(Back(), before);
}

// ---- Displacement -----------------------------------------------------------------------------

TEST_P(ColourEffects, DisplacePullsTheBackgroundUpByTheSourceRedWithinTheRectangle)
{
    for (float level : {0.0f, 0.3f, 0.5f, 0.77f, 1.0f, 1.6f, -0.4f, 1e20f})
    {
        ExpectLike(
            [&](int x, int y, ObjectId id, const Rect& r)
            { return voDraw::PutDisplace(x, y, level, id, r.left, r.top, r.right, r.bottom); },
            [&](const Picture& back, const Picture& source, const Frame& f)
            {
                ClippedRect c = ClipByHand(f.x, f.y, f.source.left, f.source.top, f.source.right,
                                           f.source.bottom, source.width, source.height, kScreen);
                double tv = std::trunc(31.0 - 31.0 * static_cast<double>(level));
                std::int64_t t = tv <= INT_MIN   ? INT_MIN
                                 : tv >= INT_MAX ? INT_MAX
                                                 : static_cast<std::int64_t>(tv);
                return ReferenceBlit(back, source, f.x, f.y, f.source, kScreen,
                                     [&](std::uint16_t s, std::uint16_t, int i, int j)
                                     {
                                         std::int64_t d = layout.Five(s).red - t;
                                         if (d < 1 || d >= c.height - j)
                                         {
                                             d = 0;
                                         }
                                         return back.At(c.x + i, c.y + j + static_cast<int>(d));
                                     });
            },
            "level " + std::to_string(level));
    }
}

TEST_P(ColourEffects, DisplaceByHand)
{
    // A 1 x 4 height map of red 31 at level 1.0: each row pulls from 31 rows below unless
    // that leaves the rectangle, so nothing moves; red 2 pulls from two rows below.
    ObjectId tall =
        MakeObject(1, 4, [&](int, int y) { return layout.Join5(y < 2 ? 2 : 31, 0, 0); });
    draw_testing::PaintSurface(BackBuffer(),
                               [](int, int y) { return static_cast<std::uint16_t>(y + 1); });
    EXPECT_EQ(voDraw::PutDisplace(0, 0, 1.0f, tall, 0, 0, 1, 4), 1);
    Picture back = Back();
    EXPECT_EQ(back.At(0, 0), 3); // from row 2
    EXPECT_EQ(back.At(0, 1), 4); // from row 3
    EXPECT_EQ(back.At(0, 2), 3); // 31 reaches past the rectangle
    EXPECT_EQ(back.At(0, 3), 4);
    EXPECT_EQ(back.At(0, 4), 5);

    // Level 0.0 leaves everything as it was.
    ObjectId id = RandomObject(30, 30, 0);
    RandomBack();
    Picture before = Back();
    EXPECT_EQ(voDraw::PutDisplace(10, 10, 0.0f, id, 0, 0, 30, 30), 1);
    ExpectSamePicture(Back(), before);
}

// ---- Transparency -----------------------------------------------------------------------------

TEST_P(ColourEffects, TransparentSourcePixelsLeaveTheBackBufferInEveryMember)
{
    struct Member
    {
        const char* name;
        Draw draw;
    };
    const Member members[] = {
        {"SmoothEdges", [](int x, int y, ObjectId id, const Rect& r)
         { return voDraw::PutSmoothEdges(x, y, id, r.left, r.top, r.right, r.bottom); }},
        {"Channels", [](int x, int y, ObjectId id, const Rect& r)
         { return voDraw::PutChannels(x, y, 0, 0, 0, id, r.left, r.top, r.right, r.bottom); }},
        {"Brightness", [](int x, int y, ObjectId id, const Rect& r)
         { return voDraw::PutBrightness(x, y, 0.0f, id, r.left, r.top, r.right, r.bottom); }},
        {"BrightnessRGB",
         [](int x, int y, ObjectId id, const Rect& r) {
             return voDraw::PutBrightnessRGB(x, y, 0.5f, 0.0f, 2.0f, id, r.left, r.top, r.right,
                                             r.bottom);
         }},
        {"Darken", [](int x, int y, ObjectId id, const Rect& r)
         { return voDraw::PutDarken(x, y, 0, id, r.left, r.top, r.right, r.bottom); }},
        {"DarkenRGB", [](int x, int y, ObjectId id, const Rect& r)
         { return voDraw::PutDarkenRGB(x, y, 0, 9, 31, id, r.left, r.top, r.right, r.bottom); }},
        {"Blur2", [](int x, int y, ObjectId id, const Rect& r)
         { return voDraw::PutBlur(x, y, 2, id, r.left, r.top, r.right, r.bottom); }},
        {"Blur5", [](int x, int y, ObjectId id, const Rect& r)
         { return voDraw::PutBlur(x, y, 5, id, r.left, r.top, r.right, r.bottom); }},
        {"Gray", [](int x, int y, ObjectId id, const Rect& r)
         { return voDraw::PutGray(x, y, id, r.left, r.top, r.right, r.bottom); }},
        {"Displace", [](int x, int y, ObjectId id, const Rect& r)
         { return voDraw::PutDisplace(x, y, 1.0f, id, r.left, r.top, r.right, r.bottom); }},
        {"Glow", [](int x, int y, ObjectId id, const Rect& r)
         { return voDraw::PutGlow(x, y, 0, 0, 0, 0, 1, id, r.left, r.top, r.right, r.bottom); }},
    };
    ObjectId id = RandomObject(41, 27, 40);
    Picture source = Object(id);
    for (const Member& m : members)
    {
        for (BlitPath path : Paths())
        {
            ASSERT_TRUE(SetBlitPath(path));
            RandomBack();
            Picture before = Back();
            EXPECT_EQ(m.draw(20, 30, id, Rect{0, 0, 41, 27}), 1);
            Picture after = Back();
            int changed = 0;
            for (int j = 0; j < 27; ++j)
            {
                for (int i = 0; i < 41; ++i)
                {
                    if (source.At(i, j) == 0 &&
                        after.At(20 + i, 30 + j) != before.At(20 + i, 30 + j))
                    {
                        ++changed;
                    }
                }
            }
            EXPECT_EQ(changed, 0) << m.name << PathName(path);
        }
    }
}
