#include "app/Instrument.h"
#include "app/qt/MainWindow.h"
#include "platform/audio/AudioBackendSelection.h"
#include "platform/audio/LoopbackCable.h"
#include "platform/qt/QtShell.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QSplitter>
#include <QTimer>

namespace tonewell {
namespace {

TEST(MainWindowSmoke, ShowsTitledWindowWithScopeAboveSpectrum) {
    QtShell shell;
    LoopbackCable cable;
    Instrument instrument(shell, cable);
    MainWindow window(shell, instrument, kEditionGeneratorScope);
    shell.setWindow(&window);
    window.show();
    QApplication::processEvents();

    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tonewell"));
    ASSERT_NE(window.splitter(), nullptr);
    EXPECT_EQ(window.splitter()->orientation(), Qt::Vertical);
    EXPECT_EQ(window.splitter()->indexOf(window.scopePane()), 0);
    EXPECT_EQ(window.splitter()->indexOf(window.spectrumPane()), 1);
    EXPECT_TRUE(window.scopePane()->isVisible());
    EXPECT_TRUE(window.spectrumPane()->isVisible());

    // For looking at the window as a user sees it: TONEWELL_SCREENSHOT=file.png
    if (QByteArray shot = qgetenv("TONEWELL_SCREENSHOT"); !shot.isEmpty())
        window.grab().save(QString::fromLocal8Bit(shot));
}

TEST(MainWindowSmoke, StatusBarNamesTheAudioBackend) {
    QtShell shell;
    LoopbackCable cable;
    Instrument instrument(shell, cable);
    MainWindow window(shell, instrument, kEditionGeneratorScope);
    auto audio = CreateAudioBackend("loopback", "");
    window.setAudioBackendName(QString::fromStdString(audio->displayName()));
    EXPECT_TRUE(window.audioBackendName().contains(QStringLiteral("Loopback"), Qt::CaseInsensitive))
        << window.audioBackendName().toStdString();
}

TEST(MainWindowSmoke, ExitWithCtrlQClosesTheWindowAndEndsTheEventLoop) {
    QtShell shell;
    LoopbackCable cable;
    Instrument instrument(shell, cable);
    MainWindow window(shell, instrument, kEditionGeneratorScope);
    shell.setWindow(&window);
    window.show();

    QAction* exit = window.findChild<QAction*>(QStringLiteral("command57665"));
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(exit->text(), QStringLiteral("Exit"));

    bool quitByExit = false;
    QTimer::singleShot(0, [&] { exit->trigger(); });
    QObject::connect(qApp, &QApplication::lastWindowClosed, [&] {
        quitByExit = true;
        QApplication::quit();
    });
    QTimer::singleShot(10000, [] { QApplication::exit(1); });  // never hang the suite
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(quitByExit);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace tonewell
