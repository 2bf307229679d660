// voDraw's software blitters and screen effects: every destination pixel is computed here from
// a locked drawing object and the locked back buffer. The hardware puts are in draw/draw.h.
//
// Common to every blitter that copies a source rectangle (srcLeft, srcTop, srcRight,
// srcBottom; right and bottom exclusive) to (x, y) of the back buffer:
// - a source pixel of value 0 is transparent, unless the member says it is unkeyed;
// - the destination is clipped to clipRect (and to the back buffer), moving the source as
//   the clipping moves the destination; a source rectangle reaching outside its object is cut
//   to the object the same way, so no read leaves the surface;
// - returns 1 when drawn or when clipping left nothing to draw, 0 when a surface lock failed,
//   when id names no object with a surface, or when the desktop is not 16 bits per pixel (the
//   lookup tables are empty and nothing is drawn).
#pragma once

#include <cstdint>
#include <vector>

#include "draw/draw.h"

namespace voDraw
{

// ---- Blends ----------------------------------------------------------------------------------

// 50% blend.
int PutHalf(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom);
// Blend with the source's opacity a, 0.0 (invisible) to 1.0 (opaque). Opacities outside 0..1
// spill into the neighbouring channels when joined; they are held within +-65536 (NaN as 0).
int PutAlpha(int x, int y, float a, ObjectId id, int srcLeft, int srcTop, int srcRight,
             int srcBottom);
// The same at a position truncated toward zero, with the opacity passed on as a float.
int PutAlpha(double x, double y, double a, ObjectId id, int srcLeft, int srcTop, int srcRight,
             int srcBottom);
// Blend with one opacity per channel.
int PutAlphaRGB(int x, int y, float aRed, float aGreen, float aBlue, ObjectId id, int srcLeft,
                int srcTop, int srcRight, int srcBottom);
// Cross-fade by subtraction, level 0 (the destination) to 31 (the source); levels outside
// 0..31 are taken as the nearest end.
int PutFade(int x, int y, int level, ObjectId id, int srcLeft, int srcTop, int srcRight,
            int srcBottom);
int PutFadeRGB(int x, int y, int levelRed, int levelGreen, int levelBlue, ObjectId id,
               int srcLeft, int srcTop, int srcRight, int srcBottom);
// Opacity rising by 1/32 every step positions past start, along each row (vertical 0) or
// down the rows. A step below 1 is taken as 1; a negative start never ramps.
int PutAlphaRamp(int x, int y, float aRed, float aGreen, float aBlue, int vertical, int start,
                 int step, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom);
// The same ramp on cross-fade levels (taken into 0..31 as for PutFade).
int PutFadeRamp(int x, int y, int levelRed, int levelGreen, int levelBlue, int vertical,
                int start, int step, ObjectId id, int srcLeft, int srcTop, int srcRight,
                int srcBottom);
// Saturating addition.
int PutAdd(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom);
// Addition of the source darkened by a: 0.0 adds nothing, 1.0 adds it all.
int PutAddLevel(int x, int y, float a, ObjectId id, int srcLeft, int srcTop, int srcRight,
                int srcBottom);
// Saturating subtraction of the source's red from every channel.
int PutSubtract(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom);

// ---- Colour effects --------------------------------------------------------------------------

// Keyed copy whose outline pixels are averaged with the background under their transparent
// neighbours.
int PutSmoothEdges(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight,
                   int srcBottom);
// Keyed copy of the channels whose flag is not 0; the others become 0.
int PutChannels(int x, int y, int keepRed, int keepGreen, int keepBlue, ObjectId id, int srcLeft,
                int srcTop, int srcRight, int srcBottom);
int PutChannels(double x, double y, int keepRed, int keepGreen, int keepBlue, ObjectId id,
                int srcLeft, int srcTop, int srcRight, int srcBottom);
// Channels multiplied by factor (meant for 0.0..1.0; larger values spill, as with PutAlpha).
int PutBrightness(int x, int y, float factor, ObjectId id, int srcLeft, int srcTop, int srcRight,
                  int srcBottom);
int PutBrightnessRGB(int x, int y, float fRed, float fGreen, float fBlue, ObjectId id,
                     int srcLeft, int srcTop, int srcRight, int srcBottom);
// Darkened copy, level 0 (black) to 31 (the source); levels outside are taken as the nearest
// end.
int PutDarken(int x, int y, int level, ObjectId id, int srcLeft, int srcTop, int srcRight,
              int srcBottom);
int PutDarkenRGB(int x, int y, int levelRed, int levelGreen, int levelBlue, ObjectId id,
                 int srcLeft, int srcTop, int srcRight, int srcBottom);
// n x n forward box average; n < 1 draws nothing, n past the visible width or height is
// limited to it.
int PutBlur(int x, int y, int n, ObjectId id, int srcLeft, int srcTop, int srcRight,
            int srcBottom);
// Grey copy.
int PutGray(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom);
// The back buffer pulled up by the source's red (a height map), level 0.0 to 1.0.
int PutDisplace(int x, int y, float level, ObjectId id, int srcLeft, int srcTop, int srcRight,
                int srcBottom);
// Fading halo around the source in the directions of the 16-bit mask (0x20 up-left, 0x40 up,
// 0x80 up-right, 0x08 left, 0x10 right, 0x01 down-left, 0x02 down, 0x04 down-right); shifts
// are taken into 0..31.
int PutGlow(int x, int y, int shiftRed, int shiftGreen, int shiftBlue, int directions,
            int drawSource, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom);

// ---- Rotation and warps ----------------------------------------------------------------------
// The rotation members draw into the destination rectangle (left, top, right, bottom), clipped
// to clipRect, the source centred in it and turned by angle degrees (taken modulo 360 into
// 0..359). Where a zoom makes a coordinate have no int value (a zoom of 0, not a number, or so
// small that the quotient passes the int range) that pixel is not drawn; a zoom of 0 draws
// nothing at all and still returns 1.

int PutRotate(int left, int top, int right, int bottom, int angle, ObjectId id, int srcLeft,
              int srcTop, int srcRight, int srcBottom);
// The source repeated over the whole rectangle, mirrored about its placed top-left corner.
int PutRotateTiled(int left, int top, int right, int bottom, int angle, ObjectId id, int srcLeft,
                   int srcTop, int srcRight, int srcBottom);
// Magnified by zoom about the placed source's top-left corner.
int PutRotateZoom(int left, int top, int right, int bottom, int angle, float zoom, ObjectId id,
                  int srcLeft, int srcTop, int srcRight, int srcBottom);
int PutRotateZoomTiled(int left, int top, int right, int bottom, int angle, float zoom,
                       ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom);
// A plane whose magnification changes by zoomXStep and zoomYStep from row to row, tinted per
// 5-bit channel.
int PutPerspective(int left, int top, int right, int bottom, int angle, float zoomX,
                   float zoomXStep, float zoomY, float zoomYStep, float tintRed, float tintGreen,
                   float tintBlue, ObjectId id, int srcLeft, int srcTop, int srcRight,
                   int srcBottom);
// Every step-th source pixel lifted by a cosine ripple, sheared by slant and scaled; unkeyed.
// A step below 1 draws nothing and returns 1.
int PutRipple(int x, int y, int amplitude, int frequency, int step, float scale, float slant,
              ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom);
// Fills tunnelMap with texture coordinates for a tunnel seen from inside. Texture sizes below
// 1 or above 32767 (the entries are 16-bit), map sizes below 1 or a map of more than
// kTunnelCapacity entries leave the map empty. A coordinate that is not a finite number (the
// entry at the centre, where the distance is 0, and the axes where depth kinds 3 and 5 divide
// by 0) is stored as 0; distance kinds outside 0..6 and depth kinds outside 0..5 are taken as 0.
void MakeTunnel(int textureWidth, int textureHeight, int mapWidth, int mapHeight, int centreX,
                int centreY, int viewDivisor, int centreMotion, int distanceKind, int depthKind);
// Draws tunnelMap at (x, y) from the texture object id (from its top-left corner), shifted by
// the offsets (taken modulo the texture size); unkeyed, clipped to the back buffer only (not
// to clipRect). A texture larger than the object repeats the object. An empty map draws
// nothing and returns 1.
int PutTunnel(int x, int y, int offsetU, int offsetV, ObjectId id);

// ---- Mirrored, smeared and row-wise puts -----------------------------------------------------

// Keyed copy mirrored by mode: 0 none, 1 left to right, 2 upside down, 3 both; other modes
// draw nothing. The mirror is taken over the whole rectangle before clipping.
int PutFlip(int x, int y, int mode, ObjectId id, int srcLeft, int srcTop, int srcRight,
            int srcBottom);
// The column (modes 0, 1) or row (modes 2, 3) at position stretched toward the screen edge;
// modes 1 and 3 also fill to the back buffer's left or top edge, unkeyed and past clipRect.
// A position outside the visible width or height (or past the object) reads the last one.
int PutSmear(int x, int y, int mode, int position, ObjectId id, int srcLeft, int srcTop,
             int srcRight, int srcBottom);
// Every step-th row (step > 0) or rows with random gaps of 1 to -step (step < 0), through Put.
// The row-wise puts draw nothing for an id without surface.
void PutScanlines(int x, int y, int step, ObjectId id, int srcLeft, int srcTop, int srcRight,
                  int srcBottom);
// Rows shifted sideways by random offsets in -amplitude..amplitude - 1, through Put.
void PutJitter(int x, int y, int amplitude, ObjectId id, int srcLeft, int srcTop, int srcRight,
               int srcBottom);
// Rows projected onto a drum rolling at speed rows per second, through PutOpaque; advances
// drumPhase by frameSeconds x speed. Fewer than 2 rows draw nothing and keep the phase.
void PutDrum(int x, int y, int reverse, float speed, ObjectId id, int srcLeft, int srcTop,
             int srcRight, int srcBottom);

// ---- Screen effects on the back buffer ------------------------------------------------------
// Regions are x, y, width, height, limited to the back buffer. Each returns 1 when it ran, 0
// when a lock failed or the desktop is not 16 bits per pixel. A region left with a width or
// height below 1, or a mosaic block below 1, draws nothing. The rises read one row below their
// region, but never below the back buffer (its last row is read again); the enlargements are
// cut to what Buffer holds, and their final put clips to clipRect.

int ScreenRise(int x, int y, int width, int height);
int ScreenRiseFade(int fadeRed, int fadeGreen, int fadeBlue, int x, int y, int width, int height);
int ScreenBlur(int x, int y, int width, int height);
int ScreenBlurFade(int fadeRed, int fadeGreen, int fadeBlue, int x, int y, int width, int height);
int ScreenZoom2(int x, int y, int width, int height, int dotted);
int ScreenZoom4(int x, int y, int width, int height, int dotted);
int ScreenMosaic(int centreX, int centreY, int radius, int block);
int ScreenNoise(int shift, int x, int y, int width, int height);
int ScreenNoiseRGB(int noiseRed, int noiseGreen, int noiseBlue, int shift, int x, int y,
                   int width, int height);

} // namespace voDraw

// ---- State the blitters keep between calls ---------------------------------------------------

// Texture coordinates built by voDraw::MakeTunnel and drawn by voDraw::PutTunnel.
struct TunnelEntry
{
    std::int16_t u, v;
};
struct TunnelMap
{
    std::int32_t textureWidth, textureHeight; // as last given to voDraw::MakeTunnel
    std::int32_t mapWidth, mapHeight;
    std::vector<TunnelEntry> entries; // mapWidth x mapHeight, row-major; empty: nothing to draw
};
constexpr int kTunnelCapacity = 640 * 480; // entries the map holds at most
extern TunnelMap tunnelMap;

extern std::uint32_t glowTableIndex; // voDraw::PutGlow's position in randomTable3, 0..9999
extern float drumPhase;              // voDraw::PutDrum's phase in rows, shared by every drum
