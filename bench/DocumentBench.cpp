// Opening a long record: a 500-second stereo 16-bit 96000 Hz WAV file (192 MB, made once in the
// temporary folder) opened by the document, which also computes its statistics, against reading
// the same file into memory with fread in the same iteration; and the statistics alone.

#include "acquisition/SignalDoc.h"
#include "acquisition/WaveDocumentWriter.h"
#include "platform/RecordingShell.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

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

// Reads the whole file with fread into buffer (allocated here when empty); seconds taken.
double readWithFread(const std::filesystem::path& path, std::vector<char>& buffer, std::size_t size) {
    const auto start = std::chrono::steady_clock::now();
    if (buffer.empty()) buffer = std::vector<char>(size);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::size_t total = 0;
    if (f != nullptr) {
        std::size_t n;
        while ((n = std::fread(buffer.data() + total, 1, buffer.size() - total, f)) > 0) total += n;
        std::fclose(f);
    }
    benchmark::DoNotOptimize(total);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Per iteration: fread into a fresh buffer (the memory has to be had, as the document's arrays
// have to be), fread into a buffer already in memory, then the document's open with statistics.
void BM_OpenLongRecordVersusFread(benchmark::State& state) {
    const auto& path = benchFile();
    const std::size_t size = std::filesystem::file_size(path);
    std::vector<char> reused(size);
    RecordingShell shell;
    InstrumentConfiguration configuration;
    std::atomic<bool> inputRunning{false};
    auto document = std::make_unique<CSignalDoc>(shell, configuration, inputRunning, FreshDocumentSelection{});
    double freshSeconds = 0.0;
    double reusedSeconds = 0.0;
    double openSeconds = 0.0;
    for (auto _ : state) {
        {
            std::vector<char> fresh;
            freshSeconds += readWithFread(path, fresh, size);
        }
        reusedSeconds += readWithFread(path, reused, size);
        const auto start = std::chrono::steady_clock::now();
        const bool opened = document->OnOpenDocument(path, kScopeTypeSeparate);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!opened || document->sampleCount != kFrames) state.SkipWithError("the record did not open");
        openSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["open_ms"] = openSeconds / n * 1e3;
    state.counters["fread_ms"] = freshSeconds / n * 1e3;
    state.counters["fread_warm_buffer_ms"] = reusedSeconds / n * 1e3;
    state.counters["open_per_fread"] = openSeconds / freshSeconds;
    state.counters["open_per_fread_warm_buffer"] = openSeconds / reusedSeconds;
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
