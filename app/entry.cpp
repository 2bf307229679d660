// The entry every game on the shell shares: the platform's options, the backend, WinMain.
#include <cstdio>
#include <string>

#include "app/app.h"
#include "system/system.h"

int RunProgram(int argc, char** argv)
{
    platform::Options options;
    std::string error;
    // Messages start with the program's file name, as command-line tools' do.
    std::string name = argc > 0 && argv[0] != nullptr ? argv[0] : "plonder";
    name = name.substr(name.find_last_of('/') + 1);
    if (!platform::ParseOptions(argc, argv, options, error))
    {
        std::fprintf(stderr, "%s: %s\n%s\n", name.c_str(), error.c_str(), platform::UsageText());
        return 2;
    }
    if (options.showHelp)
    {
        std::fputs(platform::HelpText(), stdout);
        return 0;
    }
    if (options.showVersion)
    {
        std::printf("%s on the Plonder framework\n", name.c_str());
        return 0;
    }
    if (!platform::Start(options, error))
    {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
        return 1;
    }
    InitFrameClock();
    int result = WinMain(platform::GetInstance(), 0, options.commandLine.c_str(), 1);
    platform::Shutdown();
    return result;
}
