// The pseudo-random generator shared by the shuffle, the tables and the effects: a 32-bit
// linear congruential generator whose sequence games and tests rely on.
#include "system/system.h"

namespace
{
std::uint32_t randomState = 1; // generator state
}

void SeedRandom(std::uint32_t seed)
{
    randomState = seed;
}

int Random()
{
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}

std::uint32_t CalendarSeed()
{
    return static_cast<std::uint32_t>(platform::CalendarSeconds());
}
