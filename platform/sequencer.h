// The MIDI sequencer (the MCI stand-in): command strings that open, play, stop and close a
// standard MIDI file, synthesised with FluidSynth into the platform's mixer, and the
// end-of-play notification posted to a window.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace platform
{

// wParam of kMmMciNotify; lParam is the device's number.
constexpr std::uintptr_t kMciNotifySuccessful = 1; // the command finished (a play: the end)
constexpr std::uintptr_t kMciNotifySuperseded = 2; // a later command asked for notification
constexpr std::uintptr_t kMciNotifyAborted = 4;    // a stop, seek or close cut the command

// Results of SendSequencerCommand; 0 is success.
constexpr std::uint32_t kMciErrUnrecognizedKeyword = 259;
constexpr std::uint32_t kMciErrUnrecognizedCommand = 261;
constexpr std::uint32_t kMciErrHardware = 262;          // no audio output
constexpr std::uint32_t kMciErrInvalidDeviceName = 263; // no device open under that alias
constexpr std::uint32_t kMciErrParamOverflow = 258;     // the reply does not fit
constexpr std::uint32_t kMciErrFileNotFound = 275;
constexpr std::uint32_t kMciErrUnsupportedDevice = 274; // a device type other than sequencer
constexpr std::uint32_t kMciErrOutOfRange = 282;
constexpr std::uint32_t kMciErrDeviceOpen = 289;  // the alias is taken, or a piece is open
constexpr std::uint32_t kMciErrInvalidFile = 296; // not a standard MIDI file of format 0 or 1
constexpr std::uint32_t kMciErrMissingParameter = 273;

// Stands in for mciSendStringA(). Words are separated by spaces; double quotes keep a path
// with spaces together; case does not matter. The commands understood:
//   open "PATH" [type sequencer] [alias NAME]   one piece at a time; the alias defaults to PATH
//   play NAME [notify]      plays from the position to the end; notify: kMmMciNotify to
//                           callback when the end is reached
//   seek NAME to start|end|MS   stops, then moves (milliseconds)
//   stop NAME               stops where it is
//   close NAME              closes the piece
//   status NAME mode|position|length|ready   mode is "playing" or "stopped"; times in ms
// Any command may end with "notify": it then notifies at once when it succeeds, except play.
// The reply (at most replySize bytes with the terminating zero) is emptied first. Returns 0,
// or an error number when nothing was done.
std::uint32_t SendSequencerCommand(const char* command, char* reply, std::size_t replySize,
                                   WindowHandle callback);

// The soundfont the sequencer found, or "" when music is silent. Looked for on the first open:
// the paths in SDL_SOUNDFONTS (separated by ':' or ';') when it is set, otherwise the system's
// default General MIDI soundfont.
const char* SequencerSoundFont();

} // namespace platform
