// The sequencer: the command strings, one open piece played from its own event list into the
// mixer (so its end is known from the file even when no soundfont makes it audible), and the
// notifications posted when a play ends or is cut short.
#include "platform/sequencer.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/sequencer_internal.h"
#include "platform/sound_internal.h"

namespace platform
{
namespace
{

struct SettingsDeleter
{
    void operator()(fluid_settings_t* settings) const
    {
        delete_fluid_settings(settings);
    }
};
struct SynthDeleter
{
    void operator()(fluid_synth_t* synth) const
    {
        delete_fluid_synth(synth);
    }
};
using SettingsPtr = std::unique_ptr<fluid_settings_t, SettingsDeleter>;
using SynthPtr = std::unique_ptr<fluid_synth_t, SynthDeleter>;

struct Device
{
    std::string alias;        // the name commands use, lower case
    std::uint32_t number = 0; // lParam of its notifications
    MidiPiece piece;
    bool playing = false;
    std::uint64_t position = 0; // frames from the start of the piece
    std::size_t nextEvent = 0;  // first event not yet sent at position
    bool notifyPending = false; // a play asked to be told of its end
    WindowHandle notifyWindow = 0;
};

struct Notice
{
    WindowHandle window;
    std::uintptr_t code;
    std::uint32_t device;
};

struct SequencerState
{
    // Settings and synthesiser outlive the pieces: the soundfont is loaded once.
    SettingsPtr settings;
    SynthPtr synth; // null when no soundfont was found
    bool soundFontSearched = false;
    std::string soundFont;          // the one loaded; empty when music is silent
    std::unique_ptr<Device> device; // the open piece; changed under the mixer lock
    std::vector<Notice> notices;    // waiting to be posted, oldest first
    std::uint32_t nextNumber = 1;
    std::vector<float> left, right; // the synthesiser's output for one block
};

SequencerState sequencer;

std::string Lower(std::string text)
{
    for (char& c : text)
    {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// Words separated by blanks; a double-quoted stretch is one word without its quotes.
std::vector<std::string> SplitCommand(const char* command)
{
    std::vector<std::string> words;
    const char* p = command;
    for (;;)
    {
        while (*p == ' ' || *p == '\t')
        {
            ++p;
        }
        if (*p == '\0')
        {
            return words;
        }
        std::string word;
        if (*p == '"')
        {
            ++p;
            while (*p != '\0' && *p != '"')
            {
                word += *p++;
            }
            if (*p == '"')
            {
                ++p;
            }
        }
        else
        {
            while (*p != '\0' && *p != ' ' && *p != '\t')
            {
                word += *p++;
            }
        }
        words.push_back(word);
    }
}

void Dispatch(const MidiEvent& event)
{
    fluid_synth_t* synth = sequencer.synth.get();
    if (synth == nullptr)
    {
        return;
    }
    int channel = event.status & 0x0F;
    switch (event.status & 0xF0)
    {
    case 0x80:
        fluid_synth_noteoff(synth, channel, event.data1);
        break;
    case 0x90:
        fluid_synth_noteon(synth, channel, event.data1, event.data2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth, channel, event.data1, event.data2);
        break;
    case 0xB0:
        fluid_synth_cc(synth, channel, event.data1, event.data2);
        break;
    case 0xC0:
        fluid_synth_program_change(synth, channel, event.data1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(synth, channel, event.data1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(synth, channel, event.data1 | event.data2 << 7);
        break;
    default:
        break;
    }
}

// The notes stop; their release still sounds.
void NotesOff()
{
    if (sequencer.synth)
    {
        fluid_synth_all_notes_off(sequencer.synth.get(), -1);
    }
}

// A pending play notification is cut short. Called with the mixer lock held.
void CutPending(Device& device, std::uintptr_t code)
{
    if (device.notifyPending)
    {
        sequencer.notices.push_back(Notice{device.notifyWindow, code, device.number});
        device.notifyPending = false;
    }
}

void ReachEnd(Device& device)
{
    device.playing = false;
    NotesOff();
    CutPending(device, kMciNotifySuccessful);
}

// Moves a stopped piece to frame: the synthesiser is reset and every event before frame
// except note-ons is sent again, so programs and controllers are as they would be there.
void MoveTo(Device& device, std::uint64_t frame)
{
    device.position = frame;
    device.nextEvent = 0;
    if (sequencer.synth)
    {
        fluid_synth_system_reset(sequencer.synth.get());
    }
    const std::vector<MidiEvent>& events = device.piece.events;
    while (device.nextEvent < events.size() && events[device.nextEvent].frame < frame)
    {
        const MidiEvent& event = events[device.nextEvent++];
        if ((event.status & 0xF0) != 0x90 && (event.status & 0xF0) != 0x80)
        {
            Dispatch(event);
        }
    }
}

void RenderSynth(float* mix, int count)
{
    fluid_synth_t* synth = sequencer.synth.get();
    if (synth == nullptr || count <= 0)
    {
        return;
    }
    if (sequencer.left.size() < static_cast<std::size_t>(count))
    {
        sequencer.left.resize(count);
        sequencer.right.resize(count);
    }
    fluid_synth_write_float(synth, count, sequencer.left.data(), 0, 1, sequencer.right.data(), 0,
                            1);
    for (int i = 0; i < count; ++i)
    {
        mix[2 * i] += sequencer.left[i] * 32768.0f;
        mix[2 * i + 1] += sequencer.right[i] * 32768.0f;
    }
}

std::vector<std::string> SoundFontCandidates()
{
    std::vector<std::string> paths;
    const char* list = std::getenv("SDL_SOUNDFONTS");
    if (list != nullptr && list[0] != '\0')
    {
        // An explicit list is the whole choice, as other players treat it.
        std::string path;
        for (const char* p = list;; ++p)
        {
            if (*p == '\0' || *p == ':' || *p == ';')
            {
                if (!path.empty())
                {
                    paths.push_back(path);
                }
                path.clear();
                if (*p == '\0')
                {
                    break;
                }
                continue;
            }
            path += *p;
        }
        return paths;
    }
    char* configured = nullptr;
    if (sequencer.settings &&
        fluid_settings_dupstr(sequencer.settings.get(), "synth.default-soundfont", &configured) ==
            FLUID_OK &&
        configured != nullptr)
    {
        paths.push_back(configured);
    }
    fluid_free(configured);
    for (const char* path :
         {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
          "/usr/share/sounds/sf3/default-GM.sf3", "/usr/share/soundfonts/default.sf2",
          "/usr/share/soundfonts/FluidR3_GM.sf2"})
    {
        paths.push_back(path);
    }
    return paths;
}

// Makes the synthesiser with the first soundfont that loads; once per run.
void PrepareSynth()
{
    if (sequencer.soundFontSearched)
    {
        return;
    }
    sequencer.soundFontSearched = true;
    for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG})
    {
        fluid_set_log_function(level, nullptr, nullptr);
    }
    SettingsPtr settings(new_fluid_settings());
    if (!settings)
    {
        return;
    }
    fluid_settings_setnum(settings.get(), "synth.sample-rate", kMixRateHz);
    fluid_settings_setint(settings.get(), "synth.lock-memory", 0);
    fluid_settings_setint(settings.get(), "synth.threadsafe-api", 0);
    sequencer.settings = std::move(settings);
    SynthPtr synth;
    std::string loaded;
    for (const std::string& path : SoundFontCandidates())
    {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec))
        {
            continue;
        }
        if (!synth)
        {
            synth.reset(new_fluid_synth(sequencer.settings.get()));
            if (!synth)
            {
                return;
            }
        }
        if (fluid_synth_sfload(synth.get(), path.c_str(), 1) != FLUID_FAILED)
        {
            loaded = path;
            break;
        }
    }
    if (loaded.empty())
    {
        std::fprintf(stderr, "plonder: no General MIDI soundfont found; MIDI music is silent\n");
        return;
    }
    std::lock_guard<std::mutex> lock(MixerMutex());
    sequencer.synth = std::move(synth);
    sequencer.soundFont = loaded;
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, bool& found)
{
    std::error_code ec;
    found = std::filesystem::is_regular_file(path, ec);
    if (!found)
    {
        return false;
    }
    std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxMidiFileBytes)
    {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    bytes.resize(static_cast<std::size_t>(size));
    return in && in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
}

bool HasMidiExtension(const std::string& path)
{
    std::string lower = Lower(path);
    for (const char* extension : {".mid", ".midi", ".smf"})
    {
        std::size_t length = std::char_traits<char>::length(extension);
        if (lower.size() > length && lower.compare(lower.size() - length, length, extension) == 0)
        {
            return true;
        }
    }
    return false;
}

std::uint32_t Open(const std::vector<std::string>& words)
{
    if (words.size() < 2)
    {
        return kMciErrMissingParameter;
    }
    std::string path = words[1];
    std::string type;
    std::string alias = Lower(path);
    for (std::size_t i = 2; i < words.size(); i += 2)
    {
        std::string key = Lower(words[i]);
        if (i + 1 >= words.size())
        {
            return kMciErrMissingParameter;
        }
        if (key == "type")
        {
            type = Lower(words[i + 1]);
        }
        else if (key == "alias")
        {
            alias = Lower(words[i + 1]);
        }
        else
        {
            return kMciErrUnrecognizedKeyword;
        }
    }
    if (type.empty() ? !HasMidiExtension(path) : type != "sequencer")
    {
        return kMciErrUnsupportedDevice;
    }
    if (sequencer.device)
    {
        return kMciErrDeviceOpen;
    }
    if (!OpenAudioOutput())
    {
        return kMciErrHardware;
    }
    std::vector<std::uint8_t> bytes;
    bool found = false;
    if (!ReadFileBytes(FindFileIgnoringCase(path), bytes, found))
    {
        return found ? kMciErrInvalidFile : kMciErrFileNotFound;
    }
    auto device = std::make_unique<Device>();
    if (!ParseMidiFile(bytes.data(), bytes.size(), kMixRateHz, device->piece))
    {
        return kMciErrInvalidFile;
    }
    device->alias = alias;
    device->number = sequencer.nextNumber++;
    PrepareSynth();
    std::lock_guard<std::mutex> lock(MixerMutex());
    sequencer.device = std::move(device);
    MoveTo(*sequencer.device, 0);
    return 0;
}

std::uint32_t CopyReply(const std::string& text, char* reply, std::size_t replySize)
{
    if (reply == nullptr || replySize == 0)
    {
        return 0;
    }
    if (text.size() + 1 > replySize)
    {
        return kMciErrParamOverflow;
    }
    std::copy(text.begin(), text.end(), reply);
    reply[text.size()] = '\0';
    return 0;
}

std::uint64_t FramesFromMs(std::uint64_t ms)
{
    return ms * kMixRateHz / 1000;
}

std::uint64_t MsFromFrames(std::uint64_t frames)
{
    return frames * 1000 / kMixRateHz;
}

// A command on the open piece. Called with the mixer lock held.
std::uint32_t OnDevice(const std::string& verb, const std::vector<std::string>& words, bool notify,
                       WindowHandle callback, char* reply, std::size_t replySize)
{
    Device& device = *sequencer.device;
    std::size_t extra = words.size() - 2;
    if (verb == "play")
    {
        if (extra != 0)
        {
            return kMciErrUnrecognizedKeyword;
        }
        CutPending(device, kMciNotifySuperseded);
        device.playing = true;
        device.notifyPending = notify && callback != 0;
        device.notifyWindow = callback;
        return 0;
    }
    if (verb == "stop")
    {
        if (extra != 0)
        {
            return kMciErrUnrecognizedKeyword;
        }
        CutPending(device, kMciNotifyAborted);
        device.playing = false;
        NotesOff();
        return 0;
    }
    if (verb == "seek")
    {
        if (extra != 2 || Lower(words[2]) != "to")
        {
            return extra < 2 ? kMciErrMissingParameter : kMciErrUnrecognizedKeyword;
        }
        std::string where = Lower(words[3]);
        std::uint64_t frame = 0;
        if (where == "end")
        {
            frame = device.piece.endFrame;
        }
        else if (where != "start")
        {
            char* end = nullptr;
            unsigned long long ms = std::strtoull(where.c_str(), &end, 10);
            if (end == where.c_str() || *end != '\0' || where[0] == '-' ||
                ms > MsFromFrames(device.piece.endFrame))
            {
                return kMciErrOutOfRange;
            }
            frame = std::min(FramesFromMs(ms), device.piece.endFrame);
        }
        CutPending(device, kMciNotifyAborted);
        device.playing = false;
        NotesOff();
        MoveTo(device, frame);
        return 0;
    }
    if (verb == "close")
    {
        if (extra != 0)
        {
            return kMciErrUnrecognizedKeyword;
        }
        CutPending(device, kMciNotifyAborted);
        if (sequencer.synth)
        {
            fluid_synth_all_sounds_off(sequencer.synth.get(), -1);
        }
        sequencer.device.reset();
        return 0;
    }
    if (verb == "status")
    {
        if (extra != 1)
        {
            return kMciErrMissingParameter;
        }
        std::string item = Lower(words[2]);
        std::string text;
        if (item == "mode")
        {
            text = device.playing ? "playing" : "stopped";
        }
        else if (item == "position")
        {
            text = std::to_string(MsFromFrames(device.position));
        }
        else if (item == "length")
        {
            text = std::to_string(MsFromFrames(device.piece.endFrame));
        }
        else if (item == "ready")
        {
            text = "true";
        }
        else
        {
            return kMciErrUnrecognizedKeyword;
        }
        return CopyReply(text, reply, replySize);
    }
    return kMciErrUnrecognizedCommand;
}

} // namespace

std::uint32_t SendSequencerCommand(const char* command, char* reply, std::size_t replySize,
                                   WindowHandle callback)
{
    if (reply != nullptr && replySize > 0)
    {
        reply[0] = '\0';
    }
    std::vector<std::string> words = SplitCommand(command != nullptr ? command : "");
    bool notify = false;
    if (!words.empty() && Lower(words.back()) == "notify")
    {
        notify = true;
        words.pop_back();
    }
    if (words.empty())
    {
        return kMciErrUnrecognizedCommand;
    }
    std::string verb = Lower(words[0]);
    std::uint32_t result = 0;
    if (verb == "open")
    {
        result = Open(words);
    }
    else if (verb == "play" || verb == "stop" || verb == "seek" || verb == "close" ||
             verb == "status")
    {
        if (words.size() < 2)
        {
            return kMciErrMissingParameter;
        }
        std::lock_guard<std::mutex> lock(MixerMutex());
        if (!sequencer.device || sequencer.device->alias != Lower(words[1]))
        {
            return kMciErrInvalidDeviceName;
        }
        std::uint32_t number = sequencer.device->number;
        result = OnDevice(verb, words, notify, callback, reply, replySize);
        if (result == 0 && notify && callback != 0 && verb != "play")
        {
            sequencer.notices.push_back(Notice{callback, kMciNotifySuccessful, number});
        }
    }
    else
    {
        return kMciErrUnrecognizedCommand;
    }
    if (result == 0 && notify && callback != 0 && verb == "open")
    {
        std::lock_guard<std::mutex> lock(MixerMutex());
        sequencer.notices.push_back(
            Notice{callback, kMciNotifySuccessful, sequencer.device->number});
    }
    DeliverSequencerNotices();
    return result;
}

const char* SequencerSoundFont()
{
    return sequencer.soundFont.c_str();
}

void MixSequencer(float* mix, int count)
{
    if (!sequencer.device)
    {
        return;
    }
    Device& device = *sequencer.device;
    const std::vector<MidiEvent>& events = device.piece.events;
    int done = 0;
    while (done < count)
    {
        int chunk = count - done;
        if (device.playing)
        {
            while (device.nextEvent < events.size() &&
                   events[device.nextEvent].frame <= device.position)
            {
                Dispatch(events[device.nextEvent++]);
            }
            if (device.position >= device.piece.endFrame)
            {
                ReachEnd(device);
                continue;
            }
            std::uint64_t until = device.piece.endFrame;
            if (device.nextEvent < events.size())
            {
                until = std::min(until, events[device.nextEvent].frame);
            }
            chunk = static_cast<int>(std::min<std::uint64_t>(chunk, until - device.position));
        }
        RenderSynth(mix + 2 * done, chunk);
        if (device.playing)
        {
            device.position += static_cast<std::uint64_t>(chunk);
        }
        done += chunk;
    }
}

void SkipSequencer(std::uint64_t count)
{
    if (!sequencer.device || !sequencer.device->playing)
    {
        return;
    }
    Device& device = *sequencer.device;
    std::uint64_t frame = device.position + count;
    NotesOff();
    if (frame >= device.piece.endFrame)
    {
        MoveTo(device, device.piece.endFrame);
        device.nextEvent = device.piece.events.size();
        ReachEnd(device);
    }
    else
    {
        MoveTo(device, frame);
    }
}

void DeliverSequencerNotices()
{
    std::vector<Notice> notices;
    {
        std::lock_guard<std::mutex> lock(MixerMutex());
        if (sequencer.notices.empty())
        {
            return;
        }
        notices.swap(sequencer.notices);
    }
    for (const Notice& notice : notices)
    {
        PostMessage(notice.window, kMmMciNotify, notice.code,
                    static_cast<std::intptr_t>(notice.device));
    }
}

void ShutdownSequencer()
{
    SynthPtr synth;
    SettingsPtr settings;
    {
        std::lock_guard<std::mutex> lock(MixerMutex());
        sequencer.device.reset();
        sequencer.notices.clear();
        synth = std::move(sequencer.synth);
        settings = std::move(sequencer.settings);
    }
    // The synthesiser goes before its settings.
    synth.reset();
}

} // namespace platform
