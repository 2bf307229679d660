// Joysticks 0 and 1 as a game wants them: positions, three-way axis classes from the centre
// taken at set-up, keypad directions, buttons, button edges, holds and axis ramps. The reads
// themselves are the platform's (platform/joystick.h).
#include <algorithm>

#include "input/input.h"
#include "input/input_internal.h"
#include "platform/joystick.h"

namespace
{

struct JoystickRecord
{
    float xRamp;          // -100..100
    float yRamp;          // -100..100
    float rampRate;       // units per second, both ramps
    float hold[4];        // 0..100, buttons 1 to 4
    float holdRate;       // units per second
    std::int32_t edge[4]; // buttons 1 to 4: 0 up, 1 went down, 3 held, 2 went up
};

struct JoystickState
{
    JoystickRecord records[platform::kJoystickCount]; // one per joystick
    std::uint32_t centreX[platform::kJoystickCount];  // position at calibration; 0 if unread
    std::uint32_t centreY[platform::kJoystickCount];
};

JoystickState joy = {};

bool Valid(int joystick)
{
    return joystick >= 0 && joystick < platform::kJoystickCount;
}

// -1 at or below half the centre, +1 at or beyond one and a half centres, else 0.
int AxisClass(std::uint32_t position, std::uint32_t centre)
{
    std::uint64_t half = centre / 2;
    if (position <= half)
    {
        return -1;
    }
    if (position >= centre + half)
    {
        return 1;
    }
    return 0;
}

// Both axis classes from one position read; false (and 0, 0) when unreadable.
bool ReadClasses(int joystick, int& xClass, int& yClass)
{
    xClass = 0;
    yClass = 0;
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    if (!Valid(joystick) || !platform::ReadJoystickPosition(joystick, x, y))
    {
        return false;
    }
    xClass = AxisClass(x, joy.centreX[joystick]);
    yClass = AxisClass(y, joy.centreY[joystick]);
    return true;
}

// Advances button n's edge state (0 up, 1 went down, 3 held, 2 went up) and returns it.
int StepEdge(JoystickRecord& record, int n, bool down)
{
    std::int32_t& state = record.edge[n];
    if (down)
    {
        state = state == 0 ? 1 : 3;
    }
    else
    {
        state = (state == 1 || state == 3) ? 2 : 0;
    }
    if (InputHeldBack())
    {
        state = 0;
    }
    return state;
}

void AdvanceRamp(float& ramp, int direction, float frame, float rate)
{
    if (direction != 0)
    {
        ramp += static_cast<float>(direction) * rate * frame;
        if (ramp >= 100.0f)
        {
            ramp = 100.0f;
        }
        if (ramp <= -100.0f)
        {
            ramp = -100.0f;
        }
    }
    else if (ramp > 0.0f)
    {
        ramp -= frame * rate;
        if (ramp < 0.0f)
        {
            ramp = 0.0f;
        }
    }
    else if (ramp < 0.0f)
    {
        ramp += frame * rate;
        if (ramp > 0.0f)
        {
            ramp = 0.0f;
        }
    }
}

// Truncates a ramp or hold toward zero for the caller. Rates are the caller's to choose, and a
// negative one would run a value past its range; the result still stays in -100..100.
int Truncate(float value)
{
    if (value != value)
    {
        return 0;
    }
    if (value >= 100.0f)
    {
        return 100;
    }
    if (value <= -100.0f)
    {
        return -100;
    }
    return static_cast<int>(value);
}

bool ReadButtonBits(int joystick, std::uint32_t& bits)
{
    bits = 0;
    return Valid(joystick) && platform::ReadJoystickButtons(joystick, bits);
}

// Advances button n's hold by the frame time while it is down, or drops it; returns it.
int StepHold(JoystickRecord& record, int n, bool down)
{
    float& hold = record.hold[n];
    hold = down ? std::min(hold + frameSeconds * record.holdRate, 100.0f) : 0.0f;
    return Truncate(hold);
}

// Steps buttons 1 to 4 of one read into out; all 0, with the states kept, when unreadable.
void StepFour(int joystick, int out[4], int (*step)(JoystickRecord&, int, bool))
{
    std::uint32_t bits = 0;
    bool read = ReadButtonBits(joystick, bits);
    for (int n = 0; n < 4; ++n)
    {
        out[n] = read ? step(joy.records[joystick], n, ((bits >> n) & 1) != 0) : 0;
    }
}

} // namespace

void InitJoystick()
{
    platform::RereadJoystickConfig();
    CalibrateJoystick();
    for (JoystickRecord& record : joy.records)
    {
        record = JoystickRecord{};
    }
}

void CalibrateJoystick()
{
    for (int j = 0; j < platform::kJoystickCount; ++j)
    {
        std::uint32_t x = 0;
        std::uint32_t y = 0;
        platform::ReadJoystickPosition(j, x, y);
        joy.centreX[j] = x;
        joy.centreY[j] = y;
    }
}

void ClearJoystickRamps()
{
    for (JoystickRecord& record : joy.records)
    {
        record.xRamp = 0.0f;
        record.yRamp = 0.0f;
        for (float& hold : record.hold)
        {
            hold = 0.0f;
        }
    }
}

void SetJoystickRates(int joystick, float rampRate, float holdRate)
{
    if (Valid(joystick))
    {
        joy.records[joystick].rampRate = rampRate;
        joy.records[joystick].holdRate = holdRate;
    }
}

void GetJoystickCentre(int joystick, std::uint32_t& x, std::uint32_t& y)
{
    x = Valid(joystick) ? joy.centreX[joystick] : 0;
    y = Valid(joystick) ? joy.centreY[joystick] : 0;
}

int JoyPosition(int joystick, std::int32_t& x, std::int32_t& y)
{
    std::uint32_t readX = 0;
    std::uint32_t readY = 0;
    bool read = Valid(joystick) && platform::ReadJoystickPosition(joystick, readX, readY);
    x = static_cast<std::int32_t>(readX);
    y = static_cast<std::int32_t>(readY);
    return read ? 1 : 0;
}

int JoyPosition(std::int32_t& x, std::int32_t& y)
{
    return JoyPosition(0, x, y);
}

void JoyDirection(int joystick, int& xClass, int& yClass)
{
    ReadClasses(joystick, xClass, yClass);
}

int JoyDirection8(int joystick)
{
    int xClass = 0;
    int yClass = 0;
    ReadClasses(joystick, xClass, yClass);
    // Rows of the keypad from the top: 7 8 9, 4 5 6, 1 2 3.
    return 5 + xClass - 3 * yClass;
}

void JoyRamp(int joystick, int& xRamp, int& yRamp)
{
    xRamp = 0;
    yRamp = 0;
    int xClass = 0;
    int yClass = 0;
    if (!ReadClasses(joystick, xClass, yClass))
    {
        return;
    }
    JoystickRecord& record = joy.records[joystick];
    AdvanceRamp(record.xRamp, xClass, frameSeconds, record.rampRate);
    AdvanceRamp(record.yRamp, yClass, frameSeconds, record.rampRate);
    xRamp = Truncate(record.xRamp);
    yRamp = Truncate(record.yRamp);
}

int JoyButton(int joystick, int button)
{
    std::uint32_t bits = 0;
    if (button < 1 || button > 32 || !ReadButtonBits(joystick, bits))
    {
        return 0;
    }
    return (bits >> (button - 1)) & 1;
}

int JoyButton(int button)
{
    return JoyButton(0, button);
}

void JoyButtons(int joystick, int buttons[4])
{
    std::uint32_t bits = 0;
    ReadButtonBits(joystick, bits);
    for (int n = 0; n < 4; ++n)
    {
        buttons[n] = (bits >> n) & 1;
    }
}

int JoyButtonEdge(int joystick, int button)
{
    std::uint32_t bits = 0;
    if (button < 1 || button > 4 || !ReadButtonBits(joystick, bits))
    {
        return 0;
    }
    return StepEdge(joy.records[joystick], button - 1, ((bits >> (button - 1)) & 1) != 0);
}

void JoyButtonEdges(int joystick, int edges[4])
{
    StepFour(joystick, edges, StepEdge);
}

int JoyButtonHold(int joystick, int button)
{
    if (!Valid(joystick) || button < 1 || button > 4)
    {
        return 0;
    }
    // An unreadable joystick lets go of the hold, as a released button does.
    return StepHold(joy.records[joystick], button - 1, JoyButton(joystick, button) != 0);
}

void JoyButtonHolds(int joystick, int holds[4])
{
    StepFour(joystick, holds, StepHold);
}
