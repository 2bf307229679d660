// GDI shapes and pixels on the back buffer: exclusive ends and edges, the polygon fill
// modes over a picture, Bezier ends, pixels through the 16-bit conversion, the lent
// context and grabbing into an object.
#include "tests/draw/draw_support.h"

namespace
{

using draw_testing::Picture;
using draw_testing::ReadBackBuffer;

constexpr std::uint16_t kBlack = 0x0000;
constexpr std::uint16_t kWhite = 0xFFFF;
constexpr std::uint16_t kRed = 0xF800;
constexpr std::uint16_t kGreen = 0x07E0;

void StartScreen(int width = 320, int height = 240)
{
    ASSERT_EQ(draw_testing::StartScreen({}, width, height), 1);
}

TEST(GdiLine, OnePixelLineLeavesItsEndPointAndThickLinesAreAsWideAsThePen)
{
    StartScreen();
    voDraw::Line(0, 0, 10, 0, 0x0000FF, 1);
    voDraw::Line(20, 50, 200, 50, 0xFFFFFF, 5);
    voDraw::Line(50, 100, 50, 200, 0xFFFFFF, 4);
    // Widths of 0 and below draw one pixel.
    voDraw::Line(20, 220, 30, 220, 0xFFFFFF, 0);
    voDraw::Line(20, 230, 30, 230, 0xFFFFFF, -7);
    Picture p = ReadBackBuffer();
    EXPECT_EQ(p.CountIn(kRed, 0, 0, 10, 1), 10);
    EXPECT_EQ(p.Count(kRed), 10);
    EXPECT_EQ(p.CountIn(kWhite, 100, 0, 101, 90), 5);
    EXPECT_EQ(p.CountIn(kWhite, 100, 48, 101, 53), 5);
    EXPECT_EQ(p.CountIn(kWhite, 0, 150, 100, 151), 4);
    EXPECT_EQ(p.CountIn(kWhite, 0, 215, 320, 240), 20);
}

TEST(GdiRectangle, FilledWithOutlineAndExclusiveEdges)
{
    StartScreen();
    voDraw::Rectangle(10, 20, 30, 25, 0x00FF00, 0x0000FF, 1);
    Picture p = ReadBackBuffer();
    EXPECT_EQ(p.BoundsOfOther(kBlack).right, 30);
    EXPECT_EQ(p.BoundsOfOther(kBlack).bottom, 25);
    EXPECT_EQ(p.CountIn(kRed, 10, 20, 30, 25), 20 * 5 - 18 * 3);
    EXPECT_EQ(p.CountIn(kGreen, 11, 21, 29, 24), 18 * 3);
    EXPECT_EQ(p.Count(kRed) + p.Count(kGreen), 100);
}

TEST(GdiPolygon, FillModesOverAWhitePicture)
{
    const platform::Point square[] = {{40, 40}, {120, 40}, {120, 120}, {40, 120}};
    StartScreen();
    for (int mode : {0, 1, 2, 9})
    {
        SCOPED_TRACE(mode);
        voDraw::Rectangle(0, 0, 320, 240, 0xFFFFFF, 0xFFFFFF, 1);
        voDraw::Polygon(square, 4, 0x0000FF, 0x000000, 1, mode);
        Picture p = ReadBackBuffer();
        // The outline is red on all four sides.
        EXPECT_EQ(p.At(40, 80), kRed);
        EXPECT_EQ(p.At(120, 80), kRed);
        EXPECT_EQ(p.At(80, 40), kRed);
        EXPECT_EQ(p.At(80, 120), kRed);
        int red = p.CountIn(kRed, 48, 48, 112, 112);
        int black = p.CountIn(kBlack, 48, 48, 112, 112);
        int white = p.CountIn(kWhite, 48, 48, 112, 112);
        if (mode == 0)
        {
            EXPECT_EQ(white, 64 * 64); // outline only
        }
        else
        {
            // The hatch covers a quarter of each 8 x 8 cell; the gaps are black on the
            // opaque modes and keep the white picture on mode 2.
            EXPECT_EQ(red, 64 * 64 / 4);
            EXPECT_EQ(mode == 2 ? white : black, 64 * 64 * 3 / 4);
        }
        EXPECT_EQ(p.At(10, 10), kWhite);
    }
}

TEST(GdiBezier, CurveRunsFromTheFirstPointToTheLast)
{
    StartScreen();
    const platform::Point points[] = {{10, 200},  {60, 20},   {200, 20}, {250, 200},
                                      {270, 230}, {290, 230}, {300, 150}};
    voDraw::Bezier(points, 7, 0xFFFFFF, 1);
    Picture p = ReadBackBuffer();
    EXPECT_EQ(p.At(10, 200), kWhite);
    EXPECT_EQ(p.At(250, 200), kWhite); // the join point lies inside the chain
    // A pixel beside the end point is painted (a line leaves its own end point out).
    EXPECT_GT(p.CountIn(kWhite, 298, 150, 301, 153) - (p.At(300, 150) == kWhite ? 1 : 0), 0);
    // Counts that are not 3n + 1 draw nothing.
    voDraw::Clear();
    voDraw::Bezier(points, 6, 0xFFFFFF, 1);
    voDraw::Bezier(points, 3, 0xFFFFFF, 1);
    voDraw::Bezier(nullptr, 4, 0xFFFFFF, 1);
    EXPECT_EQ(ReadBackBuffer().Count(kBlack), 320 * 240);
}

TEST(GdiPixel, SetThenGetAndReadsOutsideTheBackBufferGiveAllChannels255)
{
    StartScreen();
    voDraw::SetPixel(5, 6, platform::MakeRgb(0x12, 0x34, 0xFE));
    int r = 0, g = 0, b = 0;
    voDraw::GetPixel(5, 6, r, g, b);
    EXPECT_EQ(r, 0x10);
    EXPECT_EQ(g, 0x34);
    EXPECT_EQ(b, 0xF8);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {320, 5}, {5, 240}})
    {
        voDraw::GetPixel(x, y, r, g, b);
        EXPECT_EQ(r + g + b, 3 * 255);
    }
    voDraw::Clear();
    voDraw::SetPixel(320, 0, 0xFFFFFF);
    voDraw::SetPixel(-1, 0, 0xFFFFFF);
    EXPECT_EQ(ReadBackBuffer().Count(kBlack), 320 * 240);
}

TEST(GdiGrab, RectangleOfTheBackBufferFillsTheObjectAndLostSurfacesAreRestored)
{
    StartScreen();
    for (int y = 0; y < 240; ++y)
    {
        voDraw::Line(0, y, 320, y, platform::MakeRgb(y, 255 - y, (y * 7) & 0xFF), 1);
    }
    ObjectId id = voDraw::CreateObject(32, 32, 1);
    ASSERT_NE(id, 0);
    voDraw::GrabRect(id, 16, 16, 48, 48);
    Picture object = draw_testing::ReadSurface(objectTable[id].surface);
    Picture back = ReadBackBuffer();
    for (int y = 0; y < 32; ++y)
    {
        for (int x = 0; x < 32; ++x)
        {
            ASSERT_EQ(object.At(x, y), back.At(16 + x, 16 + y)) << x << "," << y;
        }
    }
    voDraw::GrabRect(kObjectCount, 0, 0, 8, 8); // ignored
    // A grab that finds the surfaces lost restores them for the next one.
    platform::LoseAllSurfaces();
    voDraw::GrabRect(id, 0, 0, 32, 32);
    EXPECT_FALSE(platform::IsSurfaceLost(BackBuffer()));
    EXPECT_FALSE(platform::IsSurfaceLost(objectTable[id].surface));
    voDraw::Line(0, 5, 32, 5, 0xFFFFFF, 1);
    voDraw::GrabRect(id, 0, 0, 32, 32);
    EXPECT_EQ(draw_testing::ReadSurface(objectTable[id].surface).CountIn(kWhite, 0, 5, 32, 6), 32);
}

} // namespace
