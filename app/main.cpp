// The program's entry: takes the platform's options, starts the backend and hands the rest
// of the command line to WinMain. PLONDER_VERSION comes from the CMake project.
#include <cstdio>
#include <string>

#include "app/app.h"
#include "system/system.h"

int main(int argc, char** argv)
{
    platform::Options options;
    std::string error;
    if (!platform::ParseOptions(argc, argv, options, error))
    {
        std::fprintf(stderr, "plonder: %s\n%s\n", error.c_str(), platform::UsageText());
        return 2;
    }
    if (options.showHelp)
    {
        std::fputs(platform::HelpText(), stdout);
        return 0;
    }
    if (options.showVersion)
    {
        std::printf("plonder %s\n", PLONDER_VERSION);
        return 0;
    }
    if (!platform::Start(options, error))
    {
        std::fprintf(stderr, "plonder: %s\n", error.c_str());
        return 1;
    }
    InitFrameClock();
    int result = WinMain(platform::GetInstance(), 0, options.commandLine.c_str(), 1);
    platform::Shutdown();
    return result;
}
