// The Frequency Response window's redraw: the plot of a measured response (20 Hz - 20 kHz at
// 48 points per octave, measured once on the real-time loopback cable) with its cursor, drawn
// through the Qt canvas into a back buffer the size of a large window's plot. Target: at most
// 5 ms.

#include "app/ResponseWindowModel.h"
#include "platform/audio/LoopbackCable.h"
#include "platform/qt/HeadlessGui.h"
#include "platform/qt/QtCanvas.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <thread>

namespace tonewell {
namespace {

void BM_ResponseWindowRedraw(benchmark::State& state) {
    EnsureGuiApplication();
    LoopbackCable cable(LoopbackClock::RealTime);
    ResponseWindowModel model(cable);
    model.fields.seconds = std::string("1");  // (assigning the literal trips a false -Wrestrict in GCC 12)
    if (!model.run()) return state.SkipWithError(model.status().c_str());
    while (!model.poll()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (model.response() == nullptr) return state.SkipWithError(model.status().c_str());
    QImage image(1600, 900, QImage::Format_RGB32);
    const QFont font = QGuiApplication::font();
    {
        QtCanvas canvas(image, font);
        model.draw(canvas);
    }
    model.placeCursor(800, 200);
    for (auto _ : state) {
        QtCanvas canvas(image, font);
        model.draw(canvas);
    }
    state.counters["points"] = static_cast<double>(model.response()->frequencyHz.size());
    state.SetLabel(model.cursorText());
}
BENCHMARK(BM_ResponseWindowRedraw)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonewell
