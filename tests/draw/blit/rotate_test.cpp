// Rotated, tiled, magnified and perspective puts: every member against a plain per-pixel
// reference of the fixed-point mapping, the visible window, orientation, and the refusals.
#include <cmath>
#include <limits>
#include <string>

#include "draw/blit/blit.h"
#include "draw/blit/blit_internal.h"
#include "tests/draw/blit/blit_support.h"

using blit_testing::ExpectSamePicture;
using draw_testing::Picture;

namespace
{

enum class Member
{
    Plain,
    Tiled,
    Zoom,
    ZoomTiled,
    Perspective,
};

struct RotateCall
{
    Member member;
    int left, top, right, bottom, angle;
    Rect source;
    float zoom = 1.0f;
    float zoomX = 1.0f, zoomXStep = 0.0f, zoomY = 1.0f, zoomYStep = 0.0f;
    float tintRed = 1.0f, tintGreen = 1.0f, tintBlue = 1.0f;
};

std::string Describe(const RotateCall& c)
{
    return "member " + std::to_string(static_cast<int>(c.member)) + " rect " +
           std::to_string(c.left) + "," + std::to_string(c.top) + "," + std::to_string(c.right) +
           "," + std::to_string(c.bottom) + " angle " + std::to_string(c.angle) + " zoom " +
           std::to_string(c.zoom);
}

int Call(ObjectId id, const RotateCall& c)
{
    const Rect& s = c.source;
    switch (c.member)
    {
    case Member::Plain:
        return voDraw::PutRotate(c.left, c.top, c.right, c.bottom, c.angle, id, s.left, s.top,
                                 s.right, s.bottom);
    case Member::Tiled:
        return voDraw::PutRotateTiled(c.left, c.top, c.right, c.bottom, c.angle, id, s.left,
                                      s.top, s.right, s.bottom);
    case Member::Zoom:
        return voDraw::PutRotateZoom(c.left, c.top, c.right, c.bottom, c.angle, c.zoom, id,
                                     s.left, s.top, s.right, s.bottom);
    case Member::ZoomTiled:
        return voDraw::PutRotateZoomTiled(c.left, c.top, c.right, c.bottom, c.angle, c.zoom, id,
                                          s.left, s.top, s.right, s.bottom);
    case Member::Perspective:
        return voDraw::PutPerspective(c.left, c.top, c.right, c.bottom, c.angle, c.zoomX,
                                      c.zoomXStep, c.zoomY, c.zoomYStep, c.tintRed, c.tintGreen,
                                      c.tintBlue, id, s.left, s.top, s.right, s.bottom);
    }
    return -1;
}

// trunc(n / zoom) in double; false where it has no int value (the pixel is not drawn).
bool Quotient(long long n, float zoom, long long& q)
{
    double d = static_cast<double>(n) / static_cast<double>(zoom);
    if (std::isnan(d) || std::isinf(d) || d >= 2147483648.0 || d <= -2147483648.0)
    {
        return false;
    }
    q = static_cast<long long>(std::trunc(d));
    return true;
}

// The back buffer after the call, one pixel at a time from the definition: u and v recomputed
// for every position from the running sums (uRow -= sin per row, u += cos per column), only
// window positions written. objectWidth and objectHeight bound the source rectangle.
Picture Reference(const Picture& back, const Picture& object, int objectWidth, int objectHeight,
                  const RotateCall& c, const Rect& visible, const blit_testing::Layout& layout)
{
    Picture out = back;
    long long l = std::max(c.source.left, 0);
    long long t = std::max(c.source.top, 0);
    long long sw = std::min(c.source.right, objectWidth) - l;
    long long sh = std::min(c.source.bottom, objectHeight) - t;
    if (sw <= 0 || sh <= 0)
    {
        return out;
    }
    long long w = static_cast<long long>(c.right) - c.left;
    long long h = static_cast<long long>(c.bottom) - c.top;
    long long cl = 0, cr = w, ct = 0, cb = h;
    if (c.left + cr > visible.right)
    {
        cr = visible.right - static_cast<long long>(c.left);
    }
    if (c.top + cb > visible.bottom)
    {
        cb = visible.bottom - static_cast<long long>(c.top);
    }
    if (c.left < visible.left)
    {
        cl = visible.left - static_cast<long long>(c.left);
    }
    if (c.top < visible.top)
    {
        ct = visible.top - static_cast<long long>(c.top);
    }
    if (cl > cr || ct > cb)
    {
        return out;
    }
    int angle = ((c.angle % 360) + 360) % 360;
    long long sinA = sineTable[angle];
    long long cosA = sineTable[angle + 90];
    long long hw = w >> 1, hh = h >> 1;
    long long ox = (w - sw) >> 1, oy = (h - sh) >> 1;
    long long uRow = hw * 360 - hw * cosA + hh * sinA;
    long long vRow = hh * 360 - hw * sinA - hh * cosA;
    float zx = c.zoomX, zy = c.zoomY;
    // Only the perspective member needs the rows above the window (its zoom steps per row).
    for (long long j = c.member == Member::Perspective ? 0 : ct; j < cb; ++j)
    {
        float rowZx = zx, rowZy = zy;
        zx += c.zoomXStep;
        zy += c.zoomYStep;
        if (j < ct)
        {
            continue;
        }
        for (long long i = cl; i < cr; ++i)
        {
            long long u = uRow - j * sinA + i * cosA;
            long long v = vRow + j * cosA + i * sinA;
            long long nx = u / 360 - ox, ny = v / 360 - oy;
            long long sx = nx, sy = ny;
            bool tiled = c.member == Member::Tiled || c.member == Member::ZoomTiled ||
                         c.member == Member::Perspective;
            if (c.member == Member::Zoom || c.member == Member::ZoomTiled)
            {
                if (!Quotient(nx, c.zoom, sx) || !Quotient(ny, c.zoom, sy))
                {
                    continue;
                }
            }
            if (c.member == Member::Perspective)
            {
                if (!Quotient(nx, rowZx, sx) || !Quotient(ny, rowZy, sy))
                {
                    continue;
                }
            }
            if (tiled)
            {
                sx = std::llabs(sx) % sw;
                sy = std::llabs(sy) % sh;
            }
            else if (sx < 0 || sx >= sw || sy < 0 || sy >= sh)
            {
                continue;
            }
            std::uint16_t p = object.At(static_cast<int>(l + sx), static_cast<int>(t + sy));
            if (p == 0)
            {
                continue;
            }
            if (c.member == Member::Perspective)
            {
                blit_testing::Channels f = layout.Five(p);
                p = layout.Join5(static_cast<int>(f.red * static_cast<double>(c.tintRed)),
                                 static_cast<int>(f.green * static_cast<double>(c.tintGreen)),
                                 static_cast<int>(f.blue * static_cast<double>(c.tintBlue)));
            }
            out.pixels[static_cast<std::size_t>((c.top + j) * out.width + c.left + i)] = p;
        }
    }
    return out;
}

class Rotation : public blit_testing::BlitTest
{
  protected:
    // Runs the call on each instruction path, over what earlier calls left on a random back
    // buffer, and compares with the reference.
    void Check(ObjectId id, const RotateCall& c)
    {
        if (!randomised)
        {
            RandomBack();
            randomised = true;
        }
        for (BlitPath path : {BlitPath::Baseline, BlitPath::Avx2})
        {
            if (!SetBlitPath(path))
            {
                continue;
            }
            Picture before = Back();
            EXPECT_EQ(Call(id, c), 1) << Describe(c);
            Rect visible{std::max(clipRect.left, 0), std::max(clipRect.top, 0),
                         std::min(clipRect.right, 640), std::min(clipRect.bottom, 480)};
            ExpectSamePicture(Back(),
                              Reference(before, Object(id), objectTable[id].width,
                                        objectTable[id].height, c, visible, layout),
                              Describe(c) + (path == BlitPath::Avx2 ? " avx2" : " baseline"));
        }
    }
    bool randomised = false;
};

BLIT_TEST_LAYOUTS(Rotation);

} // namespace

TEST_P(Rotation, EveryMemberFollowsTheFixedPointMappingOnRandomFrames)
{
    ObjectId id = RandomObject(37, 24);
    const Rect whole{0, 0, 37, 24};
    const Rect part{5, 3, 30, 20};
    const int angles[] = {0, 1, 30, 89, 90, 137, 180, 270, 359, -30, 725};
    const Member members[] = {Member::Plain, Member::Tiled, Member::Zoom, Member::ZoomTiled,
                              Member::Perspective};
    const float zooms[] = {1.0f, 2.0f, 0.5f, 1.7f, -1.5f, 3.3f};
    int n = 0;
    for (Member m : members)
    {
        for (int angle : angles)
        {
            // Rectangles of odd and even sizes, larger and smaller than the source (the
            // centring offsets then are negative, odd ones rounding down).
            int width = n % 3 == 2 ? 20 + n % 2 : 41 + n % 3;
            int height = n % 4 == 3 ? 15 + n % 2 : 60 - n % 4;
            RotateCall c{m, 100 + n % 7, 80 + n % 5, 100 + n % 7 + width, 80 + n % 5 + height,
                         angle, (n % 2) != 0 ? whole : part};
            c.zoom = zooms[n % 6];
            c.zoomX = zooms[(n + 1) % 6];
            c.zoomY = zooms[(n + 2) % 6];
            c.zoomXStep = 0.0625f * static_cast<float>(n % 3) - 0.03f;
            c.zoomYStep = 0.1f;
            c.tintRed = 0.5f;
            c.tintGreen = 1.0f;
            c.tintBlue = 0.3f;
            Check(id, c);
            ++n;
        }
    }
}

TEST_P(Rotation, TheWindowClipsAtEachEdgeAndAWhollyClippedRectangleLocksNothing)
{
    ObjectId id = RandomObject(20, 16);
    clipRect = Rect{100, 60, 300, 200};
    const Rect source{0, 0, 20, 16};
    const Rect rects[] = {
        {90, 100, 130, 140},  // over the left edge
        {270, 100, 310, 140}, // over the right edge
        {150, 50, 190, 90},   // over the top edge
        {150, 180, 190, 220}, // over the bottom edge
        {60, 30, 340, 230},   // over all four
        {100, 60, 300, 200},  // exactly the clip
    };
    for (Member m : {Member::Plain, Member::Tiled, Member::Perspective})
    {
        for (const Rect& r : rects)
        {
            RotateCall c{m, r.left, r.top, r.right, r.bottom, 40, source};
            c.zoomX = 0.8f;
            c.zoomY = 1.2f;
            Check(id, c);
        }
    }
    // Wholly outside on each side, and a rectangle turned inside out: 1, nothing drawn and
    // no lock taken (the back buffer is held meanwhile).
    const Rect outside[] = {
        {30, 100, 90, 140},  {310, 100, 350, 140}, {150, 10, 190, 50},
        {150, 210, 190, 250}, {200, 150, 150, 100},
    };
    platform::PixelBuffer held;
    ASSERT_EQ(platform::LockSurface(BackBuffer(), held), platform::SurfaceResult::Ok);
    for (const Rect& r : outside)
    {
        for (Member m : {Member::Plain, Member::Tiled, Member::Zoom, Member::ZoomTiled,
                         Member::Perspective})
        {
            EXPECT_EQ(Call(id, RotateCall{m, r.left, r.top, r.right, r.bottom, 30, source}), 1)
                << r.left << "," << r.top;
        }
    }
    // A window of width or height 0 (touching an edge) still locks, so the held back buffer
    // makes it fail, as it does a call with something to draw.
    EXPECT_EQ(voDraw::PutRotate(40, 100, 100, 140, 30, id, 0, 0, 20, 16), 0);
    EXPECT_EQ(voDraw::PutRotate(150, 200, 190, 240, 30, id, 0, 0, 20, 16), 0);
    EXPECT_EQ(voDraw::PutRotate(150, 100, 190, 140, 30, id, 0, 0, 20, 16), 0);
    platform::UnlockSurface(BackBuffer());
}

TEST_P(Rotation, AngleZeroCopiesTheSourceCentredInTheRectangle)
{
    ObjectId id = RandomObject(10, 10, 20);
    Picture source = Object(id);
    for (int size : {10, 30})
    {
        FillBack(0x1234);
        ASSERT_EQ(voDraw::PutRotate(50, 40, 50 + size, 40 + size, 0, id, 0, 0, 10, 10), 1);
        int offset = (size - 10) / 2; // 0, and (10, 10) for 30 x 30
        for (int j = -2; j < size + 2; ++j)
        {
            for (int i = -2; i < size + 2; ++i)
            {
                int sx = i - offset, sy = j - offset;
                bool inside = sx >= 0 && sx < 10 && sy >= 0 && sy < 10;
                std::uint16_t p = inside ? source.At(sx, sy) : 0;
                std::uint32_t expected = p != 0 ? p : 0x1234;
                ASSERT_EQ(draw_testing::BackPixel(50 + i, 40 + j), expected)
                    << size << ": " << i << "," << j;
            }
        }
    }
}

TEST_P(Rotation, QuarterAndHalfTurnsTurnThePictureCounterClockwise)
{
    // 9 x 9 into 9 x 9: at 90 degrees destination (i, j) shows source (8 - j, i), so the
    // source's top row runs up the left side; at 180 it shows (8 - i, 8 - j).
    ObjectId id = MakeObject(9, 9, [](int x, int y) { return static_cast<std::uint16_t>(1 + x + 16 * y); });
    for (int angle : {90, 180, 270})
    {
        FillBack(0);
        ASSERT_EQ(voDraw::PutRotate(20, 30, 29, 39, angle, id, 0, 0, 9, 9), 1);
        for (int j = 0; j < 9; ++j)
        {
            for (int i = 0; i < 9; ++i)
            {
                int sx = angle == 90 ? 8 - j : angle == 180 ? 8 - i : j;
                int sy = angle == 90 ? i : angle == 180 ? 8 - j : 8 - i;
                ASSERT_EQ(draw_testing::BackPixel(20 + i, 30 + j),
                          static_cast<std::uint32_t>(1 + sx + 16 * sy))
                    << angle << ": " << i << "," << j;
            }
        }
    }
}

TEST_P(Rotation, TiledMembersFillFarOutsideMirroredAboutThePlacedCorner)
{
    ObjectId id = MakeObject(10, 8, [](int x, int y) { return static_cast<std::uint16_t>(1 + x + 16 * y); });
    clipRect = Rect{0, 0, 640, 480};
    FillBack(0);
    // 10 x 8 centred in 300 x 200: the placed corner is at rectangle offset (145, 96).
    ASSERT_EQ(voDraw::PutRotateTiled(0, 0, 300, 200, 0, id, 0, 0, 10, 8), 1);
    for (int j = 0; j < 200; j += 7)
    {
        for (int i = 0; i < 300; i += 3)
        {
            int sx = std::abs(i - 145) % 10;
            int sy = std::abs(j - 96) % 8;
            ASSERT_EQ(draw_testing::BackPixel(i, j), static_cast<std::uint32_t>(1 + sx + 16 * sy))
                << i << "," << j;
        }
    }
    // Mirrored, not continued: the column before the corner repeats column 1.
    EXPECT_EQ(draw_testing::BackPixel(144, 96), 2u);
    EXPECT_EQ(draw_testing::BackPixel(146, 96), 2u);
    EXPECT_EQ(draw_testing::BackPixel(299, 199), static_cast<std::uint32_t>(1 + (154 % 10) + 16 * (103 % 8)));
    // The magnified one as well, far outside the magnified source.
    FillBack(0);
    ASSERT_EQ(voDraw::PutRotateZoomTiled(0, 0, 300, 200, 0, 2.0f, id, 0, 0, 10, 8), 1);
    for (int i : {0, 100, 143, 144, 145, 146, 147, 299})
    {
        int sx = std::abs(static_cast<int>((i - 145) / 2.0)) % 10;
        EXPECT_EQ(draw_testing::BackPixel(i, 96), static_cast<std::uint32_t>(1 + sx)) << i;
    }
}

TEST_P(Rotation, ZoomTwoShowsColumnAndRowZeroJustBeforeTheOffset)
{
    ObjectId id = MakeObject(10, 10, [](int x, int y) { return static_cast<std::uint16_t>(1 + x + 16 * y); });
    FillBack(0);
    // 10 x 10 in 40 x 40: offset 15; positions 14 to 16 show index 0 (-0.5 truncates to 0),
    // 34 shows 9, 35 and past show nothing.
    ASSERT_EQ(voDraw::PutRotateZoom(100, 100, 140, 140, 0, 2.0f, id, 0, 0, 10, 10), 1);
    for (int j = 0; j < 40; ++j)
    {
        for (int i = 0; i < 40; ++i)
        {
            bool inside = i >= 14 && i < 35 && j >= 14 && j < 35;
            int sx = i < 15 ? 0 : (i - 15) / 2;
            int sy = j < 15 ? 0 : (j - 15) / 2;
            std::uint32_t expected = inside ? static_cast<std::uint32_t>(1 + sx + 16 * sy) : 0;
            ASSERT_EQ(draw_testing::BackPixel(100 + i, 100 + j), expected) << i << "," << j;
        }
    }
}

TEST_P(Rotation, PerspectiveStepsItsMagnificationEveryRowAndTintsFiveBitChannels)
{
    // Row j of the rectangle is magnified by 1 + j / 2 across; the tint halves red, keeps
    // green and drops blue.
    ObjectId id = RandomObject(16, 16, 0);
    Picture source = Object(id);
    FillBack(0);
    ASSERT_EQ(voDraw::PutPerspective(0, 0, 16, 16, 0, 1.0f, 0.5f, 1.0f, 0.0f, 0.5f, 1.0f, 0.0f,
                                     id, 0, 0, 16, 16),
              1);
    for (int j = 0; j < 16; ++j)
    {
        double zoom = 1.0 + j * 0.5;
        for (int i = 0; i < 16; ++i)
        {
            int sx = static_cast<int>(i / zoom) % 16;
            blit_testing::Channels c = layout.Five(source.At(sx, j));
            std::uint32_t expected = layout.Join5(c.red / 2, c.green, 0);
            ASSERT_EQ(draw_testing::BackPixel(i, j), expected) << i << "," << j;
        }
    }
}

TEST_P(Rotation, RefusalsAndLimitsAreSafe)
{
    ObjectId id = RandomObject(12, 9);
    RandomBack();
    Picture before = Back();
    // Ids outside the table or without a surface.
    for (ObjectId bad : {-1, 1024, 600})
    {
        EXPECT_EQ(voDraw::PutRotate(0, 0, 50, 50, 30, bad, 0, 0, 12, 9), 0);
        EXPECT_EQ(voDraw::PutRotateTiled(0, 0, 50, 50, 30, bad, 0, 0, 12, 9), 0);
        EXPECT_EQ(voDraw::PutRotateZoom(0, 0, 50, 50, 30, 2.0f, bad, 0, 0, 12, 9), 0);
        EXPECT_EQ(voDraw::PutRotateZoomTiled(0, 0, 50, 50, 30, 2.0f, bad, 0, 0, 12, 9), 0);
        EXPECT_EQ(voDraw::PutPerspective(0, 0, 50, 50, 30, 1, 0, 1, 0, 1, 1, 1, bad, 0, 0, 12, 9),
                  0);
    }
    // A zoom of 0, or not a number, draws nothing and reports 1.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float zoom : {0.0f, -0.0f, nan})
    {
        EXPECT_EQ(voDraw::PutRotateZoom(0, 0, 50, 50, 30, zoom, id, 0, 0, 12, 9), 1);
        EXPECT_EQ(voDraw::PutRotateZoomTiled(0, 0, 50, 50, 30, zoom, id, 0, 0, 12, 9), 1);
        EXPECT_EQ(voDraw::PutPerspective(0, 0, 50, 50, 30, zoom, 0, 1, 0, 1, 1, 1, id, 0, 0, 12,
                                         9),
                  1);
        EXPECT_EQ(voDraw::PutPerspective(0, 0, 50, 50, 30, 1, 0, zoom, 0, 1, 1, 1, id, 0, 0, 12,
                                         9),
                  1);
    }
    ExpectSamePicture(Back(), before, "refused calls");
    // Zooms whose quotients run past the int range draw only the pixels that have one;
    // infinite ones, source rectangles reaching outside the object, angles outside 0..359
    // and rectangles far larger than the screen all follow the reference.
    const float inf = std::numeric_limits<float>::infinity();
    const RotateCall calls[] = {
        {Member::ZoomTiled, 0, 0, 60, 50, 30, {0, 0, 12, 9}, 1e-30f},
        {Member::Zoom, 0, 0, 60, 50, 30, {0, 0, 12, 9}, 1e-30f},
        {Member::ZoomTiled, 0, 0, 60, 50, 30, {0, 0, 12, 9}, inf},
        {Member::Zoom, 10, 10, 60, 50, 0, {-5, -3, 40, 40}, 1.0f},
        {Member::Plain, 10, 10, 60, 50, 30, {-5, -3, 40, 40}},
        {Member::Tiled, 10, 10, 60, 50, 45, {12, 0, 20, 9}}, // nothing of the object left
        {Member::Plain, 10, 10, 60, 50, -3590, {0, 0, 12, 9}},
        {Member::Tiled, -2000000000, -1500000000, 2000000000, 1500000000, 33, {0, 0, 12, 9}},
        {Member::Plain, -7000000, -50, 7000000, 100, 180, {0, 0, 12, 9}},
        {Member::ZoomTiled, -3000000, -3000000, 3000200, 3000100, 77, {0, 0, 12, 9}, 0.7f},
    };
    for (const RotateCall& c : calls)
    {
        Check(id, c);
    }
    RotateCall perspective{Member::Perspective, 0, 0, 60, 50, 10, {0, 0, 12, 9}};
    perspective.zoomX = 1e-30f;
    perspective.zoomY = 2.0f;
    perspective.zoomYStep = -0.1f; // passes through 0 on the way
    Check(id, perspective);
}

TEST_P(Rotation, ZoomQuotientsTruncateAsTheDoubleDivisionDoes)
{
    // Quotients that fall just below a whole number (3 / 0.3f is 9.9999996...) must not be
    // rounded up to it, whatever the zoom, its sign and the coordinate.
    ObjectId id = RandomObject(97, 13, 0);
    std::vector<float> zooms;
    for (int k = 1; k <= 40; ++k)
    {
        zooms.push_back(static_cast<float>(k) / 10.0f);
    }
    // 49 times the reciprocal of 49, 24.5 or 6.125 comes out just below the whole quotient.
    for (float z : {1.0f / 3.0f, 2.0f / 3.0f, 7.0f / 3.0f, 0.01f, 0.007f, -0.3f, -1.1f, 1e-6f,
                    49.0f, 24.5f, 6.125f, 3.0625f, -6.125f})
    {
        zooms.push_back(z);
    }
    for (float z : zooms)
    {
        RotateCall c{Member::ZoomTiled, 10, 100, 630, 140, 0, {0, 0, 97, 13}, z};
        Check(id, c);
    }
}
