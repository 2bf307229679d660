// Frames the headless display presented, for tests and the --capture folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::headless
{

struct CapturedFrame
{
    int frame = 0;                       // frame number, from 1
    std::uint32_t clockMs = 0;           // virtual clock when presented
    int width = 0, height = 0;           // the window's client size
    bool rgb555 = false;                 // pixel layout
    std::vector<std::uint16_t> pixels;   // width * height native pixels, row by row

    // The pixel as 0xRRGGBB, channels widened to 8 bits.
    std::uint32_t Rgb(int x, int y) const;
};

// Keeps a presented frame when asked to, and writes it when a capture folder is set.
void RecordFrame(CapturedFrame frame);

// Every frame presented so far, when the switch keepFrames is on.
const std::vector<CapturedFrame>& CapturedFrames();

// Writes a frame as an RGB PNG. False when the file cannot be written.
bool WritePng(const std::string& path, const CapturedFrame& frame);

} // namespace platform::headless
