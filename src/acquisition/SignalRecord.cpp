#include "acquisition/SignalRecord.h"

#include <cmath>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Both channels in one pass, going on from accA and accB. With SSE2 the two channels are the two low lanes of one register:
// every lane operation is the scalar one, so each channel's sums run in sample order as before.
// Four frames are converted to volts at a time; they are then added one frame after another.
void accumulatePair(const std::uint16_t* a, const std::uint16_t* b, std::size_t n, std::int32_t zeroA,
                    std::int32_t zeroB, float kA, float kB, Accumulator& accA, Accumulator& accB) {
#if defined(__SSE2__)
    const __m128i zero = _mm_set_epi32(zeroB, zeroA, zeroB, zeroA);
    const __m128 k = _mm_set_ps(kB, kA, kB, kA);
    // Going on from the sums so far (all zero for a whole record).
    __m128 max = _mm_set_ps(0.0f, 0.0f, accB.max, accA.max);
    __m128 min = _mm_set_ps(0.0f, 0.0f, accB.min, accA.min);
    __m128 sum = _mm_set_ps(0.0f, 0.0f, accB.sum, accA.sum);
    __m128 sumSquares = _mm_set_ps(0.0f, 0.0f, accB.sumSquares, accA.sumSquares);
    // Lanes 2 and 3 of the sums collect whatever: only lanes 0 and 1 are kept.
    const auto add = [&](__m128 v) {
        max = _mm_max_ps(v, max);  // v > max ? v : max
        min = _mm_min_ps(v, min);  // v < min ? v : min
        sum = _mm_add_ps(sum, v);
        sumSquares = _mm_add_ps(sumSquares, _mm_mul_ps(v, v));
    };
    // Codes A0 B0 A1 B1 (of two frames, 32 bits each) in volts.
    const auto volts = [&](__m128i codes) { return _mm_mul_ps(k, _mm_cvtepi32_ps(_mm_sub_epi32(codes, zero))); };
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i pairs = _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a + i)),
                                                 _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b + i)));
        const __m128 v01 = volts(_mm_unpacklo_epi16(pairs, _mm_setzero_si128()));
        const __m128 v23 = volts(_mm_unpackhi_epi16(pairs, _mm_setzero_si128()));
        add(v01);
        add(_mm_movehl_ps(v01, v01));
        add(v23);
        add(_mm_movehl_ps(v23, v23));
    }
    for (; i < n; ++i) add(volts(_mm_set_epi32(0, 0, b[i], a[i])));
    alignas(16) float lanes[4][4];
    _mm_store_ps(lanes[0], max);
    _mm_store_ps(lanes[1], min);
    _mm_store_ps(lanes[2], sum);
    _mm_store_ps(lanes[3], sumSquares);
    accA = {lanes[0][0], lanes[1][0], lanes[2][0], lanes[3][0]};
    accB = {lanes[0][1], lanes[1][1], lanes[2][1], lanes[3][1]};
#else
    for (std::size_t i = 0; i < n; ++i) {
        accA.add(kA * static_cast<float>(a[i] - zeroA));
        accB.add(kB * static_cast<float>(b[i] - zeroB));
    }
#endif
}

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

    SeparateStatistics statistics(r);
    statistics.add(a, b, 0, n);
    statistics.store(r, offsets);
}

SeparateStatistics::SeparateStatistics(const SignalRecord& format)
    : samplingType_(format.samplingType),
      hasA_(format.samplingType == kSamplingTypeA || format.samplingType == kSamplingTypeAB),
      hasB_(format.samplingType == kSamplingTypeB || format.samplingType == kSamplingTypeAB),
      zeroA_(format.zeroA),
      zeroB_(format.zeroB),
      kA_(voltsPerCodeA(format)),
      kB_(voltsPerCodeB(format)) {}

void SeparateStatistics::add(const std::uint16_t* a, const std::uint16_t* b, std::size_t from, std::size_t to) {
    Accumulator accA{a_.max, a_.min, a_.sum, a_.sumSquares};
    Accumulator accB{b_.max, b_.min, b_.sum, b_.sumSquares};
    const std::size_t n = to - from;
    if (hasA_ && hasB_) {
        accumulatePair(a + from, b + from, n, zeroA_, zeroB_, kA_, kB_, accA, accB);
    } else if (hasA_) {
        for (std::size_t i = from; i < to; ++i) accA.add(kA_ * static_cast<float>(a[i] - zeroA_));
    } else if (hasB_) {
        for (std::size_t i = from; i < to; ++i) accB.add(kB_ * static_cast<float>(b[i] - zeroB_));
    }
    a_ = {accA.max, accA.min, accA.sum, accA.sumSquares};
    b_ = {accB.max, accB.min, accB.sum, accB.sumSquares};
    frames_ = to;
}

bool SeparateStatistics::fits(const SignalRecord& record) const {
    return record.sampleCount == frames_ && frames_ > 0 && record.samplingType == samplingType_ &&
           record.zeroA == zeroA_ && record.zeroB == zeroB_ && voltsPerCodeA(record) == kA_ &&
           voltsPerCodeB(record) == kB_ && record.dataA.size() >= frames_ && record.dataB.size() >= frames_;
}

void SeparateStatistics::store(SignalRecord& r, DcOffsets& offsets) const {
    const auto n = static_cast<std::uint32_t>(frames_);
    r.maxA = r.minA = r.meanA = r.rmsA = 0.0f;
    r.maxB = r.minB = r.meanB = r.rmsB = 0.0f;
    if (n == 0) return;
    if (hasA_) {
        const Accumulator acc{a_.max, a_.min, a_.sum, a_.sumSquares};
        acc.store(n, r.maxA, r.minA, r.meanA, r.rmsA);
        offsets.dcOffsetCodesA = meanCodes(acc.sum, kA_, n);
    }
    if (hasB_) {
        const Accumulator acc{b_.max, b_.min, b_.sum, b_.sumSquares};
        acc.store(n, r.maxB, r.minB, r.meanB, r.rmsB);
        offsets.dcOffsetCodesB = meanCodes(acc.sum, kB_, n);
    }
}

}  // namespace tonewell
