// The main window as the user meets it: every command of the table in its menu or bar, every
// control of the six bars bound to its model both ways, the panes and slots following the
// frame, editions 0 and 3 side by side, drops, File Close, the splash and the kept settings.

#include "app/Instrument.h"
#include "app/qt/Artwork.h"
#include "app/qt/MainWindow.h"
#include "app/qt/SplashWindow.h"
#include "acquisition/WavBytes.h"
#include "controls/qt/ControlBinders.h"
#include "platform/audio/LoopbackCable.h"
#include "platform/qt/QtShell.h"
#include "support/ProgramHome.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <memory>

namespace tonewell {
namespace {

using namespace testing;

std::string MonoWav(int frames) {
    return riff(chunk("fmt ", fmtBody(1, 11025, 8)) + chunk("data", std::string(static_cast<std::size_t>(frames), '\x90')));
}

QString AccessibleName(QObject* object) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    return accessible == nullptr ? QString() : accessible->text(QAccessible::Name);
}

bool LabelledByName(QObject* object) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    if (accessible == nullptr) return false;
    for (const auto& [label, relation] : accessible->relations(QAccessible::Label))
        if (!label->text(QAccessible::Name).isEmpty()) return true;
    return false;
}

// A window of one edition over the loopback cable, with its program files in a test folder.
// Each test starts from no kept window settings.
struct ClearedSettings {
    ClearedSettings() { QSettings().clear(); }
};

class MainWindowTest : public ::testing::TestWithParam<int> {
protected:
    // Capture's start-up auto-run only where a test asks for it, so that the commands that wait
    // for capture to stop stay enabled.
    void start(const std::optional<std::filesystem::path>& file = std::nullopt, bool autoRun = false) {
        window.frame().startUp(file);
        instrument.configuration.autoRunAtStartup = autoRun;
        // Edition 3 opens the generator dialog after the splash, modally; these tests are about
        // the window, so it is closed as soon as it shows.
        if (GetParam() == kEditionGeneratorScope) CloseModalDialogWhenShown();
        window.frame().OnSplashEnded();
        QApplication::processEvents();
    }

    static void CloseModalDialogWhenShown() {
        auto* timer = new QTimer(qApp);
        auto tries = std::make_shared<int>(0);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, tries] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr && ++*tries < 500) return;
            timer->stop();
            timer->deleteLater();
            if (dialog != nullptr) dialog->reject();
        });
        timer->start(10);
    }

    ClearedSettings cleared;
    TempDir dir;
    ProgramHome home{dir / "home"};
    QtShell shell;
    LoopbackCable cable;
    Instrument instrument{shell, cable};
    MainWindow window{shell, instrument, GetParam()};
};

TEST_P(MainWindowTest, EveryCommandOfTheTableIsInItsMenuOrBarWithItsPrompt) {
    std::map<QString, QMenu*> menus;
    for (QAction* action : window.menuBar()->actions()) menus[action->text().remove('&')] = action->menu();
    ASSERT_EQ(menus.size(), 3u);
    for (const FrameCommand& command : FrameCommandTable()) {
        QAction* action = window.commandAction(command.id);
        ASSERT_NE(action, nullptr) << command.id;
        EXPECT_EQ(action->text().toStdString(), command.text);
        EXPECT_EQ(action->statusTip().toStdString(), command.prompt());
        QWidget* home = nullptr;
        switch (command.place) {
        case CommandPlace::FileMenu: home = menus["File"]; break;
        case CommandPlace::SettingMenu: home = menus["Setting"]; break;
        case CommandPlace::HelpMenu: home = menus["Help"]; break;
        case CommandPlace::CommandBar: home = window.commandBar(); break;
        case CommandPlace::BarButton:
            for (QToolBar* bar : window.parameterBars())
                if (bar->actions().contains(action)) home = bar;
            break;
        case CommandPlace::Posted: continue;
        }
        ASSERT_NE(home, nullptr) << command.id;
        EXPECT_TRUE(home->actions().contains(action)) << command.text;
    }
    // For looking at the menus as a user sees them: TONEWELL_SCREENSHOT_DIR=folder
    if (QByteArray folder = qgetenv("TONEWELL_SCREENSHOT_DIR"); !folder.isEmpty()) {
        start();
        for (const auto& [title, menu] : menus) {
            menu->popup(QPoint(0, 0));
            QApplication::processEvents();
            menu->grab().save(QStringLiteral("%1/menu-%2-edition%3.png").arg(QString::fromLocal8Bit(folder), title).arg(GetParam()));
            menu->hide();
        }
        window.show();
        QApplication::processEvents();
        window.grab().save(QStringLiteral("%1/window-edition%2.png").arg(QString::fromLocal8Bit(folder)).arg(GetParam()));
        for (int id : {kCommandShowSamplingBar, kCommandShowScopeBar2, kCommandSpectrumParameters})
            window.commandAction(id)->trigger();
        QApplication::processEvents();
        window.grab().save(QStringLiteral("%1/window-bars2-edition%2.png").arg(QString::fromLocal8Bit(folder)).arg(GetParam()));
        window.commandAction(kCommandShowSpectrumBar2)->trigger();
        QApplication::processEvents();
        window.grab().save(QStringLiteral("%1/window-bars3-edition%2.png").arg(QString::fromLocal8Bit(folder)).arg(GetParam()));
    }
    EXPECT_EQ(window.commandAction(kCommandFileNew)->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    EXPECT_EQ(window.commandAction(kCommandFileOpen)->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(window.commandAction(kCommandFileSave)->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(window.commandAction(kCommandAppExit)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
}

TEST_P(MainWindowTest, ACommandTheFrameDisablesIsDisabledInItsMenu) {
    start();
    QMenu* file = window.commandAction(kCommandFileNew)->associatedObjects().isEmpty()
                      ? nullptr
                      : qobject_cast<QMenu*>(window.commandAction(kCommandFileNew)->associatedObjects().front());
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    EXPECT_TRUE(window.commandAction(kCommandFileNew)->isEnabled());
    EXPECT_FALSE(window.commandAction(kCommandFileSave)->isEnabled());  // nothing recorded yet

    instrument.run.inputRunning = true;
    emit file->aboutToShow();
    EXPECT_FALSE(window.commandAction(kCommandFileNew)->isEnabled());
    EXPECT_FALSE(window.commandAction(kCommandFileOpen)->isEnabled());
    EXPECT_TRUE(window.commandAction(kCommandAppExit)->isEnabled());
    instrument.run.inputRunning = false;
}

TEST_P(MainWindowTest, EditionsDecideTheButtonsAndPanes) {
    start();
    const bool all = GetParam() == kEditionAll;
    EXPECT_EQ(window.commandAction(kCommandSpectrumPane)->isEnabled(), all);
    EXPECT_EQ(window.commandAction(kCommandSpectrumParameters)->isEnabled(), all);
    EXPECT_EQ(window.commandAction(kCommandSignalGenerator)->isEnabled(), true);
    EXPECT_EQ(window.commandAction(kCommandRunStopInput)->isEnabled(), all);
    EXPECT_TRUE(window.commandAction(kCommandRunStopOutput)->isEnabled());
    EXPECT_TRUE(window.scopePane()->isVisible());
    EXPECT_EQ(window.spectrumPane()->isVisible(), all);
    EXPECT_TRUE(window.commandAction(kCommandScopePane)->isChecked());
    EXPECT_EQ(window.commandAction(kCommandSpectrumPane)->isChecked(), all);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Untitled - Tonewell"));
}

TEST_P(MainWindowTest, RunStopOutputPlaysAndTheStatusBarCountsUnderruns) {
    start();
    QAction* run = window.commandAction(kCommandRunStopOutput);
    run->trigger();
    EXPECT_TRUE(instrument.run.outputRunning);
    EXPECT_TRUE(run->isChecked());
    EXPECT_TRUE(window.runCountsText().startsWith(QStringLiteral("Output underruns: "))) << window.runCountsText().toStdString();
    run->trigger();
    EXPECT_FALSE(instrument.run.outputRunning);
    EXPECT_FALSE(run->isChecked());
    EXPECT_TRUE(window.runCountsText().isEmpty());
}

// The start-up auto-run presses Run/Stop monitoring input; its release timer runs as a QTimer
// through the frame, the status bar counts the input's overruns, and the button stops capture.
TEST_P(MainWindowTest, CaptureRunsFromTheStartUpUntilItsButtonStopsIt) {
    // The input opens at once, not a click's pause after the start-up's Run.
    instrument.capture.startClickPause = std::chrono::milliseconds(0);
    start(std::nullopt, true);
    QAction* run = window.commandAction(kCommandRunStopInput);
    const bool capture = EditionHasCapture(GetParam());
    EXPECT_EQ(instrument.run.inputRunning.load(), capture);
    EXPECT_EQ(run->isChecked(), capture);
    EXPECT_EQ(window.runCountsText(), capture ? QStringLiteral("Input overruns: 0") : QString());
    if (!capture) return;
    EXPECT_FALSE(window.commandAction(kCommandFileOpen)->isEnabled());

    // Timer 1 ages a record on the views; with no record it leaves the count alone.
    instrument.redraw.releaseTicks = 1;
    for (int wait = 0; wait < 100 && instrument.redraw.releaseTicks.load() < 3; ++wait)
        QTest::qWait(10);
    EXPECT_GE(instrument.redraw.releaseTicks.load(), 3);
    instrument.redraw.releaseTicks = 0;

    run->trigger();
    EXPECT_FALSE(instrument.run.inputRunning.load());
    EXPECT_FALSE(run->isChecked());
    EXPECT_TRUE(window.runCountsText().isEmpty());
    EXPECT_TRUE(window.commandAction(kCommandFileOpen)->isEnabled());
}

TEST_P(MainWindowTest, PaneButtonsToggleThePanesAsTheFrameSays) {
    start();
    window.resize(800, 700);
    QApplication::processEvents();
    window.commandAction(kCommandScopePane)->trigger();
    if (GetParam() == kEditionAll) {
        EXPECT_FALSE(window.scopePane()->isVisible());
        EXPECT_TRUE(window.spectrumPane()->isVisible());
        window.commandAction(kCommandScopePane)->trigger();
        QApplication::processEvents();
        const QList<int> sizes = window.splitter()->sizes();
        EXPECT_LE(std::abs(sizes[0] - sizes[1]), 1) << sizes[0] << " " << sizes[1];
    } else {
        EXPECT_TRUE(window.scopePane()->isVisible());  // the only pane stays
    }
    EXPECT_TRUE(window.commandAction(kCommandScopePane)->isChecked());
}

TEST_P(MainWindowTest, SlotCommandsShowAndHideTheBars) {
    start();
    const std::vector<QToolBar*>& bars = window.parameterBars();
    ASSERT_EQ(bars.size(), 6u);
    auto shown = [&] {
        std::vector<bool> visible;
        for (QToolBar* bar : bars) visible.push_back(bar->isVisible());
        return visible;
    };
    EXPECT_EQ(shown(), (std::vector<bool>{true, false, true, false, false, false}));
    window.commandAction(kCommandShowSamplingBar)->trigger();
    window.commandAction(kCommandShowScopeBar2)->trigger();
    EXPECT_EQ(shown(), (std::vector<bool>{false, true, false, true, false, false}));
    window.commandAction(kCommandTrigSampParameters)->trigger();
    EXPECT_EQ(shown(), (std::vector<bool>{false, false, false, true, false, false}));
    EXPECT_FALSE(window.commandAction(kCommandTrigSampParameters)->isChecked());
    window.commandAction(kCommandSpectrumParameters)->trigger();
    EXPECT_EQ(bars[4]->isVisible(), GetParam() == kEditionAll);
}

TEST_P(MainWindowTest, EveryBarControlIsBoundToItsModelBothWays) {
    start();
    int accepted = 0;
    for (const FrameBar& bar : window.frameBars())
        for (const FrameBarControl& control : bar.controls) {
            if (control.item.control == nullptr) continue;
            const QString name = QStringLiteral("control%1").arg(control.item.id);
            QWidget* widget = window.findChild<QWidget*>(name);
            ASSERT_NE(widget, nullptr) << name.toStdString();
            EXPECT_EQ(widget->statusTip().toStdString(), control.prompt);
            EXPECT_EQ(widget->toolTip().toStdString(), control.name);  // the tip
            if (auto* box = qobject_cast<QComboBox*>(widget)) {
                // Announced by its row, it says what it selects in its description.
                EXPECT_EQ(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Description).toStdString(), control.prompt);
                auto* list = static_cast<ListControl*>(control.item.control);
                ASSERT_GT(list->count(), 1) << name.toStdString();
                ASSERT_EQ(box->count(), list->count());
                if (!list->operable()) continue;
                const int before = list->selection();
                const int row = before == 1 ? 0 : 1;
                emit box->activated(row);  // the user picks a row
                // The handler may refuse it (the oscilloscope type needs both channels for some
                // rows); either way the box shows what the model holds.
                EXPECT_TRUE(list->selection() == row || list->selection() == before) << name.toStdString();
                EXPECT_EQ(box->currentIndex(), list->selection()) << name.toStdString();
                accepted += list->selection() == row;
                list->setSelection(0);  // the program selects one
                EXPECT_EQ(box->currentIndex(), 0) << name.toStdString();
            }
        }
    EXPECT_GE(accepted, 15);
    EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("control%1").arg(kTriggerModeId))->toolTip(), "Change trigger mode");
    EXPECT_EQ(window.commandAction(kCommandAppExit)->toolTip(), QStringLiteral("Exit"));
}

TEST_P(MainWindowTest, TriggerLevelFollowsItsSpinButtonsAndKeys) {
    start();
    auto* level = window.findChild<QLineEdit*>(QStringLiteral("control%1").arg(kTriggerLevelId));
    auto* spin = window.findChild<SpinButtons*>(QStringLiteral("control%1").arg(kTriggerLevelSpinId));
    ASSERT_NE(level, nullptr);
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(level->text(), QStringLiteral("0%"));
    spin->upButton()->click();
    spin->upButton()->click();
    EXPECT_EQ(instrument.panel.trigger.levelSpin.position(), 2);
    EXPECT_EQ(level->text(), QStringLiteral("2%"));
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(level, &down);
    EXPECT_EQ(level->text(), QStringLiteral("1%"));

    // Trigger mode "None" disables the level, and the widgets follow.
    auto* mode = window.findChild<QComboBox*>(QStringLiteral("control%1").arg(kTriggerModeId));
    emit mode->activated(0);
    EXPECT_FALSE(level->isEnabled());
    EXPECT_FALSE(spin->upButton()->isEnabled());
}

TEST_P(MainWindowTest, TypedRecordLengthReachesTheSamplingBar) {
    instrument.configuration.enablePointEdit = true;
    start();
    window.frame().afterDisplaySetting();
    auto* point = window.findChild<QComboBox*>(QStringLiteral("control%1").arg(kRecordLengthId));
    ASSERT_NE(point, nullptr);
    ASSERT_TRUE(point->isEditable());
    ASSERT_TRUE(point->isEnabled());
    emit point->lineEdit()->textEdited(QStringLiteral("882"));
    EXPECT_EQ(instrument.panel.sampling.point.text(), "882");
    EXPECT_EQ(instrument.acquisition.recordLength, 882);
    EXPECT_EQ(point->count(), instrument.panel.sampling.point.count());  // typed text is no row
}

TEST_P(MainWindowTest, EveryOperableWidgetHasAnAccessibleName) {
    start();
    window.commandAction(kCommandShowSamplingBar)->trigger();
    window.commandAction(kCommandSpectrumParameters)->trigger();
    window.commandAction(kCommandFrequencyResponse)->trigger();  // a window of its own where offered
    QStringList unnamed;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const bool operable = widget->isVisible() && (qobject_cast<QAbstractButton*>(widget) ||
                                                      qobject_cast<QComboBox*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                                                      qobject_cast<QAbstractSlider*>(widget) ||
                                                      widget->inherits("QSplitterHandle"));
        if (operable && AccessibleName(widget).isEmpty())
            unnamed << QString::fromLatin1(widget->metaObject()->className()) + "/" + widget->objectName();
        // A combo box is announced by its current row; its name comes from the label for it.
        if (qobject_cast<QComboBox*>(widget) != nullptr && widget->isVisible() && !LabelledByName(widget))
            unnamed << QStringLiteral("unlabelled QComboBox/") + widget->objectName();
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
}

TEST_P(MainWindowTest, ADroppedWavFileIsOpened) {
    start();
    const auto path = dir / "dropped.wav";
    writeFileBytes(path, MonoWav(64));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path.string()))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    EXPECT_EQ(instrument.document.sampleCount, 64u);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("dropped.wav - Tonewell"));
}

TEST_P(MainWindowTest, FileClosePostedByARefusalEndsTheProgram) {
    QSignalSpy ended(&window, &MainWindow::programEnded);
    window.show();
    shell.postCommand(kCommandFileClose);
    QApplication::processEvents();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(window.isVisible());
}

TEST_P(MainWindowTest, BarSlotsAndTheSplitComeBackAtTheNextStart) {
    start();
    window.commandAction(kCommandShowSamplingBar)->trigger();
    window.commandAction(kCommandScopeParameters)->trigger();
    ASSERT_EQ(window.frame().slotState(BarSlot::Scope), 0) << window.commandAction(kCommandScopeParameters)->isEnabled();
    window.close();

    QtShell nextShell;
    Instrument next(nextShell, cable);
    MainWindow again(nextShell, next, GetParam());
    EXPECT_EQ(again.frame().slotState(BarSlot::TriggerSampling), 2);
    EXPECT_EQ(again.frame().slotState(BarSlot::Scope), 0);
    EXPECT_EQ(again.frame().slotState(BarSlot::Spectrum), 0);
}

INSTANTIATE_TEST_SUITE_P(Editions, MainWindowTest, ::testing::Values(kEditionAll, kEditionGeneratorScope),
                         [](const auto& info) { return "Edition" + std::to_string(info.param); });

TEST(SplashWindowTest, ClosesOnItsTimeOrEarlierOnAClickOrAKey) {
    for (int way = 0; way < 4; ++way) {
        SplashWindow splash(SplashPicture());
        QSignalSpy closed(&splash, &SplashWindow::closed);
        splash.start(way == 0 ? 1 : 60000);
        if (way == 1) {
            QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(&splash, &click);
        } else if (way == 2) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
            QApplication::sendEvent(&splash, &key);
        } else if (way == 3) {
            splash.close();  // the window manager closed it
        } else {
            EXPECT_TRUE(closed.wait(2000));
        }
        EXPECT_EQ(closed.count(), 1) << way;
        EXPECT_FALSE(splash.isVisible());
        splash.finish();  // once only
        EXPECT_EQ(closed.count(), 1);
    }
    // The program ending closes it without a word.
    SplashWindow splash(SplashPicture());
    QSignalSpy closed(&splash, &SplashWindow::closed);
    splash.start(60000);
    splash.dismiss();
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(closed.count(), 0);
}

TEST(ArtworkTest, EveryButtonOfTheBarsHasAnIconOfItsOwn) {
    const std::vector<int> ids{kCommandRunStopInput, kCommandScopePane, kCommandSpectrumPane, kCommandRunStopOutput,
                               kCommandShowSamplingBar};
    std::vector<QImage> pictures;
    for (int id : ids) {
        const QIcon icon = CommandIcon(id);
        ASSERT_FALSE(icon.isNull()) << id;
        pictures.push_back(icon.pixmap(32, 32).toImage());
    }
    for (std::size_t i = 0; i < pictures.size(); ++i)
        for (std::size_t j = i + 1; j < pictures.size(); ++j) EXPECT_NE(pictures[i], pictures[j]) << ids[i] << " " << ids[j];
    EXPECT_TRUE(CommandIcon(kCommandFileNew).isNull());
    EXPECT_FALSE(ProgramIcon().isNull());

    // For looking at the pictures: TONEWELL_SCREENSHOT_DIR=folder
    if (QByteArray folder = qgetenv("TONEWELL_SCREENSHOT_DIR"); !folder.isEmpty()) {
        SplashPicture().save(QString::fromLocal8Bit(folder) + "/splash.png");
        QImage sheet(6 * 72, 2 * 72, QImage::Format_ARGB32);
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            painter.drawPixmap(static_cast<int>(i) * 72 + 4, 4, CommandIcon(ids[i]).pixmap(64, 64));
            painter.drawPixmap(static_cast<int>(i) * 72 + 4, 76, CommandIcon(ids[i]).pixmap(24, 24));
        }
        painter.drawPixmap(5 * 72 + 4, 4, ProgramIcon().pixmap(64, 64));
        painter.end();
        sheet.save(QString::fromLocal8Bit(folder) + "/icons.png");
    }
}

}  // namespace
}  // namespace tonewell
