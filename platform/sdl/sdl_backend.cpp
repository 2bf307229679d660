// SDL2 backend: the real window, its events, the cursor, the clock and message boxes.
// The window shows the system's unscaled screen at a whole-number scale; positions are
// divided by the scale on the way in, so the system never sees it.
//   [X] window, keyboard (as virtual-key codes), mouse, double clicks, cursor (with the
//       set-cursor message), clock, message boxes (CP932 converted), activation, moves,
//       close button
//   [X] window icon (the class icon)
//   [X] real video drivers only: the invisible ones run only when SDL_VIDEODRIVER asks
//   [ ] input method: none to switch
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/time.h>

#include "platform/backend.h"
#include "platform/cp932.h"
#include "platform/record.h"
#include "platform/sdl/sdl_internal.h"

namespace platform::sdl
{
namespace
{

struct SdlState
{
    SDL_Window* window = nullptr;   // the main window
    int scale = 1;                  // window scale in use
    int requestedScale = 0;         // --scale, 0 for automatic
    bool videoUp = false;           // SDL's video subsystem started
};

SdlState sdlState;

// The set-cursor message's hit-test code for the client area.
constexpr std::uint32_t kHitClient = 1;
// Queues a message of input the window received, and writes it to the record when one is
// being made.
void PostInput(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam)
{
    PostMessage(kMainWindow, id, wParam, lParam);
    RecordInput(id, wParam, lParam);
}

bool EnvironmentSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// libwayland cannot reach a compositor without a runtime folder (unless given a socket or an
// absolute display path), and says so on stderr when asked to; such a try is left out.
bool WaylandReachable()
{
    const char* display = std::getenv("WAYLAND_DISPLAY");
    return EnvironmentSet("XDG_RUNTIME_DIR") || EnvironmentSet("WAYLAND_SOCKET") ||
           (display != nullptr && display[0] == '/');
}

// The video drivers to try when SDL_VIDEODRIVER names none, comma-separated in SDL's order.
// SDL's offscreen, dummy and evdev drivers show nothing anyone can see, so a program started
// without a display would run on unseen; they are used only when SDL_VIDEODRIVER asks.
std::string VisibleVideoDrivers()
{
    std::string list;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i)
    {
        const char* name = SDL_GetVideoDriver(i);
        if (name == nullptr || std::strcmp(name, "offscreen") == 0 ||
            std::strcmp(name, "dummy") == 0 || std::strcmp(name, "evdev") == 0 ||
            (std::strcmp(name, "wayland") == 0 && !WaylandReachable()))
        {
            continue;
        }
        list += list.empty() ? "" : ",";
        list += name;
    }
    return list;
}

// Starts SDL's video on a real display. False with a one-line reason that says how to run
// without one.
bool StartVideo(std::string& error)
{
    if (!EnvironmentSet("SDL_VIDEODRIVER"))
    {
        std::string drivers = VisibleVideoDrivers();
        // An empty hint would let SDL try every driver, the invisible ones too.
        SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.empty() ? "none" : drivers.c_str());
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) == 0)
    {
        return true;
    }
    std::string reason = SDL_GetError();
    // What the failed start left running (SDL's D-Bus connection) goes too.
    SDL_Quit();
    if (!EnvironmentSet("DISPLAY") && !EnvironmentSet("WAYLAND_DISPLAY") &&
        !EnvironmentSet("SDL_VIDEODRIVER"))
    {
        error = "no display (DISPLAY and WAYLAND_DISPLAY are not set)";
    }
    else
    {
        error = "cannot open the display (" + reason + ")";
    }
    error += "; use --headless to run without one";
    return false;
}

std::intptr_t PackPoint(int x, int y)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                      static_cast<std::uint32_t>(x & 0xFFFF));
}

bool FullScreenWindow()
{
    return sdlState.window != nullptr &&
           (SDL_GetWindowFlags(sdlState.window) & SDL_WINDOW_FULLSCREEN) != 0;
}

// Window pixels per system pixel for pointer events. In full screen the renderer's logical
// size has already brought them to the picture's pixels.
int PointerScale()
{
    return FullScreenWindow() ? 1 : sdlState.scale;
}

void PostMotion(const SDL_MouseMotionEvent& event)
{
    int width = 0;
    int height = 0;
    if (sdlState.window != nullptr)
    {
        SDL_GetWindowSize(sdlState.window, &width, &height);
    }
    bool overClient =
        FullScreenWindow() || (event.x >= 0 && event.y >= 0 && event.x < width && event.y < height);
    // The window system asks the window for its cursor whenever the pointer moves over it,
    // before the movement itself; a game's full-screen cursor handling runs there.
    if (overClient)
    {
        PostMessage(kMainWindow, kWmSetCursor, kMainWindow,
                    static_cast<std::intptr_t>(kHitClient | (kWmMouseMove << 16)));
    }
    int scale = PointerScale();
    PostInput(kWmMouseMove, 0, PackPoint(event.x / scale, event.y / scale));
}

int VirtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
    {
        return 'A' + (key - SDLK_a);
    }
    if (key >= SDLK_0 && key <= SDLK_9)
    {
        return '0' + (key - SDLK_0);
    }
    if (key >= SDLK_F1 && key <= SDLK_F12)
    {
        return 112 + (key - SDLK_F1);
    }
    switch (key)
    {
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_RETURN: case SDLK_KP_ENTER: return 13;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return kVkShift;
    case SDLK_LCTRL: case SDLK_RCTRL: return 17;
    case SDLK_LALT: case SDLK_RALT: return kVkAlt;
    case SDLK_PAUSE: return 19;
    case SDLK_ESCAPE: return kVkEscape;
    case SDLK_SPACE: return kVkSpace;
    case SDLK_PAGEUP: return 33;
    case SDLK_PAGEDOWN: return 34;
    case SDLK_END: return 35;
    case SDLK_HOME: return 36;
    case SDLK_LEFT: return kVkLeft;
    case SDLK_UP: return kVkUp;
    case SDLK_RIGHT: return kVkRight;
    case SDLK_DOWN: return kVkDown;
    case SDLK_INSERT: return 45;
    case SDLK_DELETE: return 46;
    default: return 0;
    }
}

void PostClientMove()
{
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(sdlState.window, &x, &y);
    PostInput(kWmMove, 0, PackPoint(x / sdlState.scale, y / sdlState.scale));
}

void PostKey(const SDL_KeyboardEvent& event)
{
    int key = VirtualKey(event.keysym.sym);
    if (key == 0)
    {
        return;
    }
    bool down = event.type == SDL_KEYDOWN;
    // Alt, F10 and keys pressed with Alt held are system keys, as Windows reports them.
    bool system = key == kVkAlt || key == kVkF10 || (event.keysym.mod & KMOD_ALT) != 0;
    std::uint32_t id = system ? (down ? kWmSysKeyDown : kWmSysKeyUp) : (down ? kWmKeyDown : kWmKeyUp);
    std::uint32_t flags = down ? (event.repeat ? 0x40000001u : 1u) : 0xC0000001u;
    PostInput(id, static_cast<std::uintptr_t>(key), static_cast<std::intptr_t>(flags));
}

void PostButton(const SDL_MouseButtonEvent& event)
{
    bool left = event.button == SDL_BUTTON_LEFT;
    if (!left && event.button != SDL_BUTTON_RIGHT)
    {
        return;
    }
    bool down = event.type == SDL_MOUSEBUTTONDOWN;
    std::uint32_t id;
    if (down && event.clicks >= 2)
    {
        id = left ? kWmLButtonDblClk : kWmRButtonDblClk;
    }
    else if (left)
    {
        id = down ? kWmLButtonDown : kWmLButtonUp;
    }
    else
    {
        id = down ? kWmRButtonDown : kWmRButtonUp;
    }
    int scale = PointerScale();
    PostInput(id, 0, PackPoint(event.x / scale, event.y / scale));
}

class SdlWindow final : public platform::Window
{
public:
    bool Create(const char* caption, int x, int y, int width, int height) override
    {
        SDL_DisplayMode mode;
        int scale = sdlState.requestedScale;
        if (scale == 0)
        {
            scale = 1;
            if (SDL_GetDesktopDisplayMode(0, &mode) == 0)
            {
                // The largest whole scale that keeps the window within about 3/4 of the desktop.
                scale = std::max(1, std::min(mode.w * 3 / 4 / std::max(width, 1),
                                             mode.h * 3 / 4 / std::max(height, 1)));
            }
        }
        sdlState.scale = scale;
        std::string title = Cp932ToUtf8(caption);
        sdlState.window = SDL_CreateWindow(title.c_str(), x * scale, y * scale, width * scale,
                                           height * scale, SDL_WINDOW_SHOWN);
        if (sdlState.window == nullptr)
        {
            return false;
        }
        // Where the window really went is recorded; the activation is not, since a replayed
        // window reports its own on creation.
        PostClientMove();
        PostMessage(kMainWindow, kWmActivateApp, 1, 0);
        return true;
    }
    void Destroy() override
    {
        if (sdlState.window != nullptr)
        {
            DropRenderer();
            SDL_DestroyWindow(sdlState.window);
            sdlState.window = nullptr;
        }
    }
    void Minimize() override
    {
        if (sdlState.window != nullptr)
        {
            SDL_MinimizeWindow(sdlState.window);
        }
    }
    void SetIcon(const IconImage& icon) override
    {
        if (sdlState.window == nullptr)
        {
            return;
        }
        // SDL copies the pixels; the surface only lends them for the call.
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint8_t*>(icon.rgba.data()), icon.width, icon.height, 32,
            icon.width * 4, SDL_PIXELFORMAT_RGBA32);
        if (surface != nullptr)
        {
            SDL_SetWindowIcon(sdlState.window, surface);
            SDL_FreeSurface(surface);
        }
    }
    void ScreenSize(int& width, int& height) override
    {
        SDL_DisplayMode mode;
        int scale = std::max(1, sdlState.requestedScale);
        if (sdlState.window != nullptr)
        {
            scale = sdlState.scale;
        }
        else if (sdlState.requestedScale == 0 && SDL_GetDesktopDisplayMode(0, &mode) == 0)
        {
            // The scale is picked when the window is made; estimate it the same way.
            scale = std::max(1, std::min(mode.w * 3 / 4 / 160, mode.h * 3 / 4 / 180));
        }
        if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        {
            mode.w = 640 * scale;
            mode.h = 480 * scale;
        }
        width = mode.w / scale;
        height = mode.h / scale;
    }
    int DesktopBitsPerPixel() override
    {
        // The framework draws 16-bit pixels; the window converts them for any desktop.
        return 16;
    }
};

class SdlEvents final : public platform::Events
{
public:
    void Pump() override
    {
        SDL_Event event;
        while (SDL_PollEvent(&event))
        {
            switch (event.type)
            {
            case SDL_QUIT:
                PostInput(kWmClose, 0, 0);
                break;
            case SDL_WINDOWEVENT:
                HandleWindowEvent(event.window);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                PostKey(event.key);
                break;
            case SDL_MOUSEMOTION:
                PostMotion(event.motion);
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                PostButton(event.button);
                break;
            default:
                break;
            }
        }
    }
    void FrameStarting() override
    {
    }
    void SetCursorShown(bool shown) override
    {
        SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
    }
    void GetCursorPos(int& x, int& y) override
    {
        // Screen positions are the window's position plus the scaled-down offset inside it,
        // so that the client area measures 160 x 180 on the system's screen.
        int globalX = 0;
        int globalY = 0;
        SDL_GetGlobalMouseState(&globalX, &globalY);
        int windowX = 0;
        int windowY = 0;
        if (sdlState.window != nullptr)
        {
            SDL_GetWindowPosition(sdlState.window, &windowX, &windowY);
        }
        int s = sdlState.scale;
        x = windowX / s + FloorDiv(globalX - windowX, s);
        y = windowY / s + FloorDiv(globalY - windowY, s);
    }
    void SetCursorPos(int x, int y) override
    {
        if (sdlState.window == nullptr)
        {
            return;
        }
        int windowX = 0;
        int windowY = 0;
        SDL_GetWindowPosition(sdlState.window, &windowX, &windowY);
        int s = sdlState.scale;
        SDL_WarpMouseGlobal(windowX + (x - windowX / s) * s, windowY + (y - windowY / s) * s);
    }
    void ClipCursor(const int* rect) override
    {
        // SDL confines the mouse to the whole window only.
        if (sdlState.window != nullptr)
        {
            SDL_SetWindowMouseGrab(sdlState.window, rect != nullptr ? SDL_TRUE : SDL_FALSE);
        }
    }

private:
    static int FloorDiv(int a, int b)
    {
        return a >= 0 ? a / b : -((-a + b - 1) / b);
    }
    void HandleWindowEvent(const SDL_WindowEvent& event)
    {
        switch (event.event)
        {
        case SDL_WINDOWEVENT_CLOSE:
            PostInput(kWmClose, 0, 0);
            break;
        case SDL_WINDOWEVENT_MOVED:
            PostClientMove();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            PostInput(kWmActivateApp, 1, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            PostInput(kWmActivateApp, 0, 0);
            break;
        default:
            break;
        }
    }
};

class SdlClock final : public platform::Clock
{
public:
    std::uint32_t NowMs() override
    {
        return SDL_GetTicks();
    }
    void WaitPast(std::uint32_t deadlineMs) override
    {
        std::uint32_t now;
        while ((now = SDL_GetTicks()) <= deadlineMs)
        {
            SDL_Delay(std::min<std::uint32_t>(deadlineMs - now + 1, 10));
        }
    }
    std::int64_t CalendarSeconds() override
    {
        return static_cast<std::int64_t>(std::time(nullptr));
    }
    LocalTime Local() override
    {
        timeval now{};
        gettimeofday(&now, nullptr);
        std::tm parts{};
        localtime_r(&now.tv_sec, &parts);
        return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                         parts.tm_wday,        parts.tm_hour,    parts.tm_min,
                         parts.tm_sec,         static_cast<int>(now.tv_usec / 1000)};
    }
};

class SdlDialogs final : public platform::Dialogs
{
public:
    int MessageBox(const char* text, const char* caption, unsigned style) override
    {
        std::string title = Cp932ToUtf8(caption);
        std::string message = Cp932ToUtf8(text);
        bool question = (style & 0x0F) == kMbYesNo;
        SDL_MessageBoxButtonData okButtons[] = {
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
             kIdOk, "OK"}};
        SDL_MessageBoxButtonData yesNoButtons[] = {
            {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kIdNo, "いいえ"},
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kIdYes, "はい"}};
        SDL_MessageBoxData data{};
        data.flags = (style & 0xF0) == kMbIconQuestion ? SDL_MESSAGEBOX_INFORMATION
                                                        : SDL_MESSAGEBOX_WARNING;
        data.window = sdlState.window;
        data.title = title.c_str();
        data.message = message.c_str();
        data.numbuttons = question ? 2 : 1;
        data.buttons = question ? yesNoButtons : okButtons;
        int chosen = -1;
        if (SDL_ShowMessageBox(&data, &chosen) != 0)
        {
            // No way to show a box (no display): say it on stderr and take the safe answer.
            std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
            return question ? kIdNo : kIdOk;
        }
        if (chosen == kIdYes || chosen == kIdOk)
        {
            return chosen;
        }
        return question ? kIdNo : kIdOk;
    }
    void Beep() override
    {
        // The tone goes through the sound output once it exists; nothing to sound here.
    }
};

} // namespace

SDL_Window* MainSdlWindow()
{
    return sdlState.window;
}

int WindowScale()
{
    return sdlState.scale;
}

void PushPointerMotion(int x, int y)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = sdlState.window != nullptr ? SDL_GetWindowID(sdlState.window) : 0;
    event.motion.x = x;
    event.motion.y = y;
    SDL_PushEvent(&event);
}

bool WindowInfo(std::string& title, int& width, int& height)
{
    if (sdlState.window == nullptr)
    {
        return false;
    }
    title = SDL_GetWindowTitle(sdlState.window);
    SDL_GetWindowSize(sdlState.window, &width, &height);
    return true;
}

bool Create(const Options& options, Backend& backend, std::string& error)
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
    if (!StartVideo(error))
    {
        return false;
    }
    sdlState = SdlState{};
    sdlState.videoUp = true;
    sdlState.requestedScale = options.scale;
    backend.window = std::make_unique<SdlWindow>();
    backend.events = std::make_unique<SdlEvents>();
    backend.clock = std::make_unique<SdlClock>();
    backend.dialogs = std::make_unique<SdlDialogs>();
    backend.joystick = MakeJoystick();
    backend.display = MakeDisplay();
    backend.audio = MakeAudioOut();
    return true;
}

void Destroy()
{
    if (sdlState.window != nullptr)
    {
        DropRenderer();
        SDL_DestroyWindow(sdlState.window);
        sdlState.window = nullptr;
    }
    if (sdlState.videoUp)
    {
        SDL_Quit();
        sdlState.videoUp = false;
    }
}

} // namespace platform::sdl
