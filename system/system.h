// The shell's frame variables and the system services every part leans on: the
// pseudo-random generator, the voSystem timers and waits, message boxes, paths, number
// files, date and time, cursor services and the key-handling switches.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

// ---- Frame variables, kept up to date by the shell for every part ---------------------------

extern platform::WindowHandle mainWindow;      // the main window
extern platform::InstanceHandle instanceHandle; // the program's instance
extern char commandLine[256];                  // the command line, cut to 255 bytes
extern int fullScreen;                         // 1 full screen, 0 windowed
extern int clientWidth, clientHeight;          // client area size in pixels (160, 180)
extern int desktopWindowMode;                  // 1: the window covers the desktop
extern int cursorClipMode;                     // 1: keep the cursor in the client area
extern int clientLeft, clientTop;              // client area's top-left on the screen
extern int windowRect[4];                      // client area on the screen: l, t, r, b
extern int cursorVisible;                      // 1 when the program has shown the cursor
extern int messageBoxOpen;                     // 1 while a message box is up
extern int quitState;                          // 0 running, 1 closing, 2 released
extern float frameSeconds;                     // duration of the last frame in seconds
extern std::uint32_t lastFrameTime;            // clock at the start of the last frame, ms
extern int mouseX, mouseY;                     // mouse in client coordinates
extern int prevMouseX, prevMouseY;             // mouse at the end of the previous frame
extern int mouseDX, mouseDY;                   // movement since the previous frame
extern int leftButtonHeld, rightButtonHeld;    // button is down
extern int leftButtonPressed, rightButtonPressed; // set when the button goes down; never cleared
extern int leftClick, rightClick;              // went down during this frame
extern int dragButton;                         // 0 none, 1 left, 2 right
extern int lastButton;                         // 1 left, 2 right
extern int lastKey;                            // last key pressed; 0 once it is released
extern int lastKeyLatched;                     // last key pressed; kept after release
extern int shiftToggle;                        // flips on every release of Shift
extern int rawKeyMode;                         // 1: keys and clicks go to rawKey only
extern int rawKey;                             // last key pressed in raw-key mode
extern int rawLeftButton;                      // left button pressed in raw-key mode
extern int countedKey, countedKeyReleases;     // a key whose releases are counted
extern int programMode;                        // framework program mode; 1 runs the game
extern int prevProgramMode;                    // program mode of the previous frame
extern int nextProgramMode;                    // mode after an outgoing transition ends
extern int modeChanged;                        // 1 when the mode differs from last frame's
extern int blinkOn;                            // on 1000 ms, off 200 ms
extern std::uint32_t blinkNextTime;            // clock at which blinkOn next flips, ms
extern int systemKeysPass;                     // 1: system keys get the default handling
extern std::uint32_t fpsSampleTime;            // next frame-rate sample time, ms

// Takes the clock for the frame timer, the first blink and the frame-rate sample; the shell
// calls it before anything else runs.
void InitFrameClock();

// Releases everything and closes the window. Returns 1.
int QuitProgram();

// ---- Pseudo-random generator ----------------------------------------------------------------

// Sets the generator's state.
void SeedRandom(std::uint32_t seed);

// Next value, 0 to 32767.
int Random();

// The calendar time in seconds, as the generator is seeded with it.
std::uint32_t CalendarSeed();

// ---- Timers and waits -----------------------------------------------------------------------

namespace voSystem
{
// Slot (1..10) ends durationMs from now. Returns 1, or 0 after the error box.
int SetWait(int slot, std::uint32_t durationMs);
// Clears slot 1..10. Returns 1, or 0 after the error box.
int InitWait(int slot);
} // namespace voSystem

// 1 when the clock is past the slot's deadline. Slots outside 1..10 read as over.
int IsWaitOver(int slot);

// Clears every slot and the busy-wait deadline, leaves raw-key mode, stops system keys.
int ResetWaits();

// frameSeconds = 0; lastFrameTime = now.
void ResetFrameTimer();

// frameSeconds = time since lastFrameTime; lastFrameTime = now.
void MeasureFrameTime();

// Blocks for durationMs, then resets the frame timer.
void BusyWait(std::uint32_t durationMs);

// ---- Message boxes --------------------------------------------------------------------------

// Shows "function : message" under the error caption. Returns 0.
int ShowError(const char* function, const char* message, int unused = 0);

// Shows a formatted message. Texts are cut to 253 bytes before the line end is added.
void ShowMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Asks a formatted yes/no question. Returns 1 for yes, 0 otherwise.
int AskYesNo(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ---- Paths and number files -----------------------------------------------------------------

// The program's folder with a trailing separator; with useAlternate and an alternate base,
// that base joined with the program folder's last name. The text is shared and overwritten
// by each call.
const char* GetProgramFolder(int useAlternate);

// Reads the alternate base from the first line of a file in the settings folder.
void SetAlternateBase(const char* fileName);

// Writes value in decimal to a file in the (alternate) program folder; nothing on failure.
void SaveNumber(const char* fileName, int value);
// Reads a decimal integer from such a file; 0 when it cannot be read. A number outside the
// int range reads as the nearest int.
int LoadNumber(const char* fileName);
void SaveValue(const char* fileName, int value);
int LoadValue(const char* fileName);

// ---- Date, time and machine -----------------------------------------------------------------

// Local date; the weekday's one-character name (CP932, 3 bytes with terminator) goes into
// weekday.
void GetDate(int& year, int& month, int& day, char* weekday);
void GetTime(int& hour, int& minute, int& second);

// Free bytes on the file system of the program's folder, cut to 32 bits. The drive letter
// has no meaning here and is not used.
std::uint32_t GetDiskFree(char drive);

// Available physical memory in bytes, cut to 32 bits.
std::uint32_t GetAvailableMemory();

int GetScreenColourBits();
int IsWindowed();
const char* GetCommandLineText();

// ---- Cursor and key switches ----------------------------------------------------------------

void SetMousePos(int x, int y);
void ClipCursorTo(int left, int top, int right, int bottom);
void ClipCursorToScreen();
void UnclipCursor();
int IsCursorClipped();
void EnterRawKeyMode();
void LeaveRawKeyMode();
int CountKeyReleases(int virtualKey);
int GetKeyReleaseCount();
void EnableIME(int enable);
void SetSystemKeysPass(int pass);

// Formats into a buffer of size bytes, cut as CopyText cuts the whole text; only the part
// that fits is ever held. Returns dest.
char* FormatText(char* dest, std::size_t size, const char* format, va_list args);

// Copies text into a buffer of size bytes, cutting it at a character boundary so that a
// two-byte CP932 character is never split. Returns dest.
char* CopyText(char* dest, const char* text, std::size_t size);
