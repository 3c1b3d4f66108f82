#include "app/qt/QtFrameDialogs.h"

#include "acquisition/NotesDialog.h"
#include "app/CMainFrame.h"
#include "app/CalibrationSettingDialog.h"
#include "app/DisplaySettingDialog.h"
#include "app/Instrument.h"
#include "app/InstrumentConfigurationFile.h"
#include "app/ProgramDirectory.h"
#include "app/qt/Artwork.h"
#include "app/qt/AudioDeviceWindow.h"
#include "app/qt/HelpWindow.h"
#include "app/qt/PanePictures.h"
#include "app/qt/ResponseWindow.h"
#include "app/qt/SettingWindows.h"
#include "app/qt/ShowGeneratorDialog.h"
#include "platform/audio/ChosenAudioBackend.h"
#include "platform/qt/QtSettingsStore.h"
#include "spectrum/qt/SpectrumScaleDialogBoxes.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tonewell {

QtFrameDialogs::QtFrameDialogs(QWidget* parent, Instrument& instrument, std::function<void(const QString&)> note,
                               std::function<QString()> audioBackendName)
    : parent_(parent), instrument_(instrument), note_(std::move(note)), audioBackendName_(std::move(audioBackendName)) {}

QtFrameDialogs::~QtFrameDialogs() = default;

HelpWindow* QtFrameDialogs::helpWindow() const { return helpWindow_; }
QDialog* QtFrameDialogs::aboutBox() const { return aboutBox_; }
QDialog* QtFrameDialogs::audioDeviceWindow() const { return audioDeviceWindow_; }
ResponseWindow* QtFrameDialogs::responseWindow() const { return responseWindow_; }

ViewPictures* QtFrameDialogs::attachPanes(ScopeViewWidget* scopePane, SpectrumViewWidget* spectrumPane) {
    panePictures_ = std::make_unique<PanePictures>(instrument_.scope, scopePane, instrument_.spectrum, spectrumPane);
    return panePictures_.get();
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
    QtSettingsStore store;
    model.attachReadouts(&instrument_.readouts, &store);
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
void QtFrameDialogs::signalGenerator() { ShowGeneratorDialog(parent_, instrument_); }
void QtFrameDialogs::audioDevice() {
    auto* chosen = dynamic_cast<ChosenAudioBackend*>(&instrument_.audio);
    if (chosen == nullptr) {
        note_(QStringLiteral("The audio devices of %1 cannot be chosen.").arg(QString::fromStdString(instrument_.audio.displayName())));
        return;
    }
    AudioDeviceWindow window(*chosen, parent_);
    audioDeviceWindow_ = &window;
    const bool accepted = window.exec() == QDialog::Accepted;
    audioDeviceWindow_ = nullptr;
    if (!accepted) return;
    chosen->chooseDevices(window.choice());
    RememberAudioDevices(window.choice());
    // The status bar names what plays from now on.
    if (auto* label = parent_->findChild<QLabel*>(QStringLiteral("audioBackendLabel")))
        label->setText(QStringLiteral("Audio: ") + QString::fromStdString(chosen->displayName()));
}
void QtFrameDialogs::spectrumXScale() {
    RunSpectrumXScaleDialog(instrument_.spectrumPanel.scaleChoice(), instrument_.run, parent_);
}
void QtFrameDialogs::spectrumYScale() {
    RunSpectrumYScaleDialog(instrument_.spectrumPanel.scaleChoice(), instrument_.run, parent_);
}

void QtFrameDialogs::about() {
    QDialog box(parent_);
    aboutBox_ = &box;
    box.setWindowTitle(QStringLiteral("Tonewell"));
    box.setObjectName(QStringLiteral("aboutBox"));

    auto* artwork = new QLabel(&box);
    artwork->setPixmap(SplashPicture().scaledToWidth(360, Qt::SmoothTransformation));
    artwork->setAccessibleName(QStringLiteral("Tonewell artwork"));
    auto* icon = new QLabel(&box);
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    icon->setAccessibleName(QStringLiteral("Tonewell icon"));
    auto* title = new QLabel(QStringLiteral("Tonewell 1.0"), &box);
    title->setObjectName(QStringLiteral("aboutTitle"));
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    title->setFont(bold);
    QString audio = audioBackendName_();
    if (!audio.startsWith(QStringLiteral("Audio"))) audio.prepend(QStringLiteral("Audio: "));
    auto* lines = new QLabel(QStringLiteral("Signal generator, oscilloscope and spectrum analyser on the sound card\n"
                                            "Quendal Technology\n"
                                            "Version 1.0, built with Qt %1\n"
                                            "%2")
                                 .arg(QString::fromLatin1(qVersion()), audio),
                             &box);
    lines->setObjectName(QStringLiteral("aboutLines"));
    lines->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(lines);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(text, 1);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(artwork, 0, Qt::AlignHCenter);
    layout->addLayout(row);
    layout->addWidget(buttons);
    box.exec();
}

void QtFrameDialogs::frequencyResponse() {
    if (!responseWindow_) {
        // The program's own output and capture hold the devices the sweep needs while they run.
        auto busy = [this] {
            return frame_ != nullptr && (frame_->commandState(kCommandRunStopInput).checked ||
                                         frame_->commandState(kCommandRunStopOutput).checked);
        };
        responseWindow_ = new ResponseWindow(instrument_.audio, busy, parent_);
    }
    responseWindow_->show();
    responseWindow_->raise();
    responseWindow_->activateWindow();
}

bool QtFrameDialogs::help(const std::filesystem::path& file, const std::string& anchor) {
    if (!helpWindow_) {
        helpWindow_ = new HelpWindow(parent_);
        helpWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    return helpWindow_->open(file, QString::fromStdString(anchor));
}

}  // namespace tonewell
