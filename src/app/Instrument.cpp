#include "app/Instrument.h"

#include "app/InstrumentConfigurationFile.h"
#include "app/PanelSetting.h"
#include "app/ProgramDirectory.h"
#include "generator/GeneratorTables.h"
#include "generator/ToneFile.h"
#include "generator/WaveformLibraryFile.h"

namespace tonewell {

namespace {

using Id = RangeTableId;

// The stored selections of the sampling and oscilloscope bars, as a fresh document takes them.
FreshDocumentSelection StoredSelection(const RangeTables& tables) {
    auto stored = [&](Id id) { return tables[id].value(tables[id].defaultIndex); };
    FreshDocumentSelection selection;
    selection.bothChannels = stored(Id::SamplingChannels).value_or(0) == 1;
    if (auto rate = stored(Id::SamplingFrequency); rate && *rate > 0)
        selection.samplesPerSecond = static_cast<std::uint32_t>(*rate);
    selection.bits = stored(Id::SamplingResolution).value_or(selection.bits);
    const RangeTable& timeRange = tables[Id::ScopeTimeRange];
    selection.timeRangeCode = timeRange.code(timeRange.defaultIndex).value_or(RangeCode()).bits();
    return selection;
}

}  // namespace

Instrument::Instrument(Shell& shell, AudioBackend& audio)
    : shell(shell),
      audio(audio),
      programDir(ProgramDirectory()),
      document(shell, configuration, run.inputRunning, StoredSelection(tables)),
      effects(EffectTargets{tables, configuration, acquisition, run.inputRunning, document, shell}, panel),
      panel(PanelHomes{tables, acquisition, generator, toneFilePath, startupStage}, document, effects, shell),
      scope(ScopeViewParts{document, panel.scope, tables, acquisition, configuration, run, redraw, startupStage, shell}),
      spectrum(SpectrumViewParts{document, panel.spectrum, tables, acquisition, configuration, run, redraw,
                                 startupStage, shell}),
      outputDisplay(OutputDisplayTargets{panel, effects, tables, acquisition, configuration, run.inputRunning, scope,
                                          spectrum}),
      output(GeneratorOutputParts{generator, toneLists, library,
                                  [this] {
                                      return OutputCalibration{configuration.outputFullScale8,
                                                               configuration.outputFullScale16};
                                  },
                                  seedClock, shell, run, &audio, &document}),
      captureLink(CaptureLinkParts{document, panel, tables, configuration, acquisition, run.inputRunning, shell, effects,
                                   scope}),
      capture(CaptureParts{document, acquisition, run, redraw, configuration, shell, audio}, &captureLink) {
    output.attachDisplay(&outputDisplay);
    panel.resetPanel();
    panel.createBars();
    effects.takeScopeTimeRange();
    effects.attachScope(&scope);
    effects.attachSpectrum(&spectrum);
    spectrum.setFrameHooks(&effects);
    effects.attachInputMonitoring(&capture);
    document.SetFrameHooks(&panel);
}

void Instrument::startUp() {
    readDefaultPanel();
    readConfiguration();
    loadGeneratorFiles();
    makeFreshDocument();
    scope.OnInitialUpdate();
    spectrum.OnInitialUpdate();
}

bool Instrument::readDefaultPanel() {
    if (!panel.loadPanel(programDir / kDefaultPanelFileName)) return false;
    panel.createBars();
    effects.takeScopeTimeRange();
    return true;
}

bool Instrument::readConfiguration() {
    return LoadInstrumentConfiguration(programDir / kInstrumentConfigurationFileName, configuration);
}

bool Instrument::loadGeneratorFiles() {
    switch (WaveformCode(generator, 0)) {
    case kWaveformMultiTones:
        return ReadToneFile(programDir / kDefaultToneFileName, toneLists, toneFilePath, shell);
    case kWaveformLibrary:
        return toneFilePath.empty() || LoadLibrary(toneFilePath, library, toneFilePath, shell);
    default:
        return true;
    }
}

void Instrument::makeFreshDocument() {
    document.MakeFresh(StoredSelection(tables));
    document.SetModifiedFlag(false);
}

bool Instrument::saveDefaultPanel() {
    MakeProgramDirectory(programDir);
    return panel.savePanel(programDir / kDefaultPanelFileName, toneLists, programDir);
}

}  // namespace tonewell
