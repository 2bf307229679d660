// The least a 60 Hz SDL2 program can do: upload a 160 x 180 RGB565 picture, present it at a
// whole scale, and wait for the next frame. tools/idle-check measures the game beside it.
//   idle_reference SCALE SECONDS
#include <SDL.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace
{

constexpr int kWidth = 160;
constexpr int kHeight = 180;
constexpr long kPeriodNs = 1000000000L / 60;

void AddNs(timespec& t, long ns)
{
    t.tv_nsec += ns;
    while (t.tv_nsec >= 1000000000L)
    {
        t.tv_nsec -= 1000000000L;
        t.tv_sec += 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    int scale = argc > 1 ? std::atoi(argv[1]) : 1;
    int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    if (scale < 1 || seconds < 1 || SDL_Init(SDL_INIT_VIDEO) != 0)
    {
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("idle reference", SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, kWidth * scale,
                                          kHeight * scale, SDL_WINDOW_SHOWN);
    SDL_Renderer* renderer =
        window != nullptr ? SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC) : nullptr;
    if (renderer == nullptr && window != nullptr)
    {
        renderer = SDL_CreateRenderer(window, -1, 0);
    }
    if (renderer == nullptr)
    {
        return 1;
    }
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer, &info);
    bool vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565,
                                             SDL_TEXTUREACCESS_STREAMING, kWidth, kHeight);
    std::vector<std::uint16_t> picture(kWidth * kHeight);
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (long frame = 0; frame < 60L * seconds; ++frame)
    {
        SDL_Event event;
        while (SDL_PollEvent(&event))
        {
        }
        picture[static_cast<std::size_t>(frame) % picture.size()] =
            static_cast<std::uint16_t>(frame);
        SDL_UpdateTexture(texture, nullptr, picture.data(), kWidth * 2);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
        if (!vsync)
        {
            AddNs(next, kPeriodNs);
            while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR)
            {
            }
        }
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
