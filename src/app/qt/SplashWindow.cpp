#include "app/qt/SplashWindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace tonewell {

SplashWindow::SplashWindow(const QPixmap& picture, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), picture_(picture) {
    setObjectName(QStringLiteral("splash"));
    setAccessibleName(QStringLiteral("Tonewell"));
    setAccessibleDescription(QStringLiteral("Starting Tonewell; click or press a key to continue"));
    setFixedSize(picture_.deviceIndependentSize().toSize());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &SplashWindow::finish);
}

void SplashWindow::start(int milliseconds) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
    setFocus();
    timer_.start(milliseconds);
}

void SplashWindow::finish() {
    if (finished_) return;
    finished_ = true;
    timer_.stop();
    // Said before the box goes, so that the main window shows before the last window closes.
    emit closed();
    close();
}

void SplashWindow::dismiss() {
    finished_ = true;
    timer_.stop();
    close();
}

void SplashWindow::closeEvent(QCloseEvent* event) {
    if (!finished_) {
        finished_ = true;
        timer_.stop();
        emit closed();
    }
    QWidget::closeEvent(event);
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

void SplashWindow::mousePressEvent(QMouseEvent*) { finish(); }

void SplashWindow::keyPressEvent(QKeyEvent*) { finish(); }

}  // namespace tonewell
