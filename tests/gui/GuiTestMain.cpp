// The GUI tests run in one QApplication, offscreen unless QT_QPA_PLATFORM says otherwise. The
// window settings go to Qt's test location, never to the user's own.

#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quendal Technology"));
    QApplication::setApplicationName(QStringLiteral("Tonewell GUI tests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
