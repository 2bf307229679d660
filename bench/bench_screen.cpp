// Speed of the screen effects over the whole 640 x 480 back buffer, beside memcpy of the same
// bytes: the blur, the rising smoke and a mosaic whose disc covers the screen.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "bench/bench_support.h"
#include "draw/blit/blit.h"
#include "platform/surface.h"

namespace
{

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::size_t kBytes = std::size_t{kWidth} * kHeight * 2;
constexpr unsigned kSeed = 1234;

// The screen, with random pixels in the back buffer.
void StartRandomBack()
{
    bench_support::StartScreen();
    std::mt19937 random(kSeed);
    platform::PixelBuffer pixels;
    platform::LockSurface(BackBuffer(), pixels);
    for (int y = 0; y < pixels.height; ++y)
    {
        for (int x = 0; x < pixels.width; ++x)
        {
            pixels.Row(y)[x] = static_cast<std::uint16_t>(random());
        }
    }
    platform::UnlockSurface(BackBuffer());
}

void SetBytes(benchmark::State& state)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}

void ScreenBlurOurs(benchmark::State& state)
{
    StartRandomBack();
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(voDraw::ScreenBlur(0, 0, kWidth, kHeight));
    }
    SetBytes(state);
}
BENCHMARK(ScreenBlurOurs);

void ScreenRiseOurs(benchmark::State& state)
{
    StartRandomBack();
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(voDraw::ScreenRise(0, 0, kWidth, kHeight));
    }
    SetBytes(state);
}
BENCHMARK(ScreenRiseOurs);

// A disc of radius 400 about the centre reaches every corner: the whole screen in 8 x 8 cells.
void ScreenMosaicOurs(benchmark::State& state)
{
    StartRandomBack();
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(voDraw::ScreenMosaic(kWidth / 2, kHeight / 2, 401, 8));
    }
    SetBytes(state);
}
BENCHMARK(ScreenMosaicOurs);

void ScreenMemcpy(benchmark::State& state)
{
    std::vector<std::uint16_t> source(kBytes / 2, 0x1234);
    std::vector<std::uint16_t> target(kBytes / 2);
    for (auto _ : state)
    {
        std::memcpy(target.data(), source.data(), kBytes);
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}
BENCHMARK(ScreenMemcpy);

} // namespace

BENCHMARK_MAIN();
