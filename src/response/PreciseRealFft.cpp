#include "response/PreciseRealFft.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <numbers>
#include <utility>

namespace tonewell {

bool PreciseRealFft::prepare(std::size_t n) noexcept {
    n_ = 0;
    if (n < 4 || (n & (n - 1)) != 0 || n > (std::size_t{1} << 32)) return false;
    const std::size_t m = n / 2;
    try {
        reversal_.resize(m);
        unsigned bits = 0;
        while ((std::size_t{1} << bits) < m) ++bits;
        reversal_[0] = 0;
        for (std::size_t i = 1; i < m; ++i)
            reversal_[i] = static_cast<std::uint32_t>((reversal_[i >> 1] >> 1) | ((i & 1) << (bits - 1)));
        turnRe_.resize(m);
        turnIm_.resize(m);
        stageRe_.resize(m);
        stageIm_.resize(m);
        re_.resize(m);
        im_.resize(m);
    } catch (const std::bad_alloc&) {
        reversal_ = {};
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

namespace {

// Stages 1 and 2 together on [first, last): their twiddles are 1 and -j.
void FirstTwoStages(double* re, double* im, std::size_t first, std::size_t last) {
    for (std::size_t i = first; i < last; i += 4) {
        const double ar = re[i] + re[i + 1], ai = im[i] + im[i + 1];
        const double br = re[i] - re[i + 1], bi = im[i] - im[i + 1];
        const double cr = re[i + 2] + re[i + 3], ci = im[i + 2] + im[i + 3];
        const double dr = re[i + 2] - re[i + 3], di = im[i + 2] - im[i + 3];
        re[i] = ar + cr, im[i] = ai + ci;
        re[i + 2] = ar - cr, im[i + 2] = ai - ci;
        re[i + 1] = br + di, im[i + 1] = bi - dr;  // b + (-j)·d
        re[i + 3] = br - di, im[i + 3] = bi + dr;
    }
}

// Two doubles handled as one value; the compiler maps it onto the machine's vector registers.
// Each lane does exactly the double operation the scalar code would.
typedef double Pair __attribute__((vector_size(16)));

inline Pair Load(const double* p) {
    Pair v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void Store(double* p, Pair v) { std::memcpy(p, &v, sizeof v); }

// The stage of half length h (at least 2) on [first, last), a whole number of its groups.
void Stage(double* re, double* im, std::size_t first, std::size_t last, std::size_t h, const double* wr,
           const double* wi) {
    for (std::size_t i0 = first; i0 < last; i0 += 2 * h) {
        double* r0 = re + i0;
        double* q0 = im + i0;
        double* r1 = r0 + h;
        double* q1 = q0 + h;
        for (std::size_t j = 0; j < h; j += 2) {
            const Pair xr = Load(r0 + j), xi = Load(q0 + j), pr = Load(r1 + j), pi = Load(q1 + j);
            const Pair ur = Load(wr + j), ui = Load(wi + j);
            const Pair tr = pr * ur - pi * ui;
            const Pair ti = pr * ui + pi * ur;
            Store(r1 + j, xr - tr);
            Store(q1 + j, xi - ti);
            Store(r0 + j, xr + tr);
            Store(q0 + j, xi + ti);
        }
    }
}

// Points whose early stages run together while they stay in the processor's cache.
constexpr std::size_t kCachedBlock = 8192;

}  // namespace

void PreciseRealFft::transformHalf() {
    const std::size_t m = n_ / 2;
    double* re = re_.data();
    double* im = im_.data();
    if (m == 2) {  // one butterfly
        const double r = re[1], i = im[1];
        re[1] = re[0] - r, im[1] = im[0] - i;
        re[0] += r, im[0] += i;
        return;
    }
    // Each block through every stage that stays inside it, then the wider stages over all.
    const std::size_t block = std::min(m, kCachedBlock);
    for (std::size_t first = 0; first < m; first += block) {
        FirstTwoStages(re, im, first, first + block);
        for (std::size_t h = 4; h < block; h *= 2)
            Stage(re, im, first, first + block, h, stageRe_.data() + (h - 1), stageIm_.data() + (h - 1));
    }
    for (std::size_t h = block; h < m; h *= 2) Stage(re, im, 0, m, h, stageRe_.data() + (h - 1), stageIm_.data() + (h - 1));
}

void PreciseRealFft::forward(const double* samples, std::complex<double>* bins) {
    const std::size_t m = n_ / 2;
    // Packed straight into bit-reversed order, which the transform takes.
    for (std::size_t t = 0; t < m; ++t) {
        const std::uint32_t to = reversal_[t];
        re_[to] = samples[2 * t], im_[to] = samples[2 * t + 1];
    }
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
        re_[reversal_[k]] = z.real(), im_[reversal_[k]] = -z.imag();
        if (k != 0 && k != m - k) {
            // Z[m-k] = conj E[k] + j·conj O[k].
            const std::complex<double> zq = std::conj(even) + std::complex<double>(0.0, 1.0) * std::conj(odd);
            re_[reversal_[m - k]] = zq.real(), im_[reversal_[m - k]] = -zq.imag();
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
