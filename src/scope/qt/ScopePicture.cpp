#include "scope/qt/ScopePicture.h"

#include "platform/SafeFileWriter.h"
#include "platform/qt/HeadlessGui.h"
#include "platform/qt/QtCanvas.h"
#include "scope/CScopeView.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>

#include <string_view>

namespace tonewell {

namespace {
constexpr int kLargestSide = 16384;
}

QImage RenderScopePicture(CScopeView& view, QSize size, const QFont& font) {
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) return image;
    QtCanvas canvas(image, font);
    view.drawPicture(canvas);
    return image;
}

QImage RenderScopePicture(CScopeView& view, QSize size) {
    EnsureGuiApplication();
    return RenderScopePicture(view, size, QGuiApplication::font());
}

bool WriteScopePicture(CScopeView& view, const std::filesystem::path& path, QSize size) {
    if (size.width() < 1 || size.height() < 1 || size.width() > kLargestSide || size.height() > kLargestSide)
        return false;
    const QImage image = RenderScopePicture(view, size);
    if (image.isNull()) return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return false;
    return writeFileSafely(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace tonewell
