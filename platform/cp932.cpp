// CP932 conversion through the C library's iconv, one character at a time so that a bad
// sequence costs one replacement character and never the rest of the text.
#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>

namespace
{

class Converter
{
public:
    Converter(const char* to, const char* from) : handle(iconv_open(to, from))
    {
    }
    ~Converter()
    {
        if (handle != reinterpret_cast<iconv_t>(-1))
        {
            iconv_close(handle);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts one unit of `length` bytes; false when it is not valid input.
    bool Convert(const char* in, size_t length, std::string& out)
    {
        if (handle == reinterpret_cast<iconv_t>(-1))
        {
            return false;
        }
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
        char buffer[16];
        char* inPtr = const_cast<char*>(in);
        size_t inLeft = length;
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(handle, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
            inLeft != 0)
        {
            return false;
        }
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        return true;
    }

private:
    iconv_t handle;
};

size_t Utf8Length(unsigned char c)
{
    if (c < 0x80)
    {
        return 1;
    }
    if ((c & 0xE0) == 0xC0)
    {
        return 2;
    }
    if ((c & 0xF0) == 0xE0)
    {
        return 3;
    }
    if ((c & 0xF8) == 0xF0)
    {
        return 4;
    }
    return 1;
}

} // namespace

namespace platform
{

std::string Cp932ToUtf8(std::string_view text)
{
    static Converter converter("UTF-8", "CP932");
    std::string out;
    out.reserve(text.size() * 3 / 2);
    size_t i = 0;
    while (i < text.size())
    {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80)
        {
            out.push_back(static_cast<char>(c));
            i += 1;
            continue;
        }
        size_t length = (IsCp932LeadByte(c) && i + 1 < text.size()) ? 2 : 1;
        if (!converter.Convert(text.data() + i, length, out))
        {
            out.append("\xEF\xBF\xBD");
        }
        i += length;
    }
    return out;
}

std::string Utf8ToCp932(std::string_view text)
{
    static Converter converter("CP932", "UTF-8");
    std::string out;
    size_t i = 0;
    while (i < text.size())
    {
        size_t length = Utf8Length(static_cast<unsigned char>(text[i]));
        if (i + length > text.size() || !converter.Convert(text.data() + i, length, out))
        {
            out.push_back('?');
        }
        i += length;
    }
    return out;
}

} // namespace platform
