// Text through the device context: the system faces and the fallback font, cell heights,
// underline and bold, word-wrapped layout, cutting and bad bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dc.h"
#include "platform/font.h"
#include "tests/support/headless.h"

namespace
{

using platform::BackgroundMode;
using platform::DcRect;
using testing_support::Cp932;

constexpr std::uint16_t kGrey = 0x4208;
constexpr std::uint16_t kInk = 0xFFFF; // white text

const std::string kMincho = Cp932("標準明朝");
const std::string kGothic = Cp932("標準ゴシック");

platform::LogFont Description(const std::string& face, int height)
{
    platform::LogFont d{};
    d.height = height;
    d.weight = platform::kWeightNormal;
    d.charSet = platform::kShiftJisCharSet;
    std::strncpy(d.faceName, face.c_str(), sizeof d.faceName - 1);
    return d;
}

struct Canvas
{
    int width, height;
    std::vector<std::uint16_t> memory;
    platform::DeviceContext* dc = nullptr;
    platform::Font* font = nullptr;

    Canvas(int w, int h, const platform::LogFont& description)
        : width(w), height(h), memory(static_cast<std::size_t>(w * h), kGrey)
    {
        platform::PixelBuffer view{memory.data(), w, h, w * 2, platform::PixelLayout::Rgb565};
        dc = platform::TakeDc(this, view);
        font = platform::CreateFont(description);
        platform::SelectFont(dc, font);
        platform::SetTextColor(dc, 0xFFFFFF);
        platform::SetBkColor(dc, 0x800000);
    }
    ~Canvas()
    {
        platform::SelectFont(dc, nullptr);
        platform::DeleteFont(font);
        platform::ReleaseDc(dc);
    }
    // Pixels of a value inside a box.
    int CountIn(std::uint16_t value, int l, int t, int r, int b) const
    {
        int n = 0;
        for (int y = t; y < b; ++y)
        {
            auto row = memory.begin() + y * width;
            n += static_cast<int>(std::count(row + l, row + r, value));
        }
        return n;
    }
    int Count(std::uint16_t value) const
    {
        return CountIn(value, 0, 0, width, height);
    }
    void Out(int x, int y, const std::string& text)
    {
        platform::TextOut(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    }
};

TEST(DcFonts, SystemFacesAreTheIpaFonts)
{
    platform::Font* mincho = platform::CreateFont(Description(kMincho, 12));
    platform::Font* gothic = platform::CreateFont(Description(kGothic, 12));
    // The files are IPA Mincho and IPA Gothic, under whichever of their packaged names.
    std::string m = platform::FontFile(mincho);
    std::string g = platform::FontFile(gothic);
    EXPECT_TRUE(m.find("ipam.ttf") != std::string::npos || m.find("mincho") != std::string::npos)
        << m;
    EXPECT_TRUE(g.find("ipag.ttf") != std::string::npos || g.find("gothic") != std::string::npos)
        << g;
    EXPECT_NE(m, g);
    platform::DeleteFont(mincho);
    platform::DeleteFont(gothic);
}

TEST(DcFonts, UnknownFacesFallBackToThePackagedIpaFileWithoutFontconfigFonts)
{
    // A font configuration that knows no fonts leaves only the packaged paths.
    testing_support::TempDir folder;
    folder.Write("fonts.conf", "<?xml version=\"1.0\"?><fontconfig></fontconfig>");
    setenv("FONTCONFIG_FILE", folder.File("fonts.conf").c_str(), 1);
    Canvas c(200, 30, Description("No Such Face At All", -16));
    EXPECT_NE(platform::FontFile(c.font).find("ipa"), std::string::npos)
        << platform::FontFile(c.font);
    c.Out(0, 0, Cp932("日本語 text"));
    EXPECT_GT(c.Count(kInk), 40);
}

TEST(DcFonts, HeightSignPicksCellOrCharacterHeight)
{
    Canvas cell(10, 10, Description(kGothic, 20));
    Canvas character(10, 10, Description(kGothic, -20));
    platform::TextMetrics a = platform::GetTextMetrics(cell.dc);
    platform::TextMetrics b = platform::GetTextMetrics(character.dc);
    EXPECT_EQ(a.height, 20);
    EXPECT_EQ(a.ascent + a.descent, 20);
    // A character height of 20 makes a taller cell: the cell has room above and below.
    EXPECT_GT(b.height, 20);
}

TEST(DcText, UnderlineAndBoldChangeThePixels)
{
    platform::LogFont plain = Description(kGothic, 16);
    platform::LogFont marked = plain;
    marked.underline = 1;
    Canvas a(120, 20, plain);
    Canvas b(120, 20, marked);
    platform::SetBkMode(a.dc, BackgroundMode::Transparent);
    platform::SetBkMode(b.dc, BackgroundMode::Transparent);
    a.Out(0, 0, "xxxx");
    b.Out(0, 0, "xxxx");
    int width = 0, height = 0;
    platform::GetTextExtent(b.dc, "xxxx", 4, width, height);
    // One row under the baseline is solid ink across the text in b only.
    int ascent = platform::GetTextMetrics(b.dc).ascent;
    bool solidRow = false;
    for (int y = ascent; y < height; ++y)
    {
        solidRow = solidRow || b.CountIn(kInk, 0, y, width, y + 1) == width;
        EXPECT_LT(a.CountIn(kInk, 0, y, width, y + 1), width);
    }
    EXPECT_TRUE(solidRow);

    platform::LogFont bold = plain;
    bold.weight = platform::kWeightBold;
    Canvas d(120, 20, bold);
    platform::SetBkMode(d.dc, BackgroundMode::Transparent);
    d.Out(0, 0, "xxxx");
    EXPECT_GT(d.Count(kInk), a.Count(kInk));
}

TEST(DcText, BadBytesDrawAReplacementAndNothingBreaks)
{
    Canvas c(200, 20, Description(kGothic, 12));
    Canvas d(200, 20, Description(kGothic, 12));
    // A lone lead byte at the end draws the replacement mark after the A.
    c.Out(0, 0, std::string("A\x82", 2));
    d.Out(0, 0, "A");
    EXPECT_GT(c.Count(kInk), d.Count(kInk));
    // A lead byte with a bad trail, undefined bytes, no text, a bad length, no context.
    c.Out(0, 0, std::string("\x81\x00\xFF\xA0\xFD", 5));
    platform::TextOut(c.dc, 0, 0, nullptr, 5);
    platform::TextOut(c.dc, 0, 0, "abc", -1);
    platform::TextOut(nullptr, 0, 0, "abc", 3);
}

TEST(DcDrawText, WordsWrapAtSpacesAndMeasureTheirHeight)
{
    Canvas c(200, 100, Description(kGothic, 12));
    int word = 0, height = 0;
    platform::GetTextExtent(c.dc, "word", 4, word, height);
    int space = 0;
    platform::GetTextExtent(c.dc, " ", 1, space, height);
    // Room for two words and a space per line, not three.
    DcRect rect{5, 7, 5 + 2 * word + space + space / 2, 500};
    const char* text = "word word word word word";
    int lines =
        platform::DrawText(c.dc, text, -1, rect, platform::kDtCalcRect | platform::kDtWordBreak);
    EXPECT_EQ(lines, 3 * 12);
    EXPECT_EQ(rect.top, 7);
    EXPECT_EQ(rect.bottom, 7 + 3 * 12);
    EXPECT_EQ(rect.right, 5 + 2 * word + space); // narrowed to the widest line
    EXPECT_EQ(c.Count(kInk), 0);                 // measuring draws nothing
    // Without the word break the line ends alone break it.
    DcRect one{0, 0, 10, 10};
    EXPECT_EQ(platform::DrawText(c.dc, "a b c\nd\r\ne", -1, one, platform::kDtCalcRect), 36);
    // A word longer than the line is not broken; the measure widens to it.
    DcRect narrow{0, 0, 20, 0};
    EXPECT_EQ(platform::DrawText(c.dc, "unbreakable", -1, narrow,
                                 platform::kDtCalcRect | platform::kDtWordBreak),
              12);
    EXPECT_GT(narrow.right, 20);
}

TEST(DcDrawText, JapaneseBreaksBetweenCharacters)
{
    Canvas c(200, 100, Description(kGothic, 12));
    std::string text = Cp932("日本語の文章を折り返す");
    int one = 0, height = 0;
    platform::GetTextExtent(c.dc, text.c_str(), 2, one, height);
    DcRect rect{0, 0, 4 * one, 0};
    int result = platform::DrawText(c.dc, text.c_str(), -1, rect,
                                    platform::kDtCalcRect | platform::kDtWordBreak);
    EXPECT_EQ(result, 3 * 12); // 11 characters, 4 to a line
    EXPECT_EQ(rect.right, 4 * one);
}

TEST(DcDrawText, ARectangleNarrowerThanItsTextCutsItAtItsRightEdge)
{
    Canvas c(200, 20, Description(kGothic, 12));
    DcRect cut{10, 0, 20, 12};
    platform::DrawText(c.dc, "Wide text", -1, cut, 0);
    EXPECT_EQ(c.CountIn(kGrey, 10, 0, 20, 12), 0);
    EXPECT_EQ(c.Count(kGrey), 200 * 20 - 10 * 12);
}

} // namespace
