#pragma once
// What the main frame works with: the parts of the instrument it commands, handed over by the
// instrument (Instrument::frameParts). The references must outlive the frame.

#include <filesystem>
#include <functional>
#include <optional>

#include "acquisition/AcquisitionParameters.h"
#include "acquisition/CaptureEngine.h"
#include "acquisition/SignalDoc.h"
#include "app/DocumentCommands.h"
#include "app/FrontPanel.h"
#include "app/InstrumentEffects.h"
#include "app/OutputDisplayLink.h"
#include "app/Startup.h"
#include "generator/GeneratorOutput.h"
#include "platform/Shell.h"
#include "scope/CScopeView.h"
#include "shared/InstrumentConfiguration.h"
#include "shared/ProgramState.h"
#include "shared/RangeTables.h"
#include "spectrum/SpectrumAnalysis.h"

namespace tonewell {

// The parts of the instrument the frame commands (Instrument::frameParts gives them).
struct FrameParts {
    // The program's one start-up sequence up to the first record in the views (its file
    // opened, else a new document).
    std::function<void(const std::optional<std::filesystem::path>&)> startUp;
    DocumentCommandParts documents;
    CSignalDoc& document;
    FrontPanel& panel;
    InstrumentEffects& effects;
    const RangeTables& tables;
    const InstrumentConfiguration& configuration;
    const AcquisitionParameters& acquisition;
    RunState& run;
    PaneFlags& panes;
    Startup& startup;
    Shell& shell;
    GeneratorOutput& output;
    CaptureEngine& capture;
    OutputDisplayLink& outputDisplay;
    CScopeView& scope;                          // the frame is its frame hooks
    const SpectrumAnalysis& spectrumAnalysis;  // what the spectrum export writes
    std::function<bool()> saveDefaultPanel;
};

// The main-frame timers: capture's (kTimerCaptureRestart, 10 ms after a parameter change, is
// capture's own name for timer 2) and the output's.
inline constexpr int kTimerRecordRelease = kRecordReleaseTimer;  // 30 ms while capture runs
inline constexpr int kTimerRecordReady = kRecordReadyTimer;      // posted by the capture thread
inline constexpr int kTimerSweepEnd = 100;                       // the end of a generator sweep

}  // namespace tonewell
