// Surfaces: the blitters against a slow per-pixel reference, rectangles that do not fit and
// copies within one surface.
#include <random>

#include <gtest/gtest.h>

#include "platform/display.h"
#include "platform/headless/control.h"
#include "platform/surface.h"
#include "tests/support/headless.h"

using platform::PixelBuffer;
using platform::Surface;
using platform::SurfaceMemory;
using platform::SurfaceRect;
using platform::SurfaceResult;

namespace
{

constexpr unsigned kSeed = 5150; // fixed, so that a failing sweep repeats

void OpenDisplay()
{
    testing_support::StartHeadless({});
    bool device3D = false;
    ASSERT_TRUE(platform::OpenDisplay(device3D));
}

// A copy of a surface's pixels, row by row without the pitch's padding.
std::vector<std::uint16_t> Snapshot(Surface* surface)
{
    PixelBuffer pixels;
    EXPECT_EQ(platform::LockSurface(surface, pixels), SurfaceResult::Ok);
    std::vector<std::uint16_t> copy;
    for (int y = 0; y < pixels.height; ++y)
    {
        copy.insert(copy.end(), pixels.Row(y), pixels.Row(y) + pixels.width);
    }
    platform::UnlockSurface(surface);
    return copy;
}

// Random pixels in which about one in ten is the key.
void Randomise(Surface* surface, std::mt19937& random, std::uint16_t key)
{
    PixelBuffer pixels;
    ASSERT_EQ(platform::LockSurface(surface, pixels), SurfaceResult::Ok);
    for (int y = 0; y < pixels.height; ++y)
    {
        for (int x = 0; x < pixels.width; ++x)
        {
            pixels.Row(y)[x] = random() % 10 == 0 ? key : static_cast<std::uint16_t>(random());
        }
    }
    platform::UnlockSurface(surface);
}

int Below(std::mt19937& random, int n)
{
    return static_cast<int>(random() % static_cast<unsigned>(n));
}

} // namespace

TEST(Blits, MatchANearestPixelCopyWithAndWithoutTheKey)
{
    OpenDisplay();
    std::mt19937 random(kSeed);
    for (int round = 0; round < 300; ++round)
    {
        // BltFast keyed and opaque, and Blt stretching with the key, in turn.
        bool stretch = round % 3 == 2;
        bool keyed = round % 3 != 1;
        // Odd widths and starts, past a few vectors' worth of pixels.
        int sourceWidth = 1 + Below(random, 101);
        int sourceHeight = 1 + Below(random, 17);
        int targetWidth = 1 + Below(random, 113);
        int targetHeight = 1 + Below(random, 45);
        Surface* source =
            platform::CreateSurface(sourceWidth, sourceHeight, SurfaceMemory::Display);
        Surface* target = platform::CreateSurface(targetWidth, targetHeight, SurfaceMemory::System);
        ASSERT_NE(source, nullptr);
        ASSERT_NE(target, nullptr);
        auto key = static_cast<std::uint16_t>(random());
        Randomise(source, random, key);
        Randomise(target, random, 0);
        platform::SetSurfaceColorKey(source, 0xABCD0000u | key); // only the low 16 bits count
        int w = 1 + Below(random, sourceWidth);
        int h = 1 + Below(random, sourceHeight);
        SurfaceRect from{Below(random, sourceWidth - w + 1), Below(random, sourceHeight - h + 1)};
        from.right = from.left + w;
        from.bottom = from.top + h;
        int dw = stretch ? 1 + Below(random, targetWidth) : std::min(w, targetWidth);
        int dh = stretch ? 1 + Below(random, targetHeight) : std::min(h, targetHeight);
        if (!stretch)
        {
            from.right = from.left + dw;
            from.bottom = from.top + dh;
        }
        SurfaceRect to{Below(random, targetWidth - dw + 1), Below(random, targetHeight - dh + 1)};
        to.right = to.left + dw;
        to.bottom = to.top + dh;

        std::vector<std::uint16_t> pixels = Snapshot(source);
        std::vector<std::uint16_t> expected = Snapshot(target);
        for (int j = 0; j < dh; ++j)
        {
            for (int i = 0; i < dw; ++i)
            {
                int sx = from.left + i * (from.right - from.left) / dw;
                int sy = from.top + j * (from.bottom - from.top) / dh;
                std::uint16_t p = pixels[sy * sourceWidth + sx];
                if (!keyed || p != key)
                {
                    expected[(to.top + j) * targetWidth + to.left + i] = p;
                }
            }
        }
        ASSERT_EQ(stretch ? platform::Blt(target, to, source, from, true)
                          : platform::BltFast(target, to.left, to.top, source, from, keyed),
                  SurfaceResult::Ok);
        ASSERT_EQ(Snapshot(target), expected) << "round " << round;
        ASSERT_EQ(Snapshot(source), pixels);
        platform::ReleaseSurface(source);
        platform::ReleaseSurface(target);
    }
}

TEST(Blits, WithinOneSurfaceReadTheRectangleBeforeItMoves)
{
    OpenDisplay();
    Surface* surface = platform::CreateSurface(20, 20, SurfaceMemory::Display);
    std::mt19937 random(kSeed);
    Randomise(surface, random, 0);
    for (auto [dx, dy] : {std::pair{3, 2}, std::pair{-3, -2}, std::pair{1, 0}, std::pair{0, 1}})
    {
        std::vector<std::uint16_t> before = Snapshot(surface);
        ASSERT_EQ(platform::BltFast(surface, 5 + dx, 5 + dy, surface, {5, 5, 15, 15}, false),
                  SurfaceResult::Ok);
        std::vector<std::uint16_t> after = Snapshot(surface);
        for (int y = 0; y < 10; ++y)
        {
            for (int x = 0; x < 10; ++x)
            {
                ASSERT_EQ(after[(5 + dy + y) * 20 + 5 + dx + x], before[(5 + y) * 20 + 5 + x]);
            }
        }
    }
}
