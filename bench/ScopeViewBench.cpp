// The oscilloscope's drawing pass into a full-HD back buffer through the Qt canvas, one point per
// column and all points, beside a bare QPainter polyline of the same million points as yardstick.

#include "platform/qt/HeadlessGui.h"
#include "platform/qt/QtCanvas.h"
#include "scope/ScopeViewHarness.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <cmath>
#include <memory>
#include <vector>

namespace tonewell {
namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// n samples at 50 kHz filling the screen of the time range: five periods of a clean sine of 0.8
// full scale, so neighbouring points lie a pixel or so apart as on a real trace.
std::unique_ptr<testing::ScopeViewHarness> Scope(int samples, bool allPoints) {
    auto h = std::make_unique<testing::ScopeViewHarness>();
    std::vector<std::uint16_t> codes(static_cast<std::size_t>(samples));
    const double period = samples / 5.0;
    for (std::size_t i = 0; i < codes.size(); ++i)
        codes[i] = static_cast<std::uint16_t>(32768 + std::lround(0.8 * 32767 * std::sin(6.283185307179586 * i / period)));
    h->configuration.onePointPerRaster = allPoints ? 0 : 1;
    h->SetRecord(kSamplingTypeA, std::move(codes), {}, 50000);
    h->SelectDefaults();
    h->Select(h->bars.timeRange, RangeTableId::ScopeTimeRange, samples >= 1000000 ? "20s" : "200ms");
    h->startupStage = 0;
    h->InitialUpdate();
    return h;
}

void BM_ScopeOnDraw(benchmark::State& state) {
    EnsureGuiApplication();
    const int samples = static_cast<int>(state.range(0));
    const bool allPoints = state.range(1) != 0;
    auto h = Scope(samples, allPoints);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const QFont font = QGuiApplication::font();
    for (auto _ : state) {
        QtCanvas canvas(image, font);
        h->view.OnDraw(canvas);
    }
    state.counters["points"] = static_cast<double>(h->view.points().count(0));
    state.SetLabel(allPoints ? "all points" : "one point per column");
}
BENCHMARK(BM_ScopeOnDraw)
    ->ArgsProduct({{10000, 1000000}, {0, 1}})
    ->ArgNames({"samples", "allPoints"})
    ->Unit(benchmark::kMillisecond);

// The same million points the view draws, straight into QPainter with the view's pen.
void BM_BareQtPolyline(benchmark::State& state) {
    EnsureGuiApplication();
    auto h = Scope(1000000, true);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    {
        QtCanvas canvas(image, QGuiApplication::font());
        h->view.OnDraw(canvas);
    }
    QPolygon points;
    for (const CanvasPoint& p : h->view.points().points(0)) points << QPoint(p.x, p.y);
    QPen pen(Qt::blue);
    pen.setCosmetic(true);
    pen.setWidth(1);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(pen);
        painter.drawPolyline(points);
    }
    state.counters["points"] = points.size();
}
BENCHMARK(BM_BareQtPolyline)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonewell
