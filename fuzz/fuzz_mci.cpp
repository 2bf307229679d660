// Command strings for the sequencer, one a line, sent in turn with the clock moving between
// them: every answer is success or one of the documented errors, the reply stays inside its
// buffer and is empty after an error, and notices carry a documented code. Files to open
// lie in the current folder: "song.mid", "two tracks.mid", "broken.mid" and "notes.txt".
#include <algorithm>
#include <cstring>
#include <sstream>

#include "fuzz/fuzz_files.h"
#include "fuzz/fuzz_support.h"
#include "platform/platform.h"
#include "platform/sequencer.h"

namespace
{

platform::WindowHandle window = 0;

std::intptr_t CheckNotice(platform::WindowHandle, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t)
{
    if (message == platform::kMmMciNotify)
    {
        FUZZ_CHECK(wParam == platform::kMciNotifySuccessful ||
                   wParam == platform::kMciNotifySuperseded ||
                   wParam == platform::kMciNotifyAborted);
    }
    return 0;
}

void Pump(std::uint32_t ms)
{
    platform::headless::AdvanceClock(ms);
    platform::Message message;
    while (platform::PeekMessage(message))
    {
        platform::DispatchMessage(message);
    }
}

bool Documented(std::uint32_t result)
{
    static constexpr std::uint32_t kResults[] = {
        0,
        platform::kMciErrUnrecognizedKeyword,
        platform::kMciErrUnrecognizedCommand,
        platform::kMciErrHardware,
        platform::kMciErrInvalidDeviceName,
        platform::kMciErrParamOverflow,
        platform::kMciErrFileNotFound,
        platform::kMciErrUnsupportedDevice,
        platform::kMciErrOutOfRange,
        platform::kMciErrDeviceOpen,
        platform::kMciErrInvalidFile,
        platform::kMciErrMissingParameter,
    };
    return std::find(std::begin(kResults), std::end(kResults), result) != std::end(kResults);
}

std::uint32_t Send(const std::string& command, std::size_t replySize, bool notify)
{
    constexpr std::size_t kGuardBytes = 16;
    char buffer[64 + kGuardBytes];
    std::memset(buffer, 0x5A, sizeof buffer);
    replySize = std::min<std::size_t>(replySize, 64);
    std::uint32_t result =
        platform::SendSequencerCommand(command.c_str(), buffer, replySize, notify ? window : 0);
    FUZZ_CHECK(Documented(result));
    for (std::size_t i = replySize; i < sizeof buffer; ++i)
    {
        FUZZ_CHECK(buffer[i] == 0x5A);
    }
    if (replySize > 0)
    {
        FUZZ_CHECK(std::memchr(buffer, '\0', replySize) != nullptr);
        if (result != 0)
        {
            FUZZ_CHECK(buffer[0] == '\0');
        }
    }
    return result;
}

// The words of a command, split as the sequencer splits them: any could be a piece's name.
std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    for (;;)
    {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        {
            ++i;
        }
        if (i == line.size())
        {
            return words;
        }
        std::string word;
        if (line[i] == '"')
        {
            std::size_t close = line.find('"', i + 1);
            word =
                line.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
            i = close == std::string::npos ? line.size() : close + 1;
        }
        else
        {
            std::size_t stop = line.find_first_of(" \t", i);
            stop = stop == std::string::npos ? line.size() : stop;
            word = line.substr(i, stop - i);
            i = stop;
        }
        words.push_back(word);
    }
}

// The name as one word of a command: quoted unless it holds a quote (then it has no blanks).
std::string AsWord(const std::string& name)
{
    return name.find('"') == std::string::npos ? "\"" + name + "\"" : name;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    using namespace fuzz_files;
    fuzz::StartHeadless();
    platform::RegisterWindowClass(CheckNotice);
    window = platform::CreateMainWindow("fuzz", 0, 0, 160, 180);
    FUZZ_CHECK(window != 0);
    fuzz::WriteFile("song.mid", MidiFile(0, 96, {TempoEvent(0, 400000) + NoteTrack(0, 96)}));
    fuzz::WriteFile(
        "two tracks.mid",
        MidiFile(1, 0xE728, {TempoEvent(0, 500000) + EndOfTrack(0), NoteTrack(1, 200)}));
    fuzz::WriteFile("broken.mid", MidiFile(2, 96, {NoteTrack(0, 10)}));
    fuzz::WriteFile("notes.txt", "not music");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream lines(text);
    std::string line;
    std::vector<std::string> opened;
    std::size_t count = 0;
    while (std::getline(lines, line) && count < 64)
    {
        count += 1;
        line = line.c_str(); // the command ends at a zero byte, as a C string does
        std::uint32_t result = Send(line, count * 7 % 24, count % 2 == 1);
        if (result == 0)
        {
            std::vector<std::string> names = Words(line);
            opened.insert(opened.end(), names.begin(), names.end());
        }
        Pump(static_cast<std::uint32_t>(count * 37 % 100));
    }
    // Closing under every name a successful command used leaves nothing open: a piece can
    // be opened again.
    for (const std::string& name : opened)
    {
        Send("close " + AsWord(name), 0, false);
    }
    FUZZ_CHECK(Send("open song.mid alias check", 0, false) == 0);
    FUZZ_CHECK(Send("close check", 0, false) == 0);
    Pump(10);
    return 0;
}
