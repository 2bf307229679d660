// Icon resources: PNG pictures among the program's resources, decoded once for the window.
#include <png.h>

#include <memory>
#include <vector>

#include "platform/backend.h"
#include "platform/resources.h"

namespace platform
{
namespace
{

// Larger icons are refused rather than decoded: no desktop shows one bigger than this.
constexpr int kMaxIconSide = 256;

struct IconState
{
    std::vector<const std::uint8_t*> sources; // resource bytes of each loaded icon
    std::vector<IconImage> icons;             // handle n is icons[n - 1]
};

IconState iconState;

bool DecodePng(const std::uint8_t* bytes, std::size_t size, IconImage& icon)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&png, bytes, size) == 0)
    {
        return false;
    }
    if (png.width == 0 || png.height == 0 || png.width > kMaxIconSide ||
        png.height > kMaxIconSide)
    {
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    icon.width = static_cast<int>(png.width);
    icon.height = static_cast<int>(png.height);
    icon.rgba.assign(PNG_IMAGE_SIZE(png), 0);
    // finish_read frees the reader, on failure too.
    return png_image_finish_read(&png, nullptr, icon.rgba.data(), 0, nullptr) != 0;
}

} // namespace

IconHandle LoadIcon(InstanceHandle, const char* name)
{
    const std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
    if (!FindResource(name, bytes, size))
    {
        return 0;
    }
    for (std::size_t i = 0; i < iconState.sources.size(); ++i)
    {
        if (iconState.sources[i] == bytes)
        {
            return i + 1;
        }
    }
    IconImage icon;
    if (!DecodePng(bytes, size, icon))
    {
        return 0;
    }
    iconState.sources.push_back(bytes);
    iconState.icons.push_back(std::move(icon));
    return iconState.icons.size();
}

const IconImage* FindIcon(IconHandle icon)
{
    if (icon == 0 || icon > iconState.icons.size())
    {
        return nullptr;
    }
    return &iconState.icons[icon - 1];
}

} // namespace platform
