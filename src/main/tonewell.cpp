// tonewell: the sound-card instrument with its window.

#include "app/qt/MainWindow.h"
#include "platform/qt/QtShell.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonewell"));
    tonewell::QtShell shell;
    tonewell::MainWindow window(shell);
    shell.setWindow(&window);
    window.show();
    return QApplication::exec();
}
