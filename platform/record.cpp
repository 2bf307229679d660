// Recorded play: window messages and per-frame state turned into input-script lines. The
// replay side is platform/headless/headless_script.cpp.
#include "platform/record.h"

#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>

#include "platform/joystick.h"
#include "platform/platform.h"

namespace platform
{
namespace
{

// The replay's clock unit: 1/60000 s, so a 60 Hz refresh is a whole 1000.
constexpr std::int64_t kUnitsPerMs = 60;
constexpr std::int64_t kUnitsPerRefresh = 1000;

const std::map<std::string, int>& KeyNames()
{
    static const std::map<std::string, int> names = {
        {"backspace", 8}, {"tab", 9},      {"enter", 13},  {"return", 13}, {"shift", 16},
        {"ctrl", 17},     {"control", 17}, {"alt", 18},    {"pause", 19},  {"escape", 27},
        {"esc", 27},      {"space", 32},   {"pageup", 33}, {"pagedown", 34}, {"end", 35},
        {"home", 36},     {"left", 37},    {"up", 38},     {"right", 39},  {"down", 40},
        {"insert", 45},   {"delete", 46},
    };
    return names;
}

std::string Lower(std::string text)
{
    for (char& c : text)
    {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

struct JoystickSeen
{
    bool plugged = false; // the replay starts with both unplugged
    std::uint32_t x = 0, y = 0, buttons = 0;
};

struct RecordState
{
    std::ofstream file;                       // open while recording
    int framesStarted = 0;                    // frames begun since the record started
    std::chrono::steady_clock::time_point start; // when the record started
    std::int64_t modelUnits = 0;              // the replay's clock since the start
    bool cursorKnown = false;
    int cursorX = 0, cursorY = 0;             // the cursor as last written
    std::array<JoystickSeen, kJoystickCount> joysticks{};
};

RecordState record;

void Line(const std::string& text)
{
    record.file << record.framesStarted + 1 << ' ' << text << '\n';
}

int Low16(std::intptr_t value)
{
    return static_cast<std::int16_t>(static_cast<std::uint32_t>(value) & 0xFFFF);
}

int High16(std::intptr_t value)
{
    return static_cast<std::int16_t>((static_cast<std::uint32_t>(value) >> 16) & 0xFFFF);
}

void RecordJoysticks()
{
    for (int i = 0; i < kJoystickCount; ++i)
    {
        JoystickSeen now;
        now.plugged = ReadJoystickPosition(i, now.x, now.y) && ReadJoystickButtons(i, now.buttons);
        JoystickSeen& seen = record.joysticks[static_cast<std::size_t>(i)];
        if (now.plugged == seen.plugged &&
            (!now.plugged || (now.x == seen.x && now.y == seen.y && now.buttons == seen.buttons)))
        {
            continue;
        }
        if (now.plugged)
        {
            Line("joy " + std::to_string(i) + " " + std::to_string(now.x) + " " +
                 std::to_string(now.y) + " " + std::to_string(now.buttons & 0xFFFF));
        }
        else
        {
            Line("unplug " + std::to_string(i));
        }
        seen = now;
    }
}

} // namespace

int KeyCodeFromName(const std::string& name)
{
    std::string lower = Lower(name);
    auto it = KeyNames().find(lower);
    if (it != KeyNames().end())
    {
        return it->second;
    }
    if (lower.size() == 1 && std::isalnum(static_cast<unsigned char>(lower[0])))
    {
        return std::toupper(static_cast<unsigned char>(lower[0]));
    }
    if (lower.size() >= 2 && lower[0] == 'f')
    {
        int n = std::atoi(lower.c_str() + 1);
        if (n >= 1 && n <= 12 && lower.compare(1, std::string::npos, std::to_string(n)) == 0)
        {
            return 111 + n;
        }
    }
    return -1;
}

std::string KeyNameFromCode(int virtualKey)
{
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
    {
        return std::string(1, static_cast<char>(virtualKey));
    }
    if (virtualKey >= 112 && virtualKey <= 123)
    {
        return "F" + std::to_string(virtualKey - 111);
    }
    for (const auto& [name, code] : KeyNames())
    {
        // The first name in order stands for codes with two ("enter" before "return").
        if (code == virtualKey)
        {
            std::string shown = name;
            shown[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(shown[0])));
            return shown;
        }
    }
    return "";
}

bool StartRecording(const std::string& path, std::string& error)
{
    record = RecordState{};
    record.file.open(path, std::ios::out | std::ios::trunc);
    if (!record.file)
    {
        error = "cannot write the record " + path;
        return false;
    }
    auto wall = std::chrono::system_clock::now().time_since_epoch();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(wall).count();
    std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S", &parts);
    record.file << "# Plonder input record; replay: plonder --headless --input FILE\n"
                << "# time " << when << "\n"
                // The part second already gone, so the replay's seconds turn when these did.
                << "0 wait " << ms % 1000 << "\n";
    record.start = std::chrono::steady_clock::now();
    return true;
}

void StopRecording()
{
    if (record.file.is_open())
    {
        record.file.close();
    }
}

bool Recording()
{
    return record.file.is_open();
}

void RecordInput(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (!Recording())
    {
        return;
    }
    const std::string point = std::to_string(Low16(lParam)) + " " + std::to_string(High16(lParam));
    switch (id)
    {
    case kWmKeyDown:
    case kWmKeyUp:
    case kWmSysKeyDown:
    case kWmSysKeyUp:
    {
        std::string name = KeyNameFromCode(static_cast<int>(wParam));
        if (name.empty())
        {
            return; // no key the replay knows
        }
        bool sys = id == kWmSysKeyDown || id == kWmSysKeyUp;
        bool down = id == kWmKeyDown || id == kWmSysKeyDown;
        Line(std::string(sys ? "syskey " : "key ") + name + (down ? " down" : " up"));
        return;
    }
    case kWmMouseMove: Line("mouse " + point); return;
    case kWmLButtonDown: Line("lbutton down"); return;
    case kWmLButtonUp: Line("lbutton up"); return;
    case kWmLButtonDblClk: Line("lbutton double"); return;
    case kWmRButtonDown: Line("rbutton down"); return;
    case kWmRButtonUp: Line("rbutton up"); return;
    case kWmRButtonDblClk: Line("rbutton double"); return;
    case kWmActivateApp: Line(std::string("activate ") + (wParam != 0 ? "1" : "0")); return;
    case kWmMove: Line("move " + point); return;
    case kWmClose: Line("close"); return;
    default: return;
    }
}

void RecordFrameStart()
{
    if (!Recording())
    {
        return;
    }
    int x = 0;
    int y = 0;
    GetCursorPos(x, y);
    if (!record.cursorKnown || x != record.cursorX || y != record.cursorY)
    {
        Line("cursor " + std::to_string(x) + " " + std::to_string(y));
        record.cursorKnown = true;
        record.cursorX = x;
        record.cursorY = y;
    }
    RecordJoysticks();
    // Time the frames took beyond what the replay's clock will count for them.
    auto real = std::chrono::steady_clock::now() - record.start;
    std::int64_t realUnits =
        std::chrono::duration_cast<std::chrono::microseconds>(real).count() * kUnitsPerMs / 1000;
    std::int64_t behindMs = (realUnits - record.modelUnits) / kUnitsPerMs;
    if (behindMs >= 1)
    {
        Line("wait " + std::to_string(behindMs));
        record.modelUnits += behindMs * kUnitsPerMs;
    }
    record.framesStarted += 1;
    record.file.flush();
}

void RecordRefreshWait()
{
    if (Recording())
    {
        record.modelUnits += kUnitsPerRefresh;
    }
}

void RecordWaitPast(std::uint32_t deadlineMs, std::uint32_t nowMs)
{
    if (Recording() && nowMs <= deadlineMs)
    {
        record.modelUnits += (static_cast<std::int64_t>(deadlineMs - nowMs) + 1) * kUnitsPerMs;
    }
}

std::string RecordedStartTime(const std::string& script)
{
    std::size_t at = 0;
    while (at < script.size())
    {
        std::size_t end = script.find('\n', at);
        std::string line = script.substr(at, end == std::string::npos ? end : end - at);
        at = end == std::string::npos ? script.size() : end + 1;
        if (line.rfind("# time ", 0) == 0 && line.size() >= 26)
        {
            return line.substr(7, 19);
        }
    }
    return "";
}

} // namespace platform
