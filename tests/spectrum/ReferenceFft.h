#pragma once
// Yardsticks for the analyser's transforms, written for plainness, not speed:
// - the prescribed radix-2 arithmetic step by step (twiddles by recurrence inside the loops,
//   halving in double, six fresh work arrays), which the optimised transforms must match bit
//   for bit;
// - a direct O(n²) DFT in double, independent of both, for checking the mathematics.

#include <cmath>
#include <complex>
#include <utility>
#include <vector>

namespace tonewell::reference {

inline float pi() { return static_cast<float>(4.0 * std::atan(1.0)); }

inline void complexFft(float* re, float* im, int n, int inverse) {
    const int m = static_cast<int>(std::log(static_cast<double>(n)) / std::log(2.0) + 0.1);
    int j = 0;
    for (int i = 0; i <= n - 2; ++i) {
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
        int k = n / 2;
        while (k <= j) {
            j = j - k;
            k = k / 2;
        }
        j = j + k;
    }
    for (int s = 1; s <= m; ++s) {
        const int le = static_cast<int>(std::pow(2.0, s) + 0.1);
        const int h = le / 2;
        float ur = 1.0f, ui = 0.0f;
        const float angle = pi() / static_cast<float>(h);
        const float wr = static_cast<float>(std::cos(static_cast<double>(angle)));
        float wi = -static_cast<float>(std::sin(static_cast<double>(angle)));
        if (inverse != 0) wi = -wi;
        for (int jj = 0; jj < h; ++jj) {
            for (int i = jj; i < n; i += le) {
                const int p = i + h;
                const float tr = re[p] * ur - im[p] * ui;
                const float ti = re[p] * ui + im[p] * ur;
                re[p] = re[i] - tr;
                im[p] = im[i] - ti;
                re[i] = re[i] + tr;
                im[i] = im[i] + ti;
            }
            const float nr = wr * ur - wi * ui;
            const float ni = wr * ui + wi * ur;
            ur = nr;
            ui = ni;
        }
    }
    if (inverse != 0) {
        const float scale = 1.0f / static_cast<float>(n);
        for (int k = 0; k < n; ++k) {
            re[k] *= scale;
            im[k] *= scale;
        }
    }
}

inline void realFft(float* re, float* im, int n) {
    const int m = n / 2;
    std::vector<float> zr(m), zi(m), er(m), ei(m), orr(m), oi(m);
    for (int k = 0; k < m; ++k) {
        zr[k] = re[2 * k];
        zi[k] = re[2 * k + 1];
    }
    complexFft(zr.data(), zi.data(), m, 0);
    er[0] = zr[0];
    ei[0] = 0.0f;
    orr[0] = zi[0];
    oi[0] = 0.0f;
    for (int k = 1; k < m; ++k) {
        er[k] = static_cast<float>(static_cast<double>(zr[m - k] + zr[k]) * 0.5);
        ei[k] = static_cast<float>(static_cast<double>(zi[k] - zi[m - k]) * 0.5);
        orr[k] = static_cast<float>(static_cast<double>(zi[m - k] + zi[k]) * 0.5);
        oi[k] = static_cast<float>(static_cast<double>(zr[k] - zr[m - k]) * -0.5);
    }
    for (int k = 0; k < m; ++k) {
        const float theta = static_cast<float>(k) * (1.0f / static_cast<float>(m)) * pi();
        const float s = static_cast<float>(std::sin(static_cast<double>(theta)));
        const float c = static_cast<float>(std::cos(static_cast<double>(theta)));
        const float tr = oi[k] * s + orr[k] * c;
        const float ti = oi[k] * c - orr[k] * s;
        re[k] = er[k] + tr;
        im[k] = ei[k] + ti;
        re[k + m] = er[k] - tr;
        im[k + m] = ei[k] - ti;
    }
}

// X[k] = Σ x[t]·e^(∓j2πkt/n), in double (forward sign minus).
inline std::vector<std::complex<double>> dft(const std::vector<std::complex<double>>& x,
                                             bool inverse = false) {
    const std::size_t n = x.size();
    const double sign = inverse ? 1.0 : -1.0;
    const double twoPi = 8.0 * std::atan(1.0);
    std::vector<std::complex<double>> out(n);
    for (std::size_t k = 0; k < n; ++k) {
        std::complex<double> sum = 0.0;
        for (std::size_t t = 0; t < n; ++t) {
            const double angle = sign * twoPi * static_cast<double>((k * t) % n) / n;
            sum += x[t] * std::complex<double>(std::cos(angle), std::sin(angle));
        }
        out[k] = sum;
    }
    return out;
}

}  // namespace tonewell::reference
