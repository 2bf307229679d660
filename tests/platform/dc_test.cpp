// The device context: one per surface, pixels through the 16-bit colour conversion, the
// alternate fill, edge ownership and span ends, lines cut at the right edge, and shapes on no
// context; the other shapes are tested through voDraw.
#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dc.h"
#include "platform/raster.h"

namespace
{

using platform::MakeRgb;
using platform::Pen;
using platform::PixelLayout;
using platform::Point;
namespace raster = platform::raster;

constexpr platform::ColorRef kRed = 0x0000FF;
constexpr std::uint16_t kWhite565 = 0xFFFF;

// A picture filled with one value, its rows padded so that pitch differs from width, with a
// context on it.
struct Canvas
{
    int width, height;
    std::vector<std::uint16_t> memory;
    platform::PixelBuffer view;
    platform::DeviceContext* dc = nullptr;

    Canvas(int w, int h, std::uint16_t fill = kWhite565, PixelLayout layout = PixelLayout::Rgb565)
        : width(w), height(h),
          memory(static_cast<std::size_t>((w + 3) * h), fill), view{memory.data(), w, h,
                                                                    (w + 3) * 2, layout}
    {
        dc = platform::TakeDc(this, view);
    }
    ~Canvas()
    {
        platform::ReleaseDc(dc);
    }
    std::uint16_t At(int x, int y) const
    {
        return memory[static_cast<std::size_t>(y * (width + 3) + x)];
    }
};

TEST(DeviceContext, OneContextPerSurfaceUntilReleased)
{
    Canvas a(8, 8), b(8, 8);
    ASSERT_NE(a.dc, nullptr);
    ASSERT_NE(b.dc, nullptr);
    EXPECT_EQ(platform::TakeDc(&a, a.view), nullptr);
    platform::ReleaseDc(a.dc);
    EXPECT_FALSE(platform::HasDc(&a));
    a.dc = platform::TakeDc(&a, a.view);
    EXPECT_NE(a.dc, nullptr);
    platform::ReleaseDc(nullptr);
    EXPECT_TRUE(platform::HasDc(&b));
    // Empty pixels or no owner get no context.
    platform::PixelBuffer empty = a.view;
    empty.width = 0;
    EXPECT_EQ(platform::TakeDc(&empty, empty), nullptr);
    EXPECT_EQ(platform::TakeDc(nullptr, a.view), nullptr);
    platform::PixelBuffer noMemory = a.view;
    noMemory.pixels = nullptr;
    EXPECT_EQ(platform::TakeDc(&noMemory, noMemory), nullptr);
}

TEST(DeviceContextPixels, SetThenGetKeepsWhatSixteenBitsHoldAndOutsideIsInvalid)
{
    for (PixelLayout layout : {PixelLayout::Rgb565, PixelLayout::Rgb555})
    {
        Canvas s(4, 4, 0x1234, layout);
        // Every channel value: the stored bits come back at the top, the low bits zero.
        std::uint32_t greenMask = layout == PixelLayout::Rgb565 ? 0xFC : 0xF8;
        for (std::uint32_t v = 0; v < 256; ++v)
        {
            std::uint32_t r = v, g = 255 - v, b = v ^ 0x5A;
            platform::ColorRef stored = platform::SetPixel(s.dc, 2, 3, MakeRgb(r, g, b));
            ASSERT_EQ(platform::GetPixel(s.dc, 2, 3), stored);
            ASSERT_EQ(stored, MakeRgb(r & 0xF8, g & greenMask, b & 0xF8)) << v;
        }
        EXPECT_EQ(platform::SetPixel(s.dc, 2, 3, 0xFFFFFF),
                  layout == PixelLayout::Rgb565 ? MakeRgb(248, 252, 248) : MakeRgb(248, 248, 248));
        platform::SetPixel(s.dc, 2, 3, MakeRgb(0x13, 0x47, 0xF9));
        EXPECT_EQ(s.At(2, 3), layout == PixelLayout::Rgb565 ? (2 << 11) | (17 << 5) | 31
                                                            : (2 << 10) | (8 << 5) | 31);
        // Outside reads the invalid colour and writes nothing, not even into the padding
        // past each row's width.
        std::vector<std::uint16_t> before = s.memory;
        for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {4, 0}, {0, 4}, {100000, 100000}})
        {
            EXPECT_EQ(platform::GetPixel(s.dc, x, y), platform::kInvalidColor);
            EXPECT_EQ(platform::SetPixel(s.dc, x, y, 0), platform::kInvalidColor);
        }
        EXPECT_EQ(s.memory, before);
    }
    EXPECT_EQ(platform::GetPixel(nullptr, 0, 0), platform::kInvalidColor);
}

TEST(DcPolygon, AlternateFillLeavesTheStarsMiddleOpen)
{
    Canvas c(64, 64);
    platform::SelectBrush(c.dc, platform::Brush{platform::BrushStyle::Solid, kRed});
    platform::SelectPen(c.dc, Pen{1, kRed});
    const Point star[] = {{32, 2}, {50, 60}, {3, 24}, {61, 24}, {14, 60}};
    platform::Polygon(c.dc, star, 5);
    EXPECT_EQ(c.At(32, 36), kWhite565); // the pentagon in the middle is crossed twice
    EXPECT_EQ(c.At(32, 12), 0xF800);    // a point of the star is crossed once
    EXPECT_EQ(c.At(10, 25), 0xF800);
}

// Every pixel of a padded canvas, padding included, against a reference of what is painted.
template <typename Painted>
void ExpectCanvas(const Canvas& c, std::uint16_t fill, std::uint16_t ink, Painted painted)
{
    for (int y = 0; y < c.height; ++y)
    {
        for (int x = 0; x < c.width + 3; ++x)
        {
            ASSERT_EQ(c.At(x, y), x < c.width && painted(x, y) ? ink : fill) << x << "," << y;
        }
    }
}

TEST(DcPolygon, ADiamondsSideVertexRowIsFilledAndSpansEndBeforeTheRightCrossing)
{
    // Rows 2 to 17; a row y is crossed at 10 - h and 10 + h (h = the distance from the nearer
    // of rows 2 and 18) and filled from the left crossing up to, not including, the right.
    // Row 10 is where the upper side edges end and the lower ones start.
    Canvas c(24, 20);
    raster::Paint paint;
    paint.color = 0xF800;
    const raster::PointF diamond[] = {{10, 2}, {18, 10}, {10, 18}, {2, 10}};
    raster::FillPolygon(raster::WholeTarget(c.view), diamond, paint);
    ExpectCanvas(c, kWhite565, 0xF800,
                 [](int x, int y)
                 {
                     int h = std::min(y - 2, 18 - y);
                     return y >= 2 && y < 18 && x >= 10 - h && x < 10 + h;
                 });
}

TEST(DcLine, OnePixelLinesPastTheRightEdgeStopAtTheLastColumn)
{
    struct Case
    {
        int x0, y0, x1, y1;
        bool (*painted)(int x, int y);
    } cases[] = {
        {60, 5, 100, 5, [](int x, int y) { return y == 5 && x >= 60; }},
        {100, 5, 50, 5, [](int x, int y) { return y == 5 && x > 50; }},
        {60, 2, 70, 12, [](int x, int y) { return x >= 60 && x - 60 == y - 2; }},
        {0, 7, 1000000, 7, [](int, int y) { return y == 7; }},
    };
    for (const Case& k : cases)
    {
        Canvas c(64, 16);
        platform::SelectPen(c.dc, Pen{1, kRed});
        platform::MoveTo(c.dc, k.x0, k.y0);
        platform::LineTo(c.dc, k.x1, k.y1);
        SCOPED_TRACE(k.x0);
        ExpectCanvas(c, kWhite565, 0xF800, k.painted);
    }
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
