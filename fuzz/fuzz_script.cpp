// Bytes as a headless input script: a script is taken whole or refused at one line with
// "line N: reason"; the lines before a refused one make a script of their own, and the
// refused line alone is refused for the same reason. Actions fall on frames the script can
// name (a press releases on the next frame).
#include <sstream>

#include "fuzz/fuzz_support.h"
#include "platform/headless/headless_internal.h"

namespace
{

using platform::headless::ParseScript;
using platform::headless::TimedAction;

constexpr int kLastFrame = 100000000;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
    {
        lines.push_back(line);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<TimedAction> actions(1);
    std::string error;
    bool ok = ParseScript(text, actions, error);

    std::istringstream words(text);
    std::string word;
    while (words >> word)
    {
        int code = platform::headless::KeyCodeFromName(word);
        FUZZ_CHECK(code == -1 || (code >= 8 && code <= 123));
    }

    if (ok)
    {
        for (const TimedAction& action : actions)
        {
            FUZZ_CHECK(action.frame >= 0 && action.frame <= kLastFrame + 1 && action.run);
        }
        return 0;
    }
    FUZZ_CHECK(actions.empty());
    FUZZ_CHECK(error.compare(0, 5, "line ") == 0);
    std::size_t colon = error.find(": ");
    FUZZ_CHECK(colon != std::string::npos && colon > 5);
    int number = std::stoi(error.substr(5, colon - 5));
    std::vector<std::string> lines = Lines(text);
    FUZZ_CHECK(number >= 1 && static_cast<std::size_t>(number) <= lines.size());

    std::string before;
    for (int i = 0; i < number - 1; ++i)
    {
        before += lines[i] + "\n";
    }
    std::string beforeError;
    FUZZ_CHECK(ParseScript(before, actions, beforeError));
    std::string lineError;
    FUZZ_CHECK(!ParseScript(lines[number - 1], actions, lineError));
    FUZZ_CHECK(lineError == "line 1" + error.substr(colon));
    return 0;
}
