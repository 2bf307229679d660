// What the headless backend's files share.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform
{
class Joystick;
class Display;
class AudioOut;
}

namespace platform::headless
{

struct ScriptAction
{
    std::function<void()> run; // what the line does when its frame comes
};

// One line of an input script: what it does and the frame it does it before.
struct TimedAction
{
    int frame;                 // 0: at start, before the program runs
    std::function<void()> run;
};

// Parses a script into its actions, in the order of its lines, without queuing them. False
// with "line N: reason", and no actions, when malformed.
bool ParseScript(const std::string& text, std::vector<TimedAction>& actions, std::string& error);

// Adds an action for the given frame (0: at start, before the program runs).
void AddScriptAction(int frame, std::function<void()> run);

// Runs the actions stamped with this frame.
void RunActions(int frame);

// Prepares the folder that presented frames are written to. False with a reason.
bool StartCapture(const std::string& folder, std::string& error);

// The joysticks the tests and the script control.
std::unique_ptr<platform::Joystick> MakeJoystick();

// The display the switches describe (headless_display.cpp).
std::unique_ptr<platform::Display> MakeDisplay();

// The output that keeps what it plays in memory (headless_audio.cpp).
std::unique_ptr<platform::AudioOut> MakeAudioOut();
// Mixes the frames due up to this clock time (in 1/60000 s since start).
void RenderAudioUpTo(std::uint64_t elapsedUnits);

} // namespace platform::headless
