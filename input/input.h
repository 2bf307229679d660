// Input: the per-frame poller that merges the keyboard and joystick 0 into one record, the
// key state machines, and the joystick services for joysticks 0 and 1.
#pragma once

#include <cstdint>

// ---- Input poller and keyboard --------------------------------------------------------------

// Bits of held and trigger.
constexpr std::int32_t kInputUp = 128;
constexpr std::int32_t kInputDown = 64;
constexpr std::int32_t kInputLeft = 32;
constexpr std::int32_t kInputRight = 16;
constexpr std::int32_t kInputButton1 = 8;
constexpr std::int32_t kInputButton2 = 4;
constexpr std::int32_t kInputButton3 = 2;
constexpr std::int32_t kInputButton4 = 1;
constexpr std::int32_t kInputDirections = 0xF0;
constexpr std::int32_t kInputButtons = 0x0F;

struct InputState
{
    std::int32_t held;           // inputs active this frame
    std::int32_t trigger;        // buttons that went down, directions that changed
    std::int32_t buttonLatch[4]; // per button (bits 8, 4, 2, 1): trigger already reported
    std::int32_t lastTrigger;    // the previous poll's direction bits
};

extern InputState inputState; // the record the game polls into

// Key states: 0 up, 1 went down this frame, 3 held, 2 went up this frame.
constexpr std::int32_t kKeyUp = 0;
constexpr std::int32_t kKeyPressed = 1;
constexpr std::int32_t kKeyReleased = 2;
constexpr std::int32_t kKeyHeld = 3;

extern std::int32_t upKeyState, downKeyState, leftKeyState, rightKeyState, spaceKeyState;
extern std::int32_t joyX, joyY; // joystick 0 at the last poll, 0..65535; 0 and 0 when unread

// Merges the arrow keys, Space and joystick 0 into input; once per frame.
void PollInput(InputState& input);

// Advances one key's state from the key's up or down; forced to 0 while input is held back
// (raw-key mode, a running transition, the help overlay).
void UpdateKeyState(int virtualKey, std::int32_t& keyState);

// Updates the states of Up, Down, Left, Right and Space, in that order.
void ReadArrowKeys();

// Polls for one of codes (virtual keys, or 1 and 2 for the left and right mouse buttons; the
// list ends with 0). Returns 0 until one of them has been pressed and released, then its code
// once. Call once per frame.
int WaitKeyOrButton(const int* codes);

// ---- Joysticks ------------------------------------------------------------------------------

// Every operation takes joystick 0 or 1; any other number reads as a joystick that is absent.

// Rereads the driver's configuration, takes the centres, zeroes every record.
void InitJoystick();

// Takes the centre of both joysticks from their positions now; 0 and 0 when unreadable.
void CalibrateJoystick();

// Both joysticks: ramps and holds back to 0; rates and edge states stay.
void ClearJoystickRamps();

// Speeds of the joystick's ramps and button holds, in units per second.
void SetJoystickRates(int joystick, float rampRate, float holdRate);

// The centre taken at calibration.
void GetJoystickCentre(int joystick, std::uint32_t& x, std::uint32_t& y);

// Position 0..65535 (0 left and top). Returns 1 when read, else 0 with x and y 0.
int JoyPosition(int joystick, std::int32_t& x, std::int32_t& y);
// The same for joystick 0.
int JoyPosition(std::int32_t& x, std::int32_t& y);

// -1, 0 or +1 per axis (left/up is -1); both 0 when unreadable.
void JoyDirection(int joystick, int& xClass, int& yClass);

// Direction as a numeric-keypad digit (8 up, 6 right, ...); 5 when centred or unreadable.
int JoyDirection8(int joystick);

// Axis ramps, -100..100, moved by the ramp rate and frameSeconds; 0 and 0 when unreadable.
void JoyRamp(int joystick, int& xRamp, int& yRamp);

// 1 while button (1 to 4) is down; 0 when up or unreadable.
int JoyButton(int joystick, int button);
// The same for joystick 0.
int JoyButton(int button);

// Buttons 1 to 4 down (1) or up (0); all 0 when unreadable.
void JoyButtons(int joystick, int buttons[4]);

// New edge state of button 1 to 4 (0 up, 1 went down, 3 held, 2 went up); 0 when unreadable.
int JoyButtonEdge(int joystick, int button);
void JoyButtonEdges(int joystick, int edges[4]);

// Button hold value 0..100, grown by the hold rate and frameSeconds while held, 0 when up.
int JoyButtonHold(int joystick, int button);
void JoyButtonHolds(int joystick, int holds[4]);
