// Drawing objects: the table, loading bitmaps from files beside the program or from the
// program's resources, blank objects, swapping, releasing, colour keys and the recovery of
// lost surfaces.
#include <cstring>
#include <string>

#include "draw/draw_internal.h"
#include "draw/draw_texts.h"
#include "platform/bitmap.h"
#include "system/system.h"

DrawObject objectTable[kObjectCount] = {};
std::uint32_t keyColor = 0;
int keyFromTopLeft = 0;

namespace
{

constexpr std::uint32_t kTopLeftKey = 0xFFFFFFFF; // GDI's CLR_INVALID
constexpr std::size_t kMaxNameLength = 30;
constexpr ObjectId kFirstFreeSlot = 2;

bool ValidId(ObjectId id)
{
    return id >= 0 && id < kObjectCount;
}

void EmptySlot(DrawObject& object)
{
    object.surface = nullptr;
    object.name[0] = '\0';
    object.colorKey = 0;
    object.width = 0;
    object.height = 0;
}

void FreeSlot(DrawObject& object)
{
    platform::ReleaseSurface(object.surface);
    EmptySlot(object);
}

ObjectId LowestFreeSlot()
{
    for (ObjectId id = kFirstFreeSlot; id < kObjectCount; ++id)
    {
        if (objectTable[id].name[0] == '\0')
        {
            return id;
        }
    }
    return 0;
}

// The key from the defaults, applied once the image is in the surface.
void KeyFromDefaults(DrawObject& object)
{
    std::uint32_t key = keyFromTopLeft == 1 ? kTopLeftKey : keyColor;
    SetSurfaceKey(object.surface, key);
    object.colorKey = key;
}

// The bitmap surface loader, then the resource of the same name. The slot keeps the
// surface and the bitmap's size. False when neither gives an image.
bool LoadIntoSlot(DrawObject& object, const char* name, int memoryMode)
{
    platform::Bitmap bitmap;
    // The path is composed in a 256-byte buffer: a longer one names no file.
    std::string folder = GetProgramFolder(0);
    bool fromFile =
        folder.size() + std::strlen(name) < 256 && platform::LoadBitmapFile(folder, name, bitmap);
    if (!fromFile && !platform::LoadBitmapResource(name, bitmap))
    {
        return false;
    }
    object.surface = platform::CreateSurface(bitmap.width, bitmap.height, ObjectMemory(memoryMode));
    if (object.surface == nullptr)
    {
        return false;
    }
    object.width = static_cast<std::uint16_t>(bitmap.width);
    object.height = static_cast<std::uint16_t>(bitmap.height);
    if (platform::CopyBitmapToSurface(object.surface, bitmap, 0, 0, 0, 0) !=
        platform::SurfaceResult::Ok)
    {
        return false;
    }
    KeyFromDefaults(object);
    return true;
}

} // namespace

platform::Surface* ObjectSurface(ObjectId id)
{
    return ValidId(id) ? objectTable[id].surface : nullptr;
}

platform::SurfaceMemory ObjectMemory(int memoryMode)
{
    return memoryMode == 2 ? platform::SurfaceMemory::Display : platform::SurfaceMemory::System;
}

std::uint32_t MatchColor(platform::Surface* surface, std::uint32_t rgb)
{
    std::uint32_t result = kTopLeftKey;
    platform::ColorRef remembered = platform::kInvalidColor;
    if (rgb != kTopLeftKey)
    {
        // The colour goes through the device context, so the key is the pixel that
        // drawing this colour leaves in the surface.
        if (platform::DeviceContext* dc = platform::GetSurfaceDc(surface))
        {
            remembered = platform::GetPixel(dc, 0, 0);
            platform::SetPixel(dc, 0, 0, rgb);
            platform::ReleaseSurfaceDc(surface, dc);
        }
    }
    platform::PixelBuffer pixels;
    if (platform::LockSurface(surface, pixels) == platform::SurfaceResult::Ok)
    {
        result = pixels.pixels[0];
        platform::UnlockSurface(surface);
    }
    if (rgb != kTopLeftKey && remembered != platform::kInvalidColor)
    {
        if (platform::DeviceContext* dc = platform::GetSurfaceDc(surface))
        {
            platform::SetPixel(dc, 0, 0, remembered);
            platform::ReleaseSurfaceDc(surface, dc);
        }
    }
    return result;
}

DrawResult SetSurfaceKey(platform::Surface* surface, std::uint32_t rgb)
{
    return platform::SetSurfaceColorKey(surface, MatchColor(surface, rgb));
}

void ResetObjectTable()
{
    for (ObjectId id = kFirstFreeSlot; id < kObjectCount; ++id)
    {
        EmptySlot(objectTable[id]);
    }
}

void ReleaseAllObjects()
{
    for (DrawObject& object : objectTable)
    {
        if (object.surface != nullptr)
        {
            FreeSlot(object);
        }
    }
}

namespace voDraw
{

ObjectId LoadObject(const char* name, int memoryMode)
{
    constexpr const char* kFunction = "voDraw::LoadObject";
    name = name != nullptr ? name : "";
    if (std::strlen(name) > kMaxNameLength)
    {
        return ShowError(kFunction, kNameTooLong);
    }
    ObjectId id = LowestFreeSlot();
    if (id == 0)
    {
        return ShowError(kFunction, kTooManyObjects);
    }
    DrawObject& object = objectTable[id];
    std::strcpy(object.name, name);
    if (!LoadIntoSlot(object, name, memoryMode))
    {
        FreeSlot(object);
        return ShowError(kFunction, kCannotReadBmp);
    }
    return id;
}

ObjectId CreateObject(int width, int height, int memoryMode)
{
    constexpr const char* kFunction = "voDraw::CreateObject";
    ObjectId id = LowestFreeSlot();
    if (id == 0)
    {
        return ShowError(kFunction, kTooManyObjects);
    }
    DrawObject& object = objectTable[id];
    std::strcpy(object.name, "*");
    // One row more than asked, and the record's height says so: games that take the size of
    // their puts from the record rely on that row.
    object.surface = height < 65535
                         ? platform::CreateSurface(width, height + 1, ObjectMemory(memoryMode))
                         : nullptr;
    if (object.surface == nullptr)
    {
        EmptySlot(object);
        return ShowError(kFunction, kCannotCreateObject);
    }
    object.width = static_cast<std::uint16_t>(width);
    object.height = static_cast<std::uint16_t>(height + 1);
    KeyFromDefaults(object);
    return id;
}

int SwapObject(const char* name, ObjectId id, int memoryMode)
{
    constexpr const char* kFunction = "voDraw::SwapObject";
    name = name != nullptr ? name : "";
    if (std::strlen(name) > kMaxNameLength)
    {
        return ShowError(kFunction, kNameTooLong);
    }
    // An id past the table names no slot to load into.
    if (!ValidId(id))
    {
        return ShowError(kFunction, kCannotReadBmp);
    }
    DrawObject& object = objectTable[id];
    platform::ReleaseSurface(object.surface);
    object.surface = nullptr;
    std::strcpy(object.name, name);
    if (!LoadIntoSlot(object, name, memoryMode))
    {
        FreeSlot(object);
        return ShowError(kFunction, kCannotReadBmp);
    }
    return 1;
}

void ReleaseObject(ObjectId id)
{
    if (ValidId(id) && objectTable[id].surface != nullptr)
    {
        FreeSlot(objectTable[id]);
    }
}

void RestoreObjects()
{
    platform::RestoreSurface(PrimarySurface());
    platform::Surface* screenSurfaces[] = {BackBuffer(), objectTable[0].surface,
                                           objectTable[1].surface};
    for (platform::Surface* surface : screenSurfaces)
    {
        if (platform::IsSurfaceLost(surface))
        {
            platform::RestoreSurface(surface);
        }
    }
    for (ObjectId id = kFirstFreeSlot; id < kObjectCount; ++id)
    {
        DrawObject& object = objectTable[id];
        if (object.name[0] == '\0' || !platform::IsSurfaceLost(object.surface))
        {
            continue;
        }
        platform::RestoreSurface(object.surface);
        if (object.name[0] != '*')
        {
            // The defaults stay as the last reloaded object set them; a key of -1 passes
            // through keyColor and keys on the top-left pixel again.
            SetKeyColor(object.colorKey);
            char name[kObjectNameSize];
            std::strcpy(name, object.name);
            SwapObject(name, id, 2);
        }
    }
}

void SetKeyColor(std::uint32_t rgb)
{
    keyColor = rgb;
    keyFromTopLeft = 0;
}

void SetKeyFromTopLeft()
{
    keyFromTopLeft = 1;
}

DrawResult SetObjectKey(ObjectId id, std::uint32_t rgb)
{
    platform::Surface* surface = ObjectSurface(id);
    if (surface == nullptr)
    {
        return DrawResult::InvalidParams;
    }
    objectTable[id].colorKey = rgb;
    return SetSurfaceKey(surface, rgb);
}

DrawResult SetObjectKeyFromTopLeft(ObjectId id)
{
    return SetObjectKey(id, kTopLeftKey);
}

void CopyObjectKey(ObjectId destination, ObjectId source)
{
    std::uint32_t key = 0;
    // A source without a key leaves the destination's key as it was.
    if (platform::GetSurfaceColorKey(ObjectSurface(source), key) == platform::SurfaceResult::Ok)
    {
        platform::SetSurfaceColorKey(ObjectSurface(destination), key);
    }
}

} // namespace voDraw
