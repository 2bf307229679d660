// Resource look-up: the table the build compiled in, then resources added at run time.
#include "platform/resources.h"

#include <deque>
#include <utility>

#include "platform/cp932.h"

namespace platform
{

// Written by the build from assets/*.bmp; count excludes the closing empty entry.
extern const EmbeddedResource kEmbeddedResources[];
extern const std::size_t kEmbeddedResourceCount;

namespace
{

struct ResourceState
{
    std::deque<std::pair<std::string, std::string>> added; // name and bytes, oldest first
};

ResourceState resourceState;

unsigned char Upper(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

} // namespace

bool SameResourceName(const char* a, const char* b)
{
    auto* x = reinterpret_cast<const unsigned char*>(a);
    auto* y = reinterpret_cast<const unsigned char*>(b);
    while (*x != 0 && *y != 0)
    {
        if (IsCp932LeadByte(*x))
        {
            if (x[0] != y[0] || x[1] != y[1])
            {
                return false;
            }
            if (x[1] == 0)
            {
                return true;
            }
            x += 2;
            y += 2;
            continue;
        }
        if (Upper(*x) != Upper(*y))
        {
            return false;
        }
        ++x;
        ++y;
    }
    return *x == *y;
}

bool FindResource(const char* name, const std::uint8_t*& bytes, std::size_t& size)
{
    if (name == nullptr || name[0] == '\0')
    {
        return false;
    }
    auto& added = resourceState.added;
    for (auto it = added.rbegin(); it != added.rend(); ++it)
    {
        if (SameResourceName(it->first.c_str(), name))
        {
            bytes = reinterpret_cast<const std::uint8_t*>(it->second.data());
            size = it->second.size();
            return true;
        }
    }
    for (std::size_t i = 0; i < kEmbeddedResourceCount; ++i)
    {
        if (SameResourceName(kEmbeddedResources[i].name, name))
        {
            bytes = kEmbeddedResources[i].bytes;
            size = kEmbeddedResources[i].size;
            return true;
        }
    }
    return false;
}

void AddResource(const std::string& name, const std::string& bytes)
{
    resourceState.added.emplace_back(name, bytes);
}

} // namespace platform
