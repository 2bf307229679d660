// The seam between the portable platform core and its backends: one small interface per
// service that differs between them, and the table that picks a backend by name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/pixels.h"
#include "platform/platform.h"

namespace platform
{

// A decoded icon: RGBA bytes, rows top first, no padding.
struct IconImage
{
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

// The one window: creation, its screen, and its end.
class Window
{
public:
    virtual ~Window() = default;
    // Opens the window with this outer rectangle (unscaled pixels). False when it cannot.
    virtual bool Create(const char* caption, int x, int y, int width, int height) = 0;
    virtual void Destroy() = 0;
    virtual void Minimize() = 0;
    // Shows this picture as the window's icon.
    virtual void SetIcon(const IconImage& icon) = 0;
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

// A step of the display's set-up that a device may refuse (headless switches reach each).
enum class DisplayFault
{
    None,
    NoDevice,         // no display device can be opened
    CooperativeLevel, // the window cannot take the display
    DisplayMode,      // no full-screen mode can be set
    Clipper,          // no clipper can be made
    ClipperWindow,    // the clipper cannot be bound to the window
    ClipperOnPrimary, // the clipper cannot be attached to the primary surface
    PixelFormat,      // the back buffer's pixel format cannot be read
};

// What a display device reports of itself.
struct DisplayDevice
{
    bool hardware3D = false;       // hardware with 3D and texture surfaces
    bool hardwareStretch = false;  // blits stretch in hardware
    bool emulationStretch = false; // blits stretch in emulation
    PixelLayout layout = PixelLayout::Rgb565;
    int surfaceLimit = -1;         // surfaces it holds at once; -1 no limit
    bool surfacesStartLost = false; // new surfaces are lost until restored
    DisplayFault fault = DisplayFault::None;
};

// The display: how the window's picture reaches the screen. The portable surface and
// display code is in platform/surface.cpp and platform/display.cpp.
class Display
{
public:
    virtual ~Display() = default;
    virtual DisplayDevice Device() = 0;
    // Takes the display for the window, exclusively in full screen. False when refused.
    virtual bool SetCooperation(bool fullScreen) = 0;
    // Switches to a full-screen mode; false when the display has no such mode.
    virtual bool SetMode(int width, int height, int bitsPerPixel) = 0;
    // Goes back to the desktop's own mode.
    virtual void RestoreMode() = 0;
    // The window's client area in unscaled screen pixels.
    virtual void ClientArea(int& left, int& top, int& width, int& height) = 0;
    // Returns when the next vertical blank begins; false when the wait fails.
    virtual bool WaitForVerticalBlank() = 0;
    // Shows the client area's picture (client-sized pixels) in the window.
    virtual void ShowPicture(const PixelBuffer& picture) = 0;
};

// The sound output: a stereo 16-bit stream that pulls mixed frames from the platform's
// mixer (MixAudio below). The device, buffers and mixing are in platform/mixer.cpp.
class AudioOut
{
public:
    virtual ~AudioOut() = default;
    // Starts pulling frames at rateHz. False with a reason when there is no output.
    virtual bool Open(int rateHz, std::string& error) = 0;
    // Stops pulling; MixAudio is not called once this returns.
    virtual void Close() = 0;
    // Frames mixed ahead of what is being heard.
    virtual int LatencyFrames() = 0;
};

// The mixer's pull: count stereo frames, left then right, of everything playing. Backends
// call it from their output (on any thread).
void MixAudio(std::int16_t* frames, int count);

struct Backend
{
    std::unique_ptr<Window> window;
    std::unique_ptr<Events> events;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<Dialogs> dialogs;
    std::unique_ptr<Display> display;
    std::unique_ptr<Joystick> joystick;
    std::unique_ptr<AudioOut> audio;
};

// The picture of a handle LoadIcon gave; null for 0 or a handle it never gave (icon.cpp).
const IconImage* FindIcon(IconHandle icon);

// The main window's handle once it exists; messages may be posted to it before that.
constexpr WindowHandle kMainWindow = 1;

// The running backend; asserts that one was started.
Backend& ActiveBackend();

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
