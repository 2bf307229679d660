// What the SDL2 backend's files share. No SDL types here, so tests may include it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct SDL_Window;

namespace platform
{
class Joystick;
class Display;
class AudioOut;
}

namespace platform::sdl
{

// The main window, or null before it is made.
SDL_Window* MainSdlWindow();

// Whole-number scale of the window's client area.
int WindowScale();

// For checks without a mouse: queues a pointer movement to (x, y) in window pixels, as SDL
// reports one.
void PushPointerMotion(int x, int y);

// The window's title (UTF-8) and client size in real pixels, for checks.
bool WindowInfo(std::string& title, int& width, int& height);

// The window's picture and the vertical blank (sdl_display.cpp).
std::unique_ptr<platform::Display> MakeDisplay();
// Frees the renderer; the window calls it before it goes.
void DropRenderer();

// Joysticks 0 and 1 from SDL's joysticks and game controllers (sdl_joystick.cpp).
std::unique_ptr<platform::Joystick> MakeJoystick();

// The output through an SDL audio device (sdl_audio.cpp).
std::unique_ptr<platform::AudioOut> MakeAudioOut();

// For checks without hardware: plugs in a virtual device that SDL treats as a real one, a
// game controller with the standard layout (axis 0 left stick x, axis 1 left stick y, button
// 0 A, 1 B, 2 X, 3 Y, 11 to 14 D-pad up, down, left, right) or a plain joystick with two axes,
// four buttons and one hat. Returns its SDL instance id, -1 on failure.
int AttachVirtualJoystick(bool controller);
// Sets axes 0 and 1 (-32768..32767), the buttons (bit n for SDL button n) and hat 0 (SDL's
// hat bits: 1 up, 2 right, 4 down, 8 left). False for an unknown id.
bool SetVirtualJoystick(int id, int axisX, int axisY, std::uint32_t buttons, int hat);
// Unplugs it. False for an unknown id.
bool DetachVirtualJoystick(int id);

} // namespace platform::sdl
