// Recorded play: what the program receives from a real window, written as an input script
// that the headless backend replays frame for frame. The script's key names live here too,
// shared by the recorder and the script reader.
#pragma once

#include <cstdint>
#include <string>

namespace platform
{

// The virtual-key code a script names ("Up", "F1", "A", "7"), case-insensitive; -1 when
// the name is unknown.
int KeyCodeFromName(const std::string& name);
// The script's name of a virtual-key code; empty for a code no name stands for.
std::string KeyNameFromCode(int virtualKey);

// Starts writing the record to path: a header with the start time (UTC, so the replay's
// calendar seeds match) and the start's part second as a wait on frame 0. False with a
// reason when the file cannot be written.
bool StartRecording(const std::string& path, std::string& error);
// Ends the record, flushing it.
void StopRecording();
bool Recording();

// Backends call these as input arrives; they do nothing when no record is being written.
// A window message of input (keys, mouse, buttons, activation, moves, close), stamped with
// the frame about to start.
void RecordInput(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam);
// A frame is about to start: the cursor and joysticks as they stand, and a wait for time
// the frames so far took beyond their refreshes. Then the frame counts as started.
void RecordFrameStart();
// The clock model the replay will follow: one refresh per vertical-blank wait, and a wait
// until past a deadline.
void RecordRefreshWait();
void RecordWaitPast(std::uint32_t deadlineMs, std::uint32_t nowMs);

// The start time a record names in its header ("# time YYYY-MM-DDTHH:MM:SS"); empty when
// the text has none.
std::string RecordedStartTime(const std::string& script);

} // namespace platform
