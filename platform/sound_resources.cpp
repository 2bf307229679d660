// The WAVE and raw-data resources the program carries, and those added while it runs.
#include <array>
#include <string>

#include "platform/resources.h"
#include "platform/sound.h"

namespace platform
{
namespace
{

struct CompiledResource
{
    const char* name;
    SoundResourceType type;
    const std::uint8_t* bytes;
    std::size_t size;
};

// The puzzle carries no sounds of its own; a game that does lists its embedded files here.
constexpr std::array<CompiledResource, 0> kCompiled{};

struct AddedResource
{
    std::string name;
    SoundResourceType type;
    std::vector<std::uint8_t> bytes;
};

struct ResourceState
{
    std::vector<AddedResource> added; // newest last; a later one hides an earlier one
};

ResourceState resources;

} // namespace

bool FindSoundResource(const char* name, SoundResourceType type, const std::uint8_t*& bytes,
                       std::size_t& size)
{
    bytes = nullptr;
    size = 0;
    if (name == nullptr)
    {
        return false;
    }
    for (auto it = resources.added.rbegin(); it != resources.added.rend(); ++it)
    {
        if (it->type == type && SameResourceName(it->name.c_str(), name))
        {
            bytes = it->bytes.data();
            size = it->bytes.size();
            return true;
        }
    }
    for (const CompiledResource& resource : kCompiled)
    {
        if (resource.type == type && SameResourceName(resource.name, name))
        {
            bytes = resource.bytes;
            size = resource.size;
            return true;
        }
    }
    return false;
}

void AddSoundResource(const char* name, SoundResourceType type, std::vector<std::uint8_t> bytes)
{
    resources.added.push_back(AddedResource{name != nullptr ? name : "", type, std::move(bytes)});
}

} // namespace platform
