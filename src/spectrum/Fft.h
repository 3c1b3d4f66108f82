#pragma once
// Radix-2 transforms of the spectrum analyser on split float arrays (re and im, never
// interleaved). A plan holds what depends on the size only: the twiddle factors, produced once
// by the same recurrence (u = u·w per stage) that a transform without a plan would run, so
// planned and unplanned transforms give identical bits, and a work array, so that a transform
// allocates nothing. Plans are owned by their user (the spectrum state keeps one per FFT size);
// UI thread.
//
// The butterflies run on vector lanes, four wide on every x86-64 processor and eight wide where
// the processor has AVX2 (chosen when the plan is prepared). Each lane does exactly the float
// operations of one scalar butterfly, in the same order and without fused multiply-add; which
// array place holds a value, and in which order independent butterflies run, change no value, so
// every width gives the bits of the plain radix-2 recurrence.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tonewell {

class Shell;

// The constant pi of the analyser: 4·atan(1.0) rounded to float.
float AnalyserPi();

// The vector widths a plan can run on. Avx2 is only taken when the processor has it.
enum class FftIsa { Sse2, Avx2 };
// The widest the running processor offers.
FftIsa BestFftIsa();

// Complex transform of a power-of-two length n >= 2 (decimation in time, in place).
class ComplexFftPlan {
public:
    // Builds the tables for n; false (plan left empty) when memory runs out or n is not a power
    // of two >= 2.
    bool prepare(int n, FftIsa isa = BestFftIsa()) noexcept;
    int size() const { return n_; }

    // Forward (inverse == 0): X[k] = sum x[t]·e^(-j2πkt/n), unscaled. Inverse: e^(+j...) and
    // every element multiplied by the float 1/n. re and im hold size() elements.
    void transform(float* re, float* im, int inverse);

private:
    friend class RealFftPlan;

    // The work array's real part (its imaginary part is imagOffset_ floats further on).
    float* workRe();
    // Transforms of fewer than 64 points into the work array, from re and im, or with im null
    // from re read as (re, im) pairs.
    void shortTransform(const float* re, const float* im, int inverse);

    int n_ = 0;
    int m_ = 0;          // log2 n
    bool wide_ = false;  // eight lanes (AVX2)
    // Bit-reversal order of the short transforms: element k of the permuted array is element
    // reversal_[k] of the natural one.
    std::vector<std::uint32_t> reversal_;
    // Twiddles of stage s (half length h = 2^(s-1)) at offset h - 1, h entries each.
    std::vector<float> forwardRe_, forwardIm_, inverseRe_, inverseIm_;
    // The work array: rows of 2^rowBits_ elements, stride_ floats apart.
    std::vector<float> work_;
    int rowBits_ = 0, stride_ = 0;
    std::size_t imagOffset_ = 0;
};

// Real-input forward transform of n >= 4 points through one complex transform of n/2.
class RealFftPlan {
public:
    bool prepare(int n, FftIsa isa = BestFftIsa()) noexcept;
    int size() const { return n_; }

    // re[0 … n-1] holds n real samples; on return re[k], im[k] (k = 0 … n-1) hold X[k].
    // The input contents of im are ignored.
    void forward(float* re, float* im);

private:
    int n_ = 0;
    ComplexFftPlan half_;  // its work array holds the packed samples' transform
    std::vector<float> sin_, cos_;  // of θ = k·(1/M)·π, k = 0 … M-1
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
