// Set-up the benchmark programs share: the headless backend, and the game's 160 x 180 window
// with a 640 x 480 screen, each started once for the whole program.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app.h"
#include "draw/draw.h"
#include "platform/headless/control.h"
#include "platform/platform.h"
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

} // namespace bench_support
