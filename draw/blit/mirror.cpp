// Mirrored and smeared copies (software blitters) and the row-wise puts that draw a rectangle
// one row at a time through voDraw::Put and voDraw::PutOpaque.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "draw/blit/blit_internal.h"
#include "system/system.h"

float drumPhase = 0.0f;

namespace
{

constexpr double kTurn = 2.0 * 3.14159265358979323846;

// The source rectangle cut to the object, the destination moving with the cut; no clipping
// (the puts it is handed to clip for themselves). drawn is false when nothing is left.
BlitPlacement CutToObject(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight,
                          int srcBottom)
{
    const Rect unbounded{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    return PlaceBlit(x, y, id, srcLeft, srcTop, srcRight, srcBottom, unbounded);
}

// position as an unsigned number limited to the last of count places (count > 0).
std::int64_t LimitPosition(int position, std::int64_t count)
{
    return std::min<std::int64_t>(static_cast<std::uint32_t>(position), count - 1);
}

} // namespace

namespace voDraw
{

int PutFlip(int x, int y, int mode, ObjectId id, int srcLeft, int srcTop, int srcRight,
            int srcBottom)
{
    if (!BlittersReady() || ObjectSurface(id) == nullptr)
    {
        return 0;
    }
    // The mirrored columns and rows count from the far edges of the rectangle as cut to the
    // object, before clipping; clipping moves the view's corner by how much it cut away.
    const int cutLeft = std::max(srcLeft, 0);
    const int cutTop = std::max(srcTop, 0);
    const std::int64_t cutRight = std::min<std::int64_t>(srcRight, objectTable[id].width);
    const std::int64_t cutBottom = std::min<std::int64_t>(srcBottom, objectTable[id].height);
    return BlitFrame(
        x, y, id, srcLeft, srcTop, srcRight, srcBottom,
        [&](const BlitView& view)
        {
            if (mode < 0 || mode > 3)
            {
                return;
            }
            // The last source column and row the clipped view reads in the mirrored modes.
            const std::int64_t lastColumn = cutRight - 1 - (view.srcLeft - cutLeft);
            const std::int64_t lastRow = cutBottom - 1 - (view.srcTop - cutTop);
            RunVectorised(
                [&]
                {
                    for (int r = 0; r < view.height; ++r)
                    {
                        const std::int64_t row = (mode & 2) != 0 ? lastRow - r : view.srcTop + r;
                        const std::uint16_t* s = view.source.Row(static_cast<int>(row));
                        std::uint16_t* d = view.DestinationRow(r);
                        const int width = view.width;
                        if ((mode & 1) != 0)
                        {
                            const std::uint16_t* end = s + lastColumn;
                            for (int c = 0; c < width; ++c)
                            {
                                std::uint16_t p = end[-c];
                                d[c] = p != 0 ? p : d[c];
                            }
                        }
                        else
                        {
                            s += view.srcLeft;
                            for (int c = 0; c < width; ++c)
                            {
                                std::uint16_t p = s[c];
                                d[c] = p != 0 ? p : d[c];
                            }
                        }
                    }
                });
        });
}

int PutSmear(int x, int y, int mode, int position, ObjectId id, int srcLeft, int srcTop,
             int srcRight, int srcBottom)
{
    if (!BlittersReady() || ObjectSurface(id) == nullptr)
    {
        return 0;
    }
    // Modes 0 and 2 reach toward the screen's right or bottom edge. The columns (rows) past
    // position are copies, not reads, so the object does not end them; the column (row) read
    // is limited to the object instead.
    std::int64_t right = srcRight;
    std::int64_t bottom = srcBottom;
    if (mode == 0)
    {
        right = std::int64_t{screenWidth} - srcLeft;
    }
    else if (mode == 2)
    {
        bottom = std::int64_t{screenHeight} - srcTop;
    }
    const int cutRight = static_cast<int>(std::clamp<std::int64_t>(right, INT_MIN, INT_MAX));
    const int cutBottom = static_cast<int>(std::clamp<std::int64_t>(bottom, INT_MIN, INT_MAX));
    BlitPlacement place = PlaceBlit(x, y, id, srcLeft, srcTop, cutRight, cutBottom, BlitClip());
    if (!place.drawn)
    {
        return 1;
    }
    // How far the readable part reaches from the clipped corner (columns for mode 0, rows for
    // mode 2); the smear itself runs to the rectangle's clipped far edge.
    std::int64_t readable = 0;
    if (mode == 0)
    {
        readable = place.width;
        place.width = static_cast<int>(std::max<std::int64_t>(
            std::min<std::int64_t>(place.x + (right - place.srcLeft), place.clip.right) - place.x,
            0));
    }
    else if (mode == 2)
    {
        readable = place.height;
        place.height = static_cast<int>(std::max<std::int64_t>(
            std::min<std::int64_t>(place.y + (bottom - place.srcTop), place.clip.bottom) -
                place.y,
            0));
    }
    platform::PixelBuffer source, destination;
    if (!LockBlitSurfaces(id, source, destination))
    {
        return 0;
    }
    const int w = place.width;
    const int h = place.height;
    auto sourceAt = [&](std::int64_t c, std::int64_t r)
    { return source.Row(static_cast<int>(place.srcTop + r))[place.srcLeft + c]; };
    auto put = [&](std::int64_t c, std::int64_t r, std::uint16_t p)
    {
        if (p != 0)
        {
            destination.Row(static_cast<int>(place.y + r))[place.x + c] = p;
        }
    };
    switch (mode)
    {
    case 0:
    case 1:
    {
        // Mode 0 repeats the column at position toward the right, mode 1 toward the left, and
        // on past the rectangle to the back buffer's left edge, unkeyed and not clipped.
        const std::int64_t count = mode == 0 ? readable : w;
        if (count > 0)
        {
            const std::int64_t at = LimitPosition(position, count);
            for (std::int64_t r = 0; r < h; ++r)
            {
                for (std::int64_t c = 0; c < w; ++c)
                {
                    put(c, r, sourceAt(mode == 0 ? std::min(c, at) : std::max(c, at), r));
                }
                if (mode == 1)
                {
                    std::uint16_t* row = destination.Row(static_cast<int>(place.y + r));
                    std::fill(row, row + place.x, sourceAt(at, r));
                }
            }
        }
        break;
    }
    case 2:
        if (readable > 0)
        {
            const std::int64_t last = LimitPosition(position, readable);
            for (std::int64_t r = 0; r < h; ++r)
            {
                for (std::int64_t c = 0; c < w; ++c)
                {
                    put(c, r, sourceAt(c, std::min(r, last)));
                }
            }
        }
        break;
    case 3:
        if (h > 0)
        {
            const std::int64_t at = LimitPosition(position, h);
            // Unkeyed and not clipped: up to the back buffer's top edge.
            for (std::int64_t r = 0; r < place.y; ++r)
            {
                std::uint16_t* row = destination.Row(static_cast<int>(r));
                for (std::int64_t c = 0; c < w; ++c)
                {
                    row[place.x + c] = sourceAt(c, at);
                }
            }
            for (std::int64_t r = 0; r < h; ++r)
            {
                for (std::int64_t c = 0; c < w; ++c)
                {
                    put(c, r, sourceAt(c, std::max(r, at)));
                }
            }
        }
        break;
    default:
        break;
    }
    UnlockBlitSurfaces(id);
    return 1;
}

void PutScanlines(int x, int y, int step, ObjectId id, int srcLeft, int srcTop, int srcRight,
                  int srcBottom)
{
    if (ObjectSurface(id) == nullptr || step == 0)
    {
        return;
    }
    BlitPlacement cut = CutToObject(x, y, id, srcLeft, srcTop, srcRight, srcBottom);
    if (!cut.drawn)
    {
        return;
    }
    const std::int64_t top = cut.srcTop;
    const std::int64_t bottom = top + cut.height;
    const int right = cut.srcLeft + cut.width;
    auto drawRow = [&](std::int64_t r)
    {
        int row = static_cast<int>(r);
        Put(cut.x, static_cast<int>(cut.y + (r - top)), id, cut.srcLeft, row, right, row + 1);
    };
    if (step > 0)
    {
        for (std::int64_t r = top + step; r < bottom; r += step)
        {
            drawRow(r);
        }
        return;
    }
    // Gaps of 1 to -step rows at random; -step is at least 1 here and fits in 64 bits.
    const std::int64_t range = -std::int64_t{step};
    for (std::int64_t r = top + 1 + Random() % range; r < bottom; r += 1 + Random() % range)
    {
        drawRow(r);
    }
}

void PutJitter(int x, int y, int amplitude, ObjectId id, int srcLeft, int srcTop, int srcRight,
               int srcBottom)
{
    if (ObjectSurface(id) == nullptr)
    {
        return;
    }
    BlitPlacement cut = CutToObject(x, y, id, srcLeft, srcTop, srcRight, srcBottom);
    if (!cut.drawn)
    {
        return;
    }
    const int right = cut.srcLeft + cut.width;
    const int bottom = cut.srcTop + cut.height;
    if (amplitude < 1)
    {
        Put(cut.x, cut.y, id, cut.srcLeft, cut.srcTop, right, bottom);
        return;
    }
    // 2 * amplitude formed wide, so the largest amplitude still gives a positive range.
    const std::int64_t range = 2 * std::int64_t{amplitude};
    for (int r = cut.srcTop; r < bottom; ++r)
    {
        const std::int64_t offset = Random() % range - amplitude;
        const int px = ClampToInt(cut.x + offset);
        Put(px, cut.y + (r - cut.srcTop), id, cut.srcLeft, r, right, r + 1);
    }
}

void PutDrum(int x, int y, int reverse, float speed, ObjectId id, int srcLeft, int srcTop,
             int srcRight, int srcBottom)
{
    if (ObjectSurface(id) == nullptr)
    {
        return;
    }
    BlitPlacement cut = CutToObject(x, y, id, srcLeft, srcTop, srcRight, srcBottom);
    if (!cut.drawn || cut.height < 2)
    {
        return;
    }
    const int h = cut.height;
    const int half = h / 2;
    const int right = cut.srcLeft + cut.width;
    std::int64_t previousEnd = 0;
    for (int i = 0; i < h; ++i)
    {
        // Formed in double and truncated once; the result lies in 0..2 * half.
        const double angle = (i + static_cast<double>(drumPhase)) * kTurn / (h - 1);
        const std::int64_t end = TruncateToInt(std::cos(angle) * half + half);
        const int row = cut.srcTop + i;
        for (std::int64_t k = previousEnd; k <= end; ++k)
        {
            PutOpaque(cut.x, ClampToInt(cut.y + k), id, cut.srcLeft, row, right, row + 1);
        }
        previousEnd = end + 1;
    }
    // A step that is not a finite number (an endless speed or frame) leaves the phase alone.
    const float step = frameSeconds * speed;
    if (!std::isfinite(step))
    {
        return;
    }
    if (reverse == 0)
    {
        drumPhase -= step;
        if (drumPhase < 0.0f)
        {
            drumPhase += static_cast<float>(h);
        }
    }
    else
    {
        drumPhase += step;
        if (drumPhase >= static_cast<float>(h))
        {
            drumPhase -= static_cast<float>(h);
        }
    }
}

} // namespace voDraw
