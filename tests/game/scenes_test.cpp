// Scenes from a known position: the test sets the board one move short of solved during play
// (as a script action before a frame), finishes it with a real key press and looks at the
// cleared scene's timing, the counters and "score.fil".
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

#include "game/game.h"
#include "platform/headless/headless_internal.h"
#include "tests/game/frames.h"
#include "tests/support/headless.h"

namespace
{

using frames::CapturedFrame;
using platform::headless::CapturedFrames;

const CapturedFrame& Frame(int n)
{
    for (const CapturedFrame& frame : CapturedFrames())
    {
        if (frame.frame == n)
        {
            return frame;
        }
    }
    ADD_FAILURE() << "frame " << n << " was not presented";
    static const CapturedFrame none{};
    return none;
}

// Space on frame 4 starts the game: frame 5 sets up, play runs from frame 6.
constexpr const char* kStart = "3 key Space down\n6 key Space up\n";

// Before frame 7: the board one move short of solved (the empty cell left of tile 24), with
// moves made so far. Left on frame 8 moves on frame 10; frame 11 finds the board solved; the
// cleared scene runs from frame 12.
void NearlySolvedAt(int frame, int moves)
{
    platform::headless::AddScriptAction(frame, [moves] {
        for (int i = 0; i < 25; ++i)
        {
            board.cells[i] = i + 1;
        }
        board.cells[23] = 25;
        board.cells[24] = 24;
        board.blankIndex = 23;
        board.moveCount = moves;
    });
}
constexpr const char* kFinish = "8 key Left down\n10 key Left up\n";
constexpr int kFirstCleared = 12;

int Cleared(int k)
{
    return kFirstCleared + k - 1;
}

int RunGame(int frames, const std::string& script)
{
    return testing_support::RunProgram(frames, script, frames::GameConfig());
}

class Scenes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(frames::Letters().width, 160) << "cannot read " << frames::AssetsFolder();
    }
    testing_support::TempDir folder;
};

TEST_F(Scenes, FinishingMoveShowsThenTheSolveIsFoundThenTheBannerComes)
{
    folder.Write("score.fil", "0042");
    NearlySolvedAt(7, 29);
    EXPECT_EQ(RunGame(Cleared(3), std::string(kStart) + kFinish), 0);
    EXPECT_EQ(frames::Moves(Frame(9)), "  29");
    EXPECT_EQ(frames::Cells(Frame(10)), frames::SolvedCells());
    EXPECT_EQ(frames::Moves(Frame(10)), "  30");
    EXPECT_EQ(frames::Best(Frame(10)), "  42");
    // The best changes on the frame that finds the solve, and the file has it.
    EXPECT_EQ(frames::Best(Frame(11)), "  30");
    EXPECT_EQ(frames::BannerY(Frame(11)), -1);
    EXPECT_EQ(frames::BannerY(Frame(Cleared(1))), 70);
    EXPECT_EQ(folder.Read("score.fil"), "0030");
}

TEST_F(Scenes, AWorseSolveKeepsTheBestAndStillWritesTheFile)
{
    folder.Write("score.fil", "0042");
    NearlySolvedAt(7, 49);
    EXPECT_EQ(RunGame(Cleared(2), std::string(kStart) + kFinish), 0);
    EXPECT_EQ(frames::Best(Frame(11)), "  42");
    EXPECT_EQ(frames::Moves(Frame(11)), "  50");
    EXPECT_EQ(folder.Read("score.fil"), "0042");
}

class ClearedButton : public Scenes, public ::testing::WithParamInterface<int>
{
};

// A joystick button goes down on the given cleared frame and up on the next.
TEST_P(ClearedButton, CountsFromThe49thClearedFrameOn)
{
    const int k = GetParam();
    NearlySolvedAt(7, 0);
    std::string script = std::string(kStart) + kFinish;
    script += std::to_string(Cleared(k)) + " joy 0 32767 32767 1\n";
    script += std::to_string(Cleared(k) + 1) + " joy 0 32767 32767 0\n";
    EXPECT_EQ(RunGame(Cleared(56), script), 0);
    bool accepted = k >= 49;
    EXPECT_EQ(frames::Black(Frame(Cleared(k) + 1)), accepted);
    if (accepted)
    {
        EXPECT_EQ(frames::Moves(Frame(Cleared(k) + 2)), "   0");
        EXPECT_EQ(frames::BannerY(Frame(Cleared(k) + 2)), -1);
    }
    else
    {
        EXPECT_EQ(frames::BannerY(Frame(Cleared(56))), 20);
        EXPECT_TRUE(frames::SecondLineShown(Frame(Cleared(56))));
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, ClearedButton, ::testing::Values(1, 47, 48, 49, 50, 53));

TEST_F(Scenes, AButtonKeptDownFromBeforeTheBannerArrivedStartsNothing)
{
    NearlySolvedAt(7, 0);
    std::string script = std::string(kStart) + kFinish;
    script += std::to_string(Cleared(30)) + " joy 0 32767 32767 2\n";
    script += std::to_string(Cleared(70)) + " joy 0 32767 32767 0\n";
    script += std::to_string(Cleared(72)) + " joy 0 32767 32767 2\n";
    EXPECT_EQ(RunGame(Cleared(74), script), 0);
    for (int k = 30; k <= 72; ++k)
    {
        EXPECT_FALSE(frames::Black(Frame(Cleared(k)))) << k;
    }
    EXPECT_TRUE(frames::Black(Frame(Cleared(73))));
}

TEST_F(Scenes, ADirectionOnTheSolvingFrameMovesOnInsteadOfClearing)
{
    folder.Write("score.fil", "0042");
    NearlySolvedAt(7, 9);
    // Down goes down while Left comes up, so on frame 11 Down alone is new.
    std::string script = std::string(kStart) + "8 key Left down\n10 key Left up\n"
                                                "10 key Down down\n12 key Down up\n";
    EXPECT_EQ(RunGame(16, script), 0);
    EXPECT_EQ(frames::Best(Frame(11)), "  10");
    EXPECT_EQ(folder.Read("score.fil"), "0010");
    // The slide runs instead of the cleared scene: the empty cell goes up from the corner.
    std::vector<int> cells = frames::SolvedCells();
    cells[24] = 20;
    cells[19] = 25;
    for (int n = 12; n <= 16; ++n)
    {
        EXPECT_EQ(frames::Cells(Frame(n)), cells) << n;
        EXPECT_EQ(frames::Moves(Frame(n)), "  11") << n;
        EXPECT_EQ(frames::BannerY(Frame(n)), -1) << n;
    }
}

TEST_F(Scenes, CountersShowFourPlacesForAnyValue)
{
    struct Case
    {
        int value;
        const char* shown;
    };
    const Case cases[] = {
        {0, "   0"},       {5, "   5"},       {10, "  10"},      {99, "  99"},
        {100, " 100"},     {105, " 105"},     {999, " 999"},     {1000, "1000"},
        {1005, "1005"},    {9999, "9999"},    {10000, "9999"},   {12345, "9999"},
        {INT_MAX, "9999"}, {-1, "   0"},      {-110, "   0"},    {INT_MIN, "   0"},
    };
    const int first = 7;
    for (size_t i = 0; i < std::size(cases); ++i)
    {
        int value = cases[i].value;
        platform::headless::AddScriptAction(first + static_cast<int>(i), [value] {
            board.moveCount = value;
            board.bestScore = value;
        });
    }
    EXPECT_EQ(RunGame(first + static_cast<int>(std::size(cases)), kStart), 0);
    for (size_t i = 0; i < std::size(cases); ++i)
    {
        const CapturedFrame& frame = Frame(first + static_cast<int>(i));
        EXPECT_EQ(frames::Moves(frame), cases[i].shown) << cases[i].value;
        EXPECT_EQ(frames::Best(frame), cases[i].shown) << cases[i].value;
        EXPECT_TRUE(frames::LabelShown(frame));
    }
}

struct ScoreCase
{
    const char* name;   // for the test's name
    const char* bytes;  // "score.fil" before the game; nullptr: no file
    const char* best;   // the best as the strip shows it during play
    const char* after;  // the file after a solve in 10 moves
};

class ScoreFile : public Scenes, public ::testing::WithParamInterface<ScoreCase>
{
};

TEST_P(ScoreFile, BadBytesShowSafelyAndTheSolveWritesFourDigits)
{
    const ScoreCase& c = GetParam();
    if (c.bytes != nullptr)
    {
        folder.Write("score.fil", c.bytes);
    }
    NearlySolvedAt(7, 9);
    EXPECT_EQ(RunGame(Cleared(2), std::string(kStart) + kFinish), 0);
    EXPECT_EQ(frames::Best(Frame(6)), c.best);
    EXPECT_EQ(folder.Read("score.fil"), c.after);
    EXPECT_EQ(frames::BannerY(Frame(Cleared(1))), 70);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, ScoreFile,
    ::testing::Values(ScoreCase{"NoFile", nullptr, "9999", "0010"},
                      ScoreCase{"Best42", "0042", "  42", "0010"},
                      ScoreCase{"Best7", "0007", "   7", "0007"},
                      ScoreCase{"Empty", "", "9999", "0010"},
                      ScoreCase{"Short", "12", "9999", "0010"},
                      ScoreCase{"LineEnd", "1\n23", "9999", "0010"},
                      ScoreCase{"Long", "12345", "1234", "0010"},
                      ScoreCase{"Letters", "abcd", "9999", "0010"},
                      ScoreCase{"Colon", "00:0", " 100", "0010"},
                      ScoreCase{"BelowZero", "0/00", "   0", "0000"},
                      ScoreCase{"HighBytes", "\xff\xff\xff\xff", "   0", "0000"}),
    [](const ::testing::TestParamInfo<ScoreCase>& info) { return std::string(info.param.name); });

} // namespace
