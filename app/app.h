// The application shell: the entry point, the window procedure, the main loop and the
// frame of the game's program mode.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// The window a game asks for before RunProgram or WinMain: the client size in pixels and the
// caption. The puzzle keeps 160 x 180 and "Plonder".
extern int gameWindowWidth, gameWindowHeight;
extern const char* gameWindowCaption;

// The program's entry for a game on the shell: takes the platform's options off the command
// line (--headless and the rest), starts the backend and runs WinMain. Returns main's result:
// 0, 1 when the backend cannot start, 2 for a usage error.
int RunProgram(int argc, char** argv);

// Registers the window class, makes the window, starts everything and runs the main loop.
// Returns 0 when the loop ends, and 0 at once when the window cannot be made.
int WinMain(platform::InstanceHandle instance, platform::InstanceHandle previous,
            const char* commandLineText, int showCommand);

// Starts the screen and the services, then enters the title.
void InitProgram();

// One frame of program mode 1: clear, the game's frame, present.
void RunGameFrame();

std::intptr_t MainWindowProc(platform::WindowHandle window, std::uint32_t message,
                             std::uintptr_t wParam, std::intptr_t lParam);

// Escape quits and F1 deals a new game; every key is remembered in lastKey.
void HandleKeyDown(int virtualKey);

// Supplied by the game that links the shell: its frame and its scene number.
void GameFrame();
extern int GameScene;
