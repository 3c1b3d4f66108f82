// The frequency response of a 5 s sweep at 48 kHz as a live measurement leaves it (the recording
// a second longer than the sweep): deconvolution, latency, magnitude and phase on the grid, from
// fresh memory each time. Target: at most 150 ms.

#include "response/ExponentialSweep.h"
#include "response/FrequencyResponse.h"
#include "response/ResponseMeasurement.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace tonewell {
namespace {

void BM_ResponseOfFiveSecondSweep(benchmark::State& state) {
    const SweepSettings sweep;  // 20 Hz - 20 kHz, 5 s, 48 kHz
    const std::vector<float> stimulus = MakeExponentialSweep(sweep);
    // The answer of a gentle low-pass 30 ms late, with the recording's tail.
    std::vector<float> recorded(stimulus.size() + static_cast<std::size_t>(kMeasurementRecordingTail * sweep.sampleRate));
    const std::size_t delay = 1440;
    double previous = 0;
    for (std::size_t i = 0; i + delay < recorded.size(); ++i) {
        const double in = i < stimulus.size() ? stimulus[i] : 0.0;
        previous += 0.5 * (in - previous);
        recorded[i + delay] = static_cast<float>(previous);
    }
    const ResponseAnalysisSettings band{sweep.fromHz, sweep.toHz};
    for (auto _ : state) {
        ResponseResult result = ComputeResponse(stimulus, recorded, sweep.sampleRate, band);
        if (!result.ok()) state.SkipWithError(result.problem.c_str());
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_ResponseOfFiveSecondSweep)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonewell
