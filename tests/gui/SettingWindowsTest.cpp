// The Notes, Calibration Setting and Display Setting dialogs driven as a user drives them,
// over their models with a recording shell (so messages and the colour chooser are scripted).

#include "acquisition/NotesDialog.h"
#include "app/CalibrationSettingDialog.h"
#include "app/DisplaySettingDialog.h"
#include "app/Instrument.h"
#include "app/InstrumentConfigurationFile.h"
#include "app/qt/SettingWindows.h"
#include "platform/RecordingShell.h"
#include "platform/audio/LoopbackCable.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tonewell {
namespace {

using namespace testing;

// For looking at a dialog as a user sees it: TONEWELL_SCREENSHOT_DIR=folder
void Picture(QWidget& dialog, const char* name) {
    if (QByteArray folder = qgetenv("TONEWELL_SCREENSHOT_DIR"); !folder.isEmpty()) {
        dialog.adjustSize();
        dialog.grab().save(QString::fromLocal8Bit(folder) + "/" + name + ".png");
    }
}

TEST(NotesWindowTest, OkKeepsThePrintableTextAndTheDisplayChoice) {
    RecordingShell shell;
    InstrumentConfiguration configuration;
    std::atomic<bool> inputRunning{false};
    CSignalDoc document(shell, configuration, inputRunning, FreshDocumentSelection{});
    document.notes = "old";
    int redraws = 0;
    NotesDialog model(document, [&] { ++redraws; });
    model.Open();
    NotesWindow window(model);
    EXPECT_EQ(window.textBox()->toPlainText(), QStringLiteral("old"));
    Picture(window, "notes");

    window.textBox()->setPlainText(QStringLiteral("line one\nline two"));
    window.displayBox()->click();  // only redraws
    EXPECT_EQ(redraws, 1);
    EXPECT_FALSE(document.displayNotes);
    window.accept();
    EXPECT_EQ(document.notes, "line oneline two");
    EXPECT_TRUE(document.displayNotes);
    EXPECT_TRUE(document.IsModified());
    EXPECT_EQ(redraws, 2);
}

TEST(NotesWindowTest, TheBoxHoldsAtMost1023Characters) {
    RecordingShell shell;
    InstrumentConfiguration configuration;
    std::atomic<bool> inputRunning{false};
    CSignalDoc document(shell, configuration, inputRunning, FreshDocumentSelection{});
    NotesDialog model(document, nullptr);
    model.Open();
    NotesWindow window(model);
    window.textBox()->setPlainText(QString(2000, 'x'));
    EXPECT_EQ(window.textBox()->toPlainText().size(), 1023);
    window.reject();
    EXPECT_TRUE(document.notes.empty());  // Cancel keeps the note
}

TEST(CalibrationWindowTest, RefusesANumberOutOfRangeAndSavesWithDefault) {
    TempDir dir;
    RecordingShell shell;
    InstrumentConfiguration configuration;
    configuration.inputFullScale16 = 500.0f;
    CalibrationSettingDialog model(configuration, shell, dir / kInstrumentConfigurationFileName);
    model.Open();
    int saves = 0;
    CalibrationSettingWindow window(model, [&] { ++saves; });
    EXPECT_EQ(window.box(1)->text(), QStringLiteral("500"));
    Picture(window, "calibration");

    window.box(0)->setText(QStringLiteral("0"));
    emit window.box(0)->textEdited(QStringLiteral("0"));
    window.show();
    window.accept();
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"Please enter a number between 1e-10 and 1e+11."});
    EXPECT_TRUE(window.isVisible());  // the dialog stays
    EXPECT_EQ(configuration.inputFullScale8, 1000.0f);

    window.defaultButton()->click();
    EXPECT_EQ(window.box(0)->text(), QStringLiteral("1000"));
    EXPECT_EQ(window.box(1)->text(), QStringLiteral("1000"));
    EXPECT_EQ(configuration.inputFullScale16, 500.0f);  // Default alone stores nothing
    window.saveButton()->click();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(configuration.inputFullScale16, 1000.0f);
    EXPECT_EQ(readFileBytes(dir / kInstrumentConfigurationFileName).size(), 46u);
    window.accept();
    EXPECT_FALSE(window.isVisible());
}

TEST(DisplayWindowTest, SwatchesRadiosAndSwitchesReachTheConfigurationOnOk) {
    RecordingShell shell;
    InstrumentConfiguration configuration;
    int stores = 0;
    TempDir dir;
    DisplaySettingDialog model(configuration, shell, dir / kInstrumentConfigurationFileName, [&] { ++stores; });
    model.Open();
    DisplaySettingWindow window(model, nullptr);
    EXPECT_TRUE(window.onePointPerRaster()->isChecked());
    EXPECT_TRUE(window.check(3)->isChecked());  // auto-run
    Picture(window, "display");

    shell.colourAnswers.push_back(0x123456);
    window.swatch(DisplaySettingDialog::ChannelA)->click();
    ASSERT_EQ(shell.colourAnswers.size(), 0u);
    window.allPoints()->click();
    window.check(2)->click();  // "Point" editing
    EXPECT_EQ(configuration.colorChannelA, 0xFF0000u);  // nothing stored before OK
    window.accept();
    EXPECT_EQ(configuration.colorChannelA, 0x123456u);
    EXPECT_EQ(configuration.onePointPerRaster, 0);
    EXPECT_TRUE(configuration.enablePointEdit);
    EXPECT_EQ(stores, 1);
}

TEST(DisplayWindowTest, DefaultShowsTheBuiltInValuesWithoutStoringThem) {
    RecordingShell shell;
    InstrumentConfiguration configuration;
    configuration.invertInput = true;
    configuration.onePointPerRaster = 0;
    TempDir dir;
    DisplaySettingDialog model(configuration, shell, dir / kInstrumentConfigurationFileName, nullptr);
    model.Open();
    DisplaySettingWindow window(model, nullptr);
    EXPECT_TRUE(window.check(0)->isChecked());
    window.defaultButton()->click();
    EXPECT_FALSE(window.check(0)->isChecked());
    EXPECT_TRUE(window.onePointPerRaster()->isChecked());
    EXPECT_TRUE(configuration.invertInput);
    window.reject();
    EXPECT_TRUE(configuration.invertInput);
}

TEST(DisplayWindowTest, AClockCorrectionOutOfRangeKeepsTheDialogOpen) {
    struct Store : SettingsStore {
        std::optional<std::string> value(std::string_view) const override { return std::nullopt; }
        void setValue(std::string_view key, const std::string& text) override { saved += std::string(key) + "=" + text + ";"; }
        std::string saved;
    } store;
    RecordingShell shell;
    LoopbackCable cable;
    Instrument instrument(shell, cable);
    TempDir dir;
    DisplaySettingDialog model(instrument.configuration, shell, dir / kInstrumentConfigurationFileName, nullptr);
    model.attachReadouts(&instrument.readouts, &store);
    model.Open();
    DisplaySettingWindow window(model, nullptr);
    EXPECT_FALSE(window.showMeasurements()->isChecked());
    EXPECT_EQ(window.clockPpm()->text(), QStringLiteral("0"));
    EXPECT_TRUE(window.clockPpm()->toolTip().contains(QStringLiteral("(reference / F - 1) x 1000000")));
    window.show();
    window.showMeasurements()->click();
    window.clockPpm()->setText(QStringLiteral("-2000"));
    window.accept();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(shell.messages().back(), kClockPpmMessage);
    window.clockPpm()->setText(QStringLiteral("12.5"));
    window.accept();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(instrument.readouts.options(), (ReadoutOptions{true, 12.5}));
    EXPECT_EQ(store.saved, "measurements/show=true;measurements/clockPpm=12.5;");
}

}  // namespace
}  // namespace tonewell
