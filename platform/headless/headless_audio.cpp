// Headless audio out: mixes as the virtual clock moves and keeps the frames in memory for
// tests; the mixing itself is in platform/mixer.cpp.
//   [X] output that opens unless the soundDevice switch is off, frames rendered exactly up to
//       the clock, no latency
//   [ ] frames older than about a minute and a half: dropped, so a long run stays small
#include <algorithm>

#include "platform/backend.h"
#include "platform/headless/control.h"
#include "platform/headless/headless_internal.h"
#include "platform/sound_internal.h"

namespace platform::headless
{
namespace
{

// Clock units (1/60000 s) to output frames: 44100 / 60000 = 147 / 200.
constexpr std::uint64_t kFramesPerUnitNumerator = 147;
constexpr std::uint64_t kFramesPerUnitDenominator = 200;
static_assert(kAudioRateHz * kFramesPerUnitDenominator == 60000 * kFramesPerUnitNumerator);
// Frames kept before the older half is dropped.
constexpr std::size_t kKeptFramesLimit = std::size_t{1} << 22;
constexpr int kRenderBlockFrames = 4096;
// A longer jump of the clock is mixed for this long and passes in silence after that.
constexpr std::uint64_t kLongestMixedJump = 60 * kAudioRateHz;

struct AudioState
{
    bool open = false;                 // the output is pulling
    std::uint64_t renderedUpTo = 0;    // frames since the backend started, rendered or silent
    std::uint64_t firstKeptFrame = 0;  // frame number of samples[0]
    std::vector<std::int16_t> samples; // kept frames, interleaved left, right
};

AudioState audio;

class HeadlessAudioOut final : public platform::AudioOut
{
  public:
    bool Open(int rateHz, std::string& error) override
    {
        if (!Config().soundDevice)
        {
            error = "the headless sound device is switched off";
            return false;
        }
        if (rateHz != kAudioRateHz)
        {
            error = "the headless output runs at 44100 Hz only";
            return false;
        }
        audio.open = true;
        return true;
    }
    void Close() override
    {
        audio.open = false;
    }
    int LatencyFrames() override
    {
        return 0;
    }
};

void DropOldFrames()
{
    std::size_t frames = audio.samples.size() / 2;
    if (frames <= kKeptFramesLimit)
    {
        return;
    }
    std::size_t drop = frames - kKeptFramesLimit / 2;
    audio.samples.erase(audio.samples.begin(),
                        audio.samples.begin() + static_cast<std::ptrdiff_t>(drop * 2));
    audio.firstKeptFrame += drop;
}

} // namespace

std::unique_ptr<platform::AudioOut> MakeAudioOut()
{
    audio = AudioState{};
    return std::make_unique<HeadlessAudioOut>();
}

void RenderAudioUpTo(std::uint64_t elapsedUnits)
{
    std::uint64_t target = elapsedUnits * kFramesPerUnitNumerator / kFramesPerUnitDenominator;
    if (!audio.open && audio.samples.empty())
    {
        // Nothing is kept until the output first opens.
        audio.renderedUpTo = std::max(audio.renderedUpTo, target);
        audio.firstKeptFrame = audio.renderedUpTo;
        return;
    }
    std::uint64_t mixedUpTo = target;
    if (target > audio.renderedUpTo && target - audio.renderedUpTo > kLongestMixedJump)
    {
        mixedUpTo = audio.renderedUpTo + kLongestMixedJump;
    }
    while (audio.renderedUpTo < mixedUpTo)
    {
        int count = static_cast<int>(
            std::min<std::uint64_t>(mixedUpTo - audio.renderedUpTo, kRenderBlockFrames));
        std::size_t at = audio.samples.size();
        // A closed output is silent.
        audio.samples.resize(at + static_cast<std::size_t>(count) * 2);
        if (audio.open)
        {
            MixAudio(audio.samples.data() + at, count);
        }
        audio.renderedUpTo += static_cast<std::uint64_t>(count);
        DropOldFrames();
    }
    if (mixedUpTo < target)
    {
        // Hours of a virtual clock are not worth mixing: time passes for what plays, and the
        // record starts again after the jump.
        if (audio.open)
        {
            SkipAudio(target - mixedUpTo);
        }
        audio.samples.clear();
        audio.firstKeptFrame = target;
        audio.renderedUpTo = target;
    }
}

const std::vector<std::int16_t>& RenderedAudio()
{
    return audio.samples;
}

std::uint64_t RenderedAudioFirstFrame()
{
    return audio.firstKeptFrame;
}

std::uint64_t AudioFramesRendered()
{
    return audio.renderedUpTo;
}

} // namespace platform::headless
