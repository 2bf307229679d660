// Test support: the headless backend started for one test, the program run from a script,
// a private folder per test, and CP932 texts written readably.
#pragma once

#include <string>

#include "platform/headless/capture.h"
#include "platform/headless/control.h"
#include "platform/platform.h"

namespace testing_support
{

// Starts the headless backend with these switches and takes the start-up clock, as the
// program does before WinMain. Stops it at the end of the test.
void StartHeadless(const platform::headless::HeadlessConfig& config = {},
                   const platform::Options& options = {});

// Runs the whole program (WinMain) headless for at most `frames` frames with the script.
// Returns WinMain's result.
int RunProgram(int frames, const std::string& script = "",
               const platform::headless::HeadlessConfig& config = {});

// A fresh folder that is the current folder until the object goes.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const
    {
        return path;
    }
    // Path of a file inside the folder.
    std::string File(const std::string& name) const
    {
        return path + "/" + name;
    }
    void Write(const std::string& name, const std::string& bytes) const;
    // The file's bytes; "<missing>" when it does not exist.
    std::string Read(const std::string& name) const;

private:
    std::string path;
    std::string previous;
};

// UTF-8 text as the CP932 bytes the program uses.
std::string Cp932(const std::string& utf8);

} // namespace testing_support
