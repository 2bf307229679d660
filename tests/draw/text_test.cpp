// Text runs on the back buffer: the description block's rules, the fixed-style printers,
// wrapped boxes and measuring, the frame-rate line on the virtual clock, bad input.
#include <climits>
#include <cstring>
#include <vector>

#include "tests/draw/draw_support.h"

namespace
{

using draw_testing::Picture;
using draw_testing::ReadBackBuffer;
using testing_support::Cp932;

constexpr std::uint16_t kBlack = 0x0000;
constexpr std::uint16_t kWhite = 0xFFFF;
constexpr std::uint16_t kNavy = 0x0010; // red 0, green 0, blue 128 in 565

std::string Face()
{
    return std::string(fontDescription->faceName);
}

void StartScreen(int width = 320, int height = 240)
{
    ASSERT_EQ(draw_testing::StartScreen({}, width, height), 1);
}

TEST(TextFontBlock, CharacterSetsFollowTheFaceNameAndLongNamesAreCut)
{
    StartScreen();
    ASSERT_NE(fontDescription, nullptr);
    // ASCII letters, digits, spaces and hyphens only: the ANSI set; anything else Shift-JIS.
    const std::pair<std::string, int> cases[] = {
        {"Courier New", 0}, {"Arial-Black 2", 0},          {"Courier_New", 128}, {"", 0},
        {"Times.New", 128}, {Cp932("ＭＳ ゴシック"), 128},
    };
    for (const auto& [name, charSet] : cases)
    {
        voDraw::BeginTextFace(name.c_str(), 12, 0, 0, 0, 0);
        voDraw::EndText();
        EXPECT_EQ(fontDescription->charSet, charSet) << name;
        EXPECT_EQ(Face(), name);
    }
    std::string longName = Cp932("あいうえおかきくけこさしすせそたちつてと");
    voDraw::BeginTextFace(longName.c_str(), 12, 0, 0, 0, 0);
    voDraw::EndText();
    EXPECT_EQ(Face(), longName.substr(0, 30)); // 15 whole characters in 31 bytes
    voDraw::BeginTextFace(nullptr, 12, 0, 0, 0, 0);
    voDraw::EndText();
    EXPECT_EQ(Face(), "");
    // A second screen set-up starts from a zero-filled block again.
    voDraw::BeginTextFace("Courier", -20, 45, 1, 1, 1);
    voDraw::EndText();
    ASSERT_EQ(voDraw::Screen(320, 240, 1), 1);
    const platform::LogFont zero{};
    EXPECT_EQ(std::memcmp(fontDescription, &zero, sizeof zero), 0);
}

TEST(TextPrint, FixedStyleIsWhiteOnNavyInATwelvePixelCell)
{
    StartScreen();
    voDraw::PrintText(30, 40, Cp932("テスト Test").c_str());
    Picture p = ReadBackBuffer();
    Rect box = p.BoundsOfOther(kBlack);
    EXPECT_EQ(box.left, 30);
    EXPECT_EQ(box.top, 40);
    EXPECT_EQ(box.bottom, 52);
    int area = (box.right - box.left) * 12;
    int ink = p.CountIn(kWhite, box.left, box.top, box.right, box.bottom);
    int paper = p.CountIn(kNavy, box.left, box.top, box.right, box.bottom);
    EXPECT_GT(ink, 40);
    EXPECT_EQ(ink + paper, area); // the whole cell is painted, nothing outside it
}

TEST(TextRun, TransparentRunsOnlyInkAndNinetyDegreesRisesUpwards)
{
    StartScreen();
    voDraw::BeginText(FACE_MINCHO, 16, 0, 0, 0, 0);
    voDraw::SetTextColors(0x0000FF, 0x00FF00, 1);
    voDraw::PutText(5, 5, Cp932("明朝").c_str());
    voDraw::EndText();
    Picture p = ReadBackBuffer();
    EXPECT_GT(p.Count(0xF800), 20); // red ink
    EXPECT_EQ(p.Count(0xF800) + p.Count(kBlack), p.width * p.height);
    // A zero flag keeps the new run's opaque background.
    voDraw::Clear();
    voDraw::BeginText(FACE_MINCHO, 16, 0, 0, 0, 0);
    voDraw::SetTextColors(0x0000FF, 0x00FF00, 0);
    voDraw::PutText(5, 100, Cp932("明朝").c_str());
    voDraw::EndText();
    EXPECT_GT(ReadBackBuffer().CountIn(0x07E0, 5, 100, 40, 116), 100);
    voDraw::Clear();
    voDraw::BeginText(FACE_GOTHIC, 16, 90, 0, 0, 0);
    voDraw::SetTextColors(0xFFFFFF, 0x800000, 0);
    voDraw::PutText(100, 200, "Upwards");
    voDraw::EndText();
    Rect box = ReadBackBuffer().BoundsOfOther(kBlack);
    EXPECT_EQ(box.left, 100);
    EXPECT_EQ(box.right, 116);
    EXPECT_EQ(box.bottom, 200);
    EXPECT_LT(box.top, 200 - 40); // seven letters high
}

TEST(TextBox, AlignmentsAndTheStoredRectangle)
{
    StartScreen();
    // Left, centre and right in boxes from x = 10 to 210; 3 is no alignment and draws nothing.
    Rect drawn[4];
    for (int alignment = 0; alignment < 4; ++alignment)
    {
        voDraw::Clear();
        voDraw::BeginText(FACE_GOTHIC, 12, 0, 0, 0, 0);
        voDraw::SetTextColors(0xFFFFFF, 0x800000, 0);
        voDraw::DrawTextBox(10, 10 + 30 * alignment, 210, 30 + 30 * alignment, "Box", alignment);
        voDraw::EndText();
        drawn[alignment] = ReadBackBuffer().BoundsOfOther(kBlack);
    }
    EXPECT_EQ(textBoxRect.top, 100);
    EXPECT_EQ(textBoxRect.right, 210);
    EXPECT_EQ(drawn[0].left, 10);
    EXPECT_EQ(drawn[2].right, 210);
    EXPECT_EQ(drawn[2].right - drawn[2].left, drawn[0].right - drawn[0].left);
    EXPECT_NEAR((drawn[1].left - 10) - (210 - drawn[1].right), 0, 1);
    EXPECT_EQ(drawn[3].right, 0);
    // A box narrower than its text cuts the text at its right edge.
    voDraw::Clear();
    voDraw::BeginText(FACE_GOTHIC, 12, 0, 0, 0, 0);
    voDraw::SetTextColors(0xFFFFFF, 0x800000, 0);
    voDraw::DrawTextBox(10, 0, 20, 12, "Wide text", 0);
    voDraw::EndText();
    Picture cut = ReadBackBuffer();
    EXPECT_EQ(cut.CountIn(kBlack, 10, 0, 20, 12), 0);
    EXPECT_EQ(cut.Count(kBlack), 320 * 240 - 10 * 12);
}

TEST(TextMeasure, WordsWrapAtSpacesAndJapaneseBetweenCharacters)
{
    StartScreen();
    voDraw::BeginText(FACE_GOTHIC, 12, 0, 0, 0, 0);
    // A text's width: the measure rectangle narrows to it.
    auto width = [](const std::string& text)
    {
        voDraw::MeasureText(0, 0, 300, 300, text.c_str());
        return textMeasureRect.right;
    };
    int word = width("word");
    int space = width("word word") - 2 * word;
    // Room for two words and a space on a line, not three.
    int right = 5 + 2 * word + space + space / 2;
    EXPECT_EQ(voDraw::MeasureText(5, 7, right, 500, "word word word word word"), 3 * 12);
    EXPECT_EQ(textMeasureRect.top, 7);
    EXPECT_EQ(textMeasureRect.bottom, 7 + 3 * 12);
    EXPECT_EQ(textMeasureRect.right, 5 + 2 * word + space); // the widest line
    // A word longer than the line is not broken; the measure widens to it.
    EXPECT_EQ(voDraw::MeasureText(0, 0, 20, 0, "unbreakable"), 12);
    EXPECT_GT(textMeasureRect.right, 20);
    EXPECT_EQ(voDraw::MeasureText(0, 0, 300, 0, "a b c\nd\r\ne"), 3 * 12);
    // Japanese breaks between characters: 11 characters, 4 to a line.
    int one = width(Cp932("日"));
    EXPECT_EQ(voDraw::MeasureText(0, 0, 4 * one, 0, Cp932("日本語の文章を折り返す").c_str()),
              3 * 12);
    EXPECT_EQ(textMeasureRect.right, 4 * one);
    voDraw::EndText();
    EXPECT_EQ(ReadBackBuffer().Count(kBlack), 320 * 240); // measuring draws nothing
    // Outside a run nothing is measured; the rectangle is still kept.
    EXPECT_EQ(voDraw::MeasureText(1, 2, 3, 4, "x"), 0);
    EXPECT_EQ(textMeasureRect.right, 3);
}

TEST(TextBox, PositionsAndWidthsNearTheIntLimitsAreFormedWide)
{
    StartScreen();
    // The widest box, centred: its middle is half a pixel left of 0, as for (-1000, 999).
    auto centred = [](int left, int right)
    {
        voDraw::Clear();
        voDraw::BeginText(FACE_GOTHIC, 12, 0, 0, 0, 0);
        voDraw::SetTextColors(0xFFFFFF, 0x800000, 0);
        voDraw::DrawTextBox(left, 20, right, 40, "Centred", 1);
        voDraw::EndText();
        return ReadBackBuffer().pixels;
    };
    std::vector<std::uint16_t> wide = centred(INT_MIN, INT_MAX);
    EXPECT_EQ(wide, centred(-1000, 999));
    EXPECT_NE(wide, centred(-1002, 999));
    // Runs and boxes out at the limits draw nothing, and a measure stops at INT_MAX.
    voDraw::Clear();
    for (int at : {INT_MIN, INT_MAX - 1})
    {
        voDraw::PrintText(at, at, "far away");
        voDraw::PrintText(at, 0, "far away");
        voDraw::PrintText(0, at, "far away");
    }
    voDraw::BeginText(FACE_GOTHIC, 12, 0, 0, 0, 0);
    voDraw::DrawTextBox(INT_MAX - 4, INT_MAX - 4, INT_MAX, INT_MAX, "a b c d", 2);
    voDraw::DrawTextBox(INT_MIN, INT_MIN, INT_MIN + 4, INT_MIN + 4, "a b c d", 0);
    EXPECT_EQ(voDraw::MeasureText(INT_MAX - 4, INT_MAX - 4, INT_MAX, INT_MAX, "a b c d"), 4 * 12);
    EXPECT_EQ(textMeasureRect.right, INT_MAX);
    EXPECT_EQ(textMeasureRect.bottom, INT_MAX);
    voDraw::EndText();
    EXPECT_EQ(ReadBackBuffer().Count(kBlack), 320 * 240);
}

TEST(TextRun, UnknownFacesFallBackToThePackagedIpaFontWithoutFontconfigFonts)
{
    // A font configuration that knows no fonts leaves only the packaged paths.
    testing_support::TempDir folder;
    folder.Write("fonts.conf", "<?xml version=\"1.0\"?><fontconfig></fontconfig>");
    setenv("FONTCONFIG_FILE", folder.File("fonts.conf").c_str(), 1);
    StartScreen();
    voDraw::BeginTextFace("No Such Face At All", -16, 0, 0, 0, 0);
    voDraw::SetTextColors(0xFFFFFF, 0, 1);
    voDraw::PutText(0, 0, Cp932("日本語 text").c_str());
    voDraw::EndText();
    EXPECT_GT(ReadBackBuffer().Count(kWhite), 40);
}

TEST(TextPrint, FormattedTextIsCutAtACharacterBoundary)
{
    StartScreen(640, 40);
    std::string japanese;
    for (int i = 0; i < 150; ++i)
    {
        japanese += Cp932("漢");
    }
    // "ab" and then 300 bytes: the line keeps "ab" and 126 whole characters (254 bytes).
    voDraw::PrintTextFormat(0, 0, "%s%s", "ab", japanese.c_str());
    Picture formatted = ReadBackBuffer();
    voDraw::Clear();
    voDraw::PrintText(0, 0, ("ab" + japanese.substr(0, 252)).c_str());
    Picture direct = ReadBackBuffer();
    EXPECT_EQ(formatted.pixels, direct.pixels);
}

TEST(TextRun, BadInputOrNoBackBufferDrawsNothing)
{
    draw_testing::StartWindow();
    voDraw::BeginText(FACE_GOTHIC, 12, 0, 0, 0, 0); // no block, no screen yet
    voDraw::PutText(0, 0, "x");
    voDraw::EndText();
    voDraw::PrintText(0, 0, "x");
    voDraw::DrawFps();
    ASSERT_EQ(voDraw::Screen(320, 240, 1), 1);
    voDraw::PrintText(0, 0, nullptr);
    voDraw::PrintTextFormat(0, 0, nullptr);
    voDraw::EndText();
    voDraw::BeginText(FACE_GOTHIC, 12, 0, 0, 0, 0);
    voDraw::PutText(0, 0, nullptr);
    voDraw::DrawTextBox(0, 0, 100, 100, nullptr, 0);
    EXPECT_EQ(voDraw::MeasureText(0, 0, 100, 100, nullptr), 0);
    voDraw::EndText();
    EXPECT_EQ(ReadBackBuffer().Count(kBlack), 320 * 240);
    // Bytes that are not CP932 draw the replacement mark, a lone lead byte at the end too.
    voDraw::PrintText(0, 0, "\x85\x40\xFF\x82");
    EXPECT_GT(ReadBackBuffer().Count(kWhite), 10);
    // After shut-down's release the runs draw nothing again.
    voDraw::ReleaseText();
    EXPECT_EQ(fontDescription, nullptr);
    voDraw::Clear();
    voDraw::PrintText(0, 0, "gone");
    EXPECT_EQ(ReadBackBuffer().Count(kBlack), 320 * 240);
}

// ---- Frame-rate line --------------------------------------------------------------------------

TEST(FrameRateLine, FirstCallSamplesAtOnceCountStopsAt999AndTheLowestKeepsTheSmallest)
{
    StartScreen();
    voDraw::DrawFps();
    EXPECT_STREQ(fpsLine, "0.0 fps ( max 0.0 / min 999.9 )");
    // The line is drawn at the top left exactly as the fixed-style printer draws it.
    Picture line = ReadBackBuffer();
    voDraw::Clear();
    voDraw::PrintText(0, 0, "0.0 fps ( max 0.0 / min 999.9 )");
    EXPECT_EQ(ReadBackBuffer().pixels, line.pixels);
    EXPECT_EQ(line.BoundsOfOther(kBlack).top, 0);
    for (int i = 0; i < 1199; ++i)
    {
        voDraw::DrawFps();
    }
    EXPECT_EQ(fpsFrameCount, 999);
    platform::headless::AdvanceClock(2000);
    voDraw::DrawFps();
    EXPECT_STREQ(fpsLine, "499.5 fps ( max 499.5 / min 499.5 )");
    // A slower window lowers the lowest and keeps the highest.
    for (int i = 0; i < 9; ++i)
    {
        voDraw::DrawFps();
    }
    platform::headless::AdvanceClock(2000);
    voDraw::DrawFps();
    EXPECT_STREQ(fpsLine, "5.0 fps ( max 499.5 / min 5.0 )");
    // A window with only its sampling call in it reads 0.5.
    platform::headless::AdvanceClock(2000);
    voDraw::DrawFps();
    platform::headless::AdvanceClock(2000);
    voDraw::DrawFps();
    EXPECT_STREQ(fpsLine, "0.5 fps ( max 499.5 / min 0.5 )");
}

} // namespace
