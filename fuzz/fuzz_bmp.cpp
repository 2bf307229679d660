// BMP bytes through the decoder, the bitmap resources and the bitmap files: each path gives
// the same answer, a decoded bitmap stays within the limits, and a refusal leaves it empty.
#include <filesystem>

#include "fuzz/fuzz_support.h"
#include "platform/bitmap.h"
#include "platform/resources.h"

namespace
{

void CheckDecoded(bool ok, const platform::Bitmap& bitmap)
{
    if (!ok)
    {
        FUZZ_CHECK(bitmap.width == 0 && bitmap.height == 0 && bitmap.pixels.empty());
        return;
    }
    FUZZ_CHECK(bitmap.width >= 1 && bitmap.width <= platform::kMaxBitmapSide);
    FUZZ_CHECK(bitmap.height >= 1 && bitmap.height <= platform::kMaxBitmapSide);
    FUZZ_CHECK(bitmap.pixels.size() ==
               static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height));
    FUZZ_CHECK(bitmap.pixels.size() <= platform::kMaxBitmapPixels);
    for (platform::ColorRef pixel : bitmap.pixels)
    {
        FUZZ_CHECK((pixel & 0xFF000000u) == 0);
    }
}

bool Same(const platform::Bitmap& a, const platform::Bitmap& b)
{
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

// A bitmap that a refusal must empty.
platform::Bitmap Stale()
{
    platform::Bitmap stale;
    stale.width = 2;
    stale.height = 1;
    stale.pixels = {1, 2};
    return stale;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::filesystem::create_directories(fuzz::Folder() + "sub");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::Bitmap decoded = Stale();
    bool ok = platform::DecodeBmp(data, size, decoded);
    CheckDecoded(ok, decoded);

    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    platform::AddResource("FUZZ.BMP", std::string(bytes));
    platform::Bitmap resource = Stale();
    FUZZ_CHECK(platform::LoadBitmapResource("fuzz.bmp", resource) == ok);
    FUZZ_CHECK(Same(resource, decoded));

    // A name with '\' between folders, as the games give them.
    fuzz::WriteFile("sub/fuzz.bmp", bytes);
    platform::Bitmap file = Stale();
    FUZZ_CHECK(platform::LoadBitmapFile(fuzz::Folder(), "sub\\fuzz.bmp", file) == ok);
    FUZZ_CHECK(Same(file, decoded));
    return 0;
}
