// The game end to end: the real program loop on the headless backend with scripted input,
// checked on the captured frames (cells, counters, prompt and banner against the regions of
// tiles.bmp and letter.bmp) and on "score.fil".
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/game/frames.h"

namespace
{

using namespace frames;
using platform::headless::CapturedFrames;
using Board = std::vector<int>; // 25 cells, 25 the empty one

constexpr int kFirstPlayFrame = 6;

// Where each arrow key sends the empty cell: Up slides the tile below it up.
int MoveOf(const std::string& key)
{
    return key == "Up" ? 5 : key == "Down" ? -5 : key == "Left" ? 1 : key == "Right" ? -1 : 0;
}

// Moves the empty cell by d; false, with nothing changed, when that would leave the board.
bool Apply(Board& cells, int d)
{
    int blank = static_cast<int>(std::find(cells.begin(), cells.end(), 25) - cells.begin());
    bool allowed = (d == -5 && blank > 4) || (d == 5 && blank < 20) ||
                   (d == -1 && blank % 5 != 0) || (d == 1 && blank % 5 != 4);
    if (allowed)
    {
        std::swap(cells[blank], cells[blank + d]);
    }
    return allowed;
}

// True for a newly dealt board: every tile once, not in order. The deal itself is the board
// tests' concern; here the first frame of a game says which board it dealt.
bool Dealt(const Board& cells)
{
    Board sorted = cells;
    std::sort(sorted.begin(), sorted.end());
    return sorted == SolvedCells() && cells != SolvedCells();
}

class Play : public ::testing::Test
{
  protected:
    testing_support::TempDir folder;
};

TEST_F(Play, TitleShowsTheSolvedBoardAndThePromptBlinks)
{
    EXPECT_EQ(RunGame(125, ""), 0);
    for (int n = 1; n <= 125; ++n)
    {
        SCOPED_TRACE("frame " + std::to_string(n));
        const CapturedFrame& frame = Frame(n);
        // The counter is 1 on the first title frame: on while it is 0 to 39 modulo 60.
        bool on = n % 60 < 40;
        EXPECT_EQ(PromptShown(frame), on);
        EXPECT_TRUE(on ? CellsShow(frame, SolvedCells(), 70, 86) : CellsShow(frame, SolvedCells()));
        // Before the first game the score file has not been read.
        EXPECT_EQ(Best(frame), "   0");
        EXPECT_EQ(Moves(frame), "   0");
        EXPECT_EQ(BannerY(frame), -1);
    }
    EXPECT_EQ(folder.Read("score.fil"), "<missing>");
}

// A move off the board is refused in the sample script's second game.
TEST_F(Play, TwoDirectionsAtOnceAreNoMove)
{
    EXPECT_EQ(RunGame(14, std::string(kStart) + "8 key Up down\n8 key Left down\n"), 0);
    const Board dealt = Cells(Frame(kFirstPlayFrame));
    EXPECT_TRUE(Dealt(dealt));
    for (int n = kFirstPlayFrame; n <= 14; ++n)
    {
        EXPECT_EQ(Cells(Frame(n)), dealt) << n;
        EXPECT_EQ(Moves(Frame(n)), "   0") << n;
    }
}

TEST_F(Play, F1OnTheTitleSkipsItAndTheGameStillHasItsPictures)
{
    // F1 before the very first frame: the title never runs.
    EXPECT_EQ(RunGame(4, "0 key F1 down\n1 key F1 up\n"), 0);
    EXPECT_TRUE(Black(Frame(1)));
    EXPECT_TRUE(Dealt(Cells(Frame(2))));
    EXPECT_TRUE(Shows(Frame(2), 2, 162, Letters(), {110, 52, 133, 68}, true)); // the best's label
    EXPECT_EQ(Best(Frame(2)), "9999");
}

// tests/game/play.input, the script the README runs from the command line: Space on the
// title, 192 arrow-key presses that solve the first game, Space on the cleared banner, a
// key in the next game, F1, Escape.
TEST_F(Play, TheSampleScriptPlaysAWholeGameFrameByFrame)
{
    std::ifstream in(AssetsFolder() + "../tests/game/play.input");
    std::stringstream script;
    script << in.rdbuf();
    ASSERT_FALSE(script.str().empty());
    EXPECT_EQ(RunGame(700, script.str()), 0);
    // Escape went down before frame 665: the run ended at once.
    EXPECT_EQ(CapturedFrames().back().frame, 664);
    EXPECT_TRUE(PromptShown(Frame(4)));
    EXPECT_TRUE(Black(Frame(5)));

    // The board after each move of the first game, and the frame each move shows on: the one
    // after its input, which is a press's second frame, or its first when the same key was
    // let go on the frame before (the key goes straight to held).
    std::vector<Board> boards = {Cells(Frame(kFirstPlayFrame))};
    std::vector<int> shownOn;
    std::string line;
    std::string lastKey;
    while (std::getline(script, line))
    {
        std::istringstream words(line);
        int at = 0;
        std::string command, key, state;
        if (words >> at >> command >> key >> state && command == "key" && state == "down" &&
            MoveOf(key) != 0 && at < 600)
        {
            boards.push_back(boards.back());
            ASSERT_TRUE(Apply(boards.back(), MoveOf(key))) << line;
            shownOn.push_back(at + (key == lastKey ? 1 : 2));
            lastKey = key;
        }
    }
    ASSERT_EQ(boards.size(), 193u);
    ASSERT_EQ(boards.back(), SolvedCells());

    // Every frame of play shows the board and the count of the moves shown by then.
    for (int n = kFirstPlayFrame; n <= shownOn.back(); ++n)
    {
        int moves =
            static_cast<int>(std::upper_bound(shownOn.begin(), shownOn.end(), n) - shownOn.begin());
        const CapturedFrame& frame = Frame(n);
        ASSERT_TRUE(CellsShow(frame, boards[moves])) << "frame " << n << " after move " << moves;
        std::string shown = Moves(frame); // all blank throws, which fails too
        ASSERT_EQ(shown.substr(shown.find_first_not_of(' ')), std::to_string(moves)) << n;
        ASSERT_EQ(Best(frame), "9999") << "frame " << n;
    }

    // The next frame finds the board solved: the new best shows at once, and the file has it.
    const int solvedAt = shownOn.back() + 1;
    EXPECT_EQ(Best(Frame(solvedAt)), " 192");
    EXPECT_EQ(BannerY(Frame(solvedAt)), -1);
    EXPECT_EQ(folder.Read("score.fil"), "0192");
    // The banner comes up one pixel a frame from y = 70 and rests at 20; the second line
    // shows from the 49th cleared frame on.
    for (int k = 1; k <= 56; ++k)
    {
        SCOPED_TRACE("cleared frame " + std::to_string(k));
        const CapturedFrame& frame = Frame(solvedAt + k);
        int y = k <= 51 ? 71 - k : 20;
        EXPECT_EQ(BannerY(frame), y);
        EXPECT_EQ(Shows(frame, 47, 80, Letters(), {0, 21, 66, 36}), k >= 49); // its second line
        EXPECT_TRUE(CellsShow(frame, SolvedCells(), y, k >= 49 ? 96 : y + 21));
        EXPECT_EQ(Moves(frame), " 192");
        EXPECT_EQ(Best(frame), " 192");
    }
    // Space goes down on frame 640 and is held on 641: set-up on 642, the next game on 643
    // with the best kept, shuffled anew. Its empty cell is on the top row, so Down on 647 is
    // refused; F1 on 655 deals again within the same second, so the same board.
    EXPECT_TRUE(Black(Frame(642)));
    EXPECT_TRUE(Black(Frame(655)));
    const Board second = Cells(Frame(643));
    EXPECT_TRUE(Dealt(second));
    EXPECT_NE(second, boards.front());
    for (int n : {643, 654, 656})
    {
        const CapturedFrame& frame = Frame(n);
        EXPECT_EQ(Cells(frame), second) << n;
        EXPECT_EQ(Moves(frame), "   0") << n;
        EXPECT_EQ(Best(frame), " 192") << n;
        EXPECT_EQ(BannerY(frame), -1) << n;
    }
}

} // namespace
