// The input poller: key state machines, direction and button triggers, the joystick's part,
// holding input back, and the wait for one of several keys or buttons.
#include <gtest/gtest.h>

#include <vector>

#include "app/app.h"
#include "draw/draw.h"
#include "input/input.h"
#include "system/system.h"
#include "tests/support/headless.h"

namespace
{

using platform::headless::PushKey;

// Takes the waiting messages, as the main loop does before a frame, then polls.
InputState& Poll()
{
    platform::Message message;
    while (platform::PeekMessage(message))
    {
    }
    PollInput(inputState);
    return inputState;
}

struct Frame
{
    std::int32_t held;
    std::int32_t trigger;
};

Frame PollFrame()
{
    const InputState& input = Poll();
    return Frame{input.held, input.trigger};
}

class Poller : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testing_support::StartHeadless();
    }
};

TEST_F(Poller, KeyTappedForOneFrameGivesNothing)
{
    PushKey(platform::kVkUp, true);
    Frame first = PollFrame();
    PushKey(platform::kVkUp, false);
    Frame second = PollFrame();
    Frame third = PollFrame();
    for (const Frame& f : {first, second, third})
    {
        EXPECT_EQ(f.held, 0);
        EXPECT_EQ(f.trigger, 0);
    }
    EXPECT_EQ(upKeyState, kKeyUp);
}

TEST_F(Poller, HeldKeyTriggersOnceOnItsSecondFrame)
{
    PushKey(platform::kVkLeft, true);
    std::vector<Frame> frames;
    for (int i = 0; i < 5; ++i)
    {
        frames.push_back(PollFrame());
    }
    PushKey(platform::kVkLeft, false);
    frames.push_back(PollFrame());

    EXPECT_EQ(frames[0].held, 0);
    EXPECT_EQ(frames[0].trigger, 0);
    EXPECT_EQ(frames[1].held, kInputLeft);
    EXPECT_EQ(frames[1].trigger, kInputLeft);
    for (int i = 2; i < 5; ++i)
    {
        EXPECT_EQ(frames[i].held, kInputLeft) << i;
        EXPECT_EQ(frames[i].trigger, 0) << i;
    }
    // Releasing is a change of the set too, but it leaves no direction to report.
    EXPECT_EQ(frames[5].held, 0);
    EXPECT_EQ(frames[5].trigger, 0);
}

TEST_F(Poller, SecondDirectionAndReleaseOfOneOfTwoAreNewTriggers)
{
    PushKey(platform::kVkUp, true);
    PollFrame();
    EXPECT_EQ(PollFrame().trigger, kInputUp);
    PushKey(platform::kVkLeft, true);
    EXPECT_EQ(PollFrame().trigger, 0); // left just went down: not yet held
    Frame both = PollFrame();
    EXPECT_EQ(both.held, kInputUp | kInputLeft);
    EXPECT_EQ(both.trigger, kInputUp | kInputLeft);
    EXPECT_EQ(PollFrame().trigger, 0);
    PushKey(platform::kVkLeft, false);
    Frame released = PollFrame();
    EXPECT_EQ(released.held, kInputUp);
    EXPECT_EQ(released.trigger, kInputUp);
}

TEST_F(Poller, UpWinsOverDownAndLeftOverRight)
{
    for (int key : {platform::kVkUp, platform::kVkDown, platform::kVkLeft, platform::kVkRight})
    {
        PushKey(key, true);
    }
    PollFrame();
    Frame f = PollFrame();
    EXPECT_EQ(f.held, kInputUp | kInputLeft);
    EXPECT_EQ(f.trigger, kInputUp | kInputLeft);
}

TEST_F(Poller, SpaceIsButtonOneOncePerPressAndRepressRightAfterReleaseCounts)
{
    PushKey(platform::kVkSpace, true);
    EXPECT_EQ(PollFrame().trigger, 0);
    Frame pressed = PollFrame();
    EXPECT_EQ(pressed.held, kInputButton1);
    EXPECT_EQ(pressed.trigger, kInputButton1);
    Frame held = PollFrame();
    EXPECT_EQ(held.held, kInputButton1);
    EXPECT_EQ(held.trigger, 0);
    PushKey(platform::kVkSpace, false);
    EXPECT_EQ(PollFrame().held, 0);
    // Down again on the very next frame: from "went up" straight to held.
    PushKey(platform::kVkSpace, true);
    Frame again = PollFrame();
    EXPECT_EQ(spaceKeyState, kKeyHeld);
    EXPECT_EQ(again.trigger, kInputButton1);
}

TEST_F(Poller, KeysReadReleasedWhileInputIsHeldBackAndStartOverAfter)
{
    struct Case
    {
        const char* name;
        int* flag;
    };
    for (Case c : {Case{"raw keys", &rawKeyMode}, Case{"transition", &transitionStep},
                   Case{"overlay", &overlayShown}})
    {
        SCOPED_TRACE(c.name);
        PushKey(platform::kVkDown, true);
        PollFrame();
        *c.flag = 1;
        for (int i = 0; i < 3; ++i)
        {
            Frame f = PollFrame();
            EXPECT_EQ(f.held, 0);
            EXPECT_EQ(f.trigger, 0);
            EXPECT_EQ(downKeyState, kKeyUp);
        }
        *c.flag = 0;
        // Still down, but it starts again from "went down".
        EXPECT_EQ(PollFrame().held, 0);
        EXPECT_EQ(downKeyState, kKeyPressed);
        Frame f = PollFrame();
        EXPECT_EQ(f.held, kInputDown);
        EXPECT_EQ(f.trigger, kInputDown);
        PushKey(platform::kVkDown, false);
        PollFrame();
        PollFrame();
    }
}

TEST_F(Poller, WithoutJoystickNoDirectionAndNoJoystickButtons)
{
    // An absent joystick reads as 0, 0: that must not turn into up and left.
    for (int i = 0; i < 3; ++i)
    {
        Frame f = PollFrame();
        EXPECT_EQ(f.held, 0);
        EXPECT_EQ(f.trigger, 0);
    }
    EXPECT_EQ(joyX, 0);
    EXPECT_EQ(joyY, 0);
}

TEST_F(Poller, StickThresholdsAreStrict)
{
    using platform::headless::SetJoystick;
    struct Case
    {
        std::uint32_t x, y;
        std::int32_t held;
    };
    const Case cases[] = {
        {32767, 9999, kInputUp},     {32767, 10000, 0},       {32767, 60000, 0},
        {32767, 60001, kInputDown},  {9999, 32767, kInputLeft}, {10000, 32767, 0},
        {60000, 32767, 0},           {60001, 32767, kInputRight},
        {0, 65535, kInputLeft | kInputDown},
    };
    for (const Case& c : cases)
    {
        SetJoystick(0, 32767, 32767, 0);
        PollFrame();
        SetJoystick(0, c.x, c.y, 0);
        Frame f = PollFrame();
        EXPECT_EQ(f.held, c.held) << c.x << "," << c.y;
        EXPECT_EQ(f.trigger, c.held) << c.x << "," << c.y;
        EXPECT_EQ(joyX, static_cast<std::int32_t>(c.x));
        EXPECT_EQ(joyY, static_cast<std::int32_t>(c.y));
    }
}

TEST_F(Poller, StickFromDownToUpKeepsBothUntilCentred)
{
    using platform::headless::SetJoystick;
    SetJoystick(0, 32767, 65535, 0);
    EXPECT_EQ(PollFrame().trigger, kInputDown);
    EXPECT_EQ(PollFrame().trigger, 0);
    SetJoystick(0, 32767, 0, 0);
    Frame f = PollFrame();
    EXPECT_EQ(f.held, kInputUp | kInputDown);
    EXPECT_EQ(f.trigger, kInputUp);
    SetJoystick(0, 32767, 32767, 0);
    Frame centred = PollFrame();
    EXPECT_EQ(centred.held, 0);
    EXPECT_EQ(centred.trigger, 0);

    // Flipped on the very next poll, down is still in the trigger word: two directions,
    // which the game ignores.
    SetJoystick(0, 32767, 65535, 0);
    PollFrame();
    SetJoystick(0, 32767, 0, 0);
    EXPECT_EQ(PollFrame().trigger, kInputUp | kInputDown);
}

TEST_F(Poller, UnpluggedStickLeavesNoStuckDirection)
{
    using platform::headless::SetJoystick;
    SetJoystick(0, 0, 32767, 0);
    EXPECT_EQ(PollFrame().held, kInputLeft);
    platform::headless::UnplugJoystick(0);
    Frame f = PollFrame();
    EXPECT_EQ(f.held, 0);
    EXPECT_EQ(f.trigger, 0);
    // Plugged in again still pushed: a new trigger.
    SetJoystick(0, 0, 32767, 0);
    EXPECT_EQ(PollFrame().trigger, kInputLeft);
}

TEST_F(Poller, JoystickButtonsMapToTheFourButtonBitsAndTriggerAtOnce)
{
    using platform::headless::SetJoystick;
    struct Case
    {
        std::uint32_t buttons;
        std::int32_t bit;
    };
    for (Case c : {Case{1, kInputButton1}, Case{2, kInputButton2}, Case{4, kInputButton3},
                   Case{8, kInputButton4}})
    {
        SetJoystick(0, 32767, 32767, c.buttons);
        Frame down = PollFrame();
        EXPECT_EQ(down.held, c.bit);
        EXPECT_EQ(down.trigger, c.bit);
        Frame held = PollFrame();
        EXPECT_EQ(held.held, c.bit);
        EXPECT_EQ(held.trigger, 0);
        SetJoystick(0, 32767, 32767, 0);
        EXPECT_EQ(PollFrame().held, 0);
    }
    // Joystick 1 is never polled.
    SetJoystick(1, 0, 0, 15);
    Frame f = PollFrame();
    EXPECT_EQ(f.held, 0);
}

TEST_F(Poller, SpaceAndButtonOneShareOneTrigger)
{
    using platform::headless::SetJoystick;
    SetJoystick(0, 32767, 32767, 1);
    EXPECT_EQ(PollFrame().trigger, kInputButton1);
    PushKey(platform::kVkSpace, true);
    PollFrame();
    SetJoystick(0, 32767, 32767, 0);
    // Space took over while the button was down: still the same press.
    Frame f = PollFrame();
    EXPECT_EQ(f.held, kInputButton1);
    EXPECT_EQ(f.trigger, 0);
}

TEST_F(Poller, ButtonDownAtTheFirstPollCountsAsAPress)
{
    platform::headless::SetJoystick(0, 32767, 32767, 2);
    EXPECT_EQ(PollFrame().trigger, kInputButton2);
}

// ---- WaitKeyOrButton, fed through the window procedure as the main loop feeds it ----------

class WaitKey : public Poller
{
protected:
    static void Key(int key, bool down)
    {
        MainWindowProc(platform::kMainWindow, down ? platform::kWmKeyDown : platform::kWmKeyUp,
                       static_cast<std::uintptr_t>(key), 0);
    }
    static void Mouse(std::uint32_t message)
    {
        MainWindowProc(platform::kMainWindow, message, 0, 0);
    }
    static constexpr int kCodes[] = {'A', 'B', 1, 0};
};

TEST_F(WaitKey, ReturnsTheKeyOnceAfterItsRelease)
{
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Key('B', true);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Key('B', false);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 'B');
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    EXPECT_EQ(lastKeyLatched, 0);
}

TEST_F(WaitKey, ReturnsTheLeftButtonAfterItsRelease)
{
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Mouse(platform::kWmLButtonDown);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Mouse(platform::kWmLButtonUp);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 1);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    EXPECT_EQ(lastButton, 0);
}

TEST_F(WaitKey, IgnoresUnlistedInputsAndTheRightButton)
{
    Key('C', true);
    Key('C', false);
    Mouse(platform::kWmRButtonDown);
    Mouse(platform::kWmRButtonUp);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    }
}

TEST_F(WaitKey, AnotherKeyWhileWaitingForTheReleaseStartsOver)
{
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Key('A', true);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Key('C', true);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Key('A', false);
    Key('C', false);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
}

TEST_F(WaitKey, AKeyHeldWhenTheWaitStartsCountsOnceReleased)
{
    Key('A', true);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Key('A', false);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 'A');
}

TEST_F(WaitKey, EmptyListNeverMatches)
{
    static constexpr int kNone[] = {0};
    Key('A', true);
    Key('A', false);
    EXPECT_EQ(WaitKeyOrButton(kNone), 0);
    EXPECT_EQ(WaitKeyOrButton(kNone), 0);
}

} // namespace
