// The input script: one action per line, "FRAME COMMAND ARGS", delivered just before that
// frame runs. Blank lines and lines starting with '#' are skipped.
//   FRAME key NAME down|up        a key (Up, Down, Left, Right, Space, Escape, F1..F12, ...)
//   FRAME press NAME              down now and up on the next frame
//   FRAME syskey NAME down|up     a key with Alt held (Alt, F10 and F4 arrive this way too)
//   FRAME mouse X Y               the mouse moves to client position X, Y
//   FRAME lbutton|rbutton down|up|double
//   FRAME cursor X Y              the cursor moves to screen position X, Y (no message)
//   FRAME answer ok|yes|no        the answer to the next question box
//   FRAME activate 0|1            the program loses or gains activation
//   FRAME move X Y                the window's client area moves to screen position X, Y
//   FRAME close                   the window's close button
//   FRAME wait MS                 the clock moves on by MS milliseconds
//   FRAME joy INDEX X Y BUTTONS   joystick 0 or 1 plugged in at X, Y (0..65535) with the
//                                 button bits (1 for button 1, 2 for button 2, ...)
//   FRAME plug|unplug INDEX       joystick 0 or 1 plugged in at rest, or unplugged
//   FRAME lose                    every surface is lost, as when another program takes the
//                                 display
#include <cctype>
#include <sstream>

#include "platform/headless/control.h"
#include "platform/headless/headless_internal.h"
#include "platform/platform.h"
#include "platform/record.h"

namespace platform::headless
{
namespace
{

std::string Lower(std::string text)
{
    for (char& c : text)
    {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool ReadInt(std::istringstream& in, int& value)
{
    std::string word;
    if (!(in >> word))
    {
        return false;
    }
    char* end = nullptr;
    long parsed = std::strtol(word.c_str(), &end, 10);
    if (end == word.c_str() || *end != '\0' || parsed < -100000 || parsed > 100000000)
    {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

// Parses one line's command into an action; returns a reason when malformed.
std::string ParseAction(int frame, const std::string& command, std::istringstream& in)
{
    std::string word;
    int a = 0;
    int b = 0;
    if (command == "key" || command == "syskey" || command == "press")
    {
        if (!(in >> word))
        {
            return "missing key name";
        }
        int key = KeyCodeFromName(word);
        if (key < 0)
        {
            return "unknown key " + word;
        }
        if (command == "press")
        {
            AddScriptAction(frame, [key] { PushKey(key, true); });
            AddScriptAction(frame + 1, [key] { PushKey(key, false); });
            return "";
        }
        std::string how;
        if (!(in >> how) || (how != "down" && how != "up"))
        {
            return "expected down or up";
        }
        bool down = how == "down";
        bool sys = command == "syskey";
        AddScriptAction(frame, [key, down, sys] {
            sys ? PushSysKey(key, down) : PushKey(key, down);
        });
        return "";
    }
    if (command == "mouse" || command == "cursor" || command == "move")
    {
        if (!ReadInt(in, a) || !ReadInt(in, b))
        {
            return "expected X Y";
        }
        if (command == "mouse")
        {
            AddScriptAction(frame, [a, b] { PushMouseMove(a, b); });
        }
        else if (command == "cursor")
        {
            AddScriptAction(frame, [a, b] { SetCursorScreenPos(a, b); });
        }
        else
        {
            AddScriptAction(frame, [a, b] { PushWindowMove(a, b); });
        }
        return "";
    }
    if (command == "lbutton" || command == "rbutton")
    {
        int button = command == "lbutton" ? 1 : 2;
        if (!(in >> word) || (word != "down" && word != "up" && word != "double"))
        {
            return "expected down, up or double";
        }
        bool down = word != "up";
        bool twice = word == "double";
        AddScriptAction(frame, [button, down, twice] { PushMouseButton(button, down, twice); });
        return "";
    }
    if (command == "answer")
    {
        if (!(in >> word))
        {
            return "expected ok, yes or no";
        }
        word = Lower(word);
        int answer = word == "ok" ? kIdOk : word == "yes" ? kIdYes : word == "no" ? kIdNo : 0;
        if (answer == 0)
        {
            return "expected ok, yes or no";
        }
        AddScriptAction(frame, [answer] { QueueAnswer(answer); });
        return "";
    }
    if (command == "activate")
    {
        if (!ReadInt(in, a) || (a != 0 && a != 1))
        {
            return "expected 0 or 1";
        }
        AddScriptAction(frame, [a] { PushActivate(a == 1); });
        return "";
    }
    if (command == "close")
    {
        AddScriptAction(frame, [] { PushClose(); });
        return "";
    }
    if (command == "lose")
    {
        AddScriptAction(frame, [] { LoseAllSurfaces(); });
        return "";
    }
    if (command == "joy")
    {
        int x = 0;
        int y = 0;
        int buttons = 0;
        if (!ReadInt(in, a) || (a != 0 && a != 1) || !ReadInt(in, x) || !ReadInt(in, y) ||
            !ReadInt(in, buttons) || x < 0 || x > 65535 || y < 0 || y > 65535 || buttons < 0 ||
            buttons > 65535)
        {
            return "expected INDEX (0 or 1) X Y (0..65535) BUTTONS (0..65535)";
        }
        AddScriptAction(frame, [a, x, y, buttons] {
            SetJoystick(a, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                        static_cast<std::uint32_t>(buttons));
        });
        return "";
    }
    if (command == "plug" || command == "unplug")
    {
        if (!ReadInt(in, a) || (a != 0 && a != 1))
        {
            return "expected 0 or 1";
        }
        if (command == "plug")
        {
            AddScriptAction(frame, [a] { PlugJoystick(a); });
        }
        else
        {
            AddScriptAction(frame, [a] { UnplugJoystick(a); });
        }
        return "";
    }
    if (command == "wait")
    {
        if (!ReadInt(in, a) || a < 0)
        {
            return "expected a number of milliseconds";
        }
        AddScriptAction(frame, [a] { AdvanceClock(static_cast<std::uint32_t>(a)); });
        return "";
    }
    return "unknown command " + command;
}

} // namespace

bool LoadScript(const std::string& text, std::string& error)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line))
    {
        number += 1;
        std::istringstream in(line);
        std::string first;
        if (!(in >> first) || first[0] == '#')
        {
            continue;
        }
        char* end = nullptr;
        long frame = std::strtol(first.c_str(), &end, 10);
        std::string command;
        if (end == first.c_str() || *end != '\0' || frame < 0 || frame > 100000000 ||
            !(in >> command))
        {
            error = "line " + std::to_string(number) + ": expected FRAME COMMAND";
            return false;
        }
        std::string reason = ParseAction(static_cast<int>(frame), Lower(command), in);
        std::string extra;
        if (reason.empty() && (in >> extra) && extra[0] != '#')
        {
            reason = "unexpected " + extra;
        }
        if (!reason.empty())
        {
            error = "line " + std::to_string(number) + ": " + reason;
            return false;
        }
    }
    return true;
}

} // namespace platform::headless
