// The board: moves of the empty cell, the shuffle and the solved test.
#include "game/game.h"
#include "input/input.h"
#include "system/system.h"

PuzzleBoard board = {};

void MoveBlank(PuzzleBoard& b)
{
    int d = b.pendingDirection;
    int blank = b.blankIndex;
    bool allowed = (d == -5 && blank > 4) || (d == 5 && blank < 20) ||
                   (d == -1 && blank % 5 != 0) || (d == 1 && blank % 5 != 4);
    if (!allowed || blank < 0 || blank > 24)
    {
        return;
    }
    b.cells[blank] = b.cells[blank + d];
    b.cells[blank + d] = 25;
    b.blankIndex = blank + d;
    b.moveCount += 1;
}

void ShuffleBoard(PuzzleBoard& b)
{
    static constexpr int kDirections[4] = {5, -5, 1, -1};
    SeedRandom(CalendarSeed());
    for (int i = 0; i < 2048; ++i)
    {
        b.pendingDirection = kDirections[Random() % 4];
        MoveBlank(b);
    }
}

bool CheckSolved(PuzzleBoard& b)
{
    for (int i = 0; i < 25; ++i)
    {
        if (b.cells[i] != i + 1)
        {
            return false;
        }
    }
    if (b.bestScore > b.moveCount)
    {
        b.bestScore = b.moveCount;
    }
    WriteBestScore(b);
    return true;
}

void TakeMoveInput(PuzzleBoard& b, const InputState& input)
{
    switch (input.trigger & kInputDirections)
    {
    case kInputUp:
        b.pendingDirection = 5;
        break;
    case kInputDown:
        b.pendingDirection = -5;
        break;
    case kInputLeft:
        b.pendingDirection = 1;
        break;
    case kInputRight:
        b.pendingDirection = -1;
        break;
    default:
        return;
    }
    GameScene = 3;
}
