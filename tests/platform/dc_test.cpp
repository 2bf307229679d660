// The device context: one per surface, pixels through the 16-bit colour conversion, inversion.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dc.h"

namespace
{

using platform::ColorRef;
using platform::kInvalidColor;
using platform::MakeRgb;
using platform::PixelBuffer;
using platform::PixelLayout;

// A small surface whose rows are padded, so that pitch differs from width.
struct TestSurface
{
    std::vector<std::uint16_t> memory;
    PixelBuffer view;

    TestSurface(int width, int height, PixelLayout layout = PixelLayout::Rgb565)
        : memory(static_cast<std::size_t>((width + 3) * height), 0x1234)
    {
        view.pixels = memory.data();
        view.width = width;
        view.height = height;
        view.pitchBytes = (width + 3) * 2;
        view.layout = layout;
    }
    std::uint16_t At(int x, int y) const
    {
        return memory[static_cast<std::size_t>(y * (view.width + 3) + x)];
    }
};

TEST(DeviceContext, OneContextPerSurfaceUntilReleased)
{
    TestSurface a(8, 8), b(8, 8);
    platform::DeviceContext* first = platform::TakeDc(&a, a.view);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(platform::TakeDc(&a, a.view), nullptr);
    platform::DeviceContext* other = platform::TakeDc(&b, b.view);
    EXPECT_NE(other, nullptr);
    platform::ReleaseDc(first);
    EXPECT_FALSE(platform::HasDc(&a));
    platform::DeviceContext* again = platform::TakeDc(&a, a.view);
    EXPECT_NE(again, nullptr);
    platform::ReleaseDc(again);
    platform::ReleaseDc(other);
    platform::ReleaseDc(nullptr);
    EXPECT_FALSE(platform::HasDc(&b));
}

TEST(DeviceContext, RefusesEmptyPixels)
{
    TestSurface a(8, 8);
    PixelBuffer empty = a.view;
    empty.width = 0;
    EXPECT_EQ(platform::TakeDc(&a, empty), nullptr);
    EXPECT_EQ(platform::TakeDc(nullptr, a.view), nullptr);
    PixelBuffer noMemory = a.view;
    noMemory.pixels = nullptr;
    EXPECT_EQ(platform::TakeDc(&a, noMemory), nullptr);
}

TEST(DeviceContextPixels, SetThenGetKeepsWhatSixteenBitsHold)
{
    for (PixelLayout layout : {PixelLayout::Rgb565, PixelLayout::Rgb555})
    {
        TestSurface s(4, 4, layout);
        platform::DeviceContext* dc = platform::TakeDc(&s, s.view);
        ASSERT_NE(dc, nullptr);
        ColorRef stored = platform::SetPixel(dc, 2, 3, MakeRgb(0x13, 0x47, 0xF9));
        ColorRef read = platform::GetPixel(dc, 2, 3);
        EXPECT_EQ(stored, read);
        // Low bits of each channel are lost: 0x13 keeps 0x10, widened by its top bits.
        EXPECT_EQ(read & 0xFF, 0x10u | (0x10u >> 5));
        EXPECT_EQ((read >> 16) & 0xFF, 0xF8u | (0xF8u >> 5));
        if (layout == PixelLayout::Rgb565)
        {
            EXPECT_EQ(s.At(2, 3), (2 << 11) | (17 << 5) | 31);
            EXPECT_EQ((read >> 8) & 0xFF, 0x44u | (0x44u >> 6));
        }
        else
        {
            EXPECT_EQ(s.At(2, 3), (2 << 10) | (8 << 5) | 31);
        }
        // White and black survive the round trip.
        platform::SetPixel(dc, 0, 0, 0xFFFFFF);
        EXPECT_EQ(platform::GetPixel(dc, 0, 0), 0xFFFFFFu);
        platform::SetPixel(dc, 1, 0, 0);
        EXPECT_EQ(platform::GetPixel(dc, 1, 0), 0u);
        platform::ReleaseDc(dc);
    }
}

TEST(DeviceContextPixels, OutsideReadsInvalidAndWritesNothing)
{
    TestSurface s(4, 4);
    platform::DeviceContext* dc = platform::TakeDc(&s, s.view);
    ASSERT_NE(dc, nullptr);
    std::vector<std::uint16_t> before = s.memory;
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {4, 0}, {0, 4}, {100000, 100000}})
    {
        EXPECT_EQ(platform::GetPixel(dc, x, y), kInvalidColor);
        EXPECT_EQ(platform::SetPixel(dc, x, y, 0), kInvalidColor);
    }
    // The padding past each row's width belongs to nobody and stays as it was.
    EXPECT_EQ(s.memory, before);
    EXPECT_EQ(platform::GetPixel(nullptr, 0, 0), kInvalidColor);
    platform::ReleaseDc(dc);
}

TEST(DeviceContextInvert, InvertsInsideTheCutRectangleOnly)
{
    TestSurface s(6, 5, PixelLayout::Rgb555);
    platform::DeviceContext* dc = platform::TakeDc(&s, s.view);
    ASSERT_NE(dc, nullptr);
    platform::InvertRect(dc, -2, 1, 3, 99);
    for (int y = 0; y < 5; ++y)
    {
        for (int x = 0; x < 6; ++x)
        {
            bool inside = x < 3 && y >= 1;
            EXPECT_EQ(s.At(x, y), inside ? (0x1234 ^ 0x7FFF) : 0x1234) << x << "," << y;
        }
    }
    // Inverting twice gives the picture back; an empty or turned rectangle does nothing.
    platform::InvertRect(dc, -2, 1, 3, 99);
    platform::InvertRect(dc, 4, 4, 2, 2);
    platform::InvertRect(dc, 3, 3, 3, 4);
    for (int y = 0; y < 5; ++y)
    {
        for (int x = 0; x < 6; ++x)
        {
            EXPECT_EQ(s.At(x, y), 0x1234);
        }
    }
    platform::ReleaseDc(dc);
}

} // namespace
