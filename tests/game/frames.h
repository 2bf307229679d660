// Reading captured frames the way a player looks at them: which tile each cell shows, what
// the two counters read, whether a region of letter.bmp is on screen. The game's bitmaps are
// decoded here from the BMP files in assets/, independently of the program's loader.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/headless/capture.h"
#include "platform/headless/control.h"
#include "platform/pixels.h"

namespace frames
{

using platform::headless::CapturedFrame;

// The assets folder of this source tree, with a trailing '/'.
inline std::string AssetsFolder()
{
    std::string here = __FILE__;
    std::string folder = here.substr(0, here.rfind('/'));   // tests/game
    folder = folder.substr(0, folder.rfind('/'));           // tests
    folder = folder.substr(0, folder.rfind('/'));           // source root
    return folder + "/assets/";
}

// Headless switches that make the program find its bitmaps in assets/.
inline platform::headless::HeadlessConfig GameConfig()
{
    platform::headless::HeadlessConfig config;
    config.programPath = AssetsFolder() + "plonder";
    return config;
}

// A bitmap as the 16-bit 565 screen stores it.
struct Bitmap
{
    int width = 0, height = 0;
    std::vector<std::uint16_t> pixels;

    std::uint16_t At(int x, int y) const
    {
        return pixels[static_cast<size_t>(y) * width + x];
    }
};

// Decodes an uncompressed 24-bit BMP. An empty bitmap when the file is not one.
inline Bitmap LoadBmp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    auto u32 = [&](size_t at) -> std::uint32_t {
        return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
               (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
    };
    Bitmap out;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' ||
        (bytes[28] | bytes[29] << 8) != 24 || u32(30) != 0)
    {
        return out;
    }
    std::uint32_t offset = u32(10);
    std::int32_t width = static_cast<std::int32_t>(u32(18));
    std::int32_t height = static_cast<std::int32_t>(u32(22));
    bool topDown = height < 0;
    height = topDown ? -height : height;
    if (width <= 0 || width > 4096 || height <= 0 || height > 4096)
    {
        return out;
    }
    size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    if (offset > bytes.size() || (bytes.size() - offset) / rowBytes < static_cast<size_t>(height))
    {
        return out;
    }
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
    {
        size_t row = offset + rowBytes * static_cast<size_t>(topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x)
        {
            const unsigned char* p = &bytes[row + static_cast<size_t>(x) * 3];
            out.pixels[static_cast<size_t>(y) * width + x] = platform::NativeFromColor(
                platform::MakeRgb(p[2], p[1], p[0]), platform::PixelLayout::Rgb565);
        }
    }
    return out;
}

inline const Bitmap& Tiles()
{
    static const Bitmap bitmap = LoadBmp(AssetsFolder() + "tiles.bmp");
    return bitmap;
}

inline const Bitmap& Letters()
{
    static const Bitmap bitmap = LoadBmp(AssetsFolder() + "letter.bmp");
    return bitmap;
}

struct Region
{
    int left, top, right, bottom;
};

// Regions of letter.bmp.
constexpr Region kBanner = {0, 0, 160, 21};
constexpr Region kSecondLine = {0, 21, 66, 36};
constexpr Region kLabel = {110, 52, 133, 68};
constexpr Region kPrompt = {0, 68, 160, 84};
constexpr int kMoveDigitsTop = 36;
constexpr int kBestDigitsTop = 52;
constexpr int kBestX = 28;
constexpr int kMovesX = 110;
constexpr int kStripY = 162;

inline std::uint16_t Pixel(const CapturedFrame& frame, int x, int y)
{
    return frame.pixels[static_cast<size_t>(y) * frame.width + x];
}

// True when the frame shows the bitmap's region at (x, y): every pixel that is not the
// colour key matches exactly. With opaque, keyed pixels must show black (the cleared screen).
inline bool Shows(const CapturedFrame& frame, int x, int y, const Bitmap& bitmap, Region r,
                  bool opaque = false)
{
    for (int j = r.top; j < r.bottom; ++j)
    {
        for (int i = r.left; i < r.right; ++i)
        {
            int fx = x + i - r.left;
            int fy = y + j - r.top;
            if (fx < 0 || fy < 0 || fx >= frame.width || fy >= frame.height)
            {
                continue;
            }
            std::uint16_t source = bitmap.At(i, j);
            if (source == 0 && !opaque)
            {
                continue;
            }
            if (Pixel(frame, fx, fy) != source)
            {
                return false;
            }
        }
    }
    return true;
}

// True when every pixel of the rectangle is black.
inline bool Black(const CapturedFrame& frame, Region r)
{
    for (int y = r.top; y < r.bottom; ++y)
    {
        for (int x = r.left; x < r.right; ++x)
        {
            if (Pixel(frame, x, y) != 0)
            {
                return false;
            }
        }
    }
    return true;
}

inline bool Black(const CapturedFrame& frame)
{
    return Black(frame, Region{0, 0, frame.width, frame.height});
}

inline Region TileRegion(int value)
{
    int left = 32 * ((value - 1) % 5);
    int top = 32 * ((value - 1) / 5);
    return Region{left, top, left + 32, top + 32};
}

// The tile (1 to 25, 25 the empty cell) that cell p shows, or 0 when it shows none of them.
inline int TileAt(const CapturedFrame& frame, int p)
{
    for (int v = 1; v <= 25; ++v)
    {
        if (Shows(frame, 32 * (p % 5), 32 * (p / 5), Tiles(), TileRegion(v), true))
        {
            return v;
        }
    }
    return 0;
}

// The 25 cells as the frame shows them.
inline std::vector<int> Cells(const CapturedFrame& frame)
{
    std::vector<int> cells;
    for (int p = 0; p < 25; ++p)
    {
        cells.push_back(TileAt(frame, p));
    }
    return cells;
}

inline std::vector<int> SolvedCells()
{
    std::vector<int> cells;
    for (int v = 1; v <= 25; ++v)
    {
        cells.push_back(v);
    }
    return cells;
}

// The four places of a counter: a digit, ' ' for an empty (black) place, '?' for anything else.
inline std::string CounterAt(const CapturedFrame& frame, int x, int digitsTop)
{
    std::string text;
    for (int k = 0; k < 4; ++k)
    {
        int px = x + 12 * k;
        char c = '?';
        if (Black(frame, Region{px, kStripY, px + 11, kStripY + 16}))
        {
            c = ' ';
        }
        for (int d = 0; d < 10 && c == '?'; ++d)
        {
            if (Shows(frame, px, kStripY, Letters(),
                      Region{11 * d, digitsTop, 11 * d + 11, digitsTop + 16}, true))
            {
                c = static_cast<char>('0' + d);
            }
        }
        text += c;
    }
    return text;
}

inline std::string Best(const CapturedFrame& frame)
{
    return CounterAt(frame, kBestX, kBestDigitsTop);
}

inline std::string Moves(const CapturedFrame& frame)
{
    return CounterAt(frame, kMovesX, kMoveDigitsTop);
}

inline bool LabelShown(const CapturedFrame& frame)
{
    return Shows(frame, 2, kStripY, Letters(), kLabel, true);
}

inline bool PromptShown(const CapturedFrame& frame)
{
    return Shows(frame, 0, 70, Letters(), kPrompt);
}

// The y at which the cleared banner shows, or -1.
inline int BannerY(const CapturedFrame& frame)
{
    for (int y = 0; y + 21 <= frame.height; ++y)
    {
        if (Shows(frame, 0, y, Letters(), kBanner))
        {
            return y;
        }
    }
    return -1;
}

inline bool SecondLineShown(const CapturedFrame& frame)
{
    return Shows(frame, 47, 80, Letters(), kSecondLine);
}

// A right-aligned counter as the four places show it.
inline std::string Counter(int n)
{
    std::string digits = std::to_string(n);
    return std::string(4 - digits.size(), ' ') + digits;
}

// What the frame shows of the board and the strip, for failure messages.
inline std::string DescribeBoardFrame(const CapturedFrame& frame)
{
    std::ostringstream out;
    out << "cells";
    for (int v : Cells(frame))
    {
        out << ' ' << v;
    }
    out << " | best [" << Best(frame) << "] moves [" << Moves(frame) << "]"
        << (LabelShown(frame) ? " label" : " no-label");
    return out.str();
}

} // namespace frames
