// The "Signal Generator Setting" dialog inside the program's window of edition 3: it opens by
// itself after the splash, modally, with generatorShown set; its Run with "Display in
// Oscilloscope" plays into the oscilloscope and takes the trigger mode away, in step with the
// frame's "Run/Stop output" button; the output plays on after Ok; the menu command opens it
// again reading "Run" once the frame has stopped the output. With TONEWELL_SCREENSHOT_DIR set,
// the window with the dialog over it is saved as pictures.

#include "app/FrameCommands.h"
#include "app/Instrument.h"
#include "app/qt/MainWindow.h"
#include "generator/qt/GeneratorDialogWindow.h"
#include "platform/audio/LoopbackCable.h"
#include "platform/qt/QtShell.h"
#include "support/ProgramHome.h"
#include "support/TempDir.h"
#include "gui/Screenshot.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

namespace tonewell {
namespace {

using namespace std::chrono_literals;
using testing::ProgramHome;
using testing::TempDir;

// Runs `step` inside the dialog's own event loop once the dialog is the modal window, then
// closes the dialog with Ok. Gives up after a few seconds, so that a dialog that never opens
// fails the test instead of hanging it.
void WhenDialogShows(std::function<void(GeneratorDialogWindow&)> step, bool& ran) {
    auto* timer = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, tries, step, &ran] {
        auto* dialog = qobject_cast<GeneratorDialogWindow*>(QApplication::activeModalWidget());
        if (dialog == nullptr && ++*tries < 500) return;
        timer->stop();
        timer->deleteLater();
        if (dialog == nullptr) return;
        step(*dialog);
        ran = true;
        dialog->okButton()->click();
    });
    timer->start(10);
}

class GeneratorInProgramGui : public ::testing::Test {
protected:
    GeneratorInProgramGui() {
        QSettings().clear();
        cable.setHandlerWait(2s);
    }
    ~GeneratorInProgramGui() override {
        if (instrument.run.outputRunning.load()) instrument.output.RunStop();
    }

    TempDir dir;
    ProgramHome home{dir / "home"};
    QtShell shell;
    LoopbackCable cable;
    Instrument instrument{shell, cable};
    MainWindow window{shell, instrument, kEditionGeneratorScope};
};

TEST_F(GeneratorInProgramGui, OpensAfterTheSplashAndItsRunPlaysIntoTheOscilloscopeAfterItCloses) {
    window.frame().startUp(std::nullopt);
    EXPECT_FALSE(instrument.run.generatorShown.load());
    QAction* runStopOutput = window.commandAction(kCommandRunStopOutput);

    bool ran = false;
    WhenDialogShows(
        [&](GeneratorDialogWindow& dialog) {
            EXPECT_TRUE(instrument.run.generatorShown.load());
            EXPECT_TRUE(window.isVisible());
            EXPECT_EQ(dialog.runButton()->text(), QStringLiteral("Run"));
            QCheckBox* display = nullptr;
            for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
                if (box->text() == QStringLiteral("Display in Oscilloscope")) display = box;
            ASSERT_NE(display, nullptr);
            display->click();
            dialog.runButton()->click();
            ASSERT_TRUE(instrument.run.outputRunning.load());
            EXPECT_EQ(dialog.runButton()->text(), QStringLiteral("Stop"));
            EXPECT_TRUE(instrument.run.displayInScopeActive.load());
            // The frame's buttons follow at its next idle refresh.
            EXPECT_TRUE(QTest::qWaitFor([&] { return runStopOutput->isChecked(); }, 2000));
            EXPECT_FALSE(instrument.panel.trigger.mode.enabled());
            EXPECT_FALSE(instrument.panel.sampling.point.enabled());
            EXPECT_EQ(instrument.panel.sampling.point.text(), "44100");  // one second a record
            // The first second played is in the document the oscilloscope draws.
            EXPECT_TRUE(instrument.document.IsModified());
            SaveScreenshot(&window, QStringLiteral("program-generator-running"));
            SaveScreenshot(&dialog, QStringLiteral("program-generator-dialog"));
        },
        ran);
    window.frame().OnSplashEnded();  // the dialog is posted, opens and is closed with Ok
    QApplication::processEvents();
    ASSERT_TRUE(ran) << "the generator dialog did not open after the splash";
    EXPECT_FALSE(instrument.run.generatorShown.load());
    EXPECT_TRUE(instrument.run.outputRunning.load());
    EXPECT_TRUE(QTest::qWaitFor([&] { return runStopOutput->isChecked(); }, 2000));

    // The frame's button stops what the dialog started; the menu command opens the dialog
    // again, reading "Run".
    runStopOutput->trigger();
    EXPECT_FALSE(instrument.run.outputRunning.load());
    EXPECT_FALSE(runStopOutput->isChecked());
    EXPECT_TRUE(instrument.panel.trigger.mode.enabled());
    bool again = false;
    WhenDialogShows(
        [&](GeneratorDialogWindow& dialog) {
            EXPECT_TRUE(instrument.run.generatorShown.load());
            EXPECT_EQ(dialog.runButton()->text(), QStringLiteral("Run"));
        },
        again);
    window.commandAction(kCommandSignalGenerator)->trigger();
    EXPECT_TRUE(again);
    EXPECT_FALSE(instrument.run.generatorShown.load());
}

}  // namespace
}  // namespace tonewell
