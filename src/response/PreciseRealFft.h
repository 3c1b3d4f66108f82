#pragma once
// Real-input Fourier transforms in double precision for the frequency response. The analyser's
// float transforms build their twiddles by recurrence, which at the half-million points of a
// sweep's transform drifts by about 1e-4: enough to move a response 50 dB down by a few tenths
// of a dB and degrees. Here every twiddle comes from one table of exact values, so the error
// stays near double rounding at any size. A plan is owned by its user; one thread at a time.

#include <complex>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tonewell {

class PreciseRealFft {
public:
    // Builds the tables for n real points, n a power of two >= 4; false (plan left empty) when
    // memory runs out or n is not such a power.
    bool prepare(std::size_t n) noexcept;
    std::size_t size() const { return n_; }

    // X[k] = sum x[t]·e^(-j2πkt/n), unscaled, for k = 0 … n/2 (the rest mirror them):
    // samples holds n values, bins receives n/2 + 1.
    void forward(const double* samples, std::complex<double>* bins);
    // The n real samples of the Hermitian spectrum whose bins 0 … n/2 are given, with the
    // 1/n factor (the imaginary parts of bins 0 and n/2 are ignored).
    void inverse(const std::complex<double>* bins, double* samples);

private:
    // In-place complex transform of n/2 points on split arrays (the forward direction), their
    // input in bit-reversed order, the output in natural order.
    void transformHalf();

    std::size_t n_ = 0;
    std::vector<std::uint32_t> reversal_;  // index i of the half length bit-reversed
    std::vector<double> turnRe_, turnIm_;  // e^(-jπk/m), k = 0 … m-1, m = n/2
    std::vector<double> stageRe_, stageIm_;  // twiddles of stage h at offset h - 1
    std::vector<double> re_, im_;            // the half-length work arrays
};

}  // namespace tonewell
