// What the device context's files share: the context itself and its drawing target.
#pragma once

#include "platform/dc.h"
#include "platform/raster.h"

namespace platform
{

struct DeviceContext
{
    const void* owner = nullptr; // the surface the context was taken on
    PixelBuffer pixels;          // where everything is drawn
    Pen pen;
    Brush brush;
    ColorRef backgroundColor = 0xFFFFFF;
    BackgroundMode backgroundMode = BackgroundMode::Opaque;
    ColorRef textColor = 0;
    Point position = {0, 0}; // current position of LineTo
    Font* font = nullptr;    // null: the default font
};

// Sets one setting of a context and returns the one it replaces; with no context, returns
// what GDI returns for a failed call of that setter.
template <typename T>
T ExchangeSetting(DeviceContext* dc, T DeviceContext::*setting, T value, T failed)
{
    if (dc == nullptr)
    {
        return failed;
    }
    T previous = dc->*setting;
    dc->*setting = value;
    return previous;
}

// Mask of the bits a pixel of this layout uses.
inline std::uint16_t ColorBits(PixelLayout layout)
{
    return layout == PixelLayout::Rgb565 ? 0xFFFF : 0x7FFF;
}

inline std::uint16_t Native(const DeviceContext& dc, ColorRef color)
{
    return NativeFromColor(color, dc.pixels.layout);
}

} // namespace platform
