// The game's scenes and their drawing: the title, the set-up of a new game, play and slide,
// and the cleared banner; the board with the status strip below it.
#include "draw/draw.h"
#include "game/game.h"
#include "input/input.h"

int GameScene = 0;
int bannerY = 0;
std::int32_t letterSheet = 0;

namespace
{

// Regions of "letter.bmp": left, top, right, bottom.
constexpr Rect kBanner = {0, 0, 160, 21};
constexpr Rect kBannerSecondLine = {0, 21, 66, 36};
constexpr Rect kStatusLabel = {110, 52, 133, 68};
constexpr Rect kTitlePrompt = {0, 68, 160, 84};
constexpr int kMoveDigitsTop = 36;
constexpr int kBestDigitsTop = 52;
constexpr int kDigitWidth = 11;
constexpr int kDigitHeight = 16;

constexpr int kTileSize = 32;
constexpr int kStripY = 162;
constexpr int kBestX = 28;
constexpr int kMovesX = 110;
constexpr int kDigitStep = 12;

constexpr int kBannerStartY = 70;
constexpr int kBannerArrivedY = 21; // from here on the second line shows and a button counts
constexpr int kBannerRestY = 20;

// The four places hold at most this; larger values show it, as no glyph exists beyond 9.
constexpr int kCounterMax = 9999;

struct SceneState
{
    bool bitmapsLoaded = false; // the two bitmaps were loaded in this run
};

SceneState scenes;

void Put(int x, int y, std::int32_t object, const Rect& source)
{
    voDraw::Put(static_cast<double>(x), static_cast<double>(y), object, source.left, source.top,
                source.right, source.bottom);
}

// n right-aligned in four glyph places from the row at glyphTop, no leading zeros; the
// tens and hundreds places show their zero once n reaches 100.
void DrawCounter(int n, int x, int glyphTop)
{
    static constexpr int kDivisors[4] = {1000, 100, 10, 1};
    if (n > kCounterMax)
    {
        n = kCounterMax;
    }
    int r = n;
    for (int k = 0; k < 4; ++k)
    {
        int m = kDivisors[k];
        int d = r / m;
        if (d >= 1)
        {
            r -= d * m;
        }
        else
        {
            d = 0;
        }
        if (d != 0 || m == 1 || (n >= 100 && (m == 10 || m == 100)))
        {
            int left = kDigitWidth * d;
            Put(x + kDigitStep * k, kStripY, letterSheet,
                Rect{left, glyphTop, left + kDigitWidth, glyphTop + kDigitHeight});
        }
    }
}

bool ButtonPressed()
{
    return (inputState.trigger & kInputButtons) != 0;
}

void SolvedCells(PuzzleBoard& b)
{
    for (int i = 0; i < 25; ++i)
    {
        b.cells[i] = i + 1;
    }
}

void SetUpGame(PuzzleBoard& b)
{
    if (!scenes.bitmapsLoaded)
    {
        // F1 before the first title frame skips the title; the game still needs its pictures.
        LoadGameBitmaps();
    }
    ReadBestScore(b);
    SolvedCells(b);
    for (int i = 0; i < 25; ++i)
    {
        if (b.cells[i] == 25)
        {
            b.blankIndex = i;
        }
    }
    ShuffleBoard(b);
    b.moveCount = 0;
    bannerY = kBannerStartY;
    GameScene = kScenePlay;
}

void Title(PuzzleBoard& b)
{
    SolvedCells(b);
    if (!scenes.bitmapsLoaded)
    {
        LoadGameBitmaps();
    }
    DrawBoard(b);
    b.blinkCounter += 1;
    // 40 frames on, 20 off.
    if (b.blinkCounter % 60 < 40)
    {
        Put(0, 70, letterSheet, kTitlePrompt);
    }
    if (ButtonPressed())
    {
        GameScene = kSceneSetUp;
    }
}

void Cleared(PuzzleBoard& b)
{
    DrawBoard(b);
    Put(0, bannerY, letterSheet, kBanner);
    if (bannerY > kBannerRestY)
    {
        bannerY -= 1;
    }
    if (bannerY <= kBannerArrivedY)
    {
        if (ButtonPressed())
        {
            GameScene = kSceneSetUp;
        }
        Put(47, 80, letterSheet, kBannerSecondLine);
    }
}

} // namespace

void LoadGameBitmaps()
{
    scenes.bitmapsLoaded = true;
    board.tileSheet = voDraw::LoadObject("tiles.bmp", 2);
    letterSheet = voDraw::LoadObject("letter.bmp", 2);
}

void DrawBoard(const PuzzleBoard& b)
{
    for (int p = 0; p < 25; ++p)
    {
        int v = b.cells[p];
        if (v < 1 || v > 25)
        {
            // Cells only ever hold 1 to 25; anything else has no picture.
            continue;
        }
        int left = kTileSize * ((v - 1) % 5);
        int top = kTileSize * ((v - 1) / 5);
        Put(kTileSize * (p % 5), kTileSize * (p / 5), b.tileSheet,
            Rect{left, top, left + kTileSize, top + kTileSize});
    }
    Put(2, kStripY, letterSheet, kStatusLabel);
    DrawCounter(b.bestScore, kBestX, kBestDigitsTop);
    DrawCounter(b.moveCount, kMovesX, kMoveDigitsTop);
}

void GameFrame()
{
    PollInput(inputState);
    switch (GameScene)
    {
    case kSceneSetUp:
        SetUpGame(board);
        break;
    case kSceneTitle:
        Title(board);
        break;
    case kScenePlay:
        if (CheckSolved(board))
        {
            GameScene = kSceneCleared;
        }
        // A direction pressed on the solving frame still moves: the score is saved already
        // and the next play frame finds the board unsolved. Kept so that recorded games
        // replay move for move.
        TakeMoveInput(board, inputState);
        DrawBoard(board);
        break;
    case kSceneSlide:
        MoveBlank(board);
        board.pendingDirection = 0;
        GameScene = kScenePlay;
        DrawBoard(board);
        break;
    case kSceneCleared:
        Cleared(board);
        break;
    default:
        break;
    }
}
