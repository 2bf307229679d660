// Bytes as "score.fil": four digits read as their number, anything shorter as no score,
// other bytes by their codes and no further; a score of 0 to 9999 written back reads the same.
#include <cctype>

#include "fuzz/fuzz_support.h"
#include "game/game.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::WriteFile("score.fil", bytes);
    PuzzleBoard b{};
    b.bestScore = -1;
    ReadBestScore(b);
    std::size_t lineLength = std::min(bytes.find('\n'), bytes.size());
    if (lineLength < 4)
    {
        FUZZ_CHECK(b.bestScore == 9999);
        return 0;
    }
    FUZZ_CHECK(b.bestScore >= (-128 - 48) * 1111 && b.bestScore <= (127 - 48) * 1111);
    bool digits = true;
    int number = 0;
    for (int i = 0; i < 4; ++i)
    {
        digits = digits && std::isdigit(static_cast<unsigned char>(bytes[i]));
        number = number * 10 + (bytes[i] - '0');
    }
    if (digits)
    {
        FUZZ_CHECK(b.bestScore == number);
    }
    if (b.bestScore >= 0 && b.bestScore <= 9999)
    {
        int read = b.bestScore;
        WriteBestScore(b);
        b.bestScore = -1;
        ReadBestScore(b);
        FUZZ_CHECK(b.bestScore == read);
    }
    return 0;
}
