// Composite puts built on voDraw::Put, one source row at a time: waves, tiling, the wave
// scroll and band, and row repetition. Each keeps its phase and scroll from call to call.
#include <numbers>

#include "draw/draw_internal.h"
#include "system/system.h"

namespace
{

struct CompositeState
{
    float wavePhase = 0; // PutWave: degrees
    int waveSign = 1;    // PutWave: alternating sign, flips every row
    float tiledX = 0;    // PutTiled: drift in pixels
    float tiledY = 0;
    float scrollPhase = 0;    // PutWaveScroll: degrees
    float scrollPosition = 0; // PutWaveScroll: rows
    float bandPhase = 0;      // PutWaveBand: degrees
    float bandScroll = 0;     // PutWaveBand: rows
};

CompositeState composite;

// trunc(cos(angle degrees) * amplitude) for the row's angle: row / divisor (row when the
// divisor is 0) plus the whole degrees of the phase.
int WaveOffset(int row, int divisor, float phase, int amplitude)
{
    std::int64_t angle = std::int64_t{divisor != 0 ? row / divisor : row} + TruncateToInt(phase);
    double radians = static_cast<double>(angle) * std::numbers::pi / 180.0;
    return TruncateToInt(std::cos(radians) * amplitude);
}

void AdvancePhase(float& phase, float speed)
{
    phase += frameSeconds * speed;
    if (phase >= 360)
    {
        phase -= 360;
    }
}

// Steps a tile drift back by one tile once it passes either end of -size..0.
void WrapDrift(float& drift, int size)
{
    if (drift < -size)
    {
        drift += size;
    }
    if (drift > 0)
    {
        drift -= size;
    }
}

} // namespace

namespace voDraw
{

DrawResult PutWave(int x, int y, int amplitude, int divisor, float speed, ObjectId id, int left,
                   int top, int right, int bottom, int alternate)
{
    DrawResult result = DrawResult::Ok;
    for (int row = top; row < bottom; ++row)
    {
        std::int64_t offset = WaveOffset(row, divisor, composite.wavePhase, amplitude);
        if (alternate != 0)
        {
            offset *= composite.waveSign;
            composite.waveSign = -composite.waveSign;
        }
        result = Put(ClampToInt(x + offset), ClampToInt(std::int64_t{y} + row - top), id, left, row, right,
                     row + 1);
    }
    AdvancePhase(composite.wavePhase, speed);
    return result;
}

DrawResult PutTiled(float xSpeed, float ySpeed, ObjectId id, int left, int top, int right,
                    int bottom)
{
    int width = right - left;
    int height = bottom - top;
    // An empty rectangle tiles nothing (and must not divide the screen by zero).
    if (width <= 0 || height <= 0)
    {
        return DrawResult::InvalidRect;
    }
    DrawResult result = DrawResult::Ok;
    int rows = screenHeight / height + 2;
    int columns = screenWidth / width + 2;
    int offsetX = TruncateToInt(composite.tiledX);
    int offsetY = TruncateToInt(composite.tiledY);
    for (int j = 0; j < rows; ++j)
    {
        for (int i = 0; i < columns; ++i)
        {
            result = Put(ClampToInt(std::int64_t{i} * width + offsetX),
                         ClampToInt(std::int64_t{j} * height + offsetY), id, left, top, right, bottom);
        }
    }
    composite.tiledX += frameSeconds * xSpeed;
    composite.tiledY += frameSeconds * ySpeed;
    WrapDrift(composite.tiledX, width);
    WrapDrift(composite.tiledY, height);
    return result;
}

DrawResult PutWaveScroll(int x, int y, int amplitude, int divisor, float speed, float scrollSpeed,
                         ObjectId id, int left, int top, int right, int bottom)
{
    DrawResult result = DrawResult::Ok;
    int scroll = TruncateToInt(composite.scrollPosition);
    for (int row = top; row < bottom; ++row)
    {
        int offset = WaveOffset(row, divisor, composite.scrollPhase, amplitude);
        std::int64_t source = std::int64_t{row} + scroll;
        if (source >= bottom)
        {
            source = top + (source - bottom) + 1;
        }
        result = Put(ClampToInt(std::int64_t{x} + offset), ClampToInt(std::int64_t{y} + row), id, left,
                     ClampToInt(source), right, ClampToInt(source + 1));
    }
    AdvancePhase(composite.scrollPhase, speed);
    float height = static_cast<float>(bottom - top);
    composite.scrollPosition -= frameSeconds * scrollSpeed;
    if (composite.scrollPosition < 0)
    {
        composite.scrollPosition += height;
    }
    if (composite.scrollPosition >= height)
    {
        composite.scrollPosition -= height;
    }
    return result;
}

DrawResult PutWaveBand(int y0, int y1, int amplitude, int divisor, float speed, float scrollSpeed,
                       ObjectId id, int left, int top, int right, int bottom)
{
    int width = right - left;
    int height = bottom - top;
    // An empty rectangle has no rows to repeat (and must not divide by zero).
    if (width <= 0 || height <= 0)
    {
        return DrawResult::InvalidRect;
    }
    DrawResult result = DrawResult::Ok;
    int columns = screenWidth / width + 2;
    int scroll = TruncateToInt(composite.bandScroll);
    for (int k = 0; k < y1 - y0; ++k)
    {
        std::int64_t source = std::int64_t{k % height} + scroll;
        if (source > height - 1)
        {
            source -= height;
        }
        std::int64_t offset = WaveOffset(k, divisor, composite.bandPhase, amplitude);
        for (int i = 0; i < columns; ++i)
        {
            result = Put(ClampToInt(std::int64_t{i} * width + offset - amplitude), y0 + k, id, left,
                         ClampToInt(top + source), right, ClampToInt(top + source + 1));
        }
    }
    AdvancePhase(composite.bandPhase, speed);
    composite.bandScroll -= frameSeconds * scrollSpeed;
    if (composite.bandScroll < 0)
    {
        composite.bandScroll += static_cast<float>(height);
    }
    if (composite.bandScroll >= static_cast<float>(height))
    {
        composite.bandScroll -= static_cast<float>(height);
    }
    return result;
}

DrawResult PutRowRepeat(int x, int y, int step, ObjectId id, int left, int top, int right,
                        int bottom)
{
    // A step below 1 would never move on through the rows; it draws nothing.
    if (step < 1)
    {
        return DrawResult::InvalidParams;
    }
    DrawResult result = DrawResult::Ok;
    for (std::int64_t row = top; row < bottom; row += step)
    {
        for (int k = 0; k < step; ++k)
        {
            std::int64_t destinationY = y + (row - top) + k;
            // Rows from the clip's bottom on draw nothing, however many a large step asks for.
            if (destinationY >= clipRect.bottom)
            {
                return result;
            }
            result = Put(x, ClampToInt(destinationY), id, left, static_cast<int>(row), right,
                         static_cast<int>(row + 1));
        }
    }
    return result;
}

} // namespace voDraw
