// Test support for text and shapes: a headless screen with its back buffer, read back as
// native pixels.
#pragma once

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "draw/draw.h"
#include "system/system.h"
#include "tests/support/headless.h"

namespace gdi_support
{

// Starts headless and opens the main window, with no screen yet.
inline void StartWindow(const platform::headless::HeadlessConfig& config = {})
{
    testing_support::StartHeadless(config);
    platform::RegisterWindowClass([](platform::WindowHandle window, std::uint32_t id,
                                     std::uintptr_t wParam, std::intptr_t lParam)
                                  { return platform::DefWindowProc(window, id, wParam, lParam); });
    fullScreen = 0;
    mainWindow = platform::CreateMainWindow("Plonder", 0, 0, 648, 510);
    ASSERT_NE(mainWindow, 0u);
}

// Starts headless with a window and a width x height screen.
inline void StartScreen(int width = 320, int height = 240,
                        const platform::headless::HeadlessConfig& config = {})
{
    StartWindow(config);
    ASSERT_EQ(voDraw::Screen(width, height, 1), 1);
}

// The back buffer's pixels, row by row without padding.
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
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::max(box.bottom, y + 1);
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

// The picture as a frame, for saving as a PNG.
inline platform::headless::CapturedFrame AsFrame(const Picture& picture, int scale = 1)
{
    platform::headless::CapturedFrame frame;
    frame.width = picture.width * scale;
    frame.height = picture.height * scale;
    for (int y = 0; y < frame.height; ++y)
    {
        for (int x = 0; x < frame.width; ++x)
        {
            frame.pixels.push_back(picture.At(x / scale, y / scale));
        }
    }
    return frame;
}

} // namespace gdi_support
