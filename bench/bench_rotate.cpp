// Speed of the rotated, warped, mirrored and smeared blitters on a 640 x 480 object (10 % of
// its pixels transparent, at random) onto a random 640 x 480 back buffer, beside memcpy of
// the same bytes and SDL2's software renderer turning the same picture.
#include <SDL.h>
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
constexpr int kAngle = 30;

using bench_support::ScatteredPixels;

// The screen, a random back buffer and the full-screen source object, made once.
ObjectId Source()
{
    static ObjectId id = bench_support::MakeScatteredSource();
    return id;
}

void SetBytes(benchmark::State& state)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}

template <class Draw>
void Run(benchmark::State& state, Draw draw)
{
    ObjectId id = Source();
    for (auto _ : state)
    {
        draw(id);
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}

void Memcpy(benchmark::State& state)
{
    std::vector<std::uint16_t> source = ScatteredPixels(kSeed);
    std::vector<std::uint16_t> target(source.size());
    for (auto _ : state)
    {
        std::memcpy(target.data(), source.data(), kBytes);
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}
BENCHMARK(Memcpy);

// ---- Rotation -------------------------------------------------------------------------------

// A rotation member over the whole frame at kAngle; zoom is the magnified members' factor.
template <class Member, class... Zoom>
void RotateWholeFrame(benchmark::State& state, Member member, Zoom... zoom)
{
    Run(state, [&](ObjectId id)
        { member(0, 0, kWidth, kHeight, kAngle, zoom..., id, 0, 0, kWidth, kHeight); });
}

void PutRotate(benchmark::State& state)
{
    RotateWholeFrame(state, voDraw::PutRotate);
}
BENCHMARK(PutRotate);

void PutRotateZoom(benchmark::State& state)
{
    RotateWholeFrame(state, voDraw::PutRotateZoom, 1.5f);
}
BENCHMARK(PutRotateZoom);

void PutRotateTiled(benchmark::State& state)
{
    RotateWholeFrame(state, voDraw::PutRotateTiled);
}
BENCHMARK(PutRotateTiled);

void PutRotateZoomTiled(benchmark::State& state)
{
    RotateWholeFrame(state, voDraw::PutRotateZoomTiled, 0.75f);
}
BENCHMARK(PutRotateZoomTiled);

void PutPerspective(benchmark::State& state)
{
    Run(state, [](ObjectId id)
        { voDraw::PutPerspective(0, 0, kWidth, kHeight, kAngle, 0.5f, 0.01f, 0.5f, 0.01f, 1.0f,
                                 0.8f, 0.6f, id, 0, 0, kWidth, kHeight); });
}
BENCHMARK(PutPerspective);

// SDL2's software renderer turning the same keyed picture by the same angle onto an RGB565
// surface of the same size.
void SdlRenderCopyEx(benchmark::State& state)
{
    std::vector<std::uint16_t> pixels = ScatteredPixels(kSeed);
    SDL_Surface* target =
        SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 16, SDL_PIXELFORMAT_RGB565);
    SDL_Surface* source =
        SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), kWidth, kHeight, 16, kWidth * 2,
                                           SDL_PIXELFORMAT_RGB565);
    SDL_SetColorKey(source, SDL_TRUE, 0);
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(target);
    SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, source);
    if (renderer == nullptr || texture == nullptr)
    {
        state.SkipWithError("SDL2 software renderer unavailable");
        return;
    }
    SDL_Rect whole{0, 0, kWidth, kHeight};
    for (auto _ : state)
    {
        SDL_RenderCopyEx(renderer, texture, nullptr, &whole, kAngle, nullptr, SDL_FLIP_NONE);
        benchmark::ClobberMemory();
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(source);
    SDL_FreeSurface(target);
    SetBytes(state);
}
BENCHMARK(SdlRenderCopyEx);

// ---- Warps ----------------------------------------------------------------------------------

void PutRipple(benchmark::State& state)
{
    Run(state, [](ObjectId id)
        { voDraw::PutRipple(0, 0, 20, 6, 1, 1.0f, 0.2f, id, 0, 0, kWidth, kHeight); });
}
BENCHMARK(PutRipple);

void MakeTunnel(benchmark::State& state)
{
    for (auto _ : state)
    {
        voDraw::MakeTunnel(kWidth, kHeight, kWidth, kHeight, -1, -1, -1, 0, 0, 1);
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}
BENCHMARK(MakeTunnel);

// A 640 x 480 map over a texture of range(0) x range(0) pixels, the object's top-left part.
void PutTunnel(benchmark::State& state)
{
    int texture = static_cast<int>(state.range(0));
    voDraw::MakeTunnel(texture, texture, kWidth, kHeight, -1, -1, -1, 0, 0, 1);
    int frame = 0;
    Run(state, [&](ObjectId id)
        {
            ++frame;
            voDraw::PutTunnel(0, 0, frame % texture, (frame * 7) % texture, id);
        });
}
BENCHMARK(PutTunnel)->Arg(128)->Arg(256)->Arg(480);

// ---- Mirrored and smeared -------------------------------------------------------------------

void PutFlip(benchmark::State& state)
{
    int mode = static_cast<int>(state.range(0));
    Run(state, [mode](ObjectId id) { voDraw::PutFlip(0, 0, mode, id, 0, 0, kWidth, kHeight); });
}
BENCHMARK(PutFlip)->DenseRange(0, 3);

void PutSmear(benchmark::State& state)
{
    int mode = static_cast<int>(state.range(0));
    Run(state, [mode](ObjectId id)
        { voDraw::PutSmear(0, 0, mode, 200, id, 0, 0, kWidth, kHeight); });
}
BENCHMARK(PutSmear)->DenseRange(0, 3);

} // namespace

BENCHMARK_MAIN();
