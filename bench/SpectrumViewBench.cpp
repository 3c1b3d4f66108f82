// The spectrum view's drawing pass into a full-HD back buffer through the Qt canvas: a whole
// pass that recomputes N = 32768 over a minute of 44.1 kHz stereo, a redraw that reuses the
// results, and the same recompute done by the analysis alone as the yardstick.

#include "platform/qt/HeadlessGui.h"
#include "platform/qt/QtCanvas.h"
#include "spectrum/SpectrumViewHarness.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace tonewell {
namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr std::uint32_t kRate = 44100;
constexpr std::size_t kSamples = 60 * kRate;

// A minute of a 1 kHz tone (A) and a 3 kHz tone (B) with a little noise.
std::vector<std::uint16_t> Tone(double frequency, unsigned seed) {
    std::vector<std::uint16_t> codes(kSamples);
    std::mt19937 random(seed);
    std::normal_distribution<double> normal(0.0, 30.0);
    for (std::size_t i = 0; i < codes.size(); ++i)
        codes[i] = static_cast<std::uint16_t>(
            32768 + std::lround(16000.0 * std::sin(6.283185307179586 * frequency * i / kRate) + normal(random)));
    return codes;
}

std::unique_ptr<testing::SpectrumViewHarness> Spectrum(bool allPoints) {
    auto h = std::make_unique<testing::SpectrumViewHarness>();
    h->configuration.onePointPerRaster = allPoints ? 0 : 1;
    h->SetRecord(kSamplingTypeAB, Tone(1000, 1), Tone(3000, 2), kRate);
    h->OpenInVolts();
    testing::SpectrumViewHarness::Pick(h->bars.fftPoints, "32768");
    testing::SpectrumViewHarness::Pick(h->bars.window, "HAN");
    return h;
}

void BM_SpectrumFullPass(benchmark::State& state) {
    EnsureGuiApplication();
    const bool allPoints = state.range(0) != 0;
    auto h = Spectrum(allPoints);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const QFont font = QGuiApplication::font();
    for (auto _ : state) {
        h->document.RecordChanged();
        QtCanvas canvas(image, font);
        h->view.OnDraw(canvas);
    }
    state.counters["points"] = static_cast<double>(h->view.points().count(0) + h->view.points().count(1));
    state.SetLabel(allPoints ? "all points" : "one point per column");
}
BENCHMARK(BM_SpectrumFullPass)->Arg(0)->Arg(1)->ArgName("allPoints")->Unit(benchmark::kMillisecond);

void BM_SpectrumRedraw(benchmark::State& state) {
    EnsureGuiApplication();
    const bool allPoints = state.range(0) != 0;
    auto h = Spectrum(allPoints);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const QFont font = QGuiApplication::font();
    {
        QtCanvas canvas(image, font);
        h->view.OnDraw(canvas);
    }
    for (auto _ : state) {
        h->view.invalidate();
        QtCanvas canvas(image, font);
        h->view.OnDraw(canvas);
    }
    state.counters["points"] = static_cast<double>(h->view.points().count(0) + h->view.points().count(1));
    state.SetLabel(allPoints ? "all points" : "one point per column");
}
BENCHMARK(BM_SpectrumRedraw)->Arg(0)->Arg(1)->ArgName("allPoints")->Unit(benchmark::kMillisecond);

// The recompute of the full pass, done by the analysis without the view.
void BM_SpectrumAnalysisStereo(benchmark::State& state) {
    auto h = Spectrum(false);
    SpectrumAnalysis analysis(h->shell);
    analysis.setFftSize(32768);
    analysis.setWindowType(WindowType::Hanning);
    analysis.setSpectrumType(SpectrumType::Amplitude);
    for (auto _ : state) {
        analysis.spectrumDirty = true;
        analysis.UpdateSpectra(h->document, h->document.dcOffsets, true, true, true);
        benchmark::DoNotOptimize(analysis.resultAData());
    }
}
BENCHMARK(BM_SpectrumAnalysisStereo)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonewell
