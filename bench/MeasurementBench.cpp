// Measuring a live record: 100 ms of 48000 Hz stereo 16-bit, as each captured record would be
// measured, with one meter kept between records as a view keeps it.

#include "app/Instrument.h"
#include "measurement/ToneMeasurement.h"
#include "platform/RecordingShell.h"
#include "platform/audio/LoopbackCable.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace tonewell {
namespace {

// A 997 Hz tone with its second and third harmonics and some noise on A, 3 kHz on B.
SignalRecord LiveRecord() {
    constexpr std::uint32_t kRate = 48000, kCount = kRate / 10;
    SignalRecord record;
    record.samplingType = kSamplingTypeAB;
    record.riffHeader.format = MakePcmFormat(2, kRate, 16);
    record.sampleCount = kCount;
    record.zeroA = record.zeroB = 32768;
    record.dataA.resize(kCount);
    record.dataB.resize(kCount);
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0.0, 3.0);
    const double step = 2.0 * M_PI / kRate;
    for (std::uint32_t i = 0; i < kCount; ++i) {
        const double a = 16000.0 * (std::sin(step * 997.0 * i) + 0.01 * std::sin(step * 1994.0 * i) +
                                    0.003 * std::sin(step * 2991.0 * i));
        const double b = 9000.0 * std::sin(step * 3000.0 * i + 1.0);
        record.dataA[i] = static_cast<std::uint16_t>(std::lround(a + noise(random)) + 32768);
        record.dataB[i] = static_cast<std::uint16_t>(std::lround(b + noise(random)) + 32768);
    }
    return record;
}

void BM_MeasureLiveRecord100ms(benchmark::State& state) {
    const SignalRecord record = LiveRecord();
    ToneMeter meter;
    for (auto _ : state) benchmark::DoNotOptimize(meter.measure(record, MeasurementSettings{}));
}

BENCHMARK(BM_MeasureLiveRecord100ms)->Unit(benchmark::kMillisecond);

// The program's part for each arriving record while "Show measurements" is on: the measurement
// and the readouts handed to both views.
void BM_ReadoutsOfLiveRecord100ms(benchmark::State& state) {
    RecordingShell shell;
    LoopbackCable cable;
    Instrument instrument(shell, cable);
    static_cast<SignalRecord&>(instrument.document) = LiveRecord();
    instrument.readouts.setOptions({true, 0.0});
    for (auto _ : state) {
        instrument.document.RecordChanged();
        instrument.readouts.refresh();
    }
    if (!instrument.readouts.readout().a.measured) state.SkipWithError("not measured");
}

BENCHMARK(BM_ReadoutsOfLiveRecord100ms)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonewell
