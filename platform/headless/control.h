// Headless control, for tests and the --headless runner: switches fixed at start, the virtual
// clock, scripted input, answered message boxes and what the program showed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/record.h"

namespace platform::headless
{

// Switches fixed before platform::Start.
struct HeadlessConfig
{
    bool soundDevice = true;      // false: no audio output, so no sound device or music
    bool rgb555 = false;          // back buffer and surfaces in 555 instead of 565
    int desktopBpp = 16;          // desktop depth the program sees
    bool stretch = true;          // the display can stretch during blits
    bool device3D = true;         // a 3D-capable device is found
    bool surfacesLost = false;    // every surface is lost when made, until restored
    bool vblankFails = false;     // vertical-blank waits fail
    bool keepFrames = false;      // keep every presented frame for CapturedFrames()
    int surfaceLimit = -1;        // surfaces the display holds at once; -1 no limit
    platform::DisplayFault displayFault = platform::DisplayFault::None; // a set-up step refused
    int screenWidth = 1024;       // desktop size in pixels
    int screenHeight = 768;
    std::uint32_t startMs = 10000;            // clock value at start
    std::int64_t startSeconds = 1767268800;   // local time at start: 2026-01-01 12:00:00
    std::string programPath;      // program file path; empty: the real one
    std::string settingsFolder;   // settings folder; empty: the real one
};

// Sets the switches; call before platform::Start.
void Configure(const HeadlessConfig& config);

// The switches in force.
const HeadlessConfig& Config();

// Changes the program file path while running (empty: the real one).
void SetProgramPath(const std::string& path);

// Parses "YYYY-MM-DDTHH:MM:SS" into seconds for startSeconds. False when malformed.
bool ParseStartTime(const std::string& text, std::int64_t& seconds);

// ---- Clock ----------------------------------------------------------------------------------

// Moves the virtual clock forward.
void AdvanceClock(std::uint32_t ms);

// Moves the virtual clock forward by one 60 Hz display refresh.
void AdvanceRefresh();

// ---- Display --------------------------------------------------------------------------------

// Loses every surface now, as another program taking the display would.
void LoseAllSurfaces();

// ---- Input ----------------------------------------------------------------------------------

// Queue window messages as a person's actions would.
void PushKey(int virtualKey, bool down);
void PushSysKey(int virtualKey, bool down);
void PushMouseMove(int x, int y);
void PushMouseButton(int button, bool down, bool doubleClick = false); // 1 left, 2 right
void PushActivate(bool active);
void PushWindowMove(int clientLeft, int clientTop);
void PushClose();

// Places the cursor on the screen (unscaled pixels).
void SetCursorScreenPos(int x, int y);

// Plugs joystick 0 or 1 in (if it was not) with this position (0..65535, 0 at the left and
// the top) and these buttons (bit n - 1 for button n). Joysticks start unplugged.
void SetJoystick(int index, std::uint32_t x, std::uint32_t y, std::uint32_t buttons);
// Plugs the joystick in at rest: centred, no button down.
void PlugJoystick(int index);
// Unplugs it: every read of it fails until it is plugged in again.
void UnplugJoystick(int index);

// Reads a script of frame-stamped lines. False with "line N: reason" when malformed.
bool LoadScript(const std::string& text, std::string& error);
bool LoadScriptFile(const std::string& path, std::string& error);

// Maps a key name of the script (Up, Space, F1, A, ...) to its code; -1 when unknown.
using platform::KeyCodeFromName;

// Frames started so far (the first frame is 1).
int FramesStarted();

// ---- Message boxes --------------------------------------------------------------------------

struct MessageBoxRecord
{
    std::string caption; // CP932, as the program gave it
    std::string text;    // CP932
    unsigned style;
    int answer;          // the button that closed it
};

// Queues the answer (IDOK, IDYES, IDNO) for the next box that asks a question.
void QueueAnswer(int answer);

// Every box shown so far, oldest first.
const std::vector<MessageBoxRecord>& MessageBoxes();

// Number of simple beeps.
int BeepCount();

// ---- Audio ----------------------------------------------------------------------------------

// Frames per second of the output (stereo, 16-bit).
constexpr int kAudioRateHz = 44100;

// What the output has played, interleaved left and right, rendered exactly up to the clock
// with no latency: a sound started now begins at frame AudioFramesRendered(). The record
// starts when the output first opens (empty with the soundDevice switch off); only the latest
// minute and a half is kept, and a jump of the clock longer than a minute is mixed for its
// first minute only, the record starting again at the jump's end.
const std::vector<std::int16_t>& RenderedAudio();

// Frame number, counted from the backend's start, of RenderedAudio()'s first frame.
std::uint64_t RenderedAudioFirstFrame();

// Frames of audio time since the backend's start: the number of the next frame rendered.
std::uint64_t AudioFramesRendered();

// ---- Window ---------------------------------------------------------------------------------

struct WindowRecord
{
    bool open = false;
    bool minimized = false;
    std::string caption;
    int x = 0, y = 0, width = 0, height = 0;   // outer rectangle
    bool cursorShown = true;
    bool cursorClipped = false;
    int clip[4] = {0, 0, 0, 0};
    int iconWidth = 0, iconHeight = 0;         // the icon shown; 0 the desktop's default
    std::vector<std::uint8_t> iconRgba;        // its pixels, RGBA rows top first
};

const WindowRecord& Window();

} // namespace platform::headless
