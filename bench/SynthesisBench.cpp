// One second of 96000 Hz stereo 16-bit output per iteration, for each waveform and for a
// 32-tone set on both channels, beside sox writing the same second of sine to a file.

#include "generator/GeneratorTables.h"
#include "generator/Synthesizer.h"
#include "platform/RecordingShell.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace tonewell;

struct Rig {
    GeneratorSettings settings;
    ToneLists tones;
    WaveformLibrary library;
    OutputCalibration calibration;
    SystemSeedClock clock;
    RecordingShell shell;
    Synthesizer synth{settings, tones, library, calibration, clock, shell};
    std::vector<std::uint8_t> buffer;

    explicit Rig(int waveform) {
        settings.sampleRateIndex = 4;
        settings.resolutionIndex = 1;
        settings.channelsIndex = 1;
        settings.waveformIndexA = waveform;
        settings.waveformIndexB = waveform;
        settings.frequencyB = 1000;
        if (waveform == kWaveformMultiTones) {
            for (int channel = 0; channel < 2; ++channel)
                for (std::uint32_t t = 0; t < kMaxTones; ++t)
                    tones[channel].append(kWaveformSine, 100 * (t + 1) + 7 * channel, 1.0f / (t + 1));
        }
        if (waveform == kWaveformLibrary) {
            library.pointCount = 1024;
            for (int j = 0; j < 1024; ++j) {
                library.pointsA[j] = static_cast<float>(std::sin(j * 6.283185307179586 / 1024));
                library.pointsB[j] = static_cast<float>(j % 256);
            }
        }
        synth.startRun();
        buffer.resize(OutputFormatFor(settings).averageBytesPerSecond);
    }
};

void BM_SynthesizeOneSecond(benchmark::State& state) {
    Rig rig(static_cast<int>(state.range(0)));
    state.SetLabel(std::string(WaveformName(static_cast<int>(state.range(0)))));
    for (auto _ : state) {
        bool written = rig.synth.Synthesize(rig.buffer);
        rig.synth.countBuffer();
        benchmark::DoNotOptimize(written);
        benchmark::DoNotOptimize(rig.buffer.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SynthesizeOneSecond)->DenseRange(0, 8)->Unit(benchmark::kMillisecond);

void BM_SweepOneSecond(benchmark::State& state) {
    Rig rig(kWaveformSine);
    rig.settings.sweepEnabled = true;
    rig.settings.sweepLinearA = rig.settings.sweepLinearB = state.range(0) != 0;
    rig.settings.sweepStartA = rig.settings.sweepStartB = 20;
    rig.settings.sweepEndA = rig.settings.sweepEndB = 20000;
    rig.settings.sweepDuration = 1000000;
    state.SetLabel(state.range(0) != 0 ? "linear sweep" : "logarithmic sweep");
    for (auto _ : state) {
        rig.synth.Synthesize(rig.buffer);
        rig.synth.countBuffer();
        benchmark::DoNotOptimize(rig.buffer.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SweepOneSecond)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The same second of sine written by sox, process start included.
void BM_SoxOneSecondSine(benchmark::State& state) {
    auto file = std::filesystem::temp_directory_path() / ("tonewell-bench-" + std::to_string(getpid()) + ".wav");
    const std::string command = "sox -n -r 96000 -c 2 -b 16 '" + file.string() + "' synth 1 sine 1000";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("sox did not run");
            break;
        }
    }
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}
BENCHMARK(BM_SoxOneSecondSine)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
