// Opening a long record: a 500-second stereo 16-bit 96000 Hz WAV file (192 MB, made once in the
// temporary folder) opened by the document, which also computes its statistics, against reading
// the same bytes into fresh memory with a bare fread, and against sox stat of the file, in the
// same iteration; and the statistics alone. Targets: open_per_fread at most 1.5, open_per_sox_stat
// at most 0.3 (the label says when a run misses them).

#include "acquisition/SignalDoc.h"
#include "acquisition/WaveDocumentWriter.h"
#include "platform/RecordingShell.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace tonewell {
namespace {

constexpr std::uint32_t kRate = 96000;
constexpr std::uint32_t kFrames = 500 * kRate;

// The record: a sine on A and a slower triangle with an offset on B.
SignalRecord makeRecord() {
    SignalRecord r;
    r.samplingType = kSamplingTypeAB;
    r.riffHeader.format = MakePcmFormat(2, kRate, 16);
    const IntervalNumber interval = NormaliseInterval(kRate);
    r.intervalMantissa = interval.mantissa;
    r.intervalExponent = interval.exponent;
    r.resolutionA = r.resolutionB = 16;
    r.rangeMaxA = r.rangeMaxB = 1000;
    r.rangeMinA = r.rangeMinB = -1000;
    r.rangeExponentA = r.rangeExponentB = 9;
    r.zeroA = r.zeroB = 32768;
    r.sampleCount = kFrames;
    r.dataA.resize(kFrames);
    r.dataB.resize(kFrames);
    for (std::uint32_t i = 0; i < kFrames; ++i) {
        r.dataA[i] = static_cast<std::uint16_t>(32768 + 20000 * std::sin(i * 0.0287));
        const int phase = static_cast<int>(i % 960);
        r.dataB[i] = static_cast<std::uint16_t>(36000 + (phase < 480 ? phase : 960 - phase) * 40);
    }
    return r;
}

// The file, made on first use and removed when the program ends.
struct BenchFile {
    BenchFile()
        : path(std::filesystem::temp_directory_path() /
               ("tonewell-bench-" + std::to_string(getpid()) + "-500s-stereo16-96000.wav")) {
        const SignalRecord record = makeRecord();
        std::FILE* f = std::fopen(path.c_str(), "wb");
        WriteWaveDocument(record, [f](const void* data, std::size_t size) {
            return f != nullptr && std::fwrite(data, 1, size, f) == size;
        });
        if (f != nullptr) std::fclose(f);
    }
    ~BenchFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    std::filesystem::path path;
};

const std::filesystem::path& benchFile() {
    static const BenchFile file;
    return file.path;
}

struct Seconds {
    double wall = 0.0;
    double cpu = 0.0;  // this thread's, or the children's for a command
    Seconds& operator+=(const Seconds& o) {
        wall += o.wall;
        cpu += o.cpu;
        return *this;
    }
};

double threadCpu() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double childrenCpu() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Times f on this thread.
template <class F>
Seconds timed(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = threadCpu();
    f();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), threadCpu() - cpuStart};
}

// The bare read: size bytes of uninitialised memory, filled from the file with fread.
std::unique_ptr<char[]> readWithFread(const std::filesystem::path& path, std::size_t size) {
    std::unique_ptr<char[]> buffer(new char[size]);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::size_t total = 0;
    if (f != nullptr) {
        std::size_t n;
        while (total < size && (n = std::fread(buffer.get() + total, 1, size - total, f)) > 0) total += n;
        std::fclose(f);
    }
    benchmark::DoNotOptimize(total);
    return buffer;
}

// sox stat of the file as a whole process; false when sox did not run.
bool soxStat(const std::filesystem::path& path, Seconds& seconds) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = childrenCpu();
    const bool ran = std::system(("sox '" + path.string() + "' -n stat >/dev/null 2>&1").c_str()) == 0;
    seconds += {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), childrenCpu() - cpuStart};
    return ran;
}

// Per iteration: the bare fread (the memory has to be had, as the document's arrays have to be;
// it is given back untimed), the document's open with statistics (which gives back the previous
// record's arrays, as replacing a record does), then sox stat. Ratios of wall and of CPU time.
void BM_OpenLongRecordVersusFread(benchmark::State& state) {
    const auto& path = benchFile();
    const std::size_t size = std::filesystem::file_size(path);
    RecordingShell shell;
    InstrumentConfiguration configuration;
    std::atomic<bool> inputRunning{false};
    auto document = std::make_unique<CSignalDoc>(shell, configuration, inputRunning, FreshDocumentSelection{});
    Seconds fread, open, sox;
    bool soxRan = true;
    for (auto _ : state) {
        std::unique_ptr<char[]> bytes;
        fread += timed([&] { bytes = readWithFread(path, size); });
        bytes.reset();
        bool opened = false;
        const Seconds once = timed([&] { opened = document->OnOpenDocument(path, kScopeTypeSeparate); });
        if (!opened || document->sampleCount != kFrames) state.SkipWithError("the record did not open");
        open += once;
        state.SetIterationTime(once.wall);
        soxRan = soxStat(path, sox) && soxRan;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["open_ms"] = open.wall / n * 1e3;
    state.counters["fread_ms"] = fread.wall / n * 1e3;
    state.counters["open_per_fread"] = open.wall / fread.wall;
    state.counters["open_per_fread_cpu"] = open.cpu / fread.cpu;
    std::string label = open.wall > 1.5 * fread.wall ? "open over 1.5x fread" : "";
    if (soxRan) {
        state.counters["sox_stat_ms"] = sox.wall / n * 1e3;
        state.counters["open_per_sox_stat"] = open.wall / sox.wall;
        state.counters["open_per_sox_stat_cpu"] = open.cpu / sox.cpu;
        if (open.wall > 0.3 * sox.wall) label += label.empty() ? "open over 0.3x sox stat" : ", over 0.3x sox stat";
    }
    state.SetLabel(label);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_OpenLongRecordVersusFread)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ComputeStatisticsLongRecord(benchmark::State& state) {
    static SignalRecord record = makeRecord();
    DcOffsets offsets;
    const int scopeType = static_cast<int>(state.range(0));
    for (auto _ : state) {
        ComputeStatistics(record, scopeType, offsets);
        benchmark::DoNotOptimize(record.rmsA);
    }
    state.counters["frames"] = kFrames;
}
BENCHMARK(BM_ComputeStatisticsLongRecord)->Arg(kScopeTypeSeparate)->Arg(kScopeTypeSum)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonewell
