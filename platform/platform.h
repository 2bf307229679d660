// The platform's basic services: start-up and backend choice, the window and its message
// queue, key state, mouse and cursor, clocks, message boxes, paths and machine figures.
// Surfaces, the device context, sound, the sequencer and joysticks have headers of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform
{

// ---- Start-up -------------------------------------------------------------------------------

struct Options
{
    std::string backend = "sdl";   // "sdl" or "headless"
    int scale = 0;                 // window scale; 0 picks the largest that fits the desktop
    int frames = -1;               // headless: close the window after this many frames; -1 never
    std::string inputScript;       // headless: script of timed input
    std::string captureDir;        // headless: folder for captured frames
    std::string startTime;         // headless: local time at start, "YYYY-MM-DDTHH:MM:SS"
    std::string recordFile;        // in a window: write what the program receives here
    std::string commandLine;       // what is left for the program, words joined by spaces
    bool showHelp = false;         // --help or -h: print HelpText() and stop
    bool showVersion = false;      // --version: print the name and version and stop
};

// Takes the platform's own options (words starting with "--", and -h) off argv; every other
// word, and everything after "--", is left for the program. Returns false with a one-line
// reason in error for an unknown "--" option or a bad value.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);

// One line that lists the options, for usage errors.
const char* UsageText();

// The usage line followed by one line for each option, for --help.
const char* HelpText();

// Starts the named backend. Returns false with a reason when the name is unknown (the reason
// lists the valid names) or the backend cannot start.
bool Start(const Options& options, std::string& error);

// Ends the backend and frees everything the platform holds.
void Shutdown();

// ---- Window and messages --------------------------------------------------------------------

using WindowHandle = std::uintptr_t;   // 0 is no window
using InstanceHandle = std::uintptr_t; // the program's own instance
using IconHandle = std::uintptr_t;     // 0 is no icon

struct Message
{
    WindowHandle window = 0;
    std::uint32_t id = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

using WindowProc = std::intptr_t (*)(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t);

// Message numbers, as the window procedure knows them.
constexpr std::uint32_t kWmDestroy = 0x0002;
constexpr std::uint32_t kWmMove = 0x0003;
constexpr std::uint32_t kWmClose = 0x0010;
constexpr std::uint32_t kWmQuit = 0x0012;
constexpr std::uint32_t kWmActivateApp = 0x001C;
constexpr std::uint32_t kWmSetCursor = 0x0020;
constexpr std::uint32_t kWmKeyDown = 0x0100;
constexpr std::uint32_t kWmKeyUp = 0x0101;
constexpr std::uint32_t kWmSysKeyDown = 0x0104;
constexpr std::uint32_t kWmSysKeyUp = 0x0105;
constexpr std::uint32_t kWmMouseMove = 0x0200;
constexpr std::uint32_t kWmLButtonDown = 0x0201;
constexpr std::uint32_t kWmLButtonUp = 0x0202;
constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
constexpr std::uint32_t kWmRButtonDown = 0x0204;
constexpr std::uint32_t kWmRButtonUp = 0x0205;
constexpr std::uint32_t kWmRButtonDblClk = 0x0206;
constexpr std::uint32_t kMmMciNotify = 0x03B9;

// Virtual-key codes the system and the scripts use.
constexpr int kVkShift = 16;
constexpr int kVkAlt = 18;
constexpr int kVkEscape = 27;
constexpr int kVkSpace = 32;
constexpr int kVkLeft = 37;
constexpr int kVkUp = 38;
constexpr int kVkRight = 39;
constexpr int kVkDown = 40;
constexpr int kVkF1 = 112;
constexpr int kVkF4 = 115;
constexpr int kVkF10 = 121;

// System metrics the shell asks for.
enum class Metric
{
    ScreenWidth,
    ScreenHeight,
    CaptionHeight,
    EdgeWidth,
    EdgeHeight,
    BorderWidth,
    BorderHeight,
    FixedFrameWidth,
    FixedFrameHeight,
};

// Stands in for GetSystemMetrics(). The screen is measured in unscaled window pixels.
int GetSystemMetric(Metric metric);

// Stands in for LoadIconA(): the program's icon resource of that name (a PNG picture of at
// most 256 x 256), the name compared without regard to case. 0 when there is none or it
// cannot be read; the same name gives the same handle.
IconHandle LoadIcon(InstanceHandle instance, const char* name);

// Stands in for RegisterClassA(): the procedure that receives the window's messages and the
// icon the window shows (0: the desktop's default).
void RegisterWindowClass(WindowProc proc, IconHandle icon = 0);

// Stands in for CreateWindowExA(): a fixed-size window whose outer rectangle is given in
// screen pixels. Returns 0 when no window can be made.
WindowHandle CreateMainWindow(const char* caption, int x, int y, int width, int height);

// Shows the window (ShowWindow and UpdateWindow together).
void ShowMainWindow(WindowHandle window, int showCommand);

// Stands in for DestroyWindow(): sends WM_DESTROY to the procedure, then the window is gone.
void DestroyMainWindow(WindowHandle window);

// Stands in for CloseWindow(): minimises the window.
void MinimizeMainWindow(WindowHandle window);

// The program's own instance.
InstanceHandle GetInstance();

// Stands in for PeekMessageA(..., PM_REMOVE): takes the next message, gathering the
// backend's events when the queue is empty. Key messages update the key state as they are
// taken. Returns false when no message waits.
bool PeekMessage(Message& message);

// Stands in for TranslateMessage(): the system handles no character messages, so nothing
// is generated.
void TranslateMessage(const Message& message);

// Stands in for DispatchMessageA(): calls the window procedure.
std::intptr_t DispatchMessage(const Message& message);

// Stands in for DefWindowProcA(): the default handling of the messages the system passes on.
std::intptr_t DefWindowProc(WindowHandle window, std::uint32_t id, std::uintptr_t wParam,
                            std::intptr_t lParam);

// Stands in for PostMessageA(): queues a message.
void PostMessage(WindowHandle window, std::uint32_t id, std::uintptr_t wParam,
                 std::intptr_t lParam);

// Stands in for PostQuitMessage(): queues WM_QUIT with the exit code.
void PostQuitMessage(int exitCode);

// Stands in for GetKeyState(): bit 15 set while the key is down as the last message taken
// left it; bit 0 toggles on each press.
std::int16_t GetKeyState(int virtualKey);

// Stands in for WINNLSEnableIME(): there is no input method to switch here.
void EnableInputMethod(bool enable);

// ---- Cursor ---------------------------------------------------------------------------------

// Stands in for ShowCursor(): returns the new display count; the cursor shows while >= 0.
int ShowCursor(bool show);

// Stands in for SetCursor(NULL): removes the cursor over the window.
void RemoveCursor();

// Stands in for GetCursorPos(): screen position in unscaled window pixels.
void GetCursorPos(int& x, int& y);

// Stands in for SetCursorPos().
void SetCursorPos(int x, int y);

// Stands in for ClipCursor(): confines the cursor to a screen rectangle, or frees it when
// rect is null. The rectangle is left, top, right, bottom.
void ClipCursor(const int* rect);

// ---- Time -----------------------------------------------------------------------------------

// Stands in for timeGetTime(): milliseconds since start; wraps at 2^32.
std::uint32_t NowMs();

// Returns once NowMs() is past deadline. Sleeps on a real clock; moves a virtual one.
void WaitPast(std::uint32_t deadlineMs);

struct LocalTime
{
    int year, month, day, weekday; // weekday 0 is Sunday
    int hour, minute, second, milliseconds;
};

// Stands in for GetLocalTime().
LocalTime GetLocalTime();

// Calendar time in seconds, as time() gives it; the headless backend's follows its clock.
std::int64_t CalendarSeconds();

// ---- Message boxes and the beep -------------------------------------------------------------

constexpr unsigned kMbOk = 0x0000;
constexpr unsigned kMbYesNo = 0x0004;
constexpr unsigned kMbIconQuestion = 0x0020;
constexpr unsigned kMbIconExclamation = 0x0030;
constexpr unsigned kMbSystemModal = 0x1000;
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Stands in for MessageBoxA(): caption and text are CP932. Returns the button chosen (IDOK,
// IDYES, IDNO); closing the box any other way gives IDOK for an OK box and IDNO otherwise.
int MessageBox(const char* text, const char* caption, unsigned style);

// Stands in for MessageBeep(0xFFFFFFFF): the simple beep.
void Beep();

// ---- Paths and machine figures --------------------------------------------------------------

// The path separator of this platform.
constexpr char kPathSeparator = '/';

// Stands in for GetModuleFileNameA(): the program file's full path. For an installed program
// (<prefix>/bin/NAME with a folder <prefix>/share/NAME/) the path inside that folder, so that
// the program's folder is where its files are.
std::string ProgramFilePath();

// Finds a file named for a file system that ignores case: path itself when it exists;
// otherwise path with each part (folder or file name) that does not exist as written replaced
// by the entry of its folder that matches it ignoring the case of single-byte letters, the
// first in byte order when several do. path unchanged when some part matches nothing.
std::string FindFileIgnoringCase(const std::string& path);

// Stands in for GetWindowsDirectoryA(): the folder for machine-wide settings (the user's
// config folder for this program; tests set it).
std::string SettingsFolder();

// Stands in for GetDiskFreeSpaceA(): free bytes on the file system holding path; 0 when it
// cannot be read.
std::uint64_t FreeDiskBytes(const char* path);

// Stands in for GlobalMemoryStatus(): available physical memory in bytes.
std::uint64_t AvailableMemoryBytes();

// Bits per pixel of the desktop.
int DesktopBitsPerPixel();

} // namespace platform
