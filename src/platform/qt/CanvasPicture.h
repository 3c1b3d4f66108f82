#pragma once
// A picture drawn through the Qt canvas without a window, and its PNG file: what the views'
// pictures (for tonewell-cli and the picture export) have in common. Needs no display:
// EnsureGuiApplication is called when no Qt application exists. UI thread.

#include "platform/Canvas.h"

#include <QFont>
#include <QImage>
#include <QSize>

#include <filesystem>
#include <functional>

namespace tonewell {

// The largest side of a picture file, in pixels.
inline constexpr int kLargestPictureSide = 16384;

// A fresh image of the size with draw's picture on it (a null image when it cannot be made).
QImage RenderCanvasPicture(QSize size, const QFont& font, const std::function<void(Canvas&)>& draw);

// draw's picture at the size, in the application's font, as PNG, written safely: a failure
// leaves any previous file as it was. False when a side is not 1..kLargestPictureSide pixels or
// the file could not be written.
bool WriteCanvasPicture(const std::filesystem::path& path, QSize size, const std::function<void(Canvas&)>& draw);

}  // namespace tonewell
