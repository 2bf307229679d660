// SDL2 audio out: an SDL audio device whose callback pulls mixed frames; the mixing is in
// platform/mixer.cpp.
//   [X] default output device, 44.1 kHz stereo 16-bit (SDL converts for the hardware), two
//       512-frame periods (about 23 ms) of latency
//   [ ] no device: Open fails; SDL's dummy and disk drivers are used only when asked for by
//       SDL_AUDIODRIVER, so a machine without sound never looks as if it had some
#include <SDL.h>

#include "platform/backend.h"
#include "platform/sdl/sdl_internal.h"

namespace platform::sdl
{
namespace
{

constexpr int kPeriodFrames = 512;

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
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        {
            error = std::string("no audio: ") + SDL_GetError();
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
