// What the device context's files share: the context itself.
#pragma once

#include "platform/dc.h"

namespace platform
{

struct DeviceContext
{
    const void* owner = nullptr; // the surface the context was taken on
    PixelBuffer pixels;          // where everything is drawn
};

// Mask of the bits a pixel of this layout uses.
inline std::uint16_t ColorBits(PixelLayout layout)
{
    return layout == PixelLayout::Rgb565 ? 0xFFFF : 0x7FFF;
}

} // namespace platform
