// A game played in a window (SDL's dummy video driver, synthetic events) and recorded
// replays headless to the same board, move count and best-score file.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace
{

// The driver's last line of output.
std::string RunDriver(const std::string& mode, const std::string& record)
{
    std::string command = std::string(RECORD_DRIVER) + " " + mode + " " + record + " 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
    {
        return "<no run>";
    }
    std::string out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
    {
        out = buffer;
    }
    pclose(pipe);
    return out;
}

} // namespace

TEST(RecordedPlay, ReplaysHeadlessToTheSameBoardMovesAndScoreFile)
{
    testing_support::TempDir folder;
    std::string played = RunDriver("record", folder.File("game.input"));
    ASSERT_NE(played.find("moves"), std::string::npos) << played;
    std::string score = folder.Read("score.fil");

    std::string text = folder.Read("game.input");
    EXPECT_NE(text.find("# time "), std::string::npos);
    EXPECT_NE(text.find(" key Space down"), std::string::npos);
    EXPECT_NE(text.find(" key F1 down"), std::string::npos);
    EXPECT_NE(text.find(" mouse 40 50"), std::string::npos);

    std::remove(folder.File("score.fil").c_str());
    std::remove(folder.File("score.fil.new").c_str());
    std::string replayed = RunDriver("replay", folder.File("game.input"));
    EXPECT_EQ(replayed, played);
    EXPECT_EQ(folder.Read("score.fil"), score);
    // The player's twenty slides, less any the board's edge refused, were counted.
    EXPECT_EQ(played.rfind("scene ", 0), 0u);
}
