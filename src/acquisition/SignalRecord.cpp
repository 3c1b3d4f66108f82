#include "acquisition/SignalRecord.h"

#include <cmath>
#include <cstddef>

namespace tonewell {
namespace {

struct Accumulator {
    float max = 0.0f;
    float min = 0.0f;
    float sum = 0.0f;
    float sumSquares = 0.0f;

    void add(float v) {
        if (max < v) max = v;
        if (min > v) min = v;
        sum += v;
        sumSquares += v * v;
    }
    void store(std::uint32_t n, float& maxOut, float& minOut, float& meanOut, float& rmsOut) const {
        const float reciprocal = 1.0f / static_cast<float>(n);
        maxOut = max;
        minOut = min;
        meanOut = sum * reciprocal;
        rmsOut = static_cast<float>(std::sqrt(static_cast<double>(sumSquares * reciprocal)));
    }
};

float voltsPerCodeA(const SignalRecord& r) {
    return static_cast<float>(VoltsPerCode(r.rangeMaxA, r.rangeMinA, r.rangeExponentA, r.resolutionA));
}
float voltsPerCodeB(const SignalRecord& r) {
    return static_cast<float>(VoltsPerCode(r.rangeMaxB, r.rangeMinB, r.rangeExponentB, r.resolutionB));
}

// Mean code offset from the float sum of volts; 0 where a channel has no volts per code.
std::int32_t meanCodes(float sum, float k, std::uint32_t n) {
    if (k == 0.0f) return 0;
    const float codes = sum / k / static_cast<float>(n);
    if (!std::isfinite(codes) || std::fabs(codes) >= 2147483648.0f) return 0;
    return static_cast<std::int32_t>(codes);
}

}  // namespace

void ComputeStatistics(SignalRecord& r, int scopeType, DcOffsets& offsets) {
    r.maxA = r.minA = r.meanA = r.rmsA = 0.0f;
    r.maxB = r.minB = r.meanB = r.rmsB = 0.0f;
    const std::uint32_t n = r.sampleCount;
    if (n == 0 || r.dataA.size() < n || r.dataB.size() < n) return;

    const std::uint16_t* a = r.dataA.data();
    const std::uint16_t* b = r.dataB.data();
    const std::int32_t zeroA = r.zeroA;
    const std::int32_t zeroB = r.zeroB;
    const float kA = voltsPerCodeA(r);
    const float kB = voltsPerCodeB(r);

    if (scopeType == kScopeTypeSum || scopeType == kScopeTypeDifference) {
        Accumulator acc;
        std::int64_t sumCodesA = 0;
        std::int64_t sumCodesB = 0;
        const bool difference = scopeType == kScopeTypeDifference;
        for (std::size_t i = 0; i < n; ++i) {
            const std::int32_t codeA = a[i] - zeroA;
            const std::int32_t codeB = b[i] - zeroB;
            sumCodesA += codeA;
            sumCodesB += codeB;
            const float va = kA * static_cast<float>(codeA);
            const float vb = kB * static_cast<float>(codeB);
            acc.add(difference ? va - vb : va + vb);
        }
        acc.store(n, r.maxA, r.minA, r.meanA, r.rmsA);
        offsets.dcOffsetCodesA = static_cast<std::int32_t>(sumCodesA / static_cast<std::int64_t>(n));
        offsets.dcOffsetCodesB = static_cast<std::int32_t>(sumCodesB / static_cast<std::int64_t>(n));
        return;
    }

    const bool hasA = r.samplingType == kSamplingTypeA || r.samplingType == kSamplingTypeAB;
    const bool hasB = r.samplingType == kSamplingTypeB || r.samplingType == kSamplingTypeAB;
    Accumulator accA;
    Accumulator accB;
    if (hasA && hasB) {
        // One pass over both channels; each channel's sums still run in sample order.
        for (std::size_t i = 0; i < n; ++i) {
            accA.add(kA * static_cast<float>(a[i] - zeroA));
            accB.add(kB * static_cast<float>(b[i] - zeroB));
        }
    } else if (hasA) {
        for (std::size_t i = 0; i < n; ++i) accA.add(kA * static_cast<float>(a[i] - zeroA));
    } else if (hasB) {
        for (std::size_t i = 0; i < n; ++i) accB.add(kB * static_cast<float>(b[i] - zeroB));
    }
    if (hasA) {
        accA.store(n, r.maxA, r.minA, r.meanA, r.rmsA);
        offsets.dcOffsetCodesA = meanCodes(accA.sum, kA, n);
    }
    if (hasB) {
        accB.store(n, r.maxB, r.minB, r.meanB, r.rmsB);
        offsets.dcOffsetCodesB = meanCodes(accB.sum, kB, n);
    }
}

}  // namespace tonewell
