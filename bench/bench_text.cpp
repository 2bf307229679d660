// Speed of text on the back buffer: the fixed-style printer with a Japanese line and the
// frame-rate line, each after its glyphs are cached.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_support.h"
#include "platform/cp932.h"

namespace
{

void PrintJapaneseLine(benchmark::State& state)
{
    bench_support::StartScreen();
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
    bench_support::StartScreen();
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
