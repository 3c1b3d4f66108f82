#include "spectrum/Fft.h"

#include "platform/ReportOutOfMemory.h"
#include "platform/Shell.h"

#include <cmath>
#include <cstring>
#include <new>

// The kernels are templates on the vector type, always inlined into one entry point per width;
// the eight-lane instances only ever run inside the AVX2 entry points, so their by-value vectors
// never cross a call made with the baseline ABI.
#pragma GCC diagnostic ignored "-Wpsabi"

// The eight-lane kernels need the x86 AVX2 instructions, taken at run time when present.
#if defined(__x86_64__) || defined(__i386__)
#define TONEWELL_FFT_AVX2 1
#else
#define TONEWELL_FFT_AVX2 0
#endif

namespace tonewell {

namespace {

// Four or eight floats handled as one value; the compiler maps it onto the vector registers.
// Every lane does exactly the float operation the scalar code would do (no fused multiply-add,
// the core is built with -ffp-contract=off), so the bits do not depend on the width.
typedef float Vec4 __attribute__((vector_size(16)));
typedef float Vec8 __attribute__((vector_size(32)));

template <class V> constexpr int kLanes = static_cast<int>(sizeof(V) / sizeof(float));

#define TONEWELL_KERNEL [[gnu::always_inline]] inline

template <class V> TONEWELL_KERNEL V load(const float* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class V> TONEWELL_KERNEL void store(float* p, const V& v) { std::memcpy(p, &v, sizeof v); }

// Every lane x, without arithmetic (0 + x would turn -0 into +0).
template <class V> TONEWELL_KERNEL V splat(float x) {
    V v;
#pragma GCC unroll 8
    for (int i = 0; i < kLanes<V>; ++i) v[i] = x;
    return v;
}

TONEWELL_KERNEL Vec4 reversed(const Vec4& v) { return __builtin_shufflevector(v, v, 3, 2, 1, 0); }
TONEWELL_KERNEL Vec8 reversed(const Vec8& v) {
    return __builtin_shufflevector(v, v, 7, 6, 5, 4, 3, 2, 1, 0);
}

bool isPowerOfTwo(int n) { return n >= 2 && (n & (n - 1)) == 0; }

int log2Of(int n) {
    int bits = 0;
    while ((1 << bits) < n) ++bits;
    return bits;
}

// Transforms shorter than this run one butterfly at a time (the vector passes need at least
// eight groups of eight).
constexpr int kShortest = 64;

// Floats in a cache line and in a page.
constexpr int kLineFloats = 16;
constexpr std::size_t kPageFloats = 1024;

// Elements of one row: the block that goes through the early stages while it stays in the
// first-level cache (16 KiB of re and im).
constexpr int kRowLimit = 2048;

// Where element e of the work array lives: rows of 2^rowBits elements, stride floats apart. With
// several rows a cache line is left free after each, so that elements a power of two apart (the
// partners of the late stages, the lanes of the first pass) fall on different cache sets instead
// of fighting over one.
struct Layout {
    int rowBits;
    int stride;
    int rowLength() const { return 1 << rowBits; }
    std::size_t at(int e) const {
        return static_cast<std::size_t>(e >> rowBits) * static_cast<std::size_t>(stride) +
               static_cast<std::size_t>(e & (rowLength() - 1));
    }
    bool sameRow(int a, int b) const { return ((a ^ b) >> rowBits) == 0; }
};

// The rows of a transform of 2^m points: kRowLimit, or half of it so that the late stages come
// in pairs; one row when the transform is no longer.
Layout LayoutFor(int m) {
    int bits = log2Of(kRowLimit);
    if (m <= bits) return {m, 1 << m};
    if ((m - bits) % 2 != 0) --bits;
    return {bits, (1 << bits) + kLineFloats};
}

// One butterfly per lane: t = x[p]·u; x[p] = x[i] - t; x[i] = x[i] + t.
template <class V> struct Butterfly {
    V xr, xi, pr, pi;
    TONEWELL_KERNEL void run(const V& wr, const V& wi) {
        const V tr = pr * wr - pi * wi;
        const V ti = pr * wi + pi * wr;
        pr = xr - tr;
        pi = xi - ti;
        xr = xr + tr;
        xi = xi + ti;
    }
};

// The same on elements i and p of a register file.
template <class V>
TONEWELL_KERNEL void butterfly(V* r, V* q, int i, int p, const V& wr, const V& wi) {
    Butterfly<V> b{r[i], q[i], r[p], q[p]};
    b.run(wr, wi);
    r[i] = b.xr, q[i] = b.xi, r[p] = b.pr, q[p] = b.pi;
}

// One stage on the lanes at r and r + apart (twiddles at w).
template <class V>
TONEWELL_KERNEL void twoPoints(float* r, float* q, std::size_t apart, const float* wr,
                               const float* wi) {
    Butterfly<V> b{load<V>(r), load<V>(q), load<V>(r + apart), load<V>(q + apart)};
    b.run(load<V>(wr), load<V>(wi));
    store(r, b.xr);
    store(q, b.xi);
    store(r + apart, b.pr);
    store(q + apart, b.pi);
}

// Two consecutive stages on the lanes at r, r + apart, r + 2·apart, r + 3·apart, which meet in
// registers: the first stage with twiddle w1 on both pairs, the second with w2a and w2b. Each
// butterfly uses its own stage's twiddle, so the values are those of two separate passes.
template <class V>
TONEWELL_KERNEL void fourPoints(float* r, float* q, std::size_t apart, const float* w1r,
                                const float* w1i, const float* w2ar, const float* w2ai,
                                const float* w2br, const float* w2bi) {
    Butterfly<V> ab{load<V>(r), load<V>(q), load<V>(r + apart), load<V>(q + apart)};
    Butterfly<V> cd{load<V>(r + 2 * apart), load<V>(q + 2 * apart), load<V>(r + 3 * apart),
                    load<V>(q + 3 * apart)};
    const V wr1 = load<V>(w1r), wi1 = load<V>(w1i);
    ab.run(wr1, wi1);
    cd.run(wr1, wi1);
    Butterfly<V> ac{ab.xr, ab.xi, cd.xr, cd.xi};
    Butterfly<V> bd{ab.pr, ab.pi, cd.pr, cd.pi};
    ac.run(load<V>(w2ar), load<V>(w2ai));
    bd.run(load<V>(w2br), load<V>(w2bi));
    store(r, ac.xr);
    store(q, ac.xi);
    store(r + apart, bd.xr);
    store(q + apart, bd.xi);
    store(r + 2 * apart, ac.pr);
    store(q + 2 * apart, ac.pi);
    store(r + 3 * apart, bd.pr);
    store(q + 3 * apart, bd.pi);
}

// Stages h = from … length/2 (from >= lanes) within one row of length elements: one stage alone
// first when their number is odd, then pairs. Twiddles of half length h start at t + h - 1.
template <class V>
TONEWELL_KERNEL void stagesInRow(float* re, float* im, int length, int from, const float* tr,
                                 const float* ti) {
    constexpr int lanes = kLanes<V>;
    int h = from;
    if (log2Of(length / from) % 2 != 0) {
        const float* wr = tr + (h - 1);
        const float* wi = ti + (h - 1);
        for (int i0 = 0; i0 < length; i0 += 2 * h)
            for (int j = 0; j < h; j += lanes)
                twoPoints<V>(re + i0 + j, im + i0 + j, static_cast<std::size_t>(h), wr + j, wi + j);
        h *= 2;
    }
    for (; h < length; h *= 4) {
        const float* w1r = tr + (h - 1);
        const float* w1i = ti + (h - 1);
        const float* w2r = tr + (2 * h - 1);
        const float* w2i = ti + (2 * h - 1);
        for (int i0 = 0; i0 < length; i0 += 4 * h)
            for (int j = 0; j < h; j += lanes)
                fourPoints<V>(re + i0 + j, im + i0 + j, static_cast<std::size_t>(h), w1r + j,
                              w1i + j, w2r + j, w2i + j, w2r + h + j, w2i + h + j);
    }
}

// The late stages, whose half length is a whole number of rows, two at a time (LayoutFor makes
// their number even): element j of a row meets its partners at place j of other rows.
template <class V>
TONEWELL_KERNEL void stagesAcrossRows(float* re, float* im, int rows, const Layout& layout,
                                      const float* tr, const float* ti) {
    constexpr int lanes = kLanes<V>;
    const int length = layout.rowLength();
    const std::size_t stride = static_cast<std::size_t>(layout.stride);
    for (int hRows = 1; hRows < rows; hRows *= 4) {
        const int h = hRows * length;
        const float* w1r = tr + (h - 1);
        const float* w1i = ti + (h - 1);
        const float* w2r = tr + (2 * h - 1);
        const float* w2i = ti + (2 * h - 1);
        const std::size_t apart = static_cast<std::size_t>(hRows) * stride;
        for (int u0 = 0; u0 < rows; u0 += 4 * hRows) {
            for (int jr = 0; jr < hRows; ++jr) {
                const std::size_t at = static_cast<std::size_t>(u0 + jr) * stride;
                const int w1 = jr * length, w2 = (jr + hRows) * length;
                for (int j = 0; j < length; j += lanes)
                    fourPoints<V>(re + at + j, im + at + j, apart, w1r + w1 + j, w1i + w1 + j,
                                  w2r + w1 + j, w2i + w1 + j, w2r + w2 + j, w2i + w2 + j);
            }
        }
    }
}

// Stages h = 8 … n/2 of data in bit-reversed order: the early stages row by row, each row
// through all of them while it is in the cache, then the late stages across the rows.
template <class V>
TONEWELL_KERNEL void laterStages(float* re, float* im, int n, const Layout& layout,
                                 const float* tr, const float* ti) {
    const int length = layout.rowLength();
    const int rows = n / length;
    for (int u = 0; u < rows; ++u) {
        const std::size_t at = layout.at(u * length);
        stagesInRow<V>(re + at, im + at, length, 8, tr, ti);
    }
    if (rows > 1) stagesAcrossRows<V>(re, im, rows, layout, tr, ti);
}

// 4×4 and 8×8 transposes: row r, lane c in; row c, lane r out.
TONEWELL_KERNEL void transpose(Vec4& v0, Vec4& v1, Vec4& v2, Vec4& v3) {
    const Vec4 t0 = __builtin_shufflevector(v0, v1, 0, 4, 1, 5);
    const Vec4 t1 = __builtin_shufflevector(v0, v1, 2, 6, 3, 7);
    const Vec4 t2 = __builtin_shufflevector(v2, v3, 0, 4, 1, 5);
    const Vec4 t3 = __builtin_shufflevector(v2, v3, 2, 6, 3, 7);
    v0 = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
    v1 = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
    v2 = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
    v3 = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

TONEWELL_KERNEL void transpose(Vec8* v) {
    Vec8 t[8], s[8];
#pragma GCC unroll 8
    for (int k = 0; k < 8; k += 2) {
        t[k] = __builtin_shufflevector(v[k], v[k + 1], 0, 8, 1, 9, 4, 12, 5, 13);
        t[k + 1] = __builtin_shufflevector(v[k], v[k + 1], 2, 10, 3, 11, 6, 14, 7, 15);
    }
#pragma GCC unroll 8
    for (int k = 0; k < 8; k += 4) {
        s[k] = __builtin_shufflevector(t[k], t[k + 2], 0, 1, 8, 9, 4, 5, 12, 13);
        s[k + 1] = __builtin_shufflevector(t[k], t[k + 2], 2, 3, 10, 11, 6, 7, 14, 15);
        s[k + 2] = __builtin_shufflevector(t[k + 1], t[k + 3], 0, 1, 8, 9, 4, 5, 12, 13);
        s[k + 3] = __builtin_shufflevector(t[k + 1], t[k + 3], 2, 3, 10, 11, 6, 7, 14, 15);
    }
#pragma GCC unroll 8
    for (int k = 0; k < 4; ++k) {
        v[k] = __builtin_shufflevector(s[k], s[k + 4], 0, 1, 2, 3, 8, 9, 10, 11);
        v[k + 4] = __builtin_shufflevector(s[k], s[k + 4], 4, 5, 6, 7, 12, 13, 14, 15);
    }
}

// v[p] holds element p of a group on every lane; lane l's eight elements go to at[l].
TONEWELL_KERNEL void storeGroups(Vec4* v, float* const* at) {
#pragma GCC unroll 8
    for (int half = 0; half < 8; half += 4) {
        transpose(v[half], v[half + 1], v[half + 2], v[half + 3]);
#pragma GCC unroll 8
        for (int l = 0; l < 4; ++l) store(at[l] + half, v[half + l]);
    }
}

TONEWELL_KERNEL void storeGroups(Vec8* v, float* const* at) {
    transpose(v);
#pragma GCC unroll 8
    for (int l = 0; l < 8; ++l) store(at[l], v[l]);
}

// Where the first pass reads its input. The real transform's samples come as (re, im) pairs (even
// samples real, odd samples imaginary); one shuffle splits them, and with eight lanes it leaves
// lane l holding pair kPairOfLane[l]. The complex transform reads two arrays, lanes in order.
TONEWELL_KERNEL void splitPairs(const float* p, Vec4& r, Vec4& i) {
    const Vec4 a = load<Vec4>(p), b = load<Vec4>(p + 4);
    r = __builtin_shufflevector(a, b, 0, 2, 4, 6);
    i = __builtin_shufflevector(a, b, 1, 3, 5, 7);
}

TONEWELL_KERNEL void splitPairs(const float* p, Vec8& r, Vec8& i) {
    const Vec8 a = load<Vec8>(p), b = load<Vec8>(p + 8);
    r = __builtin_shufflevector(a, b, 0, 2, 8, 10, 4, 6, 12, 14);
    i = __builtin_shufflevector(a, b, 1, 3, 9, 11, 5, 7, 13, 15);
}

template <class V> constexpr int kPairOfLane[8] = {0, 1, 2, 3};
template <> constexpr int kPairOfLane<Vec8>[8] = {0, 1, 4, 5, 2, 3, 6, 7};

struct PairedInput {
    const float* pairs;
    template <class V> TONEWELL_KERNEL void read(std::size_t i, V& r, V& q) const {
        splitPairs(pairs + 2 * i, r, q);
    }
    template <class V> static int elementOfLane(int l) { return kPairOfLane<V>[l]; }
};

struct SplitInput {
    const float* re;
    const float* im;
    template <class V> TONEWELL_KERNEL void read(std::size_t i, V& r, V& q) const {
        r = load<V>(re + i);
        q = load<V>(im + i);
    }
    template <class V> static int elementOfLane(int l) { return l; }
};

// The twiddles of stages 1 to 3 (h = 1, 2, 4: seven in all), on every lane.
template <class V> struct FirstTwiddles {
    V re[7], im[7];
    TONEWELL_KERNEL FirstTwiddles(const float* tr, const float* ti) {
#pragma GCC unroll 8
        for (int k = 0; k < 7; ++k) re[k] = splat<V>(tr[k]), im[k] = splat<V>(ti[k]);
    }
};

// The bit-reversal permutation fused with stages 1 to 3, from the input into the work array.
// Natural index i = a·n/8 + b·lanes + c (top three bits a, low bits c) has its bit-reversed place
// rev(c)·n/lanes + rev(b)·8 + rev(a): for fixed b and c the eight values of a make one whole group
// of stages 1 to 3, so one lane per c runs one group, its elements in registers. n = 2^m >= 64.
template <class V, class Input>
TONEWELL_KERNEL void firstStages(const Input& input, float* zr, float* zi, int m,
                                 const Layout& layout, const float* tr, const float* ti) {
    constexpr int lanes = kLanes<V>;
    constexpr int laneBits = lanes == 8 ? 3 : 2;
    const int n = 1 << m;
    const int eighth = n / 8;
    const int groups = eighth / lanes;  // values of b
    static constexpr int kRev3[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    int laneBase[lanes];
#pragma GCC unroll 8
    for (int l = 0; l < lanes; ++l) {
        const int c = Input::template elementOfLane<V>(l);
        int reversedC = 0;
#pragma GCC unroll 8
        for (int bit = 0; bit < laneBits; ++bit) reversedC |= ((c >> bit) & 1) << (laneBits - 1 - bit);
        laneBase[l] = reversedC * (n / lanes);
    }
    const FirstTwiddles<V> w(tr, ti);
    int reversedB = 0;
    for (int b = 0; b < groups; ++b) {
        V r[8], q[8];
#pragma GCC unroll 8
        for (int a = 0; a < 8; ++a)
            input.read(static_cast<std::size_t>(a * eighth + b * lanes), r[kRev3[a]], q[kRev3[a]]);
#pragma GCC unroll 8
        for (int i = 0; i < 8; i += 2) butterfly(r, q, i, i + 1, w.re[0], w.im[0]);
#pragma GCC unroll 8
        for (int i = 0; i < 8; i += 4) {
            butterfly(r, q, i, i + 2, w.re[1], w.im[1]);
            butterfly(r, q, i + 1, i + 3, w.re[2], w.im[2]);
        }
#pragma GCC unroll 8
        for (int j = 0; j < 4; ++j) butterfly(r, q, j, j + 4, w.re[3 + j], w.im[3 + j]);
        float* atRe[lanes];
        float* atIm[lanes];
#pragma GCC unroll 8
        for (int l = 0; l < lanes; ++l) {
            const std::size_t at = layout.at(laneBase[l] + 8 * reversedB);
            atRe[l] = zr + at, atIm[l] = zi + at;
        }
        storeGroups(r, atRe);
        storeGroups(q, atIm);
        // The next b in bit-reversed counting.
        int bit = groups / 2;
        while (bit > 0 && (reversedB & bit) != 0) {
            reversedB ^= bit;
            bit /= 2;
        }
        reversedB |= bit;
    }
}

// Split Z = FFT(packed samples) into the spectra E (even samples) and O (odd samples) and
// combine them with the twiddle of length n = 2M: X[k] = E[k] + O[k]·e^(-jθ),
// X[k+M] = E[k] - O[k]·e^(-jθ). Halving a float is exact, so 0.5f gives the bits of halving in
// double and rounding.
TONEWELL_KERNEL void combineOne(const float* zr, const float* zi, const Layout& layout,
                                const float* sn, const float* cs, float* re, float* im, int m,
                                int k) {
    const std::size_t a = layout.at(k), b = layout.at(m - k);
    const float er = (zr[b] + zr[a]) * 0.5f;
    const float ei = (zi[a] - zi[b]) * 0.5f;
    const float orr = (zi[b] + zi[a]) * 0.5f;
    const float oi = (zr[a] - zr[b]) * -0.5f;
    const float tr = oi * sn[k] + orr * cs[k];
    const float ti = oi * cs[k] - orr * sn[k];
    re[k] = er + tr;
    im[k] = ei + ti;
    re[k + m] = er - tr;
    im[k + m] = ei - ti;
}

template <class V>
TONEWELL_KERNEL void combineHalves(const float* zr, const float* zi, const Layout& layout,
                                   const float* sn, const float* cs, float* re, float* im, int m) {
    constexpr int lanes = kLanes<V>;
    {
        const float er = zr[0], ei = 0.0f, orr = zi[0], oi = 0.0f;
        const float tr = oi * sn[0] + orr * cs[0];
        const float ti = oi * cs[0] - orr * sn[0];
        re[0] = er + tr;
        im[0] = ei + ti;
        re[m] = er - tr;
        im[m] = ei - ti;
    }
    // Row u's places j = 1 … R-1 mirror places R-j of row rows-1-u; place 0 goes alone.
    const V half = splat<V>(0.5f);
    const int length = layout.rowLength();
    const int rows = m / length;
    for (int u = 0; u < rows; ++u) {
        const int base = u * length;
        if (u > 0) combineOne(zr, zi, layout, sn, cs, re, im, m, base);
        const std::size_t a0 = layout.at(base);
        const std::size_t b0 = layout.at((rows - 1 - u) * length) + static_cast<std::size_t>(length);
        int j = 1;
        for (; j + lanes <= length; j += lanes) {
            const int k = base + j;
            const std::size_t a = a0 + static_cast<std::size_t>(j);
            const std::size_t b = b0 - static_cast<std::size_t>(j + lanes - 1);
            const V zrk = load<V>(zr + a), zik = load<V>(zi + a);
            const V zrm = reversed(load<V>(zr + b));
            const V zim = reversed(load<V>(zi + b));
            const V er = (zrm + zrk) * half;
            const V ei = (zik - zim) * half;
            const V orr = (zim + zik) * half;
            const V oi = (zrk - zrm) * -half;
            const V s = load<V>(sn + k), c = load<V>(cs + k);
            const V tr = oi * s + orr * c;
            const V ti = oi * c - orr * s;
            store(re + k, er + tr);
            store(im + k, ei + ti);
            store(re + k + m, er - tr);
            store(im + k + m, ei - ti);
        }
        for (; j < length; ++j) combineOne(zr, zi, layout, sn, cs, re, im, m, base + j);
    }
}

// The work array back into the caller's arrays, times the float 1/n for the inverse.
template <class V>
TONEWELL_KERNEL void copyOut(const float* zr, const float* zi, const Layout& layout, float* re,
                             float* im, int n, bool inverse) {
    constexpr int lanes = kLanes<V>;
    const V factor = splat<V>(1.0f / static_cast<float>(n));
    const int length = layout.rowLength();
    for (int base = 0; base < n; base += length) {
        const float* fromRe = zr + layout.at(base);
        const float* fromIm = zi + layout.at(base);
        for (int j = 0; j < length; j += lanes) {
            V r = load<V>(fromRe + j), q = load<V>(fromIm + j);
            if (inverse) r = r * factor, q = q * factor;
            store(re + base + j, r);
            store(im + base + j, q);
        }
    }
}

// What one transform works on.
struct Job {
    const float* inRe;  // the real transform: the samples, read as (re, im) pairs
    const float* inIm;
    float* zr;  // the work array
    float* zi;
    Layout layout;
    int m;  // log2 of the complex length
    const float* tr;  // twiddles of the stages
    const float* ti;
    const float* sn;  // the real transform's final twiddles
    const float* cs;
    float* re;  // output
    float* im;
    bool inverse;
};

template <class V> TONEWELL_KERNEL void realForward(const Job& job) {
    firstStages<V>(PairedInput{job.inRe}, job.zr, job.zi, job.m, job.layout, job.tr, job.ti);
    laterStages<V>(job.zr, job.zi, 1 << job.m, job.layout, job.tr, job.ti);
    combineHalves<V>(job.zr, job.zi, job.layout, job.sn, job.cs, job.re, job.im, 1 << job.m);
}

template <class V> TONEWELL_KERNEL void complexTransform(const Job& job) {
    firstStages<V>(SplitInput{job.inRe, job.inIm}, job.zr, job.zi, job.m, job.layout, job.tr,
                   job.ti);
    laterStages<V>(job.zr, job.zi, 1 << job.m, job.layout, job.tr, job.ti);
    copyOut<V>(job.zr, job.zi, job.layout, job.re, job.im, 1 << job.m, job.inverse);
}

void realForwardSse2(const Job& job) { realForward<Vec4>(job); }
void complexTransformSse2(const Job& job) { complexTransform<Vec4>(job); }

#if TONEWELL_FFT_AVX2
__attribute__((target("avx2"))) void realForwardAvx2(const Job& job) { realForward<Vec8>(job); }
__attribute__((target("avx2"))) void complexTransformAvx2(const Job& job) {
    complexTransform<Vec8>(job);
}
#else
// Never chosen: BestFftIsa() is Sse2 here.
void realForwardAvx2(const Job& job) { realForward<Vec4>(job); }
void complexTransformAvx2(const Job& job) { complexTransform<Vec4>(job); }
#endif

// The short transforms, one butterfly at a time on the work array (one row): stage h.
void scalarStage(float* re, float* im, int n, int h, const float* ur, const float* ui) {
    for (int i0 = 0; i0 < n; i0 += 2 * h) {
        for (int j = 0; j < h; ++j) {
            const int i = i0 + j, p = i + h;
            const float tr = re[p] * ur[j] - im[p] * ui[j];
            const float ti = re[p] * ui[j] + im[p] * ur[j];
            re[p] = re[i] - tr;
            im[p] = im[i] - ti;
            re[i] = re[i] + tr;
            im[i] = im[i] + ti;
        }
    }
}

}  // namespace

float AnalyserPi() { return static_cast<float>(4.0 * std::atan(1.0)); }

FftIsa BestFftIsa() {
#if TONEWELL_FFT_AVX2
    static const FftIsa best = __builtin_cpu_supports("avx2") ? FftIsa::Avx2 : FftIsa::Sse2;
    return best;
#else
    return FftIsa::Sse2;
#endif
}

bool ComplexFftPlan::prepare(int n, FftIsa isa) noexcept {
    n_ = 0;
    if (!isPowerOfTwo(n)) return false;
    wide_ = isa == FftIsa::Avx2 && BestFftIsa() == FftIsa::Avx2;
    m_ = log2Of(n);
    const Layout layout = LayoutFor(m_);
    rowBits_ = layout.rowBits;
    stride_ = layout.stride;
    // The imaginary part starts half a page (modulo 4 KiB) after the real part, so that the two
    // never share a cache set nor look like the same address to the store queue.
    const std::size_t span = static_cast<std::size_t>(n >> rowBits_) * static_cast<std::size_t>(stride_);
    imagOffset_ = (span + kPageFloats - 1) / kPageFloats * kPageFloats + kPageFloats / 2;
    try {
        reversal_.clear();
        if (n < kShortest) {
            // Bit-reversal order: element k of the permuted array is element reversal_[k].
            reversal_.resize(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) reversal_[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(i);
            int j = 0;
            for (int i = 0; i < n - 1; ++i) {
                if (i < j) std::swap(reversal_[static_cast<std::size_t>(i)], reversal_[static_cast<std::size_t>(j)]);
                int k = n / 2;
                while (k <= j) {
                    j -= k;
                    k /= 2;
                }
                j += k;
            }
        }
        forwardRe_.assign(static_cast<std::size_t>(n - 1), 0.0f);
        forwardIm_.assign(static_cast<std::size_t>(n - 1), 0.0f);
        inverseRe_.assign(static_cast<std::size_t>(n - 1), 0.0f);
        inverseIm_.assign(static_cast<std::size_t>(n - 1), 0.0f);
        work_.assign(imagOffset_ + span + kLineFloats, 0.0f);
    } catch (const std::bad_alloc&) {
        reversal_ = {};
        forwardRe_ = forwardIm_ = inverseRe_ = inverseIm_ = work_ = {};
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

float* ComplexFftPlan::workRe() {
    // On a cache-line boundary.
    float* base = work_.data();
    const std::size_t misalignment = (reinterpret_cast<std::uintptr_t>(base) / sizeof(float)) % kLineFloats;
    return base + (kLineFloats - misalignment) % kLineFloats;
}

void ComplexFftPlan::shortTransform(const float* inRe, const float* inIm, int inverse) {
    float* zr = workRe();
    float* zi = zr + imagOffset_;
    for (int k = 0; k < n_; ++k) {
        const std::uint32_t from = reversal_[static_cast<std::size_t>(k)];
        zr[k] = inRe[inIm == nullptr ? 2 * from : from];
        zi[k] = inIm == nullptr ? inRe[2 * from + 1] : inIm[from];
    }
    const float* tr = (inverse ? inverseRe_ : forwardRe_).data();
    const float* ti = (inverse ? inverseIm_ : forwardIm_).data();
    for (int h = 1; h < n_; h *= 2) scalarStage(zr, zi, n_, h, tr + (h - 1), ti + (h - 1));
}

void ComplexFftPlan::transform(float* re, float* im, int inverse) {
    if (n_ == 0) return;
    if (n_ < kShortest) {
        shortTransform(re, im, inverse);
        const float* zr = workRe();
        const float* zi = zr + imagOffset_;
        const float factor = 1.0f / static_cast<float>(n_);
        for (int k = 0; k < n_; ++k) {
            re[k] = inverse ? zr[k] * factor : zr[k];
            im[k] = inverse ? zi[k] * factor : zi[k];
        }
        return;
    }
    float* zr = workRe();
    const Job job{re, im, zr, zr + imagOffset_, Layout{rowBits_, stride_}, m_,
                  (inverse ? inverseRe_ : forwardRe_).data(), (inverse ? inverseIm_ : forwardIm_).data(),
                  nullptr, nullptr, re, im, inverse != 0};
    if (wide_)
        complexTransformAvx2(job);
    else
        complexTransformSse2(job);
}

bool RealFftPlan::prepare(int n, FftIsa isa) noexcept {
    n_ = 0;
    if (!isPowerOfTwo(n) || n < 4) return false;
    const int m = n / 2;
    if (!half_.prepare(m, isa)) return false;
    try {
        sin_.assign(static_cast<std::size_t>(m), 0.0f);
        cos_.assign(static_cast<std::size_t>(m), 0.0f);
    } catch (const std::bad_alloc&) {
        sin_ = cos_ = {};
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
    float* zr = half_.workRe();
    float* zi = zr + half_.imagOffset_;
    const Layout layout{half_.rowBits_, half_.stride_};
    if (m < kShortest) {
        half_.shortTransform(re, nullptr, 0);
        combineHalves<Vec4>(zr, zi, layout, sin_.data(), cos_.data(), re, im, m);
        return;
    }
    const Job job{re, nullptr, zr, zi, layout, half_.m_, half_.forwardRe_.data(),
                  half_.forwardIm_.data(), sin_.data(), cos_.data(), re, im, false};
    if (half_.wide_)
        realForwardAvx2(job);
    else
        realForwardSse2(job);
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
