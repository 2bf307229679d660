// Arbitrary bytes drawn as text by the device context: the first bytes choose the font, the
// position, the rectangle and the format, the rest is the text. Nothing is written outside
// the pixels, a rectangle's text stays inside the rectangle, and measuring draws nothing.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/dc.h"
#include "platform/font.h"

namespace
{

constexpr int kWidth = 96;
constexpr int kHeight = 64;
constexpr int kPitchPixels = kWidth + 8; // the 8 pixels past each row are a guard
constexpr int kGuardRows = 4;            // above and below
constexpr std::uint16_t kPaper = 0x1234;

std::vector<platform::Font*> fonts;

void DeleteFonts()
{
    for (platform::Font* font : fonts)
    {
        platform::DeleteFont(font);
    }
    fonts.clear();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    struct Face
    {
        int height;
        int escapement;
        int weight;
        std::uint8_t italic;
        std::uint8_t underline;
        std::uint8_t charSet;
        const char* name;
    };
    static constexpr Face kFaces[] = {
        {12, 0, 400, 0, 0, 128, ""},
        {-20, 0, 700, 1, 1, 128, "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E"},
        {16, 900, 400, 0, 0, 128, ""},
        {24, 450, 400, 1, 0, 0, "Courier"},
        {1, 0, 0, 0, 1, 0, ""},
        {70, 2700, 400, 0, 0, 128, "No Such Face"},
    };
    for (const Face& face : kFaces)
    {
        platform::LogFont description{};
        description.height = face.height;
        description.escapement = face.escapement;
        description.orientation = face.escapement;
        description.weight = face.weight;
        description.italic = face.italic;
        description.underline = face.underline;
        description.charSet = face.charSet;
        std::strncpy(description.faceName, face.name, sizeof description.faceName - 1);
        fonts.push_back(platform::CreateFont(description));
    }
    std::atexit(DeleteFonts);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input{data, size};
    platform::Font* font = fonts[fuzz::TakeByte(input) % fonts.size()];
    int x = fuzz::TakeInt16(input);
    int y = fuzz::TakeInt16(input);
    platform::DcRect rect{fuzz::TakeInt16(input), fuzz::TakeInt16(input), fuzz::TakeInt16(input),
                          fuzz::TakeInt16(input)};
    std::uint8_t choice = fuzz::TakeByte(input);
    unsigned format =
        (choice & 3) % 3 | (choice & 4 ? platform::kDtWordBreak : 0) | platform::kDtNoPrefix;
    bool opaque = (choice & 8) != 0;
    bool measure = (choice & 16) != 0;
    std::string_view text = fuzz::TakeRest(input);

    std::vector<std::uint16_t> memory(
        static_cast<std::size_t>(kPitchPixels) * (kHeight + 2 * kGuardRows), kPaper);
    platform::PixelBuffer pixels;
    pixels.pixels = memory.data() + kGuardRows * kPitchPixels;
    pixels.width = kWidth;
    pixels.height = kHeight;
    pixels.pitchBytes = kPitchPixels * 2;
    int owner = 0;
    platform::DeviceContext* dc = platform::TakeDc(&owner, pixels);
    FUZZ_CHECK(dc != nullptr);
    platform::SelectFont(dc, font);
    platform::SetTextColor(dc, 0x00FFFFFF);
    platform::SetBkColor(dc, 0x00800000);
    platform::SetBkMode(dc, opaque ? platform::BackgroundMode::Opaque
                                   : platform::BackgroundMode::Transparent);
    auto inside = [&](std::size_t index, const platform::DcRect& area)
    {
        int row = static_cast<int>(index / kPitchPixels) - kGuardRows;
        int column = static_cast<int>(index % kPitchPixels);
        return row >= std::max(0, area.top) && row < std::min(kHeight, area.bottom) &&
               column >= std::max(0, area.left) && column < std::min(kWidth, area.right);
    };

    if (measure)
    {
        platform::DcRect measured = rect;
        platform::DrawText(dc, text.data(), static_cast<int>(text.size()), measured,
                           format | platform::kDtCalcRect);
        FUZZ_CHECK(measured.left == rect.left && measured.top == rect.top);
        FUZZ_CHECK(
            std::all_of(memory.begin(), memory.end(), [](std::uint16_t p) { return p == kPaper; }));
    }
    else
    {
        platform::DcRect area = rect;
        platform::DrawText(dc, text.data(), static_cast<int>(text.size()), area, format);
        for (std::size_t i = 0; i < memory.size(); ++i)
        {
            FUZZ_CHECK(inside(i, rect) || memory[i] == kPaper);
        }
    }
    std::fill(memory.begin(), memory.end(), kPaper);
    platform::TextOut(dc, x, y, text.data(), static_cast<int>(text.size()));
    platform::DcRect whole{0, 0, kWidth, kHeight};
    for (std::size_t i = 0; i < memory.size(); ++i)
    {
        FUZZ_CHECK(inside(i, whole) || memory[i] == kPaper);
    }
    platform::ReleaseDc(dc);
    return 0;
}
