#include "response/PreciseRealFft.h"

#include <cmath>
#include <new>
#include <numbers>
#include <utility>

namespace tonewell {

bool PreciseRealFft::prepare(std::size_t n) noexcept {
    n_ = 0;
    if (n < 4 || (n & (n - 1)) != 0 || n > (std::size_t{1} << 32)) return false;
    const std::size_t m = n / 2;
    try {
        swaps_.clear();
        swaps_.reserve(m);
        for (std::size_t i = 1, j = 0; i < m; ++i) {
            std::size_t bit = m >> 1;
            for (; j & bit; bit >>= 1) j ^= bit;
            j ^= bit;
            if (i < j) {
                swaps_.push_back(static_cast<std::uint32_t>(i));
                swaps_.push_back(static_cast<std::uint32_t>(j));
            }
        }
        turnRe_.resize(m);
        turnIm_.resize(m);
        stageRe_.resize(m);
        stageIm_.resize(m);
        re_.resize(m);
        im_.resize(m);
    } catch (const std::bad_alloc&) {
        swaps_ = {};
        turnRe_ = turnIm_ = stageRe_ = stageIm_ = re_ = im_ = {};
        return false;
    }
    // e^(-jπk/m) from the first octant only, so that the symmetric values agree exactly.
    const std::size_t quarter = m / 2;  // the angle π/2
    for (std::size_t k = 0; k <= quarter / 2; ++k) {
        const double angle = std::numbers::pi * static_cast<double>(k) / static_cast<double>(m);
        const double c = std::cos(angle), s = std::sin(angle);
        turnRe_[k] = c, turnIm_[k] = -s;
        turnRe_[quarter - k] = s, turnIm_[quarter - k] = -c;
    }
    for (std::size_t k = 1; k < quarter; ++k) {  // the second quadrant mirrors the first
        turnRe_[quarter + k] = -turnRe_[quarter - k];
        turnIm_[quarter + k] = turnIm_[quarter - k];
    }
    // Stage h (h = 1, 2, 4 … m/2) needs e^(-jπj/h) = turn[j·m/h], j < h.
    for (std::size_t h = 1; h < m; h *= 2)
        for (std::size_t j = 0; j < h; ++j) {
            stageRe_[h - 1 + j] = turnRe_[j * (m / h)];
            stageIm_[h - 1 + j] = turnIm_[j * (m / h)];
        }
    n_ = n;
    return true;
}

void PreciseRealFft::transformHalf() {
    const std::size_t m = n_ / 2;
    double* re = re_.data();
    double* im = im_.data();
    for (std::size_t s = 0; s < swaps_.size(); s += 2) {
        std::swap(re[swaps_[s]], re[swaps_[s + 1]]);
        std::swap(im[swaps_[s]], im[swaps_[s + 1]]);
    }
    std::size_t h = 1;
    if (m >= 4) {
        // Stages 1 and 2 together: their twiddles are 1 and -j.
        for (std::size_t i = 0; i < m; i += 4) {
            const double ar = re[i] + re[i + 1], ai = im[i] + im[i + 1];
            const double br = re[i] - re[i + 1], bi = im[i] - im[i + 1];
            const double cr = re[i + 2] + re[i + 3], ci = im[i + 2] + im[i + 3];
            const double dr = re[i + 2] - re[i + 3], di = im[i + 2] - im[i + 3];
            re[i] = ar + cr, im[i] = ai + ci;
            re[i + 2] = ar - cr, im[i + 2] = ai - ci;
            re[i + 1] = br + di, im[i + 1] = bi - dr;  // b + (-j)·d
            re[i + 3] = br - di, im[i + 3] = bi + dr;
        }
        h = 4;
    }
    for (; h < m; h *= 2) {  // a last single stage
        const double* wr = stageRe_.data() + (h - 1);
        const double* wi = stageIm_.data() + (h - 1);
        for (std::size_t i0 = 0; i0 < m; i0 += 2 * h) {
            double* r0 = re + i0;
            double* q0 = im + i0;
            double* r1 = r0 + h;
            double* q1 = q0 + h;
            for (std::size_t j = 0; j < h; ++j) {
                const double tr = r1[j] * wr[j] - q1[j] * wi[j];
                const double ti = r1[j] * wi[j] + q1[j] * wr[j];
                r1[j] = r0[j] - tr;
                q1[j] = q0[j] - ti;
                r0[j] += tr;
                q0[j] += ti;
            }
        }
    }
}

void PreciseRealFft::forward(const double* samples, std::complex<double>* bins) {
    const std::size_t m = n_ / 2;
    for (std::size_t t = 0; t < m; ++t) re_[t] = samples[2 * t], im_[t] = samples[2 * t + 1];
    transformHalf();
    // Z = E + jO, the transforms of the even and odd samples; X[k] = E[k] + e^(-j2πk/n)·O[k].
    for (std::size_t k = 0; k <= m / 2; ++k) {
        const std::size_t q = (m - k) % m;
        const std::complex<double> z(re_[k], im_[k]), zq(re_[q], -im_[q]);  // Z[k], conj Z[m-k]
        const std::complex<double> even = 0.5 * (z + zq);
        const std::complex<double> odd = std::complex<double>(0.0, -0.5) * (z - zq);
        const std::complex<double> turn(turnRe_[k], turnIm_[k]);
        bins[k] = even + turn * odd;
        // Bin m - k from the same pair: E[m-k] = conj E[k], O[m-k] = conj O[k], turn[m-k] = -conj turn[k].
        bins[m - k] = std::conj(even) - std::conj(turn) * std::conj(odd);
    }
}

void PreciseRealFft::inverse(const std::complex<double>* bins, double* samples) {
    const std::size_t m = n_ / 2;
    // E[k] = (X[k] + conj X[m-k]) / 2, O[k] = (X[k] - conj X[m-k])·e^(+j2πk/n) / 2, Z = E + jO;
    // the inverse of Z by the forward transform of its conjugate.
    for (std::size_t k = 0; k <= m / 2; ++k) {
        std::complex<double> x = bins[k], xq = std::conj(bins[m - k]);
        if (k == 0) x = {bins[0].real(), 0.0}, xq = {bins[m].real(), 0.0};
        const std::complex<double> turn(turnRe_[k], -turnIm_[k]);
        const std::complex<double> even = 0.5 * (x + xq);
        const std::complex<double> odd = 0.5 * (x - xq) * turn;
        const std::complex<double> z = even + std::complex<double>(0.0, 1.0) * odd;
        re_[k] = z.real(), im_[k] = -z.imag();
        if (k != 0 && k != m - k) {
            // Z[m-k] = conj E[k] + j·conj O[k].
            const std::complex<double> zq = std::conj(even) + std::complex<double>(0.0, 1.0) * std::conj(odd);
            re_[m - k] = zq.real(), im_[m - k] = -zq.imag();
        }
    }
    transformHalf();
    // z = conj(transform of conj Z) / m.
    const double scale = 1.0 / static_cast<double>(m);
    for (std::size_t t = 0; t < m; ++t) {
        samples[2 * t] = re_[t] * scale;
        samples[2 * t + 1] = -im_[t] * scale;
    }
}

}  // namespace tonewell
