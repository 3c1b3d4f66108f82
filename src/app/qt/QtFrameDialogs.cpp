#include "app/qt/QtFrameDialogs.h"

#include "acquisition/NotesDialog.h"
#include "app/CMainFrame.h"
#include "app/CalibrationSettingDialog.h"
#include "app/DisplaySettingDialog.h"
#include "app/Instrument.h"
#include "app/InstrumentConfigurationFile.h"
#include "app/ProgramDirectory.h"
#include "app/qt/Artwork.h"
#include "app/qt/SettingWindows.h"
#include "spectrum/qt/SpectrumScaleDialogBoxes.h"

#include <QMessageBox>

namespace tonewell {

QtFrameDialogs::QtFrameDialogs(QWidget* parent, Instrument& instrument, std::function<void(const QString&)> note,
                               std::function<QString()> audioBackendName)
    : parent_(parent), instrument_(instrument), note_(std::move(note)), audioBackendName_(std::move(audioBackendName)) {}

void QtFrameDialogs::notInThisBuild(const QString& dialog) {
    note_(QStringLiteral("\"%1\" is not part of this build yet.").arg(dialog));
}

void QtFrameDialogs::makeProgramDirectory() const { MakeProgramDirectory(instrument_.programDir); }

void QtFrameDialogs::calibrationSetting() {
    CalibrationSettingDialog model(instrument_.configuration, instrument_.shell,
                                   instrument_.programDir / kInstrumentConfigurationFileName);
    model.Open();
    CalibrationSettingWindow window(model, [this] { makeProgramDirectory(); }, parent_);
    window.exec();
}

void QtFrameDialogs::displaySetting() {
    DisplaySettingDialog model(instrument_.configuration, instrument_.shell,
                               instrument_.programDir / kInstrumentConfigurationFileName, [this] {
                                   if (frame_) frame_->afterDisplaySetting();
                               });
    model.Open();
    DisplaySettingWindow window(model, [this] { makeProgramDirectory(); }, parent_);
    window.exec();
}

void QtFrameDialogs::notes() {
    NotesDialog model(instrument_.document, [this] {
        instrument_.effects.RedrawAllViews();
    });
    model.Open();
    NotesWindow window(model, parent_);
    window.exec();
}
void QtFrameDialogs::signalGenerator() { notInThisBuild(QStringLiteral("Signal Generator Setting")); }
void QtFrameDialogs::audioDevice() { notInThisBuild(QStringLiteral("Audio Device")); }
void QtFrameDialogs::spectrumXScale() { RunSpectrumXScaleDialog(instrument_.spectrum, instrument_.run, parent_); }
void QtFrameDialogs::spectrumYScale() { RunSpectrumYScaleDialog(instrument_.spectrum, instrument_.run, parent_); }

void QtFrameDialogs::about() {
    QMessageBox box(parent_);
    box.setWindowTitle(QStringLiteral("Tonewell"));
    box.setIconPixmap(ProgramIcon().pixmap(64, 64));
    box.setText(QStringLiteral("Tonewell 1.0"));
    box.setInformativeText(QStringLiteral("Signal generator, oscilloscope and spectrum analyser on the sound card.\n"
                                          "Quendal Technology\n\nAudio: %1")
                               .arg(audioBackendName_()));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

}  // namespace tonewell
