// Bytes as CP932 text through the conversions and the cutting helpers: conversions give
// well-formed UTF-8 and whole CP932 and come back to the same text; a cut is the longest
// prefix that fits without splitting a character, and nothing is written past the buffer.
#include <cstdarg>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "platform/cp932.h"
#include "system/system.h"

namespace
{

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD in UTF-8

// The text with each U+FFFD as '?', as the conversion back to CP932 writes it.
std::string Replaced(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();)
    {
        if (text.substr(i, kReplacement.size()) == kReplacement)
        {
            out += '?';
            i += kReplacement.size();
        }
        else
        {
            out += text[i++];
        }
    }
    return out;
}

char* Format(char* dest, std::size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    char* result = FormatText(dest, size, format, args);
    va_end(args);
    return result;
}


} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input{data, size};
    std::size_t cutSize = fuzz::TakeByte(input) + 1;
    std::string text(fuzz::TakeRest(input));

    std::string utf8 = platform::Cp932ToUtf8(text);
    FUZZ_CHECK(fuzz::IsUtf8(utf8));
    FUZZ_CHECK(utf8.size() <= text.size() * 3);
    std::string back = platform::Utf8ToCp932(utf8);
    FUZZ_CHECK(fuzz::IsWholeCp932(back));
    FUZZ_CHECK(platform::Cp932ToUtf8(back) == Replaced(utf8));
    FUZZ_CHECK(fuzz::IsWholeCp932(platform::Utf8ToCp932(text)));

    // Cutting, into a buffer with guard bytes behind it.
    const char* c = text.c_str();
    std::vector<char> buffer(cutSize + 8, '\x5A');
    CopyText(buffer.data(), c, cutSize);
    std::size_t cut = std::strlen(buffer.data());
    FUZZ_CHECK(cut == fuzz::ExpectedCut(c, cutSize) && cut <= cutSize - 1);
    FUZZ_CHECK(std::memcmp(buffer.data(), c, cut) == 0);
    for (std::size_t i = cutSize; i < buffer.size(); ++i)
    {
        FUZZ_CHECK(buffer[i] == '\x5A');
    }

    // Formatted texts are cut the same way, as the printers cut theirs to 255 bytes.
    char line[256 + 8];
    std::memset(line, 0x5A, sizeof line);
    Format(line, 256, "%s", c);
    std::size_t printed = std::strlen(line);
    FUZZ_CHECK(printed <= 255 && printed == fuzz::ExpectedCut(c, 256));
    FUZZ_CHECK(std::memcmp(line, c, printed) == 0);
    FUZZ_CHECK(printed == std::strlen(c) || fuzz::IsWholeCp932(std::string_view(line, printed)));
    for (std::size_t i = 256; i < sizeof line; ++i)
    {
        FUZZ_CHECK(line[i] == '\x5A');
    }
    return 0;
}
