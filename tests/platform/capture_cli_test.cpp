// The program run headless from the command line shows its window's picture as PNG frames.
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace
{

// Width and height from a PNG's header; 0 and 0 when the file is not a PNG.
std::pair<int, int> PngSize(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    unsigned char header[24] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    if (!in || header[1] != 'P' || header[2] != 'N' || header[3] != 'G')
    {
        return {0, 0};
    }
    auto big = [&](int at) {
        return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3];
    };
    return {big(16), big(20)};
}

} // namespace

TEST(HeadlessCapture, ThreeFramesWriteThreeWindowSizedPictures)
{
    testing_support::TempDir folder;
    std::string command = std::string(PLONDER_BINARY) + " --headless --frames 3 --capture " +
                          folder.File("frames") + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    for (const char* name : {"000001.png", "000002.png", "000003.png"})
    {
        EXPECT_EQ(PngSize(folder.File("frames/") + name), std::make_pair(160, 180)) << name;
    }
    EXPECT_EQ(folder.Read("frames/000004.png"), "<missing>");
}
