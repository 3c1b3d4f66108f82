#include "platform/qt/HeadlessGui.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>

namespace tonewell {

namespace {

// A tool's stderr carries its own messages for scripts to read; Qt's notes about the desktop it
// does without (no runtime folder, no display) would only be noise there. Critical and fatal
// reports still pass.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtCriticalMsg && type != QtFatalMsg) return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

void EnsureGuiApplication() {
    if (QCoreApplication::instance()) return;
    qInstallMessageHandler(QuietMessages);
    // The arguments must outlive the application; the application lives as long as the program
    // (it is reachable from here, so it is no leak).
    static int argc = 3;
    static char name[] = "tonewell";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

}  // namespace tonewell
