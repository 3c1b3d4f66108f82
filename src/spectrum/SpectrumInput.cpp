#include "spectrum/SpectrumInput.h"

#include "shared/DocumentNumbers.h"

namespace tonewell {

SpectrumInput SpectrumInputOf(const SignalRecord& record, const DcOffsets& offsets) {
    SpectrumInput input;
    const bool haveA = record.samplingType == kSamplingTypeA || record.samplingType == kSamplingTypeAB;
    const bool haveB = record.samplingType == kSamplingTypeB || record.samplingType == kSamplingTypeAB;
    if (haveA) input.a.codes = record.dataA;
    if (haveB) input.b.codes = record.dataB;
    input.a.zero = record.zeroA;
    input.b.zero = record.zeroB;
    input.a.voltsPerCode = static_cast<float>(
        VoltsPerCode(record.rangeMaxA, record.rangeMinA, record.rangeExponentA, record.resolutionA));
    input.b.voltsPerCode = static_cast<float>(
        VoltsPerCode(record.rangeMaxB, record.rangeMinB, record.rangeExponentB, record.resolutionB));
    input.a.dcOffsetCodes = offsets.dcOffsetCodesA;
    input.b.dcOffsetCodes = offsets.dcOffsetCodesB;
    input.sampleCount = record.sampleCount;
    input.interval = record.intervalSeconds();
    return input;
}

}  // namespace tonewell
