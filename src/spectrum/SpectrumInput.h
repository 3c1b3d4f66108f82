#pragma once
// The record's values that the spectrum computation reads: per channel the sample codes, zero
// code, volts per code and DC offset, and the sample count and sampling interval. A view of the
// document's arrays (the document must outlive it); UI thread.

#include "acquisition/SignalRecord.h"

#include <cstdint>
#include <span>

namespace tonewell {

struct SpectrumChannelInput {
    std::span<const std::uint16_t> codes;  // offset-binary codes; fewer than sampleCount: absent
    std::int32_t zero = 0;                 // code of 0 V
    float voltsPerCode = 0.0f;
    std::int32_t dcOffsetCodes = 0;  // mean of (code - zero) over the record, from the statistics
};

struct SpectrumInput {
    SpectrumChannelInput a, b;
    std::uint32_t sampleCount = 0;
    double interval = 0.0;  // Ts in seconds
};

// The channels the record holds (A for sampling types 1 and 3, B for 2 and 3; a missing one has
// no codes), volts per code rounded to float, the interval in seconds.
SpectrumInput SpectrumInputOf(const SignalRecord& record, const DcOffsets& offsets);

}  // namespace tonewell
