// SDL2 display: the window's picture through an RGB565 texture, scaled by the window's
// whole-number scale; the vertical blank from the renderer's vsync, or an even 60 Hz wait
// when the display has none, so the main loop never runs faster than the screen.
//   [X] picture, scale, vsync with a timed fallback, desktop full screen for full-screen modes,
//       the mode's picture scaled by a whole number and centred
//   [ ] real display modes: full screen keeps the desktop's mode and scales the picture
#include <SDL.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <thread>

#include "platform/backend.h"
#include "platform/sdl/sdl_internal.h"

namespace platform::sdl
{
namespace
{

constexpr std::int64_t kRefreshPeriodNs = 1000000000 / 60;
// How long before a timed tick the sleep ends; the rest is spun.
constexpr int kSpinUs = 200;
// Presents this much apart, many times running, mean the vsync is not really waiting.
constexpr std::uint64_t kTooFastUs = 2000;
constexpr int kTooFastFrames = 10;

struct DisplayState
{
    SDL_Window* window = nullptr;     // the window the renderer draws in
    SDL_Renderer* renderer = nullptr; // made on the first use
    SDL_Texture* texture = nullptr;   // the picture, RGB565
    int textureWidth = 0, textureHeight = 0;
    bool vsync = false;            // the present waits for the vertical blank
    bool shownSinceWait = false;   // a present followed the last wait
    std::chrono::steady_clock::time_point nextTick; // the next timed blank
    std::uint64_t lastPresent = 0; // performance counter of the last present
    int fastFrames = 0;            // presents in a row that came too quickly
    int logicalWidth = 0, logicalHeight = 0; // the renderer's logical size; 0 in a window
    bool integerScale = false;               // the logical size is scaled by whole numbers
};

DisplayState displayState;

// Sleeps until the moment on the steady clock: an absolute deadline, so the sleep does not
// drift by the time spent getting to it.
void SleepUntil(std::chrono::steady_clock::time_point moment)
{
#if defined(__linux__)
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(moment.time_since_epoch());
    timespec deadline{};
    deadline.tv_sec = static_cast<time_t>(ns.count() / 1000000000);
    deadline.tv_nsec = static_cast<long>(ns.count() % 1000000000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR)
    {
    }
#else
    std::this_thread::sleep_until(moment);
#endif
}

std::uint64_t MicrosecondsBetween(std::uint64_t from, std::uint64_t to)
{
    return (to - from) * 1000000 / SDL_GetPerformanceFrequency();
}

bool EnsureRenderer()
{
    SDL_Window* window = MainSdlWindow();
    if (window == nullptr)
    {
        return false;
    }
    if (displayState.renderer != nullptr && displayState.window == window)
    {
        return true;
    }
    DropRenderer();
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
    if (renderer == nullptr)
    {
        renderer = SDL_CreateRenderer(window, -1, 0);
    }
    if (renderer == nullptr)
    {
        return false;
    }
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer, &info);
    SDL_DisplayMode mode{};
    int index = SDL_GetWindowDisplayIndex(window);
    bool knownRate =
        index >= 0 && SDL_GetCurrentDisplayMode(index, &mode) == 0 && mode.refresh_rate > 0;
    displayState.window = window;
    displayState.renderer = renderer;
    displayState.vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0 && knownRate;
    return true;
}

// Sleeps until just before the next 60 Hz tick, then spins the last moment: an even pace
// without a core spent waiting (a plain sleep may wake a little late; the spin absorbs it).
void TimedWait()
{
    using Clock = std::chrono::steady_clock;
    const Clock::duration period =
        std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(kRefreshPeriodNs));
    Clock::time_point now = Clock::now();
    // After a long stall the schedule starts again instead of racing to catch up.
    if (displayState.nextTick == Clock::time_point{} || now > displayState.nextTick + period)
    {
        displayState.nextTick = now + period;
    }
    Clock::time_point wake = displayState.nextTick - std::chrono::microseconds(kSpinUs);
    if (now < wake)
    {
        SleepUntil(wake);
    }
    while (Clock::now() < displayState.nextTick)
    {
    }
    displayState.nextTick += period;
}

class SdlDisplay final : public platform::Display
{
  public:
    ~SdlDisplay() override
    {
        DropRenderer();
    }
    DisplayDevice Device() override
    {
        DisplayDevice device;
        device.hardware3D = true;
        device.hardwareStretch = true;
        device.emulationStretch = true;
        device.layout = PixelLayout::Rgb565;
        return device;
    }
    bool SetCooperation(bool) override
    {
        return MainSdlWindow() != nullptr;
    }
    bool SetMode(int, int, int bitsPerPixel) override
    {
        bool known =
            bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
        SDL_Window* window = MainSdlWindow();
        return known && window != nullptr &&
               SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
    }
    void RestoreMode() override
    {
        if (SDL_Window* window = MainSdlWindow())
        {
            SDL_SetWindowFullscreen(window, 0);
        }
    }
    void ClientArea(int& left, int& top, int& width, int& height) override
    {
        left = top = width = height = 0;
        SDL_Window* window = MainSdlWindow();
        if (window == nullptr)
        {
            return;
        }
        int scale = WindowScale();
        SDL_GetWindowPosition(window, &left, &top);
        SDL_GetWindowSize(window, &width, &height);
        left /= scale;
        top /= scale;
        width /= scale;
        height /= scale;
    }
    bool WaitForVerticalBlank() override
    {
        EnsureRenderer();
        // With vsync the present itself waits; a wait with no present since the last one
        // must still take a frame's time, or the loop would spin.
        if (displayState.vsync && displayState.shownSinceWait)
        {
            displayState.shownSinceWait = false;
            return true;
        }
        displayState.shownSinceWait = false;
        TimedWait();
        return true;
    }
    void ShowPicture(const PixelBuffer& picture) override
    {
        if (!EnsureRenderer() || picture.width <= 0 || picture.height <= 0)
        {
            return;
        }
        if (displayState.texture == nullptr || displayState.textureWidth != picture.width ||
            displayState.textureHeight != picture.height)
        {
            if (displayState.texture != nullptr)
            {
                SDL_DestroyTexture(displayState.texture);
            }
            displayState.texture =
                SDL_CreateTexture(displayState.renderer, SDL_PIXELFORMAT_RGB565,
                                  SDL_TEXTUREACCESS_STREAMING, picture.width, picture.height);
            displayState.textureWidth = picture.width;
            displayState.textureHeight = picture.height;
            if (displayState.texture == nullptr)
            {
                return;
            }
        }
        FitPicture(picture.width, picture.height);
        SDL_UpdateTexture(displayState.texture, nullptr, picture.pixels, picture.pitchBytes);
        SDL_RenderClear(displayState.renderer);
        SDL_RenderCopy(displayState.renderer, displayState.texture, nullptr, nullptr);
        SDL_RenderPresent(displayState.renderer);
        displayState.shownSinceWait = true;
        NoteVsync();
    }

  private:
    // In a window the picture fills the window, whose size is the picture's times the window
    // scale. In full screen the picture is the whole display mode, shown on the desktop scaled
    // by the largest whole number that fits and centred, or fitted when even 1 does not fit;
    // the logical size also brings pointer events back to the picture's pixels.
    static void FitPicture(int width, int height)
    {
        SDL_Window* window = MainSdlWindow();
        bool fullScreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
        int logicalWidth = fullScreen ? width : 0;
        int logicalHeight = fullScreen ? height : 0;
        bool integerScale = false;
        int outputWidth = 0;
        int outputHeight = 0;
        if (fullScreen &&
            SDL_GetRendererOutputSize(displayState.renderer, &outputWidth, &outputHeight) == 0)
        {
            integerScale = outputWidth >= width && outputHeight >= height;
        }
        if (logicalWidth == displayState.logicalWidth &&
            logicalHeight == displayState.logicalHeight &&
            integerScale == displayState.integerScale)
        {
            return;
        }
        SDL_RenderSetIntegerScale(displayState.renderer, integerScale ? SDL_TRUE : SDL_FALSE);
        SDL_RenderSetLogicalSize(displayState.renderer, logicalWidth, logicalHeight);
        if (!fullScreen)
        {
            SDL_RenderSetViewport(displayState.renderer, nullptr);
            SDL_RenderSetScale(displayState.renderer, 1.0f, 1.0f);
        }
        displayState.logicalWidth = logicalWidth;
        displayState.logicalHeight = logicalHeight;
        displayState.integerScale = integerScale;
    }

    // A renderer that claims vsync but returns at once gets the timed wait instead.
    static void NoteVsync()
    {
        std::uint64_t now = SDL_GetPerformanceCounter();
        if (displayState.vsync && displayState.lastPresent != 0 &&
            MicrosecondsBetween(displayState.lastPresent, now) < kTooFastUs)
        {
            displayState.fastFrames += 1;
            if (displayState.fastFrames >= kTooFastFrames)
            {
                SDL_RenderSetVSync(displayState.renderer, 0);
                displayState.vsync = false;
            }
        }
        else
        {
            displayState.fastFrames = 0;
        }
        displayState.lastPresent = now;
    }
};

} // namespace

void DropRenderer()
{
    if (displayState.texture != nullptr)
    {
        SDL_DestroyTexture(displayState.texture);
    }
    if (displayState.renderer != nullptr)
    {
        SDL_DestroyRenderer(displayState.renderer);
    }
    displayState = DisplayState{};
}

std::unique_ptr<platform::Display> MakeDisplay()
{
    return std::make_unique<SdlDisplay>();
}

} // namespace platform::sdl
