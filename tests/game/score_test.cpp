// The best-score file: four ASCII digits in the current folder, replaced whole.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "game/game.h"
#include "tests/support/headless.h"

using testing_support::TempDir;

namespace
{

int ReadScore()
{
    PuzzleBoard b{};
    b.bestScore = -7;
    ReadBestScore(b);
    return b.bestScore;
}

void WriteScore(int value)
{
    PuzzleBoard b{};
    b.bestScore = value;
    WriteBestScore(b);
}

} // namespace

TEST(BestScoreFile, FourDigitsReadAsTheirValueAndAMissingFileAsNoBest)
{
    TempDir dir;
    EXPECT_EQ(ReadScore(), 9999);
    dir.Write("score.fil", "0042");
    EXPECT_EQ(ReadScore(), 42);
    dir.Write("score.fil", "9999trailing");
    EXPECT_EQ(ReadScore(), 9999);
}

TEST(BestScoreFile, WritesExactlyFourDigitsWithLeadingZeros)
{
    TempDir dir;
    for (auto [value, bytes] : {std::pair{42, "0042"}, {0, "0000"}, {7, "0007"}, {1005, "1005"},
                                {9999, "9999"}, {-3, "0000"}})
    {
        WriteScore(value);
        EXPECT_EQ(dir.Read("score.fil"), bytes) << value;
    }
}

TEST(BestScoreFile, CharactersBelowZeroGiveANegativeBestWrittenBackAsZeros)
{
    TempDir dir;
    dir.Write("score.fil", "00/0"); // '/' is one below '0'
    EXPECT_EQ(ReadScore(), -10);
    WriteScore(-10);
    EXPECT_EQ(dir.Read("score.fil"), "0000");
}

TEST(BestScoreFile, ShortFilesAndEarlyLineEndsReadAsNoBest)
{
    TempDir dir;
    for (const char* bytes : {"", "4", "042", "04\n2", "\n0042"})
    {
        dir.Write("score.fil", bytes);
        EXPECT_EQ(ReadScore(), 9999) << '"' << bytes << '"';
    }
}

TEST(BestScoreFile, AFolderThatCannotTakeFilesIsQuietlySkipped)
{
    TempDir dir;
    // A current folder that has been removed refuses every new file, even to root.
    mkdir(dir.File("gone").c_str(), 0755);
    ASSERT_EQ(chdir(dir.File("gone").c_str()), 0);
    rmdir(dir.File("gone").c_str());
    WriteScore(17);
    EXPECT_EQ(ReadScore(), 9999);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
}

TEST(BestScoreFile, AFailedWriteKeepsTheOldFileWhole)
{
    TempDir dir;
    dir.Write("score.fil", "0042");
    // The replacement cannot be made, so the old best must survive untouched.
    mkdir(dir.File("score.fil.new").c_str(), 0755);
    WriteScore(17);
    EXPECT_EQ(dir.Read("score.fil"), "0042");
    rmdir(dir.File("score.fil.new").c_str());
    WriteScore(17);
    EXPECT_EQ(dir.Read("score.fil"), "0017");
    EXPECT_EQ(dir.Read("score.fil.new"), "<missing>");
}
