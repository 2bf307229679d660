// Shared pieces of the fuzz targets; each target's properties are in its own file.
#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/cp932.h"
#include "platform/platform.h"
#include "system/system.h"

namespace fuzz
{
namespace
{

std::string folderPath;

void RemoveFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(folderPath, ec);
}

} // namespace

std::uint8_t TakeByte(Input& input)
{
    if (input.size == 0)
    {
        return 0;
    }
    std::uint8_t value = input.bytes[0];
    input.bytes += 1;
    input.size -= 1;
    return value;
}

int TakeInt16(Input& input)
{
    int low = TakeByte(input);
    int high = TakeByte(input);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | high << 8));
}

std::string_view TakeRest(Input& input)
{
    std::string_view rest(reinterpret_cast<const char*>(input.bytes), input.size);
    input.bytes += input.size;
    input.size = 0;
    return rest;
}

const std::string& Folder()
{
    if (!folderPath.empty())
    {
        return folderPath;
    }
    std::error_code ec;
    std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    std::string pattern = (base / "plonder-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
    {
        std::perror("plonder fuzz: cannot make a folder");
        std::abort();
    }
    folderPath = pattern + "/";
    std::atexit(RemoveFolder);
    std::filesystem::current_path(folderPath);
    return folderPath;
}

std::string WriteFile(const std::string& name, std::string_view bytes)
{
    std::string path = Folder() + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
    {
        std::fprintf(stderr, "plonder fuzz: cannot write %s\n", path.c_str());
        std::abort();
    }
    return path;
}

void StartHeadless(platform::headless::HeadlessConfig config)
{
    static bool started = false;
    if (started)
    {
        return;
    }
    started = true;
    config.programPath = Folder() + "plonder";
    config.settingsFolder = Folder();
    // A soundfont takes seconds to load and adds nothing to what the readers see.
    setenv("SDL_SOUNDFONTS", (Folder() + "no-soundfont.sf2").c_str(), 1);
    platform::headless::Configure(config);
    platform::Options options;
    options.backend = "headless";
    std::string error;
    if (!platform::Start(options, error))
    {
        std::fprintf(stderr, "plonder fuzz: %s\n", error.c_str());
        std::abort();
    }
    std::atexit(platform::Shutdown);
    InitFrameClock();
}

bool IsWholeCp932(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (platform::IsCp932LeadByte(static_cast<unsigned char>(text[i])))
        {
            if (i + 1 >= text.size())
            {
                return false;
            }
            i += 1;
        }
    }
    return true;
}

bool IsUtf8(std::string_view text)
{
    auto* p = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t n = text.size();
    for (std::size_t i = 0; i < n;)
    {
        unsigned c = p[i];
        int length = c < 0x80           ? 1
                     : (c >> 5) == 0x6  ? 2
                     : (c >> 4) == 0xE  ? 3
                     : (c >> 3) == 0x1E ? 4
                                        : 0;
        if (length == 0 || i + length > n)
        {
            return false;
        }
        std::uint32_t value = length == 1 ? c : c & (0x7F >> length);
        for (int k = 1; k < length; ++k)
        {
            if ((p[i + k] & 0xC0) != 0x80)
            {
                return false;
            }
            value = value << 6 | (p[i + k] & 0x3F);
        }
        static constexpr std::uint32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < kLeast[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        {
            return false;
        }
        i += length;
    }
    return true;
}

std::size_t ExpectedCut(const char* text, std::size_t size)
{
    std::size_t i = 0;
    while (text[i] != '\0')
    {
        bool pair =
            platform::IsCp932LeadByte(static_cast<unsigned char>(text[i])) && text[i + 1] != '\0';
        std::size_t length = pair ? 2 : 1;
        if (i + length > size - 1)
        {
            break;
        }
        i += length;
    }
    return i;
}

} // namespace fuzz
