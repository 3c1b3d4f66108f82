#include "spectrum/qt/SpectrumPicture.h"

#include "platform/qt/CanvasPicture.h"
#include "platform/qt/HeadlessGui.h"
#include "spectrum/CSpectrumView.h"

#include <QGuiApplication>

namespace tonewell {

QImage RenderSpectrumPicture(CSpectrumView& view, QSize size, const QFont& font) {
    return RenderCanvasPicture(size, font, [&view](Canvas& canvas) { view.drawPicture(canvas); });
}

QImage RenderSpectrumPicture(CSpectrumView& view, QSize size) {
    EnsureGuiApplication();
    return RenderSpectrumPicture(view, size, QGuiApplication::font());
}

bool WriteSpectrumPicture(CSpectrumView& view, const std::filesystem::path& path, QSize size) {
    return WriteCanvasPicture(path, size, [&view](Canvas& canvas) { view.drawPicture(canvas); });
}

}  // namespace tonewell
