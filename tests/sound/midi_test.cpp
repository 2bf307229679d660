// MIDI music through the shell's window procedure: looping by the end-of-play notification,
// closing at the end, ending a loop, replacing a piece, and the notifications passed over.
#include <cstdlib>
#include <filesystem>

#include "app/app.h"
#include "platform/sequencer.h"
#include "tests/sound/sound_test_support.h"

namespace
{

using namespace sound_test;

class MidiMusic : public SoundTest
{
  protected:
    void StartMusic(const std::string& programFolder = "")
    {
        // Timing comes from the files; no soundfont is needed or loaded.
        setenv("SDL_SOUNDFONTS", "/nonexistent/none.sf2", 1);
        platform::headless::HeadlessConfig config;
        config.programPath = (programFolder.empty() ? dir.Path() : programFolder) + "/plonder";
        StartSound(config);
        platform::RegisterWindowClass(MainWindowProc);
        mainWindow = platform::CreateMainWindow("Plonder", 0, 0, 160, 180);
        ASSERT_NE(mainWindow, 0u);
        voSound::InitMidi();
    }
    static std::string Status(const char* item)
    {
        char reply[32] = {};
        std::string command = std::string("status midi ") + item;
        std::uint32_t result =
            platform::SendSequencerCommand(command.c_str(), reply, sizeof reply, 0);
        return result == 0 ? std::string(reply) : "closed";
    }
};

TEST_F(MidiMusic, ALoopingPieceStartsAgainUntilTheLoopIsEndedThenCloses)
{
    StartMusic();
    dir.Write("song.mid", NoteFile(960)); // one second
    voSound::PlayMidi("song.mid", 1);
    PumpMessages(1500);
    EXPECT_EQ(midiPieceOpen, 1);
    EXPECT_EQ(Status("mode"), "playing");
    // Restarted a frame or so after the end.
    EXPECT_GE(std::stoi(Status("position")), 480);
    EXPECT_LE(std::stoi(Status("position")), 500);
    voSound::EndMidiLoop();
    PumpMessages(450);
    EXPECT_EQ(midiPieceOpen, 1);
    EXPECT_EQ(Status("mode"), "playing");
    PumpMessages(100);
    EXPECT_EQ(midiPieceOpen, 0);
    EXPECT_EQ(Status("mode"), "closed");
}

TEST_F(MidiMusic, ASecondPieceClosesTheFirstAndAPieceThatDoesNotLoopClosesAtItsEnd)
{
    StartMusic();
    dir.Write("long.mid", NoteFile(2880)); // three seconds
    dir.Write("short.mid", NoteFile(480)); // half a second
    voSound::PlayMidi("long.mid", 1);
    PumpMessages(500);
    voSound::PlayMidi("short.mid", 0);
    EXPECT_EQ(Status("length"), "500");
    EXPECT_EQ(Status("position"), "0");
    PumpMessages(490);
    EXPECT_EQ(midiPieceOpen, 1);
    PumpMessages(30);
    EXPECT_EQ(midiPieceOpen, 0); // the short piece ended; the long one's notice did nothing
    PumpMessages(3000);
    EXPECT_EQ(midiPieceOpen, 0);
}

TEST_F(MidiMusic, NoticesOfSupersededOrAbortedPlaysArePassedOver)
{
    StartMusic();
    dir.Write("song.mid", NoteFile(960));
    voSound::PlayMidi("song.mid", 1);
    PumpMessages(200);
    ASSERT_EQ(platform::SendSequencerCommand("stop midi", nullptr, 0, 0), 0u);
    for (std::uintptr_t code : {platform::kMciNotifySuperseded, platform::kMciNotifyAborted})
    {
        platform::PostMessage(mainWindow, platform::kMmMciNotify, code, 1);
        PumpMessages(10);
        EXPECT_EQ(Status("mode"), "stopped") << code;
    }
    platform::PostMessage(mainWindow, platform::kMmMciNotify, platform::kMciNotifySuccessful, 1);
    PumpMessages(10);
    EXPECT_EQ(Status("mode"), "playing");
    EXPECT_LE(std::stoi(Status("position")), 10);
}

TEST_F(MidiMusic, AMissingBrokenOrQuotedPieceClosesTheLastAndStaysOpenSilentUntilClosed)
{
    StartMusic();
    // Cut inside its track's header, so no track is left.
    dir.Write("broken.mid", NoteFile(960).substr(0, 20));
    dir.Write("song.mid", NoteFile(960));
    dir.Write("q\".mid", NoteFile(960));
    // A quote in the name would end the quoted path; these words would open song.mid.
    const char* injected = "song.mid\" alias midi type \"sequencer";
    for (const char* name : {"missing.mid", "broken.mid", "q\".mid", injected})
    {
        SCOPED_TRACE(name);
        voSound::PlayMidi("song.mid", 1);
        ASSERT_EQ(Status("mode"), "playing");
        voSound::PlayMidi(name, 1);
        EXPECT_EQ(midiPieceOpen, 1);
        EXPECT_EQ(Status("mode"), "closed");
        PumpMessages(1000);
        EXPECT_EQ(midiPieceOpen, 1);
        voSound::CloseMidi();
        EXPECT_EQ(midiPieceOpen, 0);
    }
}

TEST_F(MidiMusic, AFolderWithSpacesIsQuotedAndACommandTooLongIsNotSentAndChangesNothing)
{
    std::string deep = dir.Path() + "/my music" + std::string(190 - dir.Path().size(), 'd');
    std::filesystem::create_directory(deep);
    StartMusic(deep);
    dir.Write(deep.substr(dir.Path().size() + 1) + "/a b.mid", NoteFile(480));
    voSound::PlayMidi("a b.mid", 1);
    EXPECT_EQ(Status("mode"), "playing");
    voSound::PlayMidi("a-name-that-makes-the-command-too-long.mid", 0);
    EXPECT_EQ(midiPieceOpen, 1);
    EXPECT_EQ(midiLooping, 1);
    EXPECT_EQ(Status("mode"), "playing");
}

} // namespace
