// Bytes as a command line (arguments separated by zero bytes): options are taken with their
// documented ranges, the headless ones only with --headless, and a refusal gives a reason.
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> args = {"plonder"};
    std::size_t start = 0;
    while (start <= text.size() && args.size() < 64)
    {
        std::size_t end = std::min(text.find('\0', start), text.size());
        args.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::vector<char*> argv;
    for (std::string& arg : args)
    {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    platform::Options options;
    std::string error;
    bool ok = platform::ParseOptions(static_cast<int>(args.size()), argv.data(), options, error);
    if (!ok)
    {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    FUZZ_CHECK(options.scale >= 0 && options.scale <= 16);
    FUZZ_CHECK(options.frames >= -1 && options.frames <= 100000000);
    bool headlessOnly = options.frames >= 0 || !options.inputScript.empty() ||
                        !options.captureDir.empty() || !options.startTime.empty();
    FUZZ_CHECK(!headlessOnly || options.backend == "headless");
    FUZZ_CHECK(options.commandLine.size() <= size);
    if (!options.startTime.empty())
    {
        std::int64_t seconds = 0;
        if (platform::headless::ParseStartTime(options.startTime, seconds))
        {
            // 1970 to 9999, give or take a day of time zone.
            FUZZ_CHECK(seconds >= -86400 && seconds <= 253402387200);
        }
    }
    return 0;
}
