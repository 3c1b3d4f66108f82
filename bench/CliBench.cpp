// Whole-process timings of tonewell-cli beside sox doing the same work, in one run:
// 60 s of 96000 Hz stereo 16-bit sine, reading a 500-second 96000 Hz stereo record, and
// measuring a 60-second 96000 Hz stereo record made by sox (sox's stat the yardstick). Beside
// the wall time, cpu_ms is the processes' own time, steadier on a busy machine.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>

namespace {

const std::string kCli = std::string(TONEWELL_BINARY_DIR) + "/tonewell-cli";

std::filesystem::path scratch() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / "tonewell-cli-bench";
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

void runOrSkip(benchmark::State& state, const std::string& command) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) state.SkipWithError(("failed: " + command).c_str());
}

// The 500-second record, made once by the program itself.
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

// The 60-second stereo record at 96000 Hz: a 1 kHz sine with sox's dither, made once.
const std::string& minuteRecord() {
    static const std::string path = [] {
        std::string file = (scratch() / "sox60-measure.wav").string();
        if (!std::filesystem::exists(file))
            std::system(("sox -n -r 96000 -c 2 -b 16 " + file + " synth 60 sine 1000 gain -3 >/dev/null 2>&1").c_str());
        return file;
    }();
    return path;
}

double childCpuMilliseconds() {
    struct rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Runs the command on every iteration and reports its processes' CPU time per run.
void runTimed(benchmark::State& state, const std::string& command) {
    const double before = childCpuMilliseconds();
    for (auto _ : state) runOrSkip(state, command);
    state.counters["cpu_ms"] = (childCpuMilliseconds() - before) / static_cast<double>(state.iterations());
}

void BM_CliGenerate60s(benchmark::State& state) {
    std::string out = (scratch() / "cli60.wav").string();
    for (auto _ : state)
        runOrSkip(state, kCli + " generate --output " + out +
                             " --duration 60 --set sampleRateIndex=4 --set channelsIndex=1 --set waveformIndexB=Sine");
}

void BM_SoxSynth60s(benchmark::State& state) {
    std::string out = (scratch() / "sox60.wav").string();
    for (auto _ : state) runOrSkip(state, "sox -n -r 96000 -c 2 -b 16 " + out + " synth 60 sine 1000");
}

void BM_CliInfo500s(benchmark::State& state) {
    const std::string& file = longRecord();
    for (auto _ : state) runOrSkip(state, kCli + " info " + file);
}

void BM_SoxStat500s(benchmark::State& state) {
    const std::string& file = longRecord();
    for (auto _ : state) runOrSkip(state, "sox " + file + " -n stat");
}

void BM_CliMeasure60s(benchmark::State& state) { runTimed(state, kCli + " measure " + minuteRecord()); }

void BM_SoxStat60s(benchmark::State& state) { runTimed(state, "sox " + minuteRecord() + " -n stat"); }

BENCHMARK(BM_CliGenerate60s)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_SoxSynth60s)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_CliInfo500s)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_SoxStat500s)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_CliMeasure60s)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_SoxStat60s)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace
