#include "spectrum/SpectrumSettings.h"

namespace tonewell {

double SpectrumSampleInterval(const SignalRecord& record, std::int32_t samplingRate) {
    const double interval = record.intervalSeconds();
    if (record.sampleCount != 0 && interval > 0.0) return interval;
    const double rate = samplingRate;
    return rate > 0.0 ? 1.0 / rate : 0.0;
}

}  // namespace tonewell
