// Headless backend: a virtual clock, a recorded window, scripted input and answered message
// boxes, so that the whole program runs without a display. Surfaces, sound and joysticks
// add their headless parts beside this file.
//   [X] window record, events from the script, cursor record, virtual clock, message boxes
//   [ ] real time: never read, by design
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/backend.h"
#include "platform/cp932.h"
#include "platform/headless/control.h"
#include "platform/headless/headless_internal.h"

namespace platform::headless
{
namespace
{

constexpr std::uint64_t kUnitsPerMs = 60;       // clock units: 1/60000 s
constexpr std::uint64_t kUnitsPerRefresh = 1000; // one 60 Hz refresh

struct HeadlessState
{
    HeadlessConfig config;                       // switches fixed at start
    std::uint64_t elapsedUnits = 0;              // virtual time since start
    WindowRecord window;                         // what the program made of its window
    int cursorX = 0, cursorY = 0;                // cursor on the screen
    std::vector<MessageBoxRecord> boxes;         // every box shown
    std::deque<int> answers;                     // answers for question boxes
    int beeps = 0;                               // simple beeps
    std::multimap<int, ScriptAction> script;     // actions by frame
    int framesStarted = 0;                       // frames begun so far
    int injectedFor = 0;                         // last frame whose actions were delivered
    int frameLimit = -1;                         // close after this many frames; -1 never
    bool closeSent = false;                      // the frame limit's close was posted
};

HeadlessState state;

std::intptr_t PackPoint(int x, int y)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                      static_cast<std::uint32_t>(x & 0xFFFF));
}

class HeadlessWindow final : public platform::Window
{
public:
    bool Create(const char* caption, int x, int y, int width, int height) override
    {
        state.window = WindowRecord{};
        state.window.open = true;
        state.window.caption = caption;
        state.window.x = x;
        state.window.y = y;
        state.window.width = width;
        state.window.height = height;
        // Creating and showing a window reports its place and its activation.
        PushWindowMove(x, y);
        PushActivate(true);
        return true;
    }
    void Destroy() override
    {
        state.window.open = false;
    }
    void Minimize() override
    {
        state.window.minimized = true;
    }
    void SetIcon(const IconImage& icon) override
    {
        state.window.iconWidth = icon.width;
        state.window.iconHeight = icon.height;
        state.window.iconRgba = icon.rgba;
    }
    void ScreenSize(int& width, int& height) override
    {
        width = state.config.screenWidth;
        height = state.config.screenHeight;
    }
    int DesktopBitsPerPixel() override
    {
        return state.config.desktopBpp;
    }
};

class HeadlessEvents final : public platform::Events
{
public:
    void Pump() override
    {
        int next = state.framesStarted + 1;
        if (state.injectedFor >= next)
        {
            return;
        }
        state.injectedFor = next;
        if (state.frameLimit >= 0 && next > state.frameLimit)
        {
            if (!state.closeSent)
            {
                state.closeSent = true;
                PushClose();
            }
            return;
        }
        RunActions(next);
    }
    void FrameStarting() override
    {
        // Actions for the coming frame are delivered before it starts, even when the queue
        // was empty the first time round.
        if (state.injectedFor < state.framesStarted + 1)
        {
            Pump();
        }
        state.framesStarted += 1;
    }
    void SetCursorShown(bool shown) override
    {
        state.window.cursorShown = shown;
    }
    void GetCursorPos(int& x, int& y) override
    {
        x = state.cursorX;
        y = state.cursorY;
    }
    void SetCursorPos(int x, int y) override
    {
        state.cursorX = x;
        state.cursorY = y;
    }
    void ClipCursor(const int* rect) override
    {
        state.window.cursorClipped = rect != nullptr;
        for (int i = 0; i < 4; ++i)
        {
            state.window.clip[i] = rect != nullptr ? rect[i] : 0;
        }
    }
};

class HeadlessClock final : public platform::Clock
{
public:
    std::uint32_t NowMs() override
    {
        return state.config.startMs + static_cast<std::uint32_t>(state.elapsedUnits / kUnitsPerMs);
    }
    void WaitPast(std::uint32_t deadlineMs) override
    {
        std::uint32_t now = NowMs();
        if (now <= deadlineMs)
        {
            AdvanceClock(deadlineMs - now + 1);
        }
    }
    std::int64_t CalendarSeconds() override
    {
        return state.config.startSeconds +
               static_cast<std::int64_t>(state.elapsedUnits / (kUnitsPerMs * 1000));
    }
    LocalTime Local() override
    {
        std::time_t seconds = static_cast<std::time_t>(CalendarSeconds());
        std::tm parts{};
        gmtime_r(&seconds, &parts);
        int ms = static_cast<int>((state.elapsedUnits / kUnitsPerMs) % 1000);
        return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_wday,
                         parts.tm_hour,        parts.tm_min,     parts.tm_sec,  ms};
    }
};

class HeadlessDialogs final : public platform::Dialogs
{
public:
    int MessageBox(const char* text, const char* caption, unsigned style) override
    {
        bool question = (style & 0x0F) != kMbOk;
        int answer = kIdOk;
        if (!state.answers.empty())
        {
            answer = state.answers.front();
            state.answers.pop_front();
        }
        else if (question)
        {
            // A question nobody will answer must not hang the run.
            std::fprintf(stderr, "headless: no answer queued for the box \"%s\": %s\n",
                         Cp932ToUtf8(caption).c_str(), Cp932ToUtf8(text).c_str());
            std::exit(3);
        }
        state.boxes.push_back(MessageBoxRecord{caption, text, style, answer});
        return answer;
    }
    void Beep() override
    {
        state.beeps += 1;
    }
};

} // namespace

void RunActions(int frame)
{
    auto range = state.script.equal_range(frame);
    for (auto it = range.first; it != range.second; ++it)
    {
        it->second.run();
    }
}

void Configure(const HeadlessConfig& config)
{
    state.config = config;
}

const HeadlessConfig& Config()
{
    return state.config;
}

void SetProgramPath(const std::string& path)
{
    state.config.programPath = path;
    OverrideProgramFilePath(path);
}

bool ParseStartTime(const std::string& text, std::int64_t& seconds)
{
    std::tm parts{};
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &parts.tm_year, &parts.tm_mon,
                    &parts.tm_mday, &parts.tm_hour, &parts.tm_min, &parts.tm_sec, &tail) != 6 ||
        parts.tm_year < 1970 || parts.tm_year > 9999 || parts.tm_mon < 1 || parts.tm_mon > 12 ||
        parts.tm_mday < 1 || parts.tm_mday > 31 || parts.tm_hour > 23 || parts.tm_min > 59 ||
        parts.tm_sec > 59)
    {
        return false;
    }
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    seconds = static_cast<std::int64_t>(timegm(&parts));
    return true;
}

void AdvanceClock(std::uint32_t ms)
{
    state.elapsedUnits += static_cast<std::uint64_t>(ms) * kUnitsPerMs;
    RenderAudioUpTo(state.elapsedUnits);
}

void AdvanceRefresh()
{
    state.elapsedUnits += kUnitsPerRefresh;
    RenderAudioUpTo(state.elapsedUnits);
}

void PushKey(int virtualKey, bool down)
{
    PostMessage(kMainWindow, down ? kWmKeyDown : kWmKeyUp,
                static_cast<std::uintptr_t>(virtualKey), down ? 1 : static_cast<std::intptr_t>(0xC0000001u));
}

void PushSysKey(int virtualKey, bool down)
{
    PostMessage(kMainWindow, down ? kWmSysKeyDown : kWmSysKeyUp,
                static_cast<std::uintptr_t>(virtualKey), down ? 0x20000001 : static_cast<std::intptr_t>(0xE0000001u));
}

void PushMouseMove(int x, int y)
{
    PostMessage(kMainWindow, kWmMouseMove, 0, PackPoint(x, y));
}

void PushMouseButton(int button, bool down, bool doubleClick)
{
    std::uint32_t id = 0;
    if (button == 1)
    {
        id = doubleClick ? kWmLButtonDblClk : (down ? kWmLButtonDown : kWmLButtonUp);
    }
    else
    {
        id = doubleClick ? kWmRButtonDblClk : (down ? kWmRButtonDown : kWmRButtonUp);
    }
    PostMessage(kMainWindow, id, 0, PackPoint(state.cursorX - state.window.x,
                                                     state.cursorY - state.window.y));
}

void PushActivate(bool active)
{
    PostMessage(kMainWindow, kWmActivateApp, active ? 1 : 0, 0);
}

void PushWindowMove(int clientLeft, int clientTop)
{
    state.window.x = clientLeft;
    state.window.y = clientTop;
    PostMessage(kMainWindow, kWmMove, 0, PackPoint(clientLeft, clientTop));
}

void PushClose()
{
    PostMessage(kMainWindow, kWmClose, 0, 0);
}

void SetCursorScreenPos(int x, int y)
{
    state.cursorX = x;
    state.cursorY = y;
}

void AddScriptAction(int frame, std::function<void()> run)
{
    state.script.emplace(frame, ScriptAction{std::move(run)});
}

int FramesStarted()
{
    return state.framesStarted;
}

void QueueAnswer(int answer)
{
    state.answers.push_back(answer);
}

const std::vector<MessageBoxRecord>& MessageBoxes()
{
    return state.boxes;
}

int BeepCount()
{
    return state.beeps;
}

const WindowRecord& Window()
{
    return state.window;
}

// The script file's text; empty when there is no script or it cannot be read.
static std::string ReadScriptText(const std::string& path)
{
    if (path.empty())
    {
        return "";
    }
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool LoadScriptFile(const std::string& path, std::string& error)
{
    std::ifstream file(path);
    if (!file)
    {
        error = "cannot read the input script " + path;
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    return LoadScript(text.str(), error);
}

} // namespace platform::headless

namespace platform::headless
{

bool Create(const Options& options, Backend& backend, std::string& error)
{
    HeadlessConfig config = state.config;
    if (!options.startTime.empty() && !ParseStartTime(options.startTime, config.startSeconds))
    {
        error = "--time takes YYYY-MM-DDTHH:MM:SS";
        return false;
    }
    // A recorded game replays from the time it was recorded at, unless --time says otherwise.
    std::string recorded =
        options.startTime.empty() ? RecordedStartTime(ReadScriptText(options.inputScript)) : "";
    if (!recorded.empty() && !ParseStartTime(recorded, config.startSeconds))
    {
        error = "the record's time line is not YYYY-MM-DDTHH:MM:SS";
        return false;
    }
    std::multimap<int, ScriptAction> script = std::move(state.script);
    state = HeadlessState{};
    state.config = config;
    state.script = std::move(script);
    state.frameLimit = options.frames;
    if (!options.inputScript.empty() && !LoadScriptFile(options.inputScript, error))
    {
        return false;
    }
    if (!options.captureDir.empty() && !StartCapture(options.captureDir, error))
    {
        return false;
    }
    OverrideProgramFilePath(config.programPath);
    OverrideSettingsFolder(config.settingsFolder);
    backend.window = std::make_unique<HeadlessWindow>();
    backend.events = std::make_unique<HeadlessEvents>();
    backend.clock = std::make_unique<HeadlessClock>();
    backend.dialogs = std::make_unique<HeadlessDialogs>();
    backend.joystick = MakeJoystick();
    backend.display = MakeDisplay();
    backend.audio = MakeAudioOut();
    RunActions(0);
    return true;
}

void Destroy()
{
    state.window.open = false;
}

} // namespace platform::headless
