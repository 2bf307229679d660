// Text runs on the back buffer: the font description block, the begin and end calls, text
// output and measuring, the fixed-style printers and the frame-rate line.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "draw/draw.h"
#include "system/system.h"

platform::LogFont* fontDescription = nullptr;
Rect textBoxRect = {0, 0, 0, 0};
Rect textMeasureRect = {0, 0, 0, 0};
int fpsFrameCount = 0;
float fpsRate = 0.0f;
float fpsHighest = 0.0f;
float fpsLowest = 999.9f;
char fpsLine[256] = {};

namespace
{

struct TextRun
{
    bool open = false;                          // between a begin call and voDraw::EndText
    platform::Surface* surface = nullptr;       // the back buffer the context was taken on
    platform::DeviceContext* context = nullptr; // null when the back buffer was held elsewhere
    platform::Font* font = nullptr;
    platform::Font* previousFont = nullptr;
};

TextRun run;

// The system's face names, as CP932 bytes.
constexpr const char* kMinchoFace = "\x95\x57\x8f\x80\x96\xbe\x92\xa9"; // 標準明朝
constexpr const char* kGothicFace =
    "\x95\x57\x8f\x80\x83\x53\x83\x56\x83\x62\x83\x4e"; // 標準ゴシック

constexpr std::uint32_t kPrintInk = 0xFFFFFF;   // white
constexpr std::uint32_t kPrintPaper = 0x800000; // navy: red 0, green 0, blue 128
constexpr int kPrintHeight = 12;
constexpr std::uint32_t kFpsWindowMs = 2000;
constexpr int kFpsCountCap = 999;

std::int32_t WeightOf(int weightKind)
{
    switch (weightKind)
    {
    case 0:
        return platform::kWeightNormal;
    case 1:
        return platform::kWeightBold;
    default:
        return 0; // the font mapper's own weight
    }
}

std::int32_t EscapementOf(int angle)
{
    // Angles so large that ten times them leaves the field's range turn the same way as
    // their remainder of a full turn.
    if (angle > std::numeric_limits<std::int32_t>::max() / 10 ||
        angle < std::numeric_limits<std::int32_t>::min() / 10)
    {
        angle %= 360;
    }
    return angle * 10;
}

// Steps 2 and 3 of both begin calls: the common fields, then font, context and selection.
void OpenRun(int height, int angle, int weightKind, std::uint8_t italic, std::uint8_t underline)
{
    platform::LogFont& block = *fontDescription;
    block.weight = WeightOf(weightKind);
    block.escapement = EscapementOf(angle);
    block.width = 0;
    block.height = height;
    block.italic = italic;
    block.underline = underline;
    // A begin inside an open run leaves that run as it is: the back buffer's one context
    // is already out, and ending the run stays with its own voDraw::EndText.
    if (run.open)
    {
        return;
    }
    run.open = true;
    run.font = platform::CreateFont(block);
    run.surface = BackBuffer();
    run.context = run.surface != nullptr ? platform::GetSurfaceDc(run.surface) : nullptr;
    if (run.context != nullptr)
    {
        run.previousFont = platform::SelectFont(run.context, run.font);
    }
}

bool Printable()
{
    return fontDescription != nullptr && !run.open;
}

} // namespace

namespace voDraw
{

void InitText()
{
    // A second screen set-up reuses the block, zero-filled again like the first.
    if (fontDescription == nullptr)
    {
        fontDescription = new platform::LogFont{};
    }
    *fontDescription = platform::LogFont{};
}

void ReleaseText()
{
    if (run.open)
    {
        EndText();
    }
    delete fontDescription;
    fontDescription = nullptr;
}

void BeginText(int faceKind, int height, int angle, int weightKind, std::uint8_t italic,
               std::uint8_t underline)
{
    // Without the block (before start-up or after shut-down) there is nothing to build on.
    if (fontDescription == nullptr)
    {
        return;
    }
    if (faceKind == FACE_MINCHO)
    {
        CopyText(fontDescription->faceName, kMinchoFace, sizeof fontDescription->faceName);
    }
    else if (faceKind == FACE_GOTHIC)
    {
        CopyText(fontDescription->faceName, kGothicFace, sizeof fontDescription->faceName);
    }
    fontDescription->charSet = platform::kShiftJisCharSet;
    OpenRun(height, angle, weightKind, italic, underline);
}

void BeginTextFace(const char* faceName, int height, int angle, int weightKind, std::uint8_t italic,
                   std::uint8_t underline)
{
    if (fontDescription == nullptr)
    {
        return;
    }
    CopyText(fontDescription->faceName, faceName != nullptr ? faceName : "",
             sizeof fontDescription->faceName);
    // A Latin face name is letters, digits, spaces and hyphens; anything else in it, a
    // Japanese character, an underscore or a full stop, asks for the Shift-JIS set.
    fontDescription->charSet = platform::kAnsiCharSet;
    for (const char* c = fontDescription->faceName; *c != '\0'; ++c)
    {
        auto byte = static_cast<unsigned char>(*c);
        bool latin = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
                     (byte >= 'a' && byte <= 'z') || byte == ' ' || byte == '-';
        if (!latin)
        {
            fontDescription->charSet = platform::kShiftJisCharSet;
            break;
        }
    }
    OpenRun(height, angle, weightKind, italic, underline);
}

void EndText()
{
    if (!run.open)
    {
        return;
    }
    if (run.context != nullptr)
    {
        platform::SelectFont(run.context, run.previousFont);
        platform::ReleaseSurfaceDc(run.surface, run.context);
    }
    platform::DeleteFont(run.font);
    run = TextRun{};
}

void SetTextColors(std::uint32_t textColor, std::uint32_t backColor, int transparent)
{
    if (run.context == nullptr)
    {
        return;
    }
    platform::SetTextColor(run.context, textColor);
    platform::SetBkColor(run.context, backColor);
    if (transparent != 0)
    {
        platform::SetBkMode(run.context, platform::BackgroundMode::Transparent);
    }
}

void PutText(int x, int y, const char* text)
{
    if (run.context == nullptr || text == nullptr)
    {
        return;
    }
    std::size_t length = std::strlen(text);
    platform::TextOut(
        run.context, x, y, text,
        static_cast<int>(std::min<std::size_t>(length, std::numeric_limits<int>::max())));
}

void DrawTextBox(int left, int top, int right, int bottom, const char* text, int alignment)
{
    textBoxRect = {left, top, right, bottom};
    if (run.context == nullptr || text == nullptr || alignment < 0 || alignment > 2)
    {
        return;
    }
    platform::DcRect rect{left, top, right, bottom};
    unsigned format = platform::kDtWordBreak | platform::kDtNoPrefix |
                      (alignment == 1   ? platform::kDtCenter
                       : alignment == 2 ? platform::kDtRight
                                        : platform::kDtLeft);
    platform::DrawText(run.context, text, -1, rect, format);
}

int MeasureText(int left, int top, int right, int bottom, const char* text)
{
    textMeasureRect = {left, top, right, bottom};
    if (run.context == nullptr || text == nullptr)
    {
        return 0;
    }
    platform::DcRect rect{left, top, right, bottom};
    int height =
        platform::DrawText(run.context, text, -1, rect,
                           platform::kDtCalcRect | platform::kDtWordBreak | platform::kDtNoPrefix);
    textMeasureRect = {rect.left, rect.top, rect.right, rect.bottom};
    return height;
}

void PrintText(int x, int y, const char* text)
{
    if (!Printable())
    {
        return;
    }
    BeginText(FACE_GOTHIC, kPrintHeight, 0, 0, 0, 0);
    SetTextColors(kPrintInk, kPrintPaper, 0);
    PutText(x, y, text);
    EndText();
}

void PrintTextFormat(int x, int y, const char* format, ...)
{
    if (format == nullptr)
    {
        return;
    }
    // Cut at a character boundary: a long text must not run past the 256-byte line nor end
    // in half a Japanese character.
    char line[256];
    va_list arguments;
    va_start(arguments, format);
    FormatText(line, sizeof line, format, arguments);
    va_end(arguments);
    PrintText(x, y, line);
}

void PrintFloats(int x, int y, double first, double second)
{
    PrintTextFormat(x, y, "%f %f", first, second);
}

void DrawFps()
{
    std::uint32_t now = platform::NowMs();
    if (now >= fpsSampleTime)
    {
        fpsRate = static_cast<float>(fpsFrameCount / 2.0);
        if (fpsRate > fpsHighest)
        {
            fpsHighest = fpsRate;
        }
        if (fpsRate > 0.0f && fpsRate < fpsLowest)
        {
            fpsLowest = fpsRate;
        }
        fpsSampleTime = platform::NowMs() + kFpsWindowMs;
        fpsFrameCount = 0;
    }
    if (fpsFrameCount < kFpsCountCap)
    {
        fpsFrameCount += 1;
    }
    std::snprintf(fpsLine, sizeof fpsLine, "%3.1f fps ( max %3.1f / min %3.1f )", fpsRate,
                  fpsHighest, fpsLowest);
    PrintText(0, 0, fpsLine);
}

} // namespace voDraw
