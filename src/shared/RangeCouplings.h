#pragma once
// How the time range, the record length, the sampling frequency and the spectrum frequency range
// follow one another. Pure functions of the selector lists and the numbers given.

#include <cstdint>
#include <optional>

#include "shared/RangeCode.h"
#include "shared/RangeTables.h"

namespace tonewell {

// Samples that fill a time range at samplingRate (Hz): the whole samples in the span, and 1 when
// that is 0 so that a record is never empty. 10 ms at 44100 Hz gives 441; saturates at INT32_MAX.
std::int32_t RecordLengthForTimeRange(RangeCode timeRange, std::int32_t samplingRate);

// The smallest frequency range that reaches half the sampling frequency: the list (ordered from
// the widest range down) is scanned from its last row up and the first row whose value x 2 is
// not below samplingRate is chosen. Nothing when no row qualifies (the selection then stays).
std::optional<int> SpectrumFrequencyRowForRate(const RangeTable& frequencyRanges, std::int32_t samplingRate);

// The shortest time range that holds recordLength samples at samplingRate: the first row of the
// ascending list whose span is not shorter than recordLength / samplingRate. Compared exactly in
// whole samples, so a record that fills a span exactly selects that span. Nothing when no row
// qualifies (a record longer than the longest range) or the rate is not positive.
std::optional<int> TimeRangeRowForRecordLength(const RangeTable& timeRanges, std::int32_t recordLength,
                                               std::int32_t samplingRate);

}  // namespace tonewell
