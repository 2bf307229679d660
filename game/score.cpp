// The best score in "score.fil": four ASCII digits, no line end, in the current folder.
#include <cstdio>

#include "game/game.h"
#include "system/files.h"

namespace
{
constexpr const char* kScoreFile = "score.fil";
}

void ReadBestScore(PuzzleBoard& b)
{
    std::FILE* file = std::fopen(kScoreFile, "r");
    if (file == nullptr)
    {
        b.bestScore = 9999;
        return;
    }
    signed char c[4] = {};
    int count = 0;
    while (count < 4)
    {
        int ch = std::fgetc(file);
        if (ch == EOF || ch == '\n')
        {
            break;
        }
        c[count++] = static_cast<signed char>(ch);
    }
    std::fclose(file);
    if (count < 4)
    {
        // Fewer than four characters is no score at all, not a score of missing digits.
        b.bestScore = 9999;
        return;
    }
    // Each byte counts as its code minus '0', unchecked: the file format is the four codes.
    b.bestScore = (c[0] - 48) * 1000 + (c[1] - 48) * 100 + (c[2] - 48) * 10 + (c[3] - 48);
}

void WriteBestScore(const PuzzleBoard& b)
{
    static constexpr int kDivisors[4] = {1000, 100, 10, 1};
    char digits[4];
    int r = b.bestScore;
    for (int k = 0; k < 4; ++k)
    {
        int d = r / kDivisors[k];
        if (d >= 1)
        {
            r -= d * kDivisors[k];
        }
        else
        {
            d = 0;
        }
        digits[k] = static_cast<char>(48 + d);
    }
    // Written beside the old file and then put in its place, so a failed write keeps the
    // previous best.
    WriteFileReplacing(kScoreFile, std::string_view(digits, 4));
}
