// Set-up the benchmark programs share: the headless backend, and the game's 160 x 180 window
// with a 640 x 480 screen, each started once for the whole program.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/app.h"
#include "draw/draw.h"
#include "platform/headless/control.h"
#include "platform/platform.h"
#include "platform/surface.h"
#include "system/system.h"

namespace bench_support
{

// Starts the headless backend with its default switches; exits when it cannot.
inline void StartHeadless()
{
    static bool started = false;
    if (started)
    {
        return;
    }
    started = true;
    platform::headless::Configure({});
    platform::Options options;
    options.backend = "headless";
    std::string error;
    if (!platform::Start(options, error))
    {
        std::fprintf(stderr, "headless start failed: %s\n", error.c_str());
        std::exit(1);
    }
}

// Opens the window and sets up the screen; exits when it cannot.
inline void StartScreen()
{
    static bool started = false;
    if (started)
    {
        return;
    }
    started = true;
    StartHeadless();
    InitFrameClock();
    platform::RegisterWindowClass(MainWindowProc);
    fullScreen = 0;
    clientWidth = 160;
    clientHeight = 180;
    mainWindow = platform::CreateMainWindow("Plonder", 0, 0, 160, 180);
    if (mainWindow == 0 || voDraw::Screen(640, 480, 1) != 1)
    {
        std::fprintf(stderr, "the screen cannot be set up\n");
        std::exit(1);
    }
}

// The blitter benchmarks' picture size: the whole screen.
constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;

// A picture of random 565 pixels in no pattern, one in ten of them 0 (transparent) when
// transparent is set.
inline std::vector<std::uint16_t> ScatteredPixels(unsigned seed, bool transparent = true)
{
    std::mt19937 random(seed);
    std::vector<std::uint16_t> pixels(std::size_t{kPictureWidth} * kPictureHeight);
    for (auto& p : pixels)
    {
        p = transparent && random() % 10 == 0 ? 0
                                              : static_cast<std::uint16_t>(1 + random() % 0xFFFF);
    }
    return pixels;
}

// Copies a picture into the top of surface, row by row.
inline void FillSurface(platform::Surface* surface, const std::vector<std::uint16_t>& picture)
{
    platform::PixelBuffer pixels;
    platform::LockSurface(surface, pixels);
    for (int y = 0; y < kPictureHeight; ++y)
    {
        std::memcpy(pixels.Row(y), picture.data() + std::size_t{kPictureWidth} * y,
                    kPictureWidth * 2);
    }
    platform::UnlockSurface(surface);
}

// A full-screen object of ScatteredPixels (one in ten transparent) and a back buffer of others
// (with transparent ones only when backTransparent), the screen set up first.
inline ObjectId MakeScatteredSource(bool backTransparent = true)
{
    constexpr unsigned kSeed = 1234;
    StartScreen();
    ObjectId id = voDraw::CreateObject(kPictureWidth, kPictureHeight - 1, 2);
    FillSurface(objectTable[id].surface, ScatteredPixels(kSeed));
    FillSurface(BackBuffer(), ScatteredPixels(kSeed + 1, backTransparent));
    return id;
}

} // namespace bench_support
