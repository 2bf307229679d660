// The portable core of the basic services: options, backend choice, the message queue, key
// state and the cursor count. Backends supply only what differs (backend.h).
#include "platform/platform.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <array>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>

#include "platform/backend.h"
#include "platform/record.h"
#include "platform/sound_internal.h"

namespace platform
{
namespace
{

struct BackendEntry
{
    const char* name;
    bool (*create)(const Options&, Backend&, std::string&);
    void (*destroy)();
};

constexpr BackendEntry kBackends[] = {
    {"sdl", sdl::Create, sdl::Destroy},
    {"headless", headless::Create, headless::Destroy},
};

constexpr std::uintptr_t kInstance = 0x400000;

struct CoreState
{
    const BackendEntry* entry = nullptr;      // the running backend's table row
    Backend backend;                          // its services
    WindowProc windowProc = nullptr;          // the registered procedure
    IconHandle windowIcon = 0;                // the registered icon; 0 none
    WindowHandle window = 0;                  // the main window while it exists
    std::deque<Message> queue;                // posted messages, oldest first
    std::array<bool, 256> keyDown{};          // key state as the last taken message left it
    std::array<bool, 256> keyToggled{};       // bit 0 of GetKeyState
    int cursorCount = 0;                      // ShowCursor's display count
    std::string programPath;                  // set in place of the real program path
    std::string settingsFolder;               // set in place of the user's config folder
};

CoreState core;

bool ParseInt(const char* text, int low, int high, int& value)
{
    char* end = nullptr;
    long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < low || parsed > high)
    {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

void TrackKeys(const Message& message)
{
    if (message.id < kWmKeyDown || message.id > kWmSysKeyUp || message.wParam > 255)
    {
        return;
    }
    size_t key = message.wParam;
    bool down = message.id == kWmKeyDown || message.id == kWmSysKeyDown;
    if (down && !core.keyDown[key])
    {
        core.keyToggled[key] = !core.keyToggled[key];
    }
    core.keyDown[key] = down;
}

} // namespace

const char* UsageText()
{
    return "usage: plonder [--help] [--version] [--scale N] [--headless [--frames N] "
           "[--input FILE] [--capture DIR] [--time YYYY-MM-DDTHH:MM:SS]] [--record FILE] "
           "[WORDS...] "
           "[-- WORDS...: all passed to the program]";
}

const char* HelpText()
{
    return "usage: plonder [OPTIONS] [WORDS...] [-- WORDS...]\n"
           "\n"
           "  -h, --help          show this help and exit\n"
           "      --version       show the program's name and version and exit\n"
           "      --scale N       show the window N times larger (1 to 16; default: what fits)\n"
           "      --headless      run without a display or sound card, on a virtual clock\n"
           "      --backend B     the platform backend: sdl (default) or headless\n"
           "      --frames N      headless: close the window after N frames\n"
           "      --input FILE    headless: play the timed input script FILE\n"
           "      --capture DIR   headless: write every presented frame as DIR/NNNNNN.png\n"
           "      --time T        headless: local time at start, YYYY-MM-DDTHH:MM:SS\n"
           "      --record FILE   in a window: write what the program receives to FILE, an\n"
           "                      input script that --headless --input FILE replays\n"
           "      --              pass everything after it to the program\n"
           "\n"
           "Other words (such as -w stage3 or /debug) reach the program as its command line.\n";
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error)
{
    std::string rest;
    bool headlessOnly = false;
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        auto value = [&](const char*& out) {
            if (i + 1 >= argc)
            {
                error = arg + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        const char* v = nullptr;
        if (arg == "--")
        {
            for (++i; i < argc; ++i)
            {
                rest += rest.empty() ? "" : " ";
                rest += argv[i];
            }
            break;
        }
        if (arg == "--help" || arg == "-h")
        {
            options.showHelp = true;
            return true;
        }
        if (arg == "--version")
        {
            options.showVersion = true;
            return true;
        }
        if (arg == "--headless")
        {
            options.backend = "headless";
        }
        else if (arg == "--backend")
        {
            if (!value(v))
            {
                return false;
            }
            options.backend = v;
        }
        else if (arg == "--scale")
        {
            if (!value(v) || !ParseInt(v, 1, 16, options.scale))
            {
                error = error.empty() ? "--scale takes a whole number from 1 to 16" : error;
                return false;
            }
        }
        else if (arg == "--frames")
        {
            if (!value(v) || !ParseInt(v, 0, 100000000, options.frames))
            {
                error = error.empty() ? "--frames takes a whole number of at least 0" : error;
                return false;
            }
            headlessOnly = true;
        }
        else if (arg == "--input" || arg == "--capture" || arg == "--time")
        {
            if (!value(v))
            {
                return false;
            }
            std::string& target = arg == "--input"     ? options.inputScript
                                  : arg == "--capture" ? options.captureDir
                                                       : options.startTime;
            target = v;
            headlessOnly = true;
        }
        else if (arg == "--record")
        {
            if (!value(v))
            {
                return false;
            }
            options.recordFile = v;
        }
        else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0)
        {
            // Only "--" words are the platform's; "-w" or "/debug" belong to the program.
            error = "unknown option " + arg;
            return false;
        }
        else
        {
            rest += rest.empty() ? "" : " ";
            rest += arg;
        }
    }
    if (headlessOnly && options.backend != "headless")
    {
        error = "--frames, --input, --capture and --time need --headless";
        return false;
    }
    if (!options.recordFile.empty() && options.backend == "headless")
    {
        error = "--record records play in a window; a headless run is its script already";
        return false;
    }
    options.commandLine = rest;
    return true;
}

bool Start(const Options& options, std::string& error)
{
    assert(core.entry == nullptr && "platform::Start called twice");
    for (const BackendEntry& entry : kBackends)
    {
        if (options.backend == entry.name)
        {
            if (!entry.create(options, core.backend, error))
            {
                core.backend = Backend{};
                return false;
            }
            core.entry = &entry;
            if (!options.recordFile.empty() && !StartRecording(options.recordFile, error))
            {
                Shutdown();
                return false;
            }
            return true;
        }
    }
    error = "unknown backend \"" + options.backend + "\"; valid ones:";
    for (const BackendEntry& entry : kBackends)
    {
        error += " ";
        error += entry.name;
    }
    return false;
}

void Shutdown()
{
    if (core.entry == nullptr)
    {
        return;
    }
    StopRecording();
    // The output stops pulling before the backend that feeds it goes.
    ShutdownSound();
    if (core.window != 0)
    {
        core.backend.window->Destroy();
        core.window = 0;
    }
    core.backend = Backend{};
    core.entry->destroy();
    core.entry = nullptr;
    core.queue.clear();
}

Backend& ActiveBackend()
{
    assert(core.entry != nullptr && "no platform backend: call platform::Start first");
    return core.backend;
}

int GetSystemMetric(Metric metric)
{
    int width = 0;
    int height = 0;
    switch (metric)
    {
    case Metric::ScreenWidth:
        ActiveBackend().window->ScreenSize(width, height);
        return width;
    case Metric::ScreenHeight:
        ActiveBackend().window->ScreenSize(width, height);
        return height;
    default:
        // The window manager draws the frame outside the client area, so the window's
        // outer size is its client size.
        return 0;
    }
}

void RegisterWindowClass(WindowProc proc, IconHandle icon)
{
    core.windowProc = proc;
    core.windowIcon = icon;
}

WindowHandle CreateMainWindow(const char* caption, int x, int y, int width, int height)
{
    if (core.windowProc == nullptr || core.window != 0 ||
        !ActiveBackend().window->Create(caption, x, y, width, height))
    {
        return 0;
    }
    if (const IconImage* icon = FindIcon(core.windowIcon))
    {
        ActiveBackend().window->SetIcon(*icon);
    }
    core.window = kMainWindow;
    return core.window;
}

void ShowMainWindow(WindowHandle, int)
{
    // The backend shows the window when it creates it; the first move reports its place.
}

void DestroyMainWindow(WindowHandle window)
{
    if (window == 0 || window != core.window)
    {
        return;
    }
    core.windowProc(window, kWmDestroy, 0, 0);
    ActiveBackend().window->Destroy();
    core.window = 0;
}

void MinimizeMainWindow(WindowHandle window)
{
    if (window != 0 && window == core.window)
    {
        ActiveBackend().window->Minimize();
    }
}

InstanceHandle GetInstance()
{
    return kInstance;
}

bool PeekMessage(Message& message)
{
    // The sequencer's notifications join the queue as the window's messages.
    DeliverSequencerNotices();
    if (core.queue.empty())
    {
        ActiveBackend().events->Pump();
    }
    if (core.queue.empty())
    {
        RecordFrameStart();
        ActiveBackend().events->FrameStarting();
        return false;
    }
    message = core.queue.front();
    core.queue.pop_front();
    TrackKeys(message);
    return true;
}

void TranslateMessage(const Message&)
{
}

std::intptr_t DispatchMessage(const Message& message)
{
    if (message.window == 0 || message.window != core.window || core.windowProc == nullptr)
    {
        return 0;
    }
    return core.windowProc(message.window, message.id, message.wParam, message.lParam);
}

std::intptr_t DefWindowProc(WindowHandle window, std::uint32_t id, std::uintptr_t wParam,
                            std::intptr_t)
{
    switch (id)
    {
    case kWmClose:
        DestroyMainWindow(window);
        return 0;
    case kWmSysKeyDown:
        // Alt+F4 asks the window to close, as the system menu does.
        if (wParam == static_cast<std::uintptr_t>(kVkF4) && (GetKeyState(kVkAlt) & 0x8000))
        {
            PostMessage(window, kWmClose, 0, 0);
        }
        return 0;
    default:
        return 0;
    }
}

void PostMessage(WindowHandle window, std::uint32_t id, std::uintptr_t wParam,
                 std::intptr_t lParam)
{
    core.queue.push_back(Message{window, id, wParam, lParam});
}

void PostQuitMessage(int exitCode)
{
    core.queue.push_back(Message{0, kWmQuit, static_cast<std::uintptr_t>(exitCode), 0});
}

std::int16_t GetKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255)
    {
        return 0;
    }
    std::uint16_t state = (core.keyDown[virtualKey] ? 0x8000 : 0) |
                          (core.keyToggled[virtualKey] ? 1 : 0);
    return static_cast<std::int16_t>(state);
}

void EnableInputMethod(bool)
{
}

int ShowCursor(bool show)
{
    core.cursorCount += show ? 1 : -1;
    ActiveBackend().events->SetCursorShown(core.cursorCount >= 0);
    return core.cursorCount;
}

void RemoveCursor()
{
    ActiveBackend().events->SetCursorShown(false);
}

void GetCursorPos(int& x, int& y)
{
    ActiveBackend().events->GetCursorPos(x, y);
}

void SetCursorPos(int x, int y)
{
    ActiveBackend().events->SetCursorPos(x, y);
}

void ClipCursor(const int* rect)
{
    ActiveBackend().events->ClipCursor(rect);
}

std::uint32_t NowMs()
{
    return ActiveBackend().clock->NowMs();
}

void WaitPast(std::uint32_t deadlineMs)
{
    RecordWaitPast(deadlineMs, NowMs());
    ActiveBackend().clock->WaitPast(deadlineMs);
}

LocalTime GetLocalTime()
{
    return ActiveBackend().clock->Local();
}

std::int64_t CalendarSeconds()
{
    return ActiveBackend().clock->CalendarSeconds();
}

int MessageBox(const char* text, const char* caption, unsigned style)
{
    return ActiveBackend().dialogs->MessageBox(text ? text : "", caption ? caption : "", style);
}

void Beep()
{
    ActiveBackend().dialogs->Beep();
    SoundBeepTone();
}

void OverrideProgramFilePath(const std::string& path)
{
    core.programPath = path;
}

void OverrideSettingsFolder(const std::string& path)
{
    core.settingsFolder = path;
}

std::string ProgramFilePath()
{
    if (!core.programPath.empty())
    {
        return core.programPath;
    }
    std::error_code ec;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
    {
        return std::string();
    }
    // An installed program sits in <prefix>/bin/ and keeps its files in <prefix>/share/NAME/.
    // Every caller takes the program's folder from this path to find those files, so such a
    // program is named inside that folder, as if it sat beside its files.
    std::filesystem::path folder = path.parent_path();
    std::filesystem::path files = folder.parent_path() / "share" / path.filename();
    if (folder.filename() == "bin" && std::filesystem::is_directory(files, ec))
    {
        return (files / path.filename()).string();
    }
    return path.string();
}

std::string SettingsFolder()
{
    if (!core.settingsFolder.empty())
    {
        return core.settingsFolder;
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config != nullptr && config[0] == '/')
    {
        base = config;
    }
    else
    {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : "/tmp") + "/.config";
    }
    return base + "/plonder";
}

std::uint64_t FreeDiskBytes(const char* path)
{
    struct statvfs info;
    if (path == nullptr || statvfs(path, &info) != 0)
    {
        return 0;
    }
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

std::uint64_t AvailableMemoryBytes()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kib = 0;
    std::string unit;
    while (meminfo >> key >> kib >> unit)
    {
        if (key == "MemAvailable:")
        {
            return kib * 1024;
        }
    }
    long pages = sysconf(_SC_AVPHYS_PAGES);
    long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * pageSize : 0;
}

int DesktopBitsPerPixel()
{
    return ActiveBackend().window->DesktopBitsPerPixel();
}

} // namespace platform
