// Input: the per-frame poller and the joysticks.
#pragma once

// Sets up both joysticks.
void InitJoystick();

#include <cstdint>

// Bits of held and trigger.
constexpr std::int32_t kInputUp = 128;
constexpr std::int32_t kInputDown = 64;
constexpr std::int32_t kInputLeft = 32;
constexpr std::int32_t kInputRight = 16;
constexpr std::int32_t kInputDirections = 0xF0;
constexpr std::int32_t kInputButtons = 0x0F;

struct InputState
{
    std::int32_t held;           // inputs active this frame
    std::int32_t trigger;        // buttons that went down, directions that changed
    std::int32_t buttonLatch[4]; // per button (bits 8, 4, 2, 1): trigger already reported
    std::int32_t lastTrigger;    // the previous poll's direction bits
};
