// Export of 60 seconds of 96000 Hz stereo 16-bit sine as WAV and as text, beside sox writing
// the same 60 seconds of sine to a WAV file.

#include "generator/GeneratorExport.h"
#include "generator/GeneratorTables.h"
#include "platform/RecordingShell.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace tonewell;

constexpr std::uint32_t kSeconds = 60;
constexpr double kFramesPerSecond = 96000;

std::filesystem::path BenchFile(const char* extension) {
    return std::filesystem::temp_directory_path() /
           ("tonewell-export-bench-" + std::to_string(getpid()) + extension);
}

void ExportSine(benchmark::State& state, ExportFileType type) {
    GeneratorSettings settings;
    settings.sampleRateIndex = 4;
    settings.resolutionIndex = 1;
    settings.channelsIndex = 1;
    settings.waveformIndexB = kWaveformSine;
    ToneLists tones;
    WaveformLibrary library;
    OutputCalibration calibration;
    SystemSeedClock clock;
    RecordingShell shell;
    GeneratorSources sources{settings, tones, library, calibration, clock, shell};
    const auto path = BenchFile(type == ExportFileType::Wave ? ".wav" : ".txt");
    for (auto _ : state) {
        if (ExportGeneratedSignal(sources, path, type, kSeconds) != ExportOutcome::Written) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    std::error_code error;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path, error)) / 1e6;
    state.counters["lines/s"] =
        benchmark::Counter(kSeconds * kFramesPerSecond, benchmark::Counter::kIsIterationInvariantRate);
    std::filesystem::remove(path, error);
}

void BM_ExportWave60s(benchmark::State& state) { ExportSine(state, ExportFileType::Wave); }
void BM_ExportText60s(benchmark::State& state) { ExportSine(state, ExportFileType::Text); }
BENCHMARK(BM_ExportWave60s)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ExportText60s)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_Sox60sSine(benchmark::State& state) {
    const auto path = BenchFile("-sox.wav");
    const std::string command = "sox -n -r 96000 -c 2 -b 16 '" + path.string() + "' synth 60 sine 1000";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("sox did not run");
            break;
        }
    }
    std::error_code error;
    std::filesystem::remove(path, error);
}
BENCHMARK(BM_Sox60sSine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
