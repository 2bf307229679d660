// Clip-rectangle wipes: the nine kinds opening and closing, speed, refusals, snapping, the
// hidden screen and the reset on a mode change.
#include <gtest/gtest.h>

#include "draw/draw.h"
#include "system/system.h"
#include "tests/draw/gdi_support.h"

namespace
{

constexpr Rect kFull = {0, 0, 640, 480};

bool Same(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

::testing::AssertionResult IsRect(const Rect& actual, const Rect& expected)
{
    if (Same(actual, expected))
    {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "(" << actual.left << ", " << actual.top << ", " << actual.right << ", "
           << actual.bottom << ") instead of (" << expected.left << ", " << expected.top << ", "
           << expected.right << ", " << expected.bottom << ")";
}

// Steps until the wipe stops; the number of steps taken, or -1 past the limit.
int RunToEnd(int limit = 1000)
{
    for (int steps = 1; steps <= limit; ++steps)
    {
        EXPECT_EQ(voDraw::StepWipe(), 1);
        if (wipeState != 1 && wipeState != 2)
        {
            return steps;
        }
    }
    return -1;
}

struct KindCase
{
    int kind;
    Rect start;      // clipRect right after an opening start
    Rect firstOpen;  // after the first opening step
    Rect firstClose; // after the first closing step
};

// 640 x 480, 1/60 s frames at 600 pixels per second: every moving edge moves 11 pixels.
// The slit of kinds 8 and 9 is 40 pixels.
const KindCase kKinds[] = {
    {1, {0, 480, 640, 480}, {0, 469, 640, 480}, {0, 11, 640, 480}},
    {2, {0, 0, 640, 0}, {0, 0, 640, 11}, {0, 0, 640, 469}},
    {3, {640, 0, 640, 480}, {629, 0, 640, 480}, {11, 0, 640, 480}},
    {4, {0, 0, 0, 480}, {0, 0, 11, 480}, {0, 0, 629, 480}},
    {5, {0, 240, 640, 240}, {0, 229, 640, 251}, {0, 11, 640, 469}},
    {6, {320, 0, 320, 480}, {309, 0, 331, 480}, {11, 0, 629, 480}},
    {7, {320, 240, 320, 240}, {309, 229, 331, 251}, {11, 11, 629, 469}},
    {8, {300, 240, 340, 240}, {300, 229, 340, 251}, {11, 0, 629, 480}},
    {9, {320, 220, 320, 260}, {309, 220, 331, 260}, {0, 11, 640, 469}},
};

void Reset()
{
    clipRect = kFull;
    wipeState = 0;
    frameSeconds = 1.0f / 60.0f;
}

TEST(WipeOpening, EveryKindGrowsFromItsStartShapeToTheFullRectangle)
{
    for (const KindCase& k : kKinds)
    {
        SCOPED_TRACE(k.kind);
        Reset();
        wipeOpened = 1; // cleared by the start
        ASSERT_EQ(voDraw::StartWipe(0, k.kind, 600.0f, 40), 1);
        EXPECT_EQ(wipeState, 1);
        EXPECT_EQ(wipeOpened, 0);
        EXPECT_TRUE(IsRect(clipRect, k.start));
        EXPECT_TRUE(IsRect(wipeSaved, kFull));
        voDraw::StepWipe();
        EXPECT_TRUE(IsRect(clipRect, k.firstOpen));
        Rect previous = clipRect;
        int steps = 0;
        while (wipeState == 1 && steps < 200)
        {
            voDraw::StepWipe();
            // Edges only ever move outward and never past the full rectangle.
            EXPECT_LE(clipRect.left, previous.left);
            EXPECT_LE(clipRect.top, previous.top);
            EXPECT_GE(clipRect.right, previous.right);
            EXPECT_GE(clipRect.bottom, previous.bottom);
            EXPECT_GE(clipRect.left, 0);
            EXPECT_GE(clipRect.top, 0);
            EXPECT_LE(clipRect.right, 640);
            EXPECT_LE(clipRect.bottom, 480);
            EXPECT_EQ(wipeOpened, wipeState == 0 ? 1 : 0);
            previous = clipRect;
            ++steps;
        }
        EXPECT_EQ(wipeState, 0);
        EXPECT_EQ(wipeOpened, 1);
        EXPECT_TRUE(IsRect(clipRect, kFull));
        EXPECT_EQ(voDraw::StepWipe(), 0);
    }
}

TEST(WipeClosing, EveryKindShrinksUntilNothingShows)
{
    for (const KindCase& k : kKinds)
    {
        SCOPED_TRACE(k.kind);
        Reset();
        ASSERT_EQ(voDraw::StartWipe(1, k.kind, 600.0f, 40), 1);
        EXPECT_EQ(wipeState, 2);
        EXPECT_TRUE(IsRect(clipRect, kFull));
        voDraw::StepWipe();
        EXPECT_TRUE(IsRect(clipRect, k.firstClose));
        EXPECT_GT(RunToEnd(), 0);
        EXPECT_EQ(wipeState, -1);
        EXPECT_EQ(wipeClosed, 1);
        EXPECT_TRUE(clipRect.right <= clipRect.left || clipRect.bottom <= clipRect.top);
        EXPECT_EQ(voDraw::StepWipe(), 0);
    }
}

TEST(WipeClosing, CentreKindSnapsToTheCentrePoint)
{
    Reset();
    voDraw::StartWipe(1, 7, 600.0f, 0);
    RunToEnd();
    EXPECT_TRUE(IsRect(clipRect, {320, 240, 320, 240}));
}

TEST(WipeClosing, SlitKindsStopAtTheSlitThenCloseTheOtherPair)
{
    Reset();
    voDraw::StartWipe(1, 8, 600.0f, 40);
    bool sawSlit = false;
    while (wipeState == 2)
    {
        voDraw::StepWipe();
        if (clipRect.left == 300 && clipRect.right == 340 && clipRect.top == 0 &&
            clipRect.bottom == 480)
        {
            sawSlit = true;
        }
        // The columns never pass the slit.
        EXPECT_LE(clipRect.left, 300);
        EXPECT_GE(clipRect.right, 340);
    }
    EXPECT_TRUE(sawSlit);
    EXPECT_EQ(clipRect.left, 300);
    EXPECT_GE(clipRect.top, clipRect.bottom);

    Reset();
    voDraw::StartWipe(1, 9, 600.0f, 40);
    RunToEnd();
    EXPECT_EQ(clipRect.top, 220);
    EXPECT_EQ(clipRect.bottom, 260);
    EXPECT_GE(clipRect.left, clipRect.right);
}

TEST(WipeSpeed, SpeedZeroStillMovesOnePixelAFrame)
{
    Reset();
    frameSeconds = 0.0f;
    voDraw::StartWipe(0, 1, 0.0f, 0);
    voDraw::StepWipe();
    EXPECT_EQ(clipRect.top, 479);
    voDraw::StepWipe();
    EXPECT_EQ(clipRect.top, 478);
    // A negative speed moves no slower.
    Reset();
    frameSeconds = 1.0f / 60.0f;
    voDraw::StartWipe(0, 4, -6000.0f, 0);
    voDraw::StepWipe();
    EXPECT_EQ(clipRect.right, 1);
}

TEST(WipeSpeed, OvershootSnapsToTheFullRectangleInOneStep)
{
    for (int kind : {1, 2, 3, 4, 5, 6, 7})
    {
        Reset();
        frameSeconds = 10.0f;
        voDraw::StartWipe(0, kind, 1000.0f, 0);
        voDraw::StepWipe();
        EXPECT_EQ(wipeState, 0) << kind;
        EXPECT_TRUE(IsRect(clipRect, kFull)) << kind;
    }
    // The slit kinds open one pair per step.
    Reset();
    frameSeconds = 10.0f;
    voDraw::StartWipe(0, 8, 1000.0f, 40);
    voDraw::StepWipe();
    EXPECT_TRUE(IsRect(clipRect, {300, 0, 340, 480}));
    voDraw::StepWipe();
    EXPECT_TRUE(IsRect(clipRect, kFull));
    // A huge time or speed is still one snap, not an overflow.
    Reset();
    frameSeconds = 1.0e30f;
    voDraw::StartWipe(1, 3, 1.0e30f, 0);
    voDraw::StepWipe();
    EXPECT_EQ(wipeState, -1);
}

TEST(WipeStart, ASecondStartIsRefusedAndChangesNothing)
{
    Reset();
    ASSERT_EQ(voDraw::StartWipe(0, 5, 600.0f, 0), 1);
    voDraw::StepWipe();
    Rect during = clipRect;
    EXPECT_EQ(voDraw::StartWipe(1, 2, 50.0f, 9), 0);
    EXPECT_EQ(wipeState, 1);
    EXPECT_EQ(wipeKind, 5);
    EXPECT_EQ(wipeSpeed, 600.0f);
    EXPECT_TRUE(IsRect(clipRect, during));
    EXPECT_TRUE(IsRect(wipeSaved, kFull));
    // Kinds beyond nine have no movements and are refused too.
    Reset();
    EXPECT_EQ(voDraw::StartWipe(0, 10, 600.0f, 0), 0);
    EXPECT_EQ(voDraw::StartWipe(0, -1, 600.0f, 0), 0);
    EXPECT_EQ(wipeState, 0);
    EXPECT_TRUE(IsRect(clipRect, kFull));
}

TEST(WipeStart, OpeningAfterClosingStartsFromTheFullRectanglesCentre)
{
    Reset();
    voDraw::StartWipe(1, 1, 600.0f, 0);
    RunToEnd();
    ASSERT_EQ(wipeState, -1);
    ASSERT_EQ(voDraw::StartWipe(0, 7, 600.0f, 0), 1);
    EXPECT_EQ(wipeClosed, 0);
    EXPECT_TRUE(IsRect(clipRect, {320, 240, 320, 240}));
    EXPECT_TRUE(IsRect(wipeSaved, kFull));
}

TEST(WipeStart, KindZeroPicksAKindWithTheSharedGenerator)
{
    bool seen[10] = {};
    for (std::uint32_t seed = 1; seed <= 60; ++seed)
    {
        Reset();
        SeedRandom(seed);
        int expected = Random() % 9 + 1;
        SeedRandom(seed);
        voDraw::StartWipe(0, 0, 600.0f, 0);
        EXPECT_EQ(wipeKind, expected);
        seen[wipeKind] = true;
    }
    for (int kind = 1; kind <= 9; ++kind)
    {
        EXPECT_TRUE(seen[kind]) << kind;
    }
}

TEST(WipeStart, OversizedOrNegativeSlitStaysInsideTheScreen)
{
    Reset();
    voDraw::StartWipe(0, 8, 600.0f, 5000);
    EXPECT_TRUE(IsRect(clipRect, {0, 240, 640, 240}));
    Reset();
    voDraw::StartWipe(0, 9, 600.0f, -40);
    EXPECT_TRUE(IsRect(clipRect, {320, 240, 320, 240}));
}

TEST(WipeHide, HideAllEmptiesTheClipAndTheNextOpeningRestoresIt)
{
    Reset();
    clipRect = {10, 20, 300, 200};
    voDraw::HideAll();
    EXPECT_EQ(wipeState, -1);
    EXPECT_TRUE(IsRect(clipRect, {10, 20, 10, 20}));
    // Hiding twice keeps the full rectangle.
    voDraw::HideAll();
    ASSERT_EQ(voDraw::StartWipe(0, 6, 100000.0f, 0), 1);
    voDraw::StepWipe();
    EXPECT_TRUE(IsRect(clipRect, {10, 20, 300, 200}));
}

TEST(WipeHide, HidingDuringAWipeKeepsTheSavedRectangle)
{
    Reset();
    voDraw::StartWipe(0, 7, 600.0f, 0);
    voDraw::StepWipe();
    voDraw::HideAll();
    EXPECT_TRUE(IsRect(wipeSaved, kFull));
    voDraw::StartWipe(0, 1, 100000.0f, 0);
    voDraw::StepWipe();
    EXPECT_TRUE(IsRect(clipRect, kFull));
}

TEST(WipeCancel, ModeChangeResetPutsTheFullRectangleBack)
{
    Reset();
    voDraw::StartWipe(1, 6, 600.0f, 0);
    voDraw::StepWipe();
    CancelWipe();
    EXPECT_EQ(wipeState, 0);
    EXPECT_TRUE(IsRect(clipRect, kFull));
    // A closed screen is not a running wipe and stays closed.
    voDraw::HideAll();
    CancelWipe();
    EXPECT_EQ(wipeState, -1);
    EXPECT_EQ(clipRect.right, clipRect.left);
}

TEST(WipePictures, PutsShowOnlyInsideTheWipedRectangle)
{
    gdi_support::StartScreen(320, 240);
    frameSeconds = 1.0f / 60.0f;
    // A white object as large as the screen, grabbed from a white back buffer.
    voDraw::Rectangle(0, 0, 320, 240, 0xFFFFFF, 0xFFFFFF, 1);
    ObjectId white = voDraw::CreateObject(320, 240, 1);
    ASSERT_NE(white, 0);
    voDraw::GrabRect(white, 0, 0, 320, 240);

    voDraw::StartWipe(1, 3, 6000.0f, 0);
    RunToEnd();
    voDraw::Clear();
    voDraw::Put(0, 0, white, 0, 0, 320, 240);
    EXPECT_EQ(gdi_support::ReadBackBuffer().Count(0xFFFF), 0);

    voDraw::StartWipe(0, 7, 600.0f, 0);
    voDraw::StepWipe();
    voDraw::Clear();
    voDraw::Put(0, 0, white, 0, 0, 320, 240);
    gdi_support::Picture p = gdi_support::ReadBackBuffer();
    Rect box = p.BoundsOfOther(0x0000);
    EXPECT_TRUE(IsRect(box, {149, 109, 171, 131}));
    EXPECT_EQ(p.Count(0xFFFF), 22 * 22);
}

} // namespace
