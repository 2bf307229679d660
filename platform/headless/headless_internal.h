// What the headless backend's files share.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace platform
{
class Joystick;
class Display;
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

} // namespace platform::headless
