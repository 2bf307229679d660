// The main loop run headless with the probe game: frame time, blink, mode bookkeeping,
// mouse and button bookkeeping.
#include <gtest/gtest.h>

#include "app/app.h"
#include "system/system.h"
#include "tests/app/probe_game.h"
#include "tests/support/headless.h"

using testing_support::RunProgram;

TEST(FrameTime, IsTheClockBetweenFrameStartsInSeconds)
{
    ASSERT_EQ(RunProgram(6, "3 wait 250\n5 wait 7\n"), 0);
    ASSERT_EQ(framesSeen.size(), 6u);
    for (size_t i = 1; i < framesSeen.size(); ++i)
    {
        double expected = static_cast<double>(framesSeen[i].now - framesSeen[i - 1].now) / 1000.0;
        EXPECT_EQ(framesSeen[i].frameSeconds, static_cast<float>(expected)) << "frame " << i + 1;
    }
    EXPECT_GE(framesSeen[2].frameSeconds, 0.25f);
    EXPECT_LT(framesSeen[3].frameSeconds, 0.25f);
}

TEST(FrameTime, ReactivationStartsTheFrameTimeAfresh)
{
    // Time spent inactive is not frame time: the wait comes before the activation.
    ASSERT_EQ(RunProgram(4, "3 activate 0\n3 wait 5000\n3 activate 1\n"), 0);
    ASSERT_EQ(framesSeen.size(), 4u);
    EXPECT_EQ(framesSeen[2].frameSeconds, 0.0f);
    EXPECT_LT(framesSeen[3].frameSeconds, 1.0f);
}

TEST(Blink, IsOnForASecondAndOffForAFifth)
{
    // About 20 ms of clock per frame so that toggles land between frames.
    std::string script;
    for (int frame = 1; frame <= 200; ++frame)
    {
        script += std::to_string(frame) + " wait 20\n";
    }
    ASSERT_EQ(RunProgram(200, script), 0);
    ASSERT_EQ(framesSeen.front().blinkOn, 1);

    std::vector<size_t> toggles;
    for (size_t i = 1; i < framesSeen.size(); ++i)
    {
        const FrameSeen& before = framesSeen[i - 1];
        const FrameSeen& after = framesSeen[i];
        if (after.blinkOn == before.blinkOn)
        {
            EXPECT_EQ(after.blinkNextTime, before.blinkNextTime);
            EXPECT_LT(before.now, before.blinkNextTime);
            continue;
        }
        toggles.push_back(i);
        // The toggle happened at the end of the frame before, once its deadline had passed,
        // and set the next deadline 1000 ms (on) or 200 ms (off) from then.
        std::uint32_t toggledAt = after.blinkNextTime - (after.blinkOn ? 1000u : 200u);
        EXPECT_GE(toggledAt, before.blinkNextTime);
        EXPECT_GE(toggledAt, before.now);
        EXPECT_LE(toggledAt, after.now);
    }
    // 200 frames of at least 20 ms each cover 4 s: at least three on/off cycles.
    ASSERT_GE(toggles.size(), 6u);
    EXPECT_EQ(framesSeen[toggles[0]].blinkOn, 0);
    EXPECT_EQ(framesSeen[toggles[1]].blinkOn, 1);
}

TEST(ModeBookkeeping, FirstFrameSeesTheChangeAndLaterFramesDoNot)
{
    ASSERT_EQ(RunProgram(3), 0);
    ASSERT_EQ(framesSeen.size(), 3u);
    EXPECT_EQ(framesSeen[0].modeChanged, 1);
    EXPECT_EQ(framesSeen[1].modeChanged, 0);
    EXPECT_EQ(framesSeen[2].modeChanged, 0);
    EXPECT_EQ(programMode, 1);
    EXPECT_EQ(prevProgramMode, 1);
}

TEST(ModeBookkeeping, LeavingModeOneStopsTheGameFrameAndFlagsTheChange)
{
    probeAction = [](int frame) {
        if (frame == 2)
        {
            programMode = 2;
        }
    };
    ASSERT_EQ(RunProgram(5), 0);
    EXPECT_EQ(framesSeen.size(), 2u);
    EXPECT_EQ(platform::headless::FramesStarted(), 5);
    EXPECT_EQ(prevProgramMode, 2);
    EXPECT_EQ(modeChanged, 0);
}

TEST(Mouse, MovementAndClicksAreCountedPerFrame)
{
    ASSERT_EQ(RunProgram(5, "2 mouse 10 20\n3 mouse 15 18\n3 lbutton down\n"
                            "4 lbutton up\n4 rbutton down\n"),
              0);
    ASSERT_EQ(framesSeen.size(), 5u);
    EXPECT_EQ(framesSeen[1].mouseDX, 10);
    EXPECT_EQ(framesSeen[1].mouseDY, 20);
    EXPECT_EQ(framesSeen[2].mouseDX, 5);
    EXPECT_EQ(framesSeen[2].mouseDY, -2);
    EXPECT_EQ(framesSeen[3].mouseDX, 0);

    EXPECT_EQ(framesSeen[2].leftClick, 1);
    EXPECT_EQ(framesSeen[2].leftButtonHeld, 1);
    EXPECT_EQ(framesSeen[3].leftClick, 0);
    EXPECT_EQ(framesSeen[3].leftButtonHeld, 0);
    EXPECT_EQ(framesSeen[3].leftButtonPressed, 1); // never cleared by the shell
    EXPECT_EQ(framesSeen[3].rightClick, 1);
    EXPECT_EQ(framesSeen[4].rightClick, 0);
    EXPECT_EQ(dragButton, 2);
    EXPECT_EQ(lastButton, 2);
}

TEST(Mouse, DoubleClickSetsNoButtonState)
{
    ASSERT_EQ(RunProgram(4, "2 lbutton double\n2 rbutton double\n3 lbutton up\n3 rbutton up\n"), 0);
    for (const FrameSeen& frame : framesSeen)
    {
        EXPECT_EQ(frame.leftClick, 0);
        EXPECT_EQ(frame.leftButtonPressed, 0);
        EXPECT_EQ(frame.rightClick, 0);
    }
    EXPECT_EQ(dragButton, 0);
    EXPECT_EQ(lastButton, 0);
    // A right double click is consumed; a left one goes on to the default handling.
    EXPECT_EQ(MainWindowProc(1, platform::kWmRButtonDblClk, 0, 0), 0);
    EXPECT_EQ(MainWindowProc(1, platform::kWmLButtonDblClk, 0, 0), 0);
    EXPECT_EQ(rightButtonHeld + leftButtonHeld, 0);
}
