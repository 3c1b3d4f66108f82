#include "spectrum/Fft.h"

#include "platform/ReportOutOfMemory.h"
#include "platform/Shell.h"

#include <cmath>
#include <cstring>
#include <new>

#if defined(__GNUC__) && !defined(__clang__)
// The vector helpers below are internal; their calling convention never crosses a library.
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace tonewell {

namespace {

// Eight floats handled as one value; the compiler maps it onto the machine's vector registers.
// Every lane does exactly the float operation the scalar code would do (no fused multiply-add,
// the core is built with -ffp-contract=off), so the bits do not depend on the width.
typedef float Vec8 __attribute__((vector_size(32)));
typedef float Vec4 __attribute__((vector_size(16)));

template <typename V>
inline V load(const float* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename V>
inline void store(float* p, V v) {
    std::memcpy(p, &v, sizeof v);
}

inline Vec8 reversed(Vec8 v) { return __builtin_shufflevector(v, v, 7, 6, 5, 4, 3, 2, 1, 0); }

bool isPowerOfTwo(int n) { return n >= 2 && (n & (n - 1)) == 0; }

// One stage of butterflies with half length h >= width of V, groups of le = 2h.
template <typename V>
void vectorStage(float* re, float* im, int n, int h, const float* ur, const float* ui) {
    constexpr int kWidth = sizeof(V) / sizeof(float);
    const int le = 2 * h;
    for (int i0 = 0; i0 < n; i0 += le) {
        float* r0 = re + i0;
        float* i0p = im + i0;
        float* r1 = r0 + h;
        float* i1 = i0p + h;
        for (int j = 0; j < h; j += kWidth) {
            V wr = load<V>(ur + j), wi = load<V>(ui + j);
            V pr = load<V>(r1 + j), pi = load<V>(i1 + j);
            V tr = pr * wr - pi * wi;
            V ti = pr * wi + pi * wr;
            V xr = load<V>(r0 + j), xi = load<V>(i0p + j);
            store(r1 + j, xr - tr);
            store(i1 + j, xi - ti);
            store(r0 + j, xr + tr);
            store(i0p + j, xi + ti);
        }
    }
}

// The same for the short stages (h = 1, 2), one butterfly at a time.
void scalarStage(float* re, float* im, int n, int h, const float* ur, const float* ui) {
    const int le = 2 * h;
    for (int i0 = 0; i0 < n; i0 += le) {
        for (int j = 0; j < h; ++j) {
            int i = i0 + j, p = i + h;
            float tr = re[p] * ur[j] - im[p] * ui[j];
            float ti = re[p] * ui[j] + im[p] * ur[j];
            re[p] = re[i] - tr;
            im[p] = im[i] - ti;
            re[i] = re[i] + tr;
            im[i] = im[i] + ti;
        }
    }
}

}  // namespace

float AnalyserPi() { return static_cast<float>(4.0 * std::atan(1.0)); }

bool ComplexFftPlan::prepare(int n) noexcept {
    n_ = 0;
    if (!isPowerOfTwo(n)) return false;
    try {
        swaps_.clear();
        int j = 0;
        for (int i = 0; i < n - 1; ++i) {
            if (i < j) {
                swaps_.push_back(static_cast<std::uint32_t>(i));
                swaps_.push_back(static_cast<std::uint32_t>(j));
            }
            int k = n / 2;
            while (k <= j) {
                j -= k;
                k /= 2;
            }
            j += k;
        }
        forwardRe_.assign(static_cast<std::size_t>(n - 1), 0.0f);
        forwardIm_.assign(static_cast<std::size_t>(n - 1), 0.0f);
        inverseRe_.assign(static_cast<std::size_t>(n - 1), 0.0f);
        inverseIm_.assign(static_cast<std::size_t>(n - 1), 0.0f);
    } catch (const std::bad_alloc&) {
        swaps_ = {};
        forwardRe_ = forwardIm_ = inverseRe_ = inverseIm_ = {};
        return false;
    }
    const float pi = AnalyserPi();
    const int stages = static_cast<int>(std::log(static_cast<double>(n)) / std::log(2.0) + 0.1);
    for (int s = 1; s <= stages; ++s) {
        const int le = static_cast<int>(std::pow(2.0, s) + 0.1);
        const int h = le / 2;
        const float angle = pi / static_cast<float>(h);
        const float wr = static_cast<float>(std::cos(static_cast<double>(angle)));
        const float wi = -static_cast<float>(std::sin(static_cast<double>(angle)));
        for (int direction = 0; direction < 2; ++direction) {
            float* outRe = (direction == 0 ? forwardRe_ : inverseRe_).data() + (h - 1);
            float* outIm = (direction == 0 ? forwardIm_ : inverseIm_).data() + (h - 1);
            const float wIm = direction == 0 ? wi : -wi;
            float ur = 1.0f, ui = 0.0f;
            for (int j = 0; j < h; ++j) {
                outRe[j] = ur;
                outIm[j] = ui;
                const float nr = wr * ur - wIm * ui;
                const float ni = wr * ui + wIm * ur;
                ur = nr;
                ui = ni;
            }
        }
    }
    n_ = n;
    return true;
}

void ComplexFftPlan::transform(float* re, float* im, int inverse) const {
    const int n = n_;
    if (n == 0) return;
    for (std::size_t s = 0; s < swaps_.size(); s += 2) {
        const std::uint32_t i = swaps_[s], j = swaps_[s + 1];
        std::swap(re[i], re[j]);
        std::swap(im[i], im[j]);
    }
    const float* tableRe = (inverse ? inverseRe_ : forwardRe_).data();
    const float* tableIm = (inverse ? inverseIm_ : forwardIm_).data();
    for (int h = 1; h < n; h *= 2) {
        const float* ur = tableRe + (h - 1);
        const float* ui = tableIm + (h - 1);
        if (h >= 8) {
            vectorStage<Vec8>(re, im, n, h, ur, ui);
        } else if (h == 4) {
            vectorStage<Vec4>(re, im, n, h, ur, ui);
        } else {
            scalarStage(re, im, n, h, ur, ui);
        }
    }
    if (inverse) {
        const float scale = 1.0f / static_cast<float>(n);
        for (int k = 0; k < n; ++k) {
            re[k] = re[k] * scale;
            im[k] = im[k] * scale;
        }
    }
}

bool RealFftPlan::prepare(int n) noexcept {
    n_ = 0;
    if (!isPowerOfTwo(n) || n < 4) return false;
    const int m = n / 2;
    if (!half_.prepare(m)) return false;
    try {
        sin_.assign(static_cast<std::size_t>(m), 0.0f);
        cos_.assign(static_cast<std::size_t>(m), 0.0f);
        zr_.assign(static_cast<std::size_t>(m), 0.0f);
        zi_.assign(static_cast<std::size_t>(m), 0.0f);
    } catch (const std::bad_alloc&) {
        sin_ = cos_ = zr_ = zi_ = {};
        half_ = ComplexFftPlan();
        return false;
    }
    const float pi = AnalyserPi();
    const float step = 1.0f / static_cast<float>(m);
    for (int k = 0; k < m; ++k) {
        const float theta = static_cast<float>(k) * step * pi;
        sin_[static_cast<std::size_t>(k)] = static_cast<float>(std::sin(static_cast<double>(theta)));
        cos_[static_cast<std::size_t>(k)] = static_cast<float>(std::cos(static_cast<double>(theta)));
    }
    n_ = n;
    return true;
}

void RealFftPlan::forward(float* re, float* im) {
    if (n_ == 0) return;
    const int m = n_ / 2;
    float* zr = zr_.data();
    float* zi = zi_.data();
    const float* sn = sin_.data();
    const float* cs = cos_.data();

    // Even samples as the real part, odd samples as the imaginary part.
    int k = 0;
    for (; k + 8 <= m; k += 8) {
        Vec8 a = load<Vec8>(re + 2 * k), b = load<Vec8>(re + 2 * k + 8);
        store(zr + k, Vec8(__builtin_shufflevector(a, b, 0, 2, 4, 6, 8, 10, 12, 14)));
        store(zi + k, Vec8(__builtin_shufflevector(a, b, 1, 3, 5, 7, 9, 11, 13, 15)));
    }
    for (; k < m; ++k) {
        zr[k] = re[2 * k];
        zi[k] = re[2 * k + 1];
    }
    half_.transform(zr, zi, 0);

    // Split into the spectra E (even samples) and O (odd samples) and combine them with the
    // twiddle of length n: X[k] = E[k] + O[k]·e^(-jθ), X[k+M] = E[k] - O[k]·e^(-jθ).
    // Halving a float is exact, so 0.5f gives the bits of halving in double and rounding.
    {
        const float er = zr[0], ei = 0.0f, orr = zi[0], oi = 0.0f;
        const float tr = oi * sn[0] + orr * cs[0];
        const float ti = oi * cs[0] - orr * sn[0];
        re[0] = er + tr;
        im[0] = ei + ti;
        re[m] = er - tr;
        im[m] = ei - ti;
    }
    const Vec8 half = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
    k = 1;
    for (; k + 8 <= m; k += 8) {
        const Vec8 zrk = load<Vec8>(zr + k), zik = load<Vec8>(zi + k);
        const Vec8 zrm = reversed(load<Vec8>(zr + (m - k - 7)));
        const Vec8 zim = reversed(load<Vec8>(zi + (m - k - 7)));
        const Vec8 er = (zrm + zrk) * half;
        const Vec8 ei = (zik - zim) * half;
        const Vec8 orr = (zim + zik) * half;
        const Vec8 oi = (zrk - zrm) * -half;
        const Vec8 s = load<Vec8>(sn + k), c = load<Vec8>(cs + k);
        const Vec8 tr = oi * s + orr * c;
        const Vec8 ti = oi * c - orr * s;
        store(re + k, er + tr);
        store(im + k, ei + ti);
        store(re + k + m, er - tr);
        store(im + k + m, ei - ti);
    }
    for (; k < m; ++k) {
        const float er = (zr[m - k] + zr[k]) * 0.5f;
        const float ei = (zi[k] - zi[m - k]) * 0.5f;
        const float orr = (zi[m - k] + zi[k]) * 0.5f;
        const float oi = (zr[k] - zr[m - k]) * -0.5f;
        const float tr = oi * sn[k] + orr * cs[k];
        const float ti = oi * cs[k] - orr * sn[k];
        re[k] = er + tr;
        im[k] = ei + ti;
        re[k + m] = er - tr;
        im[k + m] = ei - ti;
    }
}

int ComplexFft(float* re, float* im, int n, int inverse) {
    ComplexFftPlan plan;
    if (!plan.prepare(n)) return -1;
    plan.transform(re, im, inverse);
    return 0;
}

int RealFft(float* re, float* im, int n, int inverse, Shell& shell) {
    if (!isPowerOfTwo(n) || n < 4) return -1;
    RealFftPlan plan;
    if (!plan.prepare(n)) {
        ReportOutOfMemory(shell);
        return -1;
    }
    return RealFft(plan, re, im, inverse, shell);
}

int RealFft(RealFftPlan& plan, float* re, float* im, int inverse, Shell& shell) {
    if (plan.size() == 0) return -1;
    if (inverse != 0) {
        shell.showMessage("IFFT can not be handled.");
        return 0;
    }
    plan.forward(re, im);
    return 0;
}

}  // namespace tonewell
