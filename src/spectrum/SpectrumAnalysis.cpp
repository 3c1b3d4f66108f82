#include "spectrum/SpectrumAnalysis.h"

#include "platform/ReportOutOfMemory.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#ifdef __SSE2__
#include <immintrin.h>
#endif

namespace tonewell {

namespace {

constexpr int kLargestFftSize = 1 << 20;
constexpr double kDegreesPerRadian = 57.295780490442965;

void clearNonFinite(float* values, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) values[i] = 0.0f;
}

// Block layout of a record: segments of L samples when there are more than L, else one block.
struct Blocks {
    int length;    // samples per block
    int count;     // K
    int period;    // D of the cosine windows
    bool segmented;
};

Blocks blocksFor(std::uint32_t count, int segmentLength, int n) {
    if (count > static_cast<std::uint32_t>(segmentLength))
        return {segmentLength, static_cast<int>(count / static_cast<std::uint32_t>(segmentLength)),
                n, true};
    return {static_cast<int>(count), 1, static_cast<int>(count), false};
}

typedef float Floats4 __attribute__((vector_size(16)));
typedef std::int32_t Ints4 __attribute__((vector_size(16)));
typedef std::uint16_t Codes4 __attribute__((vector_size(8)));

// x[i] = (code - zero offset) × volts per code, times w[i] when there are weights: the difference
// as an integer, the products in float, four samples at a time. The difference is formed in 32
// bits when it cannot overflow them (it converts to the same float as the 64-bit one).
void calibrate(float* x, const std::uint16_t* codes, int count, std::int32_t zeroOffset,
               float voltsPerCode, const float* w) {
    int i = 0;
    if (zeroOffset >= std::numeric_limits<std::int32_t>::min() + 65536) {
        const Ints4 zero = {zeroOffset, zeroOffset, zeroOffset, zeroOffset};
        const Floats4 scale = {voltsPerCode, voltsPerCode, voltsPerCode, voltsPerCode};
        for (; i + 4 <= count; i += 4) {
            Codes4 c;
            std::memcpy(&c, codes + i, sizeof c);
            Floats4 v = __builtin_convertvector(__builtin_convertvector(c, Ints4) - zero, Floats4) * scale;
            if (w != nullptr) {
                Floats4 weight;
                std::memcpy(&weight, w + i, sizeof weight);
                v = v * weight;
            }
            std::memcpy(x + i, &v, sizeof v);
        }
    }
    for (; i < count; ++i) {
        const std::int64_t difference = static_cast<std::int64_t>(codes[i]) - zeroOffset;
        x[i] = static_cast<float>(difference) * voltsPerCode;
        if (w != nullptr) x[i] = x[i] * w[i];
    }
}

// result[k] += sqrt(2·(re² + im²)) / N / g for k = 1 … N/2 - 1: squares and sum in float, the
// rest in double, rounded to float. Dividing by N, a power of two, is exact, so one division by
// N·g (also exact) gives the same bits as the two. The vector forms take two or four bins
// through each double operation; those are exact per lane, so the bits stay.
void addAmplitudesFrom(int k, const float* re, const float* im, float* result, int half, double ng) {
    for (; k < half; ++k) {
        const float power = re[k] * re[k] + im[k] * im[k];
        result[k] += static_cast<float>(std::sqrt(2.0 * power) / ng);
    }
}

#ifdef __SSE2__
void addAmplitudesSse2(const float* re, const float* im, float* result, int half, double ng) {
    const __m128d two = _mm_set1_pd(2.0);
    const __m128d divisor = _mm_set1_pd(ng);
    int k = 1;
    for (; k + 4 <= half; k += 4) {
        const __m128 r = _mm_loadu_ps(re + k), i = _mm_loadu_ps(im + k);
        const __m128 power = _mm_add_ps(_mm_mul_ps(r, r), _mm_mul_ps(i, i));
        const __m128d low = _mm_mul_pd(two, _mm_cvtps_pd(power));
        const __m128d high = _mm_mul_pd(two, _mm_cvtps_pd(_mm_movehl_ps(power, power)));
        const __m128 a = _mm_movelh_ps(_mm_cvtpd_ps(_mm_div_pd(_mm_sqrt_pd(low), divisor)),
                                       _mm_cvtpd_ps(_mm_div_pd(_mm_sqrt_pd(high), divisor)));
        _mm_storeu_ps(result + k, _mm_add_ps(_mm_loadu_ps(result + k), a));
    }
    addAmplitudesFrom(k, re, im, result, half, ng);
}

__attribute__((target("avx2"))) void addAmplitudesAvx2(const float* re, const float* im,
                                                       float* result, int half, double ng) {
    const __m256d two = _mm256_set1_pd(2.0);
    const __m256d divisor = _mm256_set1_pd(ng);
    int k = 1;
    for (; k + 8 <= half; k += 8) {
        const __m256 r = _mm256_loadu_ps(re + k), i = _mm256_loadu_ps(im + k);
        const __m256 power = _mm256_add_ps(_mm256_mul_ps(r, r), _mm256_mul_ps(i, i));
        const __m256d low = _mm256_mul_pd(two, _mm256_cvtps_pd(_mm256_castps256_ps128(power)));
        const __m256d high = _mm256_mul_pd(two, _mm256_cvtps_pd(_mm256_extractf128_ps(power, 1)));
        const __m256 a = _mm256_set_m128(_mm256_cvtpd_ps(_mm256_div_pd(_mm256_sqrt_pd(high), divisor)),
                                         _mm256_cvtpd_ps(_mm256_div_pd(_mm256_sqrt_pd(low), divisor)));
        _mm256_storeu_ps(result + k, _mm256_add_ps(_mm256_loadu_ps(result + k), a));
    }
    addAmplitudesFrom(k, re, im, result, half, ng);
}
#endif

void addAmplitudes(const float* re, const float* im, float* result, int half, double ng) {
#ifdef __SSE2__
    static const bool wide = BestFftIsa() == FftIsa::Avx2;
    if (wide)
        addAmplitudesAvx2(re, im, result, half, ng);
    else
        addAmplitudesSse2(re, im, result, half, ng);
#else
    addAmplitudesFrom(1, re, im, result, half, ng);
#endif
}

}  // namespace

int SpectrumPointCount(SpectrumType spectrumType, int fftSize) {
    if (fftSize == 0) return 0;
    return IsCorrelation(spectrumType) ? fftSize - 1 : fftSize / 2 + 1;
}

SpectrumAnalysis::SpectrumAnalysis(Shell& shell) : shell_(shell) {}

bool SpectrumAnalysis::setFftSize(int n) {
    spectrumDirty = true;
    if (n < 4 || n > kLargestFftSize || (n & (n - 1)) != 0) return false;
    fftSize_ = 0;
    realA_ = imagA_ = resultA_ = realB_ = imagB_ = resultB_ = {};
    const auto size = static_cast<std::size_t>(n);
    bool good = realPlan_.prepare(n) && complexPlan_.prepare(n);
    if (good) {
        try {
            for (auto* array : {&realA_, &imagA_, &resultA_, &realB_, &imagB_, &resultB_})
                array->assign(size, 0.0f);
        } catch (const std::bad_alloc&) {
            good = false;
        }
    }
    if (!good) {
        realA_ = imagA_ = resultA_ = realB_ = imagB_ = resultB_ = {};
        realPlan_ = RealFftPlan();
        complexPlan_ = ComplexFftPlan();
        ReportOutOfMemory(shell_);
        return false;
    }
    fftSize_ = n;
    return true;
}

void SpectrumAnalysis::setSpectrumType(SpectrumType type) {
    spectrumType_ = type;
    spectrumDirty = true;
}

void SpectrumAnalysis::setWindowType(WindowType type) {
    windowType_ = type;
    spectrumDirty = true;
}

bool SpectrumAnalysis::prepareWindow(int count, int blockLength, int period) {
    if (window_.windowType == windowType_ && windowCount_ == count && windowBlock_ == blockLength &&
        windowPeriod_ == period)
        return true;
    windowCount_ = windowBlock_ = windowPeriod_ = -1;
    if (!window_.prepare(windowType_, count, blockLength, period)) {
        ReportOutOfMemory(shell_);
        return false;
    }
    windowCount_ = count;
    windowBlock_ = blockLength;
    windowPeriod_ = period;
    return true;
}

// x[i] = (code - zero offset) × volts per code, then weighted; energy (when asked for) sums x²
// before weighting. The rest of the N-point array is zero padding.
void SpectrumAnalysis::calibrateBlock(float* re, const std::uint16_t* codes, int count,
                                      std::int32_t zeroOffset, float voltsPerCode, float* energy) {
    const float* w = window_.weights.empty() ? nullptr : window_.weights.data();
    if (energy != nullptr) {
        calibrate(re, codes, count, zeroOffset, voltsPerCode, nullptr);
        float sum = 0.0f;
        for (int i = 0; i < count; ++i) sum += re[i] * re[i];
        *energy = sum;
        if (w != nullptr)
            for (int i = 0; i < count; ++i) re[i] = re[i] * w[i];
    } else {
        calibrate(re, codes, count, zeroOffset, voltsPerCode, w);
    }
    std::fill(re + count, re + fftSize_, 0.0f);
}

int SpectrumAnalysis::ComputeChannelSpectrum(float* re, float* im, float* result,
                                             const std::uint16_t* codes, float voltsPerCode,
                                             std::uint32_t count, std::int32_t zeroOffset,
                                             SpectrumType type) {
    if (count == 0 || fftSize_ == 0) return 0;
    const int n = fftSize_;
    const int half = n / 2;
    const bool correlation = type == SpectrumType::AutoCorrelation;
    const Blocks blocks = blocksFor(count, correlation ? half : n, n);
    if (!prepareWindow(blocks.length, blocks.length, blocks.period)) return -1;
    const double g = GainCorrection(windowType_, window_.powerSum, blocks.length, n,
                                    blocks.segmented);
    const float nf = static_cast<float>(n);
    // The first block's phase is the phase spectrum; later blocks would not change it.
    const int used = type == SpectrumType::Phase ? 1 : blocks.count;
    // Auto-correlation sums the positive lags where they end up, out[N/2 - 1 + m].
    float* lags = result + (half - 1);
    std::fill(result, result + n, 0.0f);

    for (int s = 0; s < used; ++s) {
        const std::uint16_t* block = codes + static_cast<std::size_t>(s) * blocks.length;
        calibrateBlock(re, block, blocks.length, zeroOffset, voltsPerCode, nullptr);
        realPlan_.forward(re, im);
        if (type == SpectrumType::Amplitude) {
            if (!(g > 0.0)) continue;  // no weighted sample reached the transform
            for (int k : {0, half}) {
                const float power = re[k] * re[k] + im[k] * im[k];
                result[k] += static_cast<float>(std::sqrt(static_cast<double>(power)) / n / g);
            }
            addAmplitudes(re, im, result, half, n * g);
        } else if (type == SpectrumType::Phase) {
            for (int k = 0; k <= half; ++k)
                result[k] = static_cast<float>(
                    std::atan2(static_cast<double>(im[k]), static_cast<double>(re[k])) *
                    kDegreesPerRadian);
        } else {
            for (int k = 0; k < n; ++k) {
                re[k] = (re[k] * re[k] + im[k] * im[k]) / nf;
                im[k] = 0.0f;
            }
            complexPlan_.transform(re, im, 1);
            const float r0 = re[0];
            if (r0 == 0.0f) continue;  // a silent block has no correlation to add
            for (int m = 0; m < half; ++m) lags[m] += re[m] / r0;
        }
    }

    const int points = SpectrumPointCount(type, n);
    if (type == SpectrumType::Amplitude) {
        const float inverseK = 1.0f / static_cast<float>(blocks.count);
        for (int k = 0; k <= half; ++k) result[k] = result[k] * inverseK;
    } else if (correlation) {
        const float inverseK = 1.0f / static_cast<float>(blocks.count);
        for (int m = 0; m < half; ++m) lags[m] = lags[m] * inverseK;
        for (int m = 1; m < half; ++m) result[half - 1 - m] = lags[m];
    }
    clearNonFinite(result, points);
    return 0;
}

int SpectrumAnalysis::ComputeCrossCorrelation(float* reA, float* imA, float* reB, float* imB,
                                              float* resultA, float* /*resultB*/,
                                              const std::uint16_t* codesA,
                                              const std::uint16_t* codesB, float voltsPerCodeA,
                                              float voltsPerCodeB, std::uint32_t count,
                                              std::int32_t zeroOffsetA, std::int32_t zeroOffsetB,
                                              SpectrumType /*type*/) {
    if (count == 0 || fftSize_ == 0) return 0;
    const int n = fftSize_;
    const int half = n / 2;
    const Blocks blocks = blocksFor(count, half, n);
    if (!prepareWindow(blocks.length, blocks.length, blocks.period)) return -1;
    const float nf = static_cast<float>(n);
    std::fill(resultA, resultA + n, 0.0f);
    float* positive = resultA + (half - 1);  // out[N/2 - 1 + m]

    for (int s = 0; s < blocks.count; ++s) {
        const std::size_t offset = static_cast<std::size_t>(s) * blocks.length;
        float energyA = 0.0f, energyB = 0.0f;
        calibrateBlock(reA, codesA + offset, blocks.length, zeroOffsetA, voltsPerCodeA, &energyA);
        calibrateBlock(reB, codesB + offset, blocks.length, zeroOffsetB, voltsPerCodeB, &energyB);
        realPlan_.forward(reA, imA);
        realPlan_.forward(reB, imB);
        // C1 = conj(A)·B / N into A's arrays, C2 = A·conj(B) / N into B's.
        for (int k = 0; k < n; ++k) {
            const float ar = reA[k], ai = imA[k], br = reB[k], bi = imB[k];
            reA[k] = (ar * br + ai * bi) / nf;
            imA[k] = (ar * bi - ai * br) / nf;
            reB[k] = (ar * br + ai * bi) / nf;
            imB[k] = (ai * br - ar * bi) / nf;
        }
        complexPlan_.transform(reA, imA, 1);
        complexPlan_.transform(reB, imB, 1);
        const float norm = static_cast<float>(
            std::sqrt(static_cast<double>(energyA) * static_cast<double>(energyB)) / n);
        const float scale = 1.0f / norm;
        if (!(norm > 0.0f) || !std::isfinite(scale)) continue;  // a silent channel in this block
        for (int m = 0; m < half; ++m) positive[m] += reA[m] * scale;
        for (int m = 1; m < half; ++m) resultA[half - 1 - m] += reB[m] * scale;
    }

    const float inverseK = 1.0f / static_cast<float>(blocks.count);
    for (int i = 0; i <= n - 2; ++i) resultA[i] = resultA[i] * inverseK;
    clearNonFinite(resultA, n - 1);
    return 0;
}

void SpectrumAnalysis::findPeak(int channel, double interval) {
    const int points = pointCount();
    const float* out = (channel == 0 ? resultA_ : resultB_).data();
    float value = 0.0f;
    int position = 0;
    for (int i = 0; i < points; ++i) {
        if (channel == 0 ? std::fabs(out[i]) > std::fabs(value) : out[i] > value) {
            value = out[i];
            position = i;
        }
    }
    float where;
    if (channel == 0 && IsCorrelation(spectrumType_)) {
        where = static_cast<float>(static_cast<double>(position - (fftSize_ / 2 - 1)) * interval);
    } else {
        const float fraction = static_cast<float>(position) / static_cast<float>(fftSize_);
        where = static_cast<float>(static_cast<double>(fraction) / interval);
    }
    if (!std::isfinite(where)) where = 0.0f;  // no sampling interval to place it by
    (channel == 0 ? peakPositionA_ : peakPositionB_) = where;
    (channel == 0 ? peakValueA_ : peakValueB_) = value;
}

void SpectrumAnalysis::UpdateSpectra(const SpectrumInput& input, bool showA, bool showB,
                                     bool removeDc) {
    const std::uint32_t count = input.sampleCount;
    if (spectrumDirty.load() && count != 0 && ready()) {
        const bool haveA = input.a.codes.size() >= count;
        const bool haveB = input.b.codes.size() >= count;
        const std::int32_t zeroA = input.a.zero + (removeDc ? input.a.dcOffsetCodes : 0);
        const std::int32_t zeroB = input.b.zero + (removeDc ? input.b.dcOffsetCodes : 0);
        if (showA) {
            if (spectrumType_ == SpectrumType::CrossCorrelation) {
                if (haveA && haveB)
                    ComputeCrossCorrelation(realA(), imagA(), realB(), imagB(), resultAData(),
                                            resultBData(), input.a.codes.data(),
                                            input.b.codes.data(), input.a.voltsPerCode,
                                            input.b.voltsPerCode, count, zeroA, zeroB,
                                            spectrumType_);
            } else if (haveA) {
                ComputeChannelSpectrum(realA(), imagA(), resultAData(), input.a.codes.data(),
                                       input.a.voltsPerCode, count, zeroA, spectrumType_);
            }
            findPeak(0, input.interval);
        }
        if (showB && spectrumType_ != SpectrumType::CrossCorrelation) {
            if (haveB)
                ComputeChannelSpectrum(realB(), imagB(), resultBData(), input.b.codes.data(),
                                       input.b.voltsPerCode, count, zeroB, spectrumType_);
            findPeak(1, input.interval);
        }
    }
    spectrumDirty = false;
}

void SpectrumAnalysis::UpdateSpectra(const SignalRecord& record, const DcOffsets& offsets,
                                     bool showA, bool showB, bool removeDc) {
    if (!spectrumDirty.load()) return;
    UpdateSpectra(SpectrumInputOf(record, offsets), showA, showB, removeDc);
}

}  // namespace tonewell
