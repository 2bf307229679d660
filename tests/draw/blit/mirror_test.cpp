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

std::uint16_t Same(std::uint16_t s, std::uint16_t, int, int)
{
    return s;
}

// The back buffer after PutFlip: position (m, n) of the rectangle as cut to the object, placed
// before clipping, shows the mode's mirrored source pixel, keyed, where it lies inside clip.
Picture FlipReference(const Picture& back, const Picture& object, int x, int y, int mode,
                      const Rect& s, const Rect& clip)
{
    Picture out = back;
    int l = std::max(s.left, 0), t = std::max(s.top, 0);
    int r = std::min(s.right, object.width), b = std::min(s.bottom, object.height);
    for (int n = 0; n < b - t && mode >= 0 && mode <= 3; ++n)
    {
        for (int m = 0; m < r - l; ++m)
        {
            long long dx = x + (l - s.left) + m, dy = y + (t - s.top) + n;
            std::uint16_t p =
                object.At((mode & 1) != 0 ? r - 1 - m : l + m, (mode & 2) != 0 ? b - 1 - n : t + n);
            if (p != 0 && dx >= clip.left && dx < clip.right && dy >= clip.top && dy < clip.bottom)
            {
                out.pixels[static_cast<std::size_t>(dy * out.width + dx)] = p;
            }
        }
    }
    return out;
}

// The back buffer after PutSmear. Modes 0 and 2 smear the source up to position across the
// rectangle stretched to the screen's right or bottom edge (no object edge ends it); modes 1
// and 3 smear from position back and fill, unkeyed and past the clip, to the left or top edge.
Picture SmearReference(const Picture& back, const Picture& object, int x, int y, int mode,
                       int position, Rect s, const Rect& clip)
{
    Picture out = back;
    s.right = mode == 0 ? 640 - s.left : s.right;
    s.bottom = mode == 2 ? 480 - s.top : s.bottom;
    blit_testing::ClippedRect c = blit_testing::ClipByHand(
        x, y, s.left, s.top, s.right, s.bottom, mode == 0 ? 1 << 29 : object.width,
        mode == 2 ? 1 << 29 : object.height, clip);
    // How many columns (rows) position may pick from: the readable ones for modes 0 and 2.
    int count = mode == 0   ? std::min(c.width, object.width - c.srcLeft)
                : mode == 2 ? std::min(c.height, object.height - c.srcTop)
                : mode == 1 ? c.width
                            : c.height;
    if (!c.drawn || mode < 0 || mode > 3 || count <= 0)
    {
        return out;
    }
    int at = static_cast<int>(std::min<std::uint32_t>(static_cast<std::uint32_t>(position),
                                                      static_cast<std::uint32_t>(count - 1)));
    for (int r = mode == 3 ? -c.y : 0; r < c.height; ++r)
    {
        for (int col = mode == 1 ? -c.x : 0; col < c.width; ++col)
        {
            int sx = mode == 0 ? std::min(col, at) : mode == 1 ? std::max(col, at) : col;
            int sy = mode == 2 ? std::min(r, at) : mode == 3 ? std::max(r, at) : r;
            std::uint16_t p = object.At(c.srcLeft + sx, c.srcTop + sy);
            if (p != 0 || r < 0 || col < 0)
            {
                out.pixels[static_cast<std::size_t>((c.y + r) * out.width + c.x + col)] = p;
            }
        }
    }
    return out;
}

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
                             Same, keyed);
    }
};

BLIT_TEST_LAYOUTS(Mirror);

} // namespace

TEST_P(Mirror, FlipAndSmearFollowEachModeWhicheverEdgesAreClipped)
{
    ObjectId id = RandomObject(33, 21);
    // Whole and part sources inside the clip, over each of its edges and corners, over the
    // screen's corners, reaching out of the object, empty, wholly outside.
    // clang-format off
    const struct { int x, y, position; Rect source; } cases[] = {
        {150, 100, 0, {0, 0, 33, 21}}, {150, 100, 19, {3, 2, 30, 17}}, {98, 100, 7, {3, 2, 30, 17}},
        {280, 100, 32, {3, 2, 30, 17}}, {150, 45, 100, {3, 2, 30, 17}}, {150, 190, -1, {3, 2, 30, 17}},
        {90, 40, 4, {0, 0, 33, 21}}, {285, 190, 4, {0, 0, 33, 21}}, {150, 100, 5, {-4, -3, 40, 30}},
        {-10, -7, 3, {0, 0, 33, 21}}, {620, 470, 3, {0, 0, 33, 21}}, {150, 100, 2, {5, 5, 5, 9}},
        {700, 100, 5, {0, 0, 33, 21}}, {150, 100, 5, {40, 0, 50, 20}}, {0, 0, 3, {0, 0, 33, 21}}};
    // clang-format on
    RandomBack();
    for (BlitPath path : {BlitPath::Baseline, BlitPath::Avx2})
    {
        for (int mode = -1; mode <= 4 && SetBlitPath(path); ++mode)
        {
            for (const Rect& clip : {Rect{100, 50, 300, 200}, Rect{0, 0, 640, 480}})
            {
                clipRect = clip;
                for (const auto& c : cases)
                {
                    // Each call draws over what the previous ones left (the fills cover much).
                    const Rect& s = c.source;
                    std::string what = "mode " + std::to_string(mode) + " at " +
                                       std::to_string(c.x) + "," + std::to_string(c.y);
                    Picture before = Back();
                    EXPECT_EQ(voDraw::PutFlip(c.x, c.y, mode, id, s.left, s.top, s.right, s.bottom),
                              1);
                    ExpectSamePicture(
                        Back(), FlipReference(before, Object(id), c.x, c.y, mode, s, Visible()),
                        "flip " + what);
                    before = Back();
                    EXPECT_EQ(voDraw::PutSmear(c.x, c.y, mode, c.position, id, s.left, s.top,
                                               s.right, s.bottom),
                              1);
                    ExpectSamePicture(Back(),
                                      SmearReference(before, Object(id), c.x, c.y, mode, c.position,
                                                     s, Visible()),
                                      "smear " + what);
                }
            }
        }
    }
}

TEST_P(Mirror, EveryMemberRefusesObjectsWithoutSurface)
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
    // clang-format off
    const struct { int x, y, step; Rect source; } cases[] = {
        {10, 20, 2, {0, 0, 40, 10}}, {10, 20, 3, {5, 4, 35, 30}}, {10, 190, 1, {0, 0, 40, 30}},
        {10, 20, 40, {0, 0, 40, 30}}, {10, 20, -1, {0, 0, 40, 30}}, {10, 20, -4, {2, 3, 40, 29}},
        {10, 20, -7, {0, -5, 40, 90}}, {10, 20, 0, {0, 0, 40, 30}},
        {10, 20, INT32_MIN, {0, 0, 40, 30}}};
    // clang-format on
    for (const auto& c : cases)
    {
        SeedRandom(777);
        Generator generator{777};
        RandomBack();
        Picture expected = Back();
        voDraw::PutScanlines(c.x, c.y, c.step, id, c.source.left, c.source.top, c.source.right,
                             c.source.bottom);
        // The rectangle cut to the object first, the destination moving with it; the first
        // row is never drawn.
        int top = std::max(c.source.top, 0);
        int bottom = std::min<int>(c.source.bottom, objectTable[id].height);
        long long range = -static_cast<long long>(c.step);
        for (long long r = top + (c.step >= 0 ? c.step : 1 + generator.Next() % range);
             c.step != 0 && r<bottom; r += c.step> 0 ? c.step : 1 + generator.Next() % range)
        {
            expected = PutRow(expected, id, c.x, static_cast<int>(c.y - c.source.top + r),
                              c.source.left, static_cast<int>(r), c.source.right, true);
        }
        ExpectSamePicture(Back(), expected, "step " + std::to_string(c.step));
        EXPECT_EQ(Random(), generator.Next()) << "random draws used, step " << c.step;
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
            ASSERT_EQ(draw_testing::BackPixel(100 + offset, 20 + r), 1u + r) << "row " << r;
            lowest = std::min(lowest, offset);
            highest = std::max(highest, offset);
        }
        EXPECT_EQ(lowest, -amplitude);
        EXPECT_EQ(highest, amplitude - 1);
    }
    // Amplitude below 1: one keyed put of the whole rectangle; the largest keeps its range.
    ObjectId block = RandomObject(20, 10);
    for (int amplitude : {0, -5, INT32_MAX})
    {
        RandomBack();
        Picture before = Back();
        voDraw::PutJitter(30, 40, amplitude, block, 0, 0, 20, 10);
        if (amplitude < 1)
        {
            ExpectSamePicture(Back(), ReferenceBlit(before, Object(block), 30, 40,
                                                    Rect{0, 0, 20, 10}, Visible(), Same));
        }
    }
}

TEST_P(Mirror, DrumProjectsRowsAndAdvancesItsSharedPhaseOnTheFrameClock)
{
    ObjectId id = RandomObject(24, 31);
    // Speed 0 keeps the phase; backward past 0 and forward past h each wrap once by h, landing
    // on h and on 0 included.
    // clang-format off
    const struct { int reverse; float speed; std::uint32_t ms; float phase; } steps[] = {
        {0, 0.0f, 100, 0.0f}, {0, 0.0f, 100, 0.0f}, {0, 12.5f, 100, 0.75f}, {0, 3.0f, 250, 10.0f},
        {1, 40.0f, 100, 29.5f}, {1, 2.0f, 50, 3.25f}, {0, -20.0f, 100, 30.0f},
        {1, 20.0f, 50, 30.0f}, {0, 20.0f, 50, 1.0f}};
    // clang-format on
    for (const auto& s : steps)
    {
        drumPhase = s.phase;
        draw_testing::PassTime(s.ms);
        float change = frameSeconds * s.speed;
        float expected = s.reverse == 0 ? s.phase - change : s.phase + change;
        expected += s.reverse == 0 && expected < 0.0f ? 31.0f : 0.0f;
        expected -= s.reverse != 0 && expected >= 31.0f ? 31.0f : 0.0f;
        RandomBack();
        Picture picture = Back();
        voDraw::PutDrum(40, 30, s.reverse, s.speed, id, 0, 0, 24, 31);
        // Row i ends at trunc(cos((i + phase) * 2 pi / (h - 1)) * half + half), in double.
        long long previous = 0;
        for (int i = 0; i < 31; ++i)
        {
            double angle = (i + static_cast<double>(s.phase)) * (2 * 3.14159265358979323846) / 30;
            long long end = static_cast<long long>(std::trunc(std::cos(angle) * 15 + 15));
            for (long long k = previous; k <= end; ++k)
            {
                picture = PutRow(picture, id, 40, static_cast<int>(30 + k), 0, i, 24, false);
            }
            previous = end + 1;
        }
        ExpectSamePicture(Back(), picture, "drum at phase " + std::to_string(s.phase));
        EXPECT_EQ(drumPhase, expected) << s.phase;
    }
    // Fewer than 2 rows (also after the cut to the object) draw nothing and keep the phase; an
    // endless step keeps it too.
    drumPhase = 4.0f;
    RandomBack();
    Picture before = Back();
    voDraw::PutDrum(40, 30, 0, 5.0f, id, 0, 3, 24, 4);
    voDraw::PutDrum(40, 30, 0, 5.0f, id, 0, 31, 24, 60);
    ExpectSamePicture(Back(), before, "one row");
    EXPECT_EQ(drumPhase, 4.0f);
    voDraw::PutDrum(40, 30, 1, std::numeric_limits<float>::infinity(), id, 0, 0, 24, 31);
    EXPECT_EQ(drumPhase, 4.0f);
}
