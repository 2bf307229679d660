// System services: the error and message boxes, paths and number files, date and time,
// machine figures, the cursor and the key-handling switches.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "draw/draw.h"
#include "platform/cp932.h"
#include "system/files.h"
#include "system/system.h"
#include "system/system_texts.h"

namespace
{

constexpr std::size_t kTextSize = 256;

struct ServicesState
{
    char programFolder[kTextSize] = {};   // shared result of GetProgramFolder
    char alternateBase[kTextSize] = {};   // base for number files; empty for none
    char lastFolderName[kTextSize] = {};  // last folder name of the program's path
    int cursorClipped = 0;                // 1 while the cursor is confined
};

ServicesState services;

// Shows a formatted message box; the text keeps room for the line end that is added.
int ShowFormatted(unsigned style, const char* format, va_list args)
{
    char text[kTextSize];
    FormatText(text, kTextSize - 2, format != nullptr ? format : "", args);
    std::strcat(text, "\r\n");
    if (cursorVisible == 0)
    {
        platform::ShowCursor(true);
        cursorVisible = 1;
    }
    messageBoxOpen = 1;
    int answer = platform::MessageBox(text, kMessageCaption, style);
    messageBoxOpen = 0;
    return answer;
}

// A number file written under another case is the one read and replaced.
std::string NumberFilePath(const char* fileName)
{
    return platform::FindFileIgnoringCase(std::string(GetProgramFolder(1)) +
                                          (fileName != nullptr ? fileName : ""));
}

} // namespace

char* FormatText(char* dest, std::size_t size, const char* format, va_list args)
{
    if (size == 0)
    {
        return dest;
    }
    // One byte more than the cut can keep, so a two-byte character that would cross the end
    // is seen whole and left out, as it is from the whole text. A field width of any size
    // costs no more than this buffer.
    std::string text(size + 1, '\0');
    if (std::vsnprintf(text.data(), text.size(), format, args) < 0)
    {
        dest[0] = '\0';
        return dest;
    }
    return CopyText(dest, text.c_str(), size);
}

char* CopyText(char* dest, const char* text, std::size_t size)
{
    if (size == 0)
    {
        return dest;
    }
    std::size_t i = 0;
    while (text != nullptr && text[i] != '\0')
    {
        bool pair = platform::IsCp932LeadByte(static_cast<unsigned char>(text[i])) &&
                    text[i + 1] != '\0';
        std::size_t length = pair ? 2 : 1;
        if (i + length > size - 1)
        {
            break;
        }
        std::memcpy(dest + i, text + i, length);
        i += length;
    }
    dest[i] = '\0';
    return dest;
}

int ShowError(const char* function, const char* message, int)
{
    char text[kTextSize];
    CopyText(text, (std::string(function ? function : "") + " : " + (message ? message : "")).c_str(),
             sizeof text);
    // The box is a window of its own, so there is no full-screen surface to flip away from.
    platform::Beep();
    platform::MessageBox(text, kErrorCaption, platform::kMbIconExclamation | platform::kMbSystemModal);
    return 0;
}

void ShowMessage(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    ShowFormatted(platform::kMbIconExclamation | platform::kMbSystemModal, format, args);
    va_end(args);
}

int AskYesNo(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int answer = ShowFormatted(platform::kMbYesNo | platform::kMbIconQuestion |
                                   platform::kMbSystemModal,
                               format, args);
    va_end(args);
    return answer == platform::kIdYes ? 1 : 0;
}

const char* GetProgramFolder(int useAlternate)
{
    std::string path = platform::ProgramFilePath();
    std::size_t cut = path.find_last_of(platform::kPathSeparator);
    std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    if (folder.size() >= kTextSize)
    {
        // A folder that does not fit the buffer cannot be named; the current folder stands in.
        folder = std::string(".") + platform::kPathSeparator;
    }
    CopyText(services.programFolder, folder.c_str(), kTextSize);
    if (useAlternate == 0 || services.alternateBase[0] == '\0')
    {
        return services.programFolder;
    }
    if (folder.size() >= 2)
    {
        std::size_t previous = folder.find_last_of(platform::kPathSeparator, folder.size() - 2);
        if (previous != std::string::npos)
        {
            CopyText(services.lastFolderName, folder.c_str() + previous + 1, kTextSize);
        }
    }
    std::string joined = std::string(services.alternateBase) + platform::kPathSeparator +
                         services.lastFolderName;
    CopyText(services.programFolder, joined.c_str(), kTextSize);
    return services.programFolder;
}

void SetAlternateBase(const char* fileName)
{
    std::string path = platform::SettingsFolder();
    if (path.empty() || path.back() != platform::kPathSeparator)
    {
        path += platform::kPathSeparator;
    }
    path += fileName != nullptr ? fileName : "";
    services.alternateBase[0] = '\0';
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
    {
        return;
    }
    char line[kTextSize] = {};
    // An empty file holds no base, so the number files stay beside the program.
    if (std::fgets(line, sizeof line, file) != nullptr)
    {
        std::size_t length = std::strlen(line);
        if (length > 0 && line[length - 1] == '\n')
        {
            line[--length] = '\0';
            // A line end written as CR LF is one line end, as text mode reads it.
            if (length > 0 && line[length - 1] == '\r')
            {
                line[--length] = '\0';
            }
        }
        if (length > 0 && line[length - 1] == platform::kPathSeparator)
        {
            line[--length] = '\0';
        }
        CopyText(services.alternateBase, line, kTextSize);
    }
    std::fclose(file);
}

void SaveNumber(const char* fileName, int value)
{
    WriteFileReplacing(NumberFilePath(fileName), std::to_string(value));
}

int LoadNumber(const char* fileName)
{
    std::FILE* file = std::fopen(NumberFilePath(fileName).c_str(), "r");
    if (file == nullptr)
    {
        return 0;
    }
    // Read as "%d" reads: blanks, a sign, then digits. A number past the int range reads as
    // the nearest int, since a stored file can hold any digits.
    int c = std::fgetc(file);
    while (c != EOF && std::isspace(c))
    {
        c = std::fgetc(file);
    }
    bool negative = c == '-';
    if (c == '-' || c == '+')
    {
        c = std::fgetc(file);
    }
    std::int64_t magnitude = 0;
    const std::int64_t limit = negative ? -std::int64_t{INT_MIN} : INT_MAX;
    while (c != EOF && std::isdigit(c))
    {
        magnitude = std::min(magnitude * 10 + (c - '0'), limit);
        c = std::fgetc(file);
    }
    std::fclose(file);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

void SaveValue(const char* fileName, int value)
{
    SaveNumber(fileName, value);
}

int LoadValue(const char* fileName)
{
    return LoadNumber(fileName);
}

void GetDate(int& year, int& month, int& day, char* weekday)
{
    platform::LocalTime now = platform::GetLocalTime();
    year = now.year;
    month = now.month;
    day = now.day;
    if (weekday != nullptr)
    {
        std::memcpy(weekday, kWeekdayNames[now.weekday % 7], 3);
    }
}

void GetTime(int& hour, int& minute, int& second)
{
    platform::LocalTime now = platform::GetLocalTime();
    hour = now.hour;
    minute = now.minute;
    second = now.second;
}

std::uint32_t GetDiskFree(char)
{
    return static_cast<std::uint32_t>(platform::FreeDiskBytes(GetProgramFolder(0)));
}

std::uint32_t GetAvailableMemory()
{
    // More than 32 bits can hold reads as the largest value: callers compare it with what they
    // need, and a wrapped value would tell them too little.
    std::uint64_t bytes = platform::AvailableMemoryBytes();
    return bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(bytes);
}

int GetScreenColourBits()
{
    return platform::DesktopBitsPerPixel();
}

int IsWindowed()
{
    return fullScreen == 0 ? 1 : 0;
}

const char* GetCommandLineText()
{
    return commandLine;
}

void SetMousePos(int x, int y)
{
    platform::SetCursorPos(x + clientLeft, y + clientTop);
}

void ClipCursorTo(int left, int top, int right, int bottom)
{
    int rect[4] = {left, top, right, bottom};
    platform::ClipCursor(rect);
    services.cursorClipped = 1;
}

void ClipCursorToScreen()
{
    if (fullScreen != 0)
    {
        ClipCursorTo(0, 0, screenWidth, screenHeight);
    }
    else
    {
        ClipCursorTo(clientLeft, clientTop, clientLeft + screenWidth, clientTop + screenHeight);
    }
}

void UnclipCursor()
{
    platform::ClipCursor(nullptr);
    services.cursorClipped = 0;
}

int IsCursorClipped()
{
    return services.cursorClipped;
}

void EnterRawKeyMode()
{
    rawKeyMode = 1;
}

void LeaveRawKeyMode()
{
    rawKeyMode = 0;
    lastKey = 0;
}

int CountKeyReleases(int virtualKey)
{
    countedKey = virtualKey;
    countedKeyReleases = 0;
    return virtualKey;
}

int GetKeyReleaseCount()
{
    return countedKeyReleases;
}

void EnableIME(int enable)
{
    platform::EnableInputMethod(enable != 0);
}

void SetSystemKeysPass(int pass)
{
    systemKeysPass = pass;
}
