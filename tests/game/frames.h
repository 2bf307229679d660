// The game run headless, and its captured frames read the way a player looks at them: which
// tile each cell shows, what the two counters read, whether a region of letter.bmp is on
// screen.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/headless/capture.h"
#include "platform/headless/control.h"
#include "platform/pixels.h"
#include "tests/support/headless.h"

namespace frames
{

using platform::headless::CapturedFrame;

// The assets folder of this source tree, with a trailing '/'. The build names the tree, since
// __FILE__ may be relative (compiler caches rewrite it) and tests run in folders of their own.
inline std::string AssetsFolder()
{
    return std::string(PLONDER_SOURCE_DIR) + "/assets/";
}

// Space down at frame 3 reaches the game as a press on frame 4: frame 5 is the set-up and
// frame 6 the first frame of play.
constexpr const char* kStart = "3 key Space down\n6 key Space up\n";

// The frame the program presented as its n-th; a failure and an empty frame when none.
inline const CapturedFrame& Frame(int n)
{
    for (const CapturedFrame& frame : platform::headless::CapturedFrames())
    {
        if (frame.frame == n)
        {
            return frame;
        }
    }
    ADD_FAILURE() << "frame " << n << " was not presented";
    static const CapturedFrame none{};
    return none;
}

// A bitmap of assets/ as the 16-bit 565 screen stores it. The platform's BMP reader decodes
// it; its own tests check it against hand-made files.
struct Bitmap
{
    int width = 0;
    std::vector<std::uint16_t> pixels;
};

inline Bitmap LoadAsset(const char* name)
{
    platform::Bitmap decoded;
    platform::LoadBitmapFile(AssetsFolder(), name, decoded);
    Bitmap out{decoded.width, {}};
    for (platform::ColorRef colour : decoded.pixels)
    {
        out.pixels.push_back(platform::NativeFromColor(colour, platform::PixelLayout::Rgb565));
    }
    return out;
}

inline const Bitmap& Tiles()
{
    static const Bitmap bitmap = LoadAsset("tiles.bmp");
    return bitmap;
}

inline const Bitmap& Letters()
{
    static const Bitmap bitmap = LoadAsset("letter.bmp");
    return bitmap;
}

// Runs the program with its bitmaps from assets/ for at most frames frames of the script.
inline int RunGame(int frames, const std::string& script)
{
    EXPECT_EQ(Letters().width * Tiles().width, 160 * 160) << "cannot read " << AssetsFolder();
    platform::headless::HeadlessConfig config;
    config.programPath = AssetsFolder() + "plonder";
    return testing_support::RunProgram(frames, script, config);
}

struct Region
{
    int left, top, right, bottom;
};

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
            std::uint16_t source = bitmap.pixels[static_cast<size_t>(j) * bitmap.width + i];
            if (fx < 0 || fy < 0 || fx >= frame.width || fy >= frame.height ||
                (source == 0 && !opaque))
            {
                continue;
            }
            if (frame.pixels[static_cast<size_t>(fy) * frame.width + fx] != source)
            {
                return false;
            }
        }
    }
    return true;
}

// True when every pixel of the rectangle (the whole frame by default) is black.
inline bool Black(const CapturedFrame& frame, Region r = {0, 0, -1, -1})
{
    for (int y = r.top; y < (r.bottom < 0 ? frame.height : r.bottom); ++y)
    {
        for (int x = r.left; x < (r.right < 0 ? frame.width : r.right); ++x)
        {
            if (frame.pixels[static_cast<size_t>(y) * frame.width + x] != 0)
            {
                return false;
            }
        }
    }
    return !frame.pixels.empty();
}

// True when cell p shows tile value (1 to 25, 25 the empty cell) of tiles.bmp's 5 x 5 grid.
inline bool TileShown(const CapturedFrame& frame, int p, int value)
{
    int left = 32 * ((value - 1) % 5);
    int top = 32 * ((value - 1) / 5);
    return Shows(frame, 32 * (p % 5), 32 * (p / 5), Tiles(), {left, top, left + 32, top + 32},
                 true);
}

// The 25 cells as the frame shows them, 0 for a cell that shows no tile.
inline std::vector<int> Cells(const CapturedFrame& frame)
{
    std::vector<int> cells(25, 0);
    for (int p = 0; p < 25; ++p)
    {
        for (int v = 1; v <= 25 && cells[p] == 0; ++v)
        {
            cells[p] = TileShown(frame, p, v) ? v : 0;
        }
    }
    return cells;
}

// True when the cells of the rows that nothing covers show exactly these tiles.
inline bool CellsShow(const CapturedFrame& frame, const std::vector<int>& cells,
                      int coveredTop = -1, int coveredBottom = -1)
{
    for (int p = 0; p < 25; ++p)
    {
        int top = 32 * (p / 5);
        bool covered = top < coveredBottom && top + 32 > coveredTop;
        if (!covered && !TileShown(frame, p, cells[p]))
        {
            return false;
        }
    }
    return true;
}

inline std::vector<int> SolvedCells()
{
    std::vector<int> cells(25);
    std::iota(cells.begin(), cells.end(), 1);
    return cells;
}

// The four places of a counter drawn at x on the strip with the 11 x 16 digit glyphs of
// letter.bmp's row at glyphTop: a digit, ' ' for an empty (black) place, '?' for anything else.
inline std::string CounterAt(const CapturedFrame& frame, int x, int glyphTop)
{
    std::string text;
    for (int px = x; px < x + 48; px += 12)
    {
        char c = Black(frame, {px, 162, px + 11, 178}) ? ' ' : '?';
        for (int d = 0; d < 10 && c == '?'; ++d)
        {
            if (Shows(frame, px, 162, Letters(), {11 * d, glyphTop, 11 * d + 11, glyphTop + 16},
                      true))
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
    return CounterAt(frame, 28, 52);
}

inline std::string Moves(const CapturedFrame& frame)
{
    return CounterAt(frame, 110, 36);
}

inline bool PromptShown(const CapturedFrame& frame)
{
    return Shows(frame, 0, 70, Letters(), {0, 68, 160, 84});
}

// The y at which the cleared banner shows, or -1.
inline int BannerY(const CapturedFrame& frame)
{
    for (int y = 0; y + 21 <= frame.height; ++y)
    {
        if (Shows(frame, 0, y, Letters(), {0, 0, 160, 21}))
        {
            return y;
        }
    }
    return -1;
}

} // namespace frames
