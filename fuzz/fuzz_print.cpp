// Arbitrary bytes through the system's text printers on the back buffer: a face name cut into
// the font description block, a text put, drawn in a box, measured and printed in the fixed
// style. The first bytes choose the face name, the positions, the box and the alignment; the
// rest is the text. Names are cut at a character boundary; a box and a fixed-style line draw
// inside their own area only; measuring draws nothing.
#include <algorithm>
#include <cstring>
#include <vector>

#include "app/app.h"
#include "draw/draw.h"
#include "fuzz/fuzz_support.h"
#include "platform/cp932.h"
#include "platform/surface.h"
#include "system/system.h"

namespace
{

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr std::uint16_t kPaper = 0x1234;
constexpr int kFixedCellHeight = 12; // the fixed style's Gothic cell

// Every pixel of the back buffer, row by row.
std::vector<std::uint16_t> Pixels()
{
    platform::PixelBuffer view;
    FUZZ_CHECK(platform::LockSurface(BackBuffer(), view) == platform::SurfaceResult::Ok);
    std::vector<std::uint16_t> pixels;
    for (int y = 0; y < view.height; ++y)
    {
        pixels.insert(pixels.end(), view.Row(y), view.Row(y) + view.width);
    }
    platform::UnlockSurface(BackBuffer());
    return pixels;
}

void FillPaper()
{
    platform::PixelBuffer view;
    FUZZ_CHECK(platform::LockSurface(BackBuffer(), view) == platform::SurfaceResult::Ok);
    for (int y = 0; y < view.height; ++y)
    {
        std::fill(view.Row(y), view.Row(y) + view.width, kPaper);
    }
    platform::UnlockSurface(BackBuffer());
}

// True when every pixel that is not paper lies inside the area.
bool OnlyInside(const std::vector<std::uint16_t>& pixels, int left, int top, int right, int bottom)
{
    for (int y = 0; y < kHeight; ++y)
    {
        for (int x = 0; x < kWidth; ++x)
        {
            bool inside = x >= left && x < right && y >= top && y < bottom;
            if (!inside && pixels[static_cast<std::size_t>(y) * kWidth + x] != kPaper)
            {
                return false;
            }
        }
    }
    return true;
}


} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::StartHeadless();
    platform::RegisterWindowClass(MainWindowProc);
    fullScreen = 0;
    clientWidth = 160;
    clientHeight = 180;
    mainWindow = platform::CreateMainWindow("Plonder", 100, 50, 160, 180);
    platform::Message message;
    while (platform::PeekMessage(message))
    {
        platform::DispatchMessage(message);
    }
    FUZZ_CHECK(voDraw::Screen(kWidth, kHeight, 1) == 1);
    FUZZ_CHECK(screenWidth == kWidth && screenHeight == kHeight);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input{data, size};
    std::size_t faceLength = fuzz::TakeByte(input) % 48;
    std::string face;
    for (std::size_t i = 0; i < faceLength; ++i)
    {
        face += static_cast<char>(fuzz::TakeByte(input));
    }
    int height = static_cast<std::int8_t>(fuzz::TakeByte(input));
    int angle = fuzz::TakeInt16(input);
    int x = fuzz::TakeInt16(input) % 400;
    int y = fuzz::TakeInt16(input) % 400;
    int left = fuzz::TakeInt16(input) % 400;
    int top = fuzz::TakeInt16(input) % 400;
    int right = fuzz::TakeInt16(input) % 400;
    int bottom = fuzz::TakeInt16(input) % 400;
    int alignment = fuzz::TakeByte(input) % 4;
    std::string text(fuzz::TakeRest(input));
    const char* t = text.c_str();

    // The back buffer cannot be locked while a run holds it: each run starts on paper and is
    // read after it ends.
    voDraw::BeginTextFace(face.c_str(), height, angle, 1, 0, 0);
    std::size_t cut = std::strlen(fontDescription->faceName);
    FUZZ_CHECK(cut == fuzz::ExpectedCut(face.c_str(), sizeof fontDescription->faceName));
    FUZZ_CHECK(std::memcmp(fontDescription->faceName, face.c_str(), cut) == 0);
    voDraw::PutText(x, y, t);
    voDraw::EndText();

    FillPaper();
    voDraw::BeginTextFace(face.c_str(), height, angle, 1, 0, 0);
    voDraw::DrawTextBox(left, top, right, bottom, t, alignment);
    voDraw::EndText();
    FUZZ_CHECK(textBoxRect.left == left && textBoxRect.top == top &&
               textBoxRect.right == right && textBoxRect.bottom == bottom);
    FUZZ_CHECK(OnlyInside(Pixels(), left, top, right, bottom));

    FillPaper();
    voDraw::BeginTextFace(face.c_str(), height, angle, 1, 0, 0);
    FUZZ_CHECK(voDraw::MeasureText(left, top, right, bottom, t) >= 0);
    voDraw::EndText();
    FUZZ_CHECK(textMeasureRect.left == left && textMeasureRect.top == top);
    FUZZ_CHECK(OnlyInside(Pixels(), 0, 0, 0, 0));

    // The fixed style fills its cell, so nothing lands above, below or left of the line.
    FillPaper();
    voDraw::PrintTextFormat(x, y, "%s", t);
    FUZZ_CHECK(OnlyInside(Pixels(), x, y, kWidth, y + kFixedCellHeight));
    return 0;
}
