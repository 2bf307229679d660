// Named resources compiled into the program: every assets/*.bmp becomes a bitmap resource
// under its file name, the loaders' fallback when the file beside the program is missing;
// assets/icon.png becomes the icon "MAIN" (platform::LoadIcon).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform
{

// One compiled-in resource (the build writes the table; resources_embed.cmake).
struct EmbeddedResource
{
    const char* name;
    const std::uint8_t* bytes;
    std::size_t size;
};

// True when two resource names are the same name: single-byte letters compare without
// regard to case, as Windows compares them; two-byte CP932 characters compare exactly, since
// their second byte may look like a Latin letter. Bitmap and sound resources both use it.
bool SameResourceName(const char* a, const char* b);

// Stands in for FindResourceA with LoadResource and LockResource: the bytes of the resource
// of that name, compared without regard to case as Windows does. False when there is none.
bool FindResource(const char* name, const std::uint8_t*& bytes, std::size_t& size);

// Adds a resource beside the compiled ones, as a program built with it would have it (tests
// and tools). A later resource of the same name hides earlier ones.
void AddResource(const std::string& name, const std::string& bytes);

} // namespace platform
