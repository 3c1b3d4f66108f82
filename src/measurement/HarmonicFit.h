#pragma once
// Least-squares fit of a constant and the harmonics 1…P of one frequency to a stretch of
// samples, in double precision. The sums of the samples against each cosine and sine are taken
// chunk by chunk against a table of one chunk's cosines and sines, turned to the chunk's start by
// one rotation, so the inner loop is plain multiply-adds; the sums of the basis against itself
// are in closed form. No shared state; one object per user.

#include <cstddef>
#include <vector>

namespace tonewell {

// The basis 1, cos(hωn), sin(hωn) for h = 1 … P, in that order: index 0 the constant, 2h−1 the
// cosine and 2h the sine of harmonic h. n counts samples from the start of whatever stretch the
// caller calls "0" (a block of the record).
class HarmonicBasis {
public:
    // omega in radians per sample, 0 < P·omega < π.
    void prepare(double omega, int harmonics);
    double omega() const { return omega_; }
    int harmonics() const { return harmonics_; }
    std::size_t size() const { return 1 + 2 * static_cast<std::size_t>(harmonics_); }

    // out[j] = Σ x[i]·basis_j(first + i) over i < count; out holds size() values.
    void project(const double* x, std::size_t count, std::size_t first, double* out) const;
    // The basis' own sums Σ basis_j(n)·basis_k(n) over n = first … first + count − 1, size()²
    // values, row by row.
    void gram(std::size_t first, std::size_t count, double* out) const;
    // x[i] −= Σ coefficients[j]·basis_j(first + i) over i < count.
    void subtract(const double* coefficients, double* x, std::size_t count, std::size_t first) const;

private:
    double omega_ = 0.0;
    int harmonics_ = 0;
    // cos(hωm) and sin(hωm) for m < chunk, harmonic h at row h − 1.
    std::vector<double> cos_, sin_;
};

// Solves matrix·x = rhs for a symmetric positive-definite n×n matrix (row by row) through its
// Cholesky factor; x replaces rhs and the factor the matrix. False when the matrix is singular
// to working precision (the basis cannot be told apart over the stretch).
bool SolveSymmetric(double* matrix, double* rhs, std::size_t n);

}  // namespace tonewell
