// CP932 (Shift-JIS) to UTF-8 at the platform's edge: fonts, dialogs, logs.
#pragma once

#include <string>
#include <string_view>

namespace platform
{

// True for a byte that starts a two-byte CP932 character.
constexpr bool IsCp932LeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Converts CP932 bytes to UTF-8. A byte sequence that is not CP932 becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view text);

// Converts UTF-8 to CP932; characters CP932 lacks become '?'.
std::string Utf8ToCp932(std::string_view text);

} // namespace platform
