// MIDI music: one piece at a time through the sequencer under the alias "midi", looping by
// restarting itself when the end-of-play notification reaches the window procedure.
#include <cstdio>
#include <string>

#include "platform/sequencer.h"
#include "sound/sound.h"
#include "system/system.h"

int midiPieceOpen = 0;
int midiLooping = 1;

namespace
{

constexpr std::size_t kCommandSize = 256;

void Send(const char* command, platform::WindowHandle callback = 0)
{
    // Results are not looked at: a missing piece makes every command fail without effect.
    platform::SendSequencerCommand(command, nullptr, 0, callback);
}

} // namespace

namespace voSound
{

int InitMidi()
{
    midiPieceOpen = 0;
    midiLooping = 1;
    return 1;
}

void PlayMidi(const char* name, int loop)
{
    std::string path = std::string(GetProgramFolder(0)) + (name != nullptr ? name : "");
    char command[kCommandSize];
    int length = std::snprintf(command, sizeof command, "open \"%s\" type sequencer alias midi",
                               path.c_str());
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof command)
    {
        // A path that does not fit the command is not played, and nothing else changes.
        return;
    }
    if (midiPieceOpen)
    {
        CloseMidi();
    }
    // A double quote would end the quoted path and add words to the command, so such a path
    // is taken as a file that cannot be opened: nothing plays, and the piece counts as open.
    if (path.find('"') == std::string::npos)
    {
        Send(command);
        Send("seek midi to start");
        Send("play midi notify", mainWindow);
    }
    midiPieceOpen = 1;
    midiLooping = loop;
}

void OnMidiEnd()
{
    if (midiLooping != 0)
    {
        Send("seek midi to start");
        Send("play midi notify", mainWindow);
    }
    else
    {
        CloseMidi();
    }
}

void CloseMidi()
{
    if (midiPieceOpen)
    {
        Send("stop midi");
        Send("close midi");
        midiPieceOpen = 0;
    }
}

void StopMidi()
{
    Send("stop midi");
    Send("close midi");
}

void EndMidiLoop()
{
    midiLooping = 0;
}

} // namespace voSound
