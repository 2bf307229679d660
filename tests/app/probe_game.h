// A probe game for the shell's tests: it records what each frame of the game saw.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct FrameSeen
{
    std::uint32_t now;            // clock when the game's frame ran
    float frameSeconds;
    int blinkOn;
    std::uint32_t blinkNextTime;
    int modeChanged;
    int leftClick, leftButtonPressed, leftButtonHeld;
    int rightClick, rightButtonHeld;
    int mouseX, mouseY, mouseDX, mouseDY;
    int lastKey;
};

// Every frame the probe game ran, oldest first.
extern std::vector<FrameSeen> framesSeen;

// Runs inside the probe's frame after it records, when set.
extern std::function<void(int frame)> probeAction;
