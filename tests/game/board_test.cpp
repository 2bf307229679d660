// Moves of the empty cell, the shuffle and the solved test.
#include <algorithm>

#include <gtest/gtest.h>

#include "game/game.h"
#include "input/input.h"
#include "tests/support/headless.h"

namespace
{

PuzzleBoard SolvedBoard()
{
    PuzzleBoard b{};
    for (int i = 0; i < 25; ++i)
    {
        b.cells[i] = i + 1;
    }
    b.blankIndex = 24;
    b.bestScore = 9999;
    return b;
}

// A board with the empty cell at `blank` (swapped with the tile that was there).
PuzzleBoard BlankAt(int blank)
{
    PuzzleBoard b = SolvedBoard();
    std::swap(b.cells[blank], b.cells[24]);
    b.blankIndex = blank;
    return b;
}

bool Move(PuzzleBoard& b, int direction)
{
    PuzzleBoard before = b;
    b.pendingDirection = direction;
    MoveBlank(b);
    return b.moveCount != before.moveCount;
}

} // namespace

TEST(MoveBlankTest, MovesTheEmptyCellAndTheTileTheOtherWay)
{
    PuzzleBoard b = BlankAt(12);
    int below = b.cells[17];
    ASSERT_TRUE(Move(b, 5));
    EXPECT_EQ(b.blankIndex, 17);
    EXPECT_EQ(b.cells[17], 25);
    EXPECT_EQ(b.cells[12], below);
    EXPECT_EQ(b.moveCount, 1);
    EXPECT_EQ(b.pendingDirection, 5); // the caller clears it
    ASSERT_TRUE(Move(b, -1));
    EXPECT_EQ(b.blankIndex, 16);
    ASSERT_TRUE(Move(b, -5));
    ASSERT_TRUE(Move(b, 1));
    EXPECT_EQ(b.blankIndex, 12);
    EXPECT_EQ(b.moveCount, 4);
}

TEST(MoveBlankTest, RefusesMovesOffEveryEdgeWithoutCounting)
{
    for (int blank = 0; blank < 25; ++blank)
    {
        int row = blank / 5;
        int column = blank % 5;
        struct
        {
            int direction;
            bool allowed;
        } cases[] = {{-5, row > 0}, {5, row < 4}, {-1, column > 0}, {1, column < 4}};
        for (auto c : cases)
        {
            PuzzleBoard b = BlankAt(blank);
            PuzzleBoard before = b;
            EXPECT_EQ(Move(b, c.direction), c.allowed) << blank << " " << c.direction;
            if (!c.allowed)
            {
                EXPECT_TRUE(std::equal(b.cells, b.cells + 25, before.cells));
                EXPECT_EQ(b.blankIndex, blank);
            }
        }
    }
}

TEST(MoveBlankTest, RefusesDirectionsThatAreNotMoves)
{
    for (int direction : {0, 2, -2, 4, 6, 10, -10, 25})
    {
        PuzzleBoard b = BlankAt(12);
        EXPECT_FALSE(Move(b, direction)) << direction;
    }
}

TEST(ShuffleBoardTest, SameSecondGivesTheSamePositionAndLaterSecondsDiffer)
{
    testing_support::StartHeadless();
    PuzzleBoard first = SolvedBoard();
    PuzzleBoard second = SolvedBoard();
    ShuffleBoard(first);
    platform::headless::AdvanceClock(500); // still the same second
    ShuffleBoard(second);
    EXPECT_TRUE(std::equal(first.cells, first.cells + 25, second.cells));
    EXPECT_EQ(first.moveCount, second.moveCount);

    platform::headless::AdvanceClock(1000);
    PuzzleBoard third = SolvedBoard();
    ShuffleBoard(third);
    EXPECT_FALSE(std::equal(first.cells, first.cells + 25, third.cells));
}

TEST(ShuffleBoardTest, MakesOnlyLegalMovesOfAValidBoard)
{
    testing_support::StartHeadless();
    PuzzleBoard b = SolvedBoard();
    ShuffleBoard(b);
    EXPECT_GT(b.moveCount, 1000);
    EXPECT_LE(b.moveCount, 2048);
    std::vector<int> values(b.cells, b.cells + 25);
    std::sort(values.begin(), values.end());
    for (int i = 0; i < 25; ++i)
    {
        EXPECT_EQ(values[i], i + 1);
    }
    EXPECT_EQ(b.cells[b.blankIndex], 25);
    // Every shuffled position can be solved: the empty cell's taxicab distance from the
    // corner has the parity of the permutation.
    int inversions = 0;
    for (int i = 0; i < 25; ++i)
    {
        for (int j = i + 1; j < 25; ++j)
        {
            inversions += b.cells[i] > b.cells[j] ? 1 : 0;
        }
    }
    int distance = (4 - b.blankIndex / 5) + (4 - b.blankIndex % 5);
    EXPECT_EQ(inversions % 2, distance % 2);
}

TEST(CheckSolvedTest, NeedsEveryTileInPlace)
{
    testing_support::TempDir dir;
    PuzzleBoard b = BlankAt(23);
    EXPECT_FALSE(CheckSolved(b));
    EXPECT_EQ(dir.Read("score.fil"), "<missing>");
    b = SolvedBoard();
    b.moveCount = 42;
    EXPECT_TRUE(CheckSolved(b));
    EXPECT_EQ(b.bestScore, 42);
    EXPECT_EQ(dir.Read("score.fil"), "0042");
}

TEST(CheckSolvedTest, AWorseSolveKeepsTheBestAndStillRewritesIt)
{
    testing_support::TempDir dir;
    PuzzleBoard b = SolvedBoard();
    b.bestScore = 42;
    b.moveCount = 50;
    dir.Write("score.fil", "0043");
    EXPECT_TRUE(CheckSolved(b));
    EXPECT_EQ(b.bestScore, 42);
    EXPECT_EQ(dir.Read("score.fil"), "0042");
}

TEST(TakeMoveInputTest, OneNewDirectionBecomesTheSlide)
{
    struct
    {
        int bits;
        int direction;
    } cases[] = {{kInputUp, 5}, {kInputDown, -5}, {kInputLeft, 1}, {kInputRight, -1}};
    for (auto c : cases)
    {
        PuzzleBoard b = SolvedBoard();
        GameScene = 2;
        InputState input{};
        input.trigger = c.bits | 8; // a button alongside does not matter
        TakeMoveInput(b, input);
        EXPECT_EQ(b.pendingDirection, c.direction);
        EXPECT_EQ(GameScene, 3);
    }
}
