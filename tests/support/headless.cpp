#include "tests/support/headless.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "app/app.h"
#include "platform/cp932.h"
#include "system/system.h"

namespace testing_support
{
namespace
{

class HeadlessEnvironment
{
public:
    ~HeadlessEnvironment()
    {
        platform::Shutdown();
    }
};

void Launch(platform::headless::HeadlessConfig config, platform::Options options)
{
    config.keepFrames = true;
    static HeadlessEnvironment environment;
    options.backend = "headless";
    platform::headless::Configure(config);
    std::string error;
    ASSERT_TRUE(platform::Start(options, error)) << error;
    InitFrameClock();
}

} // namespace

void StartHeadless(const platform::headless::HeadlessConfig& config,
                   const platform::Options& options)
{
    Launch(config, options);
}

int RunProgram(int frames, const std::string& script,
               const platform::headless::HeadlessConfig& config)
{
    std::string error;
    EXPECT_TRUE(platform::headless::LoadScript(script, error)) << error;
    platform::Options options;
    options.frames = frames;
    Launch(config, options);
    return WinMain(platform::GetInstance(), 0, "", 1);
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "plonder-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (made == nullptr)
    {
        ADD_FAILURE() << "cannot make a temporary folder";
        return;
    }
    path = made;
    previous = std::filesystem::current_path().string();
    std::filesystem::current_path(path);
}

TempDir::~TempDir()
{
    std::error_code ec;
    if (!previous.empty())
    {
        std::filesystem::current_path(previous, ec);
    }
    if (!path.empty())
    {
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path, ec);
    }
}

void TempDir::Write(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(File(name), std::ios::binary);
    out << bytes;
}

std::string TempDir::Read(const std::string& name) const
{
    std::ifstream in(File(name), std::ios::binary);
    if (!in)
    {
        return "<missing>";
    }
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Cp932(const std::string& utf8)
{
    return platform::Utf8ToCp932(utf8);
}

} // namespace testing_support
