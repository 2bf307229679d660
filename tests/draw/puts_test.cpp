// Puts and fills: clipping at every edge, empty and narrowed clips, puts between objects,
// the fills, the half mix, inversion and the stretched puts on both paths.
#include <climits>
#include <cmath>

#include "tests/draw/draw_support.h"

using draw_testing::BackPixel;
using draw_testing::kBackground;
using draw_testing::Marked;
using draw_testing::ObjectPixel;
using draw_testing::PaintSurface;
using draw_testing::StartScreen;
using draw_testing::SurfacePixel;
using platform::SurfaceResult;
using testing_support::TempDir;

namespace
{

class Puts : public draw_testing::SpriteTest
{
  protected:
    // Every back-buffer pixel in the box is the object's pixel at offset (dx, dy), and the
    // ring of pixels around the box is untouched; an empty box: nothing changed anywhere.
    void ExpectBlock(int left, int top, int right, int bottom, int dx, int dy)
    {
        draw_testing::Picture back = draw_testing::ReadBackBuffer();
        bool empty = right <= left || bottom <= top;
        for (int y = empty ? 0 : top - 1; y <= (empty ? 479 : bottom); ++y)
        {
            for (int x = empty ? 0 : left - 1; x <= (empty ? 639 : right); ++x)
            {
                if (x < 0 || y < 0 || x >= 640 || y >= 480)
                {
                    continue;
                }
                bool inside = x >= left && x < right && y >= top && y < bottom;
                ASSERT_EQ(back.At(x, y), inside ? Marked(x + dx, y + dy) : kBackground)
                    << x << "," << y;
            }
        }
    }
    void ExpectUntouched()
    {
        ExpectBlock(0, 0, 0, 0, 0, 0);
    }
};

} // namespace

TEST_F(Puts, ClipAtEveryEdgeOfTheScreen)
{
    // A put of the sprite's 32 x 32 top: where it goes, and the part of the screen it covers.
    struct Case
    {
        int x, y, left, top, right, bottom;
    } cases[] = {
        {100, 60, 100, 60, 132, 92},    // whole
        {-10, 5, 0, 5, 22, 37},         // left
        {7, -5, 7, 0, 39, 27},          // top
        {630, 470, 630, 470, 640, 480}, // right and bottom
        {641, 0, 0, 0, 0, 0},           // wholly outside on each side
        {-40, 0, 0, 0, 0, 0},           {0, 500, 0, 0, 0, 0}, {0, -33, 0, 0, 0, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
        ClearBack();
        EXPECT_EQ(voDraw::Put(c.x, c.y, sprite, 0, 0, 32, 32), SurfaceResult::Ok);
        ExpectBlock(c.left, c.top, c.right, c.bottom, -c.x, -c.y);
    }
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

TEST_F(Puts, EmptyOrOversizedRectanglesAreRefusedWhole)
{
    // Clipped to exactly zero width: the display refuses the empty rectangle.
    EXPECT_EQ(voDraw::Put(640, 0, sprite, 0, 0, 32, 32), SurfaceResult::InvalidRect);
    EXPECT_EQ(voDraw::Put(5, 5, sprite, 3, 3, 3, 10), SurfaceResult::InvalidRect);
    EXPECT_EQ(voDraw::Put(5, 5, sprite, 3, 3, 10, 3), SurfaceResult::InvalidRect);
    EXPECT_EQ(voDraw::Put(5, 5, sprite, 20, 50, 40, 70), SurfaceResult::InvalidRect);
    EXPECT_EQ(voDraw::Put(5, 5, sprite, -1, 0, 4, 4), SurfaceResult::InvalidRect);
    // Extreme positions clip without overflow.
    voDraw::Put(INT_MAX, INT_MAX, sprite, 0, 0, 32, 32);
    voDraw::Put(INT_MIN, INT_MIN, sprite, 0, 0, 32, 32);
    voDraw::Put(0, 0, sprite, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    voDraw::Put(1e300, -1e300, sprite, 0, 0, 32, 32);
    ExpectUntouched();
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

TEST_F(Puts, PutsOntoObjectsClipAgainstTheClipRectangleNotTheObject)
{
    ObjectId target = voDraw::CreateObject(16, 15, 2); // 16 x 16
    PaintSurface(objectTable[target].surface, [](int, int) { return std::uint16_t{0x0F0F}; });
    // Larger than the object but inside clipRect: the display refuses it whole.
    EXPECT_EQ(voDraw::PutTo(target, 0, 0, sprite, 0, 0, 32, 32), SurfaceResult::InvalidRect);
    EXPECT_EQ(ObjectPixel(target, 0, 0), 0x0F0Fu);
    EXPECT_EQ(voDraw::PutTo(target, 8, 4, sprite, 1, 1, 9, 9), SurfaceResult::Ok);
    EXPECT_EQ(ObjectPixel(target, 8, 4), Marked(1, 1));
    EXPECT_EQ(ObjectPixel(target, 15, 11), Marked(8, 8));
    EXPECT_EQ(ObjectPixel(target, 7, 4), 0x0F0Fu);
    clipRect = Rect{0, 0, 10, 10};
    voDraw::PutOpaqueTo(target, 0, 0, sprite, 0, 0, 16, 16);
    EXPECT_EQ(ObjectPixel(target, 9, 9), Marked(9, 9));
    EXPECT_EQ(ObjectPixel(target, 10, 0), 0x0F0Fu);
    EXPECT_EQ(ObjectPixel(target, 0, 10), 0x0F0Fu);
}

TEST_F(Puts, FrameBlackensTheOuterRing)
{
    EXPECT_EQ(voDraw::Frame(10, 10, 20, 20), SurfaceResult::Ok);
    // Edges at the int limits are formed wide and fall outside: nothing else is drawn.
    voDraw::Frame(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    voDraw::Frame(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
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
    const std::uint16_t values[] = {0xFFFF, 0xF800, 0x0000, 0x07E0};
    PaintSurface(BackBuffer(), [&values](int x, int) { return values[x % 4]; });
    clipRect = Rect{0, 0, 8, 2};
    EXPECT_EQ(voDraw::FillHalf(-5, 0, 100, 1, 0), 1);
    EXPECT_EQ(voDraw::FillHalf(0, 1, 4, 2, 0x001F), 1);
    // (x, y, the mixed pixel); x = 8 is right of the clip.
    const std::uint32_t expected[2][5] = {{0x7BEF, 0x7800, 0x0000, 0x03E0, 0xFFFF},
                                          {0x7BEF + 0x000F, 0x780F, 0x000F, 0x03EF, 0xFFFF}};
    for (int y = 0; y < 2; ++y)
    {
        for (int i = 0; i < 5; ++i)
        {
            EXPECT_EQ(BackPixel(i < 4 ? i : 8, y), expected[y][i]) << i << "," << y;
        }
    }
    EXPECT_EQ(voDraw::FillHalf(3, 0, 4, 1, 0x07E0), 1);
    EXPECT_EQ(BackPixel(3, 0), 0x01E0u + 0x03E0u); // a 6-bit channel loses its low bit
    // An empty clipped rectangle draws nothing and still succeeds.
    EXPECT_EQ(voDraw::FillHalf(50, 0, 60, 1, 0), 1);
}

TEST(FillHalf, Mixes555PixelsWithTheirOwnHalfMaskAndInversionKeepsTheTopBit)
{
    TempDir folder;
    platform::headless::HeadlessConfig config;
    config.rgb555 = true;
    ASSERT_EQ(StartScreen(config), 1);
    PaintSurface(BackBuffer(), [](int, int) { return std::uint16_t{0x7FFF}; });
    EXPECT_EQ(voDraw::FillHalf(0, 0, 1, 1, 0), 1);
    EXPECT_EQ(BackPixel(0, 0), 0x3DEFu);
    EXPECT_EQ(voDraw::FillHalf(1, 0, 2, 1, 0x7C00), 1);
    EXPECT_EQ(BackPixel(1, 0), 0x3DEFu + 0x3C00u);
    // Inversion flips the 15 bits a 555 pixel has.
    voDraw::InvertRect(1, 0, 2, 1);
    EXPECT_EQ(BackPixel(1, 0), 0x7FFFu ^ (0x3DEFu + 0x3C00u));
}

TEST_F(Puts, InvertRectFlipsEveryBitInsideOnly)
{
    // Not clipped: reaching past the back buffer inverts what lies inside it.
    EXPECT_EQ(voDraw::InvertRect(638, 478, 700, 700), SurfaceResult::Ok);
    voDraw::InvertRect(-5, -5, 1, 1);
    voDraw::InvertRect(30, 30, 20, 20); // turned: nothing
    EXPECT_EQ(BackPixel(639, 479), 0xFFFFu ^ kBackground);
    EXPECT_EQ(BackPixel(0, 0), 0xFFFFu ^ kBackground);
    EXPECT_EQ(BackPixel(1, 0), kBackground);
    EXPECT_EQ(BackPixel(25, 25), kBackground);
}

namespace
{

// Starts a screen and makes a 4 x 4 sprite: black at (0, 0), magenta (its key) at (1, 0),
// the rest marked; the back buffer is kBackground.
ObjectId StretchSource(bool stretch)
{
    platform::headless::HeadlessConfig config;
    config.stretch = stretch;
    EXPECT_EQ(StartScreen(config), 1);
    EXPECT_EQ(stretchSupported, stretch ? 1 : 0);
    ObjectId id = voDraw::CreateObject(4, 3, 2);
    std::uint16_t magenta =
        platform::NativeFromColor(platform::MakeRgb(255, 0, 255), platform::PixelLayout::Rgb565);
    PaintSurface(objectTable[id].surface,
                 [magenta](int x, int y) {
                     return y > 0 || x > 1 ? Marked(x, y) : x == 0 ? std::uint16_t{0} : magenta;
                 });
    voDraw::SetObjectKey(id, platform::MakeRgb(255, 0, 255));
    PaintSurface(BackBuffer(), [](int, int) { return kBackground; });
    return id;
}

// No 16-bit pixel has this value: a key that keys nothing.
constexpr std::uint32_t kNoPixel = 0x10000;

// The 4 x 4 sprite scaled by (sx, sy) at (10, 20): kBackground where key is, else the pixel.
void ExpectStretched(int sx, int sy, std::uint32_t key)
{
    for (int y = 0; y < 4 * sy; ++y)
    {
        for (int x = 0; x < 4 * sx; ++x)
        {
            int px = x / sx;
            int py = y / sy;
            std::uint32_t pixel = SurfacePixel(objectTable[2].surface, px, py);
            ASSERT_EQ(BackPixel(10 + x, 20 + y), pixel == key ? kBackground : pixel)
                << x << "," << y;
        }
    }
    EXPECT_EQ(BackPixel(10 + 4 * sx, 20), kBackground);
    EXPECT_EQ(BackPixel(10, 20 + 4 * sy), kBackground);
}

} // namespace

TEST(PutStretch, DisplayPathScalesKeysOnTheObjectAndIgnoresTheClip)
{
    TempDir folder;
    ObjectId id = StretchSource(true);
    clipRect = Rect{0, 0, 1, 1};
    EXPECT_EQ(voDraw::PutStretch(10, 20, id, 0, 0, 4, 4, 8, 12), SurfaceResult::Ok);
    ExpectStretched(2, 3, SurfacePixel(objectTable[id].surface, 1, 0));
    // Opaque: the key-coloured pixels are copied too.
    PaintSurface(BackBuffer(), [](int, int) { return kBackground; });
    voDraw::PutStretchOpaque(10, 20, id, 0, 0, 4, 4, 8, 12);
    ExpectStretched(2, 3, kNoPixel);
    voDraw::PutStretchOpaque(30, 20, id, 0, 0, 4, 4, 2, 2);
    EXPECT_EQ(BackPixel(30, 20), 0u);
    EXPECT_EQ(BackPixel(31, 21), Marked(2, 2));
    // A destination past the back buffer is refused whole on this path.
    EXPECT_EQ(voDraw::PutStretch(636, 0, id, 0, 0, 4, 4, 8, 8), SurfaceResult::InvalidRect);
    EXPECT_EQ(BackPixel(637, 1), kBackground);
}

TEST(PutStretch, GdiPathKeysOnBlackWhateverTheObjectsKey)
{
    TempDir folder;
    ObjectId id = StretchSource(false);
    EXPECT_EQ(voDraw::PutStretch(10, 20, id, 0, 0, 4, 4, 8, 8), SurfaceResult::Ok);
    ExpectStretched(2, 2, 0);
    // The result goes through a put of Buffer, so this path is clipped.
    clipRect = Rect{0, 0, 12, 480};
    PaintSurface(BackBuffer(), [](int, int) { return kBackground; });
    voDraw::PutStretchOpaque(10, 20, id, 0, 0, 4, 4, 4, 4);
    EXPECT_EQ(BackPixel(10, 20), 0u);
    EXPECT_EQ(BackPixel(11, 20), SurfacePixel(objectTable[id].surface, 1, 0)); // the key colour
    EXPECT_EQ(BackPixel(11, 21), Marked(1, 1));
    EXPECT_EQ(BackPixel(12, 21), kBackground);
}
