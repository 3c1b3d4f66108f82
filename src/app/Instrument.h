#pragma once
// The composition root: one object owns the program-wide state and the parts of the instrument
// and hands each part references to what it needs. Both programs build it the same way, from a
// Shell and an AudioBackend, which must outlive it. UI thread, except the atomics of `run`,
// `redraw` and `acquisition`, which the audio and capture threads share.
//
// Construction reads no file: the instrument starts from the built-in panel, the default
// configuration and a fresh document, with the front panel's bars created. startUp() then reads
// the program's files from programDir in the program's order; tonewell-cli leaves that out, so
// its results depend only on its arguments.

#include <filesystem>
#include <optional>
#include <string>

#include "acquisition/AcquisitionParameters.h"
#include "acquisition/CaptureEngine.h"
#include "acquisition/SignalDoc.h"
#include "app/CaptureLink.h"
#include "app/FrameParts.h"
#include "app/FrontPanel.h"
#include "app/InstrumentEffects.h"
#include "app/MeasurementReadouts.h"
#include "app/OutputDisplayLink.h"
#include "app/ScopePanel.h"
#include "app/SpectrumPanel.h"
#include "app/Startup.h"
#include "generator/GeneratorOutput.h"
#include "generator/GeneratorSettings.h"
#include "generator/SeedClock.h"
#include "generator/ToneList.h"
#include "generator/WaveformLibrary.h"
#include "platform/Shell.h"
#include "scope/CScopeView.h"
#include "spectrum/CSpectrumView.h"
#include "spectrum/SpectrumAnalysis.h"
#include "shared/InstrumentConfiguration.h"
#include "shared/ProgramState.h"
#include "shared/RangeTables.h"

namespace tonewell {

class AudioBackend;

class Instrument {
public:
    // programDir from the environment (see ProgramDirectory).
    Instrument(Shell& shell, AudioBackend& audio);
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    // The program's one start-up sequence: "default.psf", "Vorel.cfg", then the generator's
    // files for waveform A; the first document is then made anew with the selections and
    // calibration they gave; the file named on the command line is opened into it (a refused
    // one is reported and a new document made instead), and the views take its record. A missing
    // file leaves the built-in values; a refused one shows its message.
    void startUp(const std::optional<std::filesystem::path>& commandLineFile = std::nullopt);

    // "default.psf" from programDir into the loaded panel, the tables' stored rows, the
    // generator's settings and toneFilePath, and the bars refilled; false when there is none or
    // it was refused.
    bool readDefaultPanel();
    // "Vorel.cfg" from programDir into the configuration; false (defaults kept) when missing.
    bool readConfiguration();
    // Waveform A "MultiTones": "default.tcf" from programDir into the tone lists; "WFLibrary":
    // the library the panel names. True when nothing was to be read or it was read.
    bool loadGeneratorFiles();
    // Makes the document a fresh, unmodified one with the stored selections of the sampling and
    // oscilloscope bars.
    void makeFreshDocument();
    // A new, opened or reformatted record in both views: while the start-up stage says so they
    // keep the panel's choices (and the stage moves on), afterwards they fit the record.
    void takeRecordInViews();

    // The parts the main frame commands.
    FrameParts frameParts();

    // Save Panel Setting as Default: the current panel to "default.psf" (and, for waveform A
    // "MultiTones", the tone lists to "default.tcf"), making programDir first when it is missing.
    bool saveDefaultPanel();

    Shell& shell;
    AudioBackend& audio;

    // Program-wide state.
    RunState run;
    AcquisitionParameters acquisition;
    RedrawState redraw;
    Startup startup;  // where the start-up stands; its transitions are documented with it
    PaneFlags panes;  // the panes the main window shows; the frame changes them
    std::string toneFilePath;  // the tone file or waveform library last read or written
    std::filesystem::path programDir;

    RangeTables tables;
    InstrumentConfiguration configuration;
    GeneratorSettings generator;
    ToneLists toneLists{};
    WaveformLibrary library;
    CSignalDoc document;
    // Carries out the front panel's effects; the frame attaches its views to it.
    InstrumentEffects effects;
    FrontPanel panel;
    // The spectrum's computing state and its results, which the view draws and the export
    // writes.
    SpectrumAnalysis spectrumAnalysis;
    // The oscilloscope view (its window, when there is one, belongs to the frame).
    CScopeView scope;
    // The spectrum view (its window belongs to the frame).
    CSpectrumView spectrum;
    // The oscilloscope's and the spectrum's bars as they set their views.
    ScopePanel scopePanel;
    SpectrumPanel spectrumPanel;
    // The tone measurements of each record as it arrives, which both views show when asked.
    MeasurementReadouts readouts;

    // The generator's noise seeds come from the system clock.
    SystemSeedClock seedClock;
    // The front panel's and the frame's part of "Display in Oscilloscope"; the frame attaches
    // itself to it.
    OutputDisplayLink outputDisplay;
    // The generator's output on the audio backend, for the whole program: Run/Stop, timer 100,
    // the underrun count and the export. Stopped (device closed) before the document goes.
    GeneratorOutput output;

    // Input capture on the audio backend: "Run/Stop monitoring input" (attached to the effects as
    // the input monitoring), the capture thread, main-frame timers 1, 2 and 3 (the frame routes
    // them to capture.OnTimer) and the overrun count. Stopped before the document goes.
    CaptureLink captureLink;
    CaptureEngine capture;
};

}  // namespace tonewell
