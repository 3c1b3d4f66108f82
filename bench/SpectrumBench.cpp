// The analyser's transforms and the segmented amplitude spectrum, each beside the same work
// done with FFTW (when available) in the same run. FFTW is a yardstick here only.

#include "platform/RecordingShell.h"
#include "spectrum/Fft.h"
#include "spectrum/SpectrumAnalysis.h"
#include "spectrum/Window.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#ifdef TONEWELL_HAVE_FFTW
#include <fftw3.h>
#endif

namespace tonewell {
namespace {

std::vector<float> noise(int n) {
    std::mt19937 random(42);
    std::normal_distribution<float> normal(0.0f, 1.0f);
    std::vector<float> x(static_cast<std::size_t>(n));
    for (float& v : x) v = normal(random);
    return x;
}

// Both transforms get fresh input on every run, copied the same way (an element loop: the C
// library's block copy is slow on some processors for some alignments and would blur the ratio).
void copySamples(const std::vector<float>& from, float* to) {
    const std::size_t n = from.size();
    const float* source = from.data();
    for (std::size_t i = 0; i < n; ++i) to[i] = source[i];
}

// 60 s of 44100 Hz mono, 16 bit: a 1 kHz tone with a little noise around the zero code 32768.
const std::vector<std::uint16_t>& minuteOfAudio() {
    static const std::vector<std::uint16_t> codes = [] {
        std::vector<std::uint16_t> out(60u * 44100u);
        std::mt19937 random(7);
        std::normal_distribution<double> normal(0.0, 30.0);
        const double twoPi = 8.0 * std::atan(1.0);
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double v = 20000.0 * std::sin(twoPi * 1000.0 * i / 44100.0) + normal(random);
            out[i] = static_cast<std::uint16_t>(std::lround(v) + 32768);
        }
        return out;
    }();
    return codes;
}

constexpr float kVoltsPerCode = 2.0f / 65536.0f;
constexpr std::int32_t kZero = 32768;

void RunRealFft(benchmark::State& state, FftIsa isa) {
    const int n = static_cast<int>(state.range(0));
    RecordingShell shell;
    RealFftPlan plan;
    plan.prepare(n, isa);
    const std::vector<float> input = noise(n);
    std::vector<float> re(input.size()), im(input.size());
    for (auto _ : state) {
        copySamples(input, re.data());
        RealFft(plan, re.data(), im.data(), 0, shell);
        benchmark::DoNotOptimize(re.data());
        benchmark::DoNotOptimize(im.data());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_RealFft(benchmark::State& state) { RunRealFft(state, BestFftIsa()); }
BENCHMARK(BM_RealFft)->Arg(1024)->Arg(8192)->Arg(32768);

// The same at the baseline width, as on a processor without AVX2.
void BM_RealFftSse2(benchmark::State& state) { RunRealFft(state, FftIsa::Sse2); }
BENCHMARK(BM_RealFftSse2)->Arg(1024)->Arg(8192)->Arg(32768);

// The inverse transform of the correlations.
void BM_ComplexFftInverse(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    ComplexFftPlan plan;
    plan.prepare(n);
    const std::vector<float> inputRe = noise(n), inputIm = noise(n);
    std::vector<float> re(inputRe.size()), im(inputIm.size());
    for (auto _ : state) {
        copySamples(inputRe, re.data());
        copySamples(inputIm, im.data());
        plan.transform(re.data(), im.data(), 1);
        benchmark::DoNotOptimize(re.data());
        benchmark::DoNotOptimize(im.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ComplexFftInverse)->Arg(1024)->Arg(32768);

void BM_SegmentedHanSpectrum(benchmark::State& state) {
    const auto& codes = minuteOfAudio();
    RecordingShell shell;
    SpectrumAnalysis analysis(shell);
    analysis.setFftSize(1024);
    analysis.setWindowType(WindowType::Hanning);
    analysis.setSpectrumType(SpectrumType::Amplitude);
    for (auto _ : state) {
        analysis.ComputeChannelSpectrum(analysis.realA(), analysis.imagA(), analysis.resultAData(),
                                        codes.data(), kVoltsPerCode,
                                        static_cast<std::uint32_t>(codes.size()), kZero,
                                        SpectrumType::Amplitude);
        benchmark::DoNotOptimize(analysis.resultAData());
    }
}
BENCHMARK(BM_SegmentedHanSpectrum)->Unit(benchmark::kMillisecond);

#ifdef TONEWELL_HAVE_FFTW

void BM_FftwRealFft(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<float> input = noise(n);
    float* in = fftwf_alloc_real(static_cast<std::size_t>(n));
    fftwf_complex* out = fftwf_alloc_complex(static_cast<std::size_t>(n / 2 + 1));
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);
    for (auto _ : state) {
        copySamples(input, in);
        fftwf_execute(plan);
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations());
    fftwf_destroy_plan(plan);
    fftwf_free(in);
    fftwf_free(out);
}
BENCHMARK(BM_FftwRealFft)->Arg(1024)->Arg(8192)->Arg(32768);

// FFTW's backward transform is unscaled; ours also multiplies by 1/n.
void BM_FftwComplexFftInverse(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<float> inputRe = noise(n), inputIm = noise(n);
    float* re = fftwf_alloc_real(static_cast<std::size_t>(n));
    float* im = fftwf_alloc_real(static_cast<std::size_t>(n));
    fftwf_iodim dim{n, 1, 1};
    // Swapping re and im turns FFTW's split-array transform into the backward one.
    fftwf_plan plan = fftwf_plan_guru_split_dft(1, &dim, 0, nullptr, im, re, im, re, FFTW_MEASURE);
    for (auto _ : state) {
        copySamples(inputRe, re);
        copySamples(inputIm, im);
        fftwf_execute(plan);
        benchmark::DoNotOptimize(re);
        benchmark::DoNotOptimize(im);
    }
    state.SetItemsProcessed(state.iterations());
    fftwf_destroy_plan(plan);
    fftwf_free(re);
    fftwf_free(im);
}
BENCHMARK(BM_FftwComplexFftInverse)->Arg(1024)->Arg(32768);

// The same segmentation, calibration, window, amplitude formula and averaging, with FFTW's
// real transform in place of ours.
void BM_FftwSegmentedHanSpectrum(benchmark::State& state) {
    const auto& codes = minuteOfAudio();
    const int n = 1024, half = n / 2;
    float* in = fftwf_alloc_real(n);
    fftwf_complex* out = fftwf_alloc_complex(half + 1);
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);
    WindowTable window;
    window.prepare(WindowType::Hanning, n, n, n);
    const double g = GainCorrection(WindowType::Hanning, window.powerSum, n, n, true);
    std::vector<float> result(half + 1);
    const int blocks = static_cast<int>(codes.size() / n);
    for (auto _ : state) {
        std::fill(result.begin(), result.end(), 0.0f);
        for (int s = 0; s < blocks; ++s) {
            const std::uint16_t* block = codes.data() + static_cast<std::size_t>(s) * n;
            for (int i = 0; i < n; ++i)
                in[i] = static_cast<float>(static_cast<std::int64_t>(block[i]) - kZero) *
                        kVoltsPerCode * window.weights[static_cast<std::size_t>(i)];
            fftwf_execute(plan);
            for (int k = 0; k <= half; ++k) {
                const float power = out[k][0] * out[k][0] + out[k][1] * out[k][1];
                const double squared =
                    k == 0 || k == half ? static_cast<double>(power) : 2.0 * power;
                result[static_cast<std::size_t>(k)] += static_cast<float>(std::sqrt(squared) / n / g);
            }
        }
        const float inverseK = 1.0f / static_cast<float>(blocks);
        for (float& v : result) v = v * inverseK;
        benchmark::DoNotOptimize(result.data());
    }
    fftwf_destroy_plan(plan);
    fftwf_free(in);
    fftwf_free(out);
}
BENCHMARK(BM_FftwSegmentedHanSpectrum)->Unit(benchmark::kMillisecond);

#endif

}  // namespace
}  // namespace tonewell
