// Plays the puzzle through the SDL backend on SDL's dummy video driver with synthetic events
// while recording it ("record FILE"), or replays a record headless ("replay FILE"); then
// prints the board, the move count and the scene, for record_test.cpp to compare.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/app.h"
#include "game/game.h"
#include "platform/platform.h"
#include "system/system.h"

namespace
{

void Wait(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void PushKey(SDL_Keycode key, bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

void Press(SDL_Keycode key)
{
    PushKey(key, true);
    Wait(60);
    PushKey(key, false);
    Wait(90);
}

void PushMouse(int x, int y)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    SDL_PushEvent(&event);
}

// A player: starts a game, slides tiles, deals anew with F1 a few seconds in (a shuffle
// seeded by the clock), slides more, moves the mouse, and quits.
void Play()
{
    Wait(400);
    Press(SDLK_SPACE);
    Wait(300);
    const SDL_Keycode moves[] = {SDLK_UP, SDLK_LEFT, SDLK_DOWN, SDLK_RIGHT, SDLK_UP, SDLK_UP,
                                 SDLK_LEFT, SDLK_LEFT, SDLK_DOWN, SDLK_RIGHT};
    for (SDL_Keycode key : moves)
    {
        Press(key);
    }
    PushMouse(40, 50);
    Wait(1200);
    Press(SDLK_F1);
    Wait(500);
    for (SDL_Keycode key : moves)
    {
        Press(key);
    }
    PushMouse(80, 20);
    Wait(300);
    Press(SDLK_ESCAPE);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: record_driver record|replay FILE\n");
        return 2;
    }
    std::string mode = argv[1];
    platform::Options options;
    if (mode == "record")
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        options.backend = "sdl";
        options.scale = 1;
        options.recordFile = argv[2];
    }
    else
    {
        options.backend = "headless";
        options.inputScript = argv[2];
        options.frames = 100000;
    }
    std::string error;
    if (!platform::Start(options, error))
    {
        std::fprintf(stderr, "record_driver: %s\n", error.c_str());
        return 1;
    }
    std::thread player;
    if (mode == "record")
    {
        player = std::thread(Play);
    }
    InitFrameClock();
    int result = WinMain(platform::GetInstance(), 0, "", 1);
    platform::Shutdown();
    if (player.joinable())
    {
        player.join();
    }
    std::printf("scene %d moves %d cells", GameScene, board.moveCount);
    for (int cell : board.cells)
    {
        std::printf(" %d", cell);
    }
    std::printf(" result %d\n", result);
    return 0;
}
