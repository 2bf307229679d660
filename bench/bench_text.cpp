// Speed of text on the back buffer: the fixed-style printer with a Japanese line and the
// frame-rate line, each after its glyphs are cached.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "draw/draw.h"
#include "platform/cp932.h"
#include "platform/headless/control.h"
#include "platform/platform.h"
#include "system/system.h"

namespace
{

// The headless backend with a window and a 640 x 480 screen, once for the whole program.
void StartScreen()
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
    InitFrameClock();
    platform::RegisterWindowClass([](platform::WindowHandle window, std::uint32_t id,
                                     std::uintptr_t wParam, std::intptr_t lParam)
                                  { return platform::DefWindowProc(window, id, wParam, lParam); });
    fullScreen = 0;
    mainWindow = platform::CreateMainWindow("Plonder", 0, 0, 648, 510);
    if (mainWindow == 0 || voDraw::Screen(640, 480, 1) != 1)
    {
        std::fprintf(stderr, "the screen cannot be set up\n");
        std::exit(1);
    }
}

void PrintJapaneseLine(benchmark::State& state)
{
    StartScreen();
    // Forty characters of Japanese text.
    std::string line = platform::Utf8ToCp932(
        "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗い所");
    voDraw::PrintText(0, 100, line.c_str());
    for (auto _ : state)
    {
        voDraw::PrintText(0, 100, line.c_str());
    }
}
BENCHMARK(PrintJapaneseLine)->Unit(benchmark::kMicrosecond);

void DrawFrameRateLine(benchmark::State& state)
{
    StartScreen();
    voDraw::DrawFps();
    for (auto _ : state)
    {
        platform::headless::AdvanceRefresh();
        voDraw::DrawFps();
    }
}
BENCHMARK(DrawFrameRateLine)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
