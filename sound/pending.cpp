// Sound operations the shell calls before the sound side exists: they do nothing yet.
#include "sound/sound.h"

namespace voSound
{
int Init()
{
    return 0;
}
void Release()
{
}
int InitMidi()
{
    return 1;
}
void OnMidiEnd()
{
}
} // namespace voSound
