// What the software blitters share: the frame every source-to-back-buffer blitter runs in
// (cutting, clipping, the two locks, the row walk), channel helpers, and the choice of
// instruction set for their row loops.
#pragma once

#include <cstdint>

#include "draw/blit/blit.h"
#include "draw/draw_internal.h"
#include "platform/pixels.h"
#include "platform/surface.h"

// The two locked surfaces and the clipped rectangle of one blitter call.
struct BlitView
{
    platform::PixelBuffer source;      // the whole source surface
    platform::PixelBuffer destination; // the whole back buffer
    int srcLeft, srcTop;               // the clipped source rectangle's top-left corner
    int x, y;                          // where that corner lands on the back buffer
    int width, height;                 // the clipped size; either may be 0
    Rect clip;                         // clipRect cut to the back buffer

    // Row j of the clipped rectangle, 0 <= j < height, at its first column.
    const std::uint16_t* SourceRow(int j) const
    {
        return source.Row(srcTop + j) + srcLeft;
    }
    std::uint16_t* DestinationRow(int j) const
    {
        return destination.Row(y + j) + x;
    }
};

// A source rectangle placed at (x, y) after cutting and clipping; drawn is false when nothing
// is left (width or height below 0), so no surface needs locking.
struct BlitPlacement
{
    bool drawn;
    int srcLeft, srcTop, x, y, width, height;
    Rect clip;
};

// True when blitters can run: a 16-bit desktop (its tables are built) and a back buffer.
bool BlittersReady();

// clipRect cut to the back buffer, so no clip rectangle a game sets can send a write outside.
Rect BlitClip();

// Cuts the rectangle to the surface of object id (the cut moving (x, y) with it), then clips
// it against clip: right and bottom edges first with the values as passed, then left and top,
// the source moving with the destination.
BlitPlacement PlaceBlit(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight,
                        int srcBottom, const Rect& clip);

// Locks the object's surface, then the back buffer (unlocking the first when the second
// fails). False when either lock fails.
bool LockBlitSurfaces(ObjectId id, platform::PixelBuffer& source,
                      platform::PixelBuffer& destination);
// Unlocks in the same order.
void UnlockBlitSurfaces(ObjectId id);

// The frame of every blitter that copies a source rectangle to (x, y): refuses (0) without
// 16-bit tables or an object surface, returns 1 without locking when clipping leaves nothing,
// 0 when a lock fails; otherwise runs body(const BlitView&) between the locks and returns 1.
template <class Body>
int BlitFrame(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom,
              Body&& body)
{
    if (!BlittersReady() || ObjectSurface(id) == nullptr)
    {
        return 0;
    }
    BlitPlacement place = PlaceBlit(x, y, id, srcLeft, srcTop, srcRight, srcBottom, BlitClip());
    if (!place.drawn)
    {
        return 1;
    }
    BlitView view;
    if (!LockBlitSurfaces(id, view.source, view.destination))
    {
        return 0;
    }
    view.srcLeft = place.srcLeft;
    view.srcTop = place.srcTop;
    view.x = place.x;
    view.y = place.y;
    view.width = place.width;
    view.height = place.height;
    view.clip = place.clip;
    body(static_cast<const BlitView&>(view));
    UnlockBlitSurfaces(id);
    return 1;
}

// BlitFrame for members whose step needs only the row itself: step(source row, destination
// row, width) for each row top to bottom.
template <class RowStep>
int BlitRows(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight, int srcBottom,
             RowStep&& step)
{
    return BlitFrame(x, y, id, srcLeft, srcTop, srcRight, srcBottom,
                     [&](const BlitView& view)
                     {
                         for (int j = 0; j < view.height; ++j)
                         {
                             step(view.SourceRow(j), view.DestinationRow(j), view.width);
                         }
                     });
}

// ---- Channels ------------------------------------------------------------------------------

// A pixel's 5-bit channels joined again with the 5-bit shifts.
inline std::uint16_t Join5(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    const PixelFormat& f = PixelFormatInfo;
    return static_cast<std::uint16_t>((red << f.redShift5) | (green << f.greenShift5) |
                                      (blue << f.blueShift5));
}

// ---- Instruction sets ----------------------------------------------------------------------
// Row loops are plain C++ that the compiler vectorises. RunVectorised compiles the body once
// for the baseline x86-64 (SSE2) and once for AVX2, and runs the one the processor and the
// switch allow; both give the same results, since the formulas are integer arithmetic or
// floating point without fused multiply-adds.

enum class BlitPath
{
    Baseline,
    Avx2,
};

// The path row loops run on: AVX2 when the processor has it, unless the environment variable
// PLONDER_BLIT_BASELINE is set to anything but "0" (read once) or SetBlitPath chose another.
BlitPath ActiveBlitPath();
// Chooses the path; false (and no change) when the processor lacks it.
bool SetBlitPath(BlitPath path);

#if defined(__x86_64__) && defined(__GNUC__)
template <class Body>
[[gnu::target("avx2"), gnu::flatten]] void RunBodyAvx2(Body& body)
{
    body();
}
#endif

template <class Body>
[[gnu::flatten]] void RunBodyBaseline(Body& body)
{
    body();
}

// Runs body() compiled for the active path. The body's inner calls are inlined into the
// path's copy, so lambdas and small helpers take on its instruction set.
template <class Body>
void RunVectorised(Body&& body)
{
#if defined(__x86_64__) && defined(__GNUC__)
    if (ActiveBlitPath() == BlitPath::Avx2)
    {
        RunBodyAvx2(body);
        return;
    }
#endif
    RunBodyBaseline(body);
}
