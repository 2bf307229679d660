// Bytes as a number file and as the alternate-base file: a number written in decimal reads as
// itself and survives being saved again; the base is the file's first line and the folder
// made from it stays a cut of base, separator and the program folder's last name.
#include <climits>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "system/system.h"

namespace
{

// The decimal number the text starts with (after blanks), when it has at most nine digits.
bool LeadingNumber(std::string_view text, int& value)
{
    std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string_view::npos)
    {
        return false;
    }
    bool negative = text[i] == '-';
    i += text[i] == '-' || text[i] == '+' ? 1 : 0;
    std::size_t digits = 0;
    long long number = 0;
    while (i + digits < text.size() && text[i + digits] >= '0' && text[i + digits] <= '9')
    {
        number = number * 10 + (text[i + digits] - '0');
        digits += 1;
        if (digits > 9)
        {
            return false;
        }
    }
    value = static_cast<int>(negative ? -number : number);
    return digits > 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::StartHeadless();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string programFolder = GetProgramFolder(0);

    // The number file, beside the program while no base is set.
    SetAlternateBase("missing.ini");
    FUZZ_CHECK(programFolder == GetProgramFolder(1));
    fuzz::WriteFile("number.txt", bytes);
    int value = LoadNumber("number.txt");
    int expected = 0;
    if (LeadingNumber(bytes, expected))
    {
        FUZZ_CHECK(value == expected);
    }
    SaveNumber("number.txt", value);
    FUZZ_CHECK(LoadNumber("number.txt") == value);

    // The alternate base: the first line, without its line end and a last separator.
    fuzz::WriteFile("base.ini", bytes);
    SetAlternateBase("base.ini");
    std::size_t lineEnd = bytes.find('\n');
    std::string line(
        bytes.substr(0, std::min(lineEnd == std::string_view::npos ? bytes.size() : lineEnd + 1,
                                 std::size_t{255})));
    line = line.c_str();
    if (!line.empty() && line.back() == '\n')
    {
        line.pop_back();
        if (!line.empty() && line.back() == '\r')
        {
            line.pop_back();
        }
    }
    if (!line.empty() && line.back() == '/')
    {
        line.pop_back();
    }
    std::string folder = GetProgramFolder(1);
    FUZZ_CHECK(folder.size() <= 255);
    if (line.empty())
    {
        FUZZ_CHECK(folder == programFolder);
        return 0;
    }
    std::string lastName =
        programFolder.substr(programFolder.rfind('/', programFolder.size() - 2) + 1);
    std::string joined = line + "/" + lastName;
    FUZZ_CHECK(joined.compare(0, folder.size(), folder) == 0);
    FUZZ_CHECK(folder.size() + 1 >= std::min<std::size_t>(joined.size(), 255));
    return 0;
}
