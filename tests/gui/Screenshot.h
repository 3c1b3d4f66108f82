#pragma once
// For looking at a window as the user sees it: with TONEWELL_SCREENSHOT_DIR=folder set, the
// widget is saved there as name.png once the pending events have been handled; without it,
// nothing happens.

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace tonewell {

inline void SaveScreenshot(QWidget* widget, const QString& name) {
    const QByteArray folder = qgetenv("TONEWELL_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    QApplication::processEvents();
    widget->grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(name + QStringLiteral(".png")));
}

}  // namespace tonewell
