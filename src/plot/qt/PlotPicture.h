#pragma once
// A plotting view's picture as an image or a PNG file, drawn by the same code as its window, so
// a picture shows exactly what the view shows for its record and settings. Needs no display:
// EnsureGuiApplication (platform/qt/HeadlessGui.h) is called when no Qt application exists.
// UI thread.

#include <QFont>
#include <QImage>
#include <QSize>

#include <filesystem>

namespace tonewell {

class PlotView;

// The picture at the given size with the given font. The view lays itself out for the size and
// again for its window at the next paint; pending draws and cursors are left as they were.
QImage RenderPlotPicture(PlotView& view, QSize size, const QFont& font);
// The same with the application's font (creating the application first when there is none).
QImage RenderPlotPicture(PlotView& view, QSize size);

// Writes the picture as PNG, safely: a failure leaves any previous file as it was. False when
// the size is not 1..16384 pixels each way or the file could not be written.
bool WritePlotPicture(PlotView& view, const std::filesystem::path& path, QSize size);

}  // namespace tonewell
