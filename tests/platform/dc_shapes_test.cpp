// Shapes through the device context: GDI's exclusive ends and edges, wide pens, the
// alternate fill, the diagonal-cross hatch, Bezier chains.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dc.h"

namespace
{

using platform::Brush;
using platform::BrushStyle;
using platform::ColorRef;
using platform::Pen;
using platform::Point;

constexpr ColorRef kRed = 0x0000FF;
constexpr ColorRef kBlue = 0xFF0000;
constexpr std::uint16_t kWhite565 = 0xFFFF;
constexpr std::uint16_t kRed565 = 0xF800;
constexpr std::uint16_t kBlue565 = 0x001F;

// A white 565 picture with a context on it.
struct Canvas
{
    int width, height;
    std::vector<std::uint16_t> memory;
    platform::DeviceContext* dc = nullptr;

    Canvas(int w, int h) : width(w), height(h), memory(static_cast<std::size_t>(w * h), kWhite565)
    {
        platform::PixelBuffer view{memory.data(), w, h, w * 2, platform::PixelLayout::Rgb565};
        dc = platform::TakeDc(this, view);
    }
    ~Canvas()
    {
        platform::ReleaseDc(dc);
    }
    std::uint16_t At(int x, int y) const
    {
        return memory[static_cast<std::size_t>(y * width + x)];
    }
    int Count(std::uint16_t value) const
    {
        int n = 0;
        for (std::uint16_t p : memory)
        {
            n += p == value ? 1 : 0;
        }
        return n;
    }
};

TEST(DcLine, DiagonalAndSteepLinesStepOnePixelPerRowOrColumn)
{
    Canvas c(20, 20);
    platform::SelectPen(c.dc, Pen{1, kRed});
    platform::MoveTo(c.dc, 2, 2);
    platform::LineTo(c.dc, 12, 12);
    for (int i = 2; i < 12; ++i)
    {
        EXPECT_EQ(c.At(i, i), kRed565);
    }
    EXPECT_EQ(c.At(12, 12), kWhite565);
    platform::MoveTo(c.dc, 15, 0);
    platform::LineTo(c.dc, 17, 19);
    int painted = 0;
    for (int y = 0; y < 20; ++y)
    {
        int row = 0;
        for (int x = 14; x < 20; ++x)
        {
            row += c.At(x, y) == kRed565 ? 1 : 0;
        }
        EXPECT_EQ(row, y < 19 ? 1 : 0) << y;
        painted += row;
    }
    EXPECT_EQ(painted, 19);
}

TEST(DcLine, CoordinatesFarOutsideAreCutQuickly)
{
    Canvas c(32, 8);
    platform::SelectPen(c.dc, Pen{1, kRed});
    platform::MoveTo(c.dc, -2000000000, 3);
    platform::LineTo(c.dc, 2000000000, 3);
    for (int x = 0; x < 32; ++x)
    {
        EXPECT_EQ(c.At(x, 3), kRed565);
    }
    EXPECT_EQ(c.Count(kRed565), 32);
}

TEST(DcLine, ZeroAndNegativePenWidthsDrawOnePixel)
{
    for (int width : {0, -1, -40})
    {
        Canvas c(16, 6);
        platform::SelectPen(c.dc, Pen{width, kRed});
        platform::MoveTo(c.dc, 1, 2);
        platform::LineTo(c.dc, 9, 2);
        EXPECT_EQ(c.Count(kRed565), 8) << width;
    }
}

TEST(DcRectangle, WidePenSpillsBothSidesOfTheRing)
{
    Canvas c(30, 30);
    platform::SelectBrush(c.dc, Brush{BrushStyle::Solid, kBlue});
    platform::SelectPen(c.dc, Pen{3, kRed});
    platform::Rectangle(c.dc, 10, 10, 20, 20);
    EXPECT_EQ(c.At(9, 15), kRed565);
    EXPECT_EQ(c.At(11, 15), kRed565);
    EXPECT_EQ(c.At(12, 15), kBlue565);
    EXPECT_EQ(c.At(20, 15), kRed565);
    EXPECT_EQ(c.At(21, 15), kWhite565);
    EXPECT_EQ(c.At(8, 15), kWhite565);
}

// A triangle with a wide base, for the fill modes.
const Point kTriangle[] = {{2, 2}, {30, 2}, {16, 30}};

TEST(DcPolygon, NullBrushDrawsTheClosedOutlineOnly)
{
    Canvas c(34, 34);
    platform::SelectBrush(c.dc, Brush{BrushStyle::Null, kBlue});
    platform::SelectPen(c.dc, Pen{1, kRed});
    platform::Polygon(c.dc, kTriangle, 3);
    EXPECT_EQ(c.At(16, 10), kWhite565);
    EXPECT_EQ(c.Count(kBlue565), 0);
    // Every corner is painted: the figure is closed.
    EXPECT_EQ(c.At(2, 2), kRed565);
    EXPECT_EQ(c.At(30, 2), kRed565);
    EXPECT_EQ(c.At(16, 30), kRed565);
}

TEST(DcPolygon, AlternateRuleLeavesTheStarsMiddleOpen)
{
    Canvas c(64, 64);
    const Point star[] = {{32, 2}, {50, 60}, {3, 24}, {61, 24}, {14, 60}};
    platform::SelectBrush(c.dc, Brush{BrushStyle::Solid, kBlue});
    platform::SelectPen(c.dc, Pen{1, kRed});
    platform::Polygon(c.dc, star, 5);
    EXPECT_EQ(c.At(32, 36), kWhite565); // the pentagon in the middle is crossed twice
    EXPECT_EQ(c.At(32, 12), kBlue565);  // a point of the star is crossed once
    EXPECT_EQ(c.At(10, 25), kBlue565);
}

TEST(DcPolygon, FillStopsShortOfRightAndBottomWithoutAPen)
{
    Canvas c(20, 20);
    const Point square[] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}};
    platform::SelectBrush(c.dc, Brush{BrushStyle::Solid, kBlue});
    platform::SelectPen(c.dc, Pen{1, kBlue});
    platform::Polygon(c.dc, square, 4);
    // With the outline the square covers 2..12 both ways.
    EXPECT_EQ(c.Count(kBlue565), 11 * 11);
    EXPECT_EQ(c.At(12, 12), kBlue565);
    EXPECT_EQ(c.At(13, 12), kWhite565);
}

TEST(DcPolygon, TooFewPointsOrNoPointsDrawNothing)
{
    Canvas c(10, 10);
    const Point one[] = {{1, 1}};
    platform::Polygon(c.dc, one, 1);
    platform::Polygon(c.dc, nullptr, 4);
    platform::Polygon(c.dc, one, -3);
    EXPECT_EQ(c.Count(kWhite565), 100);
}

TEST(DcBezier, StartsOnTheFirstPointAndReachesTheEnd)
{
    Canvas c(40, 40);
    const Point points[] = {{2, 30}, {8, 2}, {30, 2}, {36, 30}};
    platform::SelectPen(c.dc, Pen{1, kRed});
    ASSERT_TRUE(platform::PolyBezier(c.dc, points, 4));
    EXPECT_EQ(c.At(2, 30), kRed565);
    // The pixel next to the end point is painted; the curve's top lies at y = 9 (3/4 of the
    // way from 30 towards 2).
    bool nearEnd = c.At(36, 29) == kRed565 || c.At(35, 29) == kRed565 || c.At(35, 30) == kRed565;
    EXPECT_TRUE(nearEnd);
    EXPECT_EQ(c.At(19, 9), kRed565);
    for (int x = 0; x < 40; ++x)
    {
        for (int y = 0; y < 9; ++y)
        {
            ASSERT_EQ(c.At(x, y), kWhite565) << x << "," << y;
        }
    }
    // A chain with collinear control points is the straight line.
    Canvas s(40, 8);
    const Point straight[] = {{0, 4}, {10, 4}, {20, 4}, {30, 4}};
    platform::SelectPen(s.dc, Pen{1, kRed});
    platform::PolyBezier(s.dc, straight, 4);
    for (int x = 0; x < 30; ++x)
    {
        EXPECT_EQ(s.At(x, 4), kRed565) << x;
    }
    EXPECT_EQ(s.Count(kRed565), 30);
}

TEST(DcShapes, NullContextDrawsNothingAndDoesNotCrash)
{
    const Point points[] = {{0, 0}, {5, 5}, {9, 0}, {3, 3}};
    platform::MoveTo(nullptr, 1, 1);
    platform::LineTo(nullptr, 5, 5);
    platform::Polygon(nullptr, points, 4);
    platform::Rectangle(nullptr, 0, 0, 5, 5);
    EXPECT_FALSE(platform::PolyBezier(nullptr, points, 4));
    EXPECT_EQ(platform::SelectPen(nullptr, Pen{5, kRed}).width, 1);
}

} // namespace
