// Puts and fills: clipping at every edge, empty and narrowed clips, puts between objects,
// the fills, the half mix, inversion and the stretched puts on both paths.
#include <climits>
#include <cmath>

#include "tests/draw/draw_support.h"

using draw_testing::BackPixel;
using draw_testing::Bmp24;
using draw_testing::ObjectPixel;
using draw_testing::PaintSurface;
using draw_testing::StartScreen;
using platform::SurfaceResult;
using testing_support::TempDir;

namespace
{

constexpr std::uint16_t kBackground = 0x1234;

// Object pixels: a value that names the position, never 0 (the key) unless the test says so.
std::uint16_t Marked(int x, int y)
{
    return static_cast<std::uint16_t>(0x8000 | (y << 7) | x);
}

class Puts : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(StartScreen(folder), 1);
        sprite = voDraw::CreateObject(32, 31, 2); // 32 x 32
        ASSERT_EQ(sprite, 2);
        PaintSurface(objectTable[sprite].surface, Marked);
        ClearBack();
    }
    void ClearBack()
    {
        PaintSurface(BackBuffer(), [](int, int) { return kBackground; });
    }
    // Every back-buffer pixel in the box is the object's pixel at offset (dx, dy), and the
    // ring of pixels around the box is untouched.
    void ExpectBlock(int left, int top, int right, int bottom, int dx, int dy)
    {
        for (int y = top - 1; y <= bottom; ++y)
        {
            for (int x = left - 1; x <= right; ++x)
            {
                if (x < 0 || y < 0 || x >= screenWidth || y >= screenHeight)
                {
                    continue;
                }
                bool inside = x >= left && x < right && y >= top && y < bottom;
                std::uint32_t expected = inside ? Marked(x + dx, y + dy) : kBackground;
                ASSERT_EQ(BackPixel(x, y), expected) << x << "," << y;
            }
        }
    }
    void ExpectUntouched()
    {
        for (int y = 0; y < screenHeight; y += 7)
        {
            for (int x = 0; x < screenWidth; x += 5)
            {
                ASSERT_EQ(BackPixel(x, y), kBackground) << x << "," << y;
            }
        }
    }

    TempDir folder;
    ObjectId sprite = 0;
};

} // namespace

TEST_F(Puts, DrawsTheRectangleAtThePosition)
{
    EXPECT_EQ(voDraw::Put(100, 60, sprite, 4, 2, 20, 12), SurfaceResult::Ok);
    ExpectBlock(100, 60, 116, 70, 4 - 100, 2 - 60);
}

TEST_F(Puts, ClipsAtTheLeftEdge)
{
    // A put at x = -10 of a 32-pixel-wide rectangle draws its right 22 columns at x = 0.
    voDraw::Put(-10, 5, sprite, 0, 0, 32, 32);
    ExpectBlock(0, 5, 22, 37, 10, -5);
}

TEST_F(Puts, ClipsAtTheTopEdge)
{
    voDraw::Put(7, -5, sprite, 0, 0, 32, 32);
    ExpectBlock(7, 0, 39, 27, -7, 5);
}

TEST_F(Puts, ClipsAtTheRightAndBottomEdges)
{
    voDraw::Put(630, 470, sprite, 0, 0, 32, 32);
    ExpectBlock(630, 470, 640, 480, -630, -470);
}

TEST_F(Puts, ClipsAtAllFourEdgesOfANarrowedClip)
{
    clipRect = Rect{100, 100, 120, 110};
    voDraw::Put(90, 95, sprite, 0, 0, 32, 32);
    ExpectBlock(100, 100, 120, 110, -90, -95);
    ClearBack();
    voDraw::PutOpaque(110, 105, sprite, 0, 0, 32, 32);
    ExpectBlock(110, 105, 120, 110, -110, -105);
}

TEST_F(Puts, OutsideTheClipDrawsNothing)
{
    EXPECT_EQ(voDraw::Put(641, 0, sprite, 0, 0, 32, 32), SurfaceResult::Ok);
    EXPECT_EQ(voDraw::Put(-40, 0, sprite, 0, 0, 32, 32), SurfaceResult::Ok);
    EXPECT_EQ(voDraw::Put(0, 500, sprite, 0, 0, 32, 32), SurfaceResult::Ok);
    EXPECT_EQ(voDraw::Put(0, -33, sprite, 0, 0, 32, 32), SurfaceResult::Ok);
    ExpectUntouched();
}

TEST_F(Puts, AnEmptyRectangleReachesTheDisplayAndDrawsNothing)
{
    // Clipped to exactly zero width: the display refuses the empty rectangle.
    EXPECT_EQ(voDraw::Put(640, 0, sprite, 0, 0, 32, 32), SurfaceResult::InvalidRect);
    EXPECT_EQ(voDraw::Put(5, 5, sprite, 3, 3, 3, 10), SurfaceResult::InvalidRect);
    EXPECT_EQ(voDraw::Put(5, 5, sprite, 3, 3, 10, 3), SurfaceResult::InvalidRect);
    ExpectUntouched();
}

TEST_F(Puts, ARectangleOutsideTheObjectIsRefusedWhole)
{
    EXPECT_EQ(voDraw::Put(5, 5, sprite, 20, 20, 40, 40), SurfaceResult::InvalidRect);
    EXPECT_EQ(voDraw::Put(5, 5, sprite, -1, 0, 4, 4), SurfaceResult::InvalidRect);
    ExpectUntouched();
}

TEST_F(Puts, ExtremePositionsAreClippedWithoutOverflow)
{
    voDraw::Put(INT_MAX, INT_MAX, sprite, 0, 0, 32, 32);
    voDraw::Put(INT_MIN, INT_MIN, sprite, 0, 0, 32, 32);
    voDraw::Put(0, 0, sprite, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    voDraw::Put(1e300, -1e300, sprite, 0, 0, 32, 32);
    voDraw::Put(std::nan(""), 0.0, sprite, 0, 0, 1, 1);
    ExpectBlock(0, 0, 1, 1, 0, 0);
}

TEST_F(Puts, TheKeyColourIsTransparentOnlyInTheKeyedPuts)
{
    PaintSurface(objectTable[sprite].surface,
                 [](int x, int y) { return (x + y) % 3 == 0 ? std::uint16_t{0} : Marked(x, y); });
    voDraw::Put(0, 0, sprite, 0, 0, 9, 9);
    voDraw::PutOpaque(20, 0, sprite, 0, 0, 9, 9);
    for (int y = 0; y < 9; ++y)
    {
        for (int x = 0; x < 9; ++x)
        {
            bool key = (x + y) % 3 == 0;
            ASSERT_EQ(BackPixel(x, y), key ? kBackground : Marked(x, y));
            ASSERT_EQ(BackPixel(20 + x, y), key ? 0u : Marked(x, y));
        }
    }
}

TEST_F(Puts, TheDoubleOverloadTruncatesTowardZero)
{
    voDraw::Put(10.9, -0.9, sprite, 0, 0, 4, 4);
    ExpectBlock(10, 0, 14, 4, -10, 0);
    ClearBack();
    voDraw::Put(-1.9, 20.5, sprite, 0, 0, 4, 4);
    ExpectBlock(0, 20, 3, 24, 1, -20);
}

TEST_F(Puts, PutsOntoObjectsClipAgainstTheClipRectangleNotTheObject)
{
    ObjectId target = voDraw::CreateObject(16, 15, 2); // 16 x 16
    draw_testing::PaintSurface(objectTable[target].surface,
                               [](int, int) { return std::uint16_t{0x0F0F}; });
    // Larger than the object but inside clipRect: the display refuses it whole.
    EXPECT_EQ(voDraw::PutTo(target, 0, 0, sprite, 0, 0, 32, 32), SurfaceResult::InvalidRect);
    EXPECT_EQ(ObjectPixel(target, 0, 0), 0x0F0Fu);
    EXPECT_EQ(voDraw::PutTo(target, 8, 4, sprite, 1, 1, 9, 9), SurfaceResult::Ok);
    EXPECT_EQ(ObjectPixel(target, 8, 4), Marked(1, 1));
    EXPECT_EQ(ObjectPixel(target, 15, 11), Marked(8, 8));
    EXPECT_EQ(ObjectPixel(target, 7, 4), 0x0F0Fu);
    EXPECT_EQ(ObjectPixel(target, 8, 12), 0x0F0Fu);
    clipRect = Rect{0, 0, 10, 10};
    PaintSurface(objectTable[sprite].surface,
                 [](int x, int y) { return x == 0 ? std::uint16_t{0} : Marked(x, y); });
    voDraw::PutOpaqueTo(target, 0, 0, sprite, 0, 0, 16, 16);
    EXPECT_EQ(ObjectPixel(target, 0, 0), 0u);
    EXPECT_EQ(ObjectPixel(target, 9, 9), Marked(9, 9));
    EXPECT_EQ(ObjectPixel(target, 10, 0), 0x0F0Fu);
    EXPECT_EQ(ObjectPixel(target, 0, 10), 0x0F0Fu);
    voDraw::PutTo(target, 0, 0, sprite, 0, 0, 16, 16);
    EXPECT_EQ(ObjectPixel(target, 0, 0), 0u);
    // A copy within one object reads the rectangle as it was before it moved.
    clipRect = Rect{0, 0, 640, 480};
    voDraw::PutOpaqueTo(sprite, 1, 0, sprite, 0, 0, 8, 1);
    EXPECT_EQ(ObjectPixel(sprite, 1, 0), 0u);
    EXPECT_EQ(ObjectPixel(sprite, 2, 0), Marked(1, 0));
    EXPECT_EQ(ObjectPixel(sprite, 8, 0), Marked(7, 0));
}

TEST_F(Puts, FillsCoverTheirRectangleAndNoMore)
{
    EXPECT_EQ(voDraw::FillColor(3, 4, 7, 6, 0xABCD), SurfaceResult::Ok);
    EXPECT_EQ(BackPixel(3, 4), 0xABCDu);
    EXPECT_EQ(BackPixel(6, 5), 0xABCDu);
    EXPECT_EQ(BackPixel(7, 5), kBackground);
    EXPECT_EQ(BackPixel(6, 6), kBackground);
    EXPECT_EQ(BackPixel(2, 4), kBackground);
    voDraw::FillWhite(0, 0, 1, 1);
    EXPECT_EQ(BackPixel(0, 0), 0xFFFFu);
    voDraw::FillBlack(0, 0, 1, 1);
    EXPECT_EQ(BackPixel(0, 0), 0u);
    // Fills are not clipped: one reaching past the back buffer is refused whole.
    EXPECT_EQ(voDraw::FillColor(630, 0, 641, 5, 0x1111), SurfaceResult::InvalidRect);
    EXPECT_EQ(BackPixel(635, 2), kBackground);
    clipRect = Rect{0, 0, 2, 2};
    voDraw::FillColor(10, 10, 12, 12, 0x2222);
    EXPECT_EQ(BackPixel(11, 11), 0x2222u);
    voDraw::ClearWhite();
    EXPECT_EQ(BackPixel(639, 479), 0xFFFFu);
    voDraw::Clear();
    EXPECT_EQ(BackPixel(639, 479), 0u);
    EXPECT_EQ(BackPixel(0, 0), 0u);
    voDraw::ClearObject(sprite);
    EXPECT_EQ(ObjectPixel(sprite, 31, 31), 0u);
}

TEST_F(Puts, FrameBlackensTheOuterRing)
{
    EXPECT_EQ(voDraw::Frame(10, 10, 20, 20), SurfaceResult::Ok);
    for (int y = 8; y < 22; ++y)
    {
        for (int x = 8; x < 22; ++x)
        {
            bool inside = x >= 10 && x < 20 && y >= 10 && y < 20;
            bool ring = inside && (x == 10 || x == 19 || y == 10 || y == 19);
            ASSERT_EQ(BackPixel(x, y), ring ? 0u : kBackground) << x << "," << y;
        }
    }
}

TEST_F(Puts, FillHalfMixesHalfAndHalfInsideTheClip)
{
    PaintSurface(BackBuffer(),
                 [](int x, int)
                 {
                     const std::uint16_t values[] = {0xFFFF, 0xF800, 0x0000, 0x07E0};
                     return values[x % 4];
                 });
    clipRect = Rect{0, 0, 8, 2};
    EXPECT_EQ(voDraw::FillHalf(-5, 0, 100, 1, 0), 1);
    EXPECT_EQ(BackPixel(0, 0), 0x7BEFu);
    EXPECT_EQ(BackPixel(1, 0), 0x7800u);
    EXPECT_EQ(BackPixel(2, 0), 0x0000u);
    EXPECT_EQ(BackPixel(3, 0), 0x03E0u);
    EXPECT_EQ(BackPixel(8, 0), 0xFFFFu); // right of the clip
    EXPECT_EQ(BackPixel(0, 1), 0xFFFFu); // below the rectangle
    EXPECT_EQ(voDraw::FillHalf(0, 1, 4, 2, 0x001F), 1);
    EXPECT_EQ(BackPixel(0, 1), 0x7BEFu + 0x000Fu);
    EXPECT_EQ(BackPixel(1, 1), 0x780Fu);
    EXPECT_EQ(BackPixel(2, 1), 0x000Fu);
    EXPECT_EQ(BackPixel(3, 1), 0x03EFu);
    EXPECT_EQ(voDraw::FillHalf(3, 0, 4, 1, 0x07E0), 1);
    EXPECT_EQ(BackPixel(3, 0), 0x01E0u + 0x03E0u); // a 6-bit channel loses its low bit
    // An empty clipped rectangle draws nothing and still succeeds.
    EXPECT_EQ(voDraw::FillHalf(50, 0, 60, 1, 0), 1);
}

TEST(FillHalf, Mixes555PixelsWithTheirOwnHalfMask)
{
    TempDir folder;
    platform::headless::HeadlessConfig config;
    config.rgb555 = true;
    ASSERT_EQ(StartScreen(folder, config), 1);
    PaintSurface(BackBuffer(), [](int, int) { return std::uint16_t{0x7FFF}; });
    EXPECT_EQ(voDraw::FillHalf(0, 0, 1, 1, 0), 1);
    EXPECT_EQ(BackPixel(0, 0), 0x3DEFu);
    EXPECT_EQ(voDraw::FillHalf(1, 0, 2, 1, 0x7C00), 1);
    EXPECT_EQ(BackPixel(1, 0), 0x3DEFu + 0x3C00u);
}

TEST(FillHalf, ALockedBackBufferReturnsZero)
{
    TempDir folder;
    ASSERT_EQ(StartScreen(folder), 1);
    platform::PixelBuffer pixels;
    ASSERT_EQ(platform::LockSurface(BackBuffer(), pixels), SurfaceResult::Ok);
    EXPECT_EQ(voDraw::FillHalf(0, 0, 4, 4, 0), 0);
    platform::UnlockSurface(BackBuffer());
}

TEST_F(Puts, InvertRectFlipsEveryBitInsideOnly)
{
    EXPECT_EQ(voDraw::InvertRect(5, 5, 8, 7), SurfaceResult::Ok);
    EXPECT_EQ(BackPixel(5, 5), 0xFFFFu ^ kBackground);
    EXPECT_EQ(BackPixel(7, 6), 0xFFFFu ^ kBackground);
    EXPECT_EQ(BackPixel(8, 6), kBackground);
    EXPECT_EQ(BackPixel(7, 7), kBackground);
    // Not clipped: reaching past the back buffer inverts what lies inside it.
    voDraw::InvertRect(638, 478, 700, 700);
    EXPECT_EQ(BackPixel(639, 479), 0xFFFFu ^ kBackground);
}

namespace
{

// A 4 x 4 sprite: black at (0, 0), magenta (its key) at (1, 0), the rest marked.
void StretchSource(ObjectId id)
{
    std::uint16_t magenta =
        platform::NativeFromColor(platform::MakeRgb(255, 0, 255), platform::PixelLayout::Rgb565);
    PaintSurface(objectTable[id].surface,
                 [magenta](int x, int y)
                 {
                     if (y == 0 && x == 0)
                     {
                         return std::uint16_t{0};
                     }
                     if (y == 0 && x == 1)
                     {
                         return magenta;
                     }
                     return Marked(x, y);
                 });
    voDraw::SetObjectKey(id, platform::MakeRgb(255, 0, 255));
}

} // namespace

TEST(PutStretch, DisplayPathScalesKeysOnTheObjectAndIgnoresTheClip)
{
    TempDir folder;
    ASSERT_EQ(StartScreen(folder), 1);
    ASSERT_EQ(stretchSupported, 1);
    ObjectId id = voDraw::CreateObject(4, 3, 2);
    StretchSource(id);
    PaintSurface(BackBuffer(), [](int, int) { return kBackground; });
    clipRect = Rect{0, 0, 1, 1};
    EXPECT_EQ(voDraw::PutStretch(10, 20, id, 0, 0, 4, 4, 8, 12), SurfaceResult::Ok);
    for (int y = 0; y < 12; ++y)
    {
        for (int x = 0; x < 8; ++x)
        {
            int sx = x / 2;
            int sy = y / 3;
            std::uint32_t expected = sy == 0 && sx == 1   ? kBackground
                                     : sy == 0 && sx == 0 ? 0u
                                                          : Marked(sx, sy);
            ASSERT_EQ(BackPixel(10 + x, 20 + y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(BackPixel(18, 20), kBackground);
    EXPECT_EQ(BackPixel(10, 32), kBackground);
    voDraw::PutStretchOpaque(30, 20, id, 0, 0, 4, 4, 2, 2);
    EXPECT_EQ(BackPixel(30, 20), 0u);
    EXPECT_EQ(BackPixel(31, 21), Marked(2, 2));
    // A destination past the back buffer is refused whole on this path.
    EXPECT_EQ(voDraw::PutStretch(636, 0, id, 0, 0, 4, 4, 8, 8), SurfaceResult::InvalidRect);
    EXPECT_EQ(BackPixel(637, 1), kBackground);
    voDraw::PutStretch(40.7, 20.2, id, 0, 0, 4, 4, 4, 4);
    EXPECT_EQ(BackPixel(42, 21), Marked(2, 1));
}

TEST(PutStretch, GdiPathKeysOnBlackWhateverTheObjectsKey)
{
    TempDir folder;
    platform::headless::HeadlessConfig config;
    config.stretch = false;
    ASSERT_EQ(StartScreen(folder, config), 1);
    ASSERT_EQ(stretchSupported, 0);
    ObjectId id = voDraw::CreateObject(4, 3, 2);
    StretchSource(id);
    std::uint16_t magenta = static_cast<std::uint16_t>(ObjectPixel(id, 1, 0));
    PaintSurface(BackBuffer(), [](int, int) { return kBackground; });
    EXPECT_EQ(voDraw::PutStretch(10, 20, id, 0, 0, 4, 4, 8, 8), SurfaceResult::Ok);
    for (int y = 0; y < 8; ++y)
    {
        for (int x = 0; x < 8; ++x)
        {
            int sx = x / 2;
            int sy = y / 2;
            std::uint32_t expected = sy == 0 && sx == 0   ? kBackground
                                     : sy == 0 && sx == 1 ? magenta
                                                          : Marked(sx, sy);
            ASSERT_EQ(BackPixel(10 + x, 20 + y), expected) << x << "," << y;
        }
    }
    // The result goes through a put of Buffer, so this path is clipped.
    clipRect = Rect{0, 0, 12, 480};
    PaintSurface(BackBuffer(), [](int, int) { return kBackground; });
    voDraw::PutStretchOpaque(10, 20, id, 0, 0, 4, 4, 4, 4);
    EXPECT_EQ(BackPixel(10, 20), 0u);
    EXPECT_EQ(BackPixel(11, 21), Marked(1, 1));
    EXPECT_EQ(BackPixel(12, 21), kBackground);
}
