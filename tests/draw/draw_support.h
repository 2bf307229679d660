// Test support for the drawing core: BMP files written byte by byte, the screen brought up in
// a headless window, and pixels read back from surfaces.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app.h"
#include "draw/draw.h"
#include "platform/cp932.h"
#include "platform/pixels.h"
#include "platform/surface.h"
#include "system/system.h"
#include "tests/support/headless.h"

namespace draw_testing
{

using platform::headless::HeadlessConfig;

// A BMP to write: the header fields a test varies.
struct BmpSpec
{
    int width = 1;
    int height = 1;
    int bits = 24;
    bool topDown = false;
    bool fileHeader = true;
    int headerBytes = 40;                    // 40 or 108
    std::uint32_t compression = 0;           // 0 plain, 3 bit fields
    std::uint32_t masks[3] = {0, 0, 0};      // bit fields, red green blue
    std::vector<platform::ColorRef> palette; // 1, 4 and 8 bits
};

// Writes value's low `bytes` bytes at `at`, least significant first, as BMP fields are.
inline void PutLe(std::string& out, std::size_t at, std::uint32_t value, int bytes)
{
    for (int b = 0; b < bytes; ++b)
    {
        out[at + b] = static_cast<char>((value >> (8 * b)) & 0xFF);
    }
}

// A GDI colour (0x00BBGGRR) in the BMP's blue, green, red byte order.
inline std::uint32_t Bgr(platform::ColorRef color)
{
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

// Writes the BMP; value(x, y) gives the stored value of the pixel at (x, y) counted from the
// top: a palette index for 1 to 8 bits, the packed value for 16 and 32 bits, a GDI colour
// for 24 bits.
inline std::string BuildBmp(const BmpSpec& spec,
                            const std::function<std::uint32_t(int, int)>& value)
{
    std::size_t stride = ((static_cast<std::size_t>(spec.width) * spec.bits + 31) / 32) * 4;
    std::size_t masksBytes = spec.compression == 3 && spec.headerBytes == 40 ? 12 : 0;
    std::size_t fileHeader = spec.fileHeader ? 14 : 0;
    std::size_t pixelStart = fileHeader + spec.headerBytes + masksBytes + spec.palette.size() * 4;
    std::string out(pixelStart + stride * spec.height, '\0');
    if (spec.fileHeader)
    {
        PutLe(out, 0, 'B' | ('M' << 8), 2);
        PutLe(out, 2, static_cast<std::uint32_t>(out.size()), 4);
        PutLe(out, 10, static_cast<std::uint32_t>(pixelStart), 4);
    }
    std::size_t h = fileHeader;
    PutLe(out, h, static_cast<std::uint32_t>(spec.headerBytes), 4);
    PutLe(out, h + 4, static_cast<std::uint32_t>(spec.width), 4);
    PutLe(out, h + 8, static_cast<std::uint32_t>(spec.topDown ? -spec.height : spec.height), 4);
    PutLe(out, h + 12, 1, 2);
    PutLe(out, h + 14, static_cast<std::uint32_t>(spec.bits), 2);
    PutLe(out, h + 16, spec.compression, 4);
    PutLe(out, h + 32, static_cast<std::uint32_t>(spec.palette.size()), 4);
    for (int i = 0; i < 3 && spec.compression == 3; ++i)
    {
        PutLe(out, h + 40 + 4 * i, spec.masks[i], 4);
    }
    std::size_t p = h + spec.headerBytes + masksBytes;
    for (platform::ColorRef color : spec.palette)
    {
        PutLe(out, p, Bgr(color), 3);
        p += 4;
    }
    for (int y = 0; y < spec.height; ++y)
    {
        std::size_t row = pixelStart + stride * (spec.topDown ? y : spec.height - 1 - y);
        for (int x = 0; x < spec.width; ++x)
        {
            std::uint32_t v = value(x, y);
            if (spec.bits < 8)
            {
                // Packed from the high bits of each byte down.
                int perByte = 8 / spec.bits;
                int shift = spec.bits * (perByte - 1 - x % perByte);
                out[row + x / perByte] = static_cast<char>(out[row + x / perByte] | (v << shift));
            }
            else
            {
                PutLe(out, row + spec.bits / 8 * x, spec.bits == 24 ? Bgr(v) : v, spec.bits / 8);
            }
        }
    }
    return out;
}

// A 24-bit bottom-up BMP of GDI colours.
inline std::string Bmp24(int width, int height,
                         const std::function<platform::ColorRef(int, int)>& color)
{
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    return BuildBmp(spec, color);
}

// Starts headless with the program in the current folder (a test's TempDir makes that its
// own), opens the 160 x 180 window at (100, 50) and takes its first messages.
inline void StartWindow(HeadlessConfig config = {})
{
    if (config.programPath.empty())
    {
        config.programPath = (std::filesystem::current_path() / "plonder").string();
    }
    testing_support::StartHeadless(config);
    platform::RegisterWindowClass(MainWindowProc);
    fullScreen = 0;
    clientWidth = 160;
    clientHeight = 180;
    mainWindow = platform::CreateMainWindow("Plonder", 100, 50, 160, 180);
    platform::Message message;
    while (platform::PeekMessage(message))
    {
        platform::DispatchMessage(message);
    }
}

// The window, then a width x height screen. Returns voDraw::Screen's result.
inline int StartScreen(const HeadlessConfig& config = {}, int width = 640, int height = 480)
{
    StartWindow(config);
    return voDraw::Screen(width, height, 1);
}

// Makes the next frame time exactly ms: the clock moves on by ms from a fresh frame start.
inline void PassTime(std::uint32_t ms)
{
    ResetFrameTimer();
    platform::headless::AdvanceClock(ms);
    MeasureFrameTime();
}

// Sets every pixel of a surface from f(x, y).
inline void PaintSurface(platform::Surface* surface,
                         const std::function<std::uint16_t(int, int)>& f)
{
    platform::PixelBuffer pixels;
    ASSERT_EQ(platform::LockSurface(surface, pixels), platform::SurfaceResult::Ok);
    for (int y = 0; y < pixels.height; ++y)
    {
        for (int x = 0; x < pixels.width; ++x)
        {
            pixels.Row(y)[x] = f(x, y);
        }
    }
    platform::UnlockSurface(surface);
}

// A surface's pixels, row by row without padding.
struct Picture
{
    int width = 0, height = 0;
    std::vector<std::uint16_t> pixels;

    std::uint16_t At(int x, int y) const
    {
        return pixels[static_cast<std::size_t>(y * width + x)];
    }
    // Pixels equal to value inside (l, t, r, b).
    int CountIn(std::uint16_t value, int l, int t, int r, int b) const
    {
        int n = 0;
        for (int y = t; y < b; ++y)
        {
            for (int x = l; x < r; ++x)
            {
                n += At(x, y) == value ? 1 : 0;
            }
        }
        return n;
    }
    int Count(std::uint16_t value) const
    {
        return CountIn(value, 0, 0, width, height);
    }
    // The smallest box holding every pixel that is not value; all zero when there is none.
    Rect BoundsOfOther(std::uint16_t value) const
    {
        Rect box{width, height, 0, 0};
        for (int y = 0; y < height; ++y)
        {
            for (int x = 0; x < width; ++x)
            {
                if (At(x, y) != value)
                {
                    box = Rect{std::min(box.left, x), std::min(box.top, y),
                               std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
                }
            }
        }
        return box.right == 0 ? Rect{0, 0, 0, 0} : box;
    }
};

inline Picture ReadSurface(platform::Surface* surface)
{
    Picture picture;
    platform::PixelBuffer view;
    if (surface == nullptr || platform::LockSurface(surface, view) != platform::SurfaceResult::Ok)
    {
        ADD_FAILURE() << "the surface cannot be locked";
        return picture;
    }
    picture.width = view.width;
    picture.height = view.height;
    for (int y = 0; y < view.height; ++y)
    {
        picture.pixels.insert(picture.pixels.end(), view.Row(y), view.Row(y) + view.width);
    }
    platform::UnlockSurface(surface);
    return picture;
}

inline Picture ReadBackBuffer()
{
    return ReadSurface(BackBuffer());
}

// The native pixel at (x, y) of a surface, read in place.
inline std::uint32_t SurfacePixel(platform::Surface* surface, int x, int y)
{
    platform::PixelBuffer pixels;
    if (platform::LockSurface(surface, pixels) != platform::SurfaceResult::Ok)
    {
        ADD_FAILURE() << "the surface cannot be locked";
        return 0xDEAD;
    }
    std::uint32_t value = pixels.Row(y)[x];
    platform::UnlockSurface(surface);
    return value;
}

inline std::uint32_t BackPixel(int x, int y)
{
    return SurfacePixel(BackBuffer(), x, y);
}

inline std::uint32_t ObjectPixel(ObjectId id, int x, int y)
{
    return SurfacePixel(objectTable[id].surface, x, y);
}

// The texts of the message boxes shown so far, as UTF-8.
inline std::vector<std::string> BoxTexts()
{
    std::vector<std::string> texts;
    for (const auto& box : platform::headless::MessageBoxes())
    {
        texts.push_back(platform::Cp932ToUtf8(box.text));
    }
    return texts;
}

constexpr std::uint16_t kBackground = 0x1234;

// Object pixels that name their position, never 0 (the key).
inline std::uint16_t Marked(int x, int y)
{
    return static_cast<std::uint16_t>(0x8000 | (y << 7) | x);
}

// A 640 x 480 screen filled with kBackground, and object 2, 32 x 64, of Marked pixels.
class SpriteTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(StartScreen(), 1);
        sprite = voDraw::CreateObject(32, 63, 2);
        ASSERT_EQ(sprite, 2);
        PaintSurface(objectTable[sprite].surface, Marked);
        ClearBack();
    }
    void ClearBack()
    {
        PaintSurface(BackBuffer(), [](int, int) { return kBackground; });
    }

    testing_support::TempDir folder;
    ObjectId sprite = 0;
};

} // namespace draw_testing
