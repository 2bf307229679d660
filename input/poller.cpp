// The per-frame input poller: the arrow keys, Space and joystick 0 merged into one record of
// held and one-shot bits, the key state machines behind it, and the wait for one of several
// keys or mouse buttons.
#include "input/input.h"
#include "input/input_internal.h"
#include "platform/platform.h"

InputState inputState = {};
std::int32_t upKeyState = 0, downKeyState = 0, leftKeyState = 0, rightKeyState = 0,
             spaceKeyState = 0;
std::int32_t joyX = 0, joyY = 0;

namespace
{

// Stick positions beyond these count as pushed, in the driver's 0..65535.
constexpr std::int32_t kStickLow = 10000;
constexpr std::int32_t kStickHigh = 60000;

enum class WaitPhase
{
    Idle,    // waiting for every key and button to be up
    Armed,   // waiting for a listed key or button to go down
    Matched, // waiting for it to come up again
};

struct PollerState
{
    WaitPhase waitPhase = WaitPhase::Idle; // WaitKeyOrButton's progress
    int waitCode = 0;                      // the code it matched
};

PollerState poller;

// Sets bit in held and trigger when active; returns active.
bool SetWhen(InputState& input, bool active, std::int32_t bit)
{
    if (active)
    {
        input.held |= bit;
        input.trigger |= bit;
    }
    return active;
}

void ClearBits(InputState& input, std::int32_t bits)
{
    input.held &= ~bits;
    input.trigger &= ~bits;
}

} // namespace

void UpdateKeyState(int virtualKey, std::int32_t& keyState)
{
    bool down = (platform::GetKeyState(virtualKey) & 0x8000) != 0;
    if (down)
    {
        // A key pressed again on the frame right after its release goes straight to held.
        keyState = keyState != kKeyUp ? kKeyHeld : kKeyPressed;
    }
    else
    {
        keyState = (keyState == kKeyPressed || keyState == kKeyHeld) ? kKeyReleased : kKeyUp;
    }
    if (InputHeldBack())
    {
        keyState = kKeyUp;
    }
}

void ReadArrowKeys()
{
    UpdateKeyState(platform::kVkUp, upKeyState);
    UpdateKeyState(platform::kVkDown, downKeyState);
    UpdateKeyState(platform::kVkLeft, leftKeyState);
    UpdateKeyState(platform::kVkRight, rightKeyState);
    UpdateKeyState(platform::kVkSpace, spaceKeyState);
}

void PollInput(InputState& input)
{
    ReadArrowKeys();

    // An unreadable joystick reports 0 and 0, which must not read as up and left.
    bool stick = JoyPosition(joyX, joyY) != 0;

    // Up wins over down and left over right; setting one of a pair leaves the other as it
    // was, so only a stick back in the middle clears both.
    if (!SetWhen(input, (stick && joyY < kStickLow) || upKeyState == kKeyHeld, kInputUp) &&
        !SetWhen(input, (stick && joyY > kStickHigh) || downKeyState == kKeyHeld, kInputDown))
    {
        ClearBits(input, kInputUp | kInputDown);
    }
    if (!SetWhen(input, (stick && joyX < kStickLow) || leftKeyState == kKeyHeld, kInputLeft) &&
        !SetWhen(input, (stick && joyX > kStickHigh) || rightKeyState == kKeyHeld, kInputRight))
    {
        ClearBits(input, kInputLeft | kInputRight);
    }

    static constexpr std::int32_t kButtonBits[4] = {kInputButton1, kInputButton2, kInputButton3,
                                                    kInputButton4};
    for (int n = 0; n < 4; ++n)
    {
        std::int32_t bit = kButtonBits[n];
        if (input.trigger & bit)
        {
            input.buttonLatch[n] = 1;
        }
        bool active = JoyButton(n + 1) != 0 || (n == 0 && spaceKeyState == kKeyHeld);
        if (!SetWhen(input, active, bit))
        {
            ClearBits(input, bit);
            input.buttonLatch[n] = 0;
        }
        if (input.buttonLatch[n] == 1)
        {
            input.trigger &= ~bit;
        }
    }

    // Directions reach trigger only on the poll where the set of them changes.
    bool same = (input.lastTrigger & kInputDirections) == (input.trigger & kInputDirections);
    input.lastTrigger = input.trigger;
    if (same)
    {
        input.trigger &= kInputButtons;
    }
}

int WaitKeyOrButton(const int* codes)
{
    if (poller.waitPhase == WaitPhase::Idle)
    {
        if (lastKey != 0 || dragButton != 0)
        {
            return 0;
        }
        poller.waitPhase = WaitPhase::Armed;
    }
    if (poller.waitPhase == WaitPhase::Armed)
    {
        for (const int* code = codes; code != nullptr && *code != 0; ++code)
        {
            if (*code == lastKeyLatched || *code == lastButton)
            {
                poller.waitCode = *code;
                poller.waitPhase = WaitPhase::Matched;
                break;
            }
        }
        if (poller.waitPhase != WaitPhase::Matched)
        {
            return 0;
        }
    }
    bool button = poller.waitCode == 1 || poller.waitCode == 2;
    if (button ? lastButton != poller.waitCode : lastKeyLatched != poller.waitCode)
    {
        // Something else was pressed meanwhile: start over once everything is up, unless the
        // matched input is already up, in which case it still counts.
        poller.waitPhase = WaitPhase::Idle;
    }
    if (button ? dragButton != 0 : lastKey != 0)
    {
        return 0;
    }
    poller.waitPhase = WaitPhase::Idle;
    lastKeyLatched = 0;
    lastButton = 0;
    return poller.waitCode;
}
