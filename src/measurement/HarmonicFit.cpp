#include "measurement/HarmonicFit.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>

namespace tonewell {
namespace {

// Samples per chunk: the tables of ten harmonics stay in the first-level cache.
constexpr std::size_t kChunk = 64;

constexpr double kTwoPi = 6.283185307179586476925286766559;

// Σ e^{jθn} over n = first … first + count − 1, in closed form (Dirichlet kernel).
std::complex<double> ExponentialSum(double theta, std::size_t first, std::size_t count) {
    theta = std::remainder(theta, kTwoPi);
    const double half = 0.5 * theta;
    const double denominator = std::sin(half);
    const double centre = static_cast<double>(first) + 0.5 * (static_cast<double>(count) - 1.0);
    double magnitude = static_cast<double>(count);
    if (std::fabs(denominator) > 1e-15) magnitude = std::sin(half * static_cast<double>(count)) / denominator;
    return std::polar(magnitude, std::remainder(theta * centre, kTwoPi));
}

// Two doubles handled as one value; the compiler maps it onto the machine's vector registers.
typedef double Pair __attribute__((vector_size(16)));

inline Pair Load(const double* p) {
    Pair v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void Store(double* p, Pair v) { std::memcpy(p, &v, sizeof v); }

// Two dot products of x against the rows a and b, with independent partial sums so that the
// loop pipelines (the order of the additions is free here).
void DotPair(const double* x, const double* a, const double* b, std::size_t count, double& sumA, double& sumB) {
    Pair a0{}, a1{}, b0{}, b1{};
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const Pair x0 = Load(x + i), x1 = Load(x + i + 2);
        a0 += x0 * Load(a + i);
        a1 += x1 * Load(a + i + 2);
        b0 += x0 * Load(b + i);
        b1 += x1 * Load(b + i + 2);
    }
    const Pair ta = a0 + a1, tb = b0 + b1;
    sumA = ta[0] + ta[1];
    sumB = tb[0] + tb[1];
    for (; i < count; ++i) {
        sumA += x[i] * a[i];
        sumB += x[i] * b[i];
    }
}

}  // namespace

void HarmonicBasis::prepare(double omega, int harmonics) {
    omega_ = omega;
    harmonics_ = std::max(harmonics, 0);
    cos_.resize(static_cast<std::size_t>(harmonics_) * kChunk);
    sin_.resize(cos_.size());
    for (int h = 1; h <= harmonics_; ++h)
        for (std::size_t m = 0; m < kChunk; ++m) {
            const double angle = std::remainder(h * omega * static_cast<double>(m), kTwoPi);
            cos_[(h - 1) * kChunk + m] = std::cos(angle);
            sin_[(h - 1) * kChunk + m] = std::sin(angle);
        }
}

void HarmonicBasis::project(const double* x, std::size_t count, std::size_t first, double* out) const {
    std::fill(out, out + size(), 0.0);
    for (std::size_t done = 0; done < count; done += kChunk) {
        const std::size_t m = std::min(kChunk, count - done);
        const double* chunk = x + done;
        double constant = 0.0;
        for (std::size_t i = 0; i < m; ++i) constant += chunk[i];
        out[0] += constant;
        // cos and sin of hω at the chunk's start, h = 1 … P, by powers of the first harmonic's.
        const double start = std::remainder(omega_ * static_cast<double>(first + done), kTwoPi);
        const double c1 = std::cos(start), s1 = std::sin(start);
        double ch = c1, sh = s1;
        for (int h = 1; h <= harmonics_; ++h) {
            double sumCos, sumSin;
            DotPair(chunk, &cos_[(h - 1) * kChunk], &sin_[(h - 1) * kChunk], m, sumCos, sumSin);
            // cos(a + b) = cos a cos b − sin a sin b; sin(a + b) = sin a cos b + cos a sin b.
            out[2 * h - 1] += ch * sumCos - sh * sumSin;
            out[2 * h] += sh * sumCos + ch * sumSin;
            const double next = ch * c1 - sh * s1;
            sh = sh * c1 + ch * s1;
            ch = next;
        }
    }
}

void HarmonicBasis::gram(std::size_t first, std::size_t count, double* out) const {
    const std::size_t n = size();
    // E(m) = Σ e^{jmωn} for m = 0 … 2P; the products of cosines and sines are half sums of
    // E at the difference and the sum of their orders.
    std::vector<std::complex<double>> sums(2 * static_cast<std::size_t>(harmonics_) + 1);
    for (std::size_t m = 0; m < sums.size(); ++m)
        sums[m] = m == 0 ? std::complex<double>(static_cast<double>(count), 0.0)
                         : ExponentialSum(static_cast<double>(m) * omega_, first, count);
    out[0] = static_cast<double>(count);
    for (int p = 1; p <= harmonics_; ++p) {
        out[2 * p - 1] = out[(2 * p - 1) * n] = sums[p].real();
        out[2 * p] = out[2 * p * n] = sums[p].imag();
    }
    for (int p = 1; p <= harmonics_; ++p)
        for (int q = p; q <= harmonics_; ++q) {
            const std::complex<double> difference = sums[q - p];
            const std::complex<double> sum = sums[p + q];
            const double cc = 0.5 * (difference.real() + sum.real());
            const double ss = 0.5 * (difference.real() - sum.real());
            // cos(pφ)·sin(qφ) = ½[sin((p+q)φ) + sin((q−p)φ)]
            const double cs = 0.5 * (sum.imag() + difference.imag());
            const double sc = 0.5 * (sum.imag() - difference.imag());  // sin(pφ)·cos(qφ)
            const std::size_t cp = 2 * p - 1, sp = 2 * p, cq = 2 * q - 1, sq = 2 * q;
            out[cp * n + cq] = out[cq * n + cp] = cc;
            out[sp * n + sq] = out[sq * n + sp] = ss;
            out[cp * n + sq] = out[sq * n + cp] = cs;
            out[sp * n + cq] = out[cq * n + sp] = sc;
        }
}

void HarmonicBasis::subtract(const double* coefficients, double* x, std::size_t count, std::size_t first) const {
    std::vector<double> alpha(static_cast<std::size_t>(harmonics_)), beta(alpha.size());
    for (std::size_t done = 0; done < count; done += kChunk) {
        const std::size_t m = std::min(kChunk, count - done);
        double* chunk = x + done;
        const double start = std::remainder(omega_ * static_cast<double>(first + done), kTwoPi);
        const double c1 = std::cos(start), s1 = std::sin(start);
        double ch = c1, sh = s1;
        for (int h = 1; h <= harmonics_; ++h) {
            // a·cos(h(s + i)) + b·sin(h(s + i)) = α·cos(hi) + β·sin(hi)
            const double a = coefficients[2 * h - 1], b = coefficients[2 * h];
            alpha[h - 1] = a * ch + b * sh;
            beta[h - 1] = b * ch - a * sh;
            const double next = ch * c1 - sh * s1;
            sh = sh * c1 + ch * s1;
            ch = next;
        }
        // The model of two samples at a time summed in registers, then taken off.
        for (std::size_t i = 0; i < m; i += 2) {
            const std::size_t lanes = std::min<std::size_t>(2, m - i);
            Pair model{coefficients[0], coefficients[0]};
            for (int h = 0; h < harmonics_; ++h) {
                const double* tc = &cos_[h * kChunk + i];
                const double* ts = &sin_[h * kChunk + i];
                model += Pair{alpha[h], alpha[h]} * Load(tc) + Pair{beta[h], beta[h]} * Load(ts);
            }
            for (std::size_t lane = 0; lane < lanes; ++lane) chunk[i + lane] -= model[lane];
        }
    }
}

bool SolveSymmetric(double* a, double* rhs, std::size_t n) {
    // Cholesky a = L·Lᵀ in the lower triangle; a pivot that loses all but the last digits of
    // its diagonal means two basis functions coincide over the stretch.
    for (std::size_t j = 0; j < n; ++j) {
        double diagonal = a[j * n + j];
        for (std::size_t k = 0; k < j; ++k) diagonal -= a[j * n + k] * a[j * n + k];
        if (!(diagonal > 1e-12 * std::fabs(a[j * n + j]))) return false;
        const double pivot = std::sqrt(diagonal);
        a[j * n + j] = pivot;
        for (std::size_t i = j + 1; i < n; ++i) {
            double value = a[i * n + j];
            for (std::size_t k = 0; k < j; ++k) value -= a[i * n + k] * a[j * n + k];
            a[i * n + j] = value / pivot;
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        double value = rhs[i];
        for (std::size_t k = 0; k < i; ++k) value -= a[i * n + k] * rhs[k];
        rhs[i] = value / a[i * n + i];
    }
    for (std::size_t i = n; i-- > 0;) {
        double value = rhs[i];
        for (std::size_t k = i + 1; k < n; ++k) value -= a[k * n + i] * rhs[k];
        rhs[i] = value / a[i * n + i];
    }
    return true;
}

}  // namespace tonewell
