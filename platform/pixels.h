// 16-bit pixel memory as the platform's surfaces and device contexts share it, and the
// colour conversion a 16-bit display applies to GDI colours.
#pragma once

#include <cstdint>

namespace platform
{

enum class PixelLayout
{
    Rgb565,
    Rgb555,
};

// A view of 16-bit pixels: rows of `width` pixels, `pitchBytes` apart.
struct PixelBuffer
{
    std::uint16_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitchBytes = 0;
    PixelLayout layout = PixelLayout::Rgb565;

    std::uint16_t* Row(int y) const
    {
        return reinterpret_cast<std::uint16_t*>(reinterpret_cast<std::uint8_t*>(pixels) +
                                                static_cast<std::intptr_t>(y) * pitchBytes);
    }
};

// A GDI colour, 0x00BBGGRR. kInvalidColor is what reads outside a surface give.
using ColorRef = std::uint32_t;
constexpr ColorRef kInvalidColor = 0xFFFFFFFF;

constexpr ColorRef MakeRgb(int r, int g, int b)
{
    return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// The native pixel a 16-bit display stores for a GDI colour: each channel keeps its top bits.
constexpr std::uint16_t NativeFromColor(ColorRef color, PixelLayout layout)
{
    std::uint32_t r = color & 0xFF;
    std::uint32_t g = (color >> 8) & 0xFF;
    std::uint32_t b = (color >> 16) & 0xFF;
    if (layout == PixelLayout::Rgb565)
    {
        return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    }
    return static_cast<std::uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
}

// The GDI colour a 16-bit display reads back: each channel's stored bits at the top, the low
// bits zero (white reads 248, 252, 248 in 565). Games compare read-back colours with these
// values, and NativeFromColor gives the same pixel back.
constexpr ColorRef ColorFromNative(std::uint16_t pixel, PixelLayout layout)
{
    if (layout == PixelLayout::Rgb565)
    {
        return MakeRgb(((pixel >> 11) & 31) << 3, ((pixel >> 5) & 63) << 2, (pixel & 31) << 3);
    }
    return MakeRgb(((pixel >> 10) & 31) << 3, ((pixel >> 5) & 31) << 3, (pixel & 31) << 3);
}

} // namespace platform
