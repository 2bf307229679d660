// Scenes from a known position: the test sets the board one move short of solved during play
// (as a script action before a frame), finishes it with a real key press and looks at the
// cleared scene's button, the counters and "score.fil".
#include <gtest/gtest.h>

#include <climits>
#include <numeric>

#include "game/game.h"
#include "platform/backend.h"
#include "platform/headless/headless_internal.h"
#include "tests/game/frames.h"

namespace
{

using namespace frames;

// Before frame 7: the board one move short of solved (the empty cell left of tile 24), with
// moves made so far. Left on frame 8 moves on frame 10; frame 11 finds the board solved; the
// cleared scene runs from frame 12.
void NearlySolvedAt7(int moves)
{
    platform::headless::AddScriptAction(7,
                                        [moves]
                                        {
                                            std::iota(board.cells, board.cells + 25, 1);
                                            std::swap(board.cells[23], board.cells[24]);
                                            board.blankIndex = 23;
                                            board.moveCount = moves;
                                        });
}
const std::string kFinish = std::string(kStart) + "8 key Left down\n10 key Left up\n";

// The cleared scene's k-th frame is kBeforeCleared + k.
constexpr int kBeforeCleared = 11;

class Scenes : public ::testing::Test
{
  protected:
    testing_support::TempDir folder;
};

class ClearedButton : public Scenes, public ::testing::WithParamInterface<int>
{
};

// A joystick button goes down on the given cleared frame and up on the next.
TEST_P(ClearedButton, CountsFromThe49thClearedFrameOn)
{
    const int at = kBeforeCleared + GetParam();
    NearlySolvedAt7(0);
    std::string script = kFinish + std::to_string(at) + " joy 0 32767 32767 1\n" +
                         std::to_string(at + 1) + " joy 0 32767 32767 0\n";
    EXPECT_EQ(RunGame(kBeforeCleared + 56, script), 0);
    bool accepted = GetParam() >= 49;
    EXPECT_EQ(Black(Frame(at + 1)), accepted); // the set-up of the next game
    EXPECT_EQ(BannerY(Frame(kBeforeCleared + 56)), accepted ? -1 : 20);
}

INSTANTIATE_TEST_SUITE_P(Frames, ClearedButton, ::testing::Values(48, 49));

TEST_F(Scenes, CountersShowFourPlacesForAnyValue)
{
    struct Case
    {
        int value;
        const char* shown;
    };
    // Smaller counts show throughout the sample script's game; the tens zero shows from 100.
    const Case cases[] = {{99, "  99"},    {100, " 100"},     {1005, "1005"},
                          {10000, "9999"}, {INT_MAX, "9999"}, {-1, "   0"}};
    const int count = static_cast<int>(std::size(cases));
    for (int i = 0; i < count; ++i)
    {
        platform::headless::AddScriptAction(7 + i,
                                            [value = cases[i].value]
                                            {
                                                board.moveCount = value;
                                                board.bestScore = value;
                                            });
    }
    EXPECT_EQ(RunGame(7 + count, kStart), 0);
    for (int i = 0; i < count; ++i)
    {
        EXPECT_EQ(Moves(Frame(7 + i)), cases[i].shown) << cases[i].value;
        EXPECT_EQ(Best(Frame(7 + i)), cases[i].shown) << cases[i].value;
    }
}

struct ScoreCase
{
    const char* name;  // for the test's name
    const char* bytes; // "score.fil" before the game; nullptr: no file
    const char* best;  // the best as the strip shows it during play
    const char* after; // the file after a solve in 10 moves
};

void PrintTo(const ScoreCase& c, std::ostream* out)
{
    *out << c.name;
}

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
    NearlySolvedAt7(9);
    EXPECT_EQ(RunGame(kBeforeCleared + 1, kFinish), 0);
    EXPECT_EQ(Best(Frame(6)), c.best);
    EXPECT_EQ(folder.Read("score.fil"), c.after);
    EXPECT_EQ(BannerY(Frame(kBeforeCleared + 1)), 70);
}

const ScoreCase kScoreCases[] = {{"NoFile", nullptr, "9999", "0010"},
                                 {"Best42", "0042", "  42", "0010"},
                                 {"Best7", "0007", "   7", "0007"},
                                 {"Short", "12", "9999", "0010"},
                                 {"Long", "12345", "1234", "0010"},
                                 {"Letters", "abcd", "9999", "0010"},
                                 {"HighBytes", "\xff\xff\xff\xff", "   0", "0000"}};

INSTANTIATE_TEST_SUITE_P(Bytes, ScoreFile, ::testing::ValuesIn(kScoreCases),
                         [](const ::testing::TestParamInfo<ScoreCase>& info)
                         { return std::string(info.param.name); });

} // namespace

TEST(PuzzleWindow, ShowsTheIconThePuzzleCarries)
{
    testing_support::TempDir folder;
    ASSERT_EQ(testing_support::RunProgram(1), 0);
    const platform::IconImage* icon =
        platform::FindIcon(platform::LoadIcon(platform::GetInstance(), "MAIN"));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(platform::headless::Window().iconWidth, icon->width);
    EXPECT_EQ(platform::headless::Window().iconHeight, icon->height);
    EXPECT_EQ(platform::headless::Window().iconRgba, icon->rgba);
}
