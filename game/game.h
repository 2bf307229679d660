// The puzzle: the board and its moves, the best-score file, the scenes and their drawing.
#pragma once

#include <cstdint>

struct PuzzleBoard
{
    std::int32_t moveCount;        // moves made in this game
    std::int32_t cells[25];        // tile numbers row by row; 25 marks the empty cell
    std::int32_t blankIndex;       // index of the empty cell
    std::int32_t pendingDirection; // +5, -5, +1, -1, or 0 for none
    std::int32_t bestScore;        // fewest moves of any solved game; 9999 for none
    std::int32_t blinkCounter;     // title frames, for the blinking prompt
    std::int32_t tileSheet;        // ObjectId of the tile bitmap
};

extern PuzzleBoard board;          // the game's one board
extern int GameScene;              // 0 set-up, 1 title, 2 play, 3 slide, 6 cleared

// Moves the empty cell by pendingDirection when the move stays on the board.
void MoveBlank(PuzzleBoard& b);

// Seeds the generator with the calendar time and makes up to 2048 random moves.
void ShuffleBoard(PuzzleBoard& b);

// True when the tiles read 1 to 24; then lowers and saves the best score.
bool CheckSolved(PuzzleBoard& b);

struct InputState;
// Turns one newly pressed direction into pendingDirection and the slide scene.
void TakeMoveInput(PuzzleBoard& b, const InputState& input);

// bestScore from "score.fil" in the current folder; 9999 when it cannot be opened.
void ReadBestScore(PuzzleBoard& b);

// Writes bestScore to "score.fil" as four digits, replacing the old file whole.
void WriteBestScore(const PuzzleBoard& b);

// ---- Scenes and drawing ---------------------------------------------------------------------

// Scene numbers of GameScene.
constexpr int kSceneSetUp = 0;
constexpr int kSceneTitle = 1;
constexpr int kScenePlay = 2;
constexpr int kSceneSlide = 3;
constexpr int kSceneCleared = 6;

extern int bannerY;                // y of the cleared banner; 70 at each set-up, rests at 20
extern std::int32_t letterSheet;   // ObjectId of "letter.bmp"

// One frame of the game: polls input, runs the scene, draws it.
void GameFrame();

// Puts the 25 cells, the status label and the best-score and move counters.
void DrawBoard(const PuzzleBoard& b);

// Loads "tiles.bmp" and "letter.bmp" from the program's folder into tileSheet and letterSheet.
void LoadGameBitmaps();
