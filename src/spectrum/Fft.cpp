#include "spectrum/Fft.h"

#include "platform/ReportOutOfMemory.h"
#include "platform/Shell.h"

#include <cmath>
#include <cstring>
#include <new>

namespace tonewell {

namespace {

// Four floats handled as one value; the compiler maps it onto the machine's vector registers.
// Every lane does exactly the float operation the scalar code would do (no fused multiply-add,
// the core is built with -ffp-contract=off), so the bits do not depend on the width.
typedef float Vec4 __attribute__((vector_size(16)));

inline Vec4 load(const float* p) {
    Vec4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store(float* p, Vec4 v) { std::memcpy(p, &v, sizeof v); }

inline Vec4 splat(float x) { return Vec4{x, x, x, x}; }

inline Vec4 reversed(Vec4 v) { return __builtin_shufflevector(v, v, 3, 2, 1, 0); }

bool isPowerOfTwo(int n) { return n >= 2 && (n & (n - 1)) == 0; }

// Butterflies on lanes: p = x[p]·u; x[p] = x[i] - t; x[i] = x[i] + t.
struct Butterfly {
    Vec4 xr, xi, pr, pi;
    void run(Vec4 wr, Vec4 wi) {
        const Vec4 tr = pr * wr - pi * wi;
        const Vec4 ti = pr * wi + pi * wr;
        pr = xr - tr;
        pi = xi - ti;
        xr = xr + tr;
        xi = xi + ti;
    }
};

// A stage with half length h >= 4, groups of le = 2h, the lanes along j.
void wideStage(float* re, float* im, int n, int h, const float* ur, const float* ui) {
    const int le = 2 * h;
    for (int i0 = 0; i0 < n; i0 += le) {
        float* r0 = re + i0;
        float* q0 = im + i0;
        float* r1 = r0 + h;
        float* q1 = q0 + h;
        for (int j = 0; j < h; j += 4) {
            Butterfly b{load(r0 + j), load(q0 + j), load(r1 + j), load(q1 + j)};
            b.run(load(ur + j), load(ui + j));
            store(r0 + j, b.xr);
            store(q0 + j, b.xi);
            store(r1 + j, b.pr);
            store(q1 + j, b.pi);
        }
    }
}

// Two consecutive stages (half lengths h and 2h, h >= 4) in one pass over the data: the four
// elements i, i+h, i+2h, i+3h meet in registers. Each butterfly still uses its own stage's
// twiddle, so the values are those of two separate passes.
void pairedStages(float* re, float* im, int n, int h, const float* ur1, const float* ui1,
                  const float* ur2, const float* ui2) {
    const int span = 4 * h;
    for (int i0 = 0; i0 < n; i0 += span) {
        float* ra = re + i0;
        float* ia = im + i0;
        for (int j = 0; j < h; j += 4) {
            Butterfly ab{load(ra + j), load(ia + j), load(ra + j + h), load(ia + j + h)};
            Butterfly cd{load(ra + j + 2 * h), load(ia + j + 2 * h), load(ra + j + 3 * h),
                         load(ia + j + 3 * h)};
            const Vec4 wr1 = load(ur1 + j), wi1 = load(ui1 + j);
            ab.run(wr1, wi1);
            cd.run(wr1, wi1);
            Butterfly ac{ab.xr, ab.xi, cd.xr, cd.xi};
            Butterfly bd{ab.pr, ab.pi, cd.pr, cd.pi};
            ac.run(load(ur2 + j), load(ui2 + j));
            bd.run(load(ur2 + j + h), load(ui2 + j + h));
            store(ra + j, ac.xr);
            store(ia + j, ac.xi);
            store(ra + j + h, bd.xr);
            store(ia + j + h, bd.xi);
            store(ra + j + 2 * h, ac.pr);
            store(ia + j + 2 * h, ac.pi);
            store(ra + j + 3 * h, bd.pr);
            store(ia + j + 3 * h, bd.pi);
        }
    }
}

// 4×4 transpose: four blocks of four in, the four positions across the blocks out (and back).
inline void transpose(Vec4& v0, Vec4& v1, Vec4& v2, Vec4& v3) {
    const Vec4 t0 = __builtin_shufflevector(v0, v1, 0, 4, 1, 5);
    const Vec4 t1 = __builtin_shufflevector(v0, v1, 2, 6, 3, 7);
    const Vec4 t2 = __builtin_shufflevector(v2, v3, 0, 4, 1, 5);
    const Vec4 t3 = __builtin_shufflevector(v2, v3, 2, 6, 3, 7);
    v0 = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
    v1 = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
    v2 = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
    v3 = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

// Stages h = 1 and h = 2 for n >= 16: four blocks of four points per step, one block per lane.
void firstTwoStages(float* re, float* im, int n, const float* ur, const float* ui) {
    // Stage 1 has the one twiddle ur[0], ui[0]; stage 2 the two at offset 1.
    const Vec4 wr1 = splat(ur[0]), wi1 = splat(ui[0]);
    const Vec4 wr2a = splat(ur[1]), wi2a = splat(ui[1]);
    const Vec4 wr2b = splat(ur[2]), wi2b = splat(ui[2]);
    for (int i = 0; i < n; i += 16) {
        Vec4 r0 = load(re + i), r1 = load(re + i + 4), r2 = load(re + i + 8), r3 = load(re + i + 12);
        Vec4 q0 = load(im + i), q1 = load(im + i + 4), q2 = load(im + i + 8), q3 = load(im + i + 12);
        transpose(r0, r1, r2, r3);
        transpose(q0, q1, q2, q3);
        Butterfly ab{r0, q0, r1, q1}, cd{r2, q2, r3, q3};
        ab.run(wr1, wi1);
        cd.run(wr1, wi1);
        Butterfly ac{ab.xr, ab.xi, cd.xr, cd.xi}, bd{ab.pr, ab.pi, cd.pr, cd.pi};
        ac.run(wr2a, wi2a);
        bd.run(wr2b, wi2b);
        r0 = ac.xr, r1 = bd.xr, r2 = ac.pr, r3 = bd.pr;
        q0 = ac.xi, q1 = bd.xi, q2 = ac.pi, q3 = bd.pi;
        transpose(r0, r1, r2, r3);
        transpose(q0, q1, q2, q3);
        store(re + i, r0), store(re + i + 4, r1), store(re + i + 8, r2), store(re + i + 12, r3);
        store(im + i, q0), store(im + i + 4, q1), store(im + i + 8, q2), store(im + i + 12, q3);
    }
}

// Any stage one butterfly at a time (the short transforms of 2 and 4 points).
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
        reversal_.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) reversal_[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(i);
        for (std::size_t s = 0; s < swaps_.size(); s += 2)
            std::swap(reversal_[swaps_[s]], reversal_[swaps_[s + 1]]);
        forwardRe_.assign(static_cast<std::size_t>(n - 1), 0.0f);
        forwardIm_.assign(static_cast<std::size_t>(n - 1), 0.0f);
        inverseRe_.assign(static_cast<std::size_t>(n - 1), 0.0f);
        inverseIm_.assign(static_cast<std::size_t>(n - 1), 0.0f);
    } catch (const std::bad_alloc&) {
        swaps_ = {};
        reversal_ = {};
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
    if (n_ == 0) return;
    for (std::size_t s = 0; s < swaps_.size(); s += 2) {
        const std::uint32_t i = swaps_[s], j = swaps_[s + 1];
        std::swap(re[i], re[j]);
        std::swap(im[i], im[j]);
    }
    butterflies(re, im, inverse);
}

void ComplexFftPlan::butterflies(float* re, float* im, int inverse) const {
    const int n = n_;
    const float* tableRe = (inverse ? inverseRe_ : forwardRe_).data();
    const float* tableIm = (inverse ? inverseIm_ : forwardIm_).data();
    auto stageRe = [&](int h) { return tableRe + (h - 1); };
    auto stageIm = [&](int h) { return tableIm + (h - 1); };
    int h = 1;
    if (n < 16) {
        for (; h < n; h *= 2) scalarStage(re, im, n, h, stageRe(h), stageIm(h));
    } else {
        firstTwoStages(re, im, n, tableRe, tableIm);
        for (h = 4; 2 * h < n; h *= 4)
            pairedStages(re, im, n, h, stageRe(h), stageIm(h), stageRe(2 * h), stageIm(2 * h));
        if (h < n) wideStage(re, im, n, h, stageRe(h), stageIm(h));
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

    // Even samples as the real part, odd samples as the imaginary part, each taken straight to
    // its bit-reversed place (the permutation the complex transform would apply next).
    const std::uint32_t* from = half_.reversal();
    for (int k = 0; k < m; ++k) {
        const std::uint32_t source = 2 * from[k];
        zr[k] = re[source];
        zi[k] = re[source + 1];
    }
    half_.butterflies(zr, zi, 0);

    // Split into the spectra E (even samples) and O (odd samples) and combine them with the
    // twiddle of length n: X[k] = E[k] + O[k]·e^(-jθ), X[k+M] = E[k] - O[k]·e^(-jθ).
    // Halving a float is exact, so 0.5f gives the bits of halving in double and rounding.
    int k = 1;
    {
        const float er = zr[0], ei = 0.0f, orr = zi[0], oi = 0.0f;
        const float tr = oi * sn[0] + orr * cs[0];
        const float ti = oi * cs[0] - orr * sn[0];
        re[0] = er + tr;
        im[0] = ei + ti;
        re[m] = er - tr;
        im[m] = ei - ti;
    }
    const Vec4 half = splat(0.5f);
    for (; k + 4 <= m; k += 4) {
        const Vec4 zrk = load(zr + k), zik = load(zi + k);
        const Vec4 zrm = reversed(load(zr + (m - k - 3)));
        const Vec4 zim = reversed(load(zi + (m - k - 3)));
        const Vec4 er = (zrm + zrk) * half;
        const Vec4 ei = (zik - zim) * half;
        const Vec4 orr = (zim + zik) * half;
        const Vec4 oi = (zrk - zrm) * -half;
        const Vec4 s = load(sn + k), c = load(cs + k);
        const Vec4 tr = oi * s + orr * c;
        const Vec4 ti = oi * c - orr * s;
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
