// Rotated, tiled, magnified and perspective puts against a plain per-pixel reference of the
// fixed-point mapping, hand-worked pictures, the visible window and the refusals.
#include <cmath>
#include <functional>
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
constexpr Member kMembers[] = {Member::Plain, Member::Tiled, Member::Zoom, Member::ZoomTiled,
                               Member::Perspective};

struct RotateCall
{
    Member member;
    int left, top, right, bottom, angle;
    Rect source;
    float zoom = 1.0f;
    float zoomX = 1.0f, zoomXStep = 0.0f, zoomY = 1.0f, zoomYStep = 0.0f;
    float tint[3] = {1.0f, 1.0f, 1.0f};
};

std::string Describe(const RotateCall& c)
{
    return "member " + std::to_string(static_cast<int>(c.member)) + " angle " +
           std::to_string(c.angle) + " zoom " + std::to_string(c.zoom);
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
        return voDraw::PutRotateTiled(c.left, c.top, c.right, c.bottom, c.angle, id, s.left, s.top,
                                      s.right, s.bottom);
    case Member::Zoom:
        return voDraw::PutRotateZoom(c.left, c.top, c.right, c.bottom, c.angle, c.zoom, id, s.left,
                                     s.top, s.right, s.bottom);
    case Member::ZoomTiled:
        return voDraw::PutRotateZoomTiled(c.left, c.top, c.right, c.bottom, c.angle, c.zoom, id,
                                          s.left, s.top, s.right, s.bottom);
    case Member::Perspective:
        return voDraw::PutPerspective(c.left, c.top, c.right, c.bottom, c.angle, c.zoomX,
                                      c.zoomXStep, c.zoomY, c.zoomYStep, c.tint[0], c.tint[1],
                                      c.tint[2], id, s.left, s.top, s.right, s.bottom);
    }
    return -1;
}

// trunc(n / zoom) in double; false where it has no int value (the pixel is not drawn).
bool Quotient(long long n, float zoom, long long& q)
{
    double d = static_cast<double>(n) / static_cast<double>(zoom);
    if (!(std::fabs(d) < 2147483648.0))
    {
        return false;
    }
    q = static_cast<long long>(std::trunc(d));
    return true;
}

// The back buffer after the call, from the definition: u and v from the running sums at every
// window position, the window being the rectangle cut to the visible part of the screen.
Picture Reference(const Picture& back, const Picture& object, const RotateCall& c,
                  const Rect& visible, const blit_testing::Layout& layout)
{
    Picture out = back;
    long long l = std::max(c.source.left, 0), t = std::max(c.source.top, 0);
    long long sw = std::min(c.source.right, object.width) - l;
    long long sh = std::min(c.source.bottom, object.height) - t;
    long long w = static_cast<long long>(c.right) - c.left;
    long long h = static_cast<long long>(c.bottom) - c.top;
    long long cl = std::max(0LL, visible.left - static_cast<long long>(c.left));
    long long ct = std::max(0LL, visible.top - static_cast<long long>(c.top));
    long long cr = std::min(w, visible.right - static_cast<long long>(c.left));
    long long cb = std::min(h, visible.bottom - static_cast<long long>(c.top));
    if (sw <= 0 || sh <= 0)
    {
        return out;
    }
    int angle = ((c.angle % 360) + 360) % 360;
    long long sinA = sineTable[angle], cosA = sineTable[angle + 90];
    long long hw = w >> 1, hh = h >> 1, ox = (w - sw) >> 1, oy = (h - sh) >> 1;
    bool tiled = c.member == Member::Tiled || c.member == Member::ZoomTiled ||
                 c.member == Member::Perspective;
    float zx = c.member == Member::Perspective ? c.zoomX : c.zoom;
    float zy = c.member == Member::Perspective ? c.zoomY : c.zoom;
    for (long long j = 0; j < cb; ++j, zx += c.member == Member::Perspective ? c.zoomXStep : 0,
                   zy += c.member == Member::Perspective ? c.zoomYStep : 0)
    {
        for (long long i = cl; i < cr && j >= ct; ++i)
        {
            long long u = hw * 360 - hw * cosA + hh * sinA - j * sinA + i * cosA;
            long long v = hh * 360 - hw * sinA - hh * cosA + j * cosA + i * sinA;
            long long sx = u / 360 - ox, sy = v / 360 - oy;
            if (c.member != Member::Plain && c.member != Member::Tiled &&
                (!Quotient(sx, zx, sx) || !Quotient(sy, zy, sy)))
            {
                continue;
            }
            if (tiled)
            {
                sx = std::llabs(sx) % sw;
                sy = std::llabs(sy) % sh;
            }
            std::uint16_t p = sx >= 0 && sx < sw && sy >= 0 && sy < sh
                                  ? object.At(static_cast<int>(l + sx), static_cast<int>(t + sy))
                                  : 0;
            if (p != 0 && c.member == Member::Perspective)
            {
                blit_testing::Channels f = layout.Five(p);
                p = layout.Join5(static_cast<int>(f.red * static_cast<double>(c.tint[0])),
                                 static_cast<int>(f.green * static_cast<double>(c.tint[1])),
                                 static_cast<int>(f.blue * static_cast<double>(c.tint[2])));
            }
            if (p != 0)
            {
                out.pixels[static_cast<std::size_t>((c.top + j) * out.width + c.left + i)] = p;
            }
        }
    }
    return out;
}

class Rotation : public blit_testing::BlitTest
{
  protected:
    // Runs the call on each instruction path over a random back buffer against the reference.
    void Check(ObjectId id, const RotateCall& c)
    {
        for (BlitPath path : {BlitPath::Baseline, BlitPath::Avx2})
        {
            if (SetBlitPath(path))
            {
                RandomBack();
                Picture before = Back();
                EXPECT_EQ(Call(id, c), 1) << Describe(c);
                Rect visible{std::max(clipRect.left, 0), std::max(clipRect.top, 0),
                             std::min(clipRect.right, 640), std::min(clipRect.bottom, 480)};
                ExpectSamePicture(Back(), Reference(before, Object(id), c, visible, layout),
                                  Describe(c) + (path == BlitPath::Avx2 ? " avx2" : ""));
            }
        }
    }
};

BLIT_TEST_LAYOUTS(Rotation);

} // namespace

TEST_P(Rotation, EveryMemberFollowsTheFixedPointMappingOnRandomFrames)
{
    ObjectId id = RandomObject(37, 24);
    const float zooms[] = {1.0f, 2.0f, 0.5f, 1.7f, -1.5f, 3.3f};
    int n = 0;
    for (Member m : kMembers)
    {
        for (int angle : {0, 1, 30, 89, 90, 137, 180, 270, 359, -30, 725})
        {
            // Odd and even sizes, larger and smaller than the source (negative offsets).
            int width = n % 3 == 2 ? 20 + n % 2 : 41 + n % 3;
            int height = n % 4 == 3 ? 15 + n % 2 : 60 - n % 4;
            RotateCall c{m,
                         100 + n % 7,
                         80 + n % 5,
                         100 + n % 7 + width,
                         80 + n % 5 + height,
                         angle,
                         n % 2 != 0 ? Rect{0, 0, 37, 24} : Rect{5, 3, 30, 20}};
            c.zoom = zooms[n % 6];
            c.zoomX = zooms[(n + 1) % 6];
            c.zoomY = zooms[(n + 2) % 6];
            c.zoomXStep = 0.0625f * static_cast<float>(n % 3) - 0.03f;
            c.zoomYStep = 0.1f;
            c.tint[2] = 0.3f;
            c.tint[0] = 0.5f;
            Check(id, c);
            ++n;
        }
    }
    // Quotients just below a whole number (3 / 0.3f, 49 / 6.125 by the reciprocal) must not
    // round up to it, whatever the zoom's sign.
    for (float z : {0.3f, 0.7f, 1.1f, 2.3f, 1.0f / 3.0f, 7.0f / 3.0f, 0.007f, -0.3f, -1.1f, 1e-6f,
                    49.0f, 24.5f, 6.125f, 3.0625f, -6.125f})
    {
        Check(id, RotateCall{Member::ZoomTiled, 10, 100, 630, 140, 0, {0, 0, 37, 24}, z});
    }
}

TEST_P(Rotation, HandWorkedPicturesOfEachMember)
{
    // A 9 x 9 source of distinct pixels placed at (20, 30); at(i, j) names the source pixel
    // rectangle position (i, j) shows, outside 0..8 none. Angles turn counter-clockwise.
    ObjectId id = MakeObject(
        9, 9, [](int x, int y) { return static_cast<std::uint16_t>((x * 9 + y + 1) * 397); });
    Picture source = Object(id);
    auto zoomed = [](int n, double zoom) { return static_cast<int>(n / zoom); };
    struct Case
    {
        RotateCall call;
        std::function<std::pair<int, int>(int, int)> at;
    };
    // clang-format off
    const Case cases[] = {
        {{Member::Plain, 20, 30, 29, 39, 0, {0, 0, 9, 9}}, [](int i, int j) { return std::pair(i, j); }},
        {{Member::Plain, 20, 30, 49, 59, 0, {0, 0, 9, 9}}, [](int i, int j) { return std::pair(i - 10, j - 10); }},
        {{Member::Plain, 20, 30, 29, 39, 90, {0, 0, 9, 9}}, [](int i, int j) { return std::pair(8 - j, i); }},
        {{Member::Plain, 20, 30, 29, 39, 180, {0, 0, 9, 9}}, [](int i, int j) { return std::pair(8 - i, 8 - j); }},
        {{Member::Plain, 20, 30, 29, 39, 270, {0, 0, 9, 9}}, [](int i, int j) { return std::pair(j, 8 - i); }},
        // Zoom 2 in 40 x 40: offset 15, and -0.5 truncates to 0, so 14 shows index 0 too.
        {{Member::Zoom, 20, 30, 60, 70, 0, {0, 0, 9, 9}, 2.0f},
         [&](int i, int j) { return std::pair(zoomed(i - 15, 2), zoomed(j - 15, 2)); }},
        // Tiled: mirrored about the placed corner (146, 146), far outside the source.
        {{Member::Tiled, 20, 30, 321, 331, 0, {0, 0, 9, 9}},
         [](int i, int j) { return std::pair(std::abs(i - 146) % 9, std::abs(j - 146) % 9); }},
        {{Member::ZoomTiled, 20, 30, 321, 331, 0, {0, 0, 9, 9}, 2.0f},
         [&](int i, int j) { return std::pair(std::abs(zoomed(i - 146, 2)) % 9, std::abs(zoomed(j - 146, 2)) % 9); }},
        // Perspective: row j magnified 1 + j / 2 across; the tint halves red and drops blue.
        {{Member::Perspective, 20, 30, 36, 46, 0, {0, 0, 9, 9}},
         [&](int i, int j) { return std::pair(std::abs(zoomed(i - 3, 1 + j * 0.5)) % 9, std::abs(j - 3) % 9); }}};
    // clang-format on
    for (Case c : cases)
    {
        c.call.zoomXStep = 0.5f;
        c.call.tint[0] = 0.5f;
        c.call.tint[2] = 0.0f;
        FillBack(0x1234);
        ASSERT_EQ(Call(id, c.call), 1);
        Picture back = Back();
        for (int j = -2; j < c.call.bottom - c.call.top + 2; ++j)
        {
            for (int i = -2; i < c.call.right - c.call.left + 2; ++i)
            {
                bool placed = i >= 0 && j >= 0 && i < c.call.right - c.call.left &&
                              j < c.call.bottom - c.call.top;
                auto [sx, sy] = placed ? c.at(i, j) : std::pair(-1, -1);
                bool inside = sx >= 0 && sx < 9 && sy >= 0 && sy < 9;
                std::uint16_t p = inside ? source.At(sx, sy) : 0x1234;
                if (inside && c.call.member == Member::Perspective)
                {
                    blit_testing::Channels f = layout.Five(p);
                    p = layout.Join5(f.red / 2, f.green, 0);
                }
                ASSERT_EQ(back.At(20 + i, 30 + j), p) << Describe(c.call) << ": " << i << "," << j;
            }
        }
    }
}

TEST_P(Rotation, TheWindowClipsAtEachEdgeAndAWhollyClippedRectangleLocksNothing)
{
    ObjectId id = RandomObject(20, 16);
    clipRect = Rect{100, 60, 300, 200};
    // Over the left, right, top, bottom and all four edges, and exactly the clip.
    for (const Rect& r :
         {Rect{90, 100, 130, 140}, Rect{270, 100, 310, 140}, Rect{150, 50, 190, 90},
          Rect{150, 180, 190, 220}, Rect{60, 30, 340, 230}, Rect{100, 60, 300, 200}})
    {
        for (Member m : {Member::Plain, Member::Tiled, Member::Perspective})
        {
            RotateCall c{m, r.left, r.top, r.right, r.bottom, 40, {0, 0, 20, 16}};
            c.zoomX = 0.8f;
            c.zoomY = 1.2f;
            Check(id, c);
        }
    }
    // Wholly outside on each side, or inside out: 1 without a lock (the back buffer is held).
    platform::PixelBuffer held;
    ASSERT_EQ(platform::LockSurface(BackBuffer(), held), platform::SurfaceResult::Ok);
    for (const Rect& r : {Rect{30, 100, 90, 140}, Rect{310, 100, 350, 140}, Rect{150, 10, 190, 50},
                          Rect{150, 210, 190, 250}, Rect{200, 150, 150, 100}})
    {
        for (Member m : kMembers)
        {
            EXPECT_EQ(Call(id, RotateCall{m, r.left, r.top, r.right, r.bottom, 30, {0, 0, 20, 16}}),
                      1)
                << r.left << "," << r.top;
        }
    }
    // A window of width or height 0 (touching an edge) still locks, and so fails here.
    EXPECT_EQ(voDraw::PutRotate(40, 100, 100, 140, 30, id, 0, 0, 20, 16), 0);
    EXPECT_EQ(voDraw::PutRotate(150, 200, 190, 240, 30, id, 0, 0, 20, 16), 0);
    platform::UnlockSurface(BackBuffer());
}

TEST_P(Rotation, RefusalsAndLimitsAreSafe)
{
    ObjectId id = RandomObject(12, 9);
    RandomBack();
    Picture before = Back();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (Member m : kMembers)
    {
        // Ids outside the table or without a surface: 0.
        for (ObjectId bad : {-1, 1024, 600})
        {
            EXPECT_EQ(Call(bad, RotateCall{m, 0, 0, 50, 50, 30, {0, 0, 12, 9}}), 0);
        }
        // A zoom of 0 or not a number draws nothing and reports 1.
        for (float zoom : {0.0f, -0.0f, nan})
        {
            RotateCall c{m, 0, 0, 50, 50, 30, {0, 0, 12, 9}, zoom, zoom, 0.0f, 1.0f};
            if (m != Member::Plain && m != Member::Tiled)
            {
                EXPECT_EQ(Call(id, c), 1);
                std::swap(c.zoomX, c.zoomY);
                EXPECT_EQ(Call(id, c), 1);
            }
        }
    }
    ExpectSamePicture(Back(), before, "refused calls");
    // Quotients past the int range draw only the pixels that have one; sources reaching out of
    // the object, far angles and rectangles far larger than the screen follow the reference.
    const float inf = std::numeric_limits<float>::infinity();
    const RotateCall calls[] = {
        {Member::ZoomTiled, 0, 0, 60, 50, 30, {0, 0, 12, 9}, 1e-30f},
        {Member::Zoom, 0, 0, 60, 50, 30, {0, 0, 12, 9}, 1e-30f},
        {Member::ZoomTiled, 0, 0, 60, 50, 30, {0, 0, 12, 9}, inf},
        {Member::Plain, 10, 10, 60, 50, 30, {-5, -3, 40, 40}},
        {Member::Tiled, 10, 10, 60, 50, 45, {12, 0, 20, 9}}, // nothing of the object left
        {Member::Plain, 10, 10, 60, 50, -3590, {0, 0, 12, 9}},
        {Member::Tiled, -2000000000, -1500000000, 2000000000, 1500000000, 33, {0, 0, 12, 9}},
        {Member::Plain, -7000000, -50, 7000000, 100, 180, {0, 0, 12, 9}},
        {Member::ZoomTiled, -3000000, -3000000, 3000200, 3000100, 77, {0, 0, 12, 9}, 0.7f},
        // zoomY steps through 0 on the way down.
        {Member::Perspective, 0, 0, 60, 50, 10, {0, 0, 12, 9}, 1.0f, 1e-30f, 0.0f, 2.0f, -0.1f},
    };
    for (const RotateCall& c : calls)
    {
        Check(id, c);
    }
}
