#pragma once
// The frame's dialogs in Qt. About is shown here; the other dialogs are wired as they are
// written: until then their commands only say in the status bar that the dialog is not in this
// build, so that a command never passes without a trace. UI thread.

#include "app/FrameDialogs.h"

#include <QString>

#include <functional>

class QWidget;

namespace tonewell {

class Instrument;

class QtFrameDialogs : public FrameDialogs {
public:
    // parent owns the dialogs; note shows a short text in the status bar. The audio backend
    // name is read when About opens.
    QtFrameDialogs(QWidget* parent, Instrument& instrument, std::function<void(const QString&)> note,
                   std::function<QString()> audioBackendName);

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

    QWidget* parent_;
    Instrument& instrument_;
    std::function<void(const QString&)> note_;
    std::function<QString()> audioBackendName_;
};

}  // namespace tonewell
