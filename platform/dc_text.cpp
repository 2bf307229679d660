// Text through the device context: TextOutA and DrawTextA over the fonts of platform/font.cpp.
// CP932 arrives here and is turned into characters once, at this edge.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/dc_internal.h"
#include "platform/font_internal.h"

namespace platform
{
namespace
{

using fonts::FontGlyph;
using fonts::FontLayout;

// Text positions are formed wide and held within the int range only where they meet the
// pixels: a run or box placed near the int limits must not wrap round onto the picture.
int ClampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

// CP932 bytes as characters; a bad sequence is one U+FFFD.
std::u32string Decode(const char* text, std::size_t length)
{
    std::string utf8 = Cp932ToUtf8(std::string_view(text, length));
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size())
    {
        auto c = static_cast<unsigned char>(utf8[i]);
        std::size_t size = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
        if (i + size > utf8.size())
        {
            out.push_back(U'\uFFFD');
            break;
        }
        char32_t code = size == 1   ? c
                        : size == 2 ? (c & 0x1F)
                        : size == 3 ? (c & 0x0F)
                                    : (c & 0x07);
        for (std::size_t k = 1; k < size; ++k)
        {
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        out.push_back(code);
        i += size;
    }
    return out;
}

int RunWidth(Font* font, std::u32string_view run)
{
    int width = 0;
    for (char32_t c : run)
    {
        width += FontGlyph(font, c).advance;
    }
    return width;
}

// Fills a box given in the text's own frame (u along the line, v down from the cell top),
// turned with the font onto the screen at (x, y).
void FillTextBox(const raster::Target& target, const fonts::Layout& layout, std::int64_t x,
                 std::int64_t y, int u0, int v0, int u1, int v1, std::uint16_t color)
{
    raster::Paint paint;
    paint.color = color;
    if (!layout.rotated)
    {
        raster::FillBox(target, ClampToInt(x + u0), ClampToInt(y + v0), ClampToInt(x + u1),
                        ClampToInt(y + v1), paint);
        return;
    }
    double c = layout.cosine;
    double s = layout.sine;
    auto at = [&](int u, int v)
    {
        return raster::PointF{static_cast<double>(x) + u * c + v * s,
                              static_cast<double>(y) - u * s + v * c};
    };
    raster::PointF corners[4] = {at(u0, v0), at(u1, v0), at(u1, v1), at(u0, v1)};
    raster::FillPolygon(target, corners, paint);
}

void DrawRun(const DeviceContext& dc, const raster::Target& target, std::int64_t x, std::int64_t y,
             std::u32string_view run)
{
    const fonts::Layout& layout = FontLayout(dc.font);
    int width = RunWidth(dc.font, run);
    int height = layout.metrics.height;
    if (dc.backgroundMode == BackgroundMode::Opaque && width > 0)
    {
        FillTextBox(target, layout, x, y, 0, 0, width, height, Native(dc, dc.backgroundColor));
    }
    std::uint16_t ink = Native(dc, dc.textColor);
    double c = layout.cosine;
    double s = layout.sine;
    double baseX = static_cast<double>(x) + layout.metrics.ascent * s;
    double baseY = static_cast<double>(y) + layout.metrics.ascent * c;
    std::int64_t pen = 0;
    for (char32_t character : run)
    {
        const fonts::Glyph& glyph = FontGlyph(dc.font, character);
        std::int64_t originX = std::llround(baseX + static_cast<double>(pen) * c) + glyph.left;
        std::int64_t originY = std::llround(baseY - static_cast<double>(pen) * s) + glyph.top;
        pen += glyph.advance;
        // The glyph's rows and columns inside the target; none when it lies outside.
        auto inside = [](std::int64_t value, int size)
        { return static_cast<int>(std::clamp<std::int64_t>(value, 0, size)); };
        int top = inside(target.top - originY, glyph.rows);
        int bottom = inside(target.bottom - originY, glyph.rows);
        int left = inside(target.left - originX, glyph.width);
        int right = inside(target.right - originX, glyph.width);
        for (int row = top; row < bottom; ++row)
        {
            const std::uint8_t* bits = glyph.coverage.data() + row * glyph.width;
            std::uint16_t* out = target.pixels.Row(static_cast<int>(originY + row)) + originX;
            for (int col = left; col < right; ++col)
            {
                if (bits[col] != 0)
                {
                    out[col] = ink;
                }
            }
        }
    }
    if (layout.underline && width > 0)
    {
        int v = layout.metrics.ascent + layout.underlineTop;
        FillTextBox(target, layout, x, y, 0, v, width, v + layout.underlineThickness, ink);
    }
}

struct Line
{
    std::u32string text;
    int width = 0;
};

bool IsSpace(char32_t c)
{
    return c == U' ';
}

// Japanese text may break between any two of its characters; Latin text only at spaces.
bool BreaksAround(char32_t c)
{
    return c >= 0x80;
}

// Lays a paragraph (no line ends) into lines no wider than width where breaks allow.
void WrapParagraph(Font* font, std::u32string_view text, int width, std::vector<Line>& lines)
{
    Line line;
    std::u32string spaces; // spaces waiting between the line so far and the next word
    std::size_t i = 0;
    while (i < text.size())
    {
        if (IsSpace(text[i]))
        {
            spaces.push_back(text[i]);
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        if (!BreaksAround(text[i]))
        {
            while (end < text.size() && !IsSpace(text[end]) && !BreaksAround(text[end]))
            {
                ++end;
            }
        }
        std::u32string_view word = text.substr(i, end - i);
        int wordWidth = RunWidth(font, word);
        int spaceWidth = RunWidth(font, spaces);
        if (!line.text.empty() && line.width + spaceWidth + wordWidth > width)
        {
            // The spaces at a break belong to neither line.
            lines.push_back(std::move(line));
            line = Line{};
        }
        else
        {
            line.text += spaces;
            line.width += spaceWidth;
        }
        spaces.clear();
        line.text += word;
        line.width += wordWidth;
        i = end;
    }
    line.text += spaces;
    line.width += RunWidth(font, spaces);
    lines.push_back(std::move(line));
}

std::vector<Line> LayLines(Font* font, const std::u32string& text, int width, bool wordBreak)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start <= text.size())
    {
        std::size_t end = start;
        while (end < text.size() && text[end] != U'\r' && text[end] != U'\n')
        {
            ++end;
        }
        std::u32string_view paragraph(text.data() + start, end - start);
        if (end == text.size() && paragraph.empty() && !lines.empty())
        {
            break; // a final line end opens no further line
        }
        if (wordBreak)
        {
            WrapParagraph(font, paragraph, width, lines);
        }
        else
        {
            lines.push_back(Line{std::u32string(paragraph), RunWidth(font, paragraph)});
        }
        if (end == text.size())
        {
            break;
        }
        // "\r\n" is one line end.
        start =
            end + ((text[end] == U'\r' && end + 1 < text.size() && text[end + 1] == U'\n') ? 2 : 1);
    }
    return lines;
}

} // namespace

Font* SelectFont(DeviceContext* dc, Font* font)
{
    return ExchangeSetting(dc, &DeviceContext::font, font, static_cast<Font*>(nullptr));
}

ColorRef SetTextColor(DeviceContext* dc, ColorRef color)
{
    return ExchangeSetting(dc, &DeviceContext::textColor, color, ColorRef{0});
}

void TextOut(DeviceContext* dc, int x, int y, const char* text, int length)
{
    if (dc == nullptr || text == nullptr || length <= 0)
    {
        return;
    }
    DrawRun(*dc, raster::WholeTarget(dc->pixels), x, y,
            Decode(text, static_cast<std::size_t>(length)));
}

int DrawText(DeviceContext* dc, const char* text, int length, DcRect& rect, unsigned format)
{
    if (dc == nullptr || text == nullptr)
    {
        return 0;
    }
    std::size_t size = length < 0 ? std::strlen(text) : static_cast<std::size_t>(length);
    if (size == 0)
    {
        if ((format & kDtCalcRect) != 0)
        {
            rect.right = rect.left;
            rect.bottom = rect.top;
        }
        return 0;
    }
    std::u32string characters = Decode(text, size);
    int lineHeight = FontLayout(dc->font).metrics.height;
    std::int64_t boxWidth = std::int64_t{rect.right} - rect.left;
    std::vector<Line> lines =
        LayLines(dc->font, characters, ClampToInt(boxWidth), (format & kDtWordBreak) != 0);
    int height = ClampToInt(static_cast<std::int64_t>(lines.size()) * lineHeight);
    if ((format & kDtCalcRect) != 0)
    {
        int widest = 0;
        for (const Line& line : lines)
        {
            widest = std::max(widest, line.width);
        }
        rect.right = ClampToInt(std::int64_t{rect.left} + widest);
        rect.bottom = ClampToInt(std::int64_t{rect.top} + height);
        return height;
    }
    raster::Target target = raster::CutTarget(raster::WholeTarget(dc->pixels), rect.left, rect.top,
                                              rect.right, rect.bottom);
    std::int64_t y = rect.top;
    for (const Line& line : lines)
    {
        std::int64_t x = rect.left;
        if ((format & kDtRight) != 0)
        {
            x = std::int64_t{rect.right} - line.width;
        }
        else if ((format & kDtCenter) != 0)
        {
            x = rect.left + (boxWidth - line.width) / 2;
        }
        DrawRun(*dc, target, x, y, line.text);
        y += lineHeight;
    }
    return height;
}

} // namespace platform
