// The ripple (source pixels mapped forward) and the tunnel (map building and drawing) against
// plain references written from their formulas, and their refusals.
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

constexpr double kPi = 3.14159265358979323846;

struct RippleCall
{
    int x, y, amplitude, frequency, step;
    float scale, slant;
    Rect source;
};

// The back buffer after PutRipple, from the formula: each step-th source pixel of the clipped
// rectangle written, value 0 included, where it lands inside the clip.
Picture RippleReference(const Picture& back, const Picture& object, int objectWidth,
                        int objectHeight, const RippleCall& k, const Rect& clip)
{
    Picture out = back;
    blit_testing::ClippedRect c =
        blit_testing::ClipByHand(k.x, k.y, k.source.left, k.source.top, k.source.right,
                                 k.source.bottom, objectWidth, objectHeight, clip);
    if (!c.drawn || k.step < 1)
    {
        return out;
    }
    int right = std::min(k.source.right, objectWidth);
    int bottom = std::min(k.source.bottom, objectHeight);
    for (int r = 0; r < c.height; r += k.step)
    {
        double ny = (2.0 / (bottom - c.srcTop)) * r - 1.0;
        for (int col = 0; col < c.width; col += k.step)
        {
            double nx = (2.0 / (right - c.srcLeft)) * col - 1.0;
            double e = std::exp(ny * ny - nx * nx);
            double d = std::sqrt(nx * nx + ny * ny);
            float z = static_cast<float>((std::cos(d * k.frequency) * e + 1.0) * k.amplitude / 2.0 +
                                         r);
            long long px = static_cast<long long>(
                std::trunc((col + r * static_cast<double>(k.slant)) * k.scale));
            long long py = static_cast<long long>(std::trunc(static_cast<double>(z) * k.scale));
            long long dx = c.x + px, dy = c.y + py;
            if (dx >= clip.left && dx < clip.right && dy >= clip.top && dy < clip.bottom)
            {
                out.pixels[static_cast<std::size_t>(dy * out.width + dx)] =
                    object.At(c.srcLeft + col, c.srcTop + r);
            }
        }
    }
    return out;
}

struct TunnelArgs
{
    int textureWidth, textureHeight, mapWidth, mapHeight, centreX, centreY, viewDivisor,
        centreMotion, distanceKind, depthKind;
};

// A coordinate wrapped into 0..size - 1; a value that is not finite (the centre, or a depth
// divided by 0) counts as 0.
int WrapCoordinate(double value, int size)
{
    if (std::isnan(value) || std::isinf(value))
    {
        return 0;
    }
    long long v = static_cast<long long>(std::trunc(value));
    v %= size;
    return static_cast<int>(v < 0 ? v + size : v);
}

// The map MakeTunnel builds, entry by entry from the formulas; kinds outside their ranges
// are taken as 0.
std::vector<TunnelEntry> TunnelReference(const TunnelArgs& a)
{
    std::vector<TunnelEntry> map(static_cast<std::size_t>(a.mapWidth) * a.mapHeight);
    long long cx = a.centreX == -1 ? a.mapWidth / 2 : a.centreX;
    long long cy = a.centreY == -1 ? a.mapHeight / 2 : a.centreY;
    int divisor = a.viewDivisor == -1 ? 8 : a.viewDivisor < 2 ? 2 : a.viewDivisor;
    double k = a.textureHeight / (2 * std::tan(kPi / divisor / 2));
    int distanceKind = a.distanceKind < 0 || a.distanceKind > 6 ? 0 : a.distanceKind;
    int depthKind = a.depthKind < 0 || a.depthKind > 5 ? 0 : a.depthKind;
    if (a.centreMotion == 1)
    {
        cy = a.mapHeight;
    }
    if (a.centreMotion == 3)
    {
        cx = a.mapWidth;
    }
    if (a.centreMotion == 4)
    {
        cx = 0;
    }
    for (int j = 0; j < a.mapHeight; ++j)
    {
        if (a.centreMotion == 1)
        {
            cy -= 1;
        }
        if (a.centreMotion == 2)
        {
            cx = a.mapWidth;
        }
        if (a.centreMotion == 3 && cx > 0)
        {
            cx -= 1;
        }
        if (a.centreMotion == 4 && cx < a.mapWidth)
        {
            cx += 1;
        }
        for (int i = 0; i < a.mapWidth; ++i)
        {
            if (a.centreMotion == 2)
            {
                cx -= 1;
            }
            double dx = static_cast<double>(i - cx), dy = static_cast<double>(j - cy);
            double adx = std::fabs(dx), ady = std::fabs(dy);
            double dists[7] = {std::sqrt(dx * dx + dy * dy), std::max(adx, ady), (adx + ady) / 2.0,
                               std::min(adx, ady), adx, ady, static_cast<double>(cx)};
            double depths[6] = {k / 32.0, k / ((ady + 1) / 10.0), k / ((adx + 1) / 10.0),
                                k / std::max(adx, ady), k / ((adx + ady) / 2.0),
                                k / std::min(adx, ady)};
            double dist = dists[distanceKind];
            double depth = std::fabs(depths[depthKind]);
            double u = std::atan2(dy, dx) * a.textureWidth / (2 * kPi);
            double v = (std::sqrt(static_cast<double>(cx * cx + cy * cy)) - dist) * depth / dist;
            map[static_cast<std::size_t>(j) * a.mapWidth + i] =
                TunnelEntry{static_cast<std::int16_t>(WrapCoordinate(u, a.textureWidth)),
                            static_cast<std::int16_t>(WrapCoordinate(v, a.textureHeight))};
        }
    }
    return map;
}

void MakeTunnel(const TunnelArgs& a)
{
    voDraw::MakeTunnel(a.textureWidth, a.textureHeight, a.mapWidth, a.mapHeight, a.centreX,
                       a.centreY, a.viewDivisor, a.centreMotion, a.distanceKind, a.depthKind);
}

std::string Describe(const TunnelArgs& a)
{
    return "motion " + std::to_string(a.centreMotion) + " distance " +
           std::to_string(a.distanceKind) + " depth " + std::to_string(a.depthKind) +
           " centre " + std::to_string(a.centreX) + "," + std::to_string(a.centreY) + " view " +
           std::to_string(a.viewDivisor);
}

void ExpectMap(const std::vector<TunnelEntry>& expected, const std::string& what)
{
    ASSERT_EQ(tunnelMap.entries.size(), expected.size()) << what;
    int wrong = 0;
    for (std::size_t n = 0; n < expected.size(); ++n)
    {
        if (tunnelMap.entries[n].u != expected[n].u || tunnelMap.entries[n].v != expected[n].v)
        {
            if (++wrong <= 3)
            {
                ADD_FAILURE() << what << " entry " << n << ": (" << tunnelMap.entries[n].u << ", "
                              << tunnelMap.entries[n].v << ") instead of (" << expected[n].u
                              << ", " << expected[n].v << ")";
            }
        }
    }
    EXPECT_EQ(wrong, 0) << what;
}

class Warp : public blit_testing::BlitTest
{
  protected:
    Rect Visible() const
    {
        return Rect{std::max(clipRect.left, 0), std::max(clipRect.top, 0),
                    std::min(clipRect.right, 640), std::min(clipRect.bottom, 480)};
    }
    // The back buffer after PutTunnel from the map as it stands: each entry's coordinates
    // shifted by the offsets (wrapped once into range) and read from the object, repeated
    // where the texture is larger than the object; only the back buffer's edges clip.
    Picture TunnelPicture(const Picture& back, ObjectId id, int x, int y, int offsetU,
                          int offsetV)
    {
        Picture out = back;
        Picture texture = Object(id);
        const TunnelMap& m = tunnelMap;
        if (m.entries.empty())
        {
            return out;
        }
        long long du = ((offsetU % m.textureWidth) + m.textureWidth) % m.textureWidth;
        long long dv = ((offsetV % m.textureHeight) + m.textureHeight) % m.textureHeight;
        for (int j = 0; j < m.mapHeight; ++j)
        {
            for (int i = 0; i < m.mapWidth; ++i)
            {
                long long px = static_cast<long long>(x) + i, py = static_cast<long long>(y) + j;
                if (px < 0 || px >= 640 || py < 0 || py >= 480)
                {
                    continue;
                }
                const TunnelEntry& e = m.entries[static_cast<std::size_t>(j) * m.mapWidth + i];
                long long u = e.u + du, v = e.v + dv;
                if (u >= m.textureWidth)
                {
                    u -= m.textureWidth;
                }
                if (v >= m.textureHeight)
                {
                    v -= m.textureHeight;
                }
                u %= objectTable[id].width;
                v %= objectTable[id].height;
                out.pixels[static_cast<std::size_t>(py * 640 + px)] =
                    texture.At(static_cast<int>(u), static_cast<int>(v));
            }
        }
        return out;
    }
};

BLIT_TEST_LAYOUTS(Warp);

} // namespace

TEST_P(Warp, RippleFollowsItsFormulaOnRandomFrames)
{
    ObjectId id = RandomObject(48, 36);
    const RippleCall calls[] = {
        {100, 80, 10, 6, 1, 1.0f, 0.0f, {0, 0, 48, 36}},
        {100, 80, 25, 3, 1, 1.5f, 0.4f, {0, 0, 48, 36}},
        {100, 80, 7, 11, 2, 0.75f, -0.6f, {4, 2, 40, 30}},
        {300, 200, -12, 5, 3, 2.0f, 1.3f, {0, 0, 48, 36}},
        {-10, -6, 9, 4, 1, 1.0f, 0.2f, {0, 0, 48, 36}},   // over the top-left corner
        {610, 460, 9, 4, 1, 1.0f, 0.2f, {0, 0, 48, 36}},  // over the bottom-right corner
        {120, 100, 15, 7, 1, 1.2f, 0.5f, {-6, -4, 60, 50}}, // source reaching past the object
        {120, 100, 15, 7, 1, 1.0f, 0.0f, {10, 10, 20, 20}},
        {120, 100, 0, 7, 1, 1.0f, 0.0f, {-6, -4, 60, 50}},
        {120, 100, 0, 7, 1, 1.0f, 0.5f, {-6, -4, 60, 50}},
        {120, 100, 0, 7, 1, 1.2f, 0.0f, {-6, -4, 60, 50}},
        {120, 100, 15, 7, 1, 1.0f, 0.0f, {-6, -4, 60, 50}},
    };
    for (const Rect& clip : {Rect{0, 0, 640, 480}, Rect{105, 90, 150, 130}})
    {
        clipRect = clip;
        for (const RippleCall& k : calls)
        {
            RandomBack();
            Picture before = Back();
            EXPECT_EQ(voDraw::PutRipple(k.x, k.y, k.amplitude, k.frequency, k.step, k.scale,
                                        k.slant, id, k.source.left, k.source.top,
                                        k.source.right, k.source.bottom),
                      1);
            ExpectSamePicture(Back(),
                              RippleReference(before, Object(id), objectTable[id].width,
                                              objectTable[id].height, k, Visible()),
                              "ripple at " + std::to_string(k.x) + " source " + std::to_string(k.source.left) + " amp " + std::to_string(k.amplitude) + " slant " + std::to_string(k.slant) + " scale " + std::to_string(k.scale) + " step " +
                                  std::to_string(k.step));
        }
    }
}

TEST_P(Warp, RippleWithoutAmplitudeCopiesTheVisibleRectangleBlackIncluded)
{
    ObjectId id = RandomObject(30, 20, 25);
    Picture source = Object(id);
    clipRect = Rect{0, 0, 640, 480};
    RandomBack();
    Picture before = Back();
    ASSERT_EQ(voDraw::PutRipple(40, 50, 0, 9, 1, 1.0f, 0.0f, id, 0, 0, 30, 20), 1);
    Picture after = Back();
    for (int y = 0; y < 480; ++y)
    {
        for (int x = 0; x < 640; ++x)
        {
            bool inside = x >= 40 && x < 70 && y >= 50 && y < 70;
            std::uint16_t expected = inside ? source.At(x - 40, y - 50) : before.At(x, y);
            ASSERT_EQ(after.At(x, y), expected) << x << "," << y;
        }
    }
}

TEST_P(Warp, RippleRefusesASmallStepAndObjectsWithoutSurface)
{
    ObjectId id = RandomObject(30, 20);
    RandomBack();
    Picture before = Back();
    for (int step : {0, -1, -2147483647 - 1})
    {
        EXPECT_EQ(voDraw::PutRipple(40, 50, 5, 3, step, 1.0f, 0.0f, id, 0, 0, 30, 20), 1);
    }
    for (ObjectId bad : {-1, 1024, 700})
    {
        EXPECT_EQ(voDraw::PutRipple(40, 50, 5, 3, 1, 1.0f, 0.0f, bad, 0, 0, 30, 20), 0);
    }
    // Scales and slants that send coordinates past the int range land nowhere.
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(voDraw::PutRipple(40, 50, 5, 3, 1, inf, 0.0f, id, 0, 0, 30, 20), 1);
    EXPECT_EQ(voDraw::PutRipple(40, 50, 5, 3, 1, std::nanf(""), 0.0f, id, 0, 0, 30, 20), 1);
    EXPECT_EQ(voDraw::PutRipple(40, 50, 5, 3, 1, 1e30f, 1e30f, id, 0, 0, 30, 20), 1);
    Picture after = Back();
    // Only a NaN scale (truncated to 0) may write, and only at the rectangle's corner.
    int changed = 0;
    for (std::size_t n = 0; n < after.pixels.size(); ++n)
    {
        changed += after.pixels[n] != before.pixels[n] ? 1 : 0;
    }
    EXPECT_LE(changed, 1);
}

TEST_P(Warp, MakeTunnelFollowsEveryCentreMotionDistanceAndDepthKind)
{
    for (int motion : {0, 1, 2, 3, 4, 9})
    {
        for (int distance = -1; distance <= 7; ++distance)
        {
            for (int depth = -1; depth <= 6; ++depth)
            {
                // A map taller than wide lets the sideways motions reach the edge and stop.
                int mapWidth = (distance + depth) % 2 == 0 ? 23 : 9;
                TunnelArgs a{64, 32, mapWidth, 17, -1, -1, -1, motion, distance, depth};
                if ((motion + distance + depth) % 3 == 0)
                {
                    a.centreX = 5;
                    a.centreY = 12;
                    a.viewDivisor = 3;
                }
                if ((motion + distance + depth) % 4 == 1)
                {
                    a.viewDivisor = 1; // taken as 2
                    a.textureWidth = 17;
                }
                MakeTunnel(a);
                ExpectMap(TunnelReference(a), Describe(a));
                EXPECT_EQ(tunnelMap.textureWidth, a.textureWidth);
                EXPECT_EQ(tunnelMap.mapHeight, a.mapHeight);
            }
        }
    }
}

TEST_P(Warp, MakeTunnelCentresMinusOneOnTheMapsMiddle)
{
    // 320 x 200 with centre -1: the vanishing point is (160, 100). Around it the angle gives u
    // (a quarter turn per quarter of the texture width) and the distance gives v, the same on
    // all four sides.
    voDraw::MakeTunnel(64, 64, 320, 200, -1, -1, -1, 0, 0, 0);
    auto at = [](int i, int j) { return tunnelMap.entries[static_cast<std::size_t>(j) * 320 + i]; };
    EXPECT_EQ(at(160, 100).u, 0);
    EXPECT_EQ(at(160, 100).v, 0); // the centre itself (distance 0) holds 0
    EXPECT_EQ(at(165, 100).u, 0);
    EXPECT_EQ(at(155, 100).u, 32);
    EXPECT_EQ(at(160, 105).u, 16);
    EXPECT_EQ(at(160, 95).u, 48);
    EXPECT_EQ(at(165, 100).v, at(155, 100).v);
    EXPECT_EQ(at(165, 100).v, at(160, 105).v);
    EXPECT_EQ(at(165, 100).v, at(160, 95).v);
    EXPECT_NE(at(165, 100).v, at(170, 100).v);
}

TEST_P(Warp, MakeTunnelLeavesAnEmptyMapForSizesItCannotHold)
{
    const TunnelArgs refused[] = {
        {0, 32, 20, 20, -1, -1, -1, 0, 0, 0},   {32, 0, 20, 20, -1, -1, -1, 0, 0, 0},
        {-5, 32, 20, 20, -1, -1, -1, 0, 0, 0},  {32, 32, 0, 20, -1, -1, -1, 0, 0, 0},
        {32, 32, 20, -3, -1, -1, -1, 0, 0, 0},  {32, 32, 641, 480, -1, -1, -1, 0, 0, 0},
        {32, 32, 480, 641, -1, -1, -1, 0, 0, 0}, {32, 32, 65536, 65536, -1, -1, -1, 0, 0, 0},
        {40000, 32, 20, 20, -1, -1, -1, 0, 0, 0},
    };
    ObjectId id = RandomObject(32, 32);
    for (const TunnelArgs& a : refused)
    {
        MakeTunnel(TunnelArgs{32, 32, 8, 8, -1, -1, -1, 0, 0, 0});
        ASSERT_FALSE(tunnelMap.entries.empty());
        MakeTunnel(a);
        EXPECT_TRUE(tunnelMap.entries.empty()) << a.textureWidth << " " << a.mapWidth;
        RandomBack();
        Picture before = Back();
        EXPECT_EQ(voDraw::PutTunnel(0, 0, 0, 0, id), 1);
        ExpectSamePicture(Back(), before, "empty map");
    }
    // The full capacity is held.
    MakeTunnel(TunnelArgs{32, 32, 640, 480, -1, -1, -1, 0, 0, 0});
    EXPECT_EQ(tunnelMap.entries.size(), static_cast<std::size_t>(kTunnelCapacity));
}

TEST_P(Warp, PutTunnelWrapsOffsetsAndClipsOnlyToTheBackBuffer)
{
    ObjectId id = RandomObject(64, 48);
    MakeTunnel(TunnelArgs{64, 48, 120, 90, -1, -1, -1, 0, 0, 0});
    clipRect = Rect{200, 200, 220, 220}; // not consulted
    struct Case
    {
        int x, y, offsetU, offsetV;
    };
    const Case cases[] = {
        {10, 20, 0, 0},       {10, 20, 63, 47},     {10, 20, 5, 30},
        {10, 20, -5, -1},     {10, 20, 64, 48},     {10, 20, 1000, -1000},
        {10, 20, INT32_MIN, INT32_MAX},             {-50, -40, 7, 9},
        {580, 430, 7, 9},     {700, 10, 0, 0},      {10, 500, 0, 0},
        {-2147483647 - 1, -2147483647 - 1, 0, 0},   {2147483647, 2147483647, 0, 0},
    };
    for (BlitPath path : {BlitPath::Baseline, BlitPath::Avx2})
    {
        if (!SetBlitPath(path))
        {
            continue;
        }
        for (const Case& c : cases)
        {
            RandomBack();
            Picture before = Back();
            EXPECT_EQ(voDraw::PutTunnel(c.x, c.y, c.offsetU, c.offsetV, id), 1);
            ExpectSamePicture(Back(), TunnelPicture(before, id, c.x, c.y, c.offsetU, c.offsetV),
                              "tunnel at " + std::to_string(c.x) + "," + std::to_string(c.y) +
                                  " offsets " + std::to_string(c.offsetU) + "," +
                                  std::to_string(c.offsetV) +
                                  (path == BlitPath::Avx2 ? " avx2" : " baseline"));
        }
    }
    for (ObjectId bad : {-1, 1024, 700})
    {
        EXPECT_EQ(voDraw::PutTunnel(0, 0, 0, 0, bad), 0);
    }
}

TEST_P(Warp, PutTunnelReadsATextureLargerThanTheObjectInsideTheObject)
{
    ObjectId id = RandomObject(40, 30);
    MakeTunnel(TunnelArgs{256, 200, 100, 80, -1, -1, -1, 0, 1, 2});
    RandomBack();
    Picture before = Back();
    EXPECT_EQ(voDraw::PutTunnel(5, 5, 100, 150, id), 1);
    ExpectSamePicture(Back(), TunnelPicture(before, id, 5, 5, 100, 150), "large texture");
    // A texture exactly the object's size, read up to its last pixel, on both paths.
    ObjectId exact = RandomObject(37, 23);
    MakeTunnel(TunnelArgs{objectTable[exact].width, objectTable[exact].height, 200, 150, -1, -1,
                          -1, 2, 0, 1});
    for (BlitPath path : {BlitPath::Baseline, BlitPath::Avx2})
    {
        if (SetBlitPath(path))
        {
            RandomBack();
            before = Back();
            EXPECT_EQ(voDraw::PutTunnel(3, 4, 36, 22, exact), 1);
            ExpectSamePicture(Back(), TunnelPicture(before, exact, 3, 4, 36, 22), "exact");
        }
    }
}
