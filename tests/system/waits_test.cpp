// The voSystem wait slots and the busy wait on the virtual clock.
#include <gtest/gtest.h>

#include "system/system.h"
#include "tests/support/headless.h"

using platform::headless::AdvanceClock;
using platform::headless::MessageBoxes;
using testing_support::Cp932;
using testing_support::StartHeadless;

TEST(WaitSlots, OutOfRangeSlotsShowTheErrorOnceAndChangeNothing)
{
    StartHeadless();
    ResetWaits();
    ASSERT_EQ(voSystem::SetWait(10, 5), 1);
    EXPECT_EQ(voSystem::SetWait(0, 100), 0);
    EXPECT_EQ(voSystem::SetWait(11, 100), 0);
    EXPECT_EQ(voSystem::InitWait(-1), 0);
    ASSERT_EQ(MessageBoxes().size(), 3u);
    EXPECT_EQ(MessageBoxes()[0].text, "voSystem::SetWait : " + Cp932("ウェイトNoが範囲外です"));
    EXPECT_EQ(MessageBoxes()[2].text, "voSystem::InitWait : " + Cp932("ウェイトNoが範囲外です"));
    EXPECT_EQ(MessageBoxes()[0].caption, Cp932("エラー発生"));
    AdvanceClock(6);
    EXPECT_EQ(IsWaitOver(10), 1);
}

TEST(WaitSlots, DeadlinesCompareStrictly)
{
    StartHeadless();
    EXPECT_EQ(IsWaitOver(7), 1); // before the reset every slot reads over
    ResetWaits();
    EXPECT_EQ(IsWaitOver(7), 0);
    voSystem::SetWait(1, 250);
    voSystem::SetWait(3, 0);
    EXPECT_EQ(IsWaitOver(3), 0);
    AdvanceClock(1);
    EXPECT_EQ(IsWaitOver(3), 1);
    AdvanceClock(249);
    EXPECT_EQ(IsWaitOver(1), 0);
    AdvanceClock(1);
    EXPECT_EQ(IsWaitOver(1), 1);
    // Slots outside the table have no wait running.
    EXPECT_EQ(IsWaitOver(0), 1);
    EXPECT_EQ(IsWaitOver(11), 1);
}

TEST(WaitSlots, ClearedSlotsReadOverOnlyPastTheMarker)
{
    platform::headless::HeadlessConfig config;
    config.startMs = 999999990;
    StartHeadless(config);
    ResetWaits();
    voSystem::InitWait(2);
    AdvanceClock(9);
    EXPECT_EQ(IsWaitOver(2), 0);
    AdvanceClock(1);
    EXPECT_EQ(IsWaitOver(2), 1);
}

TEST(ResetWaitsTest, LeavesRawKeyModeAndStopsSystemKeys)
{
    StartHeadless();
    EnterRawKeyMode();
    lastKey = 65;
    SetSystemKeysPass(1);
    EXPECT_EQ(ResetWaits(), 1);
    EXPECT_EQ(rawKeyMode, 0);
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(systemKeysPass, 0);
}

TEST(BusyWaitTest, BlocksPastTheDurationAndResetsTheFrameTimer)
{
    StartHeadless();
    frameSeconds = 0.5f;
    std::uint32_t before = platform::NowMs();
    BusyWait(40);
    EXPECT_GT(platform::NowMs(), before + 40);
    EXPECT_EQ(frameSeconds, 0.0f);
    EXPECT_EQ(lastFrameTime, platform::NowMs());
}

TEST(FrameTimer, MeasuresWholeMillisecondsAsSecondsAcrossTheClockWrap)
{
    platform::headless::HeadlessConfig config;
    config.startMs = 0xFFFFFFF0u;
    StartHeadless(config);
    ResetFrameTimer();
    AdvanceClock(32);
    MeasureFrameTime();
    EXPECT_EQ(frameSeconds, 0.032f);
    MeasureFrameTime();
    EXPECT_EQ(frameSeconds, 0.0f);
}
