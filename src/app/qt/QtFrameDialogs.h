#pragma once
// The frame's dialogs in Qt: Calibration Setting, Display Setting, Notes and About are shown
// here; the dialogs not written yet (generator, audio device, the spectrum's scales) only say in
// the status bar that they are not in this build, so that a command never passes without a
// trace. UI thread.

#include "app/FrameDialogs.h"

#include <QString>

#include <functional>

class QWidget;

namespace tonewell {

class CMainFrame;
class Instrument;

class QtFrameDialogs : public FrameDialogs {
public:
    // parent owns the dialogs; note shows a short text in the status bar. The audio backend
    // name is read when About opens.
    QtFrameDialogs(QWidget* parent, Instrument& instrument, std::function<void(const QString&)> note,
                   std::function<QString()> audioBackendName);

    // The frame whose views redraw after Notes and Display Setting.
    void setFrame(CMainFrame* frame) { frame_ = frame; }

    void calibrationSetting() override;
    void displaySetting() override;
    void notes() override;
    void signalGenerator() override;
    void audioDevice() override;
    void spectrumXScale() override;
    void spectrumYScale() override;
    void about() override;

private:
    void notInThisBuild(const QString& dialog);

    void makeProgramDirectory() const;

    QWidget* parent_;
    Instrument& instrument_;
    CMainFrame* frame_ = nullptr;
    std::function<void(const QString&)> note_;
    std::function<QString()> audioBackendName_;
};

}  // namespace tonewell
