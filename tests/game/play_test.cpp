// The game end to end: the real program loop on the headless backend with scripted input,
// checked on the captured frames (cells, counters, prompt and banner against the regions of
// tiles.bmp and letter.bmp) and on "score.fil".
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "game/game.h"
#include "platform/headless/headless_internal.h"
#include "system/system.h"
#include "tests/game/frames.h"
#include "tests/game/solver.h"
#include "tests/support/headless.h"

namespace
{

using frames::CapturedFrame;
using platform::headless::CapturedFrames;

// The frame the program presented as its n-th, or null.
const CapturedFrame* FrameAt(int n)
{
    for (const CapturedFrame& frame : CapturedFrames())
    {
        if (frame.frame == n)
        {
            return &frame;
        }
    }
    return nullptr;
}

const CapturedFrame& Frame(int n)
{
    const CapturedFrame* frame = FrameAt(n);
    if (frame == nullptr)
    {
        ADD_FAILURE() << "frame " << n << " was not presented";
        static const CapturedFrame none{};
        return none;
    }
    return *frame;
}

// The board a new game deals when the clock reads seed seconds: the shuffle of the solved
// board, as the game makes it.
solver::Cells Shuffled(std::uint32_t seed)
{
    static constexpr int kDirections[4] = {5, -5, 1, -1};
    PuzzleBoard b{};
    for (int i = 0; i < 25; ++i)
    {
        b.cells[i] = i + 1;
    }
    b.blankIndex = 24;
    SeedRandom(seed);
    for (int i = 0; i < 2048; ++i)
    {
        b.pendingDirection = kDirections[Random() % 4];
        MoveBlank(b);
    }
    solver::Cells cells{};
    for (int i = 0; i < 25; ++i)
    {
        cells[i] = b.cells[i];
    }
    return cells;
}

std::vector<int> AsVector(const solver::Cells& cells)
{
    return std::vector<int>(cells.begin(), cells.end());
}

std::uint32_t StartSeconds()
{
    return static_cast<std::uint32_t>(platform::headless::HeadlessConfig{}.startSeconds);
}

// True when the cells of the rows that nothing covers show exactly these tiles.
bool CellsShow(const CapturedFrame& frame, const solver::Cells& cells, int coveredTop = -1,
               int coveredBottom = -1)
{
    for (int p = 0; p < 25; ++p)
    {
        int top = 32 * (p / 5);
        if (top < coveredBottom && top + 32 > coveredTop)
        {
            continue;
        }
        if (!frames::Shows(frame, 32 * (p % 5), top, frames::Tiles(),
                           frames::TileRegion(cells[p]), true))
        {
            return false;
        }
    }
    return true;
}

// Space down at frame 3 reaches the game as a press on frame 4: frame 5 is the set-up and
// frame 6 the first frame of play.
constexpr const char* kStart = "3 key Space down\n6 key Space up\n";
constexpr int kFirstPlayFrame = 6;

class Play : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(frames::Tiles().width, 160) << "cannot read " << frames::AssetsFolder();
        ASSERT_EQ(frames::Letters().width, 160);
    }
    int RunGame(int frames, const std::string& script)
    {
        return testing_support::RunProgram(frames, script, frames::GameConfig());
    }
    testing_support::TempDir folder;
};

TEST_F(Play, TitleShowsTheSolvedBoardAndThePromptBlinks)
{
    EXPECT_EQ(RunGame(130, ""), 0);
    ASSERT_GE(CapturedFrames().size(), 125u);
    const solver::Cells solved = [] {
        solver::Cells c{};
        for (int i = 0; i < 25; ++i)
        {
            c[i] = i + 1;
        }
        return c;
    }();
    for (int n = 1; n <= 125; ++n)
    {
        SCOPED_TRACE("frame " + std::to_string(n));
        const CapturedFrame& frame = Frame(n);
        // The counter is 1 on the first title frame: on while it is 0 to 39 modulo 60.
        bool on = n % 60 < 40;
        EXPECT_EQ(frames::PromptShown(frame), on);
        EXPECT_TRUE(on ? CellsShow(frame, solved, 70, 86) : CellsShow(frame, solved));
        EXPECT_TRUE(frames::LabelShown(frame));
        // Before the first game the score file has not been read.
        EXPECT_EQ(frames::Best(frame), "   0");
        EXPECT_EQ(frames::Moves(frame), "   0");
        EXPECT_EQ(frames::BannerY(frame), -1);
    }
    EXPECT_EQ(folder.Read("score.fil"), "<missing>");
}

TEST_F(Play, SpaceStartsAGameWithAnEmptySetUpFrameFirst)
{
    EXPECT_EQ(RunGame(10, kStart), 0);
    EXPECT_TRUE(frames::PromptShown(Frame(4)));
    EXPECT_TRUE(frames::Black(Frame(5)));
    const CapturedFrame& first = Frame(kFirstPlayFrame);
    EXPECT_EQ(frames::Cells(first), AsVector(Shuffled(StartSeconds())))
        << frames::DescribeBoardFrame(first);
    EXPECT_FALSE(frames::PromptShown(first));
    // No score file: no best yet.
    EXPECT_EQ(frames::Best(first), "9999");
    EXPECT_EQ(frames::Moves(first), "   0");
    EXPECT_EQ(frames::Cells(Frame(9)), frames::Cells(first));
}

TEST_F(Play, AJoystickButtonStartsTheGameOnTheFrameItGoesDown)
{
    folder.Write("score.fil", "0042");
    EXPECT_EQ(RunGame(8, "3 joy 0 32767 32767 4\n5 joy 0 32767 32767 0\n"), 0);
    EXPECT_TRUE(frames::PromptShown(Frame(3)));
    EXPECT_TRUE(frames::Black(Frame(4)));
    EXPECT_EQ(frames::Best(Frame(5)), "  42");
    EXPECT_EQ(frames::Cells(Frame(5)), AsVector(Shuffled(StartSeconds())));
}

TEST_F(Play, AButtonHeldFromTheStartCountsAsAPress)
{
    EXPECT_EQ(RunGame(4, "0 joy 0 32767 32767 1\n"), 0);
    EXPECT_FALSE(frames::Black(Frame(1)));
    EXPECT_TRUE(frames::Black(Frame(2)));
    EXPECT_EQ(frames::Moves(Frame(3)), "   0");
}

TEST_F(Play, ArrowKeysMoveTheEmptyCellTheRightWayAndCountMoves)
{
    solver::Cells cells = Shuffled(StartSeconds());
    // Pick four moves the board allows, each with its key.
    std::vector<int> moves;
    solver::Cells probe = cells;
    for (int d : {5, -1, -5, 1, 5, -1, -5, 1})
    {
        if (moves.size() < 4 && solver::Apply(probe, d))
        {
            moves.push_back(d);
        }
    }
    ASSERT_EQ(moves.size(), 4u);
    std::vector<int> triggers;
    std::string script = std::string(kStart) + solver::MoveScript(moves, 8, &triggers);
    EXPECT_EQ(RunGame(triggers.back() + 4, script), 0);

    solver::Cells expected = cells;
    for (size_t i = 0; i < moves.size(); ++i)
    {
        SCOPED_TRACE("move " + std::to_string(i) + " by key " + solver::KeyFor(moves[i]));
        // The input frame still shows the board before the move; the next frame shows it made.
        const CapturedFrame& before = Frame(triggers[i]);
        EXPECT_EQ(frames::Cells(before), AsVector(expected));
        EXPECT_EQ(frames::Moves(before), frames::Counter(static_cast<int>(i)));
        ASSERT_TRUE(solver::Apply(expected, moves[i]));
        const CapturedFrame& after = Frame(triggers[i] + 1);
        EXPECT_EQ(frames::Cells(after), AsVector(expected)) << frames::DescribeBoardFrame(after);
        EXPECT_EQ(frames::Moves(after), frames::Counter(static_cast<int>(i) + 1));
    }
}

TEST_F(Play, RefusedMovesAndTwoDirectionsAtOnceCountNothing)
{
    solver::Cells cells = Shuffled(StartSeconds());
    int blank = solver::BlankOf(cells);
    // A key whose move would leave the board, if the empty cell is on an edge; and Up with
    // Left together, which is never a move.
    std::string script = kStart;
    script += "8 key Up down\n8 key Left down\n12 key Up up\n12 key Left up\n";
    int refused = 0;
    for (int d : {5, -5, 1, -1})
    {
        if (!solver::Allowed(blank, d))
        {
            refused = d;
        }
    }
    if (refused != 0)
    {
        std::string key = solver::KeyFor(refused);
        script += "14 key " + key + " down\n17 key " + key + " up\n";
    }
    EXPECT_EQ(RunGame(20, script), 0);
    for (int n = kFirstPlayFrame; n <= 20; ++n)
    {
        SCOPED_TRACE("frame " + std::to_string(n));
        EXPECT_EQ(frames::Cells(Frame(n)), AsVector(cells));
        EXPECT_EQ(frames::Moves(Frame(n)), "   0");
    }
}

TEST_F(Play, F1DealsANewGameAndEscapeQuits)
{
    solver::Cells cells = Shuffled(StartSeconds());
    int d = 0;
    for (int candidate : {5, -5, 1, -1})
    {
        if (solver::Allowed(solver::BlankOf(cells), candidate))
        {
            d = candidate;
        }
    }
    std::vector<int> triggers;
    std::string script = std::string(kStart) + solver::MoveScript({d}, 8, &triggers);
    // F1 one second later, so that the new shuffle has another seed; Escape after that.
    script += "20 wait 1000\n20 key F1 down\n21 key F1 up\n25 key Escape down\n";
    int result = RunGame(100, script);
    EXPECT_EQ(result, 0);
    // Escape ended the run at once: no frame after it.
    EXPECT_EQ(CapturedFrames().back().frame, 24);
    EXPECT_EQ(frames::Moves(Frame(19)), "   1");
    EXPECT_TRUE(frames::Black(Frame(20)));
    const CapturedFrame& dealt = Frame(21);
    EXPECT_EQ(frames::Moves(dealt), "   0");
    std::uint32_t seed = platform::headless::HeadlessConfig{}.startSeconds + 1;
    EXPECT_EQ(frames::Cells(dealt), AsVector(Shuffled(seed)));
    EXPECT_NE(frames::Cells(dealt), frames::Cells(Frame(19)));
}

TEST_F(Play, F1OnTheTitleSkipsItAndTheGameStillHasItsPictures)
{
    // F1 before the very first frame: the title never runs.
    EXPECT_EQ(RunGame(4, "0 key F1 down\n1 key F1 up\n"), 0);
    EXPECT_TRUE(frames::Black(Frame(1)));
    EXPECT_EQ(frames::Cells(Frame(2)), AsVector(Shuffled(StartSeconds())));
    EXPECT_TRUE(frames::LabelShown(Frame(2)));
    EXPECT_EQ(frames::Best(Frame(2)), "9999");
}

// ---- A whole game: the shuffled board solved with real key presses --------------------------

TEST_F(Play, AShuffledGameSolvedWithTheArrowKeys)
{
    solver::Cells cells = Shuffled(StartSeconds());
    std::vector<int> moves = solver::Solve(cells);
    ASSERT_FALSE(moves.empty());
    const int n = static_cast<int>(moves.size());
    ASSERT_LT(n, 9999);

    std::vector<int> triggers;
    std::string script = std::string(kStart) + solver::MoveScript(moves, 8, &triggers);
    // The last move shows on the frame after its input; the next frame finds the board
    // solved, and the cleared scene starts on the frame after that.
    const int cleared = triggers.back() + 3;
    auto at = [cleared](int k) { return cleared + k - 1; }; // the k-th cleared frame
    // Space pressed early enough to be down on cleared frame 48 and kept down: ignored.
    script += std::to_string(at(47)) + " key Space down\n";
    script += std::to_string(at(51)) + " key Space up\n";
    // Pressed again once the banner has arrived: the next game.
    script += std::to_string(at(52)) + " key Space down\n";
    script += std::to_string(at(55)) + " key Space up\n";
    script += std::to_string(at(58)) + " key Escape down\n";
    EXPECT_EQ(RunGame(at(70), script), 0);
    ASSERT_EQ(CapturedFrames().back().frame, at(57));

    // Every move shows on the frame after its input, with the counter one higher.
    solver::Cells expected = cells;
    for (int i = 0; i < n; ++i)
    {
        ASSERT_TRUE(solver::Apply(expected, moves[i]));
        const CapturedFrame& frame = Frame(triggers[i] + 1);
        ASSERT_TRUE(CellsShow(frame, expected)) << "move " << i << ": "
                                                << frames::DescribeBoardFrame(frame);
        ASSERT_EQ(frames::Moves(frame), frames::Counter(i + 1)) << "move " << i;
        ASSERT_EQ(frames::Best(frame), "9999") << "move " << i;
    }

    // The frame that finds the board solved already shows the new best.
    const CapturedFrame& solvedFrame = Frame(cleared - 1);
    EXPECT_TRUE(CellsShow(solvedFrame, expected));
    EXPECT_EQ(frames::Best(solvedFrame), frames::Counter(n));
    EXPECT_EQ(frames::BannerY(solvedFrame), -1);
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", n);
    EXPECT_EQ(folder.Read("score.fil"), digits);

    // The banner comes up one pixel a frame from y = 70 and rests at 20; the second line
    // shows from the 49th cleared frame on.
    for (int k = 1; k <= 52; ++k)
    {
        SCOPED_TRACE("cleared frame " + std::to_string(k));
        const CapturedFrame& frame = Frame(at(k));
        int y = k <= 51 ? 71 - k : 20;
        EXPECT_EQ(frames::BannerY(frame), y);
        EXPECT_EQ(frames::SecondLineShown(frame), k >= 49);
        EXPECT_TRUE(CellsShow(frame, expected, y, k >= 49 ? 96 : y + 21));
        EXPECT_EQ(frames::Moves(frame), frames::Counter(n));
        EXPECT_EQ(frames::Best(frame), frames::Counter(n));
    }
    // Space went down on cleared frame 48 and stayed down: nothing; pressed again on 52: the
    // set-up frame follows, then a new game with the best kept.
    EXPECT_TRUE(frames::Black(Frame(at(53))));
    const CapturedFrame& next = Frame(at(54));
    EXPECT_EQ(frames::Moves(next), "   0");
    EXPECT_EQ(frames::Best(next), frames::Counter(n));
    EXPECT_EQ(frames::BannerY(next), -1);
    EXPECT_NE(frames::Cells(next), frames::SolvedCells());
}

TEST_F(Play, TheSampleScriptPlaysAWholeGame)
{
    // tests/game/play.input, the script the README runs from the command line.
    std::string path = frames::AssetsFolder() + "../tests/game/play.input";
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(RunGame(675, text.str()), 0);
    // It solves the first game in 192 moves, deals the next, then quits with Escape.
    EXPECT_EQ(folder.Read("score.fil"), "0192");
    EXPECT_EQ(CapturedFrames().back().frame, 664);
    EXPECT_EQ(frames::BannerY(Frame(585)), 70);
    EXPECT_EQ(frames::Best(Frame(600)), " 192");
    // Space goes down on frame 640 and is held on 641: set-up on 642, the next game on 643.
    EXPECT_TRUE(frames::Black(Frame(642)));
    EXPECT_EQ(frames::Moves(Frame(643)), "   0");
}

} // namespace
