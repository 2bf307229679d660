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

constexpr std::uint32_t kMid = 32767;

class Joystick : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testing_support::StartHeadless();
    }
    // Joystick 0 plugged in at rest and calibrated, as at start-up.
    static void StartCentred()
    {
        SetJoystick(0, kMid, kMid, 0);
        InitJoystick();
    }
};

TEST_F(Joystick, AxisClassesAroundTheUsualCentre)
{
    StartCentred();
    std::uint32_t cx = 1;
    std::uint32_t cy = 1;
    GetJoystickCentre(0, cx, cy);
    EXPECT_EQ(cx, kMid);
    EXPECT_EQ(cy, kMid);
    struct Case
    {
        std::uint32_t position;
        int expected;
    };
    for (Case c : {Case{0, -1}, Case{16383, -1}, Case{16384, 0}, Case{49149, 0}, Case{49150, 1},
                   Case{65535, 1}})
    {
        SetJoystick(0, c.position, kMid, 0);
        int x = 9;
        int y = 9;
        JoyDirection(0, x, y);
        EXPECT_EQ(x, c.expected) << c.position;
        EXPECT_EQ(y, 0);
        SetJoystick(0, kMid, c.position, 0);
        JoyDirection(0, x, y);
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, c.expected) << c.position;
    }
}

TEST_F(Joystick, PluggedInAfterSetUpKeepsCentreZeroUntilCalibrated)
{
    InitJoystick(); // nothing plugged in
    SetJoystick(0, 1, kMid, 0);
    int x = 0;
    int y = 0;
    JoyDirection(0, x, y);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 1);
    SetJoystick(0, 0, kMid, 0);
    JoyDirection(0, x, y);
    EXPECT_EQ(x, -1);

    SetJoystick(0, kMid, kMid, 0);
    CalibrateJoystick();
    JoyDirection(0, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST_F(Joystick, KeypadCodes)
{
    StartCentred();
    struct Case
    {
        std::uint32_t x, y;
        int code;
    };
    const Case cases[] = {
        {0, 0, 7},         {kMid, 0, 8},         {65535, 0, 9},
        {0, kMid, 4},      {kMid, kMid, 5},      {65535, kMid, 6},
        {0, 65535, 1},     {kMid, 65535, 2},     {65535, 65535, 3},
    };
    for (const Case& c : cases)
    {
        SetJoystick(0, c.x, c.y, 0);
        EXPECT_EQ(JoyDirection8(0), c.code) << c.x << "," << c.y;
    }
    UnplugJoystick(0);
    EXPECT_EQ(JoyDirection8(0), 5);
}

TEST_F(Joystick, FailedReadsReportNothingPressedAndTheStickCentred)
{
    StartCentred();
    SetJoystickRates(0, 100.0f, 100.0f);
    SetJoystick(0, 0, 0, 15);
    UnplugJoystick(0);
    frameSeconds = 0.5f;
    for (int joystick : {0, 1, 2, -1})
    {
        SCOPED_TRACE(joystick);
        std::int32_t x = 7;
        std::int32_t y = 7;
        EXPECT_EQ(JoyPosition(joystick, x, y), 0);
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, 0);
        int cx = 7;
        int cy = 7;
        JoyDirection(joystick, cx, cy);
        EXPECT_EQ(cx, 0);
        EXPECT_EQ(cy, 0);
        EXPECT_EQ(JoyDirection8(joystick), 5);
        JoyRamp(joystick, cx, cy);
        EXPECT_EQ(cx, 0);
        EXPECT_EQ(cy, 0);
        int four[4] = {7, 7, 7, 7};
        JoyButtons(joystick, four);
        EXPECT_EQ(std::vector<int>(four, four + 4), std::vector<int>(4, 0));
        JoyButtonEdges(joystick, four);
        EXPECT_EQ(std::vector<int>(four, four + 4), std::vector<int>(4, 0));
        JoyButtonHolds(joystick, four);
        EXPECT_EQ(std::vector<int>(four, four + 4), std::vector<int>(4, 0));
        for (int button = 0; button <= 5; ++button)
        {
            EXPECT_EQ(JoyButton(joystick, button), 0);
            EXPECT_EQ(JoyButtonEdge(joystick, button), 0);
            EXPECT_EQ(JoyButtonHold(joystick, button), 0);
        }
    }
}

TEST_F(Joystick, PositionAndButtonsOfTheSecondJoystick)
{
    SetJoystick(1, 1234, 54321, 0b1010);
    std::int32_t x = 0;
    std::int32_t y = 0;
    EXPECT_EQ(JoyPosition(1, x, y), 1);
    EXPECT_EQ(x, 1234);
    EXPECT_EQ(y, 54321);
    int buttons[4] = {};
    JoyButtons(1, buttons);
    EXPECT_EQ(std::vector<int>(buttons, buttons + 4), (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(JoyButton(1, 2), 1);
    EXPECT_EQ(JoyButton(1, 3), 0);
    // The game's wrappers read joystick 0, which is absent.
    EXPECT_EQ(JoyPosition(x, y), 0);
    EXPECT_EQ(JoyButton(2), 0);
}

std::vector<int> Edges(const std::vector<bool>& downs, int button = 1)
{
    std::vector<int> out;
    for (bool down : downs)
    {
        SetJoystick(0, kMid, kMid, down ? 1u << (button - 1) : 0u);
        out.push_back(JoyButtonEdge(0, button));
    }
    return out;
}

TEST_F(Joystick, ButtonEdges)
{
    StartCentred();
    EXPECT_EQ(Edges({true, true, false, false}), (std::vector<int>{1, 3, 2, 0}));
    EXPECT_EQ(Edges({true, false, true}, 3), (std::vector<int>{1, 2, 3}));
}

TEST_F(Joystick, AllFourEdgesFromOneRead)
{
    StartCentred();
    int edges[4] = {};
    SetJoystick(0, kMid, kMid, 0b0011);
    JoyButtonEdges(0, edges);
    EXPECT_EQ(std::vector<int>(edges, edges + 4), (std::vector<int>{1, 1, 0, 0}));
    SetJoystick(0, kMid, kMid, 0b0110);
    JoyButtonEdges(0, edges);
    EXPECT_EQ(std::vector<int>(edges, edges + 4), (std::vector<int>{2, 3, 1, 0}));
    // An unreadable joystick gives 0 everywhere and keeps what was stored.
    UnplugJoystick(0);
    JoyButtonEdges(0, edges);
    EXPECT_EQ(std::vector<int>(edges, edges + 4), (std::vector<int>{0, 0, 0, 0}));
    SetJoystick(0, kMid, kMid, 0b0110);
    JoyButtonEdges(0, edges);
    EXPECT_EQ(std::vector<int>(edges, edges + 4), (std::vector<int>{0, 3, 3, 0}));
}

TEST_F(Joystick, EdgesReadZeroWhileInputIsHeldBack)
{
    StartCentred();
    EXPECT_EQ(Edges({true}), (std::vector<int>{1}));
    transitionStep = 5;
    EXPECT_EQ(Edges({true, true}), (std::vector<int>{0, 0}));
    transitionStep = 0;
    EXPECT_EQ(Edges({true, true}), (std::vector<int>{1, 3}));
    overlayShown = 1;
    EXPECT_EQ(Edges({true}), (std::vector<int>{0}));
    overlayShown = 0;
    rawKeyMode = 1;
    EXPECT_EQ(Edges({true}), (std::vector<int>{0}));
    rawKeyMode = 0;
    EXPECT_EQ(Edges({true}), (std::vector<int>{1}));
}

TEST_F(Joystick, HoldsGrowWithFrameTimeAndDropOnRelease)
{
    StartCentred();
    SetJoystickRates(0, 0.0f, 50.0f);
    frameSeconds = 0.5f;
    std::vector<int> holds;
    SetJoystick(0, kMid, kMid, 0b0100);
    for (int i = 0; i < 5; ++i)
    {
        holds.push_back(JoyButtonHold(0, 3));
    }
    SetJoystick(0, kMid, kMid, 0);
    holds.push_back(JoyButtonHold(0, 3));
    EXPECT_EQ(holds, (std::vector<int>{25, 50, 75, 100, 100, 0}));
}

TEST_F(Joystick, UnreadableJoystickDropsASingleHoldButKeepsTheFourHolds)
{
    StartCentred();
    SetJoystickRates(0, 0.0f, 40.0f);
    frameSeconds = 0.5f;
    int holds[4] = {};
    SetJoystick(0, kMid, kMid, 0b0011);
    JoyButtonHolds(0, holds);
    EXPECT_EQ(std::vector<int>(holds, holds + 4), (std::vector<int>{20, 20, 0, 0}));
    UnplugJoystick(0);
    JoyButtonHolds(0, holds);
    EXPECT_EQ(std::vector<int>(holds, holds + 4), (std::vector<int>{0, 0, 0, 0}));
    SetJoystick(0, kMid, kMid, 0b0011);
    JoyButtonHolds(0, holds);
    EXPECT_EQ(std::vector<int>(holds, holds + 4), (std::vector<int>{40, 40, 0, 0}));
    UnplugJoystick(0);
    EXPECT_EQ(JoyButtonHold(0, 1), 0);
    SetJoystick(0, kMid, kMid, 0b0011);
    EXPECT_EQ(JoyButtonHold(0, 1), 20); // started over
    EXPECT_EQ(JoyButtonHold(0, 2), 60); // kept
}

std::vector<std::array<int, 2>> Ramps(std::uint32_t x, std::uint32_t y, int frames)
{
    std::vector<std::array<int, 2>> out;
    SetJoystick(0, x, y, 0);
    for (int i = 0; i < frames; ++i)
    {
        int rx = 0;
        int ry = 0;
        JoyRamp(0, rx, ry);
        out.push_back({rx, ry});
    }
    return out;
}

TEST_F(Joystick, RampsRiseWhilePushedAndFallBackWhenReleased)
{
    StartCentred();
    SetJoystickRates(0, 200.0f, 0.0f);
    frameSeconds = 0.25f;
    using R = std::vector<std::array<int, 2>>;
    EXPECT_EQ(Ramps(65535, kMid, 3), (R{{50, 0}, {100, 0}, {100, 0}}));
    EXPECT_EQ(Ramps(kMid, kMid, 3), (R{{50, 0}, {0, 0}, {0, 0}}));
    Ramps(65535, kMid, 2);
    EXPECT_EQ(Ramps(0, kMid, 3), (R{{50, 0}, {0, 0}, {-50, 0}}));
    EXPECT_EQ(Ramps(kMid, 0, 5), (R{{0, -50}, {0, -100}, {0, -100}, {0, -100}, {0, -100}}));
    EXPECT_EQ(Ramps(kMid, kMid, 1), (R{{0, -50}}));
}

TEST_F(Joystick, RampsFollowTheVirtualFrameTime)
{
    StartCentred();
    SetJoystickRates(0, 60.0f, 0.0f);
    SetJoystick(0, 65535, kMid, 0);
    // Frames of one display refresh each on the virtual clock.
    std::vector<int> ramps;
    for (int i = 0; i < 4; ++i)
    {
        platform::headless::AdvanceRefresh();
        MeasureFrameTime();
        int rx = 0;
        int ry = 0;
        JoyRamp(0, rx, ry);
        ramps.push_back(rx);
    }
    // 60 units per second over 1/60 s frames: one unit per frame, give or take the
    // clock's whole milliseconds.
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_GE(ramps[i], i) << i;
        EXPECT_LE(ramps[i], i + 1) << i;
    }
    EXPECT_GT(ramps[3], 0);
}

TEST_F(Joystick, RampFailedReadLeavesTheRampAlone)
{
    StartCentred();
    SetJoystickRates(0, 200.0f, 0.0f);
    frameSeconds = 0.25f;
    Ramps(65535, kMid, 1); // 50
    UnplugJoystick(0);
    int rx = 1;
    int ry = 1;
    JoyRamp(0, rx, ry);
    EXPECT_EQ(rx, 0);
    EXPECT_EQ(ry, 0);
    using R = std::vector<std::array<int, 2>>;
    EXPECT_EQ(Ramps(65535, kMid, 1), (R{{100, 0}}));
}

TEST_F(Joystick, RatesAreZeroAfterSetUpAndClearingKeepsRatesAndEdges)
{
    StartCentred();
    frameSeconds = 0.5f;
    using R = std::vector<std::array<int, 2>>;
    EXPECT_EQ(Ramps(65535, 65535, 2), (R{{0, 0}, {0, 0}}));
    SetJoystick(0, kMid, kMid, 1);
    EXPECT_EQ(JoyButtonHold(0, 1), 0);

    SetJoystickRates(0, 100.0f, 100.0f);
    Ramps(65535, kMid, 1);
    SetJoystick(0, 65535, kMid, 1);
    EXPECT_EQ(JoyButtonEdge(0, 1), 1);
    ClearJoystickRamps();
    EXPECT_EQ(Ramps(65535, kMid, 1), (R{{50, 0}})); // from 0 again, at the kept rate
    SetJoystick(0, 65535, kMid, 1);
    EXPECT_EQ(JoyButtonEdge(0, 1), 3);               // the edge state survived
    EXPECT_EQ(JoyButtonHold(0, 1), 50);

    InitJoystick();
    EXPECT_EQ(JoyButtonHold(0, 1), 0);               // rates back to 0
    EXPECT_EQ(JoyButtonEdge(0, 1), 1);               // edges back to up
}

TEST_F(Joystick, NegativeRatesStillGiveValuesInRange)
{
    StartCentred();
    SetJoystickRates(0, -1.0e30f, -1.0e30f);
    frameSeconds = 1.0f;
    for (int i = 0; i < 4; ++i)
    {
        // Pushed, then let go: both ways of moving a ramp.
        SetJoystick(0, i < 2 ? 65535 : kMid, kMid, 1);
        int hold = JoyButtonHold(0, 1);
        EXPECT_GE(hold, -100);
        EXPECT_LE(hold, 100);
        int rx = 0;
        int ry = 0;
        JoyRamp(0, rx, ry);
        EXPECT_GE(rx, -100);
        EXPECT_LE(rx, 100);
    }
}

} // namespace
