// SDL2 joysticks as joysticks 0 and 1: a game controller by its left stick, its D-pad and its
// face buttons A, B, X, Y (buttons 1 to 4); any other joystick by axes 0 and 1, hat 0 and
// buttons 0 to 3. Devices plugged in or out while the program runs are noticed at the next
// read; a device keeps its number while it stays plugged in.
//   [X] position with a dead zone reported as the centre, buttons, hot plugging
//   [ ] driver configuration: there is none to reread; ConfigChanged looks at the devices again
#include <SDL.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/backend.h"
#include "platform/joystick.h"
#include "platform/sdl/sdl_internal.h"

namespace platform::sdl
{
namespace
{

// Stick values within this distance of the middle read as the centre, as the driver's dead
// zone did; it keeps a worn stick from drifting into a direction.
constexpr int kDeadZone = 8000;

struct Device
{
    SDL_GameController* controller = nullptr; // owned when the device is a game controller
    SDL_Joystick* joystick = nullptr;         // owned unless it belongs to controller
    SDL_JoystickID id = -1;                   // SDL's instance id, -1 for an empty slot
};

// SDL's signed axis value as a driver position: 0 at the left or the top, 65535 at the other
// end, the dead zone as the centre.
std::uint32_t AxisPosition(Sint16 value)
{
    if (std::abs(static_cast<int>(value)) < kDeadZone)
    {
        return kJoystickCentre;
    }
    return static_cast<std::uint32_t>(static_cast<int>(value) + 32768);
}

class SdlJoystick final : public platform::Joystick
{
public:
    SdlJoystick()
    {
        up = SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0;
        rescan = true;
    }
    ~SdlJoystick() override
    {
        for (Device& device : devices)
        {
            Close(device);
        }
        if (up)
        {
            SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
        }
    }
    SdlJoystick(const SdlJoystick&) = delete;
    SdlJoystick& operator=(const SdlJoystick&) = delete;

    bool ReadPosition(int joystick, std::uint32_t& x, std::uint32_t& y) override
    {
        Device* device = Find(joystick);
        if (device == nullptr)
        {
            return false;
        }
        int hatX = 0;
        int hatY = 0;
        if (device->controller != nullptr)
        {
            SDL_GameController* c = device->controller;
            x = AxisPosition(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX));
            y = AxisPosition(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY));
            hatX = SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_RIGHT) -
                   SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
            hatY = SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_DOWN) -
                   SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_UP);
        }
        else
        {
            SDL_Joystick* j = device->joystick;
            x = SDL_JoystickNumAxes(j) > 0 ? AxisPosition(SDL_JoystickGetAxis(j, 0))
                                           : kJoystickCentre;
            y = SDL_JoystickNumAxes(j) > 1 ? AxisPosition(SDL_JoystickGetAxis(j, 1))
                                           : kJoystickCentre;
            Uint8 hat = SDL_JoystickNumHats(j) > 0 ? SDL_JoystickGetHat(j, 0) : SDL_HAT_CENTERED;
            hatX = ((hat & SDL_HAT_RIGHT) ? 1 : 0) - ((hat & SDL_HAT_LEFT) ? 1 : 0);
            hatY = ((hat & SDL_HAT_DOWN) ? 1 : 0) - ((hat & SDL_HAT_UP) ? 1 : 0);
        }
        // A pressed pad counts as the stick pushed all the way.
        if (hatX != 0)
        {
            x = hatX < 0 ? 0 : kJoystickMax;
        }
        if (hatY != 0)
        {
            y = hatY < 0 ? 0 : kJoystickMax;
        }
        return true;
    }

    bool ReadButtons(int joystick, std::uint32_t& buttons) override
    {
        Device* device = Find(joystick);
        if (device == nullptr)
        {
            return false;
        }
        buttons = 0;
        if (device->controller != nullptr)
        {
            static constexpr SDL_GameControllerButton kFaceButtons[4] = {
                SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X,
                SDL_CONTROLLER_BUTTON_Y};
            for (int n = 0; n < 4; ++n)
            {
                if (SDL_GameControllerGetButton(device->controller, kFaceButtons[n]))
                {
                    buttons |= 1u << n;
                }
            }
        }
        else
        {
            int count = SDL_JoystickNumButtons(device->joystick);
            for (int n = 0; n < 4 && n < count; ++n)
            {
                if (SDL_JoystickGetButton(device->joystick, n))
                {
                    buttons |= 1u << n;
                }
            }
        }
        return true;
    }

    void ConfigChanged() override
    {
        rescan = true;
    }

private:
    // The open device for a joystick number after noticing plugging, or null.
    Device* Find(int joystick)
    {
        if (!up || joystick < 0 || joystick >= kJoystickCount)
        {
            return nullptr;
        }
        Refresh();
        Device& device = devices[joystick];
        return device.id >= 0 ? &device : nullptr;
    }

    void Refresh()
    {
        for (Device& device : devices)
        {
            if (device.id >= 0 && !SDL_JoystickGetAttached(device.joystick))
            {
                Close(device);
                rescan = true;
            }
        }
        int count = SDL_NumJoysticks();
        if (count == knownCount && !rescan)
        {
            return;
        }
        knownCount = count;
        rescan = false;
        for (int index = 0; index < count; ++index)
        {
            SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
            Device* free = nullptr;
            bool open = false;
            for (Device& device : devices)
            {
                open = open || device.id == id;
                if (free == nullptr && device.id < 0)
                {
                    free = &device;
                }
            }
            if (id < 0 || open || free == nullptr)
            {
                continue;
            }
            Open(index, *free);
        }
    }

    static void Open(int index, Device& device)
    {
        if (SDL_IsGameController(index))
        {
            device.controller = SDL_GameControllerOpen(index);
            if (device.controller != nullptr)
            {
                device.joystick = SDL_GameControllerGetJoystick(device.controller);
            }
        }
        if (device.joystick == nullptr)
        {
            device.joystick = SDL_JoystickOpen(index);
        }
        if (device.joystick == nullptr)
        {
            device = Device{};
            return;
        }
        device.id = SDL_JoystickInstanceID(device.joystick);
    }

    static void Close(Device& device)
    {
        if (device.controller != nullptr)
        {
            SDL_GameControllerClose(device.controller);
        }
        else if (device.joystick != nullptr)
        {
            SDL_JoystickClose(device.joystick);
        }
        device = Device{};
    }

    bool up = false;                  // SDL's joystick subsystems started
    bool rescan = false;              // look at the device list at the next read
    int knownCount = -1;              // SDL's device count when last looked at
    Device devices[kJoystickCount];   // joysticks 0 and 1
};

// Virtual devices opened for checks, so their values can be set.
struct VirtualState
{
    std::vector<SDL_Joystick*> handles;
};

VirtualState virtualState;

SDL_Joystick* VirtualHandle(int id)
{
    for (SDL_Joystick* handle : virtualState.handles)
    {
        if (SDL_JoystickInstanceID(handle) == id)
        {
            return handle;
        }
    }
    return nullptr;
}

} // namespace

std::unique_ptr<platform::Joystick> MakeJoystick()
{
    return std::make_unique<SdlJoystick>();
}

int AttachVirtualJoystick(bool controller)
{
    int index = controller ? SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                                        SDL_CONTROLLER_AXIS_MAX,
                                                        SDL_CONTROLLER_BUTTON_MAX, 0)
                           : SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 1);
    if (index < 0)
    {
        return -1;
    }
    SDL_Joystick* handle = SDL_JoystickOpen(index);
    if (handle == nullptr)
    {
        SDL_JoystickDetachVirtual(index);
        return -1;
    }
    virtualState.handles.push_back(handle);
    return SDL_JoystickInstanceID(handle);
}

bool SetVirtualJoystick(int id, int axisX, int axisY, std::uint32_t buttons, int hat)
{
    SDL_Joystick* handle = VirtualHandle(id);
    if (handle == nullptr)
    {
        return false;
    }
    SDL_JoystickSetVirtualAxis(handle, 0, static_cast<Sint16>(axisX));
    SDL_JoystickSetVirtualAxis(handle, 1, static_cast<Sint16>(axisY));
    int count = SDL_JoystickNumButtons(handle);
    for (int n = 0; n < count && n < 32; ++n)
    {
        SDL_JoystickSetVirtualButton(handle, n, (buttons >> n) & 1 ? SDL_PRESSED : SDL_RELEASED);
    }
    if (SDL_JoystickNumHats(handle) > 0)
    {
        SDL_JoystickSetVirtualHat(handle, 0, static_cast<Uint8>(hat));
    }
    // The values reach the device as SDL's event pump would deliver them.
    SDL_JoystickUpdate();
    return true;
}

bool DetachVirtualJoystick(int id)
{
    SDL_Joystick* handle = VirtualHandle(id);
    if (handle == nullptr)
    {
        return false;
    }
    std::erase(virtualState.handles, handle);
    SDL_JoystickClose(handle);
    for (int index = 0; index < SDL_NumJoysticks(); ++index)
    {
        if (SDL_JoystickGetDeviceInstanceID(index) == id)
        {
            return SDL_JoystickDetachVirtual(index) == 0;
        }
    }
    return false;
}

} // namespace platform::sdl
