#pragma once
// The "Signal Generator Setting" dialog as control models: the "Function", "Sweep" and
// "Sampling" pages and the buttons "Save", "Run"/"Stop" and "Ok". The pages keep their own
// copies of the values they show (their controls); reading the pages copies the controls into
// the generator's settings, which happens at every tab change, at Run (before the dialog asks
// the output to start), at Save and when the dialog closes. Every field is checked as the user edits
// it, with the system's message and correction; the sliders follow the fields and set them when
// released; the enabled state of every control is worked out again after each change and when
// the output starts or stops.
//
// While open, the dialog is the output's window: the output sets the Run/Stop caption and the
// enabling through it, and the end of a sweep and the frame's Run/Stop click Run/Stop through
// it. Closing the dialog never stops the output. UI thread only; the skin (GeneratorDialogHost)
// shows the modal windows the dialog opens.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "controls/ButtonControl.h"
#include "controls/CheckControl.h"
#include "controls/Control.h"
#include "controls/EditControl.h"
#include "controls/ListControl.h"
#include "controls/RadioControl.h"
#include "controls/SliderControl.h"
#include "generator/GeneratorFieldLimits.h"
#include "generator/GeneratorSettings.h"
#include "generator/GeneratorWindow.h"
#include "generator/MultitoneDialog.h"
#include "generator/OutputCalibration.h"
#include "generator/ToneList.h"
#include "generator/WaveformLibrary.h"

namespace tonewell {

class ExportProgress;
class GeneratorOutput;
class SeedClock;
class Shell;
struct RunState;

inline constexpr const char* kGeneratorDialogTitle = "Signal Generator Setting";
inline constexpr std::array<const char*, 3> kGeneratorTabLabels{"Function", "Sweep", "Sampling"};
inline constexpr int kFunctionTab = 0;
inline constexpr int kSweepTab = 1;
inline constexpr int kSamplingTab = 2;


// What the generator dialog needs of the program. The references must outlive the dialog.
struct GeneratorDialogParts {
    GeneratorSettings& settings;
    ToneLists& toneLists;
    WaveformLibrary& library;
    std::string& toneFilePath;
    std::function<OutputCalibration()> calibration;  // read whenever an amplitude limit is needed
    const SeedClock& clock;                          // noise seeds of the export
    GeneratorOutput& output;
    RunState& run;  // outputRunning, generatorShown
    Shell& shell;
    std::filesystem::path programDir;  // the library chooser starts in its "WFLib" folder
};

// The skin's part: the windows the dialog opens over itself, modally.
class GeneratorDialogHost {
public:
    virtual ~GeneratorDialogHost() = default;
    // The "MultiTones Configuration" window of GeneratorDialog::multitones; returns when it has
    // closed.
    virtual void showMultitones() = 0;
    // The "Duration" window: the seconds, or nothing when the user cancelled.
    virtual std::optional<std::uint32_t> askDuration() = 0;
    // Shows the progress of a long export with a Cancel button; nullptr: none shown.
    virtual ExportProgress* exportProgress() = 0;
    // The dialog's window comes to the front (after a device error).
    virtual void activate() = 0;
    // "Ok": the window closes; the skin then calls GeneratorDialog::close.
    virtual void closeWindow() = 0;
};

class GeneratorDialog : public GeneratorWindow {
public:
    explicit GeneratorDialog(GeneratorDialogParts parts);
    // A dialog still open is closed (its pages are read).
    ~GeneratorDialog() override;
    GeneratorDialog(const GeneratorDialog&) = delete;
    GeneratorDialog& operator=(const GeneratorDialog&) = delete;

    struct FunctionPage {
        // [0] channel A, [1] channel B.
        std::array<ListControl, 2> waveform;                              // "None" .. "WFLibrary"
        ButtonControl configure{0, "..."};                                // MultiTones or library
        std::array<ListControl, 2> frequency{ListControl(0, true), ListControl(0, true)};  // Hz
        std::array<ListControl, 2> amplitude{ListControl(0, true), ListControl(0, true)};  // mV
        ListControl phase{0, true};                                        // degrees
        Control phaseLabel;                                                // "Phase Difference (Degree)"
        std::array<SliderControl, 2> frequencySlider{SliderControl(0, Orientation::Vertical),
                                                     SliderControl(0, Orientation::Vertical)};
        std::array<SliderControl, 2> amplitudeSlider{SliderControl(0, Orientation::Vertical),
                                                     SliderControl(0, Orientation::Vertical)};
        SliderControl phaseSlider{0, Orientation::Horizontal};
        CheckControl sweep{0, "Sweep"};
        CheckControl displayInScope{0, "Display in Oscilloscope"};
        EditControl fileName;  // read-only: the tone file or library last loaded or saved
    };
    struct SweepPage {
        std::array<EditControl, 2> start;  // "Start Frequency (Hz)"
        std::array<EditControl, 2> end;    // "End Frequency (Hz)"
        std::array<RadioControl, 2> law{RadioControl(0, {"Linear", "Log"}), RadioControl(0, {"Linear", "Log"})};
        EditControl duration;  // "Duration (s)"
    };
    struct SamplingPage {
        ListControl rate;        // "Sampling Frequency"
        ListControl channels;    // "Sampling Channels"
        ListControl resolution;  // "Sampling Resolution"
    };

    FunctionPage function;
    SweepPage sweep;
    SamplingPage sampling;
    ButtonControl save{0, "Save"};
    ButtonControl runStop{0, "Run"};
    ButtonControl ok{0, "Ok"};
    // The "MultiTones Configuration" dialog the function page opens.
    MultitoneDialog multitones;

    // The skin; nullptr: no windows open over the dialog (Save asks no duration and ends).
    void setHost(GeneratorDialogHost* host) { host_ = host; }
    // Where the dialog's messages go (the skin's dialogs show theirs there too).
    Shell& shell() const { return parts_.shell; }

    // Opening: the function page first, buffersGenerated back to 0, the button reading "Stop"
    // while the output runs and "Run" otherwise, every page showing the settings (an amplitude
    // above the calibration of the resolution shows as that limit), the enabling applied. The
    // dialog becomes the output's window and generatorShown is set.
    void open();
    // The window has gone: the pages are read, the output forgets the window and generatorShown
    // is cleared. The output runs on.
    void close();
    bool isOpen() const { return open_; }

    int tab() const { return tab_; }
    // The user chose a tab: all pages are read, then the tab shows.
    void selectTab(int tab);

    // The pages' controls into the generator's settings.
    void readPages();
    // The pages show the settings again.
    void showSettings();

    // GeneratorWindow.
    void applyEnabling() override;
    void setRunButtonText(std::string_view text) override;
    void activate() override;
    void clickRunStop() override;

private:
    std::uint32_t samplingFrequency() const;  // of the sampling page's list
    std::uint32_t frequencyLimit() const { return samplingFrequency() / 2; }
    float fullScale() const;  // the calibration of the sampling page's resolution

    void fillFunctionPage();
    void fillSweepPage();
    void fillSamplingPage();

    void checkFrequency(int channel);
    void checkAmplitude(int channel);
    void checkPhase();
    void checkSweepFrequency(EditControl& field);
    void checkDuration();
    void followFrequency(int channel);
    void followAmplitude(int channel);
    void followPhase();

    void waveformChosen(int channel, int row);
    void setWaveform(int channel, std::int32_t code);
    void configureClicked();
    void showMultitones(bool emptied);
    void chooseLibrary();
    void rateChosen();
    void resolutionChosen();
    void runStopClicked();
    void saveClicked();

    GeneratorDialogParts parts_;
    GeneratorDialogHost* host_ = nullptr;
    bool open_ = false;
    int tab_ = kFunctionTab;
    // The waveforms the lists show, to tell a new choice from the one already made.
    std::array<std::int32_t, 2> shownWaveform_{};
    bool multitonesShown_ = false;
    // Set while the dialog itself writes its fields, so that a box hearing every change of its
    // text does not check what the dialog has just put there.
    bool quiet_ = false;
};

}  // namespace tonewell
