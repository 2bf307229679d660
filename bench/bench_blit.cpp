// Speed of the blending blitters on a full 640 x 480 screen beside memcpy of the same bytes and
// SDL2's keyed blended blits. Each reports x_memcpy: its processor time over memcpy's, both
// measured in this program.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "bench/bench_support.h"
#include "draw/blit/blit_internal.h"
#include "platform/surface.h"

namespace
{

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::size_t kBytes = std::size_t{kWidth} * kHeight * 2;
constexpr unsigned kSeed = 1234;

using bench_support::ScatteredPixels;

// Processor time of one memcpy of the screen's bytes, the mean of many, taken once: the same
// measure as the benchmarks' CPU time.
double MemcpySeconds()
{
    static double seconds = 0.0;
    if (seconds > 0.0)
    {
        return seconds;
    }
    std::vector<std::uint16_t> source = ScatteredPixels(kSeed);
    std::vector<std::uint16_t> target(source.size());
    constexpr int kRuns = 4000;
    timespec begin{};
    timespec end{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &begin);
    for (int run = 0; run < kRuns; ++run)
    {
        std::memcpy(target.data(), source.data(), kBytes);
        benchmark::ClobberMemory();
    }
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
    seconds = (static_cast<double>(end.tv_sec - begin.tv_sec) +
               static_cast<double>(end.tv_nsec - begin.tv_nsec) * 1e-9) /
              kRuns;
    return seconds;
}

void Report(benchmark::State& state)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
    state.counters["x_memcpy"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * MemcpySeconds(),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// One of ours drawing the full-screen object onto a random back buffer, on the path chosen.
void Ours(benchmark::State& state, const std::function<int(ObjectId)>& put, BlitPath path)
{
    bench_support::StartScreen();
    if (!SetBlitPath(path))
    {
        state.SkipWithError("the processor lacks this path");
        return;
    }
    ObjectId id = bench_support::MakeScatteredSource();
    MemcpySeconds();
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(put(id));
        benchmark::ClobberMemory();
    }
    voDraw::ReleaseObject(id);
    Report(state);
}

void Register(const char* name, std::function<int(ObjectId)> put)
{
    benchmark::RegisterBenchmark((std::string(name) + "/avx2").c_str(),
                                 [put](benchmark::State& state)
                                 { Ours(state, put, BlitPath::Avx2); });
    benchmark::RegisterBenchmark((std::string(name) + "/baseline").c_str(),
                                 [put](benchmark::State& state)
                                 { Ours(state, put, BlitPath::Baseline); });
}

void Memcpy(benchmark::State& state)
{
    std::vector<std::uint16_t> source = ScatteredPixels(kSeed);
    std::vector<std::uint16_t> target(source.size());
    MemcpySeconds();
    for (auto _ : state)
    {
        std::memcpy(target.data(), source.data(), kBytes);
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK(Memcpy);

SDL_Surface* SdlSurface(const std::vector<std::uint16_t>& source)
{
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 16, SDL_PIXELFORMAT_RGB565);
    for (int y = 0; y < kHeight; ++y)
    {
        std::memcpy(static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch,
                    source.data() + std::size_t{kWidth} * y, kWidth * 2);
    }
    return surface;
}

// SDL2's keyed blit in a blend mode with an alpha modulation.
void Sdl(benchmark::State& state, SDL_BlendMode mode, Uint8 alpha)
{
    SDL_Surface* source = SdlSurface(ScatteredPixels(kSeed));
    SDL_Surface* target = SdlSurface(ScatteredPixels(kSeed + 1));
    SDL_SetColorKey(source, SDL_TRUE, 0);
    SDL_SetSurfaceBlendMode(source, mode);
    SDL_SetSurfaceAlphaMod(source, alpha);
    MemcpySeconds();
    for (auto _ : state)
    {
        SDL_BlitSurface(source, nullptr, target, nullptr);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(source);
    SDL_FreeSurface(target);
    Report(state);
}

void SdlBlend128(benchmark::State& state)
{
    Sdl(state, SDL_BLENDMODE_BLEND, 128);
}
BENCHMARK(SdlBlend128);

void SdlBlend100(benchmark::State& state)
{
    Sdl(state, SDL_BLENDMODE_BLEND, 100);
}
BENCHMARK(SdlBlend100);

void SdlAdd(benchmark::State& state)
{
    Sdl(state, SDL_BLENDMODE_ADD, 255);
}
BENCHMARK(SdlAdd);

int RegisterOurs()
{
    constexpr int w = kWidth;
    constexpr int h = kHeight;
    Register("PutHalf", [](ObjectId id) { return voDraw::PutHalf(0, 0, id, 0, 0, w, h); });
    Register("PutAdd", [](ObjectId id) { return voDraw::PutAdd(0, 0, id, 0, 0, w, h); });
    Register("PutSubtract",
             [](ObjectId id) { return voDraw::PutSubtract(0, 0, id, 0, 0, w, h); });
    Register("PutFade", [](ObjectId id) { return voDraw::PutFade(0, 0, 12, id, 0, 0, w, h); });
    Register("PutFadeRGB",
             [](ObjectId id) { return voDraw::PutFadeRGB(0, 0, 5, 17, 29, id, 0, 0, w, h); });
    Register("PutFadeRamp/across",
             [](ObjectId id)
             { return voDraw::PutFadeRamp(0, 0, 0, 4, 8, 0, 100, 10, id, 0, 0, w, h); });
    Register("PutFadeRamp/down",
             [](ObjectId id)
             { return voDraw::PutFadeRamp(0, 0, 0, 4, 8, 1, 100, 10, id, 0, 0, w, h); });
    Register("PutAddLevel",
             [](ObjectId id) { return voDraw::PutAddLevel(0, 0, 0.6f, id, 0, 0, w, h); });
    // Opacities whose weights are exact in fixed point and add up to 1 (0.5), exact but not
    // adding up (0.4), and neither (0.1): the three ways an alpha blend is computed.
    Register("PutAlpha/0.5",
             [](ObjectId id) { return voDraw::PutAlpha(0, 0, 0.5f, id, 0, 0, w, h); });
    Register("PutAlpha/0.4",
             [](ObjectId id) { return voDraw::PutAlpha(0, 0, 0.4f, id, 0, 0, w, h); });
    Register("PutAlpha/0.1",
             [](ObjectId id) { return voDraw::PutAlpha(0, 0, 0.1f, id, 0, 0, w, h); });
    Register("PutAlphaRGB",
             [](ObjectId id)
             { return voDraw::PutAlphaRGB(0, 0, 0.2f, 0.5f, 0.7f, id, 0, 0, w, h); });
    Register("PutAlphaRamp/across",
             [](ObjectId id)
             {
                 return voDraw::PutAlphaRamp(0, 0, 0.0f, 0.1f, 0.2f, 0, 100, 10, id, 0, 0, w, h);
             });
    Register("PutAlphaRamp/down",
             [](ObjectId id)
             {
                 return voDraw::PutAlphaRamp(0, 0, 0.0f, 0.1f, 0.2f, 1, 100, 10, id, 0, 0, w, h);
             });
    return 0;
}
const int registered = RegisterOurs();

} // namespace

BENCHMARK_MAIN();
