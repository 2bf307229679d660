// Message boxes, paths and number files, date and time, the generator and text cutting.
#include <sys/resource.h>
#include <sys/stat.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/headless/control.h"
#include "system/system.h"
#include "tests/support/headless.h"

using platform::headless::HeadlessConfig;
using platform::headless::MessageBoxes;
using testing_support::Cp932;
using testing_support::StartHeadless;
using testing_support::TempDir;

TEST(ErrorBox, JoinsNameAndMessageUnderTheErrorCaption)
{
    StartHeadless();
    std::string message = Cp932("オブジェクト数が多過ぎます");
    EXPECT_EQ(ShowError("voDraw::LoadObject", message.c_str()), 0);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "voDraw::LoadObject : " + message);
    EXPECT_EQ(MessageBoxes()[0].caption, Cp932("エラー発生"));
    EXPECT_EQ(MessageBoxes()[0].style, 0x1030u);
    EXPECT_EQ(platform::headless::BeepCount(), 1);
    EXPECT_EQ(messageBoxOpen, 0);
}

TEST(ErrorBox, LongTextsAreCutWithinTheBufferAtACharacterBoundary)
{
    StartHeadless();
    // "voDraw::X : " is 12 bytes, so 121 two-byte characters end at byte 254 and the 122nd
    // would cross the 255-byte limit.
    std::string message;
    for (int i = 0; i < 200; ++i)
    {
        message += Cp932("あ");
    }
    ShowError("voDraw::X", message.c_str());
    const std::string& text = MessageBoxes().at(0).text;
    EXPECT_LE(text.size(), 255u);
    EXPECT_EQ(text.size(), 12u + 242u);
    EXPECT_EQ(text.substr(text.size() - 2), Cp932("あ"));
}

TEST(MessageBoxes, MessageAddsALineEndAndShowsTheCursor)
{
    StartHeadless();
    cursorVisible = 0;
    ShowMessage("%d:%s", 42, "x");
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "42:x\r\n");
    EXPECT_EQ(MessageBoxes()[0].caption, Cp932("メッセージ"));
    EXPECT_EQ(MessageBoxes()[0].style, 0x1030u);
    EXPECT_EQ(cursorVisible, 1);
    EXPECT_TRUE(platform::headless::Window().cursorShown);
    EXPECT_EQ(messageBoxOpen, 0);
}

TEST(MessageBoxes, LongFormattedTextsKeep253BytesAndTheLineEnd)
{
    StartHeadless();
    std::string text(400, 'z');
    ShowMessage("%s", text.c_str());
    EXPECT_EQ(MessageBoxes().at(0).text, std::string(253, 'z') + "\r\n");
}

TEST(MessageBoxes, AskYesNoIsOneOnlyForYes)
{
    StartHeadless();
    platform::headless::QueueAnswer(platform::kIdYes);
    platform::headless::QueueAnswer(platform::kIdNo);
    platform::headless::QueueAnswer(platform::kIdOk);
    EXPECT_EQ(AskYesNo("a?"), 1);
    EXPECT_EQ(AskYesNo("b?"), 0);
    EXPECT_EQ(AskYesNo("c?"), 0);
    EXPECT_EQ(MessageBoxes().at(0).style, 0x1024u);
    EXPECT_EQ(MessageBoxes().at(0).text, "a?\r\n");
}

TEST(MessageBoxesDeathTest, AQuestionWithNoAnswerEndsTheHeadlessRun)
{
    EXPECT_EXIT(
        {
            StartHeadless();
            AskYesNo("nobody answers");
        },
        testing::ExitedWithCode(3), "no answer queued");
}

class ProgramFolder : public testing::Test
{
protected:
    TempDir dir;
    void Start(const std::string& programPath)
    {
        HeadlessConfig config;
        config.programPath = programPath;
        config.settingsFolder = dir.Path();
        StartHeadless(config);
    }
};

TEST_F(ProgramFolder, AlternateBaseTakesTheLastFolderName)
{
    Start("/games/puzzle/p");
    EXPECT_STREQ(GetProgramFolder(1), "/games/puzzle/");
    dir.Write("base.txt", "/data/\n");
    SetAlternateBase("base.txt");
    EXPECT_STREQ(GetProgramFolder(1), "/data/puzzle/");
    EXPECT_STREQ(GetProgramFolder(0), "/games/puzzle/");
}

TEST_F(ProgramFolder, AlternateBaseLineEndsAsTextModeReadsThem)
{
    Start("/games/puzzle/p");
    dir.Write("base.txt", "/data\r\nsecond line\n");
    SetAlternateBase("base.txt");
    EXPECT_STREQ(GetProgramFolder(1), "/data/puzzle/");
}

TEST_F(ProgramFolder, MissingOrEmptyBaseFileMeansNoBase)
{
    Start("/games/puzzle/p");
    dir.Write("base.txt", "/data\n");
    SetAlternateBase("base.txt");
    SetAlternateBase("missing.txt");
    EXPECT_STREQ(GetProgramFolder(1), "/games/puzzle/");
    dir.Write("empty.txt", "");
    SetAlternateBase("empty.txt");
    EXPECT_STREQ(GetProgramFolder(1), "/games/puzzle/");
}

TEST_F(ProgramFolder, ProgramInTheRootKeepsAnEarlierLastName)
{
    Start("/games/puzzle/p");
    dir.Write("base.txt", "/data\n");
    SetAlternateBase("base.txt");
    GetProgramFolder(1);
    platform::headless::SetProgramPath("/p");
    EXPECT_STREQ(GetProgramFolder(0), "/");
    EXPECT_STREQ(GetProgramFolder(1), "/data/puzzle/");
}

TEST_F(ProgramFolder, FolderTooLongForTheBufferFallsBackToTheCurrentFolder)
{
    Start("/" + std::string(300, 'd') + "/p");
    EXPECT_STREQ(GetProgramFolder(0), "./");
}

TEST_F(ProgramFolder, NumberFilesLiveUnderTheAlternateBase)
{
    Start(dir.File("prog/plonder"));
    mkdir(dir.File("prog").c_str(), 0755);
    mkdir(dir.File("alt").c_str(), 0755);
    mkdir(dir.File("alt/prog").c_str(), 0755);
    SaveNumber("n.dat", -1234);
    EXPECT_EQ(dir.Read("prog/n.dat"), "-1234");
    EXPECT_EQ(LoadNumber("n.dat"), -1234);

    dir.Write("base.txt", dir.Path() + "/alt\n");
    SetAlternateBase("base.txt");
    SaveValue("n.dat", 77);
    EXPECT_EQ(dir.Read("alt/prog/n.dat"), "77");
    EXPECT_EQ(LoadValue("n.dat"), 77);
    EXPECT_EQ(dir.Read("prog/n.dat"), "-1234");
}

TEST_F(ProgramFolder, NumberFilesNamedInAnotherCaseAreReadAndReplaced)
{
    Start(dir.File("prog/plonder"));
    mkdir(dir.File("prog").c_str(), 0755);
    dir.Write("prog/Hi.Dat", "31");
    dir.Write("prog/hi.dat", "32");
    EXPECT_EQ(LoadNumber("HI.DAT"), 31); // "Hi.Dat" comes first in byte order
    EXPECT_EQ(LoadNumber("hi.dat"), 32);
    SaveNumber("HI.DAT", 40);
    EXPECT_EQ(dir.Read("prog/Hi.Dat"), "40");
    EXPECT_EQ(dir.Read("prog/HI.DAT"), "<missing>");
    SaveNumber("new.dat", 1);
    EXPECT_EQ(LoadNumber("NEW.DAT"), 1);
}

TEST_F(ProgramFolder, NumberFileFailuresAreQuiet)
{
    Start(dir.File("prog/plonder"));
    // The folder does not exist: nothing is written and reading gives 0.
    SaveNumber("n.dat", 5);
    EXPECT_EQ(dir.Read("prog/n.dat"), "<missing>");
    EXPECT_EQ(LoadNumber("n.dat"), 0);
    mkdir(dir.File("prog").c_str(), 0755);
    dir.Write("prog/bad.dat", "abc");
    EXPECT_EQ(LoadNumber("bad.dat"), 0);
    EXPECT_TRUE(MessageBoxes().empty());
}

TEST_F(ProgramFolder, NumberFilesReadAsDecimalAndSaturateOutsideTheIntRange)
{
    Start(dir.File("prog/plonder"));
    mkdir(dir.File("prog").c_str(), 0755);
    const struct
    {
        const char* text;
        int value;
    } cases[] = {
        {" \t\r\n42\n", 42},
        {"+7", 7},
        {"-0", 0},
        {"12abc", 12},
        {"abc", 0},
        {"-", 0},
        {"", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"000000000000000000000000000000123", 123},
        {"99999999999999999999999999999999999999", INT_MAX},
        {"-99999999999999999999999999999999999999 1", INT_MIN},
    };
    for (const auto& c : cases)
    {
        dir.Write("prog/n.dat", c.text);
        EXPECT_EQ(LoadNumber("n.dat"), c.value) << c.text;
    }
}

TEST(DateAndTime, FollowTheHeadlessCalendar)
{
    HeadlessConfig config;
    ASSERT_TRUE(platform::headless::ParseStartTime("2024-02-29T23:59:59", config.startSeconds));
    StartHeadless(config);
    int year, month, day;
    char weekday[3] = {};
    GetDate(year, month, day, weekday);
    EXPECT_EQ(year, 2024);
    EXPECT_EQ(month, 2);
    EXPECT_EQ(day, 29);
    EXPECT_EQ(std::string(weekday, 2), Cp932("木"));
    EXPECT_EQ(weekday[2], '\0');
    platform::headless::AdvanceClock(1000);
    int hour, minute, second;
    GetTime(hour, minute, second);
    EXPECT_EQ(hour, 0);
    EXPECT_EQ(minute, 0);
    EXPECT_EQ(second, 0);
    GetDate(year, month, day, weekday);
    EXPECT_EQ(month, 3);
    EXPECT_EQ(std::string(weekday, 2), Cp932("金"));
}

TEST(Generator, FollowsTheLinearCongruentialSequence)
{
    SeedRandom(1);
    EXPECT_EQ(Random(), 41);
    EXPECT_EQ(Random(), 18467);
    EXPECT_EQ(Random(), 6334);
    EXPECT_EQ(Random(), 26500);
    SeedRandom(0xFFFFFFFFu);
    for (int i = 0; i < 1000; ++i)
    {
        int value = Random();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

TEST(Services, CursorAndWindowSwitches)
{
    StartHeadless();
    clientLeft = 100;
    clientTop = 50;
    SetMousePos(3, 4);
    int x = 0;
    int y = 0;
    platform::GetCursorPos(x, y);
    EXPECT_EQ(x, 103);
    EXPECT_EQ(y, 54);

    fullScreen = 0;
    ClipCursorToScreen();
    EXPECT_EQ(IsCursorClipped(), 1);
    EXPECT_TRUE(platform::headless::Window().cursorClipped);
    EXPECT_EQ(platform::headless::Window().clip[0], 100);
    UnclipCursor();
    EXPECT_EQ(IsCursorClipped(), 0);
    EXPECT_FALSE(platform::headless::Window().cursorClipped);
    EXPECT_EQ(IsWindowed(), 1);
    EXPECT_EQ(GetScreenColourBits(), 16);
}

TEST(CopyTextTest, NeverSplitsATwoByteCharacter)
{
    char buffer[4];
    std::string text = Cp932("aあい");
    CopyText(buffer, text.c_str(), sizeof buffer);
    EXPECT_EQ(std::string(buffer), Cp932("aあ"));
    CopyText(buffer, "abcdef", sizeof buffer);
    EXPECT_STREQ(buffer, "abc");
    // A lone lead byte at the end is copied as one byte.
    CopyText(buffer, "a\x82", sizeof buffer);
    EXPECT_STREQ(buffer, "a\x82");
}

namespace
{

std::string Formatted(std::size_t size, const char* format, ...)
{
    std::vector<char> dest(size + 1, '#');
    va_list args;
    va_start(args, format);
    FormatText(dest.data(), size, format, args);
    va_end(args);
    EXPECT_EQ(dest[size], '#') << "wrote past the buffer";
    return std::string(dest.data());
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Bytes of address space the process holds now.
std::uint64_t AddressSpaceBytes()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key)
    {
        std::uint64_t kib = 0;
        if (key == "VmSize:" && status >> kib)
        {
            return kib * 1024;
        }
    }
    return 0;
}
#endif

} // namespace

TEST(CopyTextTest, FormattedTextIsCutAsTheWholeTextIs)
{
    std::string wide = Cp932("aあいうえ");
    for (std::size_t size = 1; size <= wide.size() + 2; ++size)
    {
        // The reference: the whole text, then the cut.
        std::string whole = "<" + wide + ">";
        std::vector<char> expected(size);
        CopyText(expected.data(), whole.c_str(), size);
        EXPECT_EQ(Formatted(size, "<%s>", wide.c_str()), std::string(expected.data())) << size;
        std::string number = std::to_string(-123456);
        CopyText(expected.data(), ("  " + number).c_str(), size);
        EXPECT_EQ(Formatted(size, "%*d", 9, -123456), std::string(expected.data())) << size;
    }
    EXPECT_EQ(Formatted(4, "%d", 5), "5");
}

TEST(CopyTextTest, AHugeFieldWidthNeedsNoMoreThanTheBuffer)
{
    const int width = 1 << 26;
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    // Room for a quarter of the field: holding it whole would fail.
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &limit), 0);
    rlimit tight = limit;
    tight.rlim_cur = AddressSpaceBytes() + width / 4;
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
#endif
    std::string text = Formatted(256, "%*d|", width, 7);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    setrlimit(RLIMIT_AS, &limit);
#endif
    EXPECT_EQ(text, std::string(255, ' '));
}
