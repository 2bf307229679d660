// voDraw: the screen, drawing objects, puts and fills, present and transitions, wipes, text
// and shapes.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/surface.h"

// A rectangle in pixels; right and bottom are exclusive.
struct Rect
{
    std::int32_t left, top, right, bottom;
};

extern int screenWidth, screenHeight; // the screen's size in pixels
extern Rect clipRect;                 // every put and blitter clips against it

// ---- Screen set-up ---------------------------------------------------------------------------

// The back buffer's channel layout, as the software blitters read it.
struct PixelFormat
{
    std::uint32_t redMask, greenMask, blueMask;       // channel bit masks
    std::uint32_t redMax, greenMax, blueMax;          // largest channel values (31 or 63)
    std::uint32_t redShift, greenShift, blueShift;    // bit position of each channel
    std::uint32_t redShift5, greenShift5, blueShift5; // shift placing a 5-bit value at the top
    std::uint32_t halfMask;                           // keeps channels apart after a >> 1
    std::uint32_t halfMask2;                          // halfMask in both halves of 32 bits
    std::uint32_t whiteColor;                         // all three masks: native white
};
extern PixelFormat PixelFormatInfo;

// A 16-bit pixel's channels scaled to 0..31.
struct Rgb5
{
    std::uint8_t red, green, blue;
};

constexpr int kSineTableSize = 450;
// sin(index degrees) * 360, truncated; index + 90 gives the cosine.
extern std::int32_t sineTable[kSineTableSize];
// The tables below are built on a 16-bit desktop only and stay empty otherwise.
extern std::vector<Rgb5> pixelToRgb5;             // 65536 entries, by pixel value
extern std::vector<std::uint16_t> fadeMixTable;   // channel*32768 + level*1024 + a*32 + b
extern std::vector<std::uint16_t> addMixTable;    // same index as fadeMixTable
extern std::vector<std::uint16_t> subMixTable;    // channel*1024 + a*32 + b
extern std::vector<std::uint16_t> divideBy3Table; // 94 entries: n / 3
extern std::vector<std::uint8_t> randomTable3;    // 10000 entries: rand() % 3

extern int fullScreenDepth;   // requested full-screen depth in bits per pixel (16)
extern int waitVerticalBlank; // 1: the present waits for the vertical blank
extern int device3D;          // 1 when a 3D-capable device was picked
extern int stretchSupported;  // 1 when the display stretches during blits

// The back buffer every frame is drawn into; null while there is no screen.
platform::Surface* BackBuffer();

// ---- Drawing objects -------------------------------------------------------------------------

using ObjectId = std::int32_t; // index into objectTable, 0..1023; 0 is Buffer, 1 is Screen

constexpr int kObjectCount = 1024;
constexpr int kObjectNameSize = 32; // names hold at most 30 characters

struct DrawObject
{
    platform::Surface* surface;  // null when the slot holds none
    char name[kObjectNameSize];  // file or resource name, "*" for blank; empty: free slot
    std::uint32_t colorKey;      // GDI RGB value, or 0xFFFFFFFF: keyed on the top-left pixel
    std::uint16_t width, height; // surface size in pixels
};
extern DrawObject objectTable[kObjectCount];

extern std::uint32_t keyColor; // key for new objects, GDI RGB value (black at start)
extern int keyFromTopLeft;     // 1: new objects key on their top-left pixel

// What a drawing operation that uses the display answers (Ok when drawn).
using DrawResult = platform::SurfaceResult;

namespace voDraw
{
// Brings up the screen, the objects and the tables, then the other services. Width -1 takes
// the client size. Returns 1, or 0 after the error box.
int Screen(int width, int height, int memoryMode);
// Releases every drawing object and the display objects.
void Release();
// Warns when a windowed desktop is too shallow and offers full screen. Returns 1 to go on,
// 0 when the program is stopping.
int CheckColorDepth(const char* settingsFile);
// Asks for a 32-bit full-screen mode.
void SetDepth32();

// Loads a bitmap file beside the program, or the resource of that name, into the lowest
// free slot. Returns its ObjectId, or 0 after the error box.
ObjectId LoadObject(const char* name, int memoryMode);
// Makes a blank object of width x (height + 1). Returns its ObjectId, or 0 after the error box.
ObjectId CreateObject(int width, int height, int memoryMode);
// Loads another bitmap into an existing slot. Returns 1, or 0 after the error box.
int SwapObject(const char* name, ObjectId id, int memoryMode);
// Frees the slot and its surface.
void ReleaseObject(ObjectId id);
// Restores every lost surface and reloads the bitmaps of the loaded objects.
void RestoreObjects();
// Key colour for new objects (GDI RGB value); stops keying on the top-left pixel.
void SetKeyColor(std::uint32_t rgb);
// New objects key on their top-left pixel.
void SetKeyFromTopLeft();
// Keys the object on a GDI RGB value.
DrawResult SetObjectKey(ObjectId id, std::uint32_t rgb);
// Keys the object on its top-left pixel.
DrawResult SetObjectKeyFromTopLeft(ObjectId id);
// Gives the destination object the source object's surface key.
void CopyObjectKey(ObjectId destination, ObjectId source);

// Puts of an object's rectangle (left, top, right, bottom) at (x, y), clipped to clipRect:
// onto the back buffer or another object, with or without the colour key. Each returns the
// result of its last transfer (Ok when clipping left nothing to draw).
DrawResult Put(int x, int y, ObjectId id, int left, int top, int right, int bottom);
DrawResult Put(double x, double y, ObjectId id, int left, int top, int right, int bottom);
DrawResult PutOpaque(int x, int y, ObjectId id, int left, int top, int right, int bottom);
DrawResult PutTo(ObjectId destination, int x, int y, ObjectId id, int left, int top, int right,
                 int bottom);
DrawResult PutOpaqueTo(ObjectId destination, int x, int y, ObjectId id, int left, int top,
                       int right, int bottom);
// The rectangle scaled to width x height at (x, y), keyed or not; not clipped.
DrawResult PutStretch(int x, int y, ObjectId id, int left, int top, int right, int bottom,
                      int width, int height);
DrawResult PutStretch(double x, double y, ObjectId id, int left, int top, int right, int bottom,
                      int width, int height);
DrawResult PutStretchOpaque(int x, int y, ObjectId id, int left, int top, int right, int bottom,
                            int width, int height);

// Rows waved sideways by a cosine that moves speed degrees per second.
DrawResult PutWave(int x, int y, int amplitude, int divisor, float speed, ObjectId id, int left,
                   int top, int right, int bottom, int alternate);
// The rectangle tiled over the whole screen, drifting speed pixels per second.
DrawResult PutTiled(float xSpeed, float ySpeed, ObjectId id, int left, int top, int right,
                    int bottom);
// A wave whose rows also scroll upward through the rectangle.
DrawResult PutWaveScroll(int x, int y, int amplitude, int divisor, float speed, float scrollSpeed,
                         ObjectId id, int left, int top, int right, int bottom);
// Screen rows y0..y1-1 filled with the rectangle tiled across, waved and scrolling.
DrawResult PutWaveBand(int y0, int y1, int amplitude, int divisor, float speed, float scrollSpeed,
                       ObjectId id, int left, int top, int right, int bottom);
// Every step-th row of the rectangle drawn step times.
DrawResult PutRowRepeat(int x, int y, int step, ObjectId id, int left, int top, int right,
                        int bottom);

// Fills; none of them clips. Colours of FillColor and FillHalf are native 16-bit pixels.
// Clears the back buffer to black.
DrawResult Clear();
DrawResult ClearObject(ObjectId id);
DrawResult FillBlack(int left, int top, int right, int bottom);
// Blackens the one-pixel ring just inside the rectangle.
DrawResult Frame(int left, int top, int right, int bottom);
DrawResult ClearWhite();
DrawResult FillWhite(int left, int top, int right, int bottom);
DrawResult FillColor(int left, int top, int right, int bottom, std::uint32_t color);
// Mixes the colour half and half into the rectangle, clipped to clipRect. Returns 1, or 0
// when the back buffer cannot be locked.
int FillHalf(int left, int top, int right, int bottom, std::uint32_t color);
// Inverts the rectangle of the back buffer.
DrawResult InvertRect(int left, int top, int right, int bottom);

// Lays the transition step and the overlay over the back buffer and shows it in the window,
// after the vertical blank when waitVerticalBlank is set.
void Present();
void SetWaitVSync(int flag);
// Starts the current transition kind backward (10 down to 1) or forward (1 up to 10).
void StartTransitionIn();
void StartTransitionOut();
// Mode 1 or 3: the old picture opens sideways; 2: vertically; 60 steps each.
void StartSceneTransition(int mode);
// Loads the strip of ten 64 x 48 pattern frames, keyed on black.
void LoadTransitionPattern(const char* name);
// Loads (or swaps in) the overlay's page and background tile.
void LoadOverlay(const char* pageName, const char* tileName, int pageHeight);
// Shows or hides the overlay; it shows only once a page is loaded.
void ToggleOverlay();
// Allocates and frees the font description block.
void InitText();
void ReleaseText();
} // namespace voDraw

// Transition state: kind 0 pattern cells, 1..12 effects; step counts to 0 (idle).
extern int transitionKind;
extern int transitionStep;
// Transition direction: +1 while an outgoing transition runs, -1 incoming, 0 none.
extern int transitionDirection;
extern int transitionSteps;        // step count of kinds 1..12
extern ObjectId transitionPattern; // strip of ten 64 x 48 frames for kind 0

// Help overlay: shown flag, and the key pressed while it shows (0 once released).
extern int overlayShown;
extern int overlayKey;
extern int overlayPageHeight; // page height in pixels; 0: no overlay loaded
extern ObjectId overlayPage;  // the page
extern ObjectId overlayTile;  // the drifting background tile, 64 x 48
extern float overlayScroll;   // page scroll position in pixels
extern float overlayOffsetX;  // background drift in pixels
extern float overlayOffsetY;

// True while input is held back from the game: a transition runs or the overlay shows.
inline bool DrawingHoldsInput()
{
    return transitionStep != 0 || overlayShown != 0;
}

// Wipe state: 0 idle, 1 opening, 2 closing, -1 closed.
extern int wipeState;

// Puts back the clip rectangle a running wipe saved and stops it.
void CancelWipe();
