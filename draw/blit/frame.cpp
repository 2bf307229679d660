// The blitters' shared frame: placing a source rectangle, the two locks, and the instruction
// set their row loops run with. The members are in the other files of this folder.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "draw/blit/blit_internal.h"

namespace
{

struct PathState
{
    bool chosen = false; // false until the first query or SetBlitPath
    BlitPath path = BlitPath::Baseline;
};
PathState pathState;

bool ProcessorHas(BlitPath path)
{
#if defined(__x86_64__) && defined(__GNUC__)
    if (path == BlitPath::Avx2)
    {
        return __builtin_cpu_supports("avx2");
    }
#endif
    return path == BlitPath::Baseline;
}

} // namespace

bool BlittersReady()
{
    return !pixelToRgb5.empty() && BackBuffer() != nullptr;
}

Rect BlitClip()
{
    return Rect{std::max(clipRect.left, 0), std::max(clipRect.top, 0),
                std::min(clipRect.right, screenWidth), std::min(clipRect.bottom, screenHeight)};
}

BlitPlacement PlaceBlit(int x, int y, ObjectId id, int srcLeft, int srcTop, int srcRight,
                        int srcBottom, const Rect& clip)
{
    // Wide arithmetic: no position or size can overflow on the way.
    std::int64_t px = x;
    std::int64_t py = y;
    std::int64_t l = srcLeft;
    std::int64_t t = srcTop;
    std::int64_t r = std::min<std::int64_t>(srcRight, objectTable[id].width);
    std::int64_t b = std::min<std::int64_t>(srcBottom, objectTable[id].height);
    if (l < 0)
    {
        px -= l;
        l = 0;
    }
    if (t < 0)
    {
        py -= t;
        t = 0;
    }
    std::int64_t width = r - l;
    std::int64_t height = b - t;
    if (px + width > clip.right)
    {
        width = clip.right - px;
    }
    if (py + height > clip.bottom)
    {
        height = clip.bottom - py;
    }
    if (px < clip.left)
    {
        l += clip.left - px;
        width -= clip.left - px;
        px = clip.left;
    }
    if (py < clip.top)
    {
        t += clip.top - py;
        height -= clip.top - py;
        py = clip.top;
    }
    if (width < 0 || height < 0)
    {
        return BlitPlacement{false, 0, 0, 0, 0, 0, 0, clip};
    }
    return BlitPlacement{true,
                         static_cast<int>(l),
                         static_cast<int>(t),
                         static_cast<int>(px),
                         static_cast<int>(py),
                         static_cast<int>(width),
                         static_cast<int>(height),
                         clip};
}

bool LockBlitSurfaces(ObjectId id, platform::PixelBuffer& source,
                      platform::PixelBuffer& destination)
{
    platform::Surface* sourceSurface = ObjectSurface(id);
    if (platform::LockSurface(sourceSurface, source) != platform::SurfaceResult::Ok)
    {
        return false;
    }
    if (platform::LockSurface(BackBuffer(), destination) != platform::SurfaceResult::Ok)
    {
        platform::UnlockSurface(sourceSurface);
        return false;
    }
    return true;
}

void UnlockBlitSurfaces(ObjectId id)
{
    platform::UnlockSurface(ObjectSurface(id));
    platform::UnlockSurface(BackBuffer());
}

BlitPath ActiveBlitPath()
{
    if (!pathState.chosen)
    {
        const char* baseline = std::getenv("PLONDER_BLIT_BASELINE");
        bool forced = baseline != nullptr && baseline[0] != '\0' && std::strcmp(baseline, "0") != 0;
        pathState.path = !forced && ProcessorHas(BlitPath::Avx2) ? BlitPath::Avx2
                                                                  : BlitPath::Baseline;
        pathState.chosen = true;
    }
    return pathState.path;
}

bool SetBlitPath(BlitPath path)
{
    if (!ProcessorHas(path))
    {
        return false;
    }
    pathState.path = path;
    pathState.chosen = true;
    return true;
}
