// The command line the platform takes, the input script, key state and the program's exit
// codes and answers from the command line.
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
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

struct Answer
{
    int status = -1;
    std::string output; // stdout and stderr together
};

// Runs the program under `env` with these environment changes (a hang ends after 20 s with
// timeout's 124).
Answer Ask(const std::string& arguments, const std::string& environment = "")
{
    std::string command = "env " + environment + " timeout 20 " + PLONDER_BINARY + " " +
                          arguments + " 2>&1";
    Answer answer;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
    {
        return answer;
    }
    char chunk[512];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
    {
        answer.output.append(chunk, got);
    }
    int status = pclose(pipe);
    answer.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return answer;
}

int Lines(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST(Options, PlatformOptionsAreTakenAndTheRestReachesTheProgram)
{
    platform::Options options;
    std::string error;
    ASSERT_TRUE(Parse({"--headless", "--frames", "12", "-w", "stage3", "--capture", "out",
                       "/debug", "-", "beta"},
                      options, error))
        << error;
    EXPECT_EQ(options.backend, "headless");
    EXPECT_EQ(options.frames, 12);
    EXPECT_EQ(options.captureDir, "out");
    EXPECT_EQ(options.commandLine, "-w stage3 /debug - beta");
    EXPECT_FALSE(options.showHelp || options.showVersion);

    platform::Options words;
    ASSERT_TRUE(Parse({"--scale", "3", "--", "--frames", "x"}, words, error));
    EXPECT_EQ(words.scale, 3);
    EXPECT_EQ(words.commandLine, "--frames x");

    for (auto [word, help] : {std::pair{"--help", true}, {"-h", true}, {"--version", false}})
    {
        platform::Options asked;
        ASSERT_TRUE(Parse({"alpha", word, "--nonsense"}, asked, error)) << word;
        EXPECT_EQ(asked.showHelp, help) << word;
        EXPECT_EQ(asked.showVersion, !help) << word;
    }
    platform::Options passed;
    ASSERT_TRUE(Parse({"--", "--help", "-h"}, passed, error));
    EXPECT_FALSE(passed.showHelp);
    EXPECT_EQ(passed.commandLine, "--help -h");
}

TEST(Options, BadOptionsAreRefusedWithAReason)
{
    std::vector<std::vector<std::string>> bad = {
        {"--frames"},          {"--headless", "--frames", "-1"}, {"--headless", "--frames", "5x"},
        {"--scale", "0"},      {"--scale", "99"},                {"--frames", "5"},
        {"--nonsense"},        {"--headless", "--input"},        {"-w", "--stage"},
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
    EXPECT_EQ(RunBinary("--headless --frames 5 -w stage3 /debug"), 0);
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

TEST(CommandLine, HelpVersionUsageAndNoDisplayAnswerAtOnce)
{
    // A login without a display: nothing to open a window on, and no SDL driver asked for.
    std::string noDisplay = "-u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR -u SDL_VIDEODRIVER";
    Answer help = Ask("--help");
    struct Case
    {
        std::string arguments, environment;
        int status;
        std::string output; // the whole output, or its start when it ends in "..."
    } cases[] = {
        {"-h", "", 0, help.output},
        {"--version", "", 0, std::string("plonder ") + PLONDER_VERSION + "\n"},
        {"--scale 2 --version --bogus", "", 0, std::string("plonder ") + PLONDER_VERSION + "\n"},
        {"--bogus", "", 2, std::string("plonder: unknown option --bogus\n") +
                               platform::UsageText() + "\n"},
        {"-w stage3", noDisplay, 1,
         "plonder: no display (DISPLAY and WAYLAND_DISPLAY are not set); use --headless to "
         "run without one\n"},
        // libdbus, which SDL reaches once DISPLAY is set, keeps a buffer until the process
        // ends; the leak checker of the sanitizer build would add its report.
        {"--scale 2", noDisplay + " DISPLAY=:nowhere ASAN_OPTIONS=detect_leaks=0", 1,
         "plonder: cannot open the display ..."},
    };
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("usage: plonder", 0), 0u) << help.output;
    for (const char* option : {"\n  -h, --help ", "\n      --version ", "\n      --scale N ",
                               "\n      --headless ", "\n      --backend B ",
                               "\n      --frames N ", "\n      --input FILE ",
                               "\n      --capture DIR ", "\n      --time T ", "\n      -- "})
    {
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
    }
    EXPECT_NE(std::string(platform::UsageText()).find("[-- WORDS...: all passed to the program]"),
              std::string::npos);
    for (const Case& c : cases)
    {
        Answer answer = Ask(c.arguments, c.environment);
        EXPECT_EQ(answer.status, c.status) << c.arguments;
        if (c.output.size() > 3 && c.output.compare(c.output.size() - 3, 3, "...") == 0)
        {
            std::string start = c.output.substr(0, c.output.size() - 3);
            EXPECT_EQ(answer.output.rfind(start, 0), 0u) << answer.output;
            EXPECT_NE(answer.output.find("use --headless"), std::string::npos) << answer.output;
            EXPECT_EQ(Lines(answer.output), 1) << answer.output;
        }
        else
        {
            EXPECT_EQ(answer.output, c.output) << c.arguments;
        }
    }
}
