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
