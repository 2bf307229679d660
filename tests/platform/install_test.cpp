// Installing the game into a prefix: what lands where, and the installed program running from
// another folder on the files it was installed with.
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace
{

int Shell(const std::string& command)
{
    int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

// "WxH" from a PNG's header; "" when the file is not a PNG.
std::string PngSize(const std::string& path)
{
    std::string header = Bytes(path);
    if (header.size() < 24 || header.compare(1, 3, "PNG") != 0)
    {
        return "";
    }
    auto big = [&](int at) {
        auto b = [&](int i) { return static_cast<unsigned char>(header[at + i]); };
        return (b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3);
    };
    return std::to_string(big(16)) + "x" + std::to_string(big(20));
}

// The installed program's third frame, run headless from `folder`.
std::string ThirdFrame(const std::string& program, const std::string& folder)
{
    std::string command = "cd " + folder + " && " + program +
                          " --headless --frames 3 --capture frames";
    EXPECT_EQ(Shell(command), 0) << command;
    return Bytes(folder + "/frames/000003.png");
}

} // namespace

TEST(Install, PutsProgramBitmapsDesktopEntryAndIconWhereTheyAreFound)
{
    testing_support::TempDir dir;
    std::string prefix = dir.File("prefix");
    ASSERT_EQ(Shell(std::string(CMAKE_COMMAND) + " --install " + PLONDER_BUILD_DIR +
                    " --component game --prefix " + prefix),
              0);

    std::string program = prefix + "/bin/plonder";
    struct stat info{};
    ASSERT_EQ(stat(program.c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR);
    int bitmaps = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(PLONDER_SOURCE_DIR) + "/assets"))
    {
        if (entry.path().extension() == ".bmp")
        {
            ++bitmaps;
            std::string name = entry.path().filename().string();
            EXPECT_EQ(Bytes(prefix + "/share/plonder/" + name), Bytes(entry.path().string()))
                << name;
        }
    }
    EXPECT_GE(bitmaps, 2);

    std::string desktop = prefix + "/share/applications/plonder.desktop";
    std::string entry = Bytes(desktop);
    for (const char* line : {"\nExec=plonder\n", "\nIcon=plonder\n", "\nType=Application\n"})
    {
        EXPECT_NE(entry.find(line), std::string::npos) << line;
    }
    if (Shell("command -v desktop-file-validate") == 0)
    {
        EXPECT_EQ(Shell("desktop-file-validate " + desktop), 0);
    }
    std::string size = PngSize(std::string(PLONDER_SOURCE_DIR) + "/assets/icon.png");
    ASSERT_FALSE(size.empty());
    EXPECT_EQ(PngSize(prefix + "/share/icons/hicolor/" + size + "/apps/plonder.png"), size);

    // Run from another folder, the program finds the installed bitmaps: it draws what the
    // build draws, and draws something else once they are altered.
    std::filesystem::create_directories(dir.File("here"));
    std::filesystem::create_directories(dir.File("there"));
    std::filesystem::create_directories(dir.File("built"));
    std::string installed = ThirdFrame(program, dir.File("here"));
    EXPECT_EQ(installed, ThirdFrame(PLONDER_BINARY, dir.File("built")));
    std::string tiles = Bytes(prefix + "/share/plonder/tiles.bmp");
    ASSERT_GT(tiles.size(), 54u);
    for (std::size_t i = 54; i < tiles.size(); ++i)
    {
        tiles[i] = static_cast<char>(~tiles[i]);
    }
    std::ofstream(prefix + "/share/plonder/tiles.bmp", std::ios::binary) << tiles;
    EXPECT_NE(ThirdFrame(program, dir.File("there")), installed);
}
