// Test support for the drawing core: BMP files written byte by byte, the screen brought up
// in a headless window, and pixels read back from surfaces.
#pragma once

#include <cstdint>
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

// A BMP to write: the header fields a test varies.
struct BmpSpec
{
    int width = 1;
    int height = 1;
    int bits = 24;
    bool topDown = false;
    bool fileHeader = true;
    int headerBytes = 40;                    // 12 (OS/2 core), 40, 108 or 124
    std::uint32_t compression = 0;           // 0 plain, 3 bit fields
    std::uint32_t masks[3] = {0, 0, 0};      // bit fields, red green blue
    std::vector<platform::ColorRef> palette; // 1, 4 and 8 bits
};

inline void Put16(std::string& out, std::size_t at, std::uint32_t value)
{
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

inline void Put32(std::string& out, std::size_t at, std::uint32_t value)
{
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

// Writes the BMP; value(x, y) gives the stored value of the pixel at (x, y) counted from the
// top: a palette index for 1 to 8 bits, the packed value for 16 and 32 bits, a GDI colour
// for 24 bits.
inline std::string BuildBmp(const BmpSpec& spec,
                            const std::function<std::uint32_t(int, int)>& value)
{
    std::size_t stride = ((static_cast<std::size_t>(spec.width) * spec.bits + 31) / 32) * 4;
    bool core = spec.headerBytes == 12;
    std::size_t masksBytes = spec.compression == 3 && spec.headerBytes == 40 ? 12 : 0;
    std::size_t paletteBytes = spec.palette.size() * (core ? 3 : 4);
    std::size_t fileHeader = spec.fileHeader ? 14 : 0;
    std::size_t pixelStart = fileHeader + spec.headerBytes + masksBytes + paletteBytes;
    std::string out(pixelStart + stride * spec.height, '\0');
    if (spec.fileHeader)
    {
        out[0] = 'B';
        out[1] = 'M';
        Put32(out, 2, static_cast<std::uint32_t>(out.size()));
        Put32(out, 10, static_cast<std::uint32_t>(pixelStart));
    }
    std::size_t h = fileHeader;
    Put32(out, h, static_cast<std::uint32_t>(spec.headerBytes));
    if (core)
    {
        Put16(out, h + 4, static_cast<std::uint32_t>(spec.width));
        Put16(out, h + 6, static_cast<std::uint32_t>(spec.height));
        Put16(out, h + 8, 1);
        Put16(out, h + 10, static_cast<std::uint32_t>(spec.bits));
    }
    else
    {
        Put32(out, h + 4, static_cast<std::uint32_t>(spec.width));
        Put32(out, h + 8, static_cast<std::uint32_t>(spec.topDown ? -spec.height : spec.height));
        Put16(out, h + 12, 1);
        Put16(out, h + 14, static_cast<std::uint32_t>(spec.bits));
        Put32(out, h + 16, spec.compression);
        Put32(out, h + 32, static_cast<std::uint32_t>(spec.palette.size()));
        if (spec.compression == 3)
        {
            for (int i = 0; i < 3; ++i)
            {
                Put32(out, h + 40 + 4 * i, spec.masks[i]);
            }
        }
    }
    std::size_t p = h + spec.headerBytes + masksBytes;
    for (platform::ColorRef color : spec.palette)
    {
        out[p] = static_cast<char>((color >> 16) & 0xFF);
        out[p + 1] = static_cast<char>((color >> 8) & 0xFF);
        out[p + 2] = static_cast<char>(color & 0xFF);
        p += core ? 3 : 4;
    }
    for (int y = 0; y < spec.height; ++y)
    {
        int fileRow = spec.topDown ? y : spec.height - 1 - y;
        std::size_t row = pixelStart + stride * fileRow;
        for (int x = 0; x < spec.width; ++x)
        {
            std::uint32_t v = value(x, y);
            switch (spec.bits)
            {
            case 1:
                out[row + x / 8] = static_cast<char>(out[row + x / 8] | ((v & 1) << (7 - x % 8)));
                break;
            case 4:
                out[row + x / 2] =
                    static_cast<char>(out[row + x / 2] | ((v & 15) << (x % 2 == 0 ? 4 : 0)));
                break;
            case 8:
                out[row + x] = static_cast<char>(v);
                break;
            case 16:
                Put16(out, row + 2 * x, v);
                break;
            case 24:
                out[row + 3 * x] = static_cast<char>((v >> 16) & 0xFF);
                out[row + 3 * x + 1] = static_cast<char>((v >> 8) & 0xFF);
                out[row + 3 * x + 2] = static_cast<char>(v & 0xFF);
                break;
            default:
                Put32(out, row + 4 * x, v);
                break;
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

// Starts headless with the program in the test's own folder, makes the 160 x 180 window at
// (100, 50), takes its first messages and sets up the screen. Returns voDraw::Screen's result.
inline int StartScreen(const testing_support::TempDir& folder,
                       platform::headless::HeadlessConfig config = {}, int width = 640,
                       int height = 480, int memoryMode = 1)
{
    config.programPath = folder.File("plonder");
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
    return voDraw::Screen(width, height, memoryMode);
}

// Makes the next frame time exactly ms: the clock moves on by ms from a fresh frame start.
inline void PassTime(std::uint32_t ms)
{
    ResetFrameTimer();
    platform::headless::AdvanceClock(ms);
    MeasureFrameTime();
}

// The native pixel at (x, y) of a surface; 0xDEAD when it cannot be read.
inline std::uint32_t SurfacePixel(platform::Surface* surface, int x, int y)
{
    platform::PixelBuffer pixels;
    if (platform::LockSurface(surface, pixels) != platform::SurfaceResult::Ok)
    {
        return 0xDEAD;
    }
    std::uint32_t value = 0xDEAD;
    if (x >= 0 && y >= 0 && x < pixels.width && y < pixels.height)
    {
        value = pixels.Row(y)[x];
    }
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

} // namespace draw_testing
