#include "scope/qt/ScopePicture.h"

#include "platform/qt/CanvasPicture.h"
#include "platform/qt/HeadlessGui.h"
#include "scope/CScopeView.h"

#include <QGuiApplication>

namespace tonewell {

QImage RenderScopePicture(CScopeView& view, QSize size, const QFont& font) {
    return RenderCanvasPicture(size, font, [&view](Canvas& canvas) { view.drawPicture(canvas); });
}

QImage RenderScopePicture(CScopeView& view, QSize size) {
    EnsureGuiApplication();
    return RenderScopePicture(view, size, QGuiApplication::font());
}

bool WriteScopePicture(CScopeView& view, const std::filesystem::path& path, QSize size) {
    return WriteCanvasPicture(path, size, [&view](Canvas& canvas) { view.drawPicture(canvas); });
}

}  // namespace tonewell
