// Surfaces: the fast blitters against a slow per-pixel reference, rectangles that do not fit,
// locks and device contexts, lost and restored surfaces, fills and the bitmap copier.
#include <random>

#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "platform/display.h"
#include "platform/headless/control.h"
#include "platform/surface.h"
#include "tests/support/headless.h"

using platform::PixelBuffer;
using platform::Surface;
using platform::SurfaceRect;
using platform::SurfaceResult;

namespace
{

constexpr unsigned kSeed = 5150; // fixed, so that a failing sweep repeats

void OpenDisplay(platform::headless::HeadlessConfig config = {})
{
    testing_support::StartHeadless(config);
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

} // namespace

TEST(KeyedRow, MatchesThePerPixelDefinitionOnRandomRows)
{
    std::mt19937 random(kSeed);
    std::vector<std::uint16_t> source(1100);
    std::vector<std::uint16_t> destination(1100);
    for (int round = 0; round < 400; ++round)
    {
        auto key = static_cast<std::uint16_t>(random());
        for (auto& p : source)
        {
            p = random() % 10 == 0 ? key : static_cast<std::uint16_t>(random());
        }
        for (auto& p : destination)
        {
            p = static_cast<std::uint16_t>(random());
        }
        // Odd lengths and unaligned starts, down to none at all.
        int count = round < 40 ? round : static_cast<int>(random() % 1000);
        int from = static_cast<int>(random() % 50);
        int to = static_cast<int>(random() % 50);
        std::vector<std::uint16_t> expected = destination;
        for (int i = 0; i < count; ++i)
        {
            if (source[from + i] != key)
            {
                expected[to + i] = source[from + i];
            }
        }
        std::vector<std::uint16_t> sourceBefore = source;
        platform::CopyKeyedRow(destination.data() + to, source.data() + from, count, key);
        ASSERT_EQ(destination, expected) << "round " << round;
        ASSERT_EQ(source, sourceBefore);
    }
}

TEST(BltFast, MatchesAPerPixelCopyWithAndWithoutTheKey)
{
    OpenDisplay();
    std::mt19937 random(kSeed);
    for (int round = 0; round < 200; ++round)
    {
        int sourceWidth = 1 + static_cast<int>(random() % 41);
        int sourceHeight = 1 + static_cast<int>(random() % 17);
        int targetWidth = 1 + static_cast<int>(random() % 53);
        int targetHeight = 1 + static_cast<int>(random() % 19);
        Surface* source =
            platform::CreateSurface(sourceWidth, sourceHeight, platform::SurfaceMemory::Display);
        Surface* target =
            platform::CreateSurface(targetWidth, targetHeight, platform::SurfaceMemory::System);
        ASSERT_NE(source, nullptr);
        ASSERT_NE(target, nullptr);
        auto key = static_cast<std::uint16_t>(random());
        Randomise(source, random, key);
        Randomise(target, random, 0);
        platform::SetSurfaceColorKey(source, 0xABCD0000u | key); // only the low 16 bits count
        int w = 1 + static_cast<int>(random() % std::min(sourceWidth, targetWidth));
        int h = 1 + static_cast<int>(random() % std::min(sourceHeight, targetHeight));
        SurfaceRect rect;
        rect.left = static_cast<int>(random() % (sourceWidth - w + 1));
        rect.top = static_cast<int>(random() % (sourceHeight - h + 1));
        rect.right = rect.left + w;
        rect.bottom = rect.top + h;
        int x = static_cast<int>(random() % (targetWidth - w + 1));
        int y = static_cast<int>(random() % (targetHeight - h + 1));
        bool keyed = round % 2 == 0;

        std::vector<std::uint16_t> from = Snapshot(source);
        std::vector<std::uint16_t> expected = Snapshot(target);
        for (int j = 0; j < h; ++j)
        {
            for (int i = 0; i < w; ++i)
            {
                std::uint16_t p = from[(rect.top + j) * sourceWidth + rect.left + i];
                if (!keyed || p != key)
                {
                    expected[(y + j) * targetWidth + x + i] = p;
                }
            }
        }
        ASSERT_EQ(platform::BltFast(target, x, y, source, rect, keyed), SurfaceResult::Ok);
        ASSERT_EQ(Snapshot(target), expected) << "round " << round;
        ASSERT_EQ(Snapshot(source), from);
        platform::ReleaseSurface(source);
        platform::ReleaseSurface(target);
    }
}

TEST(BltFast, RectanglesThatDoNotFitDrawNothing)
{
    OpenDisplay();
    Surface* source = platform::CreateSurface(8, 8, platform::SurfaceMemory::Display);
    Surface* target = platform::CreateSurface(8, 8, platform::SurfaceMemory::Display);
    platform::FillSurface(source, nullptr, 0x5555);
    std::vector<std::uint16_t> before = Snapshot(target);
    const SurfaceRect whole{0, 0, 8, 8};
    EXPECT_EQ(platform::BltFast(target, 1, 0, source, whole, false), SurfaceResult::InvalidRect);
    EXPECT_EQ(platform::BltFast(target, 0, 1, source, whole, false), SurfaceResult::InvalidRect);
    EXPECT_EQ(platform::BltFast(target, -1, 0, source, whole, false), SurfaceResult::InvalidRect);
    EXPECT_EQ(platform::BltFast(target, 0, -1, source, whole, false), SurfaceResult::InvalidRect);
    EXPECT_EQ(platform::BltFast(target, 0, 0, source, SurfaceRect{-1, 0, 4, 4}, false),
              SurfaceResult::InvalidRect);
    EXPECT_EQ(platform::BltFast(target, 0, 0, source, SurfaceRect{0, 0, 9, 4}, false),
              SurfaceResult::InvalidRect);
    EXPECT_EQ(platform::BltFast(target, 0, 0, source, SurfaceRect{2, 2, 2, 4}, false),
              SurfaceResult::InvalidRect);
    EXPECT_EQ(platform::BltFast(target, 0, 0, source, SurfaceRect{4, 4, 2, 2}, false),
              SurfaceResult::InvalidRect);
    EXPECT_EQ(platform::BltFast(target, 0, 0, nullptr, whole, false), SurfaceResult::InvalidParams);
    EXPECT_EQ(Snapshot(target), before);
    EXPECT_EQ(platform::BltFast(target, 0, 0, source, whole, false), SurfaceResult::Ok);
    EXPECT_EQ(Snapshot(target)[63], 0x5555);
}

TEST(BltFast, WithinOneSurfaceReadsTheRectangleBeforeItMoves)
{
    OpenDisplay();
    Surface* surface = platform::CreateSurface(20, 20, platform::SurfaceMemory::Display);
    std::mt19937 random(kSeed);
    Randomise(surface, random, 0);
    for (auto [dx, dy] : {std::pair{3, 2}, std::pair{-3, -2}, std::pair{1, 0}, std::pair{0, 1}})
    {
        std::vector<std::uint16_t> before = Snapshot(surface);
        SurfaceRect rect{5, 5, 15, 15};
        ASSERT_EQ(platform::BltFast(surface, 5 + dx, 5 + dy, surface, rect, false),
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

TEST(Blt, StretchesByTheNearestPixelWithTheKey)
{
    OpenDisplay();
    std::mt19937 random(kSeed);
    for (int round = 0; round < 60; ++round)
    {
        int sw = 1 + static_cast<int>(random() % 20);
        int sh = 1 + static_cast<int>(random() % 20);
        int dw = 1 + static_cast<int>(random() % 45);
        int dh = 1 + static_cast<int>(random() % 45);
        Surface* source = platform::CreateSurface(sw, sh, platform::SurfaceMemory::Display);
        Surface* target = platform::CreateSurface(50, 50, platform::SurfaceMemory::Display);
        Randomise(source, random, 7);
        Randomise(target, random, 0);
        platform::SetSurfaceColorKey(source, 7);
        std::vector<std::uint16_t> from = Snapshot(source);
        std::vector<std::uint16_t> expected = Snapshot(target);
        int x = static_cast<int>(random() % (50 - dw + 1));
        int y = static_cast<int>(random() % (50 - dh + 1));
        for (int j = 0; j < dh; ++j)
        {
            for (int i = 0; i < dw; ++i)
            {
                std::uint16_t p = from[(j * sh / dh) * sw + i * sw / dw];
                if (p != 7)
                {
                    expected[(y + j) * 50 + x + i] = p;
                }
            }
        }
        ASSERT_EQ(platform::Blt(target, SurfaceRect{x, y, x + dw, y + dh}, source,
                                SurfaceRect{0, 0, sw, sh}, true),
                  SurfaceResult::Ok);
        ASSERT_EQ(Snapshot(target), expected) << round;
        EXPECT_EQ(platform::Blt(target, SurfaceRect{45, 45, 51, 50}, source,
                                SurfaceRect{0, 0, sw, sh}, true),
                  SurfaceResult::InvalidRect);
        ASSERT_EQ(Snapshot(target), expected);
        platform::ReleaseSurface(source);
        platform::ReleaseSurface(target);
    }
}

TEST(Surfaces, RowsKeepTheirPitchApartFromTheWidth)
{
    OpenDisplay();
    Surface* surface = platform::CreateSurface(33, 3, platform::SurfaceMemory::Display);
    PixelBuffer pixels;
    ASSERT_EQ(platform::LockSurface(surface, pixels), SurfaceResult::Ok);
    EXPECT_EQ(pixels.width, 33);
    EXPECT_GE(pixels.pitchBytes, 66);
    EXPECT_EQ(pixels.pitchBytes % 16, 0);
    EXPECT_EQ(pixels.layout, platform::PixelLayout::Rgb565);
    platform::UnlockSurface(surface);
    SurfaceRect rect{30, 1, 33, 2};
    ASSERT_EQ(platform::FillSurface(surface, &rect, 0x0F0F), SurfaceResult::Ok);
    std::vector<std::uint16_t> after = Snapshot(surface);
    EXPECT_EQ(after[33 + 29], 0);
    EXPECT_EQ(after[33 + 30], 0x0F0F);
    EXPECT_EQ(after[33 + 32], 0x0F0F);
    EXPECT_EQ(after[2 * 33], 0);
    SurfaceRect outside{30, 1, 34, 2};
    EXPECT_EQ(platform::FillSurface(surface, &outside, 1), SurfaceResult::InvalidRect);
}

TEST(Surfaces, LocksAndDeviceContextsKeepOthersOut)
{
    OpenDisplay();
    Surface* a = platform::CreateSurface(4, 4, platform::SurfaceMemory::Display);
    Surface* b = platform::CreateSurface(4, 4, platform::SurfaceMemory::Display);
    PixelBuffer pixels;
    ASSERT_EQ(platform::LockSurface(a, pixels), SurfaceResult::Ok);
    EXPECT_EQ(platform::LockSurface(a, pixels), SurfaceResult::SurfaceBusy);
    EXPECT_EQ(platform::BltFast(b, 0, 0, a, SurfaceRect{0, 0, 4, 4}, false),
              SurfaceResult::SurfaceBusy);
    EXPECT_EQ(platform::FillSurface(a, nullptr, 1), SurfaceResult::SurfaceBusy);
    EXPECT_EQ(platform::GetSurfaceDc(a), nullptr);
    EXPECT_EQ(platform::UnlockSurface(a), SurfaceResult::Ok);
    EXPECT_EQ(platform::UnlockSurface(a), SurfaceResult::NotLocked);

    SurfaceResult result = SurfaceResult::InvalidParams;
    platform::DeviceContext* dc = platform::GetSurfaceDc(a, &result);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(result, SurfaceResult::Ok);
    EXPECT_EQ(platform::SetPixel(dc, 1, 1, platform::MakeRgb(255, 255, 255)),
              platform::MakeRgb(255, 255, 255));
    EXPECT_EQ(platform::LockSurface(a, pixels), SurfaceResult::SurfaceBusy);
    EXPECT_EQ(platform::UnlockSurface(a), SurfaceResult::NotLocked);
    EXPECT_EQ(platform::ReleaseSurfaceDc(a, dc), SurfaceResult::Ok);
    EXPECT_EQ(Snapshot(a)[5], 0xFFFF);
    EXPECT_EQ(platform::ReleaseSurfaceDc(a, dc), SurfaceResult::NotLocked);
}

TEST(Surfaces, LostSurfacesRefuseEverythingUntilRestoredEmpty)
{
    OpenDisplay();
    Surface* a = platform::CreateSurface(4, 4, platform::SurfaceMemory::Display);
    Surface* b = platform::CreateSurface(4, 4, platform::SurfaceMemory::Display);
    platform::FillSurface(a, nullptr, 0x7777);
    platform::headless::LoseAllSurfaces();
    PixelBuffer pixels;
    EXPECT_TRUE(platform::IsSurfaceLost(a));
    EXPECT_EQ(platform::LockSurface(a, pixels), SurfaceResult::SurfaceLost);
    EXPECT_EQ(platform::FillSurface(a, nullptr, 1), SurfaceResult::SurfaceLost);
    EXPECT_EQ(platform::BltFast(a, 0, 0, b, SurfaceRect{0, 0, 4, 4}, false),
              SurfaceResult::SurfaceLost);
    EXPECT_EQ(platform::GetSurfaceDc(a), nullptr);
    EXPECT_EQ(platform::RestoreSurface(a), SurfaceResult::Ok);
    EXPECT_FALSE(platform::IsSurfaceLost(a));
    EXPECT_EQ(Snapshot(a), std::vector<std::uint16_t>(16, 0));
    EXPECT_TRUE(platform::IsSurfaceLost(b));
}

TEST(Surfaces, TheDisplayHoldsOnlyAsManyAsItCan)
{
    platform::headless::HeadlessConfig config;
    config.surfaceLimit = 2;
    OpenDisplay(config);
    Surface* a = platform::CreateSurface(4, 4, platform::SurfaceMemory::Display);
    Surface* b = platform::CreateSurface(4, 4, platform::SurfaceMemory::System);
    SurfaceResult result = SurfaceResult::Ok;
    EXPECT_EQ(platform::CreateSurface(4, 4, platform::SurfaceMemory::Display, &result), nullptr);
    EXPECT_EQ(result, SurfaceResult::OutOfMemory);
    platform::ReleaseSurface(a);
    EXPECT_NE(platform::CreateSurface(4, 4, platform::SurfaceMemory::Display), nullptr);
    EXPECT_EQ(platform::CreateSurface(0, 4, platform::SurfaceMemory::Display, &result), nullptr);
    EXPECT_EQ(result, SurfaceResult::InvalidParams);
    platform::ReleaseSurface(b);
    EXPECT_EQ(platform::CreateSurface(20000, 4, platform::SurfaceMemory::Display), nullptr);
}

TEST(BitmapCopier, StretchesTheBitmapOverTheSurfaceInItsLayout)
{
    for (bool rgb555 : {false, true})
    {
        platform::headless::HeadlessConfig config;
        config.rgb555 = rgb555;
        OpenDisplay(config);
        platform::Bitmap bitmap;
        bitmap.width = 2;
        bitmap.height = 2;
        bitmap.pixels = {platform::MakeRgb(255, 0, 0), platform::MakeRgb(0, 255, 0),
                         platform::MakeRgb(0, 0, 255), platform::MakeRgb(255, 255, 255)};
        Surface* surface = platform::CreateSurface(4, 4, platform::SurfaceMemory::Display);
        ASSERT_EQ(platform::CopyBitmapToSurface(surface, bitmap, 0, 0, 0, 0), SurfaceResult::Ok);
        std::vector<std::uint16_t> pixels = Snapshot(surface);
        std::uint16_t red = rgb555 ? 0x7C00 : 0xF800;
        std::uint16_t green = rgb555 ? 0x03E0 : 0x07E0;
        std::uint16_t white = rgb555 ? 0x7FFF : 0xFFFF;
        EXPECT_EQ(pixels[0], red);
        EXPECT_EQ(pixels[1], red);
        EXPECT_EQ(pixels[4 + 1], red);
        EXPECT_EQ(pixels[2], green);
        EXPECT_EQ(pixels[3 * 4], 0x001F);
        EXPECT_EQ(pixels[3 * 4 + 3], white);
        // A part of the bitmap: its right column only.
        ASSERT_EQ(platform::CopyBitmapToSurface(surface, bitmap, 1, 0, 1, 2), SurfaceResult::Ok);
        EXPECT_EQ(Snapshot(surface)[0], green);
        EXPECT_EQ(platform::CopyBitmapToSurface(nullptr, bitmap, 0, 0, 0, 0),
                  SurfaceResult::InvalidParams);
        platform::ReleaseSurface(surface);
        platform::CloseDisplay();
        platform::Shutdown();
    }
}
