// Clip-rectangle wipes: the nine kinds opening and closing, speed, refusals, snapping, the
// hidden screen and the reset on a mode change.
#include <algorithm>
#include <array>
#include <limits>

#include "tests/draw/draw_support.h"

namespace
{

constexpr Rect kFull = {0, 0, 640, 480};

// A rectangle's edges, so that a mismatch prints them.
std::array<int, 4> Edges(const Rect& r)
{
    return {r.left, r.top, r.right, r.bottom};
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
    Rect closed;     // once closed
};

// 640 x 480, 1/60 s frames at 600 pixels per second: every moving edge moves 11 pixels.
// The slit of kinds 8 and 9 is 40 pixels.
const KindCase kKinds[] = {
    {1, {0, 480, 640, 480}, {0, 469, 640, 480}, {0, 11, 640, 480}, {0, 484, 640, 480}},
    {2, {0, 0, 640, 0}, {0, 0, 640, 11}, {0, 0, 640, 469}, {0, 0, 640, -4}},
    {3, {640, 0, 640, 480}, {629, 0, 640, 480}, {11, 0, 640, 480}, {649, 0, 640, 480}},
    {4, {0, 0, 0, 480}, {0, 0, 11, 480}, {0, 0, 629, 480}, {0, 0, -9, 480}},
    {5, {0, 240, 640, 240}, {0, 229, 640, 251}, {0, 11, 640, 469}, {0, 242, 640, 238}},
    {6, {320, 0, 320, 480}, {309, 0, 331, 480}, {11, 0, 629, 480}, {330, 0, 310, 480}},
    {7, {320, 240, 320, 240}, {309, 229, 331, 251}, {11, 11, 629, 469}, {320, 240, 320, 240}},
    {8, {300, 240, 340, 240}, {300, 229, 340, 251}, {11, 0, 629, 480}, {300, 242, 340, 238}},
    {9, {320, 220, 320, 260}, {309, 220, 331, 260}, {0, 11, 640, 469}, {330, 220, 310, 260}},
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
        EXPECT_EQ(Edges(clipRect), Edges(k.start));
        voDraw::StepWipe();
        EXPECT_EQ(Edges(clipRect), Edges(k.firstOpen));
        Rect previous = clipRect;
        while (wipeState == 1)
        {
            voDraw::StepWipe();
            // Edges only ever move outward and never past the full rectangle.
            ASSERT_TRUE(clipRect.left <= previous.left && clipRect.top <= previous.top &&
                        clipRect.right >= previous.right && clipRect.bottom >= previous.bottom);
            ASSERT_TRUE(clipRect.left >= 0 && clipRect.top >= 0 && clipRect.right <= 640 &&
                        clipRect.bottom <= 480);
            EXPECT_EQ(wipeOpened, wipeState == 0 ? 1 : 0);
            previous = clipRect;
        }
        EXPECT_EQ(wipeOpened, 1);
        EXPECT_EQ(Edges(clipRect), Edges(kFull));
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
        EXPECT_EQ(Edges(clipRect), Edges(kFull));
        voDraw::StepWipe();
        EXPECT_EQ(Edges(clipRect), Edges(k.firstClose));
        EXPECT_GT(RunToEnd(), 0);
        EXPECT_EQ(wipeState, -1);
        EXPECT_EQ(wipeClosed, 1);
        EXPECT_EQ(Edges(clipRect), Edges(k.closed));
        EXPECT_EQ(voDraw::StepWipe(), 0);
    }
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
        EXPECT_EQ(Edges(clipRect), Edges(kFull)) << kind;
    }
    // The slit kinds open one pair per step.
    Reset();
    frameSeconds = 10.0f;
    voDraw::StartWipe(0, 8, 1000.0f, 40);
    voDraw::StepWipe();
    EXPECT_EQ(Edges(clipRect), Edges(Rect{300, 0, 340, 480}));
    voDraw::StepWipe();
    EXPECT_EQ(Edges(clipRect), Edges(kFull));
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
    EXPECT_EQ(Edges(clipRect), Edges(during));
    EXPECT_EQ(Edges(wipeSaved), Edges(kFull));
    // Closing kinds beyond nine have no movements and no end, and are refused.
    Reset();
    EXPECT_EQ(voDraw::StartWipe(1, 10, 600.0f, 0), 0);
    EXPECT_EQ(voDraw::StartWipe(1, -1, 600.0f, 0), 0);
    EXPECT_EQ(wipeState, 0);
}

// Wipes over a small rectangle at one pixel a frame: how many steps each takes and where its
// edges stop. A pair ends on the frame its nearer edge lands, and a closing edge that lands
// exactly on the far edge ends on that frame.
struct StepCase
{
    int closing, kind;
    float speed;
    Rect rect; // clipRect at the start
    int steps;
    Rect end;
};

TEST(WipeSteps, EachEndsOnTheFrameItsEdgesLand)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Rect odd = {2, 3, 12, 8};   // 10 x 5: the centre row is two below the top
    const Rect square = {2, 3, 7, 8}; // 5 x 5
    const Rect even = {2, 3, 12, 9};  // 10 x 6
    const StepCase cases[] = {
        {0, 5, 0.0f, odd, 2, odd},
        {0, 6, 0.0f, {3, 2, 8, 12}, 2, {3, 2, 8, 12}},
        {0, 7, 0.0f, square, 2, square},
        {1, 1, 0.0f, even, 6, {2, 9, 12, 9}},
        {1, 2, 0.0f, even, 6, {2, 3, 12, 3}},
        {1, 3, 0.0f, even, 10, {12, 3, 12, 9}},
        {1, 4, 0.0f, even, 10, {2, 3, 2, 9}},
        {1, 5, 0.0f, even, 3, {2, 6, 12, 6}},
        {1, 6, 0.0f, even, 5, {7, 3, 7, 9}},
        {1, 7, 0.0f, even, 5, {7, 6, 7, 6}},
        // Kinds with no movements open on the first step; a NaN speed moves one pixel.
        {0, 10, 600.0f, odd, 1, odd},
        {0, -1, 600.0f, odd, 1, odd},
        {0, 1, nan, even, 6, even},
    };
    for (const StepCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.closing << " " << c.kind << " " << c.speed);
        Reset();
        frameSeconds = 0.0f;
        clipRect = c.rect;
        ASSERT_EQ(voDraw::StartWipe(c.closing, c.kind, c.speed, 0), 1);
        EXPECT_EQ(RunToEnd(), c.steps);
        EXPECT_EQ(Edges(clipRect), Edges(c.end));
        EXPECT_EQ(c.closing != 0 ? wipeClosed : wipeOpened, 1);
    }
}

TEST(WipeStart, KindZeroTakesOneToNineFromTheGenerator)
{
    bool seen[10] = {};
    for (std::uint32_t seed = 1; seed <= 200; ++seed)
    {
        SeedRandom(seed);
        int expected = Random() % 9 + 1;
        SeedRandom(seed);
        Reset();
        ASSERT_EQ(voDraw::StartWipe(seed % 2, 0, 600.0f, 0), 1);
        ASSERT_EQ(wipeKind, expected) << seed;
        seen[wipeKind] = true;
    }
    EXPECT_FALSE(seen[0]);
    EXPECT_EQ(std::count(seen + 1, seen + 10, true), 9);
}

TEST(WipeStart, OpeningStartsInsideTheSavedRectangleWhateverTheSlit)
{
    // After a closing wipe the opening starts from the full rectangle's centre.
    Reset();
    voDraw::StartWipe(1, 1, 600.0f, 0);
    RunToEnd();
    ASSERT_EQ(voDraw::StartWipe(0, 7, 600.0f, 0), 1);
    EXPECT_EQ(wipeClosed, 0);
    EXPECT_EQ(Edges(clipRect), Edges(Rect{320, 240, 320, 240}));
    EXPECT_EQ(Edges(wipeSaved), Edges(kFull));
    // An oversized or negative slit stays inside the screen.
    Reset();
    voDraw::StartWipe(0, 8, 600.0f, 5000);
    EXPECT_EQ(Edges(clipRect), Edges(Rect{0, 240, 640, 240}));
    Reset();
    voDraw::StartWipe(0, 9, 600.0f, -40);
    EXPECT_EQ(Edges(clipRect), Edges(Rect{320, 240, 320, 240}));
}

TEST(WipeHidden, HideAllShowsNothingUntilAWipeOpensOrTheModeChanges)
{
    Reset();
    voDraw::HideAll();
    EXPECT_EQ(wipeState, -1);
    EXPECT_EQ(Edges(clipRect), Edges(Rect{0, 0, 0, 0}));
    EXPECT_EQ(voDraw::StepWipe(), 0);
    // Hiding an already hidden screen keeps the full rectangle it saved.
    voDraw::HideAll();
    ASSERT_EQ(voDraw::StartWipe(0, 7, 600.0f, 0), 1);
    EXPECT_EQ(Edges(clipRect), Edges(Rect{320, 240, 320, 240}));
    // A program-mode change puts the saved rectangle back while a wipe runs.
    voDraw::StepWipe();
    CancelWipe();
    EXPECT_EQ(wipeState, 0);
    EXPECT_EQ(Edges(clipRect), Edges(kFull));
}

} // namespace
