// voDraw: the screen, drawing objects, puts and fills, present and transitions, wipes, text
// and shapes.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/dc.h"
#include "platform/font.h"
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

// ---- Text, fonts and the frame-rate line ----------------------------------------------------

// Face kinds of voDraw::BeginText.
constexpr int FACE_MINCHO = 0;
constexpr int FACE_GOTHIC = 1;

// The font description block: allocated zero-filled by voDraw::InitText, freed by
// voDraw::ReleaseText; each begin call overwrites some fields and leaves the others.
extern platform::LogFont* fontDescription;
extern Rect textBoxRect;     // rectangle of the last voDraw::DrawTextBox
extern Rect textMeasureRect; // rectangle of the last voDraw::MeasureText, then the text's extent

// Frame-rate line: frames counted since the last sample (at most 999), frames per second of
// the last two-second window, the highest and lowest (above 0) rates seen, the line drawn.
extern int fpsFrameCount;
extern float fpsRate;
extern float fpsHighest;
extern float fpsLowest;
extern char fpsLine[256];

namespace voDraw
{
// Starts a text run on the back buffer: a font of the face kind (FACE_MINCHO, FACE_GOTHIC,
// other: the face of the previous run), height (positive: cell, negative: character), angle
// in degrees, weight kind (0 normal, 1 bold, other: the face's own), italic and underline,
// in the Shift-JIS set. While the back buffer is held elsewhere the run draws nothing.
void BeginText(int faceKind, int height, int angle, int weightKind, std::uint8_t italic,
               std::uint8_t underline);
// The same with a face named by the caller; a name of letters, digits, spaces and '-' only
// gets the ANSI set, any other the Shift-JIS set.
void BeginTextFace(const char* faceName, int height, int angle, int weightKind,
                   std::uint8_t italic, std::uint8_t underline);
// Ends the run: the font is deleted and the back buffer given back.
void EndText();
// Text and background colours (GDI RGB values); a nonzero flag makes the background
// transparent, zero leaves the mode (opaque in a new run).
void SetTextColors(std::uint32_t textColor, std::uint32_t backColor, int transparent);
// Draws the string with the top-left of its cell at (x, y).
void PutText(int x, int y, const char* text);
// Draws the string word-wrapped inside the rectangle: alignment 0 left, 1 centred, 2 right;
// any other draws nothing. The rectangle is kept in textBoxRect.
void DrawTextBox(int left, int top, int right, int bottom, const char* text, int alignment);
// Measures the word-wrapped string into textMeasureRect. Returns its height in pixels, 0
// outside a run.
int MeasureText(int left, int top, int right, int bottom, const char* text);
// One complete run in the fixed style: Gothic, 12 pixels, white on navy. Inside another
// run they draw nothing.
void PrintText(int x, int y, const char* text);
// The same with printf formatting; the text is cut to 255 bytes at a character boundary.
void PrintTextFormat(int x, int y, const char* format, ...) __attribute__((format(printf, 3, 4)));
// PrintTextFormat with "%f %f".
void PrintFloats(int x, int y, double first, double second);
// Counts a frame and draws the frame-rate line at (0, 0); call once per frame.
void DrawFps();
} // namespace voDraw

// ---- GDI shapes and pixels -------------------------------------------------------------------
// Each shape takes the back buffer's device context, draws and gives it back; while the
// context is out (a text run, voDraw::BeginGdi) they draw nothing. Colours are GDI RGB values.

// The back buffer's context lent by voDraw::BeginGdi; null when not lent.
extern platform::DeviceContext* gdiContext;

namespace voDraw
{
// Outline in colour with the pen width; fill mode 0 none, 1 (and any other) the
// diagonal-cross hatch in colour over backColor, 2 the hatch over the picture.
void Polygon(const platform::Point* points, int count, std::uint32_t color,
             std::uint32_t backColor, int penWidth, int fillMode);
// A line from (x1, y1) to (x2, y2), the end point left unpainted.
void Line(int x1, int y1, int x2, int y2, std::uint32_t color, int penWidth);
// The same from doubles (truncated) and a colour in three bytes.
void Line(double x1, double y1, double x2, double y2, std::uint8_t red, std::uint8_t green,
          std::uint8_t blue, int penWidth);
// A rectangle (right and bottom exclusive) filled with fillColor, outlined in penColor.
void Rectangle(int left, int top, int right, int bottom, std::uint32_t fillColor,
               std::uint32_t penColor, int penWidth);
// Cubic Bezier curves through 3n + 1 points; other counts draw nothing.
void Bezier(const platform::Point* points, int count, std::uint32_t color, int penWidth);
void SetPixel(int x, int y, std::uint32_t color);
// Reads a pixel's channels (0..255); outside the back buffer, or while its context is out,
// all three are 255.
void GetPixel(int x, int y, int& red, int& green, int& blue);
// Lends the back buffer's context to the game in gdiContext, and takes it back.
void BeginGdi();
void EndGdi();
// Copies the back buffer's rectangle to the object's top-left corner.
void GrabRect(ObjectId id, int left, int top, int right, int bottom);
} // namespace voDraw

// ---- Clip-rectangle wipes --------------------------------------------------------------------

// Wipe state: 0 idle, 1 opening, 2 closing, -1 closed.
extern int wipeState;
extern Rect wipeSaved;   // the full clipRect the wipe opens to and closes from
extern int wipeClosing;  // nonzero: the closing movements
extern int wipeKind;     // 1..9
extern float wipeSpeed;  // pixels per second
extern int wipeSlit;     // slit width of kinds 8 and 9
extern int wipeOpened;   // 1 once an opening wipe has finished
extern int wipeClosed;   // 1 once a closing wipe has finished

namespace voDraw
{
// Starts an opening (closing 0) or closing wipe of kind 1..9 (0: one at random) at speed
// pixels per second. Returns 0, changing nothing, while a wipe runs or for another kind;
// else 1.
int StartWipe(int closing, int kind, float speed, int slit);
// Moves the wipe's edges by one frame. Returns 0 when no wipe runs, else 1.
int StepWipe();
// Hides everything at once: clipRect empty, state closed.
void HideAll();
} // namespace voDraw

// Puts back the clip rectangle a running wipe saved and stops it.
void CancelWipe();
