// SDL2 audio out: an SDL audio device whose callback pulls mixed frames; the mixing is in
// platform/mixer.cpp.
//   [X] default output device, 44.1 kHz stereo 16-bit (SDL converts for the hardware), two
//       512-frame periods (about 23 ms) of latency
//   [ ] no device: Open fails; SDL's dummy and disk drivers are used only when asked for by
//       SDL_AUDIODRIVER, so a machine without sound never looks as if it had some. The
//       libraries' own complaints are kept off the terminal; one line says sound is off.
#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>

#include "platform/backend.h"
#include "platform/sdl/sdl_internal.h"

namespace platform::sdl
{
namespace
{

constexpr int kPeriodFrames = 512;

struct AudioState
{
    bool toldNoDevice = false; // the no-sound line has been printed
};

AudioState audioState;

// ALSA's error callback and its setter (alsa/error.h), declared here: the library is reached
// at run time, as SDL reaches it, so the build needs no ALSA headers.
using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
using AlsaSetErrorHandler = int (*)(AlsaErrorHandler);

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...)
{
}

// On a machine without a sound card ALSA prints a dozen lines of configuration errors while
// SDL looks for a device, which read like a crash. For as long as it lives, ALSA's error
// handler drops them; the failure still reaches SDL and Open reports it in one line.
class QuietAlsa
{
  public:
    QuietAlsa()
    {
        library = dlopen("libasound.so.2", RTLD_LAZY);
        if (library != nullptr)
        {
            setHandler = reinterpret_cast<AlsaSetErrorHandler>(
                dlsym(library, "snd_lib_error_set_handler"));
        }
        if (setHandler != nullptr)
        {
            setHandler(IgnoreAlsaError);
        }
    }
    ~QuietAlsa()
    {
        if (setHandler != nullptr)
        {
            setHandler(nullptr); // ALSA's default handler again
        }
        if (library != nullptr)
        {
            dlclose(library);
        }
    }
    QuietAlsa(const QuietAlsa&) = delete;
    QuietAlsa& operator=(const QuietAlsa&) = delete;

  private:
    void* library = nullptr;
    AlsaSetErrorHandler setHandler = nullptr;
};

// Says once, on stderr, that the program runs without sound.
void TellNoDevice()
{
    if (audioState.toldNoDevice)
    {
        return;
    }
    audioState.toldNoDevice = true;
    std::string name = ProgramFilePath();
    name = name.substr(name.find_last_of(kPathSeparator) + 1);
    std::fprintf(stderr, "%s: no sound device can be opened; music and sounds are off\n",
                 name.empty() ? "plonder" : name.c_str());
}

void PullFrames(void*, Uint8* stream, int length)
{
    MixAudio(reinterpret_cast<std::int16_t*>(stream),
             length / static_cast<int>(2 * sizeof(std::int16_t)));
}

class SdlAudioOut final : public platform::AudioOut
{
  public:
    ~SdlAudioOut() override
    {
        Close();
    }
    bool Open(int rateHz, std::string& error) override
    {
        QuietAlsa quiet;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        {
            error = std::string("no audio: ") + SDL_GetError();
            TellNoDevice();
            return false;
        }
        SDL_AudioSpec want{};
        want.freq = rateHz;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = kPeriodFrames;
        want.callback = PullFrames;
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to whatever the hardware takes.
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device == 0)
        {
            error = std::string("no audio output: ") + SDL_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            TellNoDevice();
            return false;
        }
        latencyFrames = 2 * have.samples;
        SDL_PauseAudioDevice(device, 0);
        return true;
    }
    void Close() override
    {
        if (device != 0)
        {
            SDL_CloseAudioDevice(device);
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            device = 0;
        }
    }
    int LatencyFrames() override
    {
        return latencyFrames;
    }

  private:
    SDL_AudioDeviceID device = 0;
    int latencyFrames = 0;
};

} // namespace

std::unique_ptr<platform::AudioOut> MakeAudioOut()
{
    return std::make_unique<SdlAudioOut>();
}

} // namespace platform::sdl
