// Speed of the software mixer: one second of 44.1 kHz stereo output with 32 looping 16-bit
// stereo buffers at different frequencies, volumes and pans.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/bench_support.h"
#include "platform/sound.h"

namespace
{

constexpr int kBuffers = 32;

// The headless backend and a sound device, once for the whole program.
void StartSound()
{
    static bool started = false;
    if (started)
    {
        return;
    }
    started = true;
    bench_support::StartHeadless();
    if (platform::CreateSoundDevice() != platform::SoundResult::Ok)
    {
        std::fprintf(stderr, "the headless sound device cannot be made\n");
        std::exit(1);
    }
}

// A second of a stereo tone at 22050 Hz, looping, with its own frequency, volume and pan.
void PlayBuffers(int count)
{
    static bool playing = false;
    if (playing)
    {
        return;
    }
    playing = true;
    platform::WaveFormat format;
    format.formatTag = platform::kWaveFormatPcm;
    format.channels = 2;
    format.samplesPerSec = 22050;
    format.bitsPerSample = 16;
    format.blockAlign = 4;
    format.avgBytesPerSec = 22050 * 4;
    std::vector<std::int16_t> samples(22050 * 2);
    for (int i = 0; i < count; ++i)
    {
        for (std::size_t f = 0; f < 22050; ++f)
        {
            double phase = 2 * M_PI * (220 + 20 * i) * static_cast<double>(f) / 22050;
            samples[2 * f] = static_cast<std::int16_t>(2000 * std::sin(phase));
            samples[2 * f + 1] = static_cast<std::int16_t>(2000 * std::cos(phase));
        }
        platform::SoundBufferId buffer = 0;
        std::uint32_t bytes = static_cast<std::uint32_t>(samples.size() * 2);
        platform::CreateSoundBuffer(format, bytes, buffer);
        void* part1 = nullptr;
        std::uint32_t bytes1 = 0;
        platform::LockSoundBuffer(buffer, 0, bytes, &part1, &bytes1, nullptr, nullptr);
        std::memcpy(part1, samples.data(), bytes1);
        platform::UnlockSoundBuffer(buffer);
        platform::SetSoundBufferFrequency(buffer, 11025 + 1000 * static_cast<std::uint32_t>(i));
        platform::SetSoundBufferVolume(buffer, -50 * i);
        platform::SetSoundBufferPan(buffer, (i % 2 == 0 ? 1 : -1) * 150 * i);
        platform::PlaySoundBuffer(buffer, true);
    }
}

// Time per iteration is the work of mixing one second of sound.
void MixOneSecond(benchmark::State& state)
{
    StartSound();
    PlayBuffers(kBuffers);
    std::vector<std::int16_t> out(platform::kMixRateHz * 2);
    for (auto _ : state)
    {
        platform::MixAudio(out.data(), platform::kMixRateHz);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["buffers"] = kBuffers;
}
BENCHMARK(MixOneSecond)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
