// The "Signal Generator Setting" dialog driven through its widgets on the loopback cable: a
// square wave typed in and run reaches the cable; Save through the Duration dialog writes what
// tonewell-cli generate writes; a long export cancelled from its progress keeps the old file;
// the MultiTones Configuration dialog opens from the waveform list. With
// TONEWELL_SCREENSHOT_DIR set, the pages and the multitone dialog are saved as pictures.

#include "app/Instrument.h"
#include "app/qt/ShowGeneratorDialog.h"
#include "generator/GeneratorTables.h"
#include "generator/OutputFormat.h"
#include "generator/qt/GeneratorDialogWindow.h"
#include "generator/qt/MultitoneWindow.h"
#include "platform/audio/LoopbackCable.h"
#include "platform/qt/QtShell.h"
#include "support/CableRecorder.h"
#include "support/TempDir.h"
#include "gui/Screenshot.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

#include <chrono>
#include <functional>

namespace tonewell {
namespace {

using namespace std::chrono_literals;
using testing::CableRecorder;
using testing::readFileBytes;
using testing::TempDir;
using testing::writeFileBytes;

// The Qt shell with the choosers answered by the test and the messages kept instead of shown.
class ScriptedShell : public QtShell {
public:
    void showMessage(std::string_view text) override { messages.emplace_back(text); }
    std::optional<SaveFileChoice> chooseSaveFileAndFilter(const FileDialogRequest&) override {
        return saveAnswer;
    }
    std::optional<std::string> chooseOpenFile(const FileDialogRequest&) override { return std::nullopt; }

    std::vector<std::string> messages;
    std::optional<SaveFileChoice> saveAnswer;
};

// Runs `step` on every pass of the event loop until it returns true (or the time is up), so
// that a test can answer the modal windows the dialog opens.
void WhileModal(std::function<bool()> step, std::chrono::milliseconds limit = 20s) {
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, step, limit] {
        if (step() || clock->elapsed() > limit.count()) {
            timer->stop();
            timer->deleteLater();
            delete clock;
        }
    });
    timer->start(10);
}

void TypeInto(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// What a screen reader hears of a widget, and its "toggle" of a button (no click).
std::string Heard(QWidget* widget, QAccessible::Text text) {
    return QAccessible::queryAccessibleInterface(widget)->text(text).toStdString();
}
void ToggleAsAScreenReader(QWidget* widget) {
    QAccessible::queryAccessibleInterface(widget)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

// A row the user picks from a drop-down list.
void Pick(QComboBox* box, int row) {
    box->setCurrentIndex(row);
    emit box->activated(row);
}

class GeneratorDialogGui : public ::testing::Test {
protected:
    GeneratorDialogGui() {
        cable.setHandlerWait(2s);
        instrument.programDir = home.path();
        shell.setWindow(&window);
        model.open();
        window.show();
        window.activateWindow();
        QApplication::processEvents();
    }
    ~GeneratorDialogGui() override {
        window.close();
        if (instrument.run.outputRunning.load()) instrument.output.RunStop();
    }

    ScriptedShell shell;
    LoopbackCable cable;
    Instrument instrument{shell, cable};
    TempDir home;
    TempDir dir;
    GeneratorDialog model{GeneratorDialogPartsOf(instrument)};
    GeneratorDialogWindow window{model};
};

TEST_F(GeneratorDialogGui, SquareTypedAndRunReachesTheCableUntilStop) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Signal Generator Setting"));
    ASSERT_EQ(window.tabs()->count(), 3);
    EXPECT_EQ(window.tabs()->tabText(0), QStringLiteral("Function"));
    EXPECT_EQ(window.tabs()->tabText(1), QStringLiteral("Sweep"));
    EXPECT_EQ(window.tabs()->tabText(2), QStringLiteral("Sampling"));
    EXPECT_TRUE(instrument.run.generatorShown.load());
    EXPECT_EQ(window.runButton()->text(), QStringLiteral("Run"));

    Pick(window.waveform(0), kWaveformSquare);
    QComboBox* frequency = window.frequency(0);
    frequency->setFocus();
    frequency->lineEdit()->selectAll();
    TypeInto(frequency->lineEdit(), QStringLiteral("441"));
    EXPECT_EQ(model.function.frequency[0].text(), "441");
    // Leaving the box checks the value and moves its slider: 100 - 440 x 100 / 22049 = 98.0.
    window.runButton()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(100 - window.frequencySlider(0)->value(), 98);

    CableRecorder recorder(cable, OutputFormatFor(instrument.generator), 1);
    window.runButton()->click();
    ASSERT_TRUE(instrument.run.outputRunning.load()) << (shell.messages.empty() ? "" : shell.messages.front());
    EXPECT_EQ(window.runButton()->text(), QStringLiteral("Stop"));
    EXPECT_FALSE(window.waveform(0)->isEnabled());
    EXPECT_FALSE(window.frequencySlider(0)->isEnabled());
    cable.advanceFrames(44100, 44100);
    ASSERT_TRUE(recorder.full());

    // Full scale of 1000 mV at 1000 mV: the square steps between the two extreme codes, 441
    // times a second, at 50 samples a half period.
    int rising = 0;
    for (std::size_t i = 0; i < recorder.samples16(); ++i) {
        const std::int16_t s = recorder.sample16(i);
        ASSERT_TRUE(s == 32767 || s == -32767) << "frame " << i << " is " << s;
        if (i > 0 && s > 0 && recorder.sample16(i - 1) < 0) ++rising;
    }
    EXPECT_NEAR(rising, 441, 1);

    window.runButton()->click();
    EXPECT_FALSE(instrument.run.outputRunning.load());
    EXPECT_EQ(window.runButton()->text(), QStringLiteral("Run"));
    EXPECT_TRUE(window.waveform(0)->isEnabled());
    EXPECT_TRUE(shell.messages.empty());

    // Ok closes the dialog; the flag goes with it.
    window.okButton()->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(instrument.run.generatorShown.load());
}

TEST_F(GeneratorDialogGui, SaveOfTwoSecondsWritesWhatTheCommandLineToolWrites) {
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/tonewell-cli");
    ASSERT_TRUE(QFileInfo::exists(cli)) << "build tonewell-cli first";
    Pick(window.waveform(0), kWaveformTriangle);
    window.frequency(0)->lineEdit()->selectAll();
    window.frequency(0)->setFocus();
    TypeInto(window.frequency(0)->lineEdit(), QStringLiteral("250"));
    window.tabs()->setCurrentIndex(kSamplingTab);  // reads the pages
    EXPECT_EQ(instrument.generator.frequencyA, 250u);

    shell.saveAnswer = SaveFileChoice{(dir / "gui").string(), 0};
    bool answered = false;
    WhileModal([&] {
        auto* duration = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (duration == nullptr || duration->objectName() != QStringLiteral("durationDialog")) return false;
        auto* box = duration->findChild<QLineEdit*>(QStringLiteral("duration"));
        box->setText(QStringLiteral("2"));
        SaveScreenshot(duration, QStringLiteral("generator-duration"));
        duration->accept();
        answered = true;
        return true;
    });
    window.saveButton()->click();
    ASSERT_TRUE(answered);
    const std::string gui = readFileBytes(dir / "gui.wav");
    ASSERT_EQ(gui.size(), 44u + 2 * 88200 + 34 + 8);

    QProcess tool;
    tool.start(cli, {QStringLiteral("generate"), QStringLiteral("--output"), QString::fromStdString((dir / "cli.wav").string()),
                     QStringLiteral("--set"), QStringLiteral("waveformIndexA=Triangle"), QStringLiteral("--set"),
                     QStringLiteral("frequencyA=250"), QStringLiteral("--duration"), QStringLiteral("2")});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_TRUE(gui == readFileBytes(dir / "cli.wav")) << "the dialog's file differs from tonewell-cli's";
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(GeneratorDialogGui, CancelledLongExportKeepsTheOldFile) {
    writeFileBytes(dir / "long.txt", "the old file");
    // 96 kHz stereo as a text table for a day: far more than a second of work.
    Pick(window.waveform(0), kWaveformPinkNoise);
    window.tabs()->setCurrentIndex(kSamplingTab);
    model.sampling.rate.userSelect(4);
    model.sampling.channels.userSelect(1);
    shell.saveAnswer = SaveFileChoice{(dir / "long.txt").string(), 1};

    bool progressShown = false;
    bool durationAnswered = false;
    WhileModal([&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!durationAnswered) {
            auto* duration = qobject_cast<QDialog*>(modal);
            if (duration == nullptr || duration->objectName() != QStringLiteral("durationDialog")) return false;
            duration->findChild<QLineEdit*>(QStringLiteral("duration"))->setText(QStringLiteral("86400"));
            duration->accept();
            durationAnswered = true;
            return false;
        }
        auto* progress = window.findChild<QProgressDialog*>(QStringLiteral("exportProgress"));
        if (progress == nullptr || !progress->isVisible()) return false;
        progressShown = true;
        SaveScreenshot(progress, QStringLiteral("generator-progress"));
        // The user presses Cancel.
        for (QPushButton* button : progress->findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("Cancel")) button->click();
        return true;
    }, 60s);
    QElapsedTimer took;
    took.start();
    window.saveButton()->click();
    EXPECT_TRUE(durationAnswered);
    EXPECT_TRUE(progressShown);
    EXPECT_LT(took.elapsed(), 30000);
    EXPECT_EQ(readFileBytes(dir / "long.txt"), "the old file");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "a partial file was left";
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(GeneratorDialogGui, MultiTonesFromTheListOpensItsDialogAndTheSetIsKept) {
    instrument.toneLists[0].append(kWaveformSine, 440, 1.0f);
    bool seen = false;
    WhileModal([&] {
        auto* multitones = qobject_cast<MultitoneWindow*>(QApplication::activeModalWidget());
        if (multitones == nullptr) return false;
        seen = true;
        EXPECT_EQ(multitones->windowTitle(), QStringLiteral("MultiTones Configuration"));
        EXPECT_EQ(multitones->lines(0)->count(), 0);  // choosing MultiTones empties the lists
        EXPECT_FALSE(multitones->remove(0)->isEnabled());
        multitones->frequency()->lineEdit()->selectAll();
        multitones->frequency()->setFocus();
        // Typed over the preset "1000" the box opens with.
        TypeInto(multitones->frequency()->lineEdit(), QStringLiteral("500"));
        multitones->add(0)->click();
        Pick(multitones->waveform(), 4);  // WhiteNoise: no frequency
        EXPECT_FALSE(multitones->frequency()->isEnabled());
        multitones->add(1)->click();
        EXPECT_EQ(multitones->lines(0)->item(0)->text(), QStringLiteral("1:Sine,500Hz,1.000000"));
        EXPECT_EQ(multitones->lines(1)->item(0)->text(), QStringLiteral("1:WhiteNoise,---,1.000000"));
        SaveScreenshot(multitones, QStringLiteral("generator-multitones"));
        for (QPushButton* button : multitones->findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("Close")) button->click();
        return true;
    });
    Pick(window.waveform(0), kWaveformMultiTones);
    EXPECT_TRUE(seen);
    EXPECT_EQ(window.waveform(1)->currentText(), QStringLiteral("MultiTones"));
    EXPECT_TRUE(window.findChild<QPushButton*>() != nullptr);
    ASSERT_EQ(instrument.toneLists[0].count, 1u);
    EXPECT_EQ(instrument.toneLists[0].frequency[0], 500u);
    EXPECT_EQ(instrument.toneLists[1].waveform[0], kWaveformWhiteNoise);
    EXPECT_FALSE(window.frequency(0)->isEnabled());
}

TEST_F(GeneratorDialogGui, TypingOverAPickedPresetGoesWhereTheCaretIs) {
    QComboBox* amplitude = window.amplitude(0);
    amplitude->setFocus();
    Pick(amplitude, 1);  // "500"
    amplitude->lineEdit()->selectAll();
    TypeInto(amplitude->lineEdit(), QStringLiteral("750"));
    EXPECT_EQ(amplitude->currentText(), QStringLiteral("750"));
    EXPECT_EQ(model.function.amplitude[0].text(), "750");
    window.okButton()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(100 - window.amplitudeSlider(0)->value(), 25);  // 100 - 749 x 100 / 999 = 25.03
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(GeneratorDialogGui, OpeningTheDropDownIsNoLeavingOfTheBox) {
    QComboBox* frequency = window.frequency(0);
    frequency->setFocus();
    QApplication::processEvents();
    frequency->lineEdit()->selectAll();
    TypeInto(frequency->lineEdit(), QStringLiteral("30000"));
    frequency->showPopup();
    QApplication::processEvents();
    frequency->hidePopup();
    QApplication::processEvents();
    EXPECT_TRUE(shell.messages.empty());
    window.okButton()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(shell.messages, std::vector<std::string>{"Please input a value within 1~22050 Hz"});
    EXPECT_EQ(frequency->currentText(), QStringLiteral("22050"));
}

TEST_F(GeneratorDialogGui, EveryControlIsNamedAndThePagesCanBePictured) {
    instrument.toneFilePath = "/home/user/Tonewell/WFLib/a rather long library name.wfl";
    model.showSettings();
    int named = 0;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
                             qobject_cast<QSlider*>(widget) || qobject_cast<QListWidget*>(widget) ||
                             (qobject_cast<QLineEdit*>(widget) && !qobject_cast<QComboBox*>(widget->parentWidget()));
        if (!control) continue;
        EXPECT_FALSE(Heard(widget, QAccessible::Name).empty()) << widget->metaObject()->className() << " "
                                                                 << widget->objectName().toStdString();
        ++named;
    }
    EXPECT_GE(named, 30);
    // The vertical sliders have position 0 (the highest value) at the top, where Qt's
    // vertical slider has its maximum.
    EXPECT_EQ(window.frequencySlider(0)->value(), 100 - model.function.frequencySlider[0].position());
    window.frequencySlider(0)->triggerAction(QAbstractSlider::SliderToMaximum);  // the top, as the user's End key
    EXPECT_EQ(model.function.frequency[0].text(), "22050");

    // Pictured with both channels playing, so that most controls are enabled.
    instrument.generator.channelsIndex = 1;
    instrument.generator.waveformIndexB = kWaveformSquare;
    model.showSettings();
    window.adjustSize();
    EXPECT_TRUE(window.phase()->isEnabled());
    EXPECT_TRUE(window.amplitudeSlider(1)->isEnabled());
    SaveScreenshot(&window, QStringLiteral("generator-function"));
    window.tabs()->setCurrentIndex(kSweepTab);
    model.function.sweep.userClick();
    SaveScreenshot(&window, QStringLiteral("generator-sweep"));
    window.tabs()->setCurrentIndex(kSamplingTab);
    SaveScreenshot(&window, QStringLiteral("generator-sampling"));
}

TEST_F(GeneratorDialogGui, ScreenReadersHearWhatIsShownAndTheirTogglesReachTheModel) {
    // Run/Stop is announced by its caption; a list (announced by its row) says what it selects.
    model.setRunButtonText("Stop");
    EXPECT_EQ(Heard(window.runButton(), QAccessible::Name), "Stop");
    EXPECT_EQ(Heard(window.runButton(), QAccessible::Description), "Run or Stop the output");
    for (QComboBox* box : window.findChildren<QComboBox*>())
        EXPECT_FALSE(Heard(box, QAccessible::Description).empty()) << box->accessibleName().toStdString();

    // A toggle reaches the model, a click once, and the model's own change is no user's.
    QAbstractButton* display = nullptr;
    QAbstractButton* logA = nullptr;
    for (QAbstractButton* each : window.findChildren<QAbstractButton*>()) {
        if (each->accessibleName() == QStringLiteral("Display in Oscilloscope")) display = each;
        if (each->accessibleName() == QStringLiteral("Log A")) logA = each;
    }
    ASSERT_TRUE(display != nullptr && logA != nullptr);
    CheckControl& check = model.function.displayInScope;
    ToggleAsAScreenReader(display);
    EXPECT_TRUE(check.checked());
    display->click();
    EXPECT_FALSE(check.checked());
    check.setChecked(true);
    EXPECT_TRUE(display->isChecked() && check.checked());
    model.function.sweep.userClick();  // the sweep laws take choices with the sweep on
    ToggleAsAScreenReader(logA);
    EXPECT_EQ(model.sweep.law[0].choice(), 1);
}

}  // namespace
}  // namespace tonewell
