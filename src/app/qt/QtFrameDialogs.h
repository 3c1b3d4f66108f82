#pragma once
// The frame's dialogs in Qt: Calibration Setting, Display Setting, Notes, Signal Generator
// Setting, Audio Device, Frequency Response, About, the spectrum's scales and the help viewer.
// UI thread.

#include "app/FrameDialogs.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QDialog;
class QWidget;

namespace tonewell {

class CMainFrame;
class HelpWindow;
class PanePictures;
class ResponseWindow;
class ScopeViewWidget;
class SpectrumViewWidget;
class ViewPictures;
class Instrument;

class QtFrameDialogs : public FrameDialogs {
public:
    // parent owns the dialogs; note shows a short text in the status bar. The audio backend
    // name is read when About opens.
    QtFrameDialogs(QWidget* parent, Instrument& instrument, std::function<void(const QString&)> note,
                   std::function<QString()> audioBackendName);
    ~QtFrameDialogs() override;

    // The panes whose pictures the views' PNG export writes; the result is for the frame.
    ViewPictures* attachPanes(ScopeViewWidget* scopePane, SpectrumViewWidget* spectrumPane);

    // The frame whose views redraw after Notes and Display Setting.
    void setFrame(CMainFrame* frame) { frame_ = frame; }

    void calibrationSetting() override;
    void displaySetting() override;
    void notes() override;
    void signalGenerator() override;
    void audioDevice() override;
    // Shows the window, made the first time; it keeps its last measurement when closed.
    void frequencyResponse() override;
    void spectrumXScale() override;
    void spectrumYScale() override;
    void about() override;
    bool help(const std::filesystem::path& file, const std::string& anchor) override;

    // The help viewer once Help Topic has opened it, else nullptr.
    HelpWindow* helpWindow() const;
    // Set while the About box is open (tests look at it), else nullptr.
    QDialog* aboutBox() const;
    // Set while the Audio Device setting is open, else nullptr.
    QDialog* audioDeviceWindow() const;
    // The Frequency Response window once it has been opened, else nullptr.
    ResponseWindow* responseWindow() const;

private:
    void makeProgramDirectory() const;

    QWidget* parent_;
    Instrument& instrument_;
    CMainFrame* frame_ = nullptr;
    std::function<void(const QString&)> note_;
    std::function<QString()> audioBackendName_;
    QPointer<HelpWindow> helpWindow_;
    QPointer<QDialog> aboutBox_;
    QPointer<QDialog> audioDeviceWindow_;
    QPointer<ResponseWindow> responseWindow_;
    std::unique_ptr<PanePictures> panePictures_;
};

}  // namespace tonewell
