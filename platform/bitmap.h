// Windows bitmaps: the stand-in for LoadImageA with IMAGE_BITMAP. Reads BMP files and the
// bitmaps compiled into the program (platform/resources.h), and copies a bitmap onto a
// surface the way StretchBlt into the surface's device context does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/pixels.h"
#include "platform/surface.h"

namespace platform
{

// A decoded bitmap: rows top to bottom, each pixel a GDI colour (0x00BBGGRR).
struct Bitmap
{
    int width = 0;
    int height = 0;
    std::vector<ColorRef> pixels;
};

// Bitmaps larger than this are refused: they are far past anything a screen of this system
// shows, and refusing them keeps a lying header from asking for gigabytes.
constexpr int kMaxBitmapSide = 16384;
constexpr std::size_t kMaxBitmapPixels = std::size_t{16} << 20;

// Decodes BMP bytes, with or without the 14-byte file header: 1, 4 and 8 bits with a palette,
// 4 and 8 bits run-length coded, 16 and 32 bits plain or with bit fields, 24 bits; bottom-up
// or top-down (plain pixels only). False, leaving bitmap empty, for anything truncated,
// inconsistent, coded in another way, with a run or move outside the picture, or too large.
bool DecodeBmp(const std::uint8_t* bytes, std::size_t size, Bitmap& bitmap);

// Reads and decodes a BMP file. folder is a path as the file system names it (it ends in a
// separator or is empty); name is CP932 and may use '\' between folders. False when the
// file is missing, unreadable or not a bitmap this decoder takes.
bool LoadBitmapFile(const std::string& folder, const char* name, Bitmap& bitmap);

// Decodes the bitmap resource of that name (case ignored, as Windows does). False when
// there is none or it does not decode.
bool LoadBitmapResource(const char* name, Bitmap& bitmap);

// The bitmap copier: the bitmap's rectangle (x, y, width, height; a width or height of 0
// means the bitmap's own) stretched over the whole surface by the nearest pixel, each
// colour stored as the 16-bit pixel holds it. Restores the surface first. Returns the
// result of taking the surface's device context.
SurfaceResult CopyBitmapToSurface(Surface* surface, const Bitmap& bitmap, int x, int y, int width,
                                  int height);

} // namespace platform
