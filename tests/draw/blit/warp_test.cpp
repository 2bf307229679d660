// The ripple (source pixels mapped forward) and the tunnel (map building and drawing) against
// plain references written from their formulas, and their refusals.
#include <array>
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

// The back buffer after PutRipple: each step-th source pixel of the clipped rectangle, 0
// included, written where it lands inside the clip.
Picture RippleReference(const Picture& back, const Picture& object, const RippleCall& k,
                        const Rect& clip)
{
    Picture out = back;
    blit_testing::ClippedRect c =
        blit_testing::ClipByHand(k.x, k.y, k.source.left, k.source.top, k.source.right,
                                 k.source.bottom, object.width, object.height, clip);
    double xUnit = 2.0 / (std::min(k.source.right, object.width) - c.srcLeft);
    double yUnit = 2.0 / (std::min(k.source.bottom, object.height) - c.srcTop);
    for (int r = 0; c.drawn && r < c.height; r += k.step)
    {
        for (int col = 0; col < c.width; col += k.step)
        {
            double nx = xUnit * col - 1.0, ny = yUnit * r - 1.0;
            double d = std::sqrt(nx * nx + ny * ny);
            float z =
                static_cast<float>((std::cos(d * k.frequency) * std::exp(ny * ny - nx * nx) + 1.0) *
                                       k.amplitude / 2.0 +
                                   r);
            long long dx = c.x + static_cast<long long>((col + r * double{k.slant}) * k.scale);
            long long dy = c.y + static_cast<long long>(double{z} * k.scale);
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

void MakeTunnel(const TunnelArgs& a)
{
    voDraw::MakeTunnel(a.textureWidth, a.textureHeight, a.mapWidth, a.mapHeight, a.centreX,
                       a.centreY, a.viewDivisor, a.centreMotion, a.distanceKind, a.depthKind);
}

// A coordinate wrapped into 0..size - 1; a value that is not finite counts as 0.
int WrapCoordinate(double value, int size)
{
    long long v = std::isfinite(value) ? static_cast<long long>(value) % size : 0;
    return static_cast<int>(v < 0 ? v + size : v);
}

// Expects tunnelMap to hold what the formulas give entry by entry; kinds outside their
// ranges are taken as 0.
void ExpectTunnelMap(const TunnelArgs& a)
{
    const std::string what = "motion " + std::to_string(a.centreMotion) + " distance " +
                             std::to_string(a.distanceKind) + " depth " +
                             std::to_string(a.depthKind);
    ASSERT_EQ(tunnelMap.entries.size(), static_cast<std::size_t>(a.mapWidth) * a.mapHeight);
    long long cx = a.centreX == -1 ? a.mapWidth / 2 : a.centreX;
    long long cy = a.centreY == -1 ? a.mapHeight / 2 : a.centreY;
    double k = a.textureHeight / (2 * std::tan(kPi / std::max(a.viewDivisor, 2) / 2));
    k = a.viewDivisor == -1 ? a.textureHeight / (2 * std::tan(kPi / 16)) : k;
    int distanceKind = a.distanceKind < 0 || a.distanceKind > 6 ? 0 : a.distanceKind;
    int depthKind = a.depthKind < 0 || a.depthKind > 5 ? 0 : a.depthKind;
    // Motions 1, 3, 4 start below, right and left of the map; each row moves them on.
    cy = a.centreMotion == 1 ? a.mapHeight : cy;
    cx = a.centreMotion == 3 ? a.mapWidth : a.centreMotion == 4 ? 0 : cx;
    int wrong = 0;
    for (int j = 0; j < a.mapHeight; ++j)
    {
        cy -= a.centreMotion == 1 ? 1 : 0;
        cx = a.centreMotion == 2 ? a.mapWidth : cx;
        cx += a.centreMotion == 3 && cx > 0 ? -1 : a.centreMotion == 4 && cx < a.mapWidth ? 1 : 0;
        for (int i = 0; i < a.mapWidth; ++i)
        {
            cx -= a.centreMotion == 2 ? 1 : 0; // motion 2 moves every pixel
            double dx = static_cast<double>(i - cx), dy = static_cast<double>(j - cy);
            double ax = std::fabs(dx), ay = std::fabs(dy);
            double dists[7] = {std::sqrt(dx * dx + dy * dy),
                               std::max(ax, ay),
                               (ax + ay) / 2.0,
                               std::min(ax, ay),
                               ax,
                               ay,
                               static_cast<double>(cx)};
            double depths[6] = {k / 32.0,
                                k / ((ay + 1) / 10.0),
                                k / ((ax + 1) / 10.0),
                                k / std::max(ax, ay),
                                k / ((ax + ay) / 2.0),
                                k / std::min(ax, ay)};
            double dist = dists[distanceKind];
            double u = std::atan2(dy, dx) * a.textureWidth / (2 * kPi);
            double v = (std::sqrt(static_cast<double>(cx * cx + cy * cy)) - dist) *
                       std::fabs(depths[depthKind]) / dist;
            const TunnelEntry& e = tunnelMap.entries[static_cast<std::size_t>(j) * a.mapWidth + i];
            if (e.u != WrapCoordinate(u, a.textureWidth) ||
                e.v != WrapCoordinate(v, a.textureHeight))
            {
                ASSERT_LT(++wrong, 3) << what << " entry " << i << "," << j;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << what;
}

class Warp : public blit_testing::BlitTest
{
  protected:
    // The back buffer after PutTunnel from the map as it stands: each entry shifted by the
    // offsets, wrapped once into the texture, read from the object (repeated where the texture
    // is larger); only the back buffer's edges clip.
    Picture TunnelPicture(const Picture& back, ObjectId id, int x, int y, int offsetU, int offsetV)
    {
        Picture out = back;
        Picture texture = Object(id);
        const TunnelMap& m = tunnelMap;
        for (int j = 0; j < m.mapHeight && !m.entries.empty(); ++j)
        {
            for (int i = 0; i < m.mapWidth; ++i)
            {
                long long px = static_cast<long long>(x) + i, py = static_cast<long long>(y) + j;
                const TunnelEntry& e = m.entries[static_cast<std::size_t>(j) * m.mapWidth + i];
                long long u =
                    (e.u + ((offsetU % m.textureWidth) + m.textureWidth)) % m.textureWidth;
                long long v =
                    (e.v + ((offsetV % m.textureHeight) + m.textureHeight)) % m.textureHeight;
                if (px >= 0 && px < 640 && py >= 0 && py < 480)
                {
                    out.pixels[static_cast<std::size_t>(py * 640 + px)] = texture.At(
                        static_cast<int>(u % texture.width), static_cast<int>(v % texture.height));
                }
            }
        }
        return out;
    }
};

BLIT_TEST_LAYOUTS(Warp);

} // namespace

TEST_P(Warp, RippleFollowsItsFormulaOnRandomFramesAndRefusesSafely)
{
    ObjectId id = RandomObject(48, 36);
    const RippleCall calls[] = {
        {100, 80, 10, 6, 1, 1.0f, 0.0f, {0, 0, 48, 36}},
        {100, 80, 25, 3, 1, 1.5f, 0.4f, {0, 0, 48, 36}},
        {100, 80, 7, 11, 2, 0.75f, -0.6f, {4, 2, 40, 30}},
        {300, 200, -12, 5, 3, 2.0f, 1.3f, {0, 0, 48, 36}},
        {-10, -6, 9, 4, 1, 1.0f, 0.2f, {0, 0, 48, 36}},     // over the top-left corner
        {610, 460, 9, 4, 1, 1.0f, 0.2f, {0, 0, 48, 36}},    // over the bottom-right corner
        {120, 100, 15, 7, 1, 1.2f, 0.5f, {-6, -4, 60, 50}}, // source reaching past the object
        {120, 100, 0, 7, 1, 1.0f, 0.5f, {-6, -4, 60, 50}},
    };
    for (const Rect& clip : {Rect{0, 0, 640, 480}, Rect{105, 90, 150, 130}})
    {
        clipRect = clip;
        for (const RippleCall& k : calls)
        {
            RandomBack();
            Picture before = Back();
            EXPECT_EQ(voDraw::PutRipple(k.x, k.y, k.amplitude, k.frequency, k.step, k.scale,
                                        k.slant, id, k.source.left, k.source.top, k.source.right,
                                        k.source.bottom),
                      1);
            ExpectSamePicture(Back(), RippleReference(before, Object(id), k, clip),
                              "ripple at " + std::to_string(k.x) + " amplitude " +
                                  std::to_string(k.amplitude));
        }
    }
    // Without amplitude, slant and scale the rectangle is copied unchanged, 0 included.
    clipRect = Rect{0, 0, 640, 480};
    RandomBack();
    Picture before = Back();
    ASSERT_EQ(voDraw::PutRipple(40, 50, 0, 9, 1, 1.0f, 0.0f, id, -3, 2, 30, 20), 1);
    ExpectSamePicture(Back(),
                      blit_testing::ReferenceBlit(
                          before, Object(id), 40, 50, Rect{-3, 2, 30, 20}, clipRect,
                          [](std::uint16_t s, std::uint16_t, int, int) { return s; }, false));
    // Steps below 1, ids without surface and coordinates past the int range draw nothing.
    before = Back();
    for (int step : {0, -1, -2147483647 - 1})
    {
        EXPECT_EQ(voDraw::PutRipple(40, 50, 5, 3, step, 1.0f, 0.0f, id, 0, 0, 30, 20), 1);
    }
    for (ObjectId bad : {-1, 1024, 700})
    {
        EXPECT_EQ(voDraw::PutRipple(40, 50, 5, 3, 1, 1.0f, 0.0f, bad, 0, 0, 30, 20), 0);
    }
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(voDraw::PutRipple(40, 50, 5, 3, 1, inf, 0.0f, id, 0, 0, 30, 20), 1);
    EXPECT_EQ(voDraw::PutRipple(40, 50, 5, 3, 1, 1e30f, 1e30f, id, 0, 0, 30, 20), 1);
    ExpectSamePicture(Back(), before);
}

TEST_P(Warp, MakeTunnelFollowsEveryKindAndLeavesAnEmptyMapForSizesItCannotHold)
{
    for (int motion : {0, 1, 2, 3, 4, 9})
    {
        for (int distance = -1; distance <= 7; ++distance)
        {
            for (int depth = -1; depth <= 6; ++depth)
            {
                // A map taller than wide lets the sideways motions reach the edge and stop.
                int n = motion + distance + depth;
                bool placed = n % 3 == 0, narrow = n % 4 == 1; // view divisor 1 is taken as 2
                int view = narrow ? 1 : placed ? 3 : -1;
                int width = (distance + depth) % 2 == 0 ? 23 : 9;
                TunnelArgs a{narrow ? 17 : 64, 32,   width,  17,       placed ? 5 : -1,
                             placed ? 12 : -1, view, motion, distance, depth};
                MakeTunnel(a);
                ExpectTunnelMap(a);
                EXPECT_EQ(tunnelMap.textureWidth, a.textureWidth);
            }
        }
    }
    // Centre -1 is the map's middle (160, 100): a quarter of the texture width per quarter
    // turn around it, the same distance on all four sides, 0 at the centre itself.
    voDraw::MakeTunnel(64, 64, 320, 200, -1, -1, -1, 0, 0, 0);
    auto at = [](int i, int j) { return tunnelMap.entries[static_cast<std::size_t>(j) * 320 + i]; };
    EXPECT_EQ(at(160, 100).v, 0);
    for (auto [i, j, u] :
         {std::array{160, 100, 0}, std::array{165, 100, 0}, std::array{155, 100, 32},
          std::array{160, 105, 16}, std::array{160, 95, 48}})
    {
        EXPECT_EQ(at(i, j).u, u) << i << "," << j;
        EXPECT_EQ(at(i, j).v, i == 160 && j == 100 ? 0 : at(165, 100).v) << i << "," << j;
    }
    EXPECT_NE(at(165, 100).v, at(170, 100).v);
    // Sizes the map cannot hold leave it empty, and PutTunnel then draws nothing.
    ObjectId id = RandomObject(32, 32);
    for (auto [tw, th, mw, mh] :
         {std::array{0, 32, 20, 20}, std::array{32, -5, 20, 20}, std::array{32, 32, 0, 20},
          std::array{32, 32, 20, -3}, std::array{32, 32, 641, 480},
          std::array{32, 32, 65536, 65536}, std::array{40000, 32, 20, 20}})
    {
        voDraw::MakeTunnel(32, 32, 8, 8, -1, -1, -1, 0, 0, 0);
        voDraw::MakeTunnel(tw, th, mw, mh, -1, -1, -1, 0, 0, 0);
        EXPECT_TRUE(tunnelMap.entries.empty()) << tw << " " << mw;
        RandomBack();
        Picture before = Back();
        EXPECT_EQ(voDraw::PutTunnel(0, 0, 0, 0, id), 1);
        ExpectSamePicture(Back(), before, "empty map");
    }
    voDraw::MakeTunnel(32, 32, 640, 480, -1, -1, -1, 0, 0, 0); // the full capacity is held
    EXPECT_EQ(tunnelMap.entries.size(), static_cast<std::size_t>(kTunnelCapacity));
}

TEST_P(Warp, PutTunnelWrapsOffsetsReadsInsideTheObjectAndClipsOnlyToTheBackBuffer)
{
    // The texture the object's size, the object's size exactly (read to its last pixel), and
    // larger than the object (which then repeats).
    ObjectId id = RandomObject(64, 48);
    const TunnelArgs maps[] = {{64, 48, 120, 90, -1, -1, -1, 0, 0, 0},
                               {64, 49, 200, 150, -1, -1, -1, 2, 0, 1},
                               {256, 200, 100, 80, -1, -1, -1, 0, 1, 2}};
    clipRect = Rect{200, 200, 220, 220}; // not consulted
    // clang-format off
    const int cases[][4] = {{10, 20, 0, 0}, {10, 20, 63, 48}, {10, 20, -5, -1}, {10, 20, 64, 49},
                            {10, 20, 1000, -1000}, {-50, -40, 7, 9}, {580, 430, 7, 9},
                            {700, 10, 0, 0}, {10, 500, 0, 0}, {10, 20, INT32_MIN, INT32_MAX},
                            {INT32_MIN, INT32_MIN, 0, 0}, {INT32_MAX, INT32_MAX, 0, 0}};
    // clang-format on
    for (BlitPath path : {BlitPath::Baseline, BlitPath::Avx2})
    {
        for (const TunnelArgs& map : maps)
        {
            MakeTunnel(map);
            for (const int* c : cases)
            {
                if (!SetBlitPath(path))
                {
                    continue;
                }
                RandomBack();
                Picture before = Back();
                EXPECT_EQ(voDraw::PutTunnel(c[0], c[1], c[2], c[3], id), 1);
                ExpectSamePicture(Back(), TunnelPicture(before, id, c[0], c[1], c[2], c[3]),
                                  "tunnel at " + std::to_string(c[0]) + "," + std::to_string(c[1]) +
                                      " offsets " + std::to_string(c[2]) + "," +
                                      std::to_string(c[3]));
            }
        }
    }
    for (ObjectId bad : {-1, 1024, 700})
    {
        EXPECT_EQ(voDraw::PutTunnel(0, 0, 0, 0, bad), 0);
    }
}
