// Headless display: the device the switches describe, a virtual vertical blank that moves
// the clock by one 60 Hz refresh, and every shown picture kept as a captured frame.
//   [X] 565 or 555, 3D and stretch caps, surface limit, surfaces made lost, refused steps
//   [X] full-screen modes up to the desktop's depth; their picture is captured at the mode's
//       size, as the display core hands it over
#include "platform/backend.h"
#include "platform/headless/capture.h"
#include "platform/headless/control.h"
#include "platform/headless/headless_internal.h"
#include "platform/surface.h"

namespace platform::headless
{
namespace
{

class HeadlessDisplay final : public platform::Display
{
  public:
    DisplayDevice Device() override
    {
        const HeadlessConfig& config = Config();
        DisplayDevice device;
        device.hardware3D = config.device3D;
        device.hardwareStretch = config.stretch;
        device.emulationStretch = config.stretch;
        device.layout = config.rgb555 ? PixelLayout::Rgb555 : PixelLayout::Rgb565;
        device.surfaceLimit = config.surfaceLimit;
        device.surfacesStartLost = config.surfacesLost;
        device.fault = config.displayFault;
        return device;
    }
    bool SetCooperation(bool) override
    {
        return true;
    }
    bool SetMode(int, int, int bitsPerPixel) override
    {
        // The display offers the usual depths up to the desktop's own.
        bool known =
            bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
        return known && bitsPerPixel <= Config().desktopBpp;
    }
    void RestoreMode() override
    {
    }
    void ClientArea(int& left, int& top, int& width, int& height) override
    {
        const WindowRecord& window = Window();
        left = window.x;
        top = window.y;
        width = window.open ? window.width : 0;
        height = window.open ? window.height : 0;
    }
    bool WaitForVerticalBlank() override
    {
        if (Config().vblankFails)
        {
            return false;
        }
        AdvanceRefresh();
        return true;
    }
    void ShowPicture(const PixelBuffer& picture) override
    {
        CapturedFrame frame;
        frame.frame = FramesStarted();
        frame.clockMs = platform::NowMs();
        frame.width = picture.width;
        frame.height = picture.height;
        frame.rgb555 = picture.layout == PixelLayout::Rgb555;
        frame.pixels.reserve(static_cast<std::size_t>(picture.width) * picture.height);
        for (int y = 0; y < picture.height; ++y)
        {
            const std::uint16_t* row = picture.Row(y);
            frame.pixels.insert(frame.pixels.end(), row, row + picture.width);
        }
        RecordFrame(std::move(frame));
    }
};

} // namespace

std::unique_ptr<platform::Display> MakeDisplay()
{
    return std::make_unique<HeadlessDisplay>();
}

void LoseAllSurfaces()
{
    platform::LoseAllSurfaces();
}

} // namespace platform::headless
