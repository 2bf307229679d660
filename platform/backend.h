// The seam between the portable platform core and its backends: one small interface per
// service that differs between them, and the table that picks a backend by name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace platform
{

// The one window: creation, its screen, and its end.
class Window
{
public:
    virtual ~Window() = default;
    // Opens the window with this outer rectangle (unscaled pixels). False when it cannot.
    virtual bool Create(const char* caption, int x, int y, int width, int height) = 0;
    virtual void Destroy() = 0;
    virtual void Minimize() = 0;
    // Desktop size in unscaled window pixels.
    virtual void ScreenSize(int& width, int& height) = 0;
    virtual int DesktopBitsPerPixel() = 0;
};

// Input events and the cursor.
class Events
{
public:
    virtual ~Events() = default;
    // Moves waiting input into the message queue (platform::PostMessage).
    virtual void Pump() = 0;
    // The queue is empty and the program is about to run a frame.
    virtual void FrameStarting() = 0;
    virtual void SetCursorShown(bool shown) = 0;
    virtual void GetCursorPos(int& x, int& y) = 0;
    virtual void SetCursorPos(int x, int y) = 0;
    // Confines the cursor to left, top, right, bottom, or frees it when rect is null.
    virtual void ClipCursor(const int* rect) = 0;
};

class Clock
{
public:
    virtual ~Clock() = default;
    virtual std::uint32_t NowMs() = 0;
    virtual void WaitPast(std::uint32_t deadlineMs) = 0;
    virtual std::int64_t CalendarSeconds() = 0;
    virtual LocalTime Local() = 0;
};

class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // caption and text arrive as CP932; the backend converts at its edge.
    virtual int MessageBox(const char* text, const char* caption, unsigned style) = 0;
    virtual void Beep() = 0;
};

// Joysticks 0 and 1 (platform/joystick.h does the number check and the failure values).
class Joystick
{
public:
    virtual ~Joystick() = default;
    // Position 0..65535 per axis, 0 at the left and the top, the dead zone as the centre.
    // False when the joystick is absent or unplugged.
    virtual bool ReadPosition(int joystick, std::uint32_t& x, std::uint32_t& y) = 0;
    // Bit n - 1 for button n. False when the joystick is absent or unplugged.
    virtual bool ReadButtons(int joystick, std::uint32_t& buttons) = 0;
    // Looks at the devices again (joyConfigChanged); may do nothing.
    virtual void ConfigChanged() = 0;
};

struct Backend
{
    std::unique_ptr<Window> window;
    std::unique_ptr<Events> events;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<Dialogs> dialogs;
    std::unique_ptr<Joystick> joystick;
};

// The main window's handle once it exists; messages may be posted to it before that.
constexpr WindowHandle kMainWindow = 1;

// The running backend; asserts that one was started.
Backend& ActiveBackend();

// The main window's handle, 0 before it exists and after it is destroyed.
WindowHandle MainWindowHandle();

namespace sdl
{
// Fills backend with the SDL2 services. False with a reason when SDL cannot start.
bool Create(const Options& options, Backend& backend, std::string& error);
void Destroy();
} // namespace sdl

namespace headless
{
bool Create(const Options& options, Backend& backend, std::string& error);
void Destroy();
} // namespace headless

} // namespace platform

namespace platform
{
// Paths a backend may set in place of the real ones (the headless backend, for tests).
void OverrideProgramFilePath(const std::string& path);
void OverrideSettingsFolder(const std::string& path);
} // namespace platform
