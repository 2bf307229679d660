// The screen effects on the back buffer: each against a plain reference written from its
// formula, their own random positions, the cases a reader can check by eye, and the refusals.
#include <cmath>
#include <functional>

#include "draw/blit/blit_internal.h"
#include "system/system.h"
#include "tests/draw/blit/blit_support.h"

using blit_testing::Channels;
using blit_testing::ExpectSamePicture;
using draw_testing::Picture;

namespace
{

// The framework's generator, written out from its definition.
struct Lcg
{
    std::uint32_t state;
    int Next()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

// A routine's place in randomTable3: the run counter (rise only) and the index.
struct Position
{
    int counter = 0;
    int index = 0;
    void Advance(Lcg& lcg)
    {
        index += 1;
        if (index == 10000)
        {
            index = lcg.Next() % 1000;
        }
    }
};

class ScreenEffects : public blit_testing::BlitTest
{
  protected:
    std::uint16_t& At(Picture& p, int x, int y)
    {
        return p.pixels[static_cast<std::size_t>(y * p.width + x)];
    }
    // Per channel: (a + b + c + d) >> 2, then lowered by one where fade is on and above 0.
    std::uint16_t Average(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d,
                          const bool fade[3])
    {
        Channels p[4] = {layout.Five(a), layout.Five(b), layout.Five(c), layout.Five(d)};
        int red = (p[0].red + p[1].red + p[2].red + p[3].red) >> 2;
        int green = (p[0].green + p[1].green + p[2].green + p[3].green) >> 2;
        int blue = (p[0].blue + p[1].blue + p[2].blue + p[3].blue) >> 2;
        red -= fade[0] && red > 0 ? 1 : 0;
        green -= fade[1] && green > 0 ? 1 : 0;
        blue -= fade[2] && blue > 0 ? 1 : 0;
        return layout.Join5(red, green, blue);
    }

    // Rising smoke on the region (already inside the picture): the pixel below, or after a copy
    // where the table says 2, the average of the three below and the pixel itself. The row two
    // below is held at the last row.
    void ReferenceRise(Picture& p, int x, int y, int w, int h, Position& at, Lcg& lcg,
                       const bool fade[3])
    {
        for (int j = 1; j < h - 1; ++j)
        {
            int t = y + j;
            for (int i = 1; i < w - 1; ++i)
            {
                int c = x + i;
                at.counter += 1;
                if (at.counter < randomTable3[at.index])
                {
                    At(p, c, t) = Average(p.At(c - 1, t + 1), p.At(c + 1, t + 1), p.At(c, t),
                                          p.At(c, std::min(t + 2, p.height - 1)), fade);
                }
                else
                {
                    At(p, c, t) = p.At(c, t + 1);
                    at.counter = 0;
                    at.Advance(lcg);
                }
            }
        }
    }
    void ReferenceBlur(Picture& p, int x, int y, int w, int h, const bool fade[3])
    {
        for (int t = y + 1; t < y + h - 1; ++t)
        {
            for (int c = x + 1; c < x + w - 1; ++c)
            {
                At(p, c, t) = Average(p.At(c - 1, t), p.At(c + 1, t), p.At(c, t - 1),
                                      p.At(c, t + 1), fade);
            }
        }
    }
    void ReferenceNoise(Picture& p, int shift, int x, int y, int w, int h, Position& at, Lcg& lcg,
                        const bool on[3])
    {
        for (int t = y; t < y + h; ++t)
        {
            for (int c = x; c < x + w; ++c)
            {
                int n = randomTable3[at.index] << shift;
                at.Advance(lcg);
                Channels v = layout.Five(p.At(c, t));
                At(p, c, t) = layout.Join5(on[0] ? std::min(v.red + n, 31) : v.red,
                                           on[1] ? std::min(v.green + n, 31) : v.green,
                                           on[2] ? std::min(v.blue + n, 31) : v.blue);
            }
        }
    }
    // Each disc pixel takes the colour of the top-left pixel of its cell, the cells laid from
    // the first offset inside the screen.
    Picture ReferenceMosaic(const Picture& p, int cx, int cy, int radius, int block)
    {
        Picture out = p;
        int xFrom = std::max(-radius, -cx);
        int yFrom = std::max(-radius, -cy);
        int xTo = std::min(radius, p.width - cx);
        int yTo = std::min(radius, p.height - cy);
        for (int n = yFrom; n < yTo; ++n)
        {
            for (int m = xFrom; m < xTo; ++m)
            {
                if (static_cast<int>(std::sqrt(double(m * m + n * n))) >= radius)
                {
                    continue;
                }
                int cellX = xFrom + (m - xFrom) / block * block;
                int cellY = yFrom + (n - yFrom) / block * block;
                At(out, cx + m, cy + n) = p.At(cx + cellX, cy + cellY);
            }
        }
        return out;
    }
    // The region enlarged factor times into Buffer (the top-left factor/2 square of each
    // block when dotted), Buffer's corner then shown at (x, y) inside clip.
    void ReferenceZoom(Picture& back, Picture& buffer, int x, int y, int w, int h, int factor,
                       bool dotted, const Rect& clip)
    {
        int dot = dotted ? factor / 2 : factor;
        Picture before = back;
        for (int Y = 0; Y < factor * h; ++Y)
        {
            for (int X = 0; X < factor * w; ++X)
            {
                if (X % factor < dot && Y % factor < dot)
                {
                    At(buffer, X, Y) = before.At(x + X / factor, y + Y / factor);
                }
                int bx = x + X;
                int by = y + Y;
                if (bx >= clip.left && bx < clip.right && by >= clip.top && by < clip.bottom)
                {
                    At(back, bx, by) = buffer.At(X, Y);
                }
            }
        }
    }
};

BLIT_TEST_LAYOUTS(ScreenEffects);

const bool kNone[3] = {false, false, false};
const bool kAll[3] = {true, true, true};

} // namespace

TEST_P(ScreenEffects, RiseFollowsItsFormulaAcrossCallsAndTableWraps)
{
    // The whole screen runs the table index past its end many times; each wrap draws from the
    // generator. The fading rise keeps a position of its own.
    RandomBack();
    Picture expected = Back();
    SeedRandom(4242);
    Lcg lcg{4242};
    Position rise;
    Position riseFade;
    struct Call
    {
        bool fade;
        int x, y, w, h;
        bool flags[3];
    };
    const Call calls[] = {
        {false, 0, 0, 640, 480, {}},            {true, 3, 5, 200, 100, {true, false, true}},
        {false, 100, 200, 300, 280, {}},        {true, 0, 0, 640, 480, {true, true, true}},
        {false, 7, 9, 3, 3, {}},                {true, 600, 470, 40, 10, {false, true, false}},
    };
    for (const Call& call : calls)
    {
        if (call.fade)
        {
            EXPECT_EQ(voDraw::ScreenRiseFade(call.flags[0], call.flags[1] ? 7 : 0, call.flags[2],
                                             call.x, call.y, call.w, call.h),
                      1);
            ReferenceRise(expected, call.x, call.y, call.w, call.h, riseFade, lcg, call.flags);
        }
        else
        {
            EXPECT_EQ(voDraw::ScreenRise(call.x, call.y, call.w, call.h), 1);
            ReferenceRise(expected, call.x, call.y, call.w, call.h, rise, lcg, kNone);
        }
        ExpectSamePicture(Back(), expected, call.fade ? "rise fade" : "rise");
    }
}

TEST_P(ScreenEffects, RiseMovesThePictureUpOneRowAndLeavesTheBorder)
{
    // A picture whose channels grow evenly down and across: the smoothing then gives the
    // pixel below too, so every interior pixel must show the one below it after a call.
    const int x = 50, y = 40, w = 30, h = 20;
    RandomBack();
    draw_testing::PaintSurface(BackBuffer(),
                               [&](int c, int t)
                               {
                                   bool ramp = c >= x && c < x + w && t >= y && t <= y + h;
                                   return ramp ? layout.Join5(t - y, 31 - (t - y), c - x)
                                               : layout.Random(random);
                               });
    Picture before = Back();
    ASSERT_EQ(voDraw::ScreenRise(x, y, w, h), 1);
    Picture once = Back();
    Picture expected = before;
    for (int t = y + 1; t < y + h - 1; ++t)
    {
        for (int c = x + 1; c < x + w - 1; ++c)
        {
            At(expected, c, t) = before.At(c, t + 1);
        }
    }
    ExpectSamePicture(once, expected, "one call");

    // A second call moves the rows on again, where the pixels it reads were all moved once
    // (not next to the border columns, which stay).
    ASSERT_EQ(voDraw::ScreenRise(x, y, w, h), 1);
    Picture twice = Back();
    for (int t = y + 1; t < y + h - 4; ++t)
    {
        for (int c = x + 2; c < x + w - 2; ++c)
        {
            EXPECT_EQ(twice.At(c, t), before.At(c, t + 2)) << c << ", " << t;
        }
    }
    for (int c = x; c < x + w; ++c)
    {
        EXPECT_EQ(twice.At(c, y), before.At(c, y));
        EXPECT_EQ(twice.At(c, y + h - 1), before.At(c, y + h - 1));
    }
    for (int t = y; t < y + h; ++t)
    {
        EXPECT_EQ(twice.At(x, t), before.At(x, t));
        EXPECT_EQ(twice.At(x + w - 1, t), before.At(x + w - 1, t));
    }
}

TEST_P(ScreenEffects, BlurAndBlurFadeFollowTheirFormula)
{
    RandomBack();
    Picture expected = Back();
    const bool redBlue[3] = {true, false, true};
    const bool green[3] = {false, true, false};
    EXPECT_EQ(voDraw::ScreenBlur(0, 0, 640, 480), 1);
    ReferenceBlur(expected, 0, 0, 640, 480, kNone);
    ExpectSamePicture(Back(), expected, "blur");
    EXPECT_EQ(voDraw::ScreenBlurFade(1, 0, -1, 33, 17, 250, 190), 1);
    ReferenceBlur(expected, 33, 17, 250, 190, redBlue);
    ExpectSamePicture(Back(), expected, "red and blue fade");
    EXPECT_EQ(voDraw::ScreenBlurFade(0, 2, 0, 300, 300, 340, 180), 1);
    ReferenceBlur(expected, 300, 300, 340, 180, green);
    ExpectSamePicture(Back(), expected, "green fade");
}

TEST_P(ScreenEffects, BlurFadeOnWhiteGivesThirtyThenTwentyNine)
{
    FillBack(layout.JoinNative(31, layout.GreenMax(), 31));
    ASSERT_EQ(voDraw::ScreenBlurFade(1, 1, 1, 10, 10, 20, 20), 1);
    Picture back = Back();
    Channels first = layout.Five(back.At(11, 11));
    Channels second = layout.Five(back.At(12, 11));
    EXPECT_EQ(first.red, 30);
    EXPECT_EQ(first.green, 30);
    EXPECT_EQ(first.blue, 30);
    EXPECT_EQ(second.red, 29);
    EXPECT_EQ(second.green, 29);
    EXPECT_EQ(second.blue, 29);
}

TEST_P(ScreenEffects, BlurLeavesAFlatRegionButTheLowestGreenBit)
{
    // Every native green value, with a random red and blue each time.
    for (int g = 0; g <= layout.GreenMax(); ++g)
    {
        Channels flat{static_cast<int>(random() % 32), g, static_cast<int>(random() % 32)};
        std::uint16_t colour = layout.JoinNative(flat.red, flat.green, flat.blue);
        FillBack(colour);
        ASSERT_EQ(voDraw::ScreenBlur(5, 5, 8, 6), 1);
        std::uint16_t blurred = layout.rgb555 ? colour : static_cast<std::uint16_t>(colour & ~0x20);
        Picture back = Back();
        EXPECT_EQ(back.CountIn(blurred, 6, 6, 12, 10), 6 * 4) << g;
        EXPECT_EQ(back.Count(colour) + (blurred != colour ? 24 : 0), 640 * 480) << g;
    }
}

TEST_P(ScreenEffects, ZoomTwoOfATenByTenRegion)
{
    RandomBack();
    Picture before = Back();
    ASSERT_EQ(voDraw::ScreenZoom2(0, 0, 10, 10, 0), 1);
    Picture back = Back();
    for (int y = 0; y < 480; ++y)
    {
        for (int x = 0; x < 640; ++x)
        {
            std::uint16_t want = x < 20 && y < 20 ? before.At(x / 2, y / 2) : before.At(x, y);
            ASSERT_EQ(back.At(x, y), want) << x << ", " << y;
        }
    }
}

TEST_P(ScreenEffects, ZoomsThroughBufferAndClipAtTheEnd)
{
    struct Case
    {
        int factor, x, y, w, h;
        bool dotted;
        Rect clip;
    };
    const Case cases[] = {
        {2, 30, 40, 50, 25, false, {0, 0, 640, 480}},
        {2, 30, 40, 50, 25, true, {0, 0, 640, 480}},
        {4, 100, 90, 33, 17, false, {120, 100, 200, 150}},
        {4, 100, 90, 33, 17, true, {0, 0, 640, 480}},
        {2, 500, 400, 100, 70, true, {0, 0, 640, 480}}, // the enlargement passes the screen
    };
    for (const Case& c : cases)
    {
        RandomBack();
        draw_testing::PaintSurface(objectTable[0].surface,
                                   [&](int, int) { return layout.Random(random); });
        Picture back = Back();
        Picture buffer = Object(0);
        clipRect = c.clip;
        int result = c.factor == 2 ? voDraw::ScreenZoom2(c.x, c.y, c.w, c.h, c.dotted)
                                   : voDraw::ScreenZoom4(c.x, c.y, c.w, c.h, c.dotted);
        EXPECT_EQ(result, 1);
        Rect clip{c.clip.left, c.clip.top, std::min(c.clip.right, 640),
                  std::min(c.clip.bottom, 480)};
        ReferenceZoom(back, buffer, c.x, c.y, c.w, c.h, c.factor, c.dotted, clip);
        ExpectSamePicture(Back(), back, "back buffer");
        ExpectSamePicture(Object(0), buffer, "Buffer");
    }
}

TEST_P(ScreenEffects, MosaicFollowsItsFormulaAtTheScreenEdges)
{
    struct Case
    {
        int cx, cy, radius, block;
    };
    const Case cases[] = {
        {320, 240, 100, 8}, {5, 7, 60, 7},       {630, 470, 90, 16},  {320, 240, 1000, 13},
        {-30, 100, 50, 4},  {700, 500, 200, 32}, {320, 240, 3, 2},    {100, 100, 41, 1},
    };
    for (const Case& c : cases)
    {
        RandomBack();
        Picture expected = ReferenceMosaic(Back(), c.cx, c.cy, c.radius, c.block);
        EXPECT_EQ(voDraw::ScreenMosaic(c.cx, c.cy, c.radius, c.block), 1);
        ExpectSamePicture(Back(), expected, "mosaic " + std::to_string(c.cx) + "," +
                                                std::to_string(c.cy) + " r" +
                                                std::to_string(c.radius));
    }
}

TEST_P(ScreenEffects, MosaicOfRadiusZeroOrBlockOneChangesNothing)
{
    RandomBack();
    Picture before = Back();
    EXPECT_EQ(voDraw::ScreenMosaic(320, 240, 0, 8), 1);
    EXPECT_EQ(voDraw::ScreenMosaic(320, 240, 200, 1), 1);
    EXPECT_EQ(voDraw::ScreenMosaic(0, 0, 5000, 1), 1);
    ExpectSamePicture(Back(), before);
}

TEST_P(ScreenEffects, NoiseWithShiftThreeAddsZeroEightOrSixteenClampedAt31)
{
    RandomBack();
    Picture before = Back();
    ASSERT_EQ(voDraw::ScreenNoise(3, 20, 30, 100, 50), 1);
    Picture after = Back();
    int index = 0;
    for (int y = 30; y < 80; ++y)
    {
        for (int x = 20; x < 120; ++x)
        {
            int n = 8 * randomTable3[index++];
            Channels was = layout.Five(before.At(x, y));
            Channels now = layout.Five(after.At(x, y));
            ASSERT_EQ(now.red, std::min(was.red + n, 31));
            ASSERT_EQ(now.green, std::min(was.green + n, 31));
            ASSERT_EQ(now.blue, std::min(was.blue + n, 31));
        }
    }
}

TEST_P(ScreenEffects, NoisePositionsPersistAndWrapApart)
{
    // 100 x 100 pixels take a position from 0 to the table's end, where it wraps to
    // rand() % 1000; the next call goes on from there. The two routines keep positions apart.
    RandomBack();
    Picture expected = Back();
    SeedRandom(99);
    Lcg lcg{99};
    Position noise;
    Position noiseRgb;
    const bool redOnly[3] = {true, false, false};
    const bool greenBlue[3] = {false, true, true};
    ASSERT_EQ(voDraw::ScreenNoise(0, 0, 0, 100, 100), 1);
    ReferenceNoise(expected, 0, 0, 0, 100, 100, noise, lcg, kAll);
    ASSERT_EQ(voDraw::ScreenNoiseRGB(1, 0, 0, 1, 200, 0, 50, 40), 1);
    ReferenceNoise(expected, 1, 200, 0, 50, 40, noiseRgb, lcg, redOnly);
    ASSERT_EQ(voDraw::ScreenNoise(0, 0, 100, 640, 30), 1);
    ReferenceNoise(expected, 0, 0, 100, 640, 30, noise, lcg, kAll);
    ASSERT_EQ(voDraw::ScreenNoiseRGB(0, 5, 1, 2, 0, 200, 640, 280), 1);
    ReferenceNoise(expected, 2, 0, 200, 640, 280, noiseRgb, lcg, greenBlue);
    EXPECT_NE(noise.index, 0);
    ExpectSamePicture(Back(), expected);
}

TEST_P(ScreenEffects, RegionsAreLimitedToTheBackBuffer)
{
    // Regions reaching past each edge act on the part inside; none may read or write outside.
    RandomBack();
    Picture expected = Back();
    SeedRandom(7);
    Lcg lcg{7};
    Position noise;
    Position rise;
    EXPECT_EQ(voDraw::ScreenBlur(-10, -20, 100, 80), 1);
    ReferenceBlur(expected, 0, 0, 90, 60, kNone);
    EXPECT_EQ(voDraw::ScreenNoise(1, 600, 450, 100, 100), 1);
    ReferenceNoise(expected, 1, 600, 450, 40, 30, noise, lcg, kAll);
    EXPECT_EQ(voDraw::ScreenRise(500, 400, 2000000000, 2000000000), 1);
    ReferenceRise(expected, 500, 400, 140, 80, rise, lcg, kNone);
    ExpectSamePicture(Back(), expected);
}

TEST_P(ScreenEffects, EmptyRegionsAndBadBlocksDrawNothing)
{
    RandomBack();
    Picture before = Back();
    for (int size : {0, -1, -640})
    {
        EXPECT_EQ(voDraw::ScreenRise(10, 10, size, 10), 1);
        EXPECT_EQ(voDraw::ScreenRiseFade(1, 1, 1, 10, 10, 10, size), 1);
        EXPECT_EQ(voDraw::ScreenBlur(10, 10, size, size), 1);
        EXPECT_EQ(voDraw::ScreenBlurFade(1, 1, 1, 10, 10, size, 10), 1);
        EXPECT_EQ(voDraw::ScreenNoise(2, 10, 10, size, 10), 1);
        EXPECT_EQ(voDraw::ScreenNoiseRGB(1, 1, 1, 2, 10, 10, 10, size), 1);
        EXPECT_EQ(voDraw::ScreenZoom2(10, 10, size, 10, 0), 1);
        EXPECT_EQ(voDraw::ScreenZoom4(10, 10, 10, size, 0), 1);
        EXPECT_EQ(voDraw::ScreenMosaic(320, 240, 100, size), 1);
    }
    EXPECT_EQ(voDraw::ScreenBlur(640, 0, 10, 10), 1);
    EXPECT_EQ(voDraw::ScreenNoise(1, 0, -10, 10, 10), 1);
    ExpectSamePicture(Back(), before);
}

TEST_P(ScreenEffects, AnEnlargementLargerThanBufferIsCutToIt)
{
    // Buffer holds 640 x 480: four times 640 x 480 is cut to the top-left 160 x 120.
    RandomBack();
    Picture back = Back();
    Picture buffer = Object(0);
    ASSERT_EQ(voDraw::ScreenZoom4(0, 0, 640, 480, 0), 1);
    ReferenceZoom(back, buffer, 0, 0, buffer.width / 4, buffer.height / 4, 4, false,
                  Rect{0, 0, 640, 480});
    ExpectSamePicture(Back(), back);
    ExpectSamePicture(Object(0), buffer, "Buffer");

    // Twice 400 x 100 is cut to 320 columns: nothing spills past a Buffer row.
    ASSERT_EQ(voDraw::ScreenZoom2(0, 0, 400, 100, 0), 1);
    ReferenceZoom(back, buffer, 0, 0, buffer.width / 2, 100, 2, false, Rect{0, 0, 640, 480});
    ExpectSamePicture(Back(), back);
    ExpectSamePicture(Object(0), buffer, "Buffer");
}

TEST_P(ScreenEffects, LockFailuresReturnZeroAndChangeNothing)
{
    RandomBack();
    Picture before = Back();
    platform::PixelBuffer view;
    const std::function<int()> calls[] = {
        [] { return voDraw::ScreenRise(0, 0, 100, 100); },
        [] { return voDraw::ScreenRiseFade(1, 1, 1, 0, 0, 100, 100); },
        [] { return voDraw::ScreenBlur(0, 0, 100, 100); },
        [] { return voDraw::ScreenBlurFade(1, 1, 1, 0, 0, 100, 100); },
        [] { return voDraw::ScreenZoom2(0, 0, 100, 100, 0); },
        [] { return voDraw::ScreenZoom4(0, 0, 100, 100, 1); },
        [] { return voDraw::ScreenMosaic(50, 50, 40, 4); },
        [] { return voDraw::ScreenNoise(3, 0, 0, 100, 100); },
        [] { return voDraw::ScreenNoiseRGB(1, 1, 1, 3, 0, 0, 100, 100); },
    };
    ASSERT_EQ(platform::LockSurface(BackBuffer(), view), platform::SurfaceResult::Ok);
    for (const auto& call : calls)
    {
        EXPECT_EQ(call(), 0);
    }
    platform::UnlockSurface(BackBuffer());
    ExpectSamePicture(Back(), before);

    // Buffer held: the enlargements give up before the back buffer is taken; with the back
    // buffer held they give Buffer back.
    ASSERT_EQ(platform::LockSurface(objectTable[0].surface, view), platform::SurfaceResult::Ok);
    EXPECT_EQ(voDraw::ScreenZoom2(0, 0, 10, 10, 0), 0);
    platform::UnlockSurface(objectTable[0].surface);
    ASSERT_EQ(platform::LockSurface(BackBuffer(), view), platform::SurfaceResult::Ok);
    EXPECT_EQ(voDraw::ScreenZoom4(0, 0, 10, 10, 0), 0);
    platform::UnlockSurface(BackBuffer());
    ASSERT_EQ(platform::LockSurface(objectTable[0].surface, view), platform::SurfaceResult::Ok);
    platform::UnlockSurface(objectTable[0].surface);
    ExpectSamePicture(Back(), before);
}

TEST(ScreenEffectsDesktop, ADesktopThatIsNot16BitsReturnsZero)
{
    testing_support::TempDir folder;
    draw_testing::HeadlessConfig config;
    config.desktopBpp = 32;
    draw_testing::StartWindow(config);
    if (voDraw::Screen(640, 480, 1) != 1 || BackBuffer() == nullptr)
    {
        GTEST_SKIP() << "no screen on a 32-bit desktop";
    }
    EXPECT_EQ(voDraw::ScreenRise(0, 0, 100, 100), 0);
    EXPECT_EQ(voDraw::ScreenRiseFade(1, 1, 1, 0, 0, 100, 100), 0);
    EXPECT_EQ(voDraw::ScreenBlur(0, 0, 100, 100), 0);
    EXPECT_EQ(voDraw::ScreenBlurFade(1, 1, 1, 0, 0, 100, 100), 0);
    EXPECT_EQ(voDraw::ScreenZoom2(0, 0, 100, 100, 0), 0);
    EXPECT_EQ(voDraw::ScreenZoom4(0, 0, 100, 100, 0), 0);
    EXPECT_EQ(voDraw::ScreenMosaic(50, 50, 40, 4), 0);
    EXPECT_EQ(voDraw::ScreenNoise(3, 0, 0, 100, 100), 0);
    EXPECT_EQ(voDraw::ScreenNoiseRGB(1, 1, 1, 3, 0, 0, 100, 100), 0);
}
