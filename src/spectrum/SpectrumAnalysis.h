#pragma once
// The spectrum analyser's computing state, free of any drawing: type, FFT size N, window, the
// six work arrays (real, imaginary and result per channel), the peaks and spectrumDirty.
// Owned by the spectrum view; everything runs on the UI thread except spectrumDirty, which any
// thread may set. Results are recomputed lazily by UpdateSpectra when spectrumDirty is set.
//
// Points that have no defined value — a block whose samples all sit at the zero offset (its
// auto-correlation has r[0] = 0, its cross-correlation EA·EB = 0) or whose window weights are all
// zero (g = 0) — show 0: such a block adds nothing to the averaged result. Any other value that
// is not finite (a calibration beyond float range) is stored as 0 as well, so results, peaks and
// exports only ever hold finite numbers.

#include "spectrum/Fft.h"
#include "spectrum/SpectrumInput.h"
#include "spectrum/SpectrumType.h"
#include "spectrum/Window.h"

#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

namespace tonewell {

class Shell;

// Points of a result: N/2 + 1 for the amplitude and phase spectra, N - 1 for the correlations.
int SpectrumPointCount(SpectrumType spectrumType, int fftSize);

class SpectrumAnalysis {
public:
    explicit SpectrumAnalysis(Shell& shell);

    // N: re-allocates the six work arrays and the transform plans (old contents discarded) and
    // sets spectrumDirty. Accepts powers of two from 4 to 2^20. When memory runs out the
    // out-of-memory report is shown, File Close is posted, the state holds no arrays (nothing is
    // computed) and false is returned.
    bool setFftSize(int n);
    int fftSize() const { return fftSize_; }
    bool ready() const { return fftSize_ != 0; }

    // Settings of the spectrum bar; each change sets spectrumDirty.
    void setSpectrumType(SpectrumType type);
    SpectrumType spectrumType() const { return spectrumType_; }
    void setWindowType(WindowType type);
    WindowType windowType() const { return windowType_; }

    int pointCount() const { return SpectrumPointCount(spectrumType_, fftSize_); }

    // The recompute step of a drawing pass: when spectrumDirty is set and the record holds
    // samples, computes the shown channels (CCR: both into channel A's result) and their peaks;
    // then clears spectrumDirty. removeDc: "Remove DC component in spectrum".
    void UpdateSpectra(const SpectrumInput& input, bool showA, bool showB, bool removeDc);
    // The same for the document's record and its DC offsets.
    void UpdateSpectra(const SignalRecord& record, const DcOffsets& offsets, bool showA,
                       bool showB, bool removeDc);

    // One channel's amplitude or phase spectrum or auto-correlation into result (re, im,
    // result: N floats each);
    // zeroOffset = zero code + DC offset. Returns 0 (nothing done for count 0), -1 when the
    // window table cannot be allocated (after the out-of-memory report).
    int ComputeChannelSpectrum(float* re, float* im, float* result, const std::uint16_t* codes,
                               float voltsPerCode, std::uint32_t count, std::int32_t zeroOffset,
                               SpectrumType type);

    // Normalised cross-correlation of A and B into resultA; the four work arrays are used for
    // the transforms, resultB is left alone. Returns as ComputeChannelSpectrum.
    int ComputeCrossCorrelation(float* reA, float* imA, float* reB, float* imB, float* resultA,
                                float* resultB, const std::uint16_t* codesA,
                                const std::uint16_t* codesB, float voltsPerCodeA,
                                float voltsPerCodeB, std::uint32_t count, std::int32_t zeroOffsetA,
                                std::int32_t zeroOffsetB, SpectrumType type);

    // Peak search of channel 0 (A: largest magnitude, signed) or 1 (B: largest value) over the
    // current type's points; the position becomes Hz, or for A with a correlation a delay in
    // seconds.
    void findPeak(int channel, double interval);

    // Results and work arrays (N floats each; empty while no N is set).
    std::span<const float> resultA() const { return resultA_; }
    std::span<const float> resultB() const { return resultB_; }
    float* realA() { return realA_.data(); }
    float* imagA() { return imagA_.data(); }
    float* realB() { return realB_.data(); }
    float* imagB() { return imagB_.data(); }
    float* resultAData() { return resultA_.data(); }
    float* resultBData() { return resultB_.data(); }

    // Peaks: position in Hz (or seconds for A with ACR/CCR) and value, per channel.
    float peakPositionA() const { return peakPositionA_; }
    float peakValueA() const { return peakValueA_; }
    float peakPositionB() const { return peakPositionB_; }
    float peakValueB() const { return peakValueB_; }

    // Recompute before the next drawing pass. Set by settings changes and new records.
    std::atomic<bool> spectrumDirty{true};

private:
    bool prepareWindow(int count, int blockLength, int period);
    void calibrateBlock(float* re, const std::uint16_t* codes, int count, std::int32_t zeroOffset,
                        float voltsPerCode, float* energy);

    Shell& shell_;
    SpectrumType spectrumType_ = SpectrumType::Amplitude;
    WindowType windowType_ = WindowType::Rectangular;
    int fftSize_ = 0;
    std::vector<float> realA_, imagA_, resultA_, realB_, imagB_, resultB_;
    RealFftPlan realPlan_;
    ComplexFftPlan complexPlan_;  // N points, for the correlations' inverse transforms
    WindowTable window_;
    int windowCount_ = -1, windowBlock_ = -1, windowPeriod_ = -1;
    float peakPositionA_ = 0.0f, peakValueA_ = 0.0f;
    float peakPositionB_ = 0.0f, peakValueB_ = 0.0f;
};

}  // namespace tonewell
