// Screen set-up: the display, the primary surface and back buffer, the reserved objects,
// the pixel-format record and the blitters' lookup tables; their release; the colour-depth
// check. Objects are in objects.cpp, puts in puts.cpp, the present in present.cpp.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <string_view>

#include "draw/draw_internal.h"
#include "draw/draw_texts.h"
#include "input/input.h"
#include "platform/display.h"
#include "sound/sound.h"
#include "system/system.h"

int screenWidth = 0, screenHeight = 0;
Rect clipRect = {0, 0, 0, 0};

PixelFormat PixelFormatInfo = {};
std::int32_t sineTable[kSineTableSize] = {};
std::vector<Rgb5> pixelToRgb5;
std::vector<std::uint16_t> fadeMixTable;
std::vector<std::uint16_t> addMixTable;
std::vector<std::uint16_t> subMixTable;
std::vector<std::uint16_t> divideBy3Table;
std::vector<std::uint8_t> randomTable3;

int fullScreenDepth = 16;
int waitVerticalBlank = 1;
int device3D = 0;
int stretchSupported = 0;

namespace
{

constexpr const char* kScreenFunction = "voDraw::Screen";
constexpr int kMixLevels = 32;
constexpr int kDivideBy3Entries = 94;
constexpr int kRandomTable3Entries = 10000;

struct ScreenState
{
    platform::Surface* primary = nullptr;    // the window's picture
    platform::Surface* backBuffer = nullptr; // every frame is drawn here
    platform::Clipper* clipper = nullptr;    // windowed: keeps copies inside the window
};

ScreenState screen;

int Fail(const char* message)
{
    return ShowError(kScreenFunction, message);
}

// Shifts the mask down to bit 0, counting the shifts. A channel without bits stays at 0.
void AnalyseChannel(std::uint32_t mask, std::uint32_t& shift, std::uint32_t& max)
{
    shift = 0;
    max = mask;
    while (max != 0 && (max & 1) == 0)
    {
        max >>= 1;
        shift += 1;
    }
}

void FillPixelFormat(const platform::PixelMasks& masks)
{
    PixelFormat& f = PixelFormatInfo;
    f.redMask = masks.red;
    f.greenMask = masks.green;
    f.blueMask = masks.blue;
    AnalyseChannel(f.redMask, f.redShift, f.redMax);
    AnalyseChannel(f.greenMask, f.greenShift, f.greenMax);
    AnalyseChannel(f.blueMask, f.blueShift, f.blueMax);
    f.redShift5 = f.redShift + (f.redMax == 63 ? 1 : 0);
    f.greenShift5 = f.greenShift + (f.greenMax == 63 ? 1 : 0);
    f.blueShift5 = f.blueShift + (f.blueMax == 63 ? 1 : 0);
    f.halfMask = ((f.redMax >> 1) << f.redShift) | ((f.greenMax >> 1) << f.greenShift) |
                 ((f.blueMax >> 1) << f.blueShift);
    f.halfMask2 = (f.halfMask << 16) | f.halfMask;
    f.whiteColor = f.redMask | f.greenMask | f.blueMask;
}

void FillSineTable()
{
    for (int i = 0; i < kSineTableSize; ++i)
    {
        sineTable[i] =
            static_cast<std::int32_t>(std::sin(2.0 * std::numbers::pi * i / 360.0) * 360.0);
    }
}

std::uint32_t Shift5(int channel)
{
    const PixelFormat& f = PixelFormatInfo;
    return channel == 0 ? f.redShift5 : channel == 1 ? f.greenShift5 : f.blueShift5;
}

void BuildSixteenBitTables()
{
    const PixelFormat& f = PixelFormatInfo;
    pixelToRgb5.assign(65536, Rgb5{0, 0, 0});
    auto to5 = [](std::uint32_t value, std::uint32_t max)
    { return static_cast<std::uint8_t>(max == 63 ? value >> 1 : value); };
    for (std::uint32_t r = 0; r <= f.redMax; ++r)
    {
        for (std::uint32_t g = 0; g <= f.greenMax; ++g)
        {
            for (std::uint32_t b = 0; b <= f.blueMax; ++b)
            {
                // Blue is taken to sit at bit 0, as it does in 565 and 555.
                std::uint32_t index = (r << f.redShift) + (g << f.greenShift) + b;
                if (index < pixelToRgb5.size())
                {
                    pixelToRgb5[index] =
                        Rgb5{to5(r, f.redMax), to5(g, f.greenMax), to5(b, f.blueMax)};
                }
            }
        }
    }

    fadeMixTable.assign(3 * 32768, 0);
    addMixTable.assign(3 * 32768, 0);
    for (int channel = 0; channel < 3; ++channel)
    {
        std::uint32_t shift = Shift5(channel);
        for (int level = 0; level < kMixLevels; ++level)
        {
            for (int a = 0; a < 32; ++a)
            {
                for (int b = 0; b < 32; ++b)
                {
                    int index = channel * 32768 + level * 1024 + a * 32 + b;
                    int fade = std::max(a - level, 0) + std::max(b - (31 - level), 0);
                    int add = std::min(std::max(a - level, 0) + b, 31);
                    fadeMixTable[index] = static_cast<std::uint16_t>(fade << shift);
                    addMixTable[index] = static_cast<std::uint16_t>(add << shift);
                }
            }
        }
    }

    subMixTable.assign(3 * 1024, 0);
    for (int channel = 0; channel < 3; ++channel)
    {
        for (int a = 0; a < 32; ++a)
        {
            for (int b = 0; b < 32; ++b)
            {
                subMixTable[channel * 1024 + a * 32 + b] =
                    static_cast<std::uint16_t>(std::max(a - b, 0) << Shift5(channel));
            }
        }
    }

    divideBy3Table.resize(kDivideBy3Entries);
    for (int n = 0; n < kDivideBy3Entries; ++n)
    {
        divideBy3Table[n] = static_cast<std::uint16_t>(n / 3);
    }

    randomTable3.resize(kRandomTable3Entries);
    for (auto& entry : randomTable3)
    {
        entry = static_cast<std::uint8_t>(Random() % 3);
    }
}

// Everything voDraw::Screen made, released in the order the display wants.
void ReleaseDisplayObjects()
{
    ReleaseAllObjects();
    if (screen.clipper != nullptr)
    {
        platform::ReleaseClipper(screen.clipper);
    }
    platform::ReleaseSurface(screen.primary);
    platform::ReleaseSurface(screen.backBuffer);
    screen = ScreenState{};
    if (fullScreen != 0)
    {
        platform::RestoreDisplayMode();
        platform::SetCooperativeLevel(mainWindow, false);
    }
    platform::CloseDisplay();
}

platform::Surface* MakeReservedObject(ObjectId id, int width, int height,
                                      platform::SurfaceMemory memory)
{
    DrawObject& object = objectTable[id];
    object.surface = platform::CreateSurface(width, height, memory);
    if (object.surface == nullptr)
    {
        return nullptr;
    }
    SetSurfaceKey(object.surface, 0);
    object.colorKey = 0;
    object.width = static_cast<std::uint16_t>(width);
    object.height = static_cast<std::uint16_t>(height);
    object.name[0] = '\0';
    return object.surface;
}

} // namespace

platform::Surface* BackBuffer()
{
    return screen.backBuffer;
}

platform::Surface* PrimarySurface()
{
    return screen.primary;
}

namespace voDraw
{

int Screen(int width, int height, int memoryMode)
{
    // A second set-up replaces the first instead of leaking it.
    if (platform::DisplayIsOpen())
    {
        ReleaseDisplayObjects();
    }
    if (width == -1)
    {
        width = clientWidth;
        height = clientHeight;
    }
    screenWidth = width;
    screenHeight = height;
    clipRect = Rect{0, 0, width, height};

    bool threeD = false;
    if (!platform::OpenDisplay(threeD))
    {
        return Fail(kNoDirectDraw);
    }
    device3D = threeD ? 1 : 0;
    if (!platform::SetCooperativeLevel(mainWindow, fullScreen != 0))
    {
        return Fail(kNoCooperativeLevel);
    }
    platform::SurfaceMemory memory = memoryMode == 1 || memoryMode == 3
                                         ? platform::SurfaceMemory::Display
                                         : platform::SurfaceMemory::System;
    if (fullScreen != 0)
    {
        bool modeSet = platform::SetDisplayMode(width, height, fullScreenDepth);
        if (!modeSet && fullScreenDepth == 32)
        {
            // A display without 32-bit modes gets 24 bits, for the rest of the run.
            fullScreenDepth = 24;
            modeSet = platform::SetDisplayMode(width, height, fullScreenDepth);
        }
        if (!modeSet)
        {
            return Fail(kNoDisplayMode);
        }
    }
    screen.primary = platform::CreatePrimarySurface(memory);
    if (screen.primary == nullptr)
    {
        return Fail(kNoPrimarySurface);
    }
    screen.backBuffer = platform::CreateSurface(width, height, memory);
    if (screen.backBuffer == nullptr)
    {
        return Fail(kNoBackBuffer);
    }
    if (fullScreen == 0)
    {
        screen.clipper = platform::CreateClipper();
        if (screen.clipper == nullptr)
        {
            return Fail(kNoClipper);
        }
        if (!platform::SetClipperWindow(screen.clipper, mainWindow))
        {
            return Fail(kNoClipperWindow);
        }
        if (!platform::AttachClipper(screen.primary, screen.clipper))
        {
            return Fail(kNoClipperOnPrimary);
        }
    }
    if (memoryMode == 3)
    {
        memory = platform::SurfaceMemory::System;
    }
    if (MakeReservedObject(0, width, height, memory) == nullptr)
    {
        return Fail(kNoBufferObject);
    }
    if (MakeReservedObject(1, width, height, memory) == nullptr)
    {
        return Fail(kNoScreenObject);
    }

    platform::DisplayCaps hardware;
    platform::DisplayCaps emulation;
    platform::GetDisplayCaps(hardware, emulation);
    stretchSupported = (device3D == 1 ? hardware.canStretch : emulation.canStretch) ? 1 : 0;

    platform::PixelMasks masks;
    if (!platform::GetPixelFormat(screen.backBuffer, masks))
    {
        return Fail(kNoPixelFormat);
    }
    FillPixelFormat(masks);
    FillSineTable();
    if (GetScreenColourBits() == 16)
    {
        BuildSixteenBitTables();
    }
    ResetObjectTable();

    ResetOverlayObjects();
    windowRect[0] = clientLeft;
    windowRect[1] = clientTop;
    windowRect[2] = clientLeft + width;
    windowRect[3] = clientTop + height;

    voSound::Init();
    voSound::InitMidi();
    ResetWaits();
    InitText();
    InitJoystick();
    if (cursorClipMode != 0)
    {
        ClipCursorToScreen();
    }
    return 1;
}

void Release()
{
    if (platform::DisplayIsOpen())
    {
        ReleaseDisplayObjects();
    }
    if (fullScreen != 0 || desktopWindowMode != 0)
    {
        platform::MinimizeMainWindow(mainWindow);
    }
}

int CheckColorDepth(const char* settingsFile)
{
    int level = 0;
    switch (fullScreenDepth)
    {
    case 8:
        level = 1;
        break;
    case 16:
        level = 2;
        break;
    case 24:
    case 32:
        level = 3;
        break;
    default:
        return 1;
    }
    if (IsWindowed() == 0 || GetScreenColourBits() >= fullScreenDepth)
    {
        return 1;
    }
    ShowMessage(kShallowDesktopNotice, kColorCounts[level - 1], kColorCounts[level]);
    const char* name = settingsFile != nullptr ? settingsFile : "";
    bool star = std::string_view(name) == "*";
    bool yes = false;
    if (name[0] != '\0')
    {
        yes = AskYesNo("%s", star ? kAskFullScreenNow : kAskFullScreenSaved) != 0;
    }
    if (!yes)
    {
        QuitProgram();
        return 0;
    }
    if (!star)
    {
        SaveNumber(name, 1);
    }
    fullScreen = 1;
    return 1;
}

void SetDepth32()
{
    fullScreenDepth = 32;
}

} // namespace voDraw
