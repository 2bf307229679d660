// The command line the platform takes, the input script, key state and the program's exit
// codes from the command line.
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/headless/control.h"
#include "platform/platform.h"
#include "tests/support/headless.h"

namespace
{

bool Parse(std::vector<std::string> words, platform::Options& options, std::string& error)
{
    std::vector<char*> argv;
    static std::string program = "plonder";
    argv.push_back(program.data());
    for (std::string& word : words)
    {
        argv.push_back(word.data());
    }
    return platform::ParseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

int RunBinary(const std::string& arguments)
{
    std::string command = std::string(PLONDER_BINARY) + " " + arguments + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(Options, PlatformOptionsAreTakenAndTheRestReachesTheProgram)
{
    platform::Options options;
    std::string error;
    ASSERT_TRUE(Parse({"--headless", "--frames", "12", "alpha", "--capture", "out", "beta"},
                      options, error))
        << error;
    EXPECT_EQ(options.backend, "headless");
    EXPECT_EQ(options.frames, 12);
    EXPECT_EQ(options.captureDir, "out");
    EXPECT_EQ(options.commandLine, "alpha beta");

    platform::Options words;
    ASSERT_TRUE(Parse({"--scale", "3", "--", "--frames", "x"}, words, error));
    EXPECT_EQ(words.scale, 3);
    EXPECT_EQ(words.commandLine, "--frames x");
}

TEST(Options, BadOptionsAreRefusedWithAReason)
{
    std::vector<std::vector<std::string>> bad = {
        {"--frames"},          {"--headless", "--frames", "-1"}, {"--headless", "--frames", "5x"},
        {"--scale", "0"},      {"--scale", "99"},                {"--frames", "5"},
        {"--nonsense"},        {"--headless", "--input"},
        {"--record"},          {"--headless", "--record", "game.input"},
    };
    for (const auto& words : bad)
    {
        platform::Options options;
        std::string error;
        EXPECT_FALSE(Parse(words, options, error)) << words[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(Options, UnknownBackendListsTheValidOnes)
{
    platform::Options options;
    options.backend = "vga";
    std::string error;
    EXPECT_FALSE(platform::Start(options, error));
    EXPECT_NE(error.find("sdl"), std::string::npos);
    EXPECT_NE(error.find("headless"), std::string::npos);
}

TEST(Script, LinesBecomeMessagesBeforeTheirFrame)
{
    std::string error;
    ASSERT_TRUE(platform::headless::LoadScript("# comment\n\n2 key Up down\n2 mouse 5 6\n"
                                               "3 press F1\n",
                                               error))
        << error;
    testing_support::StartHeadless();
    platform::Message message;
    while (platform::PeekMessage(message))
    {
    }
    EXPECT_EQ(platform::headless::FramesStarted(), 1);
    ASSERT_TRUE(platform::PeekMessage(message));
    EXPECT_EQ(message.id, platform::kWmKeyDown);
    EXPECT_EQ(message.wParam, static_cast<std::uintptr_t>(platform::kVkUp));
    EXPECT_TRUE(platform::GetKeyState(platform::kVkUp) & 0x8000);
    ASSERT_TRUE(platform::PeekMessage(message));
    EXPECT_EQ(message.id, platform::kWmMouseMove);
    EXPECT_EQ(message.lParam, (6 << 16) | 5);
    EXPECT_FALSE(platform::PeekMessage(message));
    ASSERT_TRUE(platform::PeekMessage(message));
    EXPECT_EQ(message.wParam, static_cast<std::uintptr_t>(platform::kVkF1));
    EXPECT_FALSE(platform::PeekMessage(message));
    ASSERT_TRUE(platform::PeekMessage(message));
    EXPECT_EQ(message.id, platform::kWmKeyUp);
    EXPECT_FALSE(platform::GetKeyState(platform::kVkF1) & 0x8000);
    EXPECT_TRUE(platform::GetKeyState(platform::kVkUp) & 0x8000);
}

TEST(Script, MalformedLinesNameTheirLine)
{
    for (auto [text, line] : {std::pair{"1 key Up down\nx key Up down\n", "line 2"},
                              {"1 key Nope down\n", "line 1"},
                              {"1 key Up sideways\n", "line 1"},
                              {"\n\n1 mouse 5\n", "line 3"},
                              {"1 answer maybe\n", "line 1"},
                              {"1 dance\n", "line 1"},
                              {"1 close now\n", "line 1"},
                              {"-1 close\n", "line 1"}})
    {
        std::string error;
        EXPECT_FALSE(platform::headless::LoadScript(text, error)) << text;
        EXPECT_EQ(error.rfind(line, 0), 0u) << error;
    }
}

TEST(Script, KeyNamesIgnoreCaseAndRefuseUnknownOnes)
{
    using platform::headless::KeyCodeFromName;
    EXPECT_EQ(KeyCodeFromName("down"), 40);
    EXPECT_EQ(KeyCodeFromName("F10"), 121);
    EXPECT_EQ(KeyCodeFromName("q"), 'Q');
    for (const char* bad : {"F13", "F1x", "F0", ""})
    {
        EXPECT_EQ(KeyCodeFromName(bad), -1) << bad;
    }
    // Every key a record names reads back as the same key.
    int named = 0;
    for (int code = 0; code < 256; ++code)
    {
        std::string name = platform::KeyNameFromCode(code);
        if (!name.empty())
        {
            named += 1;
            EXPECT_EQ(KeyCodeFromName(name), code) << name;
        }
    }
    EXPECT_EQ(named, 26 + 10 + 12 + 19); // letters, digits, F1..F12, named keys
}

TEST(KeyState, ToggleBitFlipsOnEachPress)
{
    testing_support::StartHeadless();
    platform::headless::PushKey('K', true);
    platform::headless::PushKey('K', true); // a repeat does not toggle
    platform::headless::PushKey('K', false);
    platform::Message message;
    while (platform::PeekMessage(message))
    {
    }
    EXPECT_EQ(platform::GetKeyState('K'), 1);
    EXPECT_EQ(platform::GetKeyState(-4), 0);
    EXPECT_EQ(platform::GetKeyState(999), 0);
}

TEST(Cp932Text, ConvertsBothWaysAndReplacesBadBytes)
{
    std::string japanese = platform::Utf8ToCp932("エラー発生");
    EXPECT_EQ(japanese, "\x83\x47\x83\x89\x81\x5B\x94\xAD\x90\xB6");
    EXPECT_EQ(platform::Cp932ToUtf8(japanese), "エラー発生");
    EXPECT_EQ(platform::Cp932ToUtf8("a\xA0" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(platform::Cp932ToUtf8("z\x82"), "z\xEF\xBF\xBD");
    EXPECT_EQ(platform::Utf8ToCp932("a\xF0\x9F\x98\x80"), "a?");
}

TEST(CommandLine, HeadlessRunsExitZeroAndBadOptionsExitTwo)
{
    EXPECT_EQ(RunBinary("--headless --frames 5"), 0);
    EXPECT_EQ(RunBinary("--headless --frames"), 2);
    EXPECT_EQ(RunBinary("--bogus"), 2);
    EXPECT_EQ(RunBinary("--headless --frames 5 --time yesterday"), 1);
    EXPECT_EQ(RunBinary("--headless --frames 5 --input /nonexistent/script"), 1);
}

TEST(CommandLine, EscapeOnFrameThreeEndsTheRun)
{
    testing_support::TempDir dir;
    dir.Write("script.txt", "3 key Escape down\n");
    EXPECT_EQ(RunBinary("--headless --frames 100 --input " + dir.File("script.txt")), 0);
}
