#include "plot/qt/PlotPicture.h"

#include "platform/qt/CanvasPicture.h"
#include "platform/qt/HeadlessGui.h"
#include "plot/PlotView.h"

#include <QGuiApplication>

namespace tonewell {

QImage RenderPlotPicture(PlotView& view, QSize size, const QFont& font) {
    return RenderCanvasPicture(size, font, [&view](Canvas& canvas) { view.drawPicture(canvas); });
}

QImage RenderPlotPicture(PlotView& view, QSize size) {
    EnsureGuiApplication();
    return RenderPlotPicture(view, size, QGuiApplication::font());
}

bool WritePlotPicture(PlotView& view, const std::filesystem::path& path, QSize size) {
    return WriteCanvasPicture(path, size, [&view](Canvas& canvas) { view.drawPicture(canvas); });
}

}  // namespace tonewell
