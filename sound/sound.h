// voSound: sound objects, playback and MIDI music.
#pragma once

namespace voSound
{
// Creates the sound device and empties the sound table.
int Init();
// Releases every sound object and the device.
void Release();
// No piece open, looping on.
int InitMidi();
// End of the piece: restart when looping, else close.
void OnMidiEnd();
} // namespace voSound
