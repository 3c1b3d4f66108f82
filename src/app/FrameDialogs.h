#pragma once
// The frame's modal dialogs, one call each: the frame decides whether a command may run, the
// implementation shows the dialog and carries out what its OK does. The Qt main window
// implements it; tests record the calls. UI thread.

#include <filesystem>
#include <string>

namespace tonewell {

class FrameDialogs {
public:
    virtual ~FrameDialogs() = default;

    virtual void calibrationSetting() = 0;  // "Calibration Setting"
    virtual void displaySetting() = 0;      // "Display Setting"
    virtual void notes() = 0;               // "Notes"
    // "Signal Generator Setting"; returns when the dialog has closed (the output may run on).
    virtual void signalGenerator() = 0;
    virtual void audioDevice() = 0;         // the sound devices for output and input
    // "Frequency Response", a window that stays open beside the main window.
    virtual void frequencyResponse() {}
    virtual void spectrumXScale() = 0;      // "Spectrum Analyzer X Axis Scale"
    virtual void spectrumYScale() = 0;      // "Spectrum Analyzer Y Axis Scale"
    virtual void about() = 0;               // "About Quendal Tonewell"
    // The help viewer with the help file shown at the anchor; false when no viewer could show it.
    virtual bool help(const std::filesystem::path& file, const std::string& anchor) { return false; }
};

}  // namespace tonewell
