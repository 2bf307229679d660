// What the SDL2 backend's files share. No SDL types here, so tests may include it.
#pragma once

#include <string>

struct SDL_Window;

namespace platform::sdl
{

// The main window, or null before it is made.
SDL_Window* MainSdlWindow();

// Whole-number scale of the window's client area.
int WindowScale();

// The window's title (UTF-8) and client size in real pixels, for checks.
bool WindowInfo(std::string& title, int& width, int& height);

} // namespace platform::sdl
