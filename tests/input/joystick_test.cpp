// Joystick services: centres and axis classes, keypad codes, buttons, edges, holds and ramps
// on the virtual clock's frame time, and what an absent or unplugged joystick reports.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "draw/draw.h"
#include "input/input.h"
#include "system/system.h"
#include "tests/support/headless.h"

namespace
{

using platform::headless::SetJoystick;
using platform::headless::UnplugJoystick;
using Two = std::array<int, 2>;
using Four = std::array<int, 4>;
using Ramps = std::vector<Two>;

constexpr std::uint32_t kMid = 32767;

class Joystick : public ::testing::Test
{
  protected:
    // Joystick 0 plugged in at rest and calibrated, as at start-up.
    void SetUp() override
    {
        testing_support::StartHeadless();
        SetJoystick(0, kMid, kMid, 0);
        InitJoystick();
    }
};

// The four results of one of the four-button reads of joystick 0.
Four Read4(void (*read)(int, int[4]), int joystick = 0)
{
    Four out = {7, 7, 7, 7};
    read(joystick, out.data());
    return out;
}

// The x and y results of JoyDirection or JoyRamp.
Two Read2(void (*read)(int, int&, int&), int joystick = 0)
{
    Two out = {7, 7};
    read(joystick, out[0], out[1]);
    return out;
}

// Joystick 0 at x, y, read by JoyRamp on each of frames frames.
Ramps RampsAt(std::uint32_t x, std::uint32_t y, int frames)
{
    Ramps out;
    SetJoystick(0, x, y, 0);
    for (int i = 0; i < frames; ++i)
    {
        out.push_back(Read2(JoyRamp));
    }
    return out;
}

TEST_F(Joystick, AxisClassesAndKeypadCodesAroundTheCentre)
{
    std::uint32_t cx = 1;
    std::uint32_t cy = 1;
    GetJoystickCentre(0, cx, cy);
    EXPECT_TRUE(cx == kMid && cy == kMid);
    struct Case
    {
        std::uint32_t position;
        int expected;
    };
    for (Case c : {Case{0, -1}, Case{16383, -1}, Case{16384, 0}, Case{49149, 0}, Case{49150, 1},
                   Case{65535, 1}})
    {
        SetJoystick(0, c.position, kMid, 0);
        EXPECT_EQ(Read2(JoyDirection), (Two{c.expected, 0})) << c.position;
        SetJoystick(0, kMid, c.position, 0);
        EXPECT_EQ(Read2(JoyDirection), (Two{0, c.expected})) << c.position;
    }
    const std::uint32_t at[3] = {0, kMid, 65535};
    const int keypad[3][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}}; // [y][x]
    for (int y = 0; y < 3; ++y)
    {
        for (int x = 0; x < 3; ++x)
        {
            SetJoystick(0, at[x], at[y], 0);
            EXPECT_EQ(JoyDirection8(0), keypad[y][x]) << x << "," << y;
        }
    }
}

TEST_F(Joystick, FailedReadsReportNothingPressedAndTheStickCentred)
{
    SetJoystickRates(0, 100.0f, 100.0f);
    SetJoystick(0, 0, 0, 15);
    UnplugJoystick(0);
    frameSeconds = 0.5f;
    for (int joystick : {0, 2, -1})
    {
        SCOPED_TRACE(joystick);
        std::int32_t x = 7;
        std::int32_t y = 7;
        EXPECT_EQ(JoyPosition(joystick, x, y), 0);
        EXPECT_TRUE(x == 0 && y == 0);
        EXPECT_EQ(Read2(JoyDirection, joystick), (Two{0, 0}));
        EXPECT_EQ(Read2(JoyRamp, joystick), (Two{0, 0}));
        EXPECT_EQ(JoyDirection8(joystick), 5);
        for (auto read : {JoyButtons, JoyButtonEdges, JoyButtonHolds})
        {
            EXPECT_EQ(Read4(read, joystick), (Four{0, 0, 0, 0}));
        }
        EXPECT_EQ(JoyButton(joystick, 1) + JoyButtonEdge(joystick, 1) + JoyButtonHold(joystick, 1),
                  0);
    }
}

TEST_F(Joystick, ButtonEdgesGoDownHeldUpAndReadZeroWhileInputIsHeldBack)
{
    std::vector<int> edges;
    for (std::uint32_t buttons : {1, 1, 0, 0, 1})
    {
        SetJoystick(0, kMid, kMid, buttons);
        edges.push_back(JoyButtonEdge(0, 1));
    }
    EXPECT_EQ(edges, (std::vector<int>{1, 3, 2, 0, 1}));
    for (int* flag : {&transitionStep, &overlayShown, &rawKeyMode})
    {
        *flag = 1;
        EXPECT_EQ(JoyButtonEdge(0, 1), 0);
        *flag = 0;
        EXPECT_EQ(JoyButtonEdge(0, 1), 1); // it starts over from up
    }

    // All four from one read; an unreadable joystick gives 0 and keeps the states.
    SetJoystick(0, kMid, kMid, 0b0110);
    EXPECT_EQ(Read4(JoyButtonEdges), (Four{2, 1, 1, 0}));
    UnplugJoystick(0);
    EXPECT_EQ(Read4(JoyButtonEdges), (Four{0, 0, 0, 0}));
    SetJoystick(0, kMid, kMid, 0b0110);
    EXPECT_EQ(Read4(JoyButtonEdges), (Four{0, 3, 3, 0}));
}

TEST_F(Joystick, HoldsGrowWithFrameTimeAndDropOnReleaseOrASingleFailedRead)
{
    SetJoystickRates(0, 0.0f, 40.0f);
    frameSeconds = 0.5f;
    std::vector<int> holds;
    SetJoystick(0, kMid, kMid, 0b0100);
    for (int i = 0; i < 6; ++i)
    {
        holds.push_back(JoyButtonHold(0, 3));
    }
    SetJoystick(0, kMid, kMid, 0);
    holds.push_back(JoyButtonHold(0, 3));
    EXPECT_EQ(holds, (std::vector<int>{20, 40, 60, 80, 100, 100, 0}));

    SetJoystick(0, kMid, kMid, 0b0011);
    EXPECT_EQ(Read4(JoyButtonHolds), (Four{20, 20, 0, 0}));
    UnplugJoystick(0);
    EXPECT_EQ(Read4(JoyButtonHolds), (Four{0, 0, 0, 0}));
    SetJoystick(0, kMid, kMid, 0b0011);
    EXPECT_EQ(Read4(JoyButtonHolds), (Four{40, 40, 0, 0})); // kept
    UnplugJoystick(0);
    EXPECT_EQ(JoyButtonHold(0, 1), 0);
    SetJoystick(0, kMid, kMid, 0b0011);
    EXPECT_EQ(JoyButtonHold(0, 1), 20); // started over
    EXPECT_EQ(JoyButtonHold(0, 2), 60); // kept
}

TEST_F(Joystick, RampsRiseWhilePushedFallBackWhenReleasedWaitOutAFailedReadAndFollowTheClock)
{
    SetJoystickRates(0, 200.0f, 0.0f);
    frameSeconds = 0.25f;
    EXPECT_EQ(RampsAt(65535, kMid, 3), (Ramps{{50, 0}, {100, 0}, {100, 0}}));
    EXPECT_EQ(RampsAt(kMid, kMid, 3), (Ramps{{50, 0}, {0, 0}, {0, 0}}));
    RampsAt(65535, kMid, 2);
    EXPECT_EQ(RampsAt(0, kMid, 3), (Ramps{{50, 0}, {0, 0}, {-50, 0}}));
    EXPECT_EQ(RampsAt(kMid, 0, 3), (Ramps{{0, -50}, {0, -100}, {0, -100}}));
    UnplugJoystick(0);
    EXPECT_EQ(Read2(JoyRamp), (Two{0, 0}));
    EXPECT_EQ(RampsAt(kMid, kMid, 1), (Ramps{{0, -50}}));

    // 60 units per second over frames of one display refresh each, measured on the virtual
    // clock: one unit per frame, give or take the clock's whole milliseconds.
    SetJoystickRates(0, 60.0f, 0.0f);
    ClearJoystickRamps();
    SetJoystick(0, 65535, kMid, 0);
    for (int i = 0; i < 4; ++i)
    {
        platform::headless::AdvanceRefresh();
        MeasureFrameTime();
        int rx = Read2(JoyRamp)[0];
        EXPECT_TRUE(rx == i || rx == i + 1) << i << ": " << rx;
    }
}

TEST_F(Joystick, NegativeRatesStillGiveValuesInRange)
{
    SetJoystickRates(0, -1.0e30f, -1.0e30f);
    frameSeconds = 1.0f;
    for (std::uint32_t x : {65535u, 65535u, kMid, kMid}) // pushed, then let go
    {
        SetJoystick(0, x, kMid, 1);
        int hold = JoyButtonHold(0, 1);
        int rx = Read2(JoyRamp)[0];
        EXPECT_TRUE(hold >= -100 && hold <= 100 && rx >= -100 && rx <= 100) << hold << " " << rx;
    }
}

} // namespace
