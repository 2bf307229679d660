// Speed of the drawing core beside the same work done by SDL2 and by plain memset and memcpy:
// clearing the 640 x 480 back buffer, opaque and colour-keyed puts of a 640 x 480 object, and
// one whole game frame (clear, 25 tiles, 8 digits, present to the headless window).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "bench/bench_support.h"
#include "platform/surface.h"

namespace
{

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::size_t kBytes = std::size_t{kWidth} * kHeight * 2;
constexpr std::uint16_t kKey = 0; // objects are keyed on black
constexpr unsigned kSeed = 1234;

// Random 16-bit pixels, one in ten of them the key, in no pattern.
std::vector<std::uint16_t> ScatteredKeyPixels()
{
    std::mt19937 random(kSeed);
    std::vector<std::uint16_t> pixels(std::size_t{kWidth} * kHeight);
    for (auto& p : pixels)
    {
        p = random() % 10 == 0 ? kKey : static_cast<std::uint16_t>(1 + random() % 0xFFFF);
    }
    return pixels;
}

// A full-screen object filled with the pixels.
ObjectId FullScreenObject(const std::vector<std::uint16_t>& source)
{
    ObjectId id = voDraw::CreateObject(kWidth, kHeight - 1, 2);
    platform::PixelBuffer pixels;
    platform::LockSurface(objectTable[id].surface, pixels);
    for (int y = 0; y < kHeight; ++y)
    {
        std::memcpy(pixels.Row(y), source.data() + std::size_t{kWidth} * y, kWidth * 2);
    }
    platform::UnlockSurface(objectTable[id].surface);
    return id;
}

SDL_Surface* SdlSurface(const std::vector<std::uint16_t>* source)
{
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 16, SDL_PIXELFORMAT_RGB565);
    if (surface != nullptr && source != nullptr)
    {
        for (int y = 0; y < kHeight; ++y)
        {
            std::memcpy(static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch,
                        source->data() + std::size_t{kWidth} * y, kWidth * 2);
        }
    }
    return surface;
}

void SetBytes(benchmark::State& state)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}

// A full-screen object of scattered pixels put to the back buffer, keyed or opaque.
void PutFullScreen(benchmark::State& state, bool keyed)
{
    bench_support::StartScreen();
    ObjectId id = FullScreenObject(ScatteredKeyPixels());
    for (auto _ : state)
    {
        if (keyed)
        {
            voDraw::Put(0, 0, id, 0, 0, kWidth, kHeight);
        }
        else
        {
            voDraw::PutOpaque(0, 0, id, 0, 0, kWidth, kHeight);
        }
        benchmark::ClobberMemory();
    }
    voDraw::ReleaseObject(id);
    SetBytes(state);
}

// The same pixels blitted by SDL2, with its colour key or without.
void BlitFullScreenSdl(benchmark::State& state, bool keyed)
{
    std::vector<std::uint16_t> pixels = ScatteredKeyPixels();
    SDL_Surface* source = SdlSurface(&pixels);
    SDL_Surface* target = SdlSurface(nullptr);
    if (keyed)
    {
        SDL_SetColorKey(source, SDL_TRUE, kKey);
    }
    for (auto _ : state)
    {
        SDL_BlitSurface(source, nullptr, target, nullptr);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(source);
    SDL_FreeSurface(target);
    SetBytes(state);
}

// ---- Clear ----------------------------------------------------------------------------------

void ClearOurs(benchmark::State& state)
{
    bench_support::StartScreen();
    for (auto _ : state)
    {
        voDraw::Clear();
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}
BENCHMARK(ClearOurs);

void ClearMemset(benchmark::State& state)
{
    std::vector<std::uint16_t> pixels(kBytes / 2, 1);
    for (auto _ : state)
    {
        std::memset(pixels.data(), 0, kBytes);
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}
BENCHMARK(ClearMemset);

void ClearSdlFillRect(benchmark::State& state)
{
    SDL_Surface* surface = SdlSurface(nullptr);
    for (auto _ : state)
    {
        SDL_FillRect(surface, nullptr, 0);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(surface);
    SetBytes(state);
}
BENCHMARK(ClearSdlFillRect);

// ---- Opaque put -----------------------------------------------------------------------------

void PutOpaqueOurs(benchmark::State& state)
{
    PutFullScreen(state, false);
}
BENCHMARK(PutOpaqueOurs);

void PutOpaqueMemcpy(benchmark::State& state)
{
    std::vector<std::uint16_t> source = ScatteredKeyPixels();
    std::vector<std::uint16_t> target(source.size());
    for (auto _ : state)
    {
        std::memcpy(target.data(), source.data(), kBytes);
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}
BENCHMARK(PutOpaqueMemcpy);

void PutOpaqueSdlBlit(benchmark::State& state)
{
    BlitFullScreenSdl(state, false);
}
BENCHMARK(PutOpaqueSdlBlit);

// ---- Colour-keyed put -----------------------------------------------------------------------

void PutKeyedOurs(benchmark::State& state)
{
    PutFullScreen(state, true);
}
BENCHMARK(PutKeyedOurs);

void PutKeyedPerPixelLoop(benchmark::State& state)
{
    std::vector<std::uint16_t> source = ScatteredKeyPixels();
    std::vector<std::uint16_t> target(source.size(), 0x1234);
    for (auto _ : state)
    {
        // The straightforward definition, with its branch on every pixel.
        for (std::size_t i = 0; i < source.size(); ++i)
        {
            std::uint16_t p = source[i];
            if (p != kKey)
            {
                target[i] = p;
            }
            benchmark::DoNotOptimize(p);
        }
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}
BENCHMARK(PutKeyedPerPixelLoop);

void PutKeyedSdlBlit(benchmark::State& state)
{
    BlitFullScreenSdl(state, true);
}
BENCHMARK(PutKeyedSdlBlit);

// ---- A game frame ---------------------------------------------------------------------------

void GameFrameDrawing(benchmark::State& state)
{
    bench_support::StartScreen();
    ObjectId tiles = voDraw::LoadObject("tiles.bmp", 2);
    ObjectId letters = voDraw::LoadObject("letter.bmp", 2);
    for (auto _ : state)
    {
        voDraw::Clear();
        for (int cell = 0; cell < 25; ++cell)
        {
            int tile = (cell * 7) % 25;
            voDraw::Put(static_cast<double>(cell % 5 * 32), static_cast<double>(cell / 5 * 32),
                        tiles, tile % 5 * 32, tile / 5 * 32, tile % 5 * 32 + 32,
                        tile / 5 * 32 + 32);
        }
        for (int digit = 0; digit < 8; ++digit)
        {
            voDraw::Put(static_cast<double>(40 + digit * 12 + (digit / 4) * 40), 164.0, letters,
                        digit * 10, 0, digit * 10 + 10, 16);
        }
        voDraw::Present();
    }
    voDraw::ReleaseObject(tiles);
    voDraw::ReleaseObject(letters);
}
// Every presented frame is kept by the headless window, so the count is bounded.
BENCHMARK(GameFrameDrawing)->Iterations(3000);

} // namespace

BENCHMARK_MAIN();
