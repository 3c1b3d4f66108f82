#include "platform/qt/HeadlessGui.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace tonewell {

void EnsureGuiApplication() {
    if (QCoreApplication::instance()) return;
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
