#pragma once
// Radix-2 transforms of the spectrum analyser on split float arrays (re and im, never
// interleaved). A plan holds what depends on the size only: the bit-reversal swaps and the
// twiddle factors, produced once by the same recurrence (u = u·w per stage) that a transform
// without a plan would run, so planned and unplanned transforms give identical bits.
// Plans are owned by their user (the spectrum state keeps one per FFT size); UI thread.

#include <cstdint>
#include <vector>

namespace tonewell {

class Shell;

// The constant pi of the analyser: 4·atan(1.0) rounded to float.
float AnalyserPi();

// Complex transform of a power-of-two length n >= 2 (decimation in time, in place).
class ComplexFftPlan {
public:
    // Builds the tables for n; false (plan left empty) when memory runs out or n is not a power
    // of two >= 2.
    bool prepare(int n) noexcept;
    int size() const { return n_; }

    // Forward (inverse == 0): X[k] = sum x[t]·e^(-j2πkt/n), unscaled. Inverse: e^(+j...) and
    // every element multiplied by the float 1/n. re and im hold size() elements.
    void transform(float* re, float* im, int inverse) const;

    // The transform on data already in bit-reversed order, and that order: element k of the
    // permuted array is element reversal()[k] of the natural one.
    void butterflies(float* re, float* im, int inverse) const;
    const std::uint32_t* reversal() const { return reversal_.data(); }

private:
    int n_ = 0;
    std::vector<std::uint32_t> swaps_;  // pairs (i, j), i < j, of the bit-reversal permutation
    std::vector<std::uint32_t> reversal_;
    // Twiddles of stage s (half length h = 2^(s-1)) at offset h - 1, h entries each.
    std::vector<float> forwardRe_, forwardIm_, inverseRe_, inverseIm_;
};

// Real-input forward transform of n >= 4 points through one complex transform of n/2.
class RealFftPlan {
public:
    bool prepare(int n) noexcept;
    int size() const { return n_; }

    // re[0 … n-1] holds n real samples; on return re[k], im[k] (k = 0 … n-1) hold X[k].
    // The input contents of im are ignored.
    void forward(float* re, float* im);

private:
    int n_ = 0;
    ComplexFftPlan half_;
    std::vector<float> sin_, cos_;  // of θ = k·(1/M)·π, k = 0 … M-1
    // The six work arrays: packed samples, even and odd spectra.
    std::vector<float> zr_, zi_, er_, ei_, or_, oi_;
};

// The transforms as free functions for callers without a plan; each call builds its tables.
// ComplexFft returns 0 (or -1, nothing touched, when its tables cannot be allocated).
int ComplexFft(float* re, float* im, int n, int inverse);

// Returns 0, or -1 when its work memory cannot be allocated: then the out-of-memory report is
// shown, File Close is posted and re/im stay untouched. With inverse != 0 it shows
// "IFFT can not be handled." and leaves re/im unchanged.
int RealFft(float* re, float* im, int n, int inverse, Shell& shell);

// The same with a prepared plan of size n (no allocation).
int RealFft(RealFftPlan& plan, float* re, float* im, int inverse, Shell& shell);

}  // namespace tonewell
