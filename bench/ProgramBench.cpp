// Whole-process timings of the program with its window (offscreen, splash skipped, loopback
// cable): from process start to the first paint of the oscilloscope pane, without a file and with
// a 500-second 96000 Hz stereo record named on the command line (the difference is the time to
// open and draw it). Each run ends at its first paint, so the figure includes the exit.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

const std::string kProgram = std::string(TONEWELL_BINARY_DIR) + "/tonewell";
const std::string kCli = std::string(TONEWELL_BINARY_DIR) + "/tonewell-cli";

std::filesystem::path scratch() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / "tonewell-program-bench";
        std::filesystem::create_directories(path / "home");
        return path;
    }();
    return folder;
}

// The 500-second record, made once by the headless tool.
const std::string& longRecord() {
    static const std::string path = [] {
        std::string file = (scratch() / "long.wav").string();
        if (!std::filesystem::exists(file))
            std::system((kCli + " generate --output " + file +
                         " --duration 500 --set sampleRateIndex=4 --set channelsIndex=1 --set waveformIndexB=Sine"
                         " >/dev/null 2>&1").c_str());
        return file;
    }();
    return path;
}

void timeProgram(benchmark::State& state, const std::string& arguments) {
    if (!std::filesystem::exists(kProgram)) {
        state.SkipWithError("the program was not built (TONEWELL_GUI=OFF)");
        return;
    }
    const std::string folder = scratch().string();
    const std::string command = "QT_QPA_PLATFORM=offscreen TONEWELL_AUDIO=loopback TONEWELL_SKIP_SPLASH=1 "
                                "TONEWELL_QUIT_AFTER_PAINT=1 TONEWELL_HOME='" + folder + "/home' XDG_CONFIG_HOME='" +
                                folder + "/config' " + kProgram + " " + arguments + " >/dev/null 2>&1";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        const auto end = std::chrono::steady_clock::now();
        if (status != 0) {
            state.SkipWithError("the program failed");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}

void BM_ProgramToFirstPaint(benchmark::State& state) { timeProgram(state, ""); }
BENCHMARK(BM_ProgramToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ProgramToFirstPaintWith500sRecord(benchmark::State& state) {
    const std::string& file = longRecord();
    if (!std::filesystem::exists(file)) {
        state.SkipWithError("could not make the record");
        return;
    }
    timeProgram(state, "'" + file + "'");
}
BENCHMARK(BM_ProgramToFirstPaintWith500sRecord)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
