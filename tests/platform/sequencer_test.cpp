// The sequencer's command strings, the timing of a piece from its own tempo map, and the
// notifications a window receives. Only the last test loads a soundfont: the timing never
// depends on one.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sequencer.h"
#include "platform/sequencer_internal.h"
#include "tests/sound/sound_files.h"
#include "tests/support/headless.h"

namespace
{

using namespace sound_files;

struct Notice
{
    std::uint32_t clockMs;
    std::uintptr_t code;
};

std::vector<Notice> notices;

std::intptr_t RecordNotices(platform::WindowHandle, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t)
{
    if (message == platform::kMmMciNotify)
    {
        notices.push_back(Notice{platform::NowMs(), wParam});
    }
    return 0;
}

class Sequencer : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        setenv("SDL_SOUNDFONTS", "/nonexistent/none.sf2", 1);
        Start({});
    }
    void Start(const platform::headless::HeadlessConfig& config)
    {
        testing_support::StartHeadless(config);
        platform::RegisterWindowClass(RecordNotices);
        window = platform::CreateMainWindow("test", 0, 0, 160, 180);
        ASSERT_NE(window, 0u);
        startMs = platform::NowMs();
    }
    static std::uint32_t Send(const std::string& command, platform::WindowHandle callback = 0)
    {
        return platform::SendSequencerCommand(command.c_str(), nullptr, 0, callback);
    }
    static std::string Status(const std::string& item)
    {
        char reply[32] = "junk";
        std::uint32_t result =
            platform::SendSequencerCommand(("status midi " + item).c_str(), reply, sizeof reply, 0);
        return result == 0 ? std::string(reply) : "error " + std::to_string(result);
    }
    // The open command for these bytes written to name.
    std::string Open(const std::string& bytes, const std::string& name = "piece.mid")
    {
        dir.Write(name, bytes);
        return "open \"" + dir.File(name) + "\" type sequencer alias midi";
    }

    testing_support::TempDir dir;
    platform::WindowHandle window = 0;
    std::uint32_t startMs = 0;
};

TEST_F(Sequencer, APieceEndsWhenItsLastTrackEndsAndNotifiesOnce)
{
    // 960 ticks at 480 a quarter and 0.6 s a quarter: 1.2 s.
    std::string file = MidiFile(0, 480,
                                {TempoEvent(0, 600000) + ChannelEvent(0, 0x90, 60, 90) +
                                 ChannelEvent(960, 0x80, 60, 0) + EndOfTrack(0)});
    ASSERT_EQ(Send(Open(file)), 0u);
    ASSERT_EQ(Send("play midi notify", window), 0u);
    PumpMessages(1220);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].code, platform::kMciNotifySuccessful);
    EXPECT_GE(notices[0].clockMs - startMs, 1200u);
    EXPECT_LE(notices[0].clockMs - startMs, 1210u);
    EXPECT_EQ(Status("mode"), "stopped");
    // Played again from 200 ms, its end falls inside a long jump of the clock.
    ASSERT_EQ(Send("seek midi to 200"), 0u);
    ASSERT_EQ(Send("play midi notify", window), 0u);
    platform::headless::AdvanceClock(3 * 3600 * 1000);
    PumpMessages(10);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(Status("position"), "1200");
}

TEST_F(Sequencer, TheLengthFollowsATempoTrackThroughRunningStatusAndSysEx)
{
    // Two quarters at 0.5 s, then two at 0.25 s, in a tempo track of their own: 1.5 s.
    std::string tempo = TempoEvent(0, 500000) + TempoEvent(960, 250000) + EndOfTrack(0);
    std::string notes = ChannelEvent(0, 0x90, 60, 100) + VarLength(0) + "\x40\x64" + VarLength(0) +
                        std::string("\xF0\x03\x7E\x7F\xF7", 5) + ChannelEvent(480, 0x80, 60, 0) +
                        VarLength(0) + std::string("\x40\x00", 2) + EndOfTrack(1440);
    ASSERT_EQ(Send(Open(MidiFile(1, 480, {tempo, notes}))), 0u);
    EXPECT_EQ(Status("length"), "1500");
}

TEST_F(Sequencer, FilesThatAreNotMidiFilesDoNotOpen)
{
    std::string good = NoteFile(480);
    int n = 0;
    for (const std::string& bytes : {
             good.substr(0, 13),
             good.substr(0, 21), // no whole track header
             MidiFile(0, 480,
                      {std::string("\0\xFF\x01\xFF\xFF\xFF\xFF\x7F", 8)}),  // a five-byte length
             MidiFile(0, 480, {VarLength(0) + "\x40\x40" + EndOfTrack(0)}), // data, no status
             MidiFile(2, 480, {EndOfTrack(0)}),
             MidiFile(0, 0, {EndOfTrack(0)}),
             ConstantWave(100, 5),
         })
    {
        std::string name = "bad" + std::to_string(n++) + ".mid";
        EXPECT_EQ(Send(Open(bytes, name)), platform::kMciErrInvalidFile) << name;
        EXPECT_EQ(Send("play midi notify", window), platform::kMciErrInvalidDeviceName);
    }
    PumpMessages(100);
    EXPECT_TRUE(notices.empty());
}

// Events and ends read at 1000 frames a second, so frames are milliseconds (480 ticks a
// quarter at the default 0.5 s a quarter: a tick is 1/960 s).
TEST(MidiFile, RunningStatusCarriesAcrossMetaAndSysExAndACutTrackEndsWhereItStops)
{
    using Events = std::vector<std::array<int, 4>>; // ms, status, data 1, data 2
    const std::string on = ChannelEvent(0, 0x90, 60, 100);
    const std::string off = ChannelEvent(960, 0x80, 60, 0);
    const std::string text = VarLength(0) + std::string("\xFF\x01\x02hi", 5);
    const std::string sysEx = VarLength(0) + std::string("\xF0\x03\x7E\x7F\xF7", 5);
    const std::string escape = VarLength(0) + std::string("\xF7\x01\xF8", 3);
    const std::string runningOff = VarLength(960) + std::string("\x3C\x00", 2);
    const Events onOff = {{0, 0x90, 60, 100}, {1000, 0x80, 60, 0}};
    const Events onRunningOff = {{0, 0x90, 60, 100}, {1000, 0x90, 60, 0}};
    const Events onOnly = {{0, 0x90, 60, 100}};
    std::string lyingLength = MidiFile(0, 480, {on + off + EndOfTrack(0)});
    lyingLength[21] = '\x7F'; // track length far past the end
    const struct
    {
        const char* name;
        std::string bytes;
        bool read;
        Events events;
        int endMs;
    } cases[] = {
        {"after meta", MidiFile(0, 480, {on + text + runningOff + EndOfTrack(0)}), true,
         onRunningOff, 1000},
        {"after sysex", MidiFile(0, 480, {on + sysEx + runningOff + EndOfTrack(0)}), true,
         onRunningOff, 1000},
        {"after escape", MidiFile(0, 480, {on + escape + runningOff + EndOfTrack(480)}), true,
         onRunningOff, 1500},
        {"no status before meta",
         MidiFile(0, 480, {text + runningOff + EndOfTrack(0)}),
         false,
         {},
         0},
        {"last byte missing", NoteFile(960).substr(0, NoteFile(960).size() - 1), true, onOff, 1000},
        {"end of track lost", MidiFile(0, 480, {on + off + VarLength(480) + "\xFF"}), true, onOff,
         1500},
        {"no end of track", MidiFile(0, 480, {on + off}), true, onOff, 1000},
        {"chunk past the file", lyingLength, true, onOff, 1000},
        {"cut in a channel event", MidiFile(0, 480, {on + off.substr(0, off.size() - 1)}), true,
         onOnly, 1000},
        {"cut in running status", MidiFile(0, 480, {on + runningOff.substr(0, 3)}), true, onOnly,
         1000},
        {"cut in a delta", MidiFile(0, 480, {on + "\x87"}), true, onOnly, 0},
        {"cut in a meta length", MidiFile(0, 480, {on + off + VarLength(0) + "\xFF\x01\x81"}), true,
         onOff, 1000},
        {"meta past the chunk", MidiFile(0, 480, {on + off + VarLength(0) + "\xFF\x01\x20zz"}),
         true, onOff, 1000},
        {"sysex past the chunk", MidiFile(0, 480, {on + VarLength(0) + "\xF0\x05\x7E"}), true,
         onOnly, 0},
        // The first track whole, the second cut by the end of the file inside its one event.
        {"second track cut", MidiFile(1, 480, {on + EndOfTrack(480), off}).substr(0, 43), true,
         onOnly, 1000},
        {"undefined status",
         MidiFile(0, 480, {on + VarLength(0) + "\xF4" + EndOfTrack(0)}),
         false,
         {},
         0},
        {"status in the data",
         MidiFile(0, 480, {on + VarLength(0) + "\x80\x3C\x90"}),
         false,
         {},
         0},
        {"status cut in the data",
         MidiFile(0, 480, {on + VarLength(0) + "\x80\x90"}),
         false,
         {},
         0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> bytes(c.bytes.begin(), c.bytes.end());
        platform::MidiPiece piece;
        ASSERT_EQ(platform::ParseMidiFile(bytes.data(), bytes.size(), 1000, piece), c.read);
        if (!c.read)
        {
            continue;
        }
        Events events;
        for (const platform::MidiEvent& event : piece.events)
        {
            events.push_back(
                {static_cast<int>(event.frame), event.status, event.data1, event.data2});
        }
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(piece.endFrame, static_cast<std::uint64_t>(c.endMs));
    }
}

TEST_F(Sequencer, AStopAbortsAndASecondPlaySupersedesAPendingNotification)
{
    ASSERT_EQ(Send(Open(NoteFile(960))), 0u);
    ASSERT_EQ(Send("play midi notify", window), 0u);
    PumpMessages(300);
    ASSERT_EQ(Send("play midi notify", window), 0u);
    PumpMessages(10);
    ASSERT_EQ(Send("stop midi"), 0u);
    PumpMessages(10);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].code, platform::kMciNotifySuperseded);
    EXPECT_EQ(notices[1].code, platform::kMciNotifyAborted);
    PumpMessages(2000);
    EXPECT_EQ(Status("position"), "310"); // the second play went on; the stop kept its place
    ASSERT_EQ(Send("close midi notify", window), 0u);
    PumpMessages(10);
    EXPECT_EQ(notices.back().code, platform::kMciNotifySuccessful);
    EXPECT_EQ(Status("mode"), "error " + std::to_string(platform::kMciErrInvalidDeviceName));
}

TEST_F(Sequencer, CommandsItDoesNotKnowFailWithoutEffectAndNothingOpensWithoutOutput)
{
    ASSERT_EQ(Send(Open(NoteFile(960), "with space.MID")), 0u);
    EXPECT_EQ(Send("seek midi to 5000"), platform::kMciErrOutOfRange);
    char small[4] = "abc";
    EXPECT_EQ(platform::SendSequencerCommand("status midi mode", small, sizeof small, 0),
              platform::kMciErrParamOverflow);
    EXPECT_EQ(small[0], '\0');
    EXPECT_EQ(Send("PLAY Midi"), 0u);
    EXPECT_EQ(Status("mode"), "playing");

    platform::Shutdown();
    platform::headless::HeadlessConfig config;
    config.soundDevice = false;
    Start(config);
    EXPECT_EQ(Send(Open(NoteFile(480))), platform::kMciErrHardware);
    EXPECT_EQ(Send("play midi notify", window), platform::kMciErrInvalidDeviceName);
}

// The only check that FluidSynth really plays: the project installs the GM soundfont.
TEST_F(Sequencer, WithTheSoundfontTheNotesAreHeard)
{
    const char* soundFont = "/usr/share/sounds/sf2/default-GM.sf2";
    setenv("SDL_SOUNDFONTS", soundFont, 1);
    ASSERT_EQ(Send(Open(NoteFile(480))), 0u);
    EXPECT_STREQ(platform::SequencerSoundFont(), soundFont);
    std::uint64_t start = platform::headless::AudioFramesRendered();
    ASSERT_EQ(Send("play midi notify", window), 0u);
    PumpMessages(600);
    EXPECT_GT(Peak(start, start + FramesIn(400), 0), 300);
    ASSERT_EQ(Send("close midi"), 0u);
    std::uint64_t after = platform::headless::AudioFramesRendered();
    PumpMessages(100);
    EXPECT_EQ(Peak(after, after + FramesIn(100), 0), 0);
}

} // namespace
