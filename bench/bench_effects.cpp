// Speed of the colour-effect blitters on a full-screen 565 source with 10 % transparent pixels
// scattered at random, drawn onto a random back buffer, beside memcpy of the same bytes. Each
// of ours reports its mean processor time as a ratio to memcpy's, measured in the same program
// (counter x_memcpy).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <functional>
#include <random>
#include <vector>

#include "bench/bench_support.h"
#include "draw/blit/blit.h"
#include "platform/surface.h"

namespace
{

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::size_t kPixels = std::size_t{kWidth} * kHeight;
constexpr std::size_t kBytes = kPixels * 2;
constexpr unsigned kSeed = 1234;

using bench_support::ScatteredPixels;

// The screen and the full-screen source, made once, and a random back buffer, filled again
// for every benchmark.
ObjectId Source()
{
    static ObjectId id = 0;
    if (id == 0)
    {
        id = bench_support::MakeScatteredSource(false);
    }
    else
    {
        bench_support::FillSurface(BackBuffer(), ScatteredPixels(kSeed + 1, false));
    }
    return id;
}

// Processor time of this process: on a shared machine, wall time mostly measures the others.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The mean processor time of many memcpy runs of the frame's bytes, taken once per program.
double MemcpySeconds()
{
    static double mean = 0.0;
    if (mean == 0.0)
    {
        constexpr int kRuns = 3000;
        std::vector<std::uint16_t> source = ScatteredPixels(kSeed, true);
        std::vector<std::uint16_t> target(kPixels);
        double start = CpuSeconds();
        for (int run = 0; run < kRuns; ++run)
        {
            std::memcpy(target.data(), source.data(), kBytes);
            benchmark::ClobberMemory();
        }
        mean = (CpuSeconds() - start) / kRuns;
    }
    return mean;
}

// Runs draw once per iteration and reports its mean time over memcpy's.
void Run(benchmark::State& state, const std::function<void(ObjectId)>& draw)
{
    ObjectId id = Source();
    double memcpySeconds = MemcpySeconds();
    double start = CpuSeconds();
    for (auto _ : state)
    {
        draw(id);
        benchmark::ClobberMemory();
    }
    double perIteration =
        (CpuSeconds() - start) /
        static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_memcpy"] = perIteration / memcpySeconds;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}

void Memcpy(benchmark::State& state)
{
    std::vector<std::uint16_t> source = ScatteredPixels(kSeed, true);
    std::vector<std::uint16_t> target(kPixels);
    double memcpySeconds = MemcpySeconds();
    double start = CpuSeconds();
    for (auto _ : state)
    {
        std::memcpy(target.data(), source.data(), kBytes);
        benchmark::ClobberMemory();
    }
    double perIteration = (CpuSeconds() - start) / static_cast<double>(state.iterations());
    state.counters["x_memcpy"] = perIteration / memcpySeconds;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}
BENCHMARK(Memcpy);

void PutDarken(benchmark::State& state)
{
    Run(state, [](ObjectId id) { voDraw::PutDarken(0, 0, 20, id, 0, 0, kWidth, kHeight); });
}
BENCHMARK(PutDarken);

void PutDarkenRGB(benchmark::State& state)
{
    Run(state,
        [](ObjectId id) { voDraw::PutDarkenRGB(0, 0, 10, 20, 30, id, 0, 0, kWidth, kHeight); });
}
BENCHMARK(PutDarkenRGB);

void PutGray(benchmark::State& state)
{
    Run(state, [](ObjectId id) { voDraw::PutGray(0, 0, id, 0, 0, kWidth, kHeight); });
}
BENCHMARK(PutGray);

void PutChannels(benchmark::State& state)
{
    Run(state, [](ObjectId id) { voDraw::PutChannels(0, 0, 1, 0, 1, id, 0, 0, kWidth, kHeight); });
}
BENCHMARK(PutChannels);

void PutBrightness(benchmark::State& state)
{
    Run(state, [](ObjectId id) { voDraw::PutBrightness(0, 0, 0.7f, id, 0, 0, kWidth, kHeight); });
}
BENCHMARK(PutBrightness);

void PutBrightnessRGB(benchmark::State& state)
{
    Run(state, [](ObjectId id)
        { voDraw::PutBrightnessRGB(0, 0, 0.3f, 0.6f, 0.9f, id, 0, 0, kWidth, kHeight); });
}
BENCHMARK(PutBrightnessRGB);

void PutBlur(benchmark::State& state)
{
    int n = static_cast<int>(state.range(0));
    Run(state, [n](ObjectId id) { voDraw::PutBlur(0, 0, n, id, 0, 0, kWidth, kHeight); });
}
BENCHMARK(PutBlur)->Arg(2)->Arg(3)->Arg(8);

void PutSmoothEdges(benchmark::State& state)
{
    Run(state, [](ObjectId id) { voDraw::PutSmoothEdges(0, 0, id, 0, 0, kWidth, kHeight); });
}
BENCHMARK(PutSmoothEdges);

void PutDisplace(benchmark::State& state)
{
    Run(state, [](ObjectId id) { voDraw::PutDisplace(0, 0, 0.5f, id, 0, 0, kWidth, kHeight); });
}
BENCHMARK(PutDisplace);

// Every direction; shift 0 lets the brightest pixels glow 30 rings out, shift 3 at most 3.
void PutGlow(benchmark::State& state)
{
    int shift = static_cast<int>(state.range(0));
    Run(state, [shift](ObjectId id)
        { voDraw::PutGlow(0, 0, shift, shift, shift, 0xFF, 1, id, 0, 0, kWidth, kHeight); });
}
BENCHMARK(PutGlow)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
