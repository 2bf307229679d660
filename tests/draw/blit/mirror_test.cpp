// Mirrored and smeared copies against plain references, and the row-wise puts (scan lines,
// jitter, drum) against the rows their formulas choose, drawn by a plain keyed or opaque copy.
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "draw/blit/blit.h"
#include "draw/blit/blit_internal.h"
#include "tests/draw/blit/blit_support.h"

using blit_testing::ExpectSamePicture;
using blit_testing::ReferenceBlit;
using draw_testing::Picture;

namespace
{

constexpr double kPi = 3.14159265358979323846;

// The generator's formula, written out: state = state * 214013 + 2531011, value = bits 16..30.
struct Generator
{
    std::uint32_t state;
    int Next()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

class Mirror : public blit_testing::BlitTest
{
  protected:
    Rect Visible() const
    {
        return Rect{std::max(clipRect.left, 0), std::max(clipRect.top, 0),
                    std::min(clipRect.right, 640), std::min(clipRect.bottom, 480)};
    }
    // One source row put at (x, y), keyed or not, clipped to the clip rectangle.
    Picture PutRow(const Picture& back, ObjectId id, int x, int y, int left, int row, int right,
                   bool keyed)
    {
        return ReferenceBlit(back, Object(id), x, y, Rect{left, row, right, row + 1}, Visible(),
                             [](std::uint16_t s, std::uint16_t, int, int) { return s; }, keyed);
    }
};

BLIT_TEST_LAYOUTS(Mirror);

// The back buffer after PutFlip: destination (x + m, y + n) of the rectangle as cut to the
// object shows the source pixel of the mode's table, keyed, where it lies inside clip.
Picture FlipReference(const Picture& back, const Picture& object, int objectWidth,
                      int objectHeight, int x, int y, int mode, Rect s, const Rect& clip)
{
    Picture out = back;
    if (mode < 0 || mode > 3)
    {
        return out;
    }
    long long px = x, py = y;
    if (s.left < 0)
    {
        px -= s.left;
        s.left = 0;
    }
    if (s.top < 0)
    {
        py -= s.top;
        s.top = 0;
    }
    s.right = std::min(s.right, objectWidth);
    s.bottom = std::min(s.bottom, objectHeight);
    for (int n = 0; n < s.bottom - s.top; ++n)
    {
        for (int m = 0; m < s.right - s.left; ++m)
        {
            long long dx = px + m, dy = py + n;
            if (dx < clip.left || dx >= clip.right || dy < clip.top || dy >= clip.bottom)
            {
                continue;
            }
            int sx = (mode & 1) != 0 ? s.right - 1 - m : s.left + m;
            int sy = (mode & 2) != 0 ? s.bottom - 1 - n : s.top + n;
            std::uint16_t p = object.At(sx, sy);
            if (p != 0)
            {
                out.pixels[static_cast<std::size_t>(dy * out.width + dx)] = p;
            }
        }
    }
    return out;
}

// The back buffer after PutSmear, from its steps; the column or row read is limited to the
// visible rectangle (modes 1, 3) or to the object's readable part (modes 0, 2).
Picture SmearReference(const Picture& back, const Picture& object, int objectWidth,
                       int objectHeight, int x, int y, int mode, int position, Rect s,
                       const Rect& clip)
{
    Picture out = back;
    if (mode < 0 || mode > 3)
    {
        return out;
    }
    const int far = 1 << 29; // no object edge on the smeared axis
    if (mode == 0)
    {
        s.right = 640 - s.left;
    }
    if (mode == 2)
    {
        s.bottom = 480 - s.top;
    }
    blit_testing::ClippedRect c = blit_testing::ClipByHand(
        x, y, s.left, s.top, s.right, s.bottom, mode == 0 ? far : objectWidth,
        mode == 2 ? far : objectHeight, clip);
    if (!c.drawn)
    {
        return out;
    }
    std::uint32_t at = static_cast<std::uint32_t>(position);
    auto write = [&](int cx, int cy, std::uint16_t p, bool keyed)
    {
        if (!keyed || p != 0)
        {
            out.pixels[static_cast<std::size_t>(cy * out.width + cx)] = p;
        }
    };
    auto src = [&](int col, int row) { return object.At(c.srcLeft + col, c.srcTop + row); };
    if (mode == 0 || mode == 2)
    {
        int readable = mode == 0 ? std::min(c.width, objectWidth - c.srcLeft)
                                 : std::min(c.height, objectHeight - c.srcTop);
        if (readable <= 0)
        {
            return out;
        }
        int last = static_cast<int>(std::min<std::uint32_t>(at, readable - 1));
        for (int r = 0; r < c.height; ++r)
        {
            for (int col = 0; col < c.width; ++col)
            {
                std::uint16_t p = mode == 0 ? src(std::min(col, last), r)
                                            : src(col, std::min(r, last));
                write(c.x + col, c.y + r, p, true);
            }
        }
        return out;
    }
    int count = mode == 1 ? c.width : c.height;
    if (count <= 0)
    {
        return out;
    }
    int p0 = static_cast<int>(std::min<std::uint32_t>(at, count - 1));
    if (mode == 3)
    {
        for (int r = 0; r < c.y; ++r)
        {
            for (int col = 0; col < c.width; ++col)
            {
                write(c.x + col, r, src(col, p0), false);
            }
        }
    }
    for (int r = 0; r < c.height; ++r)
    {
        for (int col = 0; col < c.width; ++col)
        {
            std::uint16_t p = mode == 1 ? src(std::max(col, p0), r) : src(col, std::max(r, p0));
            write(c.x + col, c.y + r, p, true);
        }
        if (mode == 1)
        {
            for (int col = 0; col < c.x; ++col)
            {
                write(col, c.y + r, src(p0, r), false);
            }
        }
    }
    return out;
}

} // namespace

TEST_P(Mirror, FlipShowsEachModesPixelWhicheverEdgesAreClipped)
{
    ObjectId id = RandomObject(33, 21);
    struct Case
    {
        int x, y;
        Rect source;
    };
    const Case cases[] = {
        {150, 100, {0, 0, 33, 21}},  {150, 100, {3, 2, 30, 17}},   {98, 100, {3, 2, 30, 17}},
        {280, 100, {3, 2, 30, 17}},  {150, 45, {3, 2, 30, 17}},    {150, 190, {3, 2, 30, 17}},
        {90, 40, {0, 0, 33, 21}},    {285, 195, {0, 0, 33, 21}},   {150, 100, {-4, -3, 40, 30}},
        {-10, -7, {0, 0, 33, 21}},   {620, 470, {0, 0, 33, 21}},   {150, 100, {5, 5, 5, 9}},
        {400, 100, {0, 0, 33, 21}},
    };
    RandomBack();
    for (BlitPath path : {BlitPath::Baseline, BlitPath::Avx2})
    {
        if (!SetBlitPath(path))
        {
            continue;
        }
        for (int mode = -1; mode <= 4; ++mode)
        {
            int n = 0;
            for (const Case& c : cases)
            {
                // The clip's edges for most cases, the screen's for the rest.
                clipRect = ++n % 4 != 0 ? Rect{100, 50, 300, 200} : Rect{0, 0, 640, 480};
                {
                    // Each call draws over what the previous ones left.
                    Picture before = Back();
                    EXPECT_EQ(voDraw::PutFlip(c.x, c.y, mode, id, c.source.left, c.source.top,
                                              c.source.right, c.source.bottom),
                              1);
                    ExpectSamePicture(Back(),
                                      FlipReference(before, Object(id), objectTable[id].width,
                                                    objectTable[id].height, c.x, c.y, mode,
                                                    c.source, Visible()),
                                      "mode " + std::to_string(mode) + " at " +
                                          std::to_string(c.x) + "," + std::to_string(c.y));
                }
            }
        }
    }
}

TEST_P(Mirror, FlipReversesColumnsAndRowsByHand)
{
    // Columns red, green, blue (and a second row of their halves): mode 1 gives blue, green,
    // red; mode 3 also swaps the rows. With two columns clipped away on the left, mode 1
    // shows source columns from srcRight - 3 down to srcLeft.
    const std::uint16_t red = layout.RedMask(), green = layout.GreenMask(), blue = 0x1F;
    const std::uint16_t colours[2][3] = {{red, green, blue}, {0x0800, 0x0040, 0x0002}};
    ObjectId id = MakeObject(3, 2, [&](int x, int y) { return y < 2 ? colours[y][x] : 0; });
    FillBack(0);
    ASSERT_EQ(voDraw::PutFlip(10, 10, 1, id, 0, 0, 3, 2), 1);
    ASSERT_EQ(voDraw::PutFlip(20, 10, 3, id, 0, 0, 3, 2), 1);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(draw_testing::BackPixel(10 + i, 10), colours[0][2 - i]);
        EXPECT_EQ(draw_testing::BackPixel(10 + i, 11), colours[1][2 - i]);
        EXPECT_EQ(draw_testing::BackPixel(20 + i, 10), colours[1][2 - i]);
        EXPECT_EQ(draw_testing::BackPixel(20 + i, 11), colours[0][2 - i]);
    }
    ObjectId wide = MakeObject(8, 1, [](int x, int) { return static_cast<std::uint16_t>(x + 1); });
    clipRect = Rect{102, 0, 640, 480};
    FillBack(0);
    ASSERT_EQ(voDraw::PutFlip(100, 5, 1, wide, 1, 0, 7, 1), 1); // source columns 1..6
    for (int i = 0; i < 6; ++i)
    {
        // Destination column i shows source column 6 - i, whose value is 7 - i.
        EXPECT_EQ(draw_testing::BackPixel(100 + i, 5), i < 2 ? 0u : 7u - i) << i;
    }
}

TEST_P(Mirror, SmearModesFollowTheirStepsWithTheFillsTowardTheScreenEdge)
{
    ObjectId id = RandomObject(30, 20);
    struct Case
    {
        int x, y, position;
        Rect source;
    };
    const Case cases[] = {
        {150, 100, 0, {0, 0, 30, 20}},   {150, 100, 7, {0, 0, 30, 20}},
        {150, 100, 29, {0, 0, 30, 20}},  {150, 100, 19, {2, 3, 25, 18}},
        {150, 100, 100, {0, 0, 30, 20}}, {150, 100, -1, {0, 0, 30, 20}},
        {90, 40, 4, {0, 0, 30, 20}},     {285, 190, 4, {0, 0, 30, 20}},
        {150, 100, 5, {-3, -2, 30, 20}}, {700, 100, 5, {0, 0, 30, 20}},
        {150, 100, 5, {40, 0, 50, 20}},  {0, 0, 3, {0, 0, 30, 20}},
    };
    RandomBack();
    for (const Rect& clip : {Rect{0, 0, 640, 480}, Rect{100, 50, 300, 200}})
    {
        clipRect = clip;
        for (int mode = -1; mode <= 4; ++mode)
        {
            for (const Case& c : cases)
            {
                // Each call draws over what the previous ones left (the fills cover much).
                Picture before = Back();
                EXPECT_EQ(voDraw::PutSmear(c.x, c.y, mode, c.position, id, c.source.left,
                                           c.source.top, c.source.right, c.source.bottom),
                          1);
                ExpectSamePicture(Back(),
                                  SmearReference(before, Object(id), objectTable[id].width,
                                                 objectTable[id].height, c.x, c.y, mode,
                                                 c.position, c.source, Visible()),
                                  "mode " + std::to_string(mode) + " at " + std::to_string(c.x) +
                                      "," + std::to_string(c.y) + " position " +
                                      std::to_string(c.position));
            }
        }
    }
}

TEST_P(Mirror, SmearToTheRightPaintsEachRowsFirstPixelToTheScreenEdge)
{
    ObjectId id = RandomObject(10, 5, 0);
    Picture source = Object(id);
    FillBack(0);
    ASSERT_EQ(voDraw::PutSmear(100, 50, 0, 0, id, 0, 0, 10, 5), 1);
    for (int r = 0; r < 5; ++r)
    {
        for (int x = 0; x < 640; ++x)
        {
            std::uint32_t expected = x >= 100 ? source.At(0, r) : 0u;
            ASSERT_EQ(draw_testing::BackPixel(x, 50 + r), expected) << x << "," << r;
        }
    }
    // Upwards: the rows above are filled unkeyed with the source row at position, to the top.
    ObjectId keyed = MakeObject(4, 4, [](int x, int y) { return static_cast<std::uint16_t>(x == 1 ? 0 : 1 + x + 4 * y); });
    FillBack(0x1111);
    ASSERT_EQ(voDraw::PutSmear(200, 100, 3, 2, keyed, 0, 0, 4, 4), 1);
    for (int y = 0; y < 100; y += 9)
    {
        for (int x = 0; x < 4; ++x)
        {
            EXPECT_EQ(draw_testing::BackPixel(200 + x, y), x == 1 ? 0u : static_cast<std::uint32_t>(1 + x + 8)) << x << "," << y;
        }
    }
}

TEST_P(Mirror, SmearAndFlipRefuseObjectsWithoutSurface)
{
    RandomBack();
    Picture before = Back();
    for (ObjectId bad : {-1, 1024, 700})
    {
        EXPECT_EQ(voDraw::PutFlip(0, 0, 1, bad, 0, 0, 10, 10), 0);
        EXPECT_EQ(voDraw::PutSmear(0, 0, 1, 3, bad, 0, 0, 10, 10), 0);
        voDraw::PutScanlines(0, 0, 2, bad, 0, 0, 10, 10);
        voDraw::PutJitter(0, 0, 2, bad, 0, 0, 10, 10);
        voDraw::PutDrum(0, 0, 0, 5.0f, bad, 0, 0, 10, 10);
    }
    ExpectSamePicture(Back(), before);
}

TEST_P(Mirror, ScanlinesDrawEveryStepthRowOrRandomGaps)
{
    ObjectId id = RandomObject(40, 30);
    clipRect = Rect{0, 0, 640, 200};
    struct Case
    {
        int x, y, step;
        Rect source;
    };
    const Case cases[] = {
        {10, 20, 2, {0, 0, 40, 10}},  {10, 20, 3, {5, 4, 35, 30}},  {10, 190, 1, {0, 0, 40, 30}},
        {10, 20, 40, {0, 0, 40, 30}}, {10, 20, -1, {0, 0, 40, 30}}, {10, 20, -4, {2, 3, 40, 29}},
        {10, 20, -7, {0, -5, 40, 90}}, {10, 20, 0, {0, 0, 40, 30}},
        {10, 20, -2147483647 - 1, {0, 0, 40, 30}},
    };
    for (const Case& c : cases)
    {
        SeedRandom(777);
        Generator generator{777};
        RandomBack();
        Picture expected = Back();
        voDraw::PutScanlines(c.x, c.y, c.step, id, c.source.left, c.source.top, c.source.right,
                             c.source.bottom);
        // The rectangle cut to the object first, the destination moving with it.
        int top = std::max(c.source.top, 0);
        int y = c.y + (top - c.source.top);
        int bottom = std::min<int>(c.source.bottom, objectTable[id].height);
        auto row = [&](long long r)
        {
            expected = PutRow(expected, id, c.x, static_cast<int>(y + r - top), c.source.left,
                              static_cast<int>(r), c.source.right, true);
        };
        if (c.step > 0)
        {
            for (long long r = top + c.step; r < bottom; r += c.step)
            {
                row(r);
            }
        }
        else if (c.step < 0)
        {
            long long range = -static_cast<long long>(c.step);
            for (long long r = top + 1 + generator.Next() % range; r < bottom;
                 r += 1 + generator.Next() % range)
            {
                row(r);
            }
        }
        ExpectSamePicture(Back(), expected, "step " + std::to_string(c.step));
        EXPECT_EQ(Random(), generator.Next()) << "random draws used, step " << c.step;
    }
    // Step 2 on rows 0..9: rows 2, 4, 6, 8 at y + 2 .. y + 8, row 0 not drawn.
    ObjectId rows = MakeObject(4, 10, [](int, int y) { return static_cast<std::uint16_t>(100 + y); });
    FillBack(0);
    voDraw::PutScanlines(50, 60, 2, rows, 0, 0, 4, 10);
    for (int r = 0; r < 12; ++r)
    {
        bool drawn = r >= 2 && r <= 8 && r % 2 == 0;
        EXPECT_EQ(draw_testing::BackPixel(51, 60 + r), drawn ? static_cast<std::uint32_t>(100 + r) : 0u) << r;
    }
}

TEST_P(Mirror, JitterShiftsEachRowWithinMinusAmplitudeToAmplitudeMinusOne)
{
    // A one-pixel column: each row's pixel shows where its row went.
    ObjectId id = MakeObject(1, 400, [](int, int y) { return static_cast<std::uint16_t>(1 + y); });
    for (int amplitude : {1, 3, 8})
    {
        FillBack(0);
        SeedRandom(99);
        Generator generator{99};
        voDraw::PutJitter(100, 20, amplitude, id, 0, 0, 1, 400);
        int lowest = 1000, highest = -1000;
        for (int r = 0; r < 400 && 20 + r < 480; ++r)
        {
            int offset = generator.Next() % (2 * amplitude) - amplitude;
            int found = -1000;
            for (int x = 100 - amplitude - 2; x <= 100 + amplitude + 2; ++x)
            {
                if (draw_testing::BackPixel(x, 20 + r) == static_cast<std::uint32_t>(1 + r))
                {
                    found = x - 100;
                }
            }
            ASSERT_EQ(found, offset) << "row " << r;
            lowest = std::min(lowest, found);
            highest = std::max(highest, found);
        }
        EXPECT_EQ(lowest, -amplitude);
        EXPECT_EQ(highest, amplitude - 1);
    }
    // Amplitude below 1: one keyed put of the whole rectangle.
    ObjectId block = RandomObject(20, 10);
    for (int amplitude : {0, -5})
    {
        RandomBack();
        Picture before = Back();
        voDraw::PutJitter(30, 40, amplitude, block, 0, 0, 20, 10);
        ExpectSamePicture(Back(),
                          ReferenceBlit(before, Object(block), 30, 40, Rect{0, 0, 20, 10},
                                        Visible(),
                                        [](std::uint16_t s, std::uint16_t, int, int) { return s; }));
    }
    // The largest amplitude keeps its range positive.
    RandomBack();
    voDraw::PutJitter(30, 40, 2147483647, block, 0, 0, 20, 10);
}

TEST_P(Mirror, DrumProjectsRowsAndAdvancesItsSharedPhaseOnTheFrameClock)
{
    ObjectId id = RandomObject(24, 31);
    auto reference = [&](const Picture& back, int x, int y, float phase, int h)
    {
        Picture out = back;
        int half = h / 2;
        long long previous = 0;
        for (int i = 0; i < h; ++i)
        {
            double angle = (i + static_cast<double>(phase)) * (2 * kPi) / (h - 1);
            long long end = static_cast<long long>(std::trunc(std::cos(angle) * half + half));
            for (long long k = previous; k <= end; ++k)
            {
                out = PutRow(out, id, x, static_cast<int>(y + k), 0, i, 24, false);
            }
            previous = end + 1;
        }
        return out;
    };
    // Speed 0: the same picture every frame, the phase untouched.
    draw_testing::PassTime(100);
    for (int frame = 0; frame < 2; ++frame)
    {
        RandomBack();
        Picture before = Back();
        voDraw::PutDrum(40, 30, 0, 0.0f, id, 0, 0, 24, 31);
        ExpectSamePicture(Back(), reference(before, 40, 30, 0.0f, 31), "speed 0");
        EXPECT_EQ(drumPhase, 0.0f);
    }
    // Backward past 0 and forward past h, each wrapping once by h.
    struct Step
    {
        int reverse;
        float speed;
        std::uint32_t ms;
        float phase;
    };
    const Step steps[] = {{0, 12.5f, 100, 0.75f}, {0, 3.0f, 250, 10.0f}, {1, 40.0f, 100, 29.5f},
                          {1, 2.0f, 50, 3.25f},   {0, -20.0f, 100, 30.0f},
                          {1, 20.0f, 50, 30.0f},  {0, 20.0f, 50, 1.0f}}; // landing on h and 0
    for (const Step& s : steps)
    {
        drumPhase = s.phase;
        draw_testing::PassTime(s.ms);
        float expected = s.phase;
        float change = frameSeconds * s.speed;
        if (s.reverse == 0)
        {
            expected -= change;
            if (expected < 0.0f)
            {
                expected += 31.0f;
            }
        }
        else
        {
            expected += change;
            if (expected >= 31.0f)
            {
                expected -= 31.0f;
            }
        }
        RandomBack();
        Picture before = Back();
        voDraw::PutDrum(40, 30, s.reverse, s.speed, id, 0, 0, 24, 31);
        ExpectSamePicture(Back(), reference(before, 40, 30, s.phase, 31), "drum");
        EXPECT_EQ(drumPhase, expected) << s.phase;
    }
    // Fewer than 2 rows: nothing drawn, the phase kept; an endless step leaves it too.
    drumPhase = 4.0f;
    RandomBack();
    Picture before = Back();
    voDraw::PutDrum(40, 30, 0, 5.0f, id, 0, 3, 24, 4);
    const int lastRow = objectTable[id].height - 1;
    voDraw::PutDrum(40, 30, 0, 5.0f, id, 0, lastRow, 24, lastRow + 30); // one row after the cut
    ExpectSamePicture(Back(), before, "one row");
    EXPECT_EQ(drumPhase, 4.0f);
    voDraw::PutDrum(40, 30, 1, std::numeric_limits<float>::infinity(), id, 0, 0, 24, 31);
    EXPECT_EQ(drumPhase, 4.0f);
}
