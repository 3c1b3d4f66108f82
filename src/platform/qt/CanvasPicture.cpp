#include "platform/qt/CanvasPicture.h"

#include "platform/SafeFileWriter.h"
#include "platform/qt/HeadlessGui.h"
#include "platform/qt/QtCanvas.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>

#include <string_view>

namespace tonewell {

QImage RenderCanvasPicture(QSize size, const QFont& font, const std::function<void(Canvas&)>& draw) {
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) return image;
    QtCanvas canvas(image, font);
    draw(canvas);
    return image;
}

bool WriteCanvasPicture(const std::filesystem::path& path, QSize size, const std::function<void(Canvas&)>& draw) {
    if (size.width() < 1 || size.height() < 1 || size.width() > kLargestPictureSide ||
        size.height() > kLargestPictureSide)
        return false;
    EnsureGuiApplication();
    const QImage image = RenderCanvasPicture(size, QGuiApplication::font(), draw);
    if (image.isNull()) return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return false;
    return writeFileSafely(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace tonewell
