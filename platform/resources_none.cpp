// The table of compiled-in bitmaps for a program that carries none. A game that carries some
// links its own table (the puzzle's is generated from assets/); the linker then never takes
// this one from the library.
#include "platform/resources.h"

namespace platform
{
extern const EmbeddedResource kEmbeddedResources[] = {
    {"", nullptr, 0},
};
extern const std::size_t kEmbeddedResourceCount = 0;
} // namespace platform
