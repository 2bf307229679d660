// The program's icon resource, looked up by name as the window class does.
#include <gtest/gtest.h>

#include "platform/backend.h"
#include "platform/resources.h"
#include "tests/support/headless.h"

TEST(Icon, MainIsFoundByNameAndDecodedAsAPictureOfTheBoard)
{
    platform::InstanceHandle instance = platform::GetInstance();
    platform::IconHandle icon = platform::LoadIcon(instance, "MAIN");
    ASSERT_NE(icon, 0u);
    EXPECT_EQ(platform::LoadIcon(instance, "main"), icon);
    const platform::IconImage* image = platform::FindIcon(icon);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->width, image->height);
    ASSERT_EQ(image->rgba.size(), static_cast<std::size_t>(image->width) * image->height * 4);
    auto alpha = [&](int x, int y) { return image->rgba[(y * image->width + x) * 4 + 3]; };
    int last = image->width - 1;
    // Rounded corners are clear; the board inside is solid.
    for (auto [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}})
    {
        EXPECT_EQ(alpha(x, y), 0) << x << "," << y;
    }
    EXPECT_EQ(alpha(last / 2, last / 2), 255);
    EXPECT_EQ(alpha(last / 2, 0), 255);

    // A bitmap, a damaged picture and a missing name are no icons.
    std::string png = "\x89PNG\r\n\x1a\n";
    platform::AddResource("CUT", png + std::string("\0\0\0\rIHDR", 8));
    for (const char* name : {"tiles.bmp", "CUT", "NONE", ""})
    {
        EXPECT_EQ(platform::LoadIcon(instance, name), 0u) << name;
    }
    EXPECT_EQ(platform::FindIcon(0), nullptr);
    EXPECT_EQ(platform::FindIcon(icon + 1), nullptr);
}
