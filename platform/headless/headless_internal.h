// What the headless backend's files share.
#pragma once

#include <functional>
#include <memory>
#include <string>

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
