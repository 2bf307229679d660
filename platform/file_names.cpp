// Finding a file by a name written for a file system that ignores case.
#include <filesystem>
#include <optional>

#include "platform/cp932.h"
#include "platform/platform.h"

namespace platform
{
namespace
{

bool IsUtf8(const std::string& text)
{
    for (std::size_t i = 0; i < text.size();)
    {
        auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80           ? 1
                             : (c >> 5) == 0x6  ? 2
                             : (c >> 4) == 0xE  ? 3
                             : (c >> 3) == 0x1E ? 4
                                                : 0;
        if (length == 0 || length > text.size() - i)
        {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k)
        {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// The name with its single-byte letters in lower case. Names on disk are UTF-8, whose
// multi-byte characters hold no ASCII bytes; other names are taken for CP932, whose second
// bytes can look like letters and are kept as they are, so that no two-byte character
// matches another.
std::string Folded(const std::string& name)
{
    bool utf8 = IsUtf8(name);
    std::string folded = name;
    for (std::size_t i = 0; i < folded.size(); ++i)
    {
        auto c = static_cast<unsigned char>(folded[i]);
        if (!utf8 && IsCp932LeadByte(c))
        {
            ++i;
            continue;
        }
        if (c >= 'A' && c <= 'Z')
        {
            folded[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

// The entry of folder whose name matches name ignoring case; the first in byte order when
// several do, so the choice never depends on the order the folder lists them in.
std::optional<std::string> MatchInFolder(const std::string& folder, const std::string& name)
{
    std::string wanted = Folded(name);
    std::optional<std::string> best;
    std::error_code ec;
    std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, ec);
    for (; !ec && entry != std::filesystem::directory_iterator(); entry.increment(ec))
    {
        std::string candidate = entry->path().filename().string();
        if (Folded(candidate) == wanted && (!best || candidate < *best))
        {
            best = candidate;
        }
    }
    return best;
}

} // namespace

std::string FindFileIgnoringCase(const std::string& path)
{
    std::error_code ec;
    if (path.empty() || std::filesystem::exists(path, ec))
    {
        return path;
    }
    std::string found = path[0] == kPathSeparator ? std::string(1, kPathSeparator) : "";
    std::size_t at = 0;
    while (at < path.size())
    {
        std::size_t end = path.find(kPathSeparator, at);
        end = end == std::string::npos ? path.size() : end;
        std::string part = path.substr(at, end - at);
        at = end + 1;
        if (part.empty())
        {
            continue;
        }
        std::string exact = found + part;
        if (part != "." && part != ".." && !std::filesystem::exists(exact, ec))
        {
            std::optional<std::string> match = MatchInFolder(found, part);
            if (!match)
            {
                return path;
            }
            exact = found + *match;
        }
        found = exact;
        if (end < path.size())
        {
            found += kPathSeparator;
        }
    }
    return found;
}

} // namespace platform
