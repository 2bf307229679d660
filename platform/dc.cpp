// The device context's life (take and give back, one per surface) and its pixel operations.
// Shapes and text draw through the same context in files of their own.
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/dc_internal.h"

namespace platform
{
namespace
{

struct DcState
{
    std::vector<std::unique_ptr<DeviceContext>> contexts; // contexts out, one per owner
};

DcState dcState;

bool Inside(const PixelBuffer& pixels, int x, int y)
{
    return x >= 0 && y >= 0 && x < pixels.width && y < pixels.height;
}

} // namespace

DeviceContext* TakeDc(const void* owner, const PixelBuffer& pixels)
{
    if (owner == nullptr || pixels.pixels == nullptr || pixels.width <= 0 || pixels.height <= 0 ||
        pixels.pitchBytes < pixels.width * 2)
    {
        return nullptr;
    }
    // A surface lends one context at a time: callers rely on the second take failing while
    // a run holds the back buffer.
    if (HasDc(owner))
    {
        return nullptr;
    }
    auto dc = std::make_unique<DeviceContext>();
    dc->owner = owner;
    dc->pixels = pixels;
    dcState.contexts.push_back(std::move(dc));
    return dcState.contexts.back().get();
}

void ReleaseDc(DeviceContext* dc)
{
    auto& contexts = dcState.contexts;
    auto found = std::find_if(contexts.begin(), contexts.end(),
                              [dc](const auto& held) { return held.get() == dc; });
    if (found != contexts.end())
    {
        contexts.erase(found);
    }
}

bool HasDc(const void* owner)
{
    return std::any_of(dcState.contexts.begin(), dcState.contexts.end(),
                       [owner](const auto& held) { return held->owner == owner; });
}

ColorRef SetPixel(DeviceContext* dc, int x, int y, ColorRef color)
{
    if (dc == nullptr || !Inside(dc->pixels, x, y))
    {
        return kInvalidColor;
    }
    std::uint16_t native = NativeFromColor(color, dc->pixels.layout);
    dc->pixels.Row(y)[x] = native;
    return ColorFromNative(native, dc->pixels.layout);
}

ColorRef GetPixel(DeviceContext* dc, int x, int y)
{
    if (dc == nullptr || !Inside(dc->pixels, x, y))
    {
        return kInvalidColor;
    }
    return ColorFromNative(dc->pixels.Row(y)[x], dc->pixels.layout);
}

void InvertRect(DeviceContext* dc, int left, int top, int right, int bottom)
{
    if (dc == nullptr)
    {
        return;
    }
    const PixelBuffer& pixels = dc->pixels;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, pixels.width);
    bottom = std::min(bottom, pixels.height);
    std::uint16_t bits = ColorBits(pixels.layout);
    for (int y = top; y < bottom; ++y)
    {
        std::uint16_t* row = pixels.Row(y);
        for (int x = left; x < right; ++x)
        {
            row[x] ^= bits;
        }
    }
}

} // namespace platform
