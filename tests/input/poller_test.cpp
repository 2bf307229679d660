// The input poller: key state machines, direction and button triggers, the joystick's part,
// holding input back, and the wait for one of several keys or buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "draw/draw.h"
#include "input/input.h"
#include "system/system.h"
#include "tests/support/headless.h"

namespace
{

struct Frame
{
    std::int32_t held, trigger;
    bool operator==(const Frame&) const = default;
};

// Takes the waiting messages, as the main loop does before a frame, then polls.
Frame PollFrame()
{
    platform::Message message;
    while (platform::PeekMessage(message))
    {
    }
    PollInput(inputState);
    return Frame{inputState.held, inputState.trigger};
}

constexpr std::int32_t U = kInputUp, D = kInputDown, L = kInputLeft, B1 = kInputButton1,
                       B2 = kInputButton2, B3 = kInputButton3, B4 = kInputButton4;

// A script of input (see the headless script) and what each frame polls, from frame 1.
struct PollCase
{
    const char* name;
    const char* script;
    std::vector<Frame> frames;
};

void PrintTo(const PollCase& c, std::ostream* out)
{
    *out << c.name;
}

class Poller : public ::testing::TestWithParam<PollCase>
{
};

TEST_P(Poller, GivesTheseHeldAndTriggerBits)
{
    std::string error;
    ASSERT_TRUE(platform::headless::LoadScript(GetParam().script, error)) << error;
    testing_support::StartHeadless();
    std::vector<Frame> frames;
    for (std::size_t i = 0; i < GetParam().frames.size(); ++i)
    {
        frames.push_back(PollFrame());
    }
    EXPECT_EQ(frames, GetParam().frames);
}

// Each case runs in a process of its own, so the poller starts fresh in each.
INSTANTIATE_TEST_SUITE_P(
    Input, Poller,
    ::testing::Values(
        PollCase{"OneFrameTapGivesNothing", "1 key Up down\n2 key Up up", {{0, 0}, {0, 0}, {0, 0}}},
        PollCase{"HeldKeyTriggersOnceOnItsSecondFrame",
                 "1 key Left down\n5 key Left up",
                 {{0, 0}, {L, L}, {L, 0}, {L, 0}, {0, 0}}},
        PollCase{"KeyPressedAgainRightAfterItsReleaseIsHeldAtOnce",
                 "1 key Left down\n3 key Left up\n4 key Left down\n5 key Left up\n"
                 "7 key Left down",
                 {{0, 0}, {L, L}, {0, 0}, {L, L}, {0, 0}, {0, 0}, {0, 0}, {L, L}}},
        PollCase{"SecondDirectionAndReleaseOfOneOfTwo",
                 "1 key Up down\n3 key Left down\n6 key Left up",
                 {{0, 0}, {U, U}, {U, 0}, {U | L, U | L}, {U | L, 0}, {U, U}}},
        PollCase{"UpWinsOverDownAndLeftOverRight",
                 "1 key Up down\n1 key Down down\n1 key Left down\n1 key Right down",
                 {{0, 0}, {U | L, U | L}}},
        PollCase{"UnpluggedStickLeavesNoStuckDirection",
                 "1 joy 0 0 32767 0\n2 unplug 0\n3 joy 0 0 32767 0",
                 {{L, L}, {0, 0}, {L, L}}},
        PollCase{"JoystickButtonsTriggerOnceEachAndJoystickOneIsNotPolled",
                 "1 joy 0 32767 32767 1\n2 joy 0 32767 32767 3\n3 joy 0 32767 32767 15\n"
                 "4 joy 0 32767 32767 0\n5 joy 1 0 0 15",
                 {{B1, B1}, {B1 | B2, B2}, {B1 | B2 | B3 | B4, B3 | B4}, {0, 0}, {0, 0}}},
        PollCase{"SpaceAndButtonOneShareOneTrigger",
                 "1 joy 0 32767 32767 1\n2 key Space down\n3 joy 0 32767 32767 0",
                 {{B1, B1}, {B1, 0}, {B1, 0}}}),
    [](const ::testing::TestParamInfo<PollCase>& info) { return std::string(info.param.name); });

class InputPoller : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        testing_support::StartHeadless();
    }
};

TEST_F(InputPoller, StickThresholdsAreStrict)
{
    struct Case
    {
        std::uint32_t x, y;
        std::int32_t bits;
    };
    for (Case c : {Case{32767, 9999, U}, Case{32767, 10000, 0}, Case{32767, 60000, 0},
                   Case{32767, 60001, D}, Case{9999, 32767, L}, Case{10000, 32767, 0},
                   Case{60000, 32767, 0}, Case{60001, 32767, kInputRight}, Case{0, 65535, L | D}})
    {
        platform::headless::SetJoystick(0, 32767, 32767, 0);
        PollFrame();
        platform::headless::SetJoystick(0, c.x, c.y, 0);
        EXPECT_EQ(PollFrame(), (Frame{c.bits, c.bits})) << c.x << "," << c.y;
    }
}

TEST_F(InputPoller, KeysReadReleasedWhileInputIsHeldBackAndStartOverAfter)
{
    for (int* flag : {&rawKeyMode, &transitionStep, &overlayShown})
    {
        platform::headless::PushKey(platform::kVkDown, true);
        PollFrame();
        *flag = 1;
        EXPECT_EQ(PollFrame(), (Frame{0, 0}));
        EXPECT_EQ(downKeyState, kKeyUp);
        *flag = 0;
        // Still down, but it starts again from "went down".
        EXPECT_EQ(PollFrame(), (Frame{0, 0}));
        EXPECT_EQ(PollFrame(), (Frame{D, D}));
        platform::headless::PushKey(platform::kVkDown, false);
        PollFrame();
        PollFrame();
    }
}

// ---- WaitKeyOrButton, fed through the window procedure as the main loop feeds it ----------

void Key(int key, bool down)
{
    MainWindowProc(platform::kMainWindow, down ? platform::kWmKeyDown : platform::kWmKeyUp,
                   static_cast<std::uintptr_t>(key), 0);
}

void Mouse(std::uint32_t message)
{
    MainWindowProc(platform::kMainWindow, message, 0, 0);
}

constexpr int kCodes[] = {'A', 'B', 1, 0};

TEST_F(InputPoller, WaitKeyReturnsAListedKeyOrTheLeftButtonOnceAfterItsReleaseAlone)
{
    Key('B', true); // held when the wait starts
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Key('B', false);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 'B');
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Mouse(platform::kWmLButtonDown);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Mouse(platform::kWmLButtonUp);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 1);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    // Other inputs are not taken.
    Key('C', true);
    Key('C', false);
    Mouse(platform::kWmRButtonDown);
    Mouse(platform::kWmRButtonUp);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
}

TEST_F(InputPoller, WaitKeyStartsOverOnAnotherInputUnlessTheMatchedOneIsAlreadyUp)
{
    // Another input coming between press and release: the matched one still counts if it is
    // up by the next call, and is dropped if that call sees a key or button still held.
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Key('A', true);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Key('C', true);
    Key('A', false);
    Key('C', false);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 'A');
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Mouse(platform::kWmLButtonDown);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 0);
    Mouse(platform::kWmRButtonDown);
    Mouse(platform::kWmLButtonUp);
    Mouse(platform::kWmRButtonUp);
    EXPECT_EQ(WaitKeyOrButton(kCodes), 1);
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

} // namespace
