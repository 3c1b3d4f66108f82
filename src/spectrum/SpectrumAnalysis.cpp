#include "spectrum/SpectrumAnalysis.h"

#include "platform/ReportOutOfMemory.h"

#include <algorithm>
#include <cmath>
#include <new>

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
    for (int i = 0; i < count; ++i) {
        const std::int64_t difference = static_cast<std::int64_t>(codes[i]) - zeroOffset;
        re[i] = static_cast<float>(difference) * voltsPerCode;
    }
    if (energy != nullptr) {
        float sum = 0.0f;
        for (int i = 0; i < count; ++i) sum += re[i] * re[i];
        *energy = sum;
    }
    if (!window_.weights.empty()) {
        const float* w = window_.weights.data();
        for (int i = 0; i < count; ++i) re[i] = re[i] * w[i];
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
            for (int k = 0; k <= half; ++k) {
                const float power = re[k] * re[k] + im[k] * im[k];
                const double squared =
                    k == 0 || k == half ? static_cast<double>(power) : 2.0 * power;
                result[k] += static_cast<float>(std::sqrt(squared) / n / g);
            }
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
