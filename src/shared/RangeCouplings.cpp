#include "shared/RangeCouplings.h"

#include <limits>

namespace tonewell {

std::int32_t RecordLengthForTimeRange(RangeCode timeRange, std::int32_t samplingRate) {
    std::int64_t samples = SamplesInSpan(timeRange, samplingRate);
    if (samples <= 0) return 1;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(samples > kMax ? kMax : samples);
}

std::optional<int> SpectrumFrequencyRowForRate(const RangeTable& frequencyRanges, std::int32_t samplingRate) {
    for (int row = frequencyRanges.count - 1; row >= 0; --row) {
        // floor(2 x value) >= rate <=> 2 x value >= rate, as the rate is whole.
        if (SamplesInSpan(*frequencyRanges.code(row), 2) >= samplingRate) return row;
    }
    return std::nullopt;
}

std::optional<int> TimeRangeRowForRecordLength(const RangeTable& timeRanges, std::int32_t recordLength,
                                               std::int32_t samplingRate) {
    if (samplingRate <= 0) return std::nullopt;
    // span >= N / rate  <=>  span x rate >= N  <=>  floor(span x rate) >= N, as N is whole.
    for (int row = 0; row < timeRanges.count; ++row) {
        if (SamplesInSpan(*timeRanges.code(row), samplingRate) >= recordLength) return row;
    }
    return std::nullopt;
}

}  // namespace tonewell
